#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/case_name.h"
#include "tests/support/failing_sys_calls.h"
#include "tests/support/profile_values.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using namespace std::string_literals;

using testing_support::IniReadInt;
using testing_support::IniReadString;
using testing_support::IniWriteString;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

// --- Reading -----------------------------------------------------------------

struct ReadStringCase {
  const char* name;
  std::string file;
  std::u16string section;
  std::u16string key;
  std::u16string expected;
};

void PrintTo(const ReadStringCase& c, std::ostream* out) {
  *out << c.name;
}

constexpr char16_t kDefault[] = u"(default)";

class ProfileReadStringTest : public testing::TestWithParam<ReadStringCase> {};

TEST_P(ProfileReadStringTest, ReadsWhatWindowsWouldRead) {
  const ReadStringCase& c = GetParam();
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  WriteFile(path, c.file);

  EXPECT_EQ(IniReadString(path, c.section, c.key, kDefault), c.expected);
  // The batch form answers the same.
  IoResult<ProfileFile> profile = ProfileFile::Load(path);
  ASSERT_TRUE(profile.ok());
  EXPECT_EQ(profile.value().ReadString(c.section, c.key, kDefault), c.expected);
}

const ReadStringCase kReadStringCases[] = {
    {"Plain", "[Main]\r\nKey=v\r\n", u"Main", u"Key", u"v"},
    {"NamesIgnoreAsciiCase", "[mAIN]\r\nkEY=v\r\n", u"Main", u"Key", u"v"},
    {"BlanksInsideBrackets", "[ \tname\t ]\r\nk=v\r\n", u"name", u"k", u"v"},
    {"HeaderWithoutBracketRunsToLineEnd", "[name \r\nk=v\r\n", u"name", u"k", u"v"},
    {"TextAfterBracketIgnored", "[name] ; x\r\nk=v\r\n", u"name", u"k", u"v"},
    {"IndentedHeader", "  [name]\r\nk=v\r\n", u"name", u"k", u"v"},
    {"BlanksAroundKeyAndValue", "[s]\r\n \t k \t= \t v  v \t\r\n", u"s", u"k", u"v  v"},
    {"SemicolonComment", "[s]\r\n;k=v\r\n", u"s", u"k", kDefault},
    {"IndentedSemicolonComment", "[s]\r\n \t;k=v\r\n", u"s", u"k", kDefault},
    {"HashIsNoComment", "[s]\r\n#k=v\r\n", u"s", u"#k", u"v"},
    {"SemicolonInValue", "[s]\r\nk=;x\r\n", u"s", u"k", u";x"},
    {"EqualsInValue", "[s]\r\nk=a=b\r\n", u"s", u"k", u"a=b"},
    {"LinesBeforeFirstSection", "k=v\r\n[s]\r\n", u"s", u"k", kDefault},
    {"FirstSectionOfANameWins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n", u"s", u"k", u"1"},
    {"LaterSectionOfANameNotSearched", "[s]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n", u"s", u"j", kDefault},
    {"FirstKeyOfANameWins", "[s]\r\nk=1\r\nK=2\r\n", u"s", u"k", u"1"},
    {"MissingSection", "[s]\r\nk=v\r\n", u"t", u"k", kDefault},
    {"MissingKey", "[s]\r\nk=v\r\n", u"s", u"j", kDefault},
    {"KeyOfNextSection", "[s]\r\n[t]\r\nk=v\r\n", u"s", u"k", kDefault},
    {"KeyWithoutEquals", "[s]\r\nk\r\n", u"s", u"k", kDefault},
    {"KeyWithoutEqualsStillComesFirst", "[s]\r\nk\r\nk=v\r\n", u"s", u"k", kDefault},
    {"EmptyValueIsNotTheDefault", "[s]\r\nk=\r\n", u"s", u"k", u""},
    {"BlankValue", "[s]\r\nk= \t \r\n", u"s", u"k", u""},
    {"DoubleQuotes", "[s]\r\nk=\"v\"\r\n", u"s", u"k", u"v"},
    {"SingleQuotes", "[s]\r\nk='v'\r\n", u"s", u"k", u"v"},
    {"QuotesKeepInnerBlanks", "[s]\r\nk=  \"  v  \"  \r\n", u"s", u"k", u"  v  "},
    {"OnlyOneOuterPair", "[s]\r\nk=\"\"v\"\"\r\n", u"s", u"k", u"\"v\""},
    {"MismatchedQuotes", "[s]\r\nk=\"v'\r\n", u"s", u"k", u"\"v'"},
    {"LoneQuote", "[s]\r\nk=\"\r\n", u"s", u"k", u"\""},
    {"EmptyQuotes", "[s]\r\nk=\"\"\r\n", u"s", u"k", u""},
    {"QuoteOnlyAtStart", "[s]\r\nk=\"v\r\n", u"s", u"k", u"\"v"},
    {"NulEndsValue", "[s]\r\nk=ab\0cd\r\n"s, u"s", u"k", u"ab"},
    {"LfLines", "[s]\nj=1\nk=v\n", u"s", u"k", u"v"},
    {"CrLines", "[s]\rj=1\rk=v\r", u"s", u"k", u"v"},
    {"MixedLines", "x\r[s]\nj=1\r\nk=v", u"s", u"k", u"v"},
    {"BlankLinesInSection", "[s]\r\n\r\n\n\rk=v\r\n", u"s", u"k", u"v"},
    {"JapaneseNamesAndValue", "[\x90\xdd\x92\xe8]\r\n\x92\x6c=\x82\xa0\r\n", u"設定", u"値", u"あ"},
    // 0x835D is "ゾ": its trail byte is ']' and must not end the name.
    {"BracketAsTrailByte", "[\x83\x5d]\r\nk=v\r\n", u"ゾ", u"k", u"v"},
    // "ア" 0x8341 and "ヂ" 0x8361 differ only in a trail byte that looks
    // like 'A' / 'a'.
    {"TrailByteNotFoldedInSection", "[\x83\x41]\r\nk=v\r\n", u"ヂ", u"k", kDefault},
    {"TrailByteNotFoldedInKey", "[s]\r\n\x92\x4c=v\r\n", u"s", u"値", kDefault},
    {"TrailByteSectionFound", "[\x83\x41]\r\nk=v\r\n", u"ア", u"k", u"v"},
};

