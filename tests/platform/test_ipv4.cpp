#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/QtPrinters.h"
#include "platform/Ipv4.h"

using namespace vela;

namespace {

struct TParseCase {
  const char* text;
  bool valid;
  uint32_t ip;
};

class Ipv4ParseTest : public ::testing::TestWithParam<TParseCase> {};

TEST_P(Ipv4ParseTest, ReadsOnlyStrictDottedQuads) {
  const TParseCase& c = GetParam();
  const auto ip = ParseIpv4(QString::fromUtf8(c.text));
  ASSERT_EQ(ip.has_value(), c.valid) << c.text;
  EXPECT_EQ(IsIpv4Text(QString::fromUtf8(c.text)), c.valid) << c.text;
  if (c.valid) {
    EXPECT_EQ(*ip, c.ip) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Ipv4ParseTest,
    ::testing::Values(
        // accepted
        TParseCase{"0.0.0.0", true, 0x00000000u}, TParseCase{"255.255.255.255", true, 0xFFFFFFFFu},
        TParseCase{"192.168.1.20", true, 0xC0A80114u}, TParseCase{"10.0.0.1", true, 0x0A000001u},
        TParseCase{"1.2.3.4", true, 0x01020304u}, TParseCase{"127.0.0.1", true, 0x7F000001u},
        TParseCase{"100.200.10.0", true, 0x64C80A00u},
        // wrong number of parts or empty parts
        TParseCase{"", false, 0}, TParseCase{"1.2.3", false, 0}, TParseCase{"1.2.3.4.5", false, 0},
        TParseCase{"1..3.4", false, 0}, TParseCase{".1.2.3", false, 0}, TParseCase{"1.2.3.", false, 0},
        TParseCase{"1.2.3.4.", false, 0}, TParseCase{"...", false, 0}, TParseCase{"1", false, 0},
        TParseCase{"16909060", false, 0},
        // out of range
        TParseCase{"256.1.1.1", false, 0}, TParseCase{"1.1.1.256", false, 0}, TParseCase{"1.300.1.1", false, 0},
        TParseCase{"1.1.1.1000", false, 0}, TParseCase{"99999999999.1.1.1", false, 0},
        // signs, blanks, other characters
        TParseCase{"+1.2.3.4", false, 0}, TParseCase{"1.+2.3.4", false, 0}, TParseCase{"-1.2.3.4", false, 0},
        TParseCase{" 1.2.3.4", false, 0}, TParseCase{"1.2.3.4 ", false, 0}, TParseCase{"1. 2.3.4", false, 0},
        TParseCase{"1.2.3.4x", false, 0}, TParseCase{"1.2.3.4/24", false, 0}, TParseCase{"1,2,3,4", false, 0},
        TParseCase{"a.b.c.d", false, 0},
        // hexadecimal and octal forms
        TParseCase{"0x7f.0.0.1", false, 0}, TParseCase{"0x7f000001", false, 0}, TParseCase{"010.0.0.1", false, 0},
        TParseCase{"1.2.3.04", false, 0}, TParseCase{"00.0.0.0", false, 0},
        // digits of other scripts (Arabic-Indic one, fullwidth one)
        TParseCase{"\xD9\xA1.2.3.4", false, 0}, TParseCase{"\xEF\xBC\x91.2.3.4", false, 0}));

TEST(Ipv4Test, TextRoundTrips) {
  const std::vector<uint32_t> values = {0u, 1u, 0x7F000001u, 0xC0A80114u, 0xFFFF0000u, 0xFFFFFFFFu, 0x0A0B0C0Du};
  for (uint32_t v : values) {
    const QString text = Ipv4Text(v);
    const auto back = ParseIpv4(text);
    ASSERT_TRUE(back.has_value()) << text.toStdString();
    EXPECT_EQ(*back, v);
  }
  EXPECT_EQ(Ipv4Text(0xC0A80114u), QStringLiteral("192.168.1.20"));
  EXPECT_EQ(Ipv4Text(0x0A000001u), QStringLiteral("10.0.0.1"));
}

TEST(Ipv4Test, NetworkOrderPutsTheFirstOctetFirstInMemory) {
  const uint32_t networkOrder = Ipv4ToNetworkOrder(0xC0A80114u);
  uint8_t bytes[4];
  std::memcpy(bytes, &networkOrder, 4);
  EXPECT_EQ(bytes[0], 192);
  EXPECT_EQ(bytes[1], 168);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[3], 20);
  EXPECT_EQ(Ipv4FromNetworkOrder(networkOrder), 0xC0A80114u);
}

TEST(Ipv4Test, InetAddrAndInetNtoa) {
  EXPECT_EQ(InetAddr(u"192.168.1.20"), Ipv4ToNetworkOrder(0xC0A80114u));
  EXPECT_EQ(InetNtoa(InetAddr(u"192.168.1.20")), QStringLiteral("192.168.1.20"));
  // An unreadable text gives 255.255.255.255, as the socket function does.
  EXPECT_EQ(InetAddr(u"not an address"), kIpv4None);
  EXPECT_EQ(InetAddr(u""), kIpv4None);
  EXPECT_EQ(InetNtoa(kIpv4None), QStringLiteral("255.255.255.255"));
}

struct TMaskCase {
  uint32_t mask;
  int prefix;  // -1: not contiguous
};

class MaskTest : public ::testing::TestWithParam<TMaskCase> {};

TEST_P(MaskTest, ContiguousOnesOnly) {
  const TMaskCase& c = GetParam();
  EXPECT_EQ(IsContiguousMask(c.mask), c.prefix >= 0) << Ipv4Text(c.mask).toStdString();
  EXPECT_EQ(MaskPrefixLength(c.mask), c.prefix) << Ipv4Text(c.mask).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Masks, MaskTest,
                         ::testing::Values(TMaskCase{0x00000000u, 0}, TMaskCase{0x80000000u, 1},
                                           TMaskCase{0xFF000000u, 8}, TMaskCase{0xFFFF0000u, 16},
                                           TMaskCase{0xFFFFFF00u, 24}, TMaskCase{0xFFFFFFFCu, 30},
                                           TMaskCase{0xFFFFFFFEu, 31}, TMaskCase{0xFFFFFFFFu, 32},
                                           TMaskCase{0xFF00FF00u, -1}, TMaskCase{0x00FFFFFFu, -1},
                                           TMaskCase{0xFFFFFF01u, -1}, TMaskCase{0x7FFFFFFFu, -1},
                                           TMaskCase{0x00000001u, -1}));

struct TClassCase {
  const char* text;
  TIpv4Class addressClass;
  bool unicastTarget;
};

class Ipv4ClassTest : public ::testing::TestWithParam<TClassCase> {};

TEST_P(Ipv4ClassTest, SortsAddresses) {
  const TClassCase& c = GetParam();
  const auto ip = ParseIpv4(QString::fromLatin1(c.text));
  ASSERT_TRUE(ip.has_value()) << c.text;
  EXPECT_EQ(ClassifyIpv4(*ip), c.addressClass) << c.text;
  EXPECT_EQ(IsUnicastTargetClass(ClassifyIpv4(*ip)), c.unicastTarget) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, Ipv4ClassTest,
    ::testing::Values(
        TClassCase{"0.0.0.0", TIpv4Class::LocalHost, false}, TClassCase{"0.1.2.3", TIpv4Class::LocalNetwork, false},
        TClassCase{"10.0.0.1", TIpv4Class::PrivateNetwork, true},
        TClassCase{"172.16.5.5", TIpv4Class::PrivateNetwork, true},
        TClassCase{"172.31.255.255", TIpv4Class::PrivateNetwork, true},
        TClassCase{"172.32.0.1", TIpv4Class::InternetHost, true},
        TClassCase{"192.168.1.20", TIpv4Class::PrivateNetwork, true},
        TClassCase{"127.0.0.1", TIpv4Class::Loopback, false},
        TClassCase{"127.255.255.254", TIpv4Class::Loopback, false},
        TClassCase{"128.0.1.1", TIpv4Class::Reserved, false}, TClassCase{"128.1.0.1", TIpv4Class::InternetHost, true},
        TClassCase{"191.255.255.7", TIpv4Class::Reserved, false}, TClassCase{"192.0.0.9", TIpv4Class::Reserved, false},
        TClassCase{"223.255.255.1", TIpv4Class::Reserved, false},
        TClassCase{"223.255.254.1", TIpv4Class::InternetHost, true},
        TClassCase{"224.0.0.1", TIpv4Class::Multicast, false}, TClassCase{"239.1.1.1", TIpv4Class::Multicast, false},
        TClassCase{"240.0.0.1", TIpv4Class::FutureUse, false}, TClassCase{"254.1.1.1", TIpv4Class::FutureUse, false},
        TClassCase{"255.1.1.1", TIpv4Class::FutureUse, false},
        TClassCase{"255.255.255.254", TIpv4Class::FutureUse, false},
        TClassCase{"255.255.255.255", TIpv4Class::GlobalBroadcast, false},
        TClassCase{"8.8.4.4", TIpv4Class::InternetHost, true}, TClassCase{"1.0.0.1", TIpv4Class::InternetHost, true}));

TEST(Ipv4Test, ClassTexts) {
  EXPECT_EQ(Ipv4ClassText(TIpv4Class::Multicast), QStringLiteral("multicast"));
  EXPECT_EQ(Ipv4ClassText(TIpv4Class::Loopback), QStringLiteral("loopback"));
  EXPECT_EQ(Ipv4ClassText(TIpv4Class::GlobalBroadcast), QStringLiteral("global broadcast"));
}

}  // namespace
