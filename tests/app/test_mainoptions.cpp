// The command line of the Device Browser.
#include <gtest/gtest.h>

#include "app/MainOptions.h"
#include "common/QtPrinters.h"

namespace vela {
namespace {

TEST(MainOptions, TheTestSwitchCountsInAnyCaseButOnlyAsAWholeParameter) {
  const std::pair<const char*, bool> cases[] = {{"/TEST", true},  {"/test", true}, {"/TeSt", true}, {"/TESTX", false},
                                                {"-TEST", false}, {"TEST", false}, {"/TES", false}, {" /TEST", false}};
  for (const auto& [arg, expected] : cases) {
    EXPECT_EQ(IsTestSwitch(arg), expected) << arg;
    const auto options = ParseMainOptions({QStringLiteral("--other"), QString::fromLatin1(arg)});
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(options->CreateDummy, expected) << arg;
  }
}

TEST(MainOptions, InterfaceAndFilesTakeTheirValueInBothForms) {
  auto options = ParseMainOptions({"--interface", "127.0.0.1", "--boxes-file=/tmp/x.def", "--screenshot", "a.png"});
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->Net.Interface, "127.0.0.1");
  EXPECT_EQ(options->PredefinedFile, "/tmp/x.def");
  EXPECT_EQ(options->ScreenshotFile, "a.png");
  EXPECT_EQ(options->Net.StatusPort, kTyxStatusPort);
  options = ParseMainOptions({"--interface=lo"});
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->Net.Interface, "lo");
  // Without them the system's defaults hold.
  options = ParseMainOptions({});
  ASSERT_TRUE(options.has_value());
  EXPECT_TRUE(options->Net.Interface.isEmpty());
  EXPECT_TRUE(options->PredefinedFile.isEmpty());
  EXPECT_EQ(options->PredefinedSection, "WanBoxes");

  for (const QStringList& bad :
       {QStringList{"--interface"}, QStringList{"--interface="}, QStringList{"--boxes-file"}}) {
    QString error;
    EXPECT_FALSE(ParseMainOptions(bad, &error).has_value()) << bad.join(' ').toStdString();
    EXPECT_TRUE(error.startsWith(bad[0].section('=', 0, 0))) << error.toStdString();
  }
}

}  // namespace
}  // namespace vela
