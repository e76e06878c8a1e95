// Status reports and announcements: field offsets, the length rules, and
// datagrams that are short, oversized or garbage.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "common/QtPrinters.h"
#include "devices/TyxReports.h"

namespace vela {
namespace {

using Datagram = std::vector<uint8_t>;  // exactly the received bytes, so a read past the end is a real overrun

const TEmac kMac2 = {0x00, 0x50, 0xC2, 0x10, 0x2A, 0x3B};  // byte 3 is 0x10: a TYX2-10
const TEmac kMac8 = {0x00, 0x50, 0xC2, 0x44, 0x55, 0x66};
constexpr uint32_t kSender = 0x7F000105;  // 127.0.1.5

void Put(Datagram& d, size_t at, std::initializer_list<int> bytes) {
  for (int b : bytes) d.at(at++) = static_cast<uint8_t>(b);
}
void PutText(Datagram& d, size_t at, const char* text) {
  while (*text) d.at(at++) = static_cast<uint8_t>(*text++);
}

// A port record with protocol, mode, universe and a marker in its last byte.
void PutPort(Datagram& d, size_t at, int protocol, int mode, int universe, int marker) {
  Put(d, at, {protocol, mode, 1, 0, 3, universe & 0xFF, universe >> 8, 0, 127, 0, 0, 9, 0, 0x00, 0x02, 7});
  d.at(at + 58) = static_cast<uint8_t>(marker);
}

// A complete type 1 report, written out by offset.
Datagram FullReport1() {
  Datagram d(237, 0);
  Put(d, 0, {0x01, 0x00});
  Put(d, 2, {0x00, 0x50, 0xC2, 0x10, 0x2A, 0x3B});
  Put(d, 8, {0x00, 0x04, 0x05, 0x01});  // version 1.5.4.0
  PutPort(d, 12, 4, 1, 0x0105, 0xA0);
  PutPort(d, 71, 2, 2, 7, 0xA1);
  Put(d, 130, {5});
  PutText(d, 131, "Stage");
  Put(d, 162, {192, 0, 2, 10});           // default IP 192.0.2.10
  Put(d, 166, {0x00, 0xFF, 0xFF, 0xFF});  // mask 255.255.255.0
  Put(d, 170, {3, 200, 0x5A, 1, 1});      // DHCP, LEDs, unread byte, web disabled, need reboot
  Put(d, 175, {0xEE, 0xEE});              // bytes the tool does not read
  Put(d, 235, {0x34, 0x12});              // debug word
  return d;
}

// A complete type 101 report.
Datagram FullReport101() {
  Datagram d(591, 0);
  Put(d, 0, {101, 0x00});
  Put(d, 2, {0x00, 0x50, 0xC2, 0x44, 0x55, 0x66});
  Put(d, 8, {0x01, 0x07, 0x05, 0x01});  // version 1.5.7.1
  for (int i = 0; i < 8; ++i) PutPort(d, 12 + 59 * i, 9, 1, 0x0200 + i, 0xB0 + i);
  Put(d, 484, {4});
  PutText(d, 485, "Rack");
  Put(d, 516, {192, 0, 2, 99});
  Put(d, 520, {0x00, 0x00, 0xFF, 0xFF});  // mask 255.255.0.0
  Put(d, 524, {0, 0, 0x5A, 0, 1});        // DHCP off, LEDs off, unread, web enabled; 528 is not need-reboot
  Put(d, 589, {0xCD, 0xAB});
  return d;
}

Datagram Cut(Datagram d, size_t length) {
  d.resize(length, 0);
  return d;
}

TEST(TyxStatusReport, FullType1ReportFields) {
  const auto report = ParseStatusReport(FullReport1(), kSender);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->ReportType, RT_TwoPortBox);
  EXPECT_EQ(report->Kind, E_Tyx2_10);
  EXPECT_EQ(report->Mac, kMac2);
  EXPECT_EQ(report->SenderIp, kSender);
  EXPECT_EQ(report->Length, 237u);
  ASSERT_TRUE(report->HasPorts);
  EXPECT_EQ(FirmVersionText(report->SVersion), QStringLiteral("1.5.4.0"));
  ASSERT_EQ(report->Ports.size(), 2u);
  EXPECT_EQ(report->Ports[0].EProtocol, tyxp_ArtNet);
  EXPECT_EQ(report->Ports[0].Direction, P_Dmx_Out);
  EXPECT_EQ(report->Ports[0].Universe, 0x0105);
  EXPECT_EQ(report->Ports[0].SourceIP, 0x7F000009u);
  EXPECT_EQ(report->Ports[0].DSize, 512);
  EXPECT_EQ(report->Ports[0].SourceName[42], 0xA0);
  EXPECT_EQ(report->Ports[1].EProtocol, tyxp_VelaPool);
  EXPECT_EQ(report->Ports[1].Direction, P_Dmx_In);
  EXPECT_EQ(report->Ports[1].SourceName[42], 0xA1);
  ASSERT_TRUE(report->HasSettings);
  EXPECT_EQ(report->Name, QStringLiteral("Stage"));
  EXPECT_EQ(report->DefaultIp, 0xC000020Au);
  EXPECT_EQ(report->DefaultMask, 0xFFFFFF00u);
  EXPECT_EQ(report->UseDHCP, 3);
  EXPECT_EQ(report->LedsLevel, 200);
  EXPECT_TRUE(report->WebDisabled);
  EXPECT_TRUE(report->NeedReboot);
  EXPECT_EQ(report->Debug1, 0x1234);
}

TEST(TyxStatusReport, FullType101ReportFields) {
  const auto report = ParseStatusReport(FullReport101(), kSender);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->ReportType, RT_EightPortBox);
  EXPECT_EQ(report->Kind, E_Tyx8_10);
  EXPECT_EQ(report->Mac, kMac8);
  EXPECT_EQ(FirmVersionText(report->SVersion), QStringLiteral("1.5.7.1"));
  ASSERT_EQ(report->Ports.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(report->Ports[i].EProtocol, tyxp_ShowNet) << i;
    EXPECT_EQ(report->Ports[i].Universe, 0x0200 + i) << i;
    EXPECT_EQ(report->Ports[i].SourceName[42], 0xB0 + i) << i;
  }
  ASSERT_TRUE(report->HasSettings);
  EXPECT_EQ(report->Name, QStringLiteral("Rack"));
  EXPECT_EQ(report->DefaultIp, 0xC0000263u);
  EXPECT_EQ(report->DefaultMask, 0xFFFF0000u);
  EXPECT_EQ(report->UseDHCP, 0);
  EXPECT_EQ(report->LedsLevel, 0);
  EXPECT_FALSE(report->WebDisabled);
  EXPECT_FALSE(report->NeedReboot);
  EXPECT_EQ(report->Debug1, 0xABCD);
}

