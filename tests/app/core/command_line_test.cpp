// The windowed program's command line.

#include <gtest/gtest.h>

#include "command_line.h"

namespace {

using tv::ParseCommandLine;

TEST(CommandLine, AFileAndASettingsFileAreTakenInAnyOrder) {
  auto line = ParseCommandLine({"--profile", "/tmp/t.ini", "/data/MASTER"});
  EXPECT_EQ(line.file, "/data/MASTER");
  EXPECT_EQ(line.profile, "/tmp/t.ini");
  EXPECT_TRUE(line.error.empty());
  line = ParseCommandLine({"/data/MASTER", "--profile=/tmp/u.ini"});
  EXPECT_EQ(line.file, "/data/MASTER");
  EXPECT_EQ(line.profile, "/tmp/u.ini");
  line = ParseCommandLine({});
  EXPECT_EQ(line.file, "");
  EXPECT_EQ(line.profile, "");
  EXPECT_FALSE(line.help || line.version);
  // After "--" a name that starts with a dash is a file.
  EXPECT_EQ(ParseCommandLine({"--", "-odd/MASTER"}).file, "-odd/MASTER");
}

TEST(CommandLine, HelpAndVersionAreRecognised) {
  EXPECT_TRUE(ParseCommandLine({"--help"}).help);
  EXPECT_TRUE(ParseCommandLine({"-h"}).help);
  EXPECT_TRUE(ParseCommandLine({"--version"}).version);
}

TEST(CommandLine, ExtendedReadingIsSwitchedEitherWayOrLeftToTheSettings) {
  EXPECT_EQ(ParseCommandLine({"--extended", "/d/MASTER"}).extended, true);
  EXPECT_EQ(ParseCommandLine({"--no-extended"}).extended, false);
  EXPECT_EQ(ParseCommandLine({"/d/MASTER"}).extended, std::nullopt);
}

TEST(CommandLine, MistakesAreRefusedWithAReason) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"--profile"}, {"--profile="}, {"--profile", ""}, {"--frobnicate"}, {"a", "b"}})
    EXPECT_FALSE(ParseCommandLine(args).error.empty()) << args.size();
}

}  // namespace
