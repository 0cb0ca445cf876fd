// Runs the built mirotabe-convert as a program: arguments, streams, files
// and exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>
#include <variant>

#include "core/vertical_layout.h"
#include "tests/support/case_name.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "textio/text_file.h"

namespace mirotabe {
namespace {

namespace fs = std::filesystem;
using testing_support::Outcome;
using testing_support::Quoted;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::TempFolder;
using testing_support::WriteFile;

class ConvertCliTest : public testing::Test {
 protected:
  // Runs the converter with `arguments`, feeding `input` on standard input.
  Outcome Convert(const std::vector<std::string>& arguments, std::string_view input = "",
                  const std::string& binary = MIROTABE_CONVERT_BINARY) {
    return RunProgram(folder_, binary, arguments, input);
  }

  // What the save command writes for the pane that `text` converts into.
  static std::string Saved(std::u16string_view text, const SwapTable& table = {},
                           Charset charset = Charset::Cp932) {
    const LayoutResult layout = BuildVerticalLayout(text, {4, table, {}});
    return EncodeTextFile(std::get<VerticalLayout>(layout).Text(), charset).bytes;
  }

  // An empty settings file: the defaults, whatever the program's own file says.
  std::string NoSettings() {
    std::string path = folder_.PathOf("empty-settings.ini");
    WriteFile(path, "");
    return path;
  }

