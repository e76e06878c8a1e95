// The box model: texts, construction, port changes against the protocol
// limits, and the exact command bytes a box hands to its sender.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "DeviceTestSupport.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "devices/TyxBox.h"
#include "devices/TyxCommands.h"
#include "framework/sobjects.h"

namespace vela {
namespace {

using testing::TFakeClock;

const TEmac kMac = {0x00, 0x50, 0xC2, 0x10, 0x2A, 0x3B};
const char* const kMacHex = "0050c2102a3b";
constexpr uint32_t kBoxIp = 0xC0A8010A;  // 192.168.1.10

// Captures every packet a box sends.
class TCapture : public ITyxCommandSender {
 public:
  void SendToBox(TCustomTyxBox& Box, const QByteArray& Packet) override {
    Packets.push_back(Packet);
    Destinations.push_back(Box.CommandDestination());
  }
  std::vector<QByteArray> Packets;
  std::vector<uint32_t> Destinations;
};

struct TDmxSend {
  int NetGroup, Universe, Offset;
  QByteArray Levels;
};
class TDmxCapture : public ITyxDmxSender {
 public:
  void SendDmxToBox(TTyxBox&, int NetGroup, int Universe, int Offset, std::span<const uint8_t> Levels) override {
    Sends.push_back({NetGroup, Universe, Offset,
                     QByteArray(reinterpret_cast<const char*>(Levels.data()), static_cast<int>(Levels.size()))});
  }
  std::vector<TDmxSend> Sends;
};

// A port record written byte by byte, independent of the record's own code.
struct TRec {
  uint8_t Protocol = tyxp_VelaPool, Mode = P_Dmx_Out, Termination = 0, Speed = 0, SubNet = 0;
  uint16_t Universe = 0;
  uint8_t IsChannel = 0;
  uint32_t Ip = 0;
  uint8_t Unicast = 0;
  uint16_t Size = 512;
  uint8_t Timeout = 0;

  QByteArray Bytes() const {
    QByteArray b;
    b.append(char(Protocol)).append(char(Mode)).append(char(Termination)).append(char(Speed)).append(char(SubNet));
    b.append(char(Universe & 0xFF)).append(char(Universe >> 8)).append(char(IsChannel));
    b.append(char(Ip >> 24)).append(char(Ip >> 16)).append(char(Ip >> 8)).append(char(Ip));
    b.append(char(Unicast)).append(char(Size & 0xFF)).append(char(Size >> 8)).append(char(Timeout));
    b.append(QByteArray(43, '\0'));
    return b;
  }
  TOnePortSetup Setup() const { return TOnePortSetup::FromBytes(BytesOf(Bytes())); }
};

// The port setup command a box of that many ports must send.
QByteArray SetupPacket(const std::vector<TRec>& Records) {
  QByteArray p = QByteArray::fromHex(Records.size() == 8 ? "6600" : "0200");
  p += QByteArray::fromHex(kMacHex);
  p += QByteArray(4, '\0');
  for (const TRec& r : Records) p += r.Bytes();
  return p;
}

class TyxBoxTest : public ::testing::Test {
 protected:
  // A detected box whose full report (with these port records) arrived.
  TTyxBox* MakeBox(TTyxKind Kind, std::vector<TRec> Records, bool Report = true) {
    TTyxBox* box = TTyxBox::CreateDetected(Kind, kMac, kBoxIp, QStringLiteral("Stage"));
    fBoxes.emplace_back(box);
    box->SetCommandSender(&fSent);
    box->SetSVersion({0, 0, 6, 1});  // 1.6.0.0
    if (Report) Feed(*box, Records);
    box->SetAlive(true);
    return box;
  }
  static void Feed(TTyxBox& Box, const std::vector<TRec>& Records, bool NeedReboot = false) {
    TTyxStatusReport report;
    report.ReportType = Box.NumPorts() == 8 ? RT_EightPortBox : RT_TwoPortBox;
    report.Mac = kMac;
    report.HasPorts = true;
    report.SVersion = Box.SVersion();
    for (const TRec& r : Records) report.Ports.push_back(r.Setup());
    report.HasSettings = true;
    report.Name = Box.Name();
    report.NeedReboot = NeedReboot;
    Box.TakeStatusReport(report);
  }

