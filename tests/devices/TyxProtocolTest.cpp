// Kinds, MAC and firmware texts, DHCP settings, the port setup record and the
// box name field.
#include <gtest/gtest.h>

#include <vector>

#include "common/QtPrinters.h"
#include "devices/TyxProtocol.h"

namespace vela {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

TEST(TyxKind, TextAndPortCountPerKind) {
  struct Case {
    int value;
    const char* text;
    int ports;
  };
  const Case cases[] = {
      {0, "TYX2-10", 2}, {1, "TYX8", 8}, {2, "Uninitialized", 0}, {3, "TYX2-10/100", 2}, {4, "??", 0}, {255, "??", 0},
  };
  for (const Case& c : cases) {
    const auto kind = static_cast<TTyxKind>(c.value);
    EXPECT_EQ(TyxKindText(kind), QString::fromLatin1(c.text)) << c.value;
    EXPECT_EQ(TyxKindPortCount(kind), c.ports) << c.value;
  }
  EXPECT_EQ(E_Tyx2_10, 0);
  EXPECT_EQ(E_Tyx8_10, 1);
  EXPECT_EQ(E_Tyx2_100_Uninitialized, 2);
  EXPECT_EQ(E_Tyx2_100, 3);
}

TEST(TyxEnumerations, WireValues) {
  const TTyxProts protocols[] = {tyxp_none,       tyxp_internal,     tyxp_VelaPool,  tyxp_VelaNetNode, tyxp_ArtNet,
                                 tyxp_HorizonWyg, tyxp_Compulite,    tyxp_AvabIpx,   tyxp_Pathport,    tyxp_ShowNet,
                                 tyxp_Hydra,      tyxp_Patched1,     tyxp_Thru,      tyxp_VelaIpx,     tyxp_ACNLite,
                                 tyxp_ColorNet,   tyxp_ACNLiteFinal, tyxp_notdefined};
  for (int i = 0; i < static_cast<int>(std::size(protocols)); ++i) EXPECT_EQ(protocols[i], i);
  const TEboxPortMode modes[] = {P_Disabled, P_Dmx_Out, P_Dmx_In, P_MidiOut, P_Midi_In, P_DmxFromEther};
  for (int i = 0; i < static_cast<int>(std::size(modes)); ++i) EXPECT_EQ(modes[i], i);
  static_assert(sizeof(TTyxProts) == 1 && sizeof(TEboxPortMode) == 1 && sizeof(TTyxKind) == 1);
}

TEST(TyxMac, TextsSerialAndKind) {
  struct Case {
    TEmac mac;
    const char* text;
    const char* shortText;
    uint32_t serial;
    TTyxKind twoPortKind;
  };
  const Case cases[] = {
      {{0x00, 0x50, 0xC2, 0x0A, 0x1B, 0x2C}, "00:50:C2:0A:1B:2C", "0A:1B:2C", 0x0A1B2C, E_Tyx2_100},
      {{0xDE, 0xAD, 0xBE, 0x10, 0x00, 0x01}, "DE:AD:BE:10:00:01", "10:00:01", 0x100001, E_Tyx2_10},
      {{0x01, 0x02, 0x03, 0x11, 0xff, 0xee}, "01:02:03:11:FF:EE", "11:FF:EE", 0x11FFEE, E_Tyx2_100},
      {{0x10, 0x10, 0x10, 0x00, 0x10, 0x10}, "10:10:10:00:10:10", "00:10:10", 0x001010, E_Tyx2_100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MacText(c.mac), QString::fromLatin1(c.text));
    EXPECT_EQ(MacName(c.mac), QString::fromLatin1(c.shortText));
    EXPECT_EQ(SerialNo(c.mac), c.serial) << c.text;
    EXPECT_EQ(TwoPortKindFromMac(c.mac), c.twoPortKind) << c.text;
  }
}

TEST(TyxFirmware, VersionNumberAndTextTakeTheLastWireByteFirst) {
  struct Case {
    TFirmVer wire;
    uint32_t number;
    const char* text;
  };
  const Case cases[] = {
      {{0x00, 0x04, 0x05, 0x01}, 0x01050400, "1.5.4.0"}, {{0x01, 0x02, 0x03, 0x04}, 0x04030201, "4.3.2.1"},
      {{0x00, 0x05, 0x00, 0x01}, 0x01000500, "1.0.5.0"}, {{0xFF, 0x00, 0x0A, 0xC8}, 0xC80A00FF, "200.10.0.255"},
      {{0x00, 0x00, 0x00, 0x00}, 0, "0.0.0.0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirmVersion(c.wire), c.number) << c.text;
    EXPECT_EQ(FirmVersionText(c.wire), QString::fromLatin1(c.text));
  }
  EXPECT_EQ(MakeFirmVersion(1, 5, 4, 0), 0x01050400u);
}

TEST(TyxFirmware, CapabilityThresholds) {
  struct Case {
    uint32_t version;
    bool dmxInAnyProtocol;
    bool compressed;
    bool unicast;
  };
  const Case cases[] = {
      {MakeFirmVersion(1, 0, 4, 255), false, false, false}, {MakeFirmVersion(1, 0, 5, 0), true, false, false},
      {MakeFirmVersion(1, 5, 3, 255), true, false, false},  {MakeFirmVersion(1, 5, 4, 0), true, true, false},
      {MakeFirmVersion(1, 5, 7, 0), true, true, false},     {MakeFirmVersion(1, 5, 7, 1), true, true, true},
      {MakeFirmVersion(2, 0, 0, 0), true, true, true},      {MakeFirmVersion(0, 255, 255, 255), false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(FirmVersionText(c.version).toStdString());
    EXPECT_EQ(DmxInAnyProtocol(c.version), c.dmxInAnyProtocol);
    EXPECT_EQ(CanCompressed(c.version), c.compressed);
    EXPECT_EQ(CanVelaUnicastOutput(c.version), c.unicast);
  }
}

TEST(TyxFirmware, OldFirmwareDmxInPortUsesThePool) {
  struct Case {
    TEboxPortMode mode;
    uint32_t version;
    TTyxProts expected;
  };
  const Case cases[] = {
      {P_Dmx_In, MakeFirmVersion(1, 0, 4, 9), tyxp_VelaPool},
      {P_Dmx_In, MakeFirmVersion(1, 0, 5, 0), tyxp_ArtNet},
      {P_Dmx_Out, MakeFirmVersion(1, 0, 4, 9), tyxp_ArtNet},
      {P_DmxFromEther, 0, tyxp_ArtNet},
  };
  for (const Case& c : cases) {
    TOnePortSetup setup;
    setup.EProtocol = tyxp_ArtNet;
    setup.Direction = c.mode;
    EXPECT_EQ(EffectivePortProtocol(setup, c.version), c.expected) << int(c.mode) << " " << c.version;
  }
}

TEST(TyxDhcp, SettingMeaningAndListEntry) {
  struct Case {
    int setting;
    bool enabled;
    int seconds;
    int listIndex;
  };
  const Case cases[] = {
      {0, false, 0, 0},  {1, true, 2, 1},    {2, true, 6, 2},  {3, true, 14, 3}, {5, true, 62, 5},
      {8, true, 510, 8}, {9, true, 1022, 9}, {10, true, 0, 2}, {12, true, 0, 2}, {255, true, 0, 2},
  };
  for (const Case& c : cases) {
    const auto setting = static_cast<uint8_t>(c.setting);
    EXPECT_EQ(DhcpEnabled(setting), c.enabled) << c.setting;
    EXPECT_EQ(DhcpFallbackSeconds(setting), c.seconds) << c.setting;
    EXPECT_EQ(DhcpListIndex(setting), c.listIndex) << c.setting;
  }
}

// A record with a distinct value in every field, and its wire form written out by offset.
TOnePortSetup SampleSetup() {
  TOnePortSetup s;
  s.EProtocol = tyxp_ShowNet;
  s.Direction = P_DmxFromEther;
  s.Termination = 1;
  s.DmxSpeed = 0x33;
  s.SubNet = 0x1F;
  s.Universe = 0x0201;
  s.fUniverseIsChannel = 1;
  s.SourceIP = 0x7F000102;  // 127.0.1.2
  s.Unicast = 1;
  s.DSize = 0x01FE;
  s.Timeout = 0x44;
  for (size_t i = 0; i < s.SourceName.size(); ++i) s.SourceName[i] = static_cast<uint8_t>(0xA0 + i);
  return s;
}

std::vector<uint8_t> SampleSetupBytes() {
  std::vector<uint8_t> b = Bytes({9, 5, 1, 0x33, 0x1F, 0x01, 0x02, 1, 127, 0, 1, 2, 1, 0xFE, 0x01, 0x44});
  for (int i = 0; i < 43; ++i) b.push_back(static_cast<uint8_t>(0xA0 + i));
  return b;
}

TEST(TyxPortSetup, WireLayoutByOffset) {
  const auto expected = SampleSetupBytes();
  ASSERT_EQ(expected.size(), 59u);
  const auto bytes = SampleSetup().ToBytes();
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);
  EXPECT_EQ(TOnePortSetup::FromBytes(expected), SampleSetup());
}

TEST(TyxPortSetup, AnyBytesSurviveReadAndWrite) {
  // Values outside the enumerations and flags other than 0 and 1 are carried unchanged.
  for (int seed = 0; seed < 8; ++seed) {
    std::array<uint8_t, 59> raw{};
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(0xFF - i * 7 - seed * 31);
    EXPECT_EQ(TOnePortSetup::FromBytes(raw).ToBytes(), raw) << seed;
  }
}

TEST(TyxPortSetup, EqualityFollowsEveryByte) {
  const auto base = SampleSetup().ToBytes();
  for (size_t i = 0; i < base.size(); ++i) {
    auto changed = base;
    changed[i] ^= 0x01;
    EXPECT_FALSE(TOnePortSetup::FromBytes(changed) == TOnePortSetup::FromBytes(base)) << "byte " << i;
  }
}

TEST(TyxPortSetup, ShortInputReadsMissingBytesAsZero) {
  const auto full = SampleSetupBytes();
  const std::vector<uint8_t> head(full.begin(), full.begin() + 10);
  const TOnePortSetup s = TOnePortSetup::FromBytes(head);
  EXPECT_EQ(s.EProtocol, tyxp_ShowNet);
  EXPECT_EQ(s.Universe, 0x0201);
  EXPECT_EQ(s.SourceIP, 0x7F000000u);  // only the first two octets arrived
  EXPECT_EQ(s.Unicast, 0);
  EXPECT_EQ(s.DSize, 0);
  EXPECT_EQ(s.SourceName, (std::array<uint8_t, 43>{}));
  EXPECT_EQ(TOnePortSetup::FromBytes({}), TOnePortSetup{});
}

TEST(TyxNameField, MakeTrimsCutsAndEncodes) {
  struct Case {
    QString name;
    std::vector<uint8_t> expectedHead;  // length byte and characters; the rest must be zero
  };
  const Case cases[] = {
      {QStringLiteral("  Stageboxes  "), Bytes({10, 'S', 't', 'a', 'g', 'e', 'b', 'o', 'x', 'e', 's'})},
      {QStringLiteral("\tA b\r\n"), Bytes({3, 'A', ' ', 'b'})},
      {QString(), Bytes({0})},
      {QStringLiteral("    "), Bytes({0})},
      {QStringLiteral("Caf\u00e9 \u20ac \u4e2d"), Bytes({8, 'C', 'a', 'f', 0xE9, ' ', 0x80, ' ', '?'})},
  };
  for (const Case& c : cases) {
    const TTyxNameField field = MakeNameField(c.name);
    std::vector<uint8_t> expected = c.expectedHead;
    expected.resize(32, 0);
    EXPECT_EQ(std::vector<uint8_t>(field.begin(), field.end()), expected) << c.name.toStdString();
  }
}

TEST(TyxNameField, LongNameIsCutTo31Characters) {
  const QString name = QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyz");
  const TTyxNameField field = MakeNameField(name);
  EXPECT_EQ(field[0], 31);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(field.data() + 1), 31), name.left(31).toLatin1());
  EXPECT_EQ(ReadNameField(field), name.left(31));
}

