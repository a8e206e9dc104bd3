// The call log's lines: written by the library, read back by tests through one parser.
#include "emulator/control/log_line.h"

#include <gtest/gtest.h>

namespace emu {
namespace {

TEST(LogLine, FormatThenParseGivesTheSameCall) {
  LogLine line{17, 5012345, 44, "SetImage", static_cast<int32_t>(0xFF04006Fu),
               "dev=EMU0001 page=1 index=0 len=5"};
  const std::string text = FormatLogLine(line);
  EXPECT_EQ(text, "17\t5012345\t44\tSetImage\t0xFF04006F\tdev=EMU0001 page=1 index=0 len=5");
  const auto parsed = ParseLogLine(text + "\r\n");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->sequence, 17u);
  EXPECT_EQ(parsed->tick, 5012345u);
  EXPECT_EQ(parsed->thread, 44u);
  EXPECT_EQ(parsed->name, "SetImage");
  EXPECT_EQ(parsed->result, static_cast<int32_t>(0xFF04006Fu));
  EXPECT_EQ(parsed->args, "dev=EMU0001 page=1 index=0 len=5");
}

TEST(LogLine, ArgsMayBeEmptyButOtherFieldsMayNot) {
  EXPECT_TRUE(ParseLogLine("1\t2\t3\tInitialize\t0x00000000\t"));
  EXPECT_FALSE(ParseLogLine("1\t2\t3\t\t0x00000000\t"));
  EXPECT_FALSE(ParseLogLine("1\t2\t3\tInitialize\t00000000\t"));
  EXPECT_FALSE(ParseLogLine("x\t2\t3\tInitialize\t0x00000000\t"));
  EXPECT_FALSE(ParseLogLine("1\t2\t3\tInitialize"));
  EXPECT_FALSE(ParseLogLine(""));
}

TEST(LogLine, QuotedTextsHoldNoTabOrLineBreak) {
  constexpr char kRaw[] = "a\"b\\c\td\re\nf\x01g\x7f";
  const std::string quoted = QuoteText(std::string(kRaw, sizeof kRaw - 1));
  EXPECT_EQ(quoted, "\"a\\\"b\\\\c\\td\\re\\nf\\x01g\\x7F\"");
  const auto parsed = ParseLogLine("1\t2\t3\tSetString\t0x00000000\ttext=" + quoted);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->args, "text=" + quoted);
}

}  // namespace
}  // namespace emu