  struct TFree {
    void operator()(TSobject* o) const { FreeObj(o); }
  };
  TFakeClock fClock;
  TCapture fSent;
  std::vector<std::unique_ptr<TTyxBox, TFree>> fBoxes;
};

// ---------------------------------------------------------------------------
// Identity and construction

TEST_F(TyxBoxTest, IdentityTexts) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  EXPECT_EQ(box->KindText(), "TYX2-10");
  EXPECT_EQ(box->MacName(), "10:2A:3B");
  EXPECT_EQ(box->MacText(), "00:50:C2:10:2A:3B");
  EXPECT_EQ(box->SerialNo(), 0x102A3Bu);
  EXPECT_EQ(box->IpStr(), "192.168.1.10");
  EXPECT_EQ(box->VersionStr(), "1.6.0.0");
  EXPECT_EQ(box->FirmVersion(), MakeFirmVersion(1, 6, 0, 0));
  EXPECT_EQ(box->Name(), "Stage");
  EXPECT_EQ(box->NodeText(), "TYX2-10 Stage (10:2A:3B 192.168.1.10)");
  EXPECT_EQ(box->RegistryName(), "TYX2-10-10:2A:3B");
  EXPECT_TRUE(box->IsDetected());
}

TEST_F(TyxBoxTest, CreateByKind) {
  struct Case {
    TTyxKind kind;
    int ports;
    const char* name;
  };
  const Case cases[] = {{E_Tyx2_10, 2, "TYX2-10-00:00:00"},
                        {E_Tyx8_10, 8, "TYX8-00:00:00"},
                        {E_Tyx2_100, 2, "TYX2-10/100-00:00:00"},
                        {E_Tyx2_100_Uninitialized, 0, "Uninitialized-00:00:00"}};
  for (const Case& c : cases) {
    testing::TFreeAtEnd<TTyxBox> box(TTyxBox::Create(c.kind, QStringLiteral("00:00:00"), QString()));
    EXPECT_EQ(box->NumPorts(), c.ports) << c.name;
    EXPECT_EQ(static_cast<int>(box->TyxPorts().size()), c.ports) << c.name;
    EXPECT_EQ(box->Name(), c.name);
    EXPECT_EQ(box->AliveTimeout(), 10) << c.name;
    EXPECT_TRUE(box->NoAliveOnInput()) << c.name;
    EXPECT_FALSE(box->UseDoubleIcon) << c.name;
    EXPECT_TRUE(box->BehaveFlags().Has(bh_HartBeat)) << c.name;
    EXPECT_FALSE(box->IsDetected()) << c.name;
    EXPECT_EQ(box->StatusText(), "Not Alive") << c.name;
  }
}

TEST_F(TyxBoxTest, CreateWithNameAndDetection) {
  testing::TFreeAtEnd<TTyxBox> dummy(TTyxBox::Create(E_Tyx8_10, QStringLiteral("00:00:00"), QStringLiteral("Dummy")));
  EXPECT_EQ(dummy->Name(), "Dummy");

  testing::TFreeAtEnd<TCustomTyxBox> plain(
      TCustomTyxBox::CreateDetected(E_Tyx2_100_Uninitialized, kMac, kBoxIp, QString()));
  EXPECT_EQ(plain->Name(), "Uninitialized-10:2A:3B");
  EXPECT_EQ(plain->NumPorts(), 0);
  EXPECT_TRUE(plain->IsDetected());
  EXPECT_EQ(plain->BoxMac(), kMac);
  EXPECT_EQ(plain->IP(), kBoxIp);
}

TEST_F(TyxBoxTest, RegisteredAsType603) {
  EXPECT_EQ(GetClassOfType(kTyxBoxType), TTyxBox::StaticClass());
  EXPECT_TRUE(TTyxBox::StaticClass()->InheritsFrom(TCustomTyxBox::StaticClass()));
}

TEST_F(TyxBoxTest, FirmwareCapabilities) {
  struct Case {
    TFirmVer version;  // wire order: build first
    bool compressed, unicast;
  };
  const Case cases[] = {
      {{0, 0, 4, 1}, false, false},    // 1.4.0.0
      {{255, 3, 5, 1}, false, false},  // 1.5.3.255
      {{0, 4, 5, 1}, true, false},     // 1.5.4.0
      {{0, 7, 5, 1}, true, false},     // 1.5.7.0
      {{1, 7, 5, 1}, true, true},      // 1.5.7.1
  };
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  for (const Case& c : cases) {
    box->SetSVersion(c.version);
    EXPECT_EQ(box->CanCompressed(), c.compressed) << box->VersionStr().toStdString();
    EXPECT_EQ(box->CanVelaUnicastOutput(), c.unicast) << box->VersionStr().toStdString();
    EXPECT_EQ(box->NeedsUncompressed(), !c.compressed) << box->VersionStr().toStdString();
  }
  box->SetWanBox(true);
  EXPECT_FALSE(box->NeedsUncompressed());
}

// ---------------------------------------------------------------------------
// Port changes and the setup command

TEST_F(TyxBoxTest, VelaPoolUniverse200ToArtNetCutsTo15AndSendsOneSetup) {
  TRec p0{.Protocol = tyxp_VelaPool, .Universe = 200, .Timeout = 5};
  TRec p1{.Protocol = tyxp_ArtNet, .Mode = P_Dmx_In, .SubNet = 3, .Universe = 7};
  TTyxBox* box = MakeBox(E_Tyx2_10, {p0, p1});
  box->SetPortProtocol(0, tyxp_ArtNet);
  ASSERT_EQ(fSent.Packets.size(), 1u);
  TRec want = p0;
  want.Protocol = tyxp_ArtNet;
  want.Universe = 15;
  EXPECT_EQ(fSent.Packets[0], SetupPacket({want, p1}));
  EXPECT_EQ(fSent.Packets[0].size(), 8 + 122);
  EXPECT_EQ(box->PendingSetup(0)->Universe, 15);
  // Sending leaves the confirmed setup alone; the report confirms it.
  EXPECT_EQ(box->PortUniverse(0), 200);
  EXPECT_EQ(box->PortProtocol(0), tyxp_VelaPool);
  EXPECT_EQ(fSent.Destinations[0], 0xED010101u);
}

TEST_F(TyxBoxTest, SubNetAboveArtNetLimitIsRejected) {
  TRec p0{.Protocol = tyxp_ArtNet, .Universe = 1};
  TTyxBox* box = MakeBox(E_Tyx2_10, {p0, TRec{}});
  int told = 0;
  box->OnDetectedChanged = [&](TConnection*) { ++told; };
  box->ClearDirtyOnNext();
  box->SetPortSubNet(0, 16);
  EXPECT_TRUE(fSent.Packets.empty());
  EXPECT_TRUE(box->DirtyOnNext());
  EXPECT_EQ(told, 1);
  EXPECT_EQ(box->PendingSetup(0)->SubNet, 0);

  box->SetPortSubNet(0, 15);
  ASSERT_EQ(fSent.Packets.size(), 1u);
  TRec want = p0;
  want.SubNet = 15;
  EXPECT_EQ(fSent.Packets[0], SetupPacket({want, TRec{}}));
}

TEST_F(TyxBoxTest, OffsetModeMultipliesAndDividesUniverse) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{.Universe = 3}, TRec{}});
  box->SetPortOffsetMode(0, true);
  EXPECT_EQ(box->PendingSetup(0)->Universe, 1536);
  EXPECT_EQ(box->PendingSetup(0)->fUniverseIsChannel, 1);
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(fSent.Packets[0], SetupPacket({TRec{.Universe = 1536, .IsChannel = 1}, TRec{}}));
  box->SetPortOffsetMode(0, false);
  EXPECT_EQ(box->PendingSetup(0)->Universe, 3);
  // Back to the confirmed setup: nothing differs, nothing is sent.
  EXPECT_EQ(fSent.Packets.size(), 1u);
}