INSTANTIATE_TEST_SUITE_P(, ProfileReadStringTest, testing::ValuesIn(kReadStringCases),
                         testing_support::CaseName());

struct CutCase {
  const char* name;
  std::string value;  // code page 932 bytes
  std::u16string expected;
};

void PrintTo(const CutCase& c, std::ostream* out) {
  *out << c.name;
}

class ProfileReadCutTest : public testing::TestWithParam<CutCase> {};

TEST_P(ProfileReadCutTest, CutsTo127BytesWithoutSplittingACharacter) {
  const CutCase& c = GetParam();
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  WriteFile(path, "[s]\r\nk=" + c.value + "\r\n");
  EXPECT_EQ(IniReadString(path, u"s", u"k", u""), c.expected);
}

std::string Repeat(const std::string& text, int count) {
  std::string repeated;
  for (int i = 0; i < count; ++i) repeated += text;
  return repeated;
}

const std::string kA = "\x82\xa0";  // "あ"

const CutCase kCutCases[] = {
    {"Exactly127", std::string(127, 'a'), std::u16string(127, u'a')},
    {"SingleBytesCut", std::string(127, 'a') + "bc", std::u16string(127, u'a')},
    {"DoubleByteEndsAt127", std::string(125, 'a') + kA + "b", std::u16string(125, u'a') + u"あ"},
    {"DoubleByteAcrossTheCutDropped", std::string(126, 'a') + kA, std::u16string(126, u'a')},
    {"OnlyDoubleBytes", Repeat(kA, 64), std::u16string(63, u'あ')},
    {"QuotesRemovedBeforeTheCut", "\"" + std::string(127, 'a') + "\"", std::u16string(127, u'a')},
};

INSTANTIATE_TEST_SUITE_P(, ProfileReadCutTest, testing::ValuesIn(kCutCases),
                         testing_support::CaseName());

struct ReadIntCase {
  const char* name;
  std::string line;  // the line in section [s]
  std::int32_t expected;
};

void PrintTo(const ReadIntCase& c, std::ostream* out) {
  *out << c.name;
}

