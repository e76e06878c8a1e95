// Command packets, the poll and the raw box packet, checked byte for byte.
#include <gtest/gtest.h>

#include <vector>

#include "common/QtPrinters.h"
#include "devices/TyxCommands.h"
#include "devices/TyxReports.h"
#include "platform/Assertion.h"

namespace vela {
namespace {

const TEmac kMac = {0x00, 0x50, 0xC2, 0x10, 0x2A, 0x3B};

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

// The 8-byte header of a command to kMac, as hexadecimal text.
std::string Header(const char* codeLE) { return std::string(codeLE) + "0050c2102a3b"; }

TEST(TyxCommands, SmallCommandsByteForByte) {
  struct Case {
    const char* what;
    QByteArray packet;
    std::string expectedHex;
  };
  const Case cases[] = {
      {"identify", BuildIdentifyCommand(kMac), Header("0500")},
      {"flash", BuildFlashCommand(kMac), Header("1500")},
      {"LEDs on", BuildLedsCommand(kMac, true), Header("0700") + "ff"},
      {"LEDs off", BuildLedsCommand(kMac, false), Header("0700") + "00"},
      {"web disabled", BuildWebAdminCommand(kMac, true), Header("0b00") + "01"},
      {"web enabled", BuildWebAdminCommand(kMac, false), Header("0b00") + "00"},
      // 192.0.2.10, mask 255.255.0.0 (lowest octet first), DHCP setting 3
      {"set IP", BuildSetIpCommand(kMac, 0xC000020A, 0xFFFF0000, 3), Header("0600") + "c000020a" + "0000ffff" + "03"},
      {"set IP, fixed", BuildSetIpCommand(kMac, 0x7F000001, 0xFFFFFF00, 0),
       Header("0600") + "7f000001" + "00ffffff" + "00"},
      {"poll", BuildPoll(), "00000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.packet, Hex(c.expectedHex.c_str())) << c.what;
}

TEST(TyxCommands, SetNameSendsTheTrimmedNameInA32ByteField) {
  const QByteArray packet = BuildSetNameCommand(kMac, QStringLiteral("  Lighthouse  "));
  ASSERT_EQ(packet.size(), 8 + 32);
  EXPECT_EQ(packet.left(8), Hex(Header("0400").c_str()));
  EXPECT_EQ(static_cast<uint8_t>(packet[8]), 10);
  EXPECT_EQ(packet.mid(9, 10), QByteArray("Lighthouse"));
  EXPECT_EQ(packet.mid(19), QByteArray(21, '\0'));
}

TEST(TyxCommands, SetNameCutsTo31Characters) {
  const QByteArray packet = BuildSetNameCommand(kMac, QString(40, QLatin1Char('x')));
  ASSERT_EQ(packet.size(), 40);
  EXPECT_EQ(static_cast<uint8_t>(packet[8]), 31);
  EXPECT_EQ(packet.mid(9), QByteArray(31, 'x'));
}

std::vector<TOnePortSetup> NumberedSetups(int count) {
  std::vector<TOnePortSetup> setups(count);
  for (int i = 0; i < count; ++i) {
    setups[i].EProtocol = tyxp_ArtNet;
    setups[i].Direction = P_Dmx_Out;
    setups[i].Universe = static_cast<uint16_t>(0x0100 + i);
    setups[i].DSize = 512;
    setups[i].SourceName[42] = static_cast<uint8_t>(0xE0 + i);  // last byte of each record
  }
  return setups;
}

TEST(TyxCommands, PortSetupCommandPerKind) {
  struct Case {
    TTyxKind kind;
    int ports;
    uint16_t code;
  };
  const Case cases[] = {{E_Tyx2_10, 2, 2}, {E_Tyx2_100, 2, 2}, {E_Tyx8_10, 8, 102}};
  for (const Case& c : cases) {
    SCOPED_TRACE(TyxKindText(c.kind).toStdString());
    const auto setups = NumberedSetups(c.ports);
    const auto packet = BuildPortSetupCommand(c.kind, kMac, setups);
    ASSERT_TRUE(packet.has_value());
    ASSERT_EQ(packet->size(), 8 + 4 + 59 * c.ports);  // 130 or 484: L is 122 or 476
    EXPECT_EQ(static_cast<uint8_t>((*packet)[0]), c.code);
    EXPECT_EQ(static_cast<uint8_t>((*packet)[1]), 0);
    EXPECT_EQ(packet->mid(2, 6), QByteArray(reinterpret_cast<const char*>(kMac.data()), 6));
    EXPECT_EQ(packet->mid(8, 4), QByteArray(4, '\0'));  // reserved: where a report has the firmware version
    for (int i = 0; i < c.ports; ++i) {
      const int at = 12 + 59 * i;
      EXPECT_EQ(static_cast<uint8_t>((*packet)[at]), tyxp_ArtNet) << i;
      EXPECT_EQ(static_cast<uint8_t>((*packet)[at + 5]), i) << i;  // universe, low byte first
      EXPECT_EQ(static_cast<uint8_t>((*packet)[at + 6]), 0x01) << i;
      EXPECT_EQ(static_cast<uint8_t>((*packet)[at + 58]), 0xE0 + i) << i;
      const auto record = setups[i].ToBytes();
      EXPECT_EQ(packet->mid(at, 59), QByteArray(reinterpret_cast<const char*>(record.data()), 59)) << i;
    }
  }
}

TEST(TyxCommands, NoPortSetupForBoxesWithoutPorts) {
  EXPECT_FALSE(BuildPortSetupCommand(E_Tyx2_100_Uninitialized, kMac, {}).has_value());
  EXPECT_FALSE(BuildPortSetupCommand(static_cast<TTyxKind>(7), kMac, {}).has_value());
}

TEST(TyxCommands, PortSetupWithWrongRecordCountIsAProgrammingError) {
  const auto setups = NumberedSetups(3);
  EXPECT_THROW(BuildPortSetupCommand(E_Tyx2_10, kMac, setups), EVelaAssertion);
  EXPECT_THROW(BuildPortSetupCommand(E_Tyx8_10, kMac, setups), EVelaAssertion);
}

TEST(TyxCommands, DataUpTo1024BytesIsSent) {
  const std::vector<uint8_t> data(1024, 0x5A);
  const QByteArray packet = BuildCommand(99, kMac, data);
  ASSERT_EQ(packet.size(), 1032);
  EXPECT_EQ(packet.left(2), Hex("6300"));
  EXPECT_EQ(packet.mid(8), QByteArray(1024, 0x5A));
}

TEST(TyxCommands, DataOver1024BytesRaisesTheAssertionFailure) {
  const std::vector<uint8_t> data(1025, 0);
  try {
    BuildCommand(TC_Identify, kMac, data);
    FAIL() << "no assertion failure";
  } catch (const EVelaAssertion& failure) {
    EXPECT_EQ(failure.Text(), QStringLiteral("Assertion failure"));
    EXPECT_EQ(failure.Unit(), QStringLiteral("tyxbox/TyxBoxes"));
  }
}

TEST(TyxCommands, OwnCommandsAreNeverTakenForStatusReports) {
  const auto setups2 = NumberedSetups(2);
  const auto setups8 = NumberedSetups(8);
  const QByteArray commands[] = {
      BuildIdentifyCommand(kMac),
      BuildFlashCommand(kMac),
      BuildLedsCommand(kMac, true),
      BuildWebAdminCommand(kMac, true),
      BuildSetIpCommand(kMac, 1, 2, 3),
      BuildSetNameCommand(kMac, QStringLiteral("n")),
      BuildPoll(),
      *BuildPortSetupCommand(E_Tyx2_10, kMac, setups2),
      *BuildPortSetupCommand(E_Tyx8_10, kMac, setups8),
  };
  for (const QByteArray& c : commands) EXPECT_FALSE(ParseStatusReport(c).has_value()) << c.toHex().toStdString();
}

TEST(TyxVelaBoxPacket, WireFormAndLength) {
  TVelaBoxPacket packet;
  packet.Command = 0x0102;
  packet.mac = kMac;
  packet.Data[0] = 0xAA;
  packet.Data[1023] = 0xBB;
  const QByteArray full = packet.ToBytes();
  ASSERT_EQ(full.size(), 1032);
  EXPECT_EQ(full.left(9), Hex("02010050c2102a3baa"));
  EXPECT_EQ(static_cast<uint8_t>(full[1031]), 0xBB);
  EXPECT_EQ(packet.ToBytes(9), full.left(9));
  EXPECT_EQ(packet.ToBytes(0), QByteArray());
  EXPECT_THROW(packet.ToBytes(1033), EVelaAssertion);
  EXPECT_THROW(packet.ToBytes(-1), EVelaAssertion);
}

TEST(TyxCommandPacket, ParseGivesHeaderAndData) {
  const auto parsed = ParseCommandPacket(BytesOf(BuildSetIpCommand(kMac, 0x7F000001, 0xFFFF0000, 2)));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->Command, TC_SetIp);
  EXPECT_EQ(parsed->Mac, kMac);
  EXPECT_EQ(parsed->Data, Hex("7f0000010000ffff02"));
}

TEST(TyxCommandPacket, ParseRejectsShortAndOversizedDatagrams) {
  struct Case {
    int size;
    bool accepted;
  };
  const Case cases[] = {{0, false}, {7, false}, {8, true}, {1032, true}, {1033, false}, {2048, false}};
  for (const Case& c : cases) {
    const std::vector<uint8_t> datagram(c.size, 0x05);
    EXPECT_EQ(ParseCommandPacket(datagram).has_value(), c.accepted) << c.size;
  }
}

}  // namespace
}  // namespace vela
