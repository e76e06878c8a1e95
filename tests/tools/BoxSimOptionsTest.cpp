// The simulator's command line: defaults, every option, and the refusal of
// addresses outside loopback with a non-zero exit before anything is bound.
#include <gtest/gtest.h>

#include "boxsim/BoxSimOptions.h"
#include "common/QtPrinters.h"

namespace boxsim {
namespace {

TBoxSimOptions Parse(QStringList args) {
  args.prepend(QStringLiteral("boxsim"));
  return ParseBoxSimOptions(args);
}

TEST(BoxSimOptions, DefaultsSimulateSixBoxesOfEveryKindFrom127_0_0_10) {
  const TBoxSimOptions options = Parse({});
  EXPECT_EQ(options.Error, QString());
  EXPECT_EQ(options.Config.Boxes, 6);
  EXPECT_EQ(options.Config.Kinds, (std::vector<vela::TTyxKind>{vela::E_Tyx2_10, vela::E_Tyx2_100, vela::E_Tyx8_10,
                                                               vela::E_Tyx2_100_Uninitialized}));
  EXPECT_EQ(options.Config.FirstAddress, QHostAddress(QStringLiteral("127.0.0.10")));
  EXPECT_EQ(options.Config.IntervalMs, 1000);
  EXPECT_EQ(options.Config.StatusPort, 37895);
  EXPECT_EQ(options.Config.AnnouncePort, 57923);
  EXPECT_EQ(options.Config.MalformedRate, 0.0);
  EXPECT_EQ(options.LogFile, QString());
  EXPECT_EQ(options.DurationS, 0);
}

TEST(BoxSimOptions, EveryOptionIsTaken) {
  const TBoxSimOptions options = Parse({"--boxes", "3", "--kinds", "TYX8,uninit,tyx2-100", "--first-address",
                                        "127.1.2.3", "--interval-ms", "250", "--restart-ms", "100", "--malformed-rate",
                                        "0.5", "--log", "/tmp/sim.log", "--seed", "7", "--duration-s", "2"});
  ASSERT_EQ(options.Error, QString());
  EXPECT_EQ(options.Config.Boxes, 3);
  EXPECT_EQ(options.Config.Kinds,
            (std::vector<vela::TTyxKind>{vela::E_Tyx8_10, vela::E_Tyx2_100_Uninitialized, vela::E_Tyx2_100}));
  EXPECT_EQ(options.Config.FirstAddress, QHostAddress(QStringLiteral("127.1.2.3")));
  EXPECT_EQ(options.Config.IntervalMs, 250);
  EXPECT_EQ(options.Config.RestartMs, 100);
  EXPECT_EQ(options.Config.MalformedRate, 0.5);
  EXPECT_EQ(options.LogFile, QStringLiteral("/tmp/sim.log"));
  EXPECT_EQ(options.Config.Seed, 7u);
  EXPECT_EQ(options.DurationS, 2);
}

TEST(BoxSimOptions, HelpIsShownNotRun) {
  const TBoxSimOptions options = Parse({"--help"});
  EXPECT_TRUE(options.ShowHelp);
  EXPECT_TRUE(options.HelpText.contains(QStringLiteral("--first-address")));
}

struct TRefusal {
  QStringList Args;
  const char* Says;
};

void PrintTo(const TRefusal& r, std::ostream* os) { *os << r.Args.join(u' ').toStdString(); }

class BoxSimRefusal : public ::testing::TestWithParam<TRefusal> {};

TEST_P(BoxSimRefusal, IsRefusedWithAClearMessage) {
  const TBoxSimOptions options = Parse(GetParam().Args);
  EXPECT_TRUE(options.Error.contains(QString::fromLatin1(GetParam().Says))) << options.Error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, BoxSimRefusal,
    ::testing::Values(TRefusal{{"--first-address", "192.168.1.10"}, "only binds and sends on loopback"},
                      TRefusal{{"--first-address", "10.0.0.1"}, "only binds and sends on loopback"},
                      TRefusal{{"--first-address", "0.0.0.0"}, "only binds and sends on loopback"},
                      TRefusal{{"--first-address", "237.1.1.1"}, "only binds and sends on loopback"},
                      TRefusal{{"--first-address", "::1"}, "dotted IPv4 address in 127.0.0.0/8"},
                      TRefusal{{"--first-address", "localhost"}, "dotted IPv4 address in 127.0.0.0/8"},
                      TRefusal{{"--first-address", "127.0.0.0"}, "127.0.0.1 .. 127.255.255.254"},
                      TRefusal{{"--first-address", "127.255.255.250", "--boxes", "10"},
                               "127.0.0.1 .. 127.255.255.254"}));

INSTANTIATE_TEST_SUITE_P(Values, BoxSimRefusal,
                         ::testing::Values(TRefusal{{"--boxes", "0"}, "--boxes takes a whole number"},
                                           TRefusal{{"--interval-ms", "fast"}, "--interval-ms takes a whole number"},
                                           TRefusal{{"--kinds", "tyx2,tyx9"}, "--kinds takes"},
                                           TRefusal{{"--malformed-rate", "2"}, "between 0 and 1"},
                                           TRefusal{{"--malformed-rate", "often"}, "between 0 and 1"},
                                           TRefusal{{"--nope"}, "nope"}, TRefusal{{"extra"}, "unexpected argument"}));

TEST(BoxSimOptions, ANonLoopbackAddressEndsTheProgramWithUsageExitBeforeBinding) {
  EXPECT_EQ(RunBoxSim({"boxsim", "--first-address", "192.168.1.10", "--duration-s", "1"}), kExitUsage);
}

}  // namespace
}  // namespace boxsim