constexpr std::int32_t kIntDefault = 99;

class ProfileReadIntTest : public testing::TestWithParam<ReadIntCase> {};

TEST_P(ProfileReadIntTest, ParsesLikeGetPrivateProfileInt) {
  const ReadIntCase& c = GetParam();
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  WriteFile(path, "[s]\r\n" + c.line + "\r\n");
  EXPECT_EQ(IniReadInt(path, u"s", u"k", kIntDefault), c.expected);
}

const ReadIntCase kReadIntCases[] = {
    {"Digits", "k=42", 42},
    {"StopsAtNonDigit", "k=42abc", 42},
    {"MinusOne", "k=-1", -1},
    {"Plus", "k=+7", 7},
    {"LeadingZeros", "k=007", 7},
    {"WrapsAbove32Bits", "k=4294967297", 1},
    {"WrapsToNegative", "k=2147483648", INT_MIN},
    {"NegativeWraps", "k=-4294967297", -1},
    {"NoDigits", "k=abc", 0},
    {"SignOnly", "k=-", 0},
    {"BlankAfterSign", "k=- 5", 0},
    {"NoHex", "k=0x10", 0},
    {"Trimmed", "k= \t12\t ", 12},
    {"Quoted", "k=\"12\"", 12},
    {"StopsAtBlank", "k=1 2", 1},
    {"EmptyValue", "k=", kIntDefault},
    {"BlankValue", "k=  ", kIntDefault},
    {"EmptyQuotes", "k=\"\"", kIntDefault},
    {"KeyWithoutEquals", "k", kIntDefault},
    {"MissingKey", "j=5", kIntDefault},
};

INSTANTIATE_TEST_SUITE_P(, ProfileReadIntTest, testing::ValuesIn(kReadIntCases),
                         testing_support::CaseName());

TEST(ProfileReadTest, UnreadableFilesGiveTheDefault) {
  TempFolder folder;
  EXPECT_EQ(IniReadInt(folder.PathOf("missing.ini"), u"s", u"k", 5), 5);
  EXPECT_EQ(IniReadString(folder.PathOf("missing.ini"), u"s", u"k", u"d"), u"d");
  EXPECT_EQ(IniReadInt(folder.path(), u"s", u"k", 5), 5);
  EXPECT_EQ(IniReadString(folder.path(), u"s", u"k", u"d"), u"d");
}

// --- Writing -----------------------------------------------------------------

struct WriteCase {
  const char* name;
  std::string before;
  std::u16string section;
  std::u16string key;
  std::u16string value;
  std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
  *out << c.name;
}

class ProfileWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyTheLinesItMust) {
  const WriteCase& c = GetParam();
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  WriteFile(path, c.before);

  ASSERT_TRUE(IniWriteString(path, c.section, c.key, c.value).ok());
  EXPECT_EQ(ReadFile(path), c.after);
}

