// Runs the built window program with --help and --version: answered on
// standard output without a display, while any longer command line stays the
// file to load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/case_name.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::TempFolder;

struct InfoCase {
  const char* name;
  std::vector<std::string> arguments;
  // Empty: the program must not answer, but go on to open its window.
  std::string answerStart;
};

class InfoOptionsTest : public testing::TestWithParam<InfoCase> {};

TEST_P(InfoOptionsTest, AnswersWithoutAWindowOnlyWhenTheOptionIsAlone) {
  const InfoCase& test = GetParam();
  TempFolder folder;
  // No display platform exists under this name: a program that got as far
  // as its window would fail to start instead of answering.
  const testing_support::Outcome run = testing_support::RunProgram(
      folder, MIROTABE_BINARY, test.arguments, {}, "ulimit -c 0; QT_QPA_PLATFORM=no-such-platform");
  const bool exitedWithZero = run.status == 0;
  const std::string& out = run.out;

  if (test.answerStart.empty()) {
    EXPECT_FALSE(exitedWithZero);
    EXPECT_EQ(out, "");
  } else {
    EXPECT_TRUE(exitedWithZero);
    EXPECT_EQ(out.substr(0, test.answerStart.size()), test.answerStart) << out;
    EXPECT_EQ(out.back(), '\n');
  }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, InfoOptionsTest,
    testing::Values(InfoCase{"Version", {"--version"}, "mirotabe " MIROTABE_VERSION "\n"},
                    InfoCase{"Help", {"--help"}, "Usage: mirotabe [FILE]\n"},
                    InfoCase{"VersionThenMore", {"--version", "x.txt"}, ""},
                    InfoCase{"HelpInAPath", {"./--help"}, ""}, InfoCase{"ShortH", {"-h"}, ""}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