TEST_F(TyxBoxTest, ModeOtherThanOutputSwitchesOffsetModeOff) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{.Universe = 1536, .IsChannel = 1}, TRec{}});
  box->SetPortMode(0, P_Dmx_In);
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(fSent.Packets[0], SetupPacket({TRec{.Mode = P_Dmx_In, .Universe = 3}, TRec{}}));
}

TEST_F(TyxBoxTest, ChangesToTheCurrentValueSendNothing) {
  const TRec p0{.Protocol = tyxp_ArtNet,
                .Termination = 1,
                .SubNet = 2,
                .Universe = 3,
                .Ip = 0x0A000001,
                .Unicast = 1,
                .Size = 100,
                .Timeout = 4};
  TTyxBox* box = MakeBox(E_Tyx2_10, {p0, TRec{}});
  box->SetPortMode(0, P_Dmx_Out);
  box->SetPortProtocol(0, tyxp_ArtNet);
  box->SetPortSubNet(0, 2);
  box->SetPortUniverse(0, 3);
  box->SetPortTermination(0, 1);
  box->SetPortTimeout(0, 4);
  box->SetPortSize(0, 100);
  box->SetPortSize(0, 513);  // beyond a universe: ignored
  box->SetPortOffsetMode(0, false);
  box->SetUnicastIp(0, true, QStringLiteral("10.0.0.1"));
  EXPECT_TRUE(fSent.Packets.empty());
  EXPECT_EQ(*box->PendingSetup(0), p0.Setup());
}