const WriteCase kWriteCases[] = {
    {"ReplaceInPlace", "[s]\r\nk=1\r\nj=2\r\n", u"s", u"k", u"9", "[s]\r\nk=9\r\nj=2\r\n"},
    {"ReplaceKeepsLfEnding", "[s]\nk=1\nj=2\n", u"s", u"k", u"9", "[s]\nk=9\nj=2\n"},
    {"ReplaceKeepsCrEnding", "[s]\rk=1\rj=2\r", u"s", u"k", u"9", "[s]\rk=9\rj=2\r"},
    {"ReplaceLastLineWithoutEnding", "[s]\r\nk=1", u"s", u"k", u"9", "[s]\r\nk=9"},
    {"ReplaceLooselyWrittenKey", "[S]\r\n  K = 1 \r\n", u"s", u"k", u"9", "[S]\r\nk=9\r\n"},
    {"ReplaceFirstDuplicateKey", "[s]\r\nk=1\r\nk=2\r\n", u"s", u"k", u"9",
     "[s]\r\nk=9\r\nk=2\r\n"},
    {"ReplaceKeyWithoutEquals", "[s]\r\nk\r\n", u"s", u"k", u"9", "[s]\r\nk=9\r\n"},
    {"ReplaceInFirstDuplicateSection", "[s]\r\nk=1\r\n[s]\r\nk=2\r\n", u"s", u"k", u"9",
     "[s]\r\nk=9\r\n[s]\r\nk=2\r\n"},
    {"NewKeyInFirstDuplicateSection", "[s]\r\nk=1\r\n[s]\r\nk=2\r\n", u"s", u"j", u"3",
     "[s]\r\nk=1\r\nj=3\r\n[s]\r\nk=2\r\n"},
    {"CommentedKeyNotReplaced", "[s]\r\nk=1\r\n;j=1\r\n", u"s", u"j", u"9",
     "[s]\r\nk=1\r\nj=9\r\n;j=1\r\n"},
    {"NewKeyAfterLastKeyLine", "[s]\r\nk=1\r\n\r\n;c\r\n[t]\r\nx=1\r\n", u"s", u"j", u"2",
     "[s]\r\nk=1\r\nj=2\r\n\r\n;c\r\n[t]\r\nx=1\r\n"},
    {"NewKeyAfterKeysBetweenComments", "[s]\r\n;a\r\nk=1\r\n;b\r\nm=1\r\n\r\n", u"s", u"j", u"2",
     "[s]\r\n;a\r\nk=1\r\n;b\r\nm=1\r\nj=2\r\n\r\n"},
    {"NewKeyInSectionWithoutKeys", "[s]\r\n;c\r\n\r\n[t]\r\n", u"s", u"j", u"2",
     "[s]\r\nj=2\r\n;c\r\n\r\n[t]\r\n"},
    {"NewKeyAfterHeaderWithoutEnding", "[s]", u"s", u"k", u"v", "[s]\r\nk=v\r\n"},
    {"NewKeyAfterLastLineWithoutEnding", "[s]\r\nk=1", u"s", u"j", u"2", "[s]\r\nk=1\r\nj=2\r\n"},
    {"NewKeyInLfFile", "[s]\nk=1\n", u"s", u"j", u"2", "[s]\nk=1\nj=2\r\n"},
    {"NewKeyInCrFile", "[s]\rk=1\r", u"s", u"j", u"2", "[s]\rk=1\rj=2\r\n"},
    {"NewSectionAtEnd", "[s]\r\nk=1\r\n\r\n;c\r\n", u"t", u"j", u"2",
     "[s]\r\nk=1\r\n\r\n;c\r\n[t]\r\nj=2\r\n"},
    {"NewSectionAfterLineWithoutEnding", "[s]\r\nk=1", u"t", u"j", u"2",
     "[s]\r\nk=1\r\n[t]\r\nj=2\r\n"},
    {"NewSectionInEmptyFile", "", u"s", u"k", u"v", "[s]\r\nk=v\r\n"},
    {"LinesBeforeFirstSectionAreNoSection", "k=1\r\n", u"s", u"k", u"9", "k=1\r\n[s]\r\nk=9\r\n"},
    {"ValueVerbatim", "", u"s", u"k", u"  \"a b\"  ", "[s]\r\nk=  \"a b\"  \r\n"},
    {"EmptyValue", "[s]\r\nk=1\r\n", u"s", u"k", u"", "[s]\r\nk=\r\n"},
    {"JapaneseInCodePage932", "", u"設定", u"値", u"あ",
     "[\x90\xdd\x92\xe8]\r\n\x92\x6c=\x82\xa0\r\n"},
    {"BracketTrailByteFindsSection", "[\x83\x5d]\r\nk=1\r\n", u"ゾ", u"k", u"9",
     "[\x83\x5d]\r\nk=9\r\n"},
    {"TrailByteSectionNotConfused", "[\x83\x41]\r\nk=1\r\n", u"ヂ", u"k", u"9",
     "[\x83\x41]\r\nk=1\r\n[\x83\x61]\r\nk=9\r\n"},
    {"OtherLinesByteForByte",
     "junk \t\r\n[a]\r\n x = 1 \n#c\r;c\r\n\r\n[s]\r\nk=1\r\n[b]\r\n\xff\xfe\0z\r\n \t\r\n"s, u"s",
     u"k", u"9",
     "junk \t\r\n[a]\r\n x = 1 \n#c\r;c\r\n\r\n[s]\r\nk=9\r\n[b]\r\n\xff\xfe\0z\r\n \t\r\n"s},
};

