// The converter's e-books and notation as a program: --format epub,
// --output-dir, --title, --notation and what they refuse.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "tests/support/case_name.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "tests/support/zip_entries.h"

namespace mirotabe {
namespace {

using testing_support::Outcome;
using testing_support::ReadFile;
using testing_support::ReadZipEntries;
using testing_support::RunProgram;
using testing_support::TempFolder;
using testing_support::WriteFile;

std::string Sjis(std::u16string_view text) {
  return Encode(text, Charset::Cp932).bytes;
}

class ConvertEbookCli : public testing::Test {
 protected:
  Outcome Convert(std::vector<std::string> arguments, std::string_view input = "") {
    arguments.insert(arguments.begin(), {"--settings", settings_});
    return RunProgram(folder_, MIROTABE_CONVERT_BINARY, arguments, input);
  }
  void SetUp() override {
    settings_ = folder_.PathOf("settings.ini");
    WriteFile(settings_, "");
  }
  TempFolder folder_;
  std::string settings_;
};

TEST_F(ConvertEbookCli, MakesOneBookOfEachInputInTheFolderAsOneRunOfEachWould) {
  std::vector<std::string> inputs;
  for (const char* name : {"甲.txt", "乙.txt", "丙.txt"}) {
    inputs.push_back(folder_.PathOf(name));
    WriteFile(inputs.back(), Sjis(u"本文《ほんぶん》の" + Decode(name, Charset::Utf8)));
  }
  std::vector<std::string> arguments = {"--format", "epub", "--output-dir", folder_.PathOf("out")};
  arguments.insert(arguments.end(), inputs.begin(), inputs.end());
  const Outcome all = Convert(arguments);
  ASSERT_EQ(all.status, 0) << all.err;
  for (const std::string& input : inputs) {
    const Outcome one = Convert({"--format", "epub", "-o", folder_.PathOf("one.epub"), input});
    ASSERT_EQ(one.status, 0) << one.err;
    const std::string stem = std::filesystem::path(input).stem().string();
    EXPECT_EQ(ReadFile(folder_.PathOf("out/" + stem + ".epub")),
              ReadFile(folder_.PathOf("one.epub")));
  }
}

TEST_F(ConvertEbookCli, TakesTheTitleGivenAndWarnsOfWhatTheNotationLost) {
  const Outcome run = Convert({"--format", "epub", "--title", "題名", "--author", "作者", "-o",
                               folder_.PathOf("b.epub"), "-"},
                              Sjis(u"前［＃謎の注記］後※［＃「謎」、12-3］"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("1 annotation is not known"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("1 外字 note names no character"), std::string::npos) << run.err;
  const auto entries = ReadZipEntries(ReadFile(folder_.PathOf("b.epub")));
  EXPECT_NE(entries[2].bytes.find(">題名</dc:title>"), std::string::npos);
  EXPECT_NE(entries[2].bytes.find(">作者</dc:creator>"), std::string::npos);
}

TEST_F(ConvertEbookCli, TextKeepsItsBytesUnlessTheNotationIsAsked) {
  const std::string input = Sjis(u"［＃２字下げ］※［＃丸1、1-13-1］\r\n");
  const Outcome plain = Convert({"--encoding", "utf-8"}, input);
  const Outcome aozora = Convert({"--encoding", "utf-8", "--notation", "aozora"}, input);
  ASSERT_EQ(plain.status, 0) << plain.err;
  ASSERT_EQ(aozora.status, 0) << aozora.err;
  EXPECT_NE(plain.out.find("［"), std::string::npos);
  EXPECT_EQ(aozora.out.find("［"), std::string::npos);
  EXPECT_NE(aozora.out.find("①"), std::string::npos);
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string_view says;
};

class ConvertEbookRefusals : public ConvertEbookCli,
                             public testing::WithParamInterface<RefusalCase> {};

TEST_P(ConvertEbookRefusals, ExitWithAUsageError) {
  const Outcome run = Convert(GetParam().arguments);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(GetParam().says), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConvertEbookRefusals,
    testing::Values(
        RefusalCase{"UnknownNotation", {"--notation", "markdown"}, "aozora or plain"},
        RefusalCase{"OutputDirWithoutEpub", {"--output-dir", "d", "a.txt"}, "give --format epub"},
        RefusalCase{"OutputDirWithOutput",
                    {"--format", "epub", "--output-dir", "d", "-o", "x", "a"},
                    "with -o"},
        RefusalCase{"OutputDirFromStandardInput",
                    {"--format", "epub", "--output-dir", "d", "-"},
                    "standard input"},
        RefusalCase{
            "OutputDirWithoutInputs", {"--format", "epub", "--output-dir", "d"}, "needs the files"},
        RefusalCase{"TitleWithoutEpub", {"--title", "t"}, "name an e-book"},
        RefusalCase{"EpubOfPages",
                    {"--format", "epub", "--page", "a5"},
                    "cannot be used with --format epub"},
        RefusalCase{
            "SeveralInputsWithoutFolder", {"--format", "epub", "a", "b"}, "only one input"}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