TEST_F(TyxBoxTest, EachPortChangeSendsItsField) {
  struct Case {
    const char* what;
    std::function<void(TTyxBox&)> change;
    TRec want;
  };
  const Case cases[] = {
      {"universe", [](TTyxBox& b) { b.SetPortUniverse(1, 255); }, TRec{.Universe = 255}},
      {"termination", [](TTyxBox& b) { b.SetPortTermination(1, 1); }, TRec{.Termination = 1}},
      {"time-out", [](TTyxBox& b) { b.SetPortTimeout(1, 9); }, TRec{.Timeout = 9}},
      {"size", [](TTyxBox& b) { b.SetPortSize(1, 24); }, TRec{.Size = 24}},
      {"mode", [](TTyxBox& b) { b.SetPortMode(1, P_MidiOut); }, TRec{.Mode = P_MidiOut}},
      {"unicast", [](TTyxBox& b) { b.SetUnicastIp(1, true, QStringLiteral("10.1.2.3")); },
       TRec{.Ip = 0x0A010203, .Unicast = 1}},
      {"protocol", [](TTyxBox& b) { b.SetPortProtocol(1, tyxp_ShowNet); }, TRec{.Protocol = tyxp_ShowNet}},
  };
  for (const Case& c : cases) {
    fSent.Packets.clear();
    TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
    c.change(*box);
    ASSERT_EQ(fSent.Packets.size(), 1u) << c.what;
    EXPECT_EQ(fSent.Packets[0], SetupPacket({TRec{}, c.want})) << c.what;
  }
}

TEST_F(TyxBoxTest, RefusedValuesAreRejected) {
  struct Case {
    const char* what;
    std::function<void(TTyxBox&)> change;
  };
  const Case cases[] = {
      {"universe over Art-Net", [](TTyxBox& b) { b.SetPortUniverse(0, 16); }},
      {"protocol internal", [](TTyxBox& b) { b.SetPortProtocol(0, tyxp_internal); }},
      {"protocol VelaNet node", [](TTyxBox& b) { b.SetPortProtocol(0, tyxp_VelaNetNode); }},
      {"protocol patched", [](TTyxBox& b) { b.SetPortProtocol(0, tyxp_Patched1); }},
      {"negative subnet", [](TTyxBox& b) { b.SetPortSubNet(0, -1); }},
      {"unicast address text", [](TTyxBox& b) { b.SetUnicastIp(0, true, QStringLiteral("10.0.0")); }},
  };
  for (const Case& c : cases) {
    fSent.Packets.clear();
    TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{.Protocol = tyxp_ArtNet}, TRec{}});
    box->ClearDirtyOnNext();
    c.change(*box);
    EXPECT_TRUE(fSent.Packets.empty()) << c.what;
    EXPECT_TRUE(box->DirtyOnNext()) << c.what;
    EXPECT_EQ(*box->PendingSetup(0), TRec{.Protocol = tyxp_ArtNet}.Setup()) << c.what;
  }
}