INSTANTIATE_TEST_SUITE_P(, ProfileWriteTest, testing::ValuesIn(kWriteCases),
                         testing_support::CaseName());

TEST(ProfileWriteFileTest, CreatesMissingFile) {
  TempFolder folder;
  const std::string path = folder.PathOf("new.ini");
  ASSERT_TRUE(IniWriteString(path, u"Main", u"TabSpace", u"4").ok());
  EXPECT_EQ(ReadFile(path), "[Main]\r\nTabSpace=4\r\n");
}

struct RoundTripCase {
  const char* name;
  std::u16string written;
  std::u16string read;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
  *out << c.name;
}

class ProfileRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

// Values are written verbatim but read trimmed and unquoted, so only quoted
// values keep their outer blanks.
TEST_P(ProfileRoundTripTest, ReadsBackWhatItWrote) {
  const RoundTripCase& c = GetParam();
  TempFolder folder;
  ProfileFile profile(folder.PathOf("Setting.ini"));
  profile.WriteString(u"s", u"k", c.written);
  EXPECT_EQ(profile.ReadString(u"s", u"k", kDefault), c.read);
  ASSERT_TRUE(profile.Save().ok());
  EXPECT_EQ(IniReadString(profile.path(), u"s", u"k", kDefault), c.read);
}

const RoundTripCase kRoundTripCases[] = {
    {"Plain", u"value", u"value"},
    {"OuterBlanksTrimmed", u"  v v  ", u"v v"},
    {"QuotedBlanksKept", u"\"  v  \"", u"  v  "},
    {"Empty", u"", u""},
    {"Japanese", u"縦書き", u"縦書き"},
    {"Unencodable", u"é", u"?"},
};

INSTANTIATE_TEST_SUITE_P(, ProfileRoundTripTest, testing::ValuesIn(kRoundTripCases),
                         testing_support::CaseName());

// --- Removing sections -------------------------------------------------------

struct RemoveCase {
  const char* name;
  std::string before;
  std::u16string section;
  std::string after;
  std::u16string read = kDefault;  // "x" of the section afterwards
};

void PrintTo(const RemoveCase& c, std::ostream* out) {
  *out << c.name;
}

class ProfileRemoveSectionTest : public testing::TestWithParam<RemoveCase> {};

TEST_P(ProfileRemoveSectionTest, RemovesTheSectionThatIsRead) {
  const RemoveCase& c = GetParam();
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  WriteFile(path, c.before);
  IoResult<ProfileFile> profile = ProfileFile::Load(path);
  ASSERT_TRUE(profile.ok());

  profile.value().RemoveSection(c.section);
  EXPECT_EQ(profile.value().ReadString(c.section, u"x", kDefault), c.read);
  ASSERT_TRUE(profile.value().Save().ok());
  EXPECT_EQ(ReadFile(path), c.after);
}

const RemoveCase kRemoveCases[] = {
    {"FirstWithItsLinesAndTheNextIsRead", "[a]\r\nx=1\r\n;c\r\n\r\n[b]\r\ny=2\r\n[A]\r\nx=3\r\n",
     u"a", "[b]\r\ny=2\r\n[A]\r\nx=3\r\n", u"3"},
    {"LinesBeforeFirstSectionStay", "x=0\r\n[a]\r\nx=1\r\n", u"a", "x=0\r\n"},
    {"MissingSectionChangesNothing", "[a]\r\nx=1", u"b", "[a]\r\nx=1"},
    {"LastSectionWithoutFinalEnding", "[b]\r\ny=2\n[a]\r\nx=1", u"a", "[b]\r\ny=2\n"},
};

INSTANTIATE_TEST_SUITE_P(, ProfileRemoveSectionTest, testing::ValuesIn(kRemoveCases),
                         testing_support::CaseName());

TEST(ProfileRemoveThenWriteTest, AddsTheSectionAtTheEnd) {
  TempFolder folder;
  ProfileFile profile(folder.PathOf("Setting.ini"));
  profile.WriteString(u"a", u"x", u"1");
  profile.WriteString(u"b", u"y", u"2");
  profile.RemoveSection(u"A");
  profile.WriteString(u"a", u"x", u"3");
  EXPECT_EQ(profile.ReadString(u"a", u"x", kDefault), u"3");
  ASSERT_TRUE(profile.Save().ok());
  EXPECT_EQ(ReadFile(profile.path()), "[b]\r\ny=2\r\n[a]\r\nx=3\r\n");
}