  TempFolder folder_;
};

TEST_F(ConvertCliTest, ConvertsAFileInCodePage932) {
  WriteFile(folder_.PathOf("in.txt"), "ab\r\nc\r\n");
  const Outcome run = Convert({"--settings", NoSettings(), folder_.PathOf("in.txt")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Saved(u"ab\r\nc"));
  EXPECT_EQ(run.out, Encode(u"ｃａ\r\n　ｂ", Charset::Cp932).bytes);
  EXPECT_EQ(run.err, "");
}

TEST_F(ConvertCliTest, ReadsStandardInputWhenNoFileOrDashIsGiven) {
  const std::string input = Encode(u"縦書き\nです\n", Charset::Cp932).bytes;
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--settings", NoSettings()},
        std::vector<std::string>{"--settings", NoSettings(), "-"}}) {
    const Outcome run = Convert(arguments, input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Saved(u"縦書き\r\nです"));
  }
}

TEST_F(ConvertCliTest, Utf8SkipsTheMarkAndWritesUtf8) {
  const Outcome run = Convert({"--encoding", "utf-8", "--settings", NoSettings()},
                              "\xEF\xBB\xBF"
                              "ab\nc\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Encode(u"ｃａ\r\n　ｂ", Charset::Utf8).bytes);
}

TEST_F(ConvertCliTest, WritesTheOutputFileWithTheSameBytes) {
  WriteFile(folder_.PathOf("in.txt"), Encode(u"ラーメン", Charset::Cp932).bytes);
  WriteFile(folder_.PathOf("out.txt"), "old content that is longer than the new one");
  const Outcome run = Convert(
      {"--settings", NoSettings(), "-o", folder_.PathOf("out.txt"), folder_.PathOf("in.txt")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadFile(folder_.PathOf("out.txt")), Saved(u"ラーメン"));
}

TEST_F(ConvertCliTest, AppliesTheSettingsFile) {
  WriteFile(folder_.PathOf("Setting.ini"),
            Encode(u"[Main]\r\nTabSpace=1\r\n[Swap001]\r\nFrom=ー\r\n"
                   u"To=\"｜\"\r\nType=0\r\n",
                   Charset::Cp932)
                .bytes);
  const Outcome run = Convert({"--settings=" + folder_.PathOf("Setting.ini")},
                              Encode(u"ラー\tメン", Charset::Cp932).bytes);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Encode(u"ラ\r\n｜\r\n　\r\nメ\r\nン", Charset::Cp932).bytes);
}

TEST_F(ConvertCliTest, UsesTheProgramsOwnSettingsFileByDefault) {
  const fs::path installed = folder_.PathOf("bin");
  fs::create_directories(installed);
  fs::copy_file(MIROTABE_CONVERT_BINARY, installed / "mirotabe-convert");
  WriteFile((installed / "Setting.ini").string(),
            Encode(u"[Swap001]\r\nFrom=a\r\nTo=\"b\"\r\nType=1\r\n", Charset::Cp932).bytes);
  const Outcome run = Convert({}, "a", (installed / "mirotabe-convert").string());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Encode(u"ｂ", Charset::Cp932).bytes);
}

TEST_F(ConvertCliTest, WarnsAboutCharactersTheEncodingCannotHold) {
  // UTF-8 holds everything, emoji included.
  WriteFile(folder_.PathOf("emoji.txt"), "\xF0\x9F\x98\x80x");
  const Outcome utf8 =
      Convert({"--settings", NoSettings(), "--encoding", "utf-8", folder_.PathOf("emoji.txt")});
  EXPECT_EQ(utf8.status, 0);
  EXPECT_EQ(utf8.out, "\xF0\x9F\x98\x80\r\n\xEF\xBD\x98");
  EXPECT_EQ(utf8.err, "");

  // Two bad bytes read as U+FFFD, which code page 932 cannot hold.
  const Outcome cp932 = Convert({"--settings", NoSettings()}, "\x82\xA0\x80\xFF");
  EXPECT_EQ(cp932.status, 0);
  EXPECT_EQ(cp932.out, "\x82\xA0\r\n?\r\n?");
  EXPECT_NE(cp932.err.find("warning: 2 characters"), std::string::npos) << cp932.err;
}

// Bytes that the input's encoding cannot read are reported with their
// count, the first one's offset and the encoding; the exit status stays.
TEST_F(ConvertCliTest, WarnsAboutBytesTheEncodingCannotRead) {
  const struct {
    std::vector<std::string> options;
    std::string_view input;
    const char* warning;  // nullptr: none
  } cases[] = {
      {{"--from", "utf-8"},
       "a\xFF\xFE"
       "b",
       "2 bytes at offset 1 could not be read as utf-8"},
      {{"--from", "utf-8"},
       "\xEF\xBB\xBF\xE3\x81",
       "2 bytes at offset 3 could not be read as utf-8"},
      {{"--from", "euc-jp"}, "\xA4\xB3\xFF", "1 byte at offset 2 could not be read as euc-jp"},
      {{"--from", "utf-16le"},
       std::string_view("a\0b", 3),
       "1 byte at offset 2 could not be read as utf-16le"},
      {{}, "a\x80", "1 byte at offset 1 could not be read as cp932"},
      {{"--from", "utf-8"}, "\xEF\xBF\xBD", nullptr},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"--settings", NoSettings()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const Outcome run = Convert(arguments, c.input);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string line = c.warning == nullptr ? std::string()
                                                  : std::string("mirotabe-convert: warning: ") +
                                                        c.warning + " and became \uFFFD\n";
    EXPECT_EQ(run.err.find("could not be read") != std::string::npos, c.warning != nullptr)
        << run.err;
    if (c.warning != nullptr) {
      EXPECT_NE(run.err.find(line), std::string::npos) << run.err;
    }
  }
}

struct InputEncodingCase {
  const char* name;
  std::vector<std::string> options;
  std::string_view input;
  std::u16string_view text;  // what the input must read as
  Charset output = Charset::Cp932;
  bool undetermined = false;  // warned about on standard error
};

class ConvertCliInputEncodingTest : public ConvertCliTest,
                                    public testing::WithParamInterface<InputEncodingCase> {};

TEST_P(ConvertCliInputEncodingTest, ReadsTheInputAsTheOptionsSay) {
  const InputEncodingCase& c = GetParam();
  std::vector<std::string> arguments{"--settings", NoSettings()};
  arguments.insert(arguments.end(), c.options.begin(), c.options.end());
  const Outcome run = Convert(arguments, c.input);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Saved(c.text, {}, c.output));
  EXPECT_EQ(run.err.find("encoding could not be determined") != std::string::npos, c.undetermined)
      << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Options, ConvertCliInputEncodingTest,
    testing::Values(
        InputEncodingCase{"DefaultFindsUtf8",
                          {},
                          "\xE7\xB8\xA6\xE6\x9B\xB8"
                          "a",
                          u"縦書a"},
        InputEncodingCase{
            "DefaultFindsEucJp", {}, "\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF", u"こんにちは"},
        InputEncodingCase{"DefaultKeepsShortHalfWidthKatakana", {}, "\xC3\xBD", u"ﾃｽ"},
        InputEncodingCase{
            "DefaultWarnsAboutAGuessWithBadBytes", {}, "a\x80", u"a\uFFFD", Charset::Cp932, true},
        // --encoding names the output only: the input is still found.
        InputEncodingCase{"EncodingUtf8FindsCp932",
                          {"--encoding", "utf-8"},
                          "\x8F\x63\x8F\x91\x82\xAB",
                          u"縦書き",
                          Charset::Utf8},
        InputEncodingCase{
            "EncodingCp932FindsUtf8", {"--encoding", "CP932"}, "\xE7\xB8\xA6\xE6\x9B\xB8", u"縦書"},
        // Names in any case, with the usual aliases.
        InputEncodingCase{"EncodingUpperCase",
                          {"--encoding", "UTF-8", "--from", "Shift_JIS"},
                          "\xC3\xBD",
                          u"ﾃｽ",
                          Charset::Utf8},
        InputEncodingCase{"EncodingUtf8Alias", {"--encoding", "utf8"}, "ab", u"ab", Charset::Utf8},
        InputEncodingCase{"EncodingWindows31J", {"--encoding", "Windows-31J"}, "ab", u"ab"},
        InputEncodingCase{"FromSjisAlias", {"--from", "SJIS"}, "\xE8\xA0\xA1", u"陟｡"},
        InputEncodingCase{"FromAutoUpperCase", {"--from", "AUTO"}, "\xC3\xBD", u"ﾃｽ"},
        InputEncodingCase{
            "FromUtf16Be", {"--from", "UTF-16BE"}, std::string_view("\x7E\x26\x00\x61", 4), u"縦a"},
        InputEncodingCase{"AutoWithEncoding",
                          {"--from", "auto", "--encoding", "utf-8"},
                          "\x1B$B=D=q$-\x1B(B",
                          u"縦書き",
                          Charset::Utf8},
        InputEncodingCase{"FromCp932", {"--from", "cp932"}, "\xC3\xBD", u"ﾃｽ"},
        InputEncodingCase{"FromUtf8", {"--from", "utf-8"}, "\xC3\xBD", u"ý"},
        InputEncodingCase{"FromUtf16FollowsTheMark",
                          {"--from", "utf-16"},
                          std::string_view("\xFE\xFF\x7E\x26\x00\x61", 6),
                          u"縦a"},
        InputEncodingCase{"FromUtf16LittleEndianWithoutAMark",
                          {"--from", "utf-16"},
                          std::string_view("\x26\x7E\x61\x00", 4),
                          u"縦a"},
        InputEncodingCase{"FromEucJp", {"--from", "euc-jp"}, "\xC9\xBD\xBC\xA8", u"表示"},
        InputEncodingCase{"FromIso2022Jp",
                          {"--from", "iso-2022-jp", "--encoding", "utf-8"},
                          "\x1B$B=D=q$-\x1B(B",
                          u"縦書き",
                          Charset::Utf8}),
    testing_support::CaseName());