TEST_F(TyxBoxTest, Tyx8SendsCommand102With476DataBytes) {
  std::vector<TRec> records(8);
  for (int i = 0; i < 8; ++i) records[i].Universe = static_cast<uint16_t>(i);
  TTyxBox* box = MakeBox(E_Tyx8_10, records);
  box->SetPortUniverse(7, 100);
  ASSERT_EQ(fSent.Packets.size(), 1u);
  records[7].Universe = 100;
  EXPECT_EQ(fSent.Packets[0], SetupPacket(records));
  EXPECT_EQ(fSent.Packets[0].size(), 8 + 476);
}

TEST_F(TyxBoxTest, NoSetupBeforeReportOrForDummies) {
  TTyxBox* early = MakeBox(E_Tyx2_10, {}, false);
  early->SetPortUniverse(0, 5);
  EXPECT_TRUE(fSent.Packets.empty());

  TTyxBox* dummy = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  dummy->AsDemo = true;
  dummy->SetPortUniverse(0, 5);
  EXPECT_TRUE(fSent.Packets.empty());

  // Silence forgets the received setup until the next full report.
  TTyxBox* lost = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  lost->SetAlive(false);
  EXPECT_FALSE(lost->SetupReceived);
  lost->SetPortUniverse(0, 5);
  EXPECT_TRUE(fSent.Packets.empty());
  lost->SetAlive(true);
  Feed(*lost, {TRec{}, TRec{}});
  lost->SetPortUniverse(0, 5);
  EXPECT_EQ(fSent.Packets.size(), 1u);
}

TEST_F(TyxBoxTest, UndetectedBoxTakesTheChangeAtOnce) {
  testing::TFreeAtEnd<TTyxBox> box(TTyxBox::Create(E_Tyx2_10, QStringLiteral("00:00:00"), QString()));
  box->SetCommandSender(&fSent);
  box->SetPortUniverse(1, 42);
  EXPECT_TRUE(fSent.Packets.empty());
  EXPECT_EQ(box->PortUniverse(1), 42);
  EXPECT_TRUE(box->DirtyOnNext());
}

TEST_F(TyxBoxTest, OutOfRangePortsAreIgnored) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{.Protocol = tyxp_ArtNet, .SubNet = 1, .Universe = 2}, TRec{}});
  box->ClearDirtyOnNext();
  for (int port : {-1, 2, 255}) {
    EXPECT_EQ(box->PortProtocol(port), tyxp_none);
    EXPECT_EQ(box->PortMode(port), P_Disabled);
    EXPECT_EQ(box->PortSubNet(port), 0);
    EXPECT_EQ(box->PortUniverse(port), 0);
    EXPECT_EQ(box->PortSize(port), 0);
    EXPECT_FALSE(box->PortOffsetMode(port));
    QString ip;
    EXPECT_FALSE(box->GetUnicastIp(port, ip));
    box->SetPortProtocol(port, tyxp_ArtNet);
    box->SetPortSubNet(port, 300);
    box->SetPortUniverse(port, 1);
    box->SetPortMode(port, P_Dmx_In);
    box->SetPortOffsetMode(port, true);
    box->SetPortSize(port, 10);
    box->SetUnicastIp(port, true, QStringLiteral("10.0.0.1"));
  }
  EXPECT_TRUE(fSent.Packets.empty());
  EXPECT_FALSE(box->DirtyOnNext());
}