TEST(TyxStatusReport, KindFollowsTypeAndMacByte3) {
  struct Case {
    int type;
    int macByte3;
    TTyxKind kind;
  };
  const Case cases[] = {{1, 0x10, E_Tyx2_10},  {1, 0x11, E_Tyx2_100},  {1, 0x00, E_Tyx2_100},
                        {1, 0x01, E_Tyx2_100}, {101, 0x10, E_Tyx8_10}, {101, 0x20, E_Tyx8_10}};
  for (const Case& c : cases) {
    Datagram d = FullReport1();
    d[0] = static_cast<uint8_t>(c.type);
    d[5] = static_cast<uint8_t>(c.macByte3);
    const auto report = ParseStatusReport(d);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->Kind, c.kind) << c.type << "/" << c.macByte3;
  }
}

TEST(TyxStatusReport, Type1LengthRules) {
  struct Case {
    size_t length;
    bool ports;
    bool settings;
  };
  const Case cases[] = {
      {8, false, false},  {129, false, false}, {130, true, false}, {140, true, false},
      {162, true, false}, {163, true, true},   {237, true, true},  {2048, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const auto report = ParseStatusReport(Cut(FullReport1(), c.length));
    ASSERT_TRUE(report.has_value());  // every one of them marks the box alive
    EXPECT_EQ(report->Mac, kMac2);
    EXPECT_EQ(report->Length, c.length);
    EXPECT_EQ(report->HasPorts, c.ports);
    EXPECT_EQ(report->Ports.size(), c.ports ? 2u : 0u);
    EXPECT_EQ(report->HasSettings, c.settings);
    if (!c.settings) {
      EXPECT_EQ(report->DefaultIp, 0u);
      EXPECT_EQ(report->LedsLevel, 0);
      EXPECT_FALSE(report->WebDisabled);
      EXPECT_FALSE(report->NeedReboot);
    }
  }
}

TEST(TyxStatusReport, Type1Of140BytesHasPortsAndVersionOnly) {
  const auto report = ParseStatusReport(Cut(FullReport1(), 140));
  ASSERT_TRUE(report.has_value() && report->HasPorts);
  EXPECT_FALSE(report->HasSettings);
  EXPECT_EQ(FirmVersion(report->SVersion), MakeFirmVersion(1, 5, 4, 0));
  const auto full = ParseStatusReport(FullReport1());
  EXPECT_EQ(report->Ports, full->Ports);
}

TEST(TyxStatusReport, Type1Of163BytesReadsTheMissingSettingsAsZero) {
  const auto report = ParseStatusReport(Cut(FullReport1(), 163));
  ASSERT_TRUE(report.has_value() && report->HasSettings);
  EXPECT_EQ(report->Name, QStringLiteral("Stage"));
  EXPECT_EQ(report->DefaultIp, 0xC0000000u);  // only the first octet arrived
  EXPECT_EQ(report->DefaultMask, 0u);
  EXPECT_EQ(report->UseDHCP, 0);
  EXPECT_FALSE(report->NeedReboot);
  EXPECT_EQ(report->Debug1, 0);
}

TEST(TyxStatusReport, Type101Of140BytesTakesZeroSettings) {
  const auto report = ParseStatusReport(Cut(FullReport101(), 140));
  ASSERT_TRUE(report.has_value() && report->HasPorts);
  ASSERT_EQ(report->Ports.size(), 8u);
  EXPECT_EQ(report->Ports[0].Universe, 0x0200);
  EXPECT_EQ(report->Ports[1].SourceName[42], 0xB1);     // the second record ends at byte 129
  EXPECT_EQ(report->Ports[2].EProtocol, tyxp_ShowNet);  // starts at 130, cut after 10 bytes
  EXPECT_EQ(report->Ports[2].SourceIP, 0x7F000000u);    // two octets arrived at 138 and 139
  EXPECT_EQ(report->Ports[2].DSize, 0);
  for (int i = 3; i < 8; ++i) EXPECT_EQ(report->Ports[i], TOnePortSetup{}) << i;
  EXPECT_TRUE(report->HasSettings);
  EXPECT_EQ(report->Name, QString());
  EXPECT_EQ(report->DefaultIp, 0u);
  EXPECT_EQ(report->DefaultMask, 0u);
  EXPECT_EQ(report->UseDHCP, 0);
  EXPECT_EQ(report->LedsLevel, 0);
  EXPECT_FALSE(report->WebDisabled);
  EXPECT_EQ(report->Debug1, 0);
}

TEST(TyxStatusReport, Type101Of129BytesHasNoPorts) {
  const auto report = ParseStatusReport(Cut(FullReport101(), 129));
  ASSERT_TRUE(report.has_value());
  EXPECT_FALSE(report->HasPorts);
  EXPECT_FALSE(report->HasSettings);
  EXPECT_TRUE(report->Ports.empty());
}

TEST(TyxStatusReport, NameLengthAbove31ReadsAs31) {
  for (int lengthByte : {32, 40, 255}) {
    Datagram d = FullReport1();
    d[130] = static_cast<uint8_t>(lengthByte);
    for (size_t i = 131; i < 162; ++i) d[i] = 'N';
    const auto report = ParseStatusReport(d);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->Name, QString(31, QLatin1Char('N'))) << lengthByte;  // not the default IP's 192 after it
    EXPECT_EQ(report->DefaultIp, 0xC000020Au);
  }
}