TEST(TyxNameField, ReadHonoursLengthByteAndFieldEnd) {
  std::array<uint8_t, 40> bytes{};
  for (size_t i = 1; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>('a' + (i - 1) % 26);
  struct Case {
    uint8_t lengthByte;
    size_t fieldSize;
    int expectedLength;
  };
  const Case cases[] = {
      {0, 32, 0},   {5, 32, 5},    {31, 32, 31},
      {32, 32, 31}, {200, 40, 31}, {255, 32, 31},  // above 31: never past the 32-byte field
      {10, 6, 5},   {10, 1, 0},    {10, 0, 0},     // a field cut short gives what it holds
  };
  for (const Case& c : cases) {
    bytes[0] = c.lengthByte;
    const QString name = ReadNameField(std::span<const uint8_t>(bytes).first(c.fieldSize));
    EXPECT_EQ(name.size(), c.expectedLength) << int(c.lengthByte) << "/" << c.fieldSize;
    EXPECT_EQ(name, QStringLiteral("abcdefghijklmnopqrstuvwxyzabcde").left(c.expectedLength));
  }
}

TEST(TyxNameField, ReadDecodesTheAnsiPage) {
  const auto bytes = Bytes({4, 0xE9, 0x80, 0x9F, 'x'});
  EXPECT_EQ(ReadNameField(bytes), QStringLiteral("\u00e9\u20ac\u0178x"));
}

}  // namespace
}  // namespace vela