TEST_F(TyxBoxTest, DmxInOnOldFirmwareReadsAsVelaPool) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{.Protocol = tyxp_ArtNet, .Mode = P_Dmx_In}, TRec{}});
  EXPECT_EQ(box->PortProtocol(0), tyxp_ArtNet);
  box->SetSVersion({255, 4, 0, 1});  // 1.0.4.255
  EXPECT_EQ(box->PortProtocol(0), tyxp_VelaPool);
}

TEST_F(TyxBoxTest, LimitsByProtocol) {
  struct Case {
    TTyxProts p;
    int subnet, universe, universeOffset;
  };
  const Case cases[] = {
      {tyxp_VelaPool, 255, 255, 255},    {tyxp_VelaIpx, 255, 255, 255},  {tyxp_ArtNet, 15, 15, 15},
      {tyxp_Compulite, 15, 15, 15},      {tyxp_HorizonWyg, 0, 511, 511}, {tyxp_AvabIpx, 9, 11, 6144},
      {tyxp_Pathport, 0, 127, 127},      {tyxp_ShowNet, 31, 511, 511},   {tyxp_Hydra, 9, 7, 7},
      {tyxp_ACNLite, 255, 65535, 65535}, {tyxp_ColorNet, 255, 511, 511}, {tyxp_none, 255, 511, 511},
  };
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{.IsChannel = 1}});
  for (const Case& c : cases) {
    EXPECT_EQ(box->MaxSubNet(0, c.p), c.subnet) << int(c.p);
    EXPECT_EQ(box->MaxUniverse(0, c.p), c.universe) << int(c.p);
    EXPECT_EQ(box->MaxUniverse(1, c.p), c.universeOffset) << int(c.p);
  }
  for (int p = 0; p <= tyxp_notdefined; ++p) {
    const bool invalid = p == tyxp_internal || p == tyxp_VelaNetNode || p == tyxp_Patched1;
    EXPECT_EQ(TTyxBox::ProtocolValid(static_cast<TTyxProts>(p)), !invalid) << p;
  }
}

// ---------------------------------------------------------------------------
// Commands and state

TEST_F(TyxBoxTest, SmallCommandsByteForByte) {
  struct Case {
    const char* what;
    std::function<void(TTyxBox&)> run;
    const char* hex;  // behind the code and the MAC
    const char* code;
  };
  const Case cases[] = {
      {"identify", [](TTyxBox& b) { b.Identify(); }, "", "0500"},
      {"flash", [](TTyxBox& b) { b.FlashMe(); }, "", "1500"},
      {"LEDs on", [](TTyxBox& b) { b.SetLedsLevel(3); }, "ff", "0700"},
      {"web off", [](TTyxBox& b) { b.SetWebDisabled(true); }, "01", "0b00"},
      {"set default", [](TTyxBox& b) { b.SetDefault(0xC000020A, 0xFFFF0000, 3); }, "c000020a0000ffff03", "0600"},
  };
  for (const Case& c : cases) {
    fSent.Packets.clear();
    TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
    c.run(*box);
    ASSERT_EQ(fSent.Packets.size(), 1u) << c.what;
    EXPECT_EQ(fSent.Packets[0], QByteArray::fromHex(QByteArray(c.code) + kMacHex + c.hex)) << c.what;
    EXPECT_FALSE(box->ReBooting()) << c.what;
  }
}

TEST_F(TyxBoxTest, LedsSentOnlyOnChangeAndWebFlagFollowsReport) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  box->SetLedsLevel(0);
  EXPECT_TRUE(fSent.Packets.empty());
  box->SetLedsLevel(200);
  box->SetLedsLevel(200);
  box->SetLedsLevel(0);
  ASSERT_EQ(fSent.Packets.size(), 2u);
  EXPECT_EQ(fSent.Packets[1].right(1), QByteArray(1, '\0'));
  box->SetWebDisabled(true);
  EXPECT_FALSE(box->WebDisabled());
}