// Outputs of many pieces, to standard output and to a file, are the bytes
// of the whole text.
TEST_F(ConvertCliTest, LargeOutputsAreTheBytesOfTheWholeText) {
  std::u16string manyLines;
  for (int i = 0; i < 50000; ++i) manyLines += i % 7 == 0 ? u"縦😀é\n" : u"書き\n";
  std::u16string longLine = std::u16string(150000, u'あ') + u"😀";
  for (const std::u16string* text : {&manyLines, &longLine}) {
    for (const auto& [charset, name] :
         {std::pair{Charset::Cp932, "cp932"}, std::pair{Charset::Utf8, "utf-8"}}) {
      const std::string expected =
          Saved(DecodeTextFile(Encode(*text, charset).bytes, charset), {}, charset);
      WriteFile(folder_.PathOf("in.txt"), Encode(*text, charset).bytes);
      const Outcome piped =
          Convert({"--settings", NoSettings(), "--encoding", name, folder_.PathOf("in.txt")});
      EXPECT_EQ(piped.status, 0) << piped.err;
      EXPECT_TRUE(piped.out == expected) << name << ": " << piped.out.size() << " bytes";
      const Outcome filed = Convert({"--settings", NoSettings(), "--encoding", name, "-o",
                                     folder_.PathOf("out.txt"), folder_.PathOf("in.txt")});
      EXPECT_EQ(filed.status, 0) << filed.err;
      EXPECT_TRUE(ReadFile(folder_.PathOf("out.txt")) == expected) << name;
    }
  }
}