TEST(TyxStatusReport, NameCutWhereTheDatagramEnds) {
  const auto report = ParseStatusReport(Cut(FullReport1(), 134));  // length byte 5, three letters
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->Name, QStringLiteral("Sta"));
  EXPECT_FALSE(report->HasSettings);
}

TEST(TyxStatusReport, RejectsShortAndForeignDatagrams) {
  struct Case {
    const char* what;
    Datagram datagram;
  };
  const Case cases[] = {
      {"empty", {}},
      {"one byte", {0x01}},
      {"type only", {0x01, 0x00}},
      {"MAC cut short", Cut(FullReport1(), 7)},
      {"type 0", Cut({0x00, 0x00}, 237)},
      {"type 2", Cut({0x02, 0x00}, 237)},
      {"type 100", Cut({100, 0x00}, 591)},
      {"type 102", Cut({102, 0x00}, 591)},
      {"type 257", Cut({0x01, 0x01}, 237)},
      {"type 101 big-endian", Cut({0x00, 101}, 591)},
  };
  for (const Case& c : cases) EXPECT_FALSE(ParseStatusReport(c.datagram).has_value()) << c.what;
}

TEST(TyxStatusReport, GarbageOfAnyLengthIsParsedWithinItsBounds) {
  std::mt19937 random(20240611);
  for (size_t length = 0; length <= 700; ++length) {
    for (int type : {1, 101, -1}) {
      Datagram d(length);
      for (auto& b : d) b = static_cast<uint8_t>(random());
      if (type >= 0 && length >= 2) Put(d, 0, {type, 0});
      const auto report = ParseStatusReport(d);
      if (!report) continue;
      EXPECT_GE(length, kTyxReportHeaderSize);
      EXPECT_EQ(report->HasPorts, length >= 130);
      EXPECT_EQ(report->Ports.size(), report->HasPorts ? static_cast<size_t>(ReportPortCount(report->ReportType)) : 0u);
      EXPECT_LE(report->Name.size(), 31);
    }
  }
}

