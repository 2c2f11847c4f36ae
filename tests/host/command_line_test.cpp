#include "host/command_line.h"
#include "platform/headless/platform_headless.h"

#include <gtest/gtest.h>

namespace nv {
namespace {

TEST(CommandLine, OptionsAndTitleFolder) {
  LaunchOptions o;
  EXPECT_EQ(parse_command_line({"--headless", "--frames", "10", "--snapshot", "out.png", "--answer", "no", "demo"}, o),
            "");
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.frames, 10);
  EXPECT_EQ(o.snapshot, "out.png");
  EXPECT_EQ(o.answer, platform::AnswerPolicy::no);
  EXPECT_EQ(o.title_dir, "demo");
  EXPECT_EQ(o.args.size(), 8u);
}

TEST(CommandLine, FirstPlainArgumentMayBeInfoOrNvcfg) {
  LaunchOptions o;
  EXPECT_EQ(parse_command_line({"--headless", "/info"}, o), "");
  EXPECT_EQ(o.first, FirstArgument::info);
  LaunchOptions p;
  EXPECT_EQ(parse_command_line({"demo", "/nvcfg"}, p), "more than one title folder given: \"demo\" and \"/nvcfg\"");
  LaunchOptions q;
  EXPECT_EQ(parse_command_line({"/nvcfg", "demo"}, q), "");
  EXPECT_EQ(q.first, FirstArgument::nvcfg);
  EXPECT_EQ(q.title_dir, "demo");
}

TEST(CommandLine, MistakesAreNamed) {
  LaunchOptions o;
  EXPECT_EQ(parse_command_line({"--frames"}, o), "--frames needs a number");
  EXPECT_EQ(parse_command_line({"--frames", "x1"}, o), "--frames needs a number of 0 or more, not \"x1\"");
  EXPECT_EQ(parse_command_line({"--answer", "maybe"}, o),
            "--answer takes default, yes, no, ok or cancel, not \"maybe\"");
  EXPECT_EQ(parse_command_line({"--fast"}, o), "unknown option \"--fast\" (see --help)");
}

}  // namespace
}  // namespace nv