struct FailureCase {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  const char* message;  // part of standard error
};

class ConvertCliFailureTest : public ConvertCliTest,
                              public testing::WithParamInterface<FailureCase> {};

TEST_P(ConvertCliFailureTest, ExitsWithItsStatusAndSaysWhy) {
  std::vector<std::string> arguments;
  for (const std::string& argument : GetParam().arguments) {
    // "@" stands for the test's folder.
    arguments.push_back(argument.starts_with("@") ? folder_.PathOf(argument.substr(1)) : argument);
  }
  const Outcome run = Convert(arguments, "abc");
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  // Names and values go out escaped: nothing the terminal would obey.
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), GetParam().status == 2 ? 2 : 1)
      << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCliFailureTest,
    testing::Values(
        FailureCase{"MissingInput", {"@missing.txt"}, 1, "missing.txt: No such file or directory"},
        FailureCase{"FolderAsInput", {"@"}, 1, "Is a directory"},
        FailureCase{"OutputInMissingFolder", {"-o", "@no/such/out.txt"}, 1, "no/such/out.txt"},
        FailureCase{"SettingsNotReadable", {"--settings", "@"}, 1, "Is a directory"},
        FailureCase{"MissingSettings",
                    {"--settings", "@typo.ini"},
                    1,
                    "typo.ini: No such file or directory"},
        FailureCase{
            "SettingsAreADevice", {"--settings", "/dev/zero"}, 1, "/dev/zero: Not a regular file"},
        FailureCase{"UnknownOption", {"--horizontal"}, 2, "unknown option '--horizontal'"},
        FailureCase{"ControlCharactersInAName",
                    {"@a\nb\x1b[31m\x9b.txt"},
                    1,
                    "a\\nb\\x1B[31m\\x9B.txt: No such file or directory"},
        FailureCase{"ControlCharactersInAnOption",
                    {"--\x1b]0;title\x07"},
                    2,
                    "unknown option '--\\x1B]0;title\\x07'"},
        FailureCase{"ControlCharactersInAValue",
                    {"--encoding", "\r\x1b[2J"},
                    2,
                    "unknown encoding '\\r\\x1B[2J'"},
        FailureCase{"UnknownEncoding", {"--encoding", "latin1"}, 2, "unknown encoding"},
        FailureCase{
            "EncodingOnlyRead", {"--encoding", "EUC-JP"}, 2, "EUC-JP can be read but not written"},
        FailureCase{"UnknownInputEncoding", {"--from", "sjis2"}, 2, "unknown input encoding"},
        FailureCase{"MissingValue", {"-o"}, 2, "needs a value"},
        FailureCase{"TwoInputs", {"a.txt", "b.txt"}, 2, "only one input file"},
        FailureCase{"ColumnLengthTooLong",
                    {"--column-length", "1000"},
                    2,
                    "'1000' for --column-length (allowed: 0 to 999, 0 for none)"},
        FailureCase{"ColumnLengthNegative", {"--column-length=-1"}, 2, "--column-length"},
        FailureCase{"ColumnLengthNotANumber", {"--column-length", "20x"}, 2, "--column-length"},
        FailureCase{"GapTooWide", {"--gap", "3"}, 2, "'3' for --gap (allowed: 0 to 2)"},
        FailureCase{"UnknownRuby", {"--ruby", "yes"}, 2, "'yes' for --ruby (allowed: off or on)"},
        FailureCase{"TcyTooMany", {"--tcy", "4"}, 2, "'4' for --tcy (allowed: 0 to 3)"},
        FailureCase{"UnknownLatin",
                    {"--latin", "turned"},
                    2,
                    "'turned' for --latin (allowed: cells or sideways)"},
        FailureCase{"UnknownKinsoku",
                    {"--kinsoku", "Hang"},
                    2,
                    "'Hang' for --kinsoku (allowed: none, hang or push)"}),
    testing_support::CaseName());