TEST(TyxStatusReport, BuiltReportsParseBack) {
  for (uint16_t type : {uint16_t(RT_TwoPortBox), uint16_t(RT_EightPortBox)}) {
    const Datagram original = type == RT_TwoPortBox ? FullReport1() : FullReport101();
    auto parsed = ParseStatusReport(original, kSender);
    ASSERT_TRUE(parsed.has_value());
    const QByteArray built = BuildStatusReport(*parsed);
    // The builder leaves the bytes the tool does not read at zero; all else matches.
    Datagram expected = original;
    if (type == RT_TwoPortBox) {
      expected[172] = expected[175] = expected[176] = 0;
    } else {
      expected[526] = expected[528] = 0;
    }
    EXPECT_EQ(Datagram(built.begin(), built.end()), expected) << type;
  }
  TTyxStatusReport foreign;
  foreign.ReportType = 7;
  EXPECT_TRUE(BuildStatusReport(foreign).isEmpty());
}

// ---- Announcements ------------------------------------------------------------

Datagram Announcement(const char* name) {
  Datagram d(44, 0);
  Put(d, 0, {0xAA, 0xBB, 0xCC, 0xDD});  // not read
  Put(d, 4, {0x01, 0x00});
  Put(d, 6, {0x00, 0x50, 0xC2, 0x77, 0x88, 0x99});
  PutText(d, 12, name);
  return d;
}

TEST(TyxAnnouncement, Fields) {
  const auto a = ParseAnnouncement(Announcement("Fresh box"), kSender);
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->Kind, E_Tyx2_100_Uninitialized);
  EXPECT_EQ(a->Mac, (TEmac{0x00, 0x50, 0xC2, 0x77, 0x88, 0x99}));
  EXPECT_EQ(a->SenderIp, kSender);
  EXPECT_EQ(a->Name, QStringLiteral("Fresh box"));
}

TEST(TyxAnnouncement, NameEndsAtZeroByteField32OrDatagramEnd) {
  struct Case {
    const char* what;
    Datagram datagram;
    QString name;
  };
  Datagram zeroInside = Announcement("abc");
  Put(zeroInside, 16, {'x', 'y'});  // after the zero byte at 15
  Datagram extraAfterField = Announcement("0123456789abcdef0123456789ABCDEF");
  extraAfterField.push_back('!');
  const Case cases[] = {
      {"ends at zero", zeroInside, QStringLiteral("abc")},
      {"fills the field", Announcement("0123456789abcdef0123456789ABCDEF"),
       QStringLiteral("0123456789abcdef0123456789ABCDEF")},
      {"never past the field", extraAfterField, QStringLiteral("0123456789abcdef0123456789ABCDEF")},
      {"cut datagram", Cut(Announcement("0123456789"), 17), QStringLiteral("01234")},
      {"no name", Cut(Announcement(""), 12), QString()},
  };
  for (const Case& c : cases) {
    const auto a = ParseAnnouncement(c.datagram);
    ASSERT_TRUE(a.has_value()) << c.what;
    EXPECT_EQ(a->Name, c.name) << c.what;
  }
}

TEST(TyxAnnouncement, RejectsOtherTypesAndShortDatagrams) {
  Datagram type2 = Announcement("x");
  type2[4] = 2;
  Datagram type257 = Announcement("x");
  type257[5] = 1;
  const Datagram cases[] = {{},    {0x01, 0x00}, Cut(Announcement("x"), 5), Cut(Announcement("x"), 11),
                            type2, type257,      Cut(FullReport1(), 44)};
  for (const Datagram& d : cases) EXPECT_FALSE(ParseAnnouncement(d).has_value()) << d.size();
}

TEST(TyxAnnouncement, BuiltAnnouncementParsesBack) {
  const TEmac mac = {1, 2, 3, 4, 5, 6};
  const QByteArray built = BuildAnnouncement(mac, QStringLiteral("Caf\u00e9"));
  ASSERT_EQ(built.size(), 44);
  EXPECT_EQ(built.mid(4, 8), QByteArray::fromHex("0100010203040506"));
  EXPECT_EQ(built.mid(12, 5), QByteArray::fromHex("436166e900"));
  const auto a = ParseAnnouncement(built);
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->Mac, mac);
  EXPECT_EQ(a->Name, QStringLiteral("Caf\u00e9"));
}

}  // namespace
}  // namespace vela