// --- Batches -----------------------------------------------------------------

struct Edit {
  std::u16string section;
  std::u16string key;  // empty: remove the section
  std::u16string value;
};

// The single-call path for one edit: one load and one save each.
void ApplySingly(const std::string& path, const Edit& edit) {
  if (!edit.key.empty()) {
    ASSERT_TRUE(IniWriteString(path, edit.section, edit.key, edit.value).ok());
    return;
  }
  IoResult<ProfileFile> profile = ProfileFile::Load(path);
  ASSERT_TRUE(profile.ok());
  profile.value().RemoveSection(edit.section);
  ASSERT_TRUE(profile.value().Save().ok());
}

TEST(ProfileBatchTest, EqualsTheSameSingleWritesInOrder) {
  const std::string original =
      "; settings\r\n"
      "orphan=1\r\n"
      "\r\n"
      "[Main]\r\n"
      "TabSpace = 8\r\n"
      "; convert trigger\r\n"
      "\r\n"
      "[Other]\n"
      "keep=me\n"
      "#hash=1\r"
      "[main]\r\n"
      "TabSpace=1\r\n"
      "[Swap001]\r\n"
      "From=a\r\n"
      "To=\"b\"\r\n"
      "Type=0\r\n"
      "[Swap002]\r\n"
      "From=c\r\n"
      "[Unknown]\r\n"
      "x=y";
  const std::vector<Edit> edits = {
      {u"Main", u"TabSpace", u"4"},
      {u"Main", u"Convert", u"2"},
      {u"MAIN", u"Convert", u"1"},
      {u"Swap001", u"From", u"\u3042"},
      {u"Swap001", u"Type", u"1"},
      {u"Swap002", u"To", u"\"d e\""},
      {u"Swap002", u"Type", u"0"},
      {u"Swap003", u"From", u"f"},
      {u"Swap003", u"To", u"\"\""},
      {u"Swap002", u"", u""},
      {u"Swap002", u"From", u"again"},
      {u"Unknown", u"z", u"1"},
      {u"Swap004", u"", u""},
      {u"New", u"k", u"v"},
      {u"new", u"k", u"w"},
  };
  TempFolder folder;
  const std::string single = folder.PathOf("single.ini");
  const std::string batch = folder.PathOf("batch.ini");
  WriteFile(single, original);
  WriteFile(batch, original);

  for (const Edit& edit : edits) ApplySingly(single, edit);

  IoResult<ProfileFile> profile = ProfileFile::Load(batch);
  ASSERT_TRUE(profile.ok());
  for (const Edit& edit : edits) {
    if (edit.key.empty()) {
      profile.value().RemoveSection(edit.section);
    } else {
      profile.value().WriteString(edit.section, edit.key, edit.value);
    }
  }
  ASSERT_TRUE(profile.value().Save().ok());
  EXPECT_EQ(ReadFile(batch), ReadFile(single));
}

TEST(ProfileBatchTest, ManySectionsReadBackAfterSave) {
  TempFolder folder;
  ProfileFile profile(folder.PathOf("Setting.ini"));
  for (int n = 1; n <= 999; ++n) {
    const std::string digits = std::to_string(n);
    const std::u16string section = u"Swap" + std::u16string(digits.begin(), digits.end());
    profile.WriteString(section, u"From", section);
    profile.WriteString(section, u"Type", u"1");
  }
  ASSERT_TRUE(profile.Save().ok());

  IoResult<ProfileFile> loaded = ProfileFile::Load(profile.path());
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.value().ReadString(u"swap1", u"from", kDefault), u"Swap1");
  EXPECT_EQ(loaded.value().ReadString(u"Swap500", u"From", kDefault), u"Swap500");
  EXPECT_EQ(loaded.value().ReadInt(u"Swap999", u"Type", 0), 1);
  EXPECT_EQ(loaded.value().ReadInt(u"Swap1000", u"Type", 0), 0);
}

// --- Numbers within a range, not wrapped ---------------------------------------