struct LayoutCase {
  const char* name;
  const char16_t* settings;  // Setting.ini, empty for none
  std::vector<std::string> arguments;
  const char16_t* input;
  const char16_t* output;
};

class ConvertCliLayoutTest : public ConvertCliTest,
                             public testing::WithParamInterface<LayoutCase> {};

TEST_P(ConvertCliLayoutTest, OptionsOverrideTheSettingsFile) {
  const std::string settings = folder_.PathOf("Setting.ini");
  WriteFile(settings, Encode(GetParam().settings, Charset::Cp932).bytes);
  std::vector<std::string> arguments = {"--settings", settings};
  arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  const Outcome run = Convert(arguments, Encode(GetParam().input, Charset::Cp932).bytes);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Encode(GetParam().output, Charset::Cp932).bytes);
  EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCliLayoutTest,
    testing::Values(LayoutCase{"FromTheSettingsFile",
                               u"[Layout]\r\nColumnLength=2\r\nColumnGap=1\r\n",
                               {},
                               u"abc",
                               u"ｃ　ａ\r\n　　ｂ"},
                    LayoutCase{
                        "ColumnLength", u"", {"--column-length", "2"}, u"abc", u"ｃａ\r\n　ｂ"},
                    LayoutCase{"Gap", u"", {"--gap=2"}, u"a\r\nb", u"ｂ　　ａ"},
                    LayoutCase{"Hang",
                               u"",
                               {"--column-length", "2", "--kinsoku", "hang"},
                               u"あい。う",
                               u"うあ\r\n　い\r\n　。"},
                    LayoutCase{"Push",
                               u"",
                               {"--column-length", "2", "--kinsoku", "push"},
                               u"あい。う",
                               u"ういあ\r\n　。　"},
                    LayoutCase{"OverridesTheFile",
                               u"[Layout]\r\nColumnLength=2\r\nKinsoku=1\r\nColumnGap=1\r\n",
                               {"--column-length", "0", "--gap", "0"},
                               u"あい。う",
                               u"あ\r\nい\r\n。\r\nう"},
                    LayoutCase{"KinsokuOverridesOnlyItself",
                               u"[Layout]\r\nColumnLength=2\r\nKinsoku=1\r\n",
                               {"--kinsoku", "none"},
                               u"あい。う",
                               u"。あ\r\nうい"},
                    LayoutCase{"RubyLeavesTheText",
                               u"",
                               {"--ruby", "on"},
                               u"｜東京《とうきょう》へ",
                               u"東\r\n京\r\nへ"},
                    // The settings' ruby is for pictures and pages: the text
                    // keeps what was typed unless the command line asks.
                    LayoutCase{"RubyOfTheSettingsKeepsTheMarks",
                               u"[Layout]\r\nRuby=1\r\n",
                               {},
                               u"漢《か》",
                               u"漢\r\n《\r\nか\r\n》"},
                    LayoutCase{"RubyBaseKeptWhole",
                               u"",
                               {"--ruby", "on", "--column-length", "3"},
                               u"あい漢字《かんじ》う",
                               u"漢あ\r\n字い\r\nう　"},
                    // 縦中横 and sideways Latin are for pictures and pages:
                    // the text keeps a character to a cell, full-width.
                    LayoutCase{"TcyAndLatinLeaveTheText",
                               u"[Layout]\r\nTcy=2\r\nLatin=1\r\n",
                               {"--tcy", "3", "--latin", "sideways", "--column-length", "3"},
                               u"第12章 ab",
                               u"ｂ章第\r\n　　１\r\n　ａ２"},
                    // The table and the options play no part in reading back.
                    LayoutCase{"Reverse",
                               u"[Swap001]\r\nFrom=a\r\nTo=\"b\"\r\nType=1\r\n",
                               {"--reverse", "--gap", "2"},
                               u"ｃａ\r\n　ｂ",
                               u"ａｂ\r\nｃ"}),
    testing_support::CaseName());

