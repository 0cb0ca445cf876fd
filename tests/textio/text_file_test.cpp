#include "textio/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/case_name.h"
#include "tests/support/failing_sys_calls.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_files.h"

namespace mirotabe {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::ReadTextFile;
using testing_support::TempFolder;
using testing_support::WriteFile;
using testing_support::WriteTextFile;

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::u16string text;
};

class DecodeTextFileTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTextFileTest, GivesTheProgramsTextForm) {
  EXPECT_EQ(DecodeTextFile(GetParam().bytes), GetParam().text);
  // Read from a file, the length of the text is told before decoding.
  const TempFolder folder;
  const std::string path = folder.PathOf("in.txt");
  WriteFile(path, GetParam().bytes);
  IoResult<UndecodedTextFile> file = UndecodedTextFile::Read(path, TextEncoding::Cp932);
  ASSERT_TRUE(file);
  EXPECT_EQ(file.value().TextLength(), GetParam().text.size());
  EXPECT_EQ(std::move(file.value()).Decode().value().text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cp932, DecodeTextFileTest,
    testing::Values(
        DecodeCase{"Empty", "", u""}, DecodeCase{"CrLfWithFinalBreak", "a\r\nb\r\n", u"a\r\nb"},
        DecodeCase{"CrLfWithoutFinalBreak", "a\r\nb", u"a\r\nb"},
        DecodeCase{"LoneCr", "a\rb", u"a\r\nb"}, DecodeCase{"LfLines", "a\nb\n", u"a\r\nb"},
        DecodeCase{"MixedBreaks", "a\nb\rc\r\nd", u"a\r\nb\r\nc\r\nd"},
        DecodeCase{"EmptyLineStays", "a\r\n\r\n", u"a\r\n"},
        DecodeCase{"OnlyOneFinalBreakDropped", "a\n\n\n", u"a\r\n\r\n"},
        DecodeCase{"OnlyCrLf", "\r\n", u""}, DecodeCase{"LfCrIsTwoBreaks", "a\n\rb", u"a\r\n\r\nb"},
        DecodeCase{"ShiftJis", "\x82\xA0\r\n\x83\x8C", u"あ\r\nレ"},
        DecodeCase{"InvalidBytes", "a\x82\x20\xFF", u"a\uFFFD \uFFFD"},
        DecodeCase{"CrThenCrLf", "a\r\r\nb", u"a\r\n\r\nb"},
        DecodeCase{"LoneCrAtTheEndDropped", "a\r", u"a"},
        DecodeCase{"LeadByteBeforeLf", "\x81\nb", u"\uFFFD\r\nb"},
        DecodeCase{"LeadByteBeforeLoneCr", "\x82\r\xFF\n", u"\uFFFD\r\n\uFFFD"}),
    testing_support::CaseName());

TEST(DecodeTextFileTest, OnlyUtf8HasAByteOrderMark) {
  const std::string marked =
      "\xEF\xBB\xBF"
      "a";
  EXPECT_EQ(DecodeTextFile(marked), Decode(marked, Charset::Cp932));
  EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF\xE3\x81\x82\n", Charset::Utf8), u"あ");
  EXPECT_EQ(DecodeTextFile("\xE3\x81\x82\r\n\xEF\xBB\xBF", Charset::Utf8), u"あ\r\n\uFEFF");
}

class TextFileTest : public testing::Test {
 protected:
  TempFolder folder_;
};

TEST_F(TextFileTest, WritesExactlyTheTextInCodePage932) {
  const std::string path = folder_.PathOf("out.txt");
  WriteFile(path, "a much longer old content\r\nthat must vanish\r\n");
  ASSERT_TRUE(WriteTextFile(path, u"あ\r\nb").ok());
  EXPECT_EQ(ReadFile(path), "\x82\xA0\r\nb");
}

TEST_F(TextFileTest, RoundTripsText) {
  const std::string path = folder_.PathOf("round.txt");
  for (const std::u16string text : {u"a", u"縦書き\r\n\r\nｱｲ　ｳ", u"x\r\ny\r\nz"}) {
    ASSERT_TRUE(WriteTextFile(path, text).ok());
    const IoResult<std::u16string> read = ReadTextFile(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.value(), text);
  }
}

TEST_F(TextFileTest, EmptyTextMakesAnEmptyFileThatReadsBackEmpty) {
  const std::string path = folder_.PathOf("empty.txt");
  WriteFile(path, "old");
  ASSERT_TRUE(WriteTextFile(path, u"").ok());
  EXPECT_EQ(fs::file_size(path), 0u);
  const IoResult<std::u16string> read = ReadTextFile(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(read.value(), u"");
}

TEST_F(TextFileTest, UnencodableCharactersBecomeQuestionMarks) {
  const EncodedText encoded = EncodeTextFile(u"a😀é");
  EXPECT_EQ(encoded.bytes, "a??");
  EXPECT_EQ(encoded.replaced, 2u);
}

TEST_F(TextFileTest, FailuresCarryThePathAndTheReason) {
  const std::string missing = folder_.PathOf("missing.txt");
  const IoResult<std::u16string> read = ReadTextFile(missing);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().path, missing);
  EXPECT_EQ(read.error().code, std::errc::no_such_file_or_directory);
  EXPECT_FALSE(read.error().Reason().empty());

  EXPECT_EQ(ReadTextFile(folder_.path()).error().code, std::errc::is_a_directory);

  const IoStatus intoMissingFolder = WriteTextFile(folder_.PathOf("no/such/folder.txt"), u"x");
  ASSERT_TRUE(intoMissingFolder.failed());
  EXPECT_EQ(intoMissingFolder.error().code, std::errc::no_such_file_or_directory);

  EXPECT_TRUE(WriteTextFile(folder_.path(), u"x").failed());
}

TEST_F(TextFileTest, FailedWriteLeavesTheOldFileWhole) {
  const std::string path = folder_.PathOf("readonly.txt");
  WriteFile(path, "keep me");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_TRUE(WriteTextFile(path, u"new").failed());
  EXPECT_EQ(ReadFile(path), "keep me");
}

TEST_F(TextFileTest, UnreadableFileIsAnError) {
  const std::string path = folder_.PathOf("secret.txt");
  WriteFile(path, "x");
  testing_support::FailingSysCalls unreadable({testing_support::Call::kOpen, EACCES});
  EXPECT_EQ(ReadTextFile(path).error().code, std::errc::permission_denied);
}

}  // namespace
}  // namespace mirotabe
