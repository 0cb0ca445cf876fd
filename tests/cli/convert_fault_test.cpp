// mirotabe-convert run in the test's own process, with failures of the
// system calls injected: the old output file stays whole, nothing is left
// behind, and standard error names the file and the reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <variant>

#include "command/convert.h"
#include "core/vertical_layout.h"
#include "tests/support/failing_sys_calls.h"
#include "tests/support/temp_folder.h"
#include "textio/text_file.h"

namespace mirotabe {
namespace {

using namespace testing_support;

std::vector<CallOutcome> ConvertCalls() {
  std::vector<CallOutcome> calls = AtomicSaveCalls();
  calls.push_back({Call::kFstat, Outcome::kFails});
  calls.push_back({Call::kRead, Outcome::kRetried});
  return calls;
}

class ConvertFaultTest : public testing::TestWithParam<SaveFaultCase> {};

TEST_P(ConvertFaultTest, OldOutputStaysWholeAndTheErrorSaysWhy) {
  TempFolder folder;
  const std::string input = folder.PathOf("in.txt");
  const std::string settings = folder.PathOf("Setting.ini");
  const std::string output = folder.PathOf("out.txt");
  WriteFile(input, "ab");
  WriteFile(settings, "[Main]\r\nTabSpace=4\r\n");
  WriteFile(output, "old");
  GiveAway(output);

  std::vector<std::string> arguments{
      "mirotabe-convert", "--settings", settings, "-o", output, input};
  std::vector<char*> argv;
  argv.reserve(arguments.size());
  for (std::string& argument : arguments) argv.push_back(argument.data());
  std::ostringstream out;
  std::ostringstream err;
  int status = -1;
  {
    FailingSysCalls failing(GetParam().ToFault());
    status = RunConvert(static_cast<int>(argv.size()), argv.data(), out, err);
    if (GetParam().CallIsMade()) {
      EXPECT_GT(failing.Failures(), 0) << "the call was never made";
    }
  }

  if (GetParam().SaveSucceeds()) {
    EXPECT_EQ(status, 0) << err.str();
    const LayoutResult layout = BuildVerticalLayout(u"ab", {4, {}, {}});
    EXPECT_EQ(ReadFile(output), EncodeTextFile(std::get<VerticalLayout>(layout).Text()).bytes);
  } else {
    EXPECT_EQ(status, 1);
    // Reading the input comes first, so its failures name the input.
    const Call call = GetParam().call.call;
    const bool reading = call == Call::kOpen || call == Call::kFstat || call == Call::kRead;
    const std::string reason = std::error_code(GetParam().error, std::system_category()).message();
    EXPECT_EQ(err.str(), "mirotabe-convert: " + (reading ? input : output) + ": " + reason + "\n");
    EXPECT_EQ(ReadFile(output), "old");
  }
  EXPECT_EQ(out.str(), "");
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, (std::set<std::string>{"in.txt", "Setting.ini", "out.txt"}));
}

INSTANTIATE_TEST_SUITE_P(, ConvertFaultTest, testing::ValuesIn(SaveFaultCases(ConvertCalls())),
                         SaveFaultCaseName);

}  // namespace
}  // namespace mirotabe