TEST_F(ConvertCliTest, ReverseNeedsNoSettingsFile) {
  const Outcome run = Convert({"--settings", folder_.PathOf(""), "--reverse", "--encoding=utf-8"},
                              "\xEF\xBD\x83\xEF\xBD\x81\r\n\xE3\x80\x80\xEF\xBD\x82\r\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Encode(u"ａｂ\r\nｃ", Charset::Utf8).bytes);
}

TEST_F(ConvertCliTest, FullStandardOutputIsAnError) {
  WriteFile(folder_.PathOf("in.txt"), "abc");
  const std::string command = Quoted(MIROTABE_CONVERT_BINARY) + " --settings " +
                              Quoted(NoSettings()) + " " + Quoted(folder_.PathOf("in.txt")) +
                              " >/dev/full 2>" + Quoted(folder_.PathOf("stderr"));
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  EXPECT_NE(ReadFile(folder_.PathOf("stderr")).find("standard output: No space left on device"),
            std::string::npos);
}

// "-" names standard output, as it names standard input: no file "-" is made.
TEST_F(ConvertCliTest, DashAsOutputIsStandardOutput) {
  WriteFile(folder_.PathOf("in.txt"), "ab");
  const Outcome text = Convert({"--settings", NoSettings(), "-o", "-", folder_.PathOf("in.txt")});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out, Saved(u"ab"));
  const Outcome pages =
      Convert({"--settings", NoSettings(), "--page", "a5", "-o", "-", folder_.PathOf("in.txt")});
  EXPECT_EQ(pages.status, 0) << pages.err;
  EXPECT_TRUE(pages.out.starts_with("%PDF-")) << pages.out.substr(0, 20);
  EXPECT_FALSE(fs::exists(folder_.PathOf("-")));
  EXPECT_FALSE(fs::exists("-"));
}

// Past the file size limit (ulimit -f) a write fails as on a full disk:
// the converter says so and exits with 1, and an old file stays whole,
// with no temporary file beside it.
TEST_F(ConvertCliTest, FileSizeLimitIsAWriteError) {
  std::string text;
  for (int line = 0; line < 2000; ++line) text += "abcdefghijklmnopqrstuvwxyz\n";
  WriteFile(folder_.PathOf("in.txt"), text);
  WriteFile(folder_.PathOf("out.txt"), "old");
  const std::string out = folder_.PathOf("out.txt");
  // Pages are written by Qt's own file class.
  for (const std::vector<std::string>& output :
       {std::vector<std::string>{"-o", out}, std::vector<std::string>{},
        std::vector<std::string>{"--page", "a4", "-o", out}}) {
    std::vector<std::string> arguments = {"--settings", NoSettings(), folder_.PathOf("in.txt")};
    arguments.insert(arguments.end(), output.begin(), output.end());
    const Outcome run =
        RunProgram(folder_, MIROTABE_CONVERT_BINARY, arguments, "", "ulimit -f 20;");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find((output.empty() ? "standard output" : out) + ": File too large"),
              std::string::npos)
        << run.err;
  }
  EXPECT_EQ(ReadFile(folder_.PathOf("out.txt")), "old");
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_.path())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, (std::set<std::string>{"in.txt", "out.txt", "empty-settings.ini", "stdin",
                                          "stdout", "stderr"}));
}