TEST_F(TyxBoxTest, NameCommandTrimsAndCutsAt31) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  box->SetBoxName(QStringLiteral("  ") + QString(40, 'x') + QStringLiteral(" "));
  ASSERT_EQ(fSent.Packets.size(), 1u);
  QByteArray want = QByteArray::fromHex(QByteArray("0400") + kMacHex);
  want.append(char(31)).append(QByteArray(31, 'x'));
  EXPECT_EQ(fSent.Packets[0], want);
  box->SetBoxName(QStringLiteral(" Front "));
  want = QByteArray::fromHex(QByteArray("0400") + kMacHex);
  want.append(char(5)).append("Front").append(QByteArray(26, '\0'));
  EXPECT_EQ(fSent.Packets[1], want);
  // The shown name changes with the next report.
  EXPECT_EQ(box->Name(), "Stage");
}

TEST_F(TyxBoxTest, SetCurrentIpRebootsUntilHeardAgain) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  box->SetDefaultIp(0xC0A80114);
  box->SetDefaultMask(0xFFFFFF00);
  box->SetUseDHCP(2);
  EXPECT_EQ(box->StatusText(), "Alive");
  box->SetCurrentIp();
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(fSent.Packets[0], QByteArray::fromHex(QByteArray("0600") + kMacHex + "c0a8011400ffffff02"));
  EXPECT_TRUE(box->ReBooting());
  EXPECT_FALSE(box->Alive());
  EXPECT_EQ(box->StatusText(), "Rebooting");
  box->AliveCheck();
  EXPECT_EQ(box->StatusText(), "Rebooting");
  box->SetAlive(true);
  EXPECT_EQ(box->StatusText(), "Alive");
}

TEST_F(TyxBoxTest, SetDefaultFromTexts) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  EXPECT_FALSE(box->SetDefault(QStringLiteral("10.0.0"), QStringLiteral("255.0.0.0"), 0));
  EXPECT_TRUE(fSent.Packets.empty());
  EXPECT_FALSE(box->ReBooting());
  EXPECT_TRUE(box->SetDefault(QStringLiteral("10.0.0.9"), QStringLiteral("255.0.0.0"), 1));
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(fSent.Packets[0], QByteArray::fromHex(QByteArray("0600") + kMacHex + "0a000009000000ff01"));
  EXPECT_EQ(box->StatusText(), "Rebooting");
}

TEST_F(TyxBoxTest, SaveAndRebootResendsTheStoredSettings) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  box->SetDefaultIp(0x0A000009);
  box->SetDefaultMask(0xFF000000);
  box->SaveAndReboot();
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(fSent.Packets[0], QByteArray::fromHex(QByteArray("0600") + kMacHex + "0a000009000000ff00"));
  EXPECT_TRUE(box->ReBooting());
}

TEST_F(TyxBoxTest, NeedRebootShowsSaveChanges) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  Feed(*box, {TRec{}, TRec{}}, true);
  EXPECT_TRUE(box->NeedReboot());
  EXPECT_EQ(box->StatusText(), "Save Changes");
  box->SetAlive(false);
  EXPECT_EQ(box->StatusText(), "Save Changes");
}

TEST_F(TyxBoxTest, ReportRefreshesViewsAfterDirtyOnNext) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  int told = 0;
  box->OnDetectedChanged = [&](TConnection*) { ++told; };
  Feed(*box, {TRec{}, TRec{}});
  EXPECT_EQ(told, 0);
  box->SetPortUniverse(0, 9);  // sent, and the next report must refresh
  EXPECT_EQ(told, 0);
  Feed(*box, {TRec{}, TRec{}});  // the box did not take it
  EXPECT_EQ(told, 1);
  EXPECT_FALSE(box->DirtyOnNext());
  EXPECT_EQ(box->PendingSetup(0)->Universe, 0);
}