struct IntInRangeCase {
  const char* name;
  std::string line;  // the line in section [s]
  std::optional<std::int32_t> expected;
  std::int32_t min = 0;
  std::int32_t max = 300;
};

class ProfileReadIntInRangeTest : public testing::TestWithParam<IntInRangeCase> {};

TEST_P(ProfileReadIntInRangeTest, TakesOnlyANumberWithinTheRange) {
  const ProfileFile profile = ProfileFile::FromBytes("p.ini", "[s]\r\n" + GetParam().line);
  EXPECT_EQ(profile.ReadIntInRange(u"s", u"k", GetParam().min, GetParam().max),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , ProfileReadIntInRangeTest,
    testing::Values(IntInRangeCase{"Within", "k=42", 42}, IntInRangeCase{"Bounds", "k=300", 300},
                    IntInRangeCase{"Zero", "k=-0", 0}, IntInRangeCase{"Plus", "k=+7", 7},
                    IntInRangeCase{"StopsAtNonDigit", "k=42abc", 42},
                    IntInRangeCase{"Trimmed", "k= \"12\" ", 12},
                    IntInRangeCase{"JustAbove", "k=301", std::nullopt},
                    IntInRangeCase{"Negative", "k=-1", std::nullopt},
                    IntInRangeCase{"WouldWrapInto", "k=4294967301", std::nullopt},
                    IntInRangeCase{"NegativeWouldWrapInto", "k=-4294967291", std::nullopt},
                    IntInRangeCase{"ManyDigits", "k=99999999999999999999999", std::nullopt},
                    IntInRangeCase{"LeadingZeros", "k=0000000000000000000042", 42},
                    IntInRangeCase{"NoDigits", "k=abc", std::nullopt},
                    IntInRangeCase{"SignOnly", "k=-", std::nullopt},
                    IntInRangeCase{"Empty", "k=", std::nullopt},
                    IntInRangeCase{"Missing", "j=1", std::nullopt},
                    IntInRangeCase{"Lowest32Bits", "k=-2147483648", INT_MIN, INT_MIN, INT_MAX},
                    IntInRangeCase{"Highest32Bits", "k=2147483647", INT_MAX, INT_MIN, INT_MAX},
                    IntInRangeCase{"Below32Bits", "k=-2147483649", std::nullopt, INT_MIN, INT_MAX},
                    IntInRangeCase{"Above32Bits", "k=2147483648", std::nullopt, INT_MIN, INT_MAX}),
    testing_support::CaseName());

// --- A byte-order mark, and sections put in front ----------------------------

struct EditCase {
  const char* name;
  std::string before;
  std::function<void(ProfileFile&)> edit;
  std::string after;
};

class ProfileEditTest : public testing::TestWithParam<EditCase> {};

TEST_P(ProfileEditTest, ChangesOnlyWhatItMust) {
  ProfileFile profile = ProfileFile::FromBytes("p.ini", GetParam().before);
  GetParam().edit(profile);
  EXPECT_EQ(profile.Bytes(), GetParam().after);
  // What is read is what a fresh read of the bytes gives.
  const ProfileFile reread = ProfileFile::FromBytes("p.ini", profile.Bytes());
  for (const char16_t* section : {u"Main", u"a", u"b"}) {
    EXPECT_EQ(profile.ReadString(section, u"x", kDefault),
              reread.ReadString(section, u"x", kDefault));
  }
}

const std::string kMark = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    , ProfileEditTest,
    testing::Values(
        EditCase{"MarkKeptAndFirstSectionFound", kMark + "[Main]\r\nx=1\r\n",
                 [](ProfileFile& p) {
                   EXPECT_EQ(p.ReadString(u"Main", u"x", kDefault), u"1");
                   p.WriteString(u"Main", u"x", u"2");
                 },
                 kMark + "[Main]\r\nx=2\r\n"},
        EditCase{"MarkOnAnEmptyFile", kMark,
                 [](ProfileFile& p) { p.WriteString(u"a", u"x", u"1"); }, kMark + "[a]\r\nx=1\r\n"},
        EditCase{"MarkInsideIsNoMark", "[a]\r\n" + kMark + "x=1\r\n",
                 [](ProfileFile& p) { EXPECT_EQ(p.ReadString(u"a", u"x", kDefault), kDefault); },
                 "[a]\r\n" + kMark + "x=1\r\n"},
        EditCase{"InsertedInFrontOfTheFirst", "[b]\r\nx=0\r\n[a]\r\nx=1\r\n[a]\r\nx=2\r\n",
                 [](ProfileFile& p) {
                   p.InsertSection(u"A");
                   EXPECT_EQ(p.ReadString(u"a", u"x", kDefault), kDefault);
                   p.WriteString(u"a", u"x", u"3");
                 },
                 "[b]\r\nx=0\r\n[A]\r\nx=3\r\n[a]\r\nx=1\r\n[a]\r\nx=2\r\n"},
        EditCase{"InsertedThenRemovedUncoversTheOld", "[a]\r\nx=1",
                 [](ProfileFile& p) {
                   p.InsertSection(u"a");
                   p.WriteString(u"b", u"x", u"2");
                   p.RemoveSection(u"a");
                 },
                 "[a]\r\nx=1\r\n[b]\r\nx=2\r\n"},
        EditCase{"InsertedWithoutAnyGoesAtTheEnd", "[b]\r\nx=0",
                 [](ProfileFile& p) {
                   p.InsertSection(u"a");
                   EXPECT_TRUE(p.HasSection(u"A"));
                 },
                 "[b]\r\nx=0\r\n[a]\r\n"}),
    testing_support::CaseName());

