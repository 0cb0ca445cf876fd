#include "command/terminal_text.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

struct TerminalTextCase {
  const char* name;
  std::string text;
  std::string shown;
};

class TerminalTextTest : public testing::TestWithParam<TerminalTextCase> {};

TEST_P(TerminalTextTest, LeavesNoCommandForTheTerminal) {
  EXPECT_EQ(TerminalText(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    , TerminalTextTest,
    testing::Values(TerminalTextCase{"Printable", "/tmp/a b.txt", "/tmp/a b.txt"},
                    TerminalTextCase{"Japanese", "縦書き.txt", "縦書き.txt"},
                    TerminalTextCase{"LineBreaksAndTab", "a\nb\r\tc", "a\\nb\\r\\tc"},
                    TerminalTextCase{"Escape", "\x1b[31mred", "\\x1B[31mred"},
                    TerminalTextCase{"Nul", std::string("a\0b", 3), "a\\x00b"},
                    TerminalTextCase{"Delete", "a\x7f", "a\\x7F"},
                    TerminalTextCase{"C1ControlAsUtf8",
                                     "a\xc2\x9b"
                                     "1m",
                                     "a\\xC2\\x9B1m"},
                    TerminalTextCase{"LoneC1Byte",
                                     "a\x9b"
                                     "1m",
                                     "a\\x9B1m"},
                    TerminalTextCase{"CodePage932", "\x82\xa0.txt", "\\x82\\xA0.txt"},
                    TerminalTextCase{"Overlong", "\xc0\xaf", "\\xC0\\xAF"},
                    TerminalTextCase{"Surrogate", "\xed\xa0\x80", "\\xED\\xA0\\x80"},
                    TerminalTextCase{"CutSequence", "あ\xe3\x81", "あ\\xE3\\x81"},
                    TerminalTextCase{"Latin1Letter", "é", "é"},
                    TerminalTextCase{"Emoji", "😀", "😀"}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