TEST_F(TyxBoxTest, CommandDestination) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  EXPECT_EQ(box->CommandDestination(), 0xED010101u);
  box->SetWanBox(true);
  EXPECT_EQ(box->CommandDestination(), kBoxIp);
  ASSERT_NE(box->InBlocks(), nullptr);
  EXPECT_EQ(box->InBlocks()->Numblocks(), 2);
}

TEST_F(TyxBoxTest, IpDialogHookFillsAndSends) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{}, TRec{}});
  box->SetDefaultIp(0x0A000009);
  box->SetDefaultMask(0xFF000000);
  box->SetUseDHCP(4);
  EXPECT_FALSE(box->ShowIpDialog());  // no dialog installed
  TIpSettings seen;
  TyxIpDialogHook() = [&](TIpSettings& s) {
    seen = s;
    s.DefaultIp = 0x0A000010;
    s.Dhcp = 0;
    return true;
  };
  EXPECT_TRUE(box->ShowIpDialog());
  TyxIpDialogHook() = nullptr;
  EXPECT_EQ(seen, (TIpSettings{0x0A000009, 0xFF000000, 4}));
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(fSent.Packets[0], QByteArray::fromHex(QByteArray("0600") + kMacHex + "0a000010000000ff00"));
  EXPECT_TRUE(box->ReBooting());
}

// ---------------------------------------------------------------------------
// DMX to a WAN box

TEST_F(TyxBoxTest, DmxToWanSendsChangedRangesAndRefreshes) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{.SubNet = 3, .Universe = 4}, TRec{.Universe = 5}});
  TDmxCapture dmx;
  box->SetDmxSender(&dmx);
  box->SetWanBox(true);
  box->SetPortUse(0, PU_In);
  box->SetPortUse(1, PU_In);
  box->SetMaxMin(10, 12, 1, 512);
  fClock.AdvanceSeconds(10);

  box->SendDmxToWan();  // never sent: both are stale
  ASSERT_EQ(dmx.Sends.size(), 2u);
  EXPECT_EQ(dmx.Sends[0].NetGroup, 3);
  EXPECT_EQ(dmx.Sends[0].Universe, 4);
  EXPECT_EQ(dmx.Sends[0].Offset, 9);
  EXPECT_EQ(dmx.Sends[0].Levels, QByteArray(3, '\0'));
  EXPECT_EQ(dmx.Sends[1].Offset, 0);
  EXPECT_EQ(dmx.Sends[1].Levels.size(), 512);

  dmx.Sends.clear();
  fClock.AdvanceSeconds(1);
  box->SendDmxToWan();  // unchanged and fresh
  EXPECT_TRUE(dmx.Sends.empty());

  // A change inside port 0's range goes out at once; one outside it does not.
  box->InBlocks()->Block(0)->SetLevelOffs1(11, 77);
  box->InBlocks()->Block(0)->SetLevelOffs1(200, 5);
  box->SendDmxToWan();
  ASSERT_EQ(dmx.Sends.size(), 1u);
  EXPECT_EQ(dmx.Sends[0].Levels, QByteArray::fromHex("004d00"));
  box->SendDmxToWan();
  EXPECT_EQ(dmx.Sends.size(), 1u);

  dmx.Sends.clear();
  fClock.AdvanceSeconds(4.5);  // more than four seconds since either last send
  box->SendDmxToWan();
  EXPECT_EQ(dmx.Sends.size(), 2u);
}

TEST_F(TyxBoxTest, DmxToWanOnlyForPoolPortsInUse) {
  TTyxBox* box = MakeBox(E_Tyx2_10, {TRec{.Protocol = tyxp_ArtNet}, TRec{}});
  TDmxCapture dmx;
  box->SetDmxSender(&dmx);
  box->SendDmxToWan();  // not a WAN box
  EXPECT_TRUE(dmx.Sends.empty());
  box->SetWanBox(true);
  box->SetPortUse(0, PU_In);  // Art-Net: not for the pool
  fClock.AdvanceSeconds(10);
  box->SendDmxToWan();  // port 1 not in use
  EXPECT_TRUE(dmx.Sends.empty());
}

}  // namespace
}  // namespace vela