// Replacements that would make the text longer than any layout can take
// are refused before the longer text is built: under a memory limit far
// below what that text would take, the converter still says why and exits
// with 1, rather than running out of memory.
struct GrowthCase {
  const char* name;
  const char16_t* settings;
};

class ConvertCliGrowthTest : public ConvertCliTest,
                             public testing::WithParamInterface<GrowthCase> {};

TEST_P(ConvertCliGrowthTest, IsRefusedWithinAMemoryLimit) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#endif
  WriteFile(folder_.PathOf("Setting.ini"), Encode(GetParam().settings, Charset::Cp932).bytes);
  // Five million characters would become 300 million or more, 600 MB.
  WriteFile(folder_.PathOf("in.txt"),
            Encode(std::u16string(5'000'000, u'あ'), Charset::Cp932).bytes);
  const Outcome run =
      RunProgram(folder_, MIROTABE_CONVERT_BINARY,
                 {"--settings", folder_.PathOf("Setting.ini"), folder_.PathOf("in.txt")}, "",
                 "ulimit -v 400000;");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("the result is too large to lay out: the replacements make the text at "
                         "least "),
            std::string::npos)
      << run.err;
  EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    , ConvertCliGrowthTest,
    testing::Values(
        GrowthCase{"AnEntryOfSixtyCharacters",
                   u"[Swap001]\r\nFrom=あ\r\nTo=\"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢"
                   u"漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢"
                   u"漢漢漢\"\r\nType=1\r\n"},
        GrowthCase{
            "EntriesThatGrowInTurn",
            u"[Swap001]\r\nFrom=あ\r\nTo=\"ああああああああああああああああ\"\r\nType=1\r\n"
            u"[Swap002]\r\nFrom=あ\r\nTo=\"ああああああああああああああああ\"\r\nType=1\r\n"}),
    testing_support::CaseName());

// A device or a FIFO named by -o is written into, never replaced.
TEST_F(ConvertCliTest, OutputToADeviceOrAFifoIsWrittenThrough) {
  WriteFile(folder_.PathOf("in.txt"), "ab");
  const std::string expected = Saved(u"ab");

  const Outcome toNull =
      Convert({"--settings", NoSettings(), "-o", "/dev/null", folder_.PathOf("in.txt")});
  EXPECT_EQ(toNull.status, 0) << toNull.err;
  struct stat info {};
  ASSERT_EQ(stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));

  const Outcome toStdout =
      Convert({"--settings", NoSettings(), "-o", "/dev/stdout", folder_.PathOf("in.txt")});
  EXPECT_EQ(toStdout.status, 0) << toStdout.err;
  EXPECT_EQ(toStdout.out, expected);

  const std::string fifo = folder_.PathOf("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  std::string received;
  std::thread reader([&] { received = ReadFile(fifo); });
  const Outcome toFifo =
      Convert({"--settings", NoSettings(), "-o", fifo, folder_.PathOf("in.txt")});
  reader.join();
  EXPECT_EQ(toFifo.status, 0) << toFifo.err;
  EXPECT_EQ(received, expected);
  ASSERT_EQ(stat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(ConvertCliTest, ReadsItsInputFromAFifo) {
  const std::string fifo = folder_.PathOf("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  std::thread writer([&] { WriteFile(fifo, "ab"); });
  const Outcome run = Convert({"--settings", NoSettings(), fifo});
  writer.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Saved(u"ab"));
}

TEST_F(ConvertCliTest, AnswersHelpAndVersion) {
  const Outcome help = Convert({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: mirotabe-convert"), std::string::npos);
  const Outcome version = Convert({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "mirotabe-convert 1.1.0\n");
}

}  // namespace
}  // namespace mirotabe