// --- Failures ----------------------------------------------------------------

TEST(ProfileFailureTest, MissingFolderFailsWithoutCreatingIt) {
  TempFolder folder;
  const std::string path = folder.PathOf("missing/Setting.ini");
  EXPECT_TRUE(IniWriteString(path, u"s", u"k", u"v").failed());
  EXPECT_FALSE(Exists(folder.PathOf("missing")));
}

TEST(ProfileFailureTest, ReadOnlyFileFailsAndStaysAsItWas) {
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  WriteFile(path, "[s]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);

  EXPECT_TRUE(IniWriteString(path, u"s", u"k", u"2").failed());
  EXPECT_EQ(ReadFile(path), "[s]\r\nk=1\r\n");
  IoResult<ProfileFile> profile = ProfileFile::Load(path);
  ASSERT_TRUE(profile.ok());
  profile.value().WriteString(u"s", u"k", u"2");
  const IoStatus error = profile.value().Save();
  ASSERT_TRUE(error.failed());
  EXPECT_EQ(error.error().code, std::errc::permission_denied);
  EXPECT_EQ(ReadFile(path), "[s]\r\nk=1\r\n");
}

TEST(ProfileFailureTest, FolderAsPathIsALoadError) {
  TempFolder folder;
  const IoResult<ProfileFile> profile = ProfileFile::Load(folder.path());
  ASSERT_FALSE(profile.ok());
  EXPECT_EQ(profile.error().code, std::errc::is_a_directory);
  EXPECT_EQ(profile.error().path, folder.path());
  EXPECT_TRUE(IniWriteString(folder.path(), u"s", u"k", u"v").failed());
  EXPECT_TRUE(std::filesystem::is_directory(folder.path()));
}

// A file that cannot be read must not be replaced by one holding only the
// new key.
TEST(ProfileFailureTest, UnreadableFileIsNotOverwritten) {
  TempFolder folder;
  const std::string path = folder.PathOf("Setting.ini");
  WriteFile(path, "[s]\r\nk=1\r\n");
  {
    testing_support::FailingSysCalls unreadable({testing_support::Call::kOpen, EACCES});
    EXPECT_TRUE(IniWriteString(path, u"s", u"j", u"2").failed());
  }
  EXPECT_EQ(ReadFile(path), "[s]\r\nk=1\r\n");
}

TEST(ProfileFailureTest, MissingFileLoadsEmpty) {
  TempFolder folder;
  const std::string path = folder.PathOf("missing.ini");
  IoResult<ProfileFile> profile = ProfileFile::Load(path);
  ASSERT_TRUE(profile.ok());
  EXPECT_EQ(profile.value().path(), path);
  EXPECT_EQ(profile.value().ReadString(u"s", u"k", kDefault), kDefault);
  EXPECT_FALSE(Exists(path));
}

}  // namespace
}  // namespace mirotabe
