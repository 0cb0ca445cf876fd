#include "core/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <iostream>

#include "core/vertical_layout.h"
#include "platform/charset.h"
#include "platform/profile.h"
#include "tests/support/case_name.h"
#include "tests/support/hostile_settings.h"
#include "tests/support/swap_table.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::Table;

using enum SwapKind;

namespace fs = std::filesystem;

class SettingsTest : public testing::Test {
 protected:
  // Writes a settings file from UTF-8 text, stored in code page 932.
  void WriteFile(std::string_view utf8) {
    const std::u16string text = Decode(utf8, Charset::Utf8);
    testing_support::WriteFile(file_, Encode(text, Charset::Cp932).bytes);
  }
  std::string FileBytes() const { return testing_support::ReadFile(file_); }
  AppSettings Load() const {
    AppSettings settings;
    EXPECT_TRUE(LoadSettings(settings, file_).ok());
    return settings;
  }

  testing_support::TempFolder folder_;
  std::string file_ = folder_.PathOf("Setting.ini");
};

TEST_F(SettingsTest, MissingFileGivesDefaultsAndCreatesNothing) {
  const AppSettings settings = Load();
  EXPECT_EQ(settings.rules.tabSpace, 4);
  EXPECT_EQ(settings.convertTrigger, ConvertTrigger::kEveryChange);
  EXPECT_EQ(settings.rules.table.Count(), 0u);
  EXPECT_FALSE(fs::exists(file_));
}

struct LoadCase {
  const char* name;
  const char* file;  // UTF-8, stored as code page 932
  int tabSpace;
  int trigger;
  std::vector<SwapEntry> entries;
};

class SettingsLoadTest : public SettingsTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsLoadTest, ReadsTheFile) {
  WriteFile(GetParam().file);
  const AppSettings settings = Load();
  EXPECT_EQ(settings.rules.tabSpace, GetParam().tabSpace);
  EXPECT_EQ(static_cast<int>(settings.convertTrigger), GetParam().trigger);
  EXPECT_EQ(std::vector<SwapEntry>(settings.rules.table.begin(), settings.rules.table.end()),
            GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsLoadTest,
    testing::Values(
        LoadCase{"OnlyTabSpace", "[Main]\nTabSpace=3\n", 3, 2, {}},
        LoadCase{"GapEndsTheTable",
                 "[Swap001]\nFrom=a\n[Swap002]\nFrom=b\nTo=\"x\"\nType=1\n[Swap004]\nFrom=d\n",
                 4,
                 2,
                 {{u"a", u"", kCell}, {u"b", u"x", kWholeText}}},
        LoadCase{"EmptyFirstFromGivesNoEntries", "[Swap001]\nFrom=\n[Swap002]\nFrom=b\n", 4, 2, {}},
        LoadCase{"QuotedToKeepsItsSpaces",
                 "[Swap001]\nFrom=ー\nTo=\" ｜ \"\nType=0\n",
                 4,
                 2,
                 {{u"ー", u" ｜ ", kCell}}},
        LoadCase{"OtherTypeKept", "[Swap001]\nFrom=a\nType=5\n", 4, 2, {{u"a", u"", SwapKind{5}}}},
        LoadCase{"LargestBytes", "[Main]\nTabSpace=255\nConvert=255\n", 255, 255, {}},
        // Values that do not fit the 8-bit fields give the defaults; a kind
        // is kept whatever its number, so that it stays unknown.
        LoadCase{"OutOfRangeGivesDefaults", "[Main]\nTabSpace=256\nConvert=-1\n", 4, 2, {}},
        LoadCase{"OutOfRangeKindsKept",
                 "[Swap001]\nFrom=a\nType=300\n[Swap002]\nFrom=b\nType=-1\n"
                 "[Swap003]\nFrom=c\nType=256\n",
                 4,
                 2,
                 {StoredSwapEntry(u"a", u"", 300), StoredSwapEntry(u"b", u"", -1),
                  StoredSwapEntry(u"c", u"", 256)}},
        // However many digits: a number is never wrapped into the range.
        LoadCase{"NumbersBeyond32BitsGiveDefaults",
                 "[Main]\nTabSpace=4294967301\nConvert=99999999999\n",
                 4,
                 2,
                 {}},
        LoadCase{"NoNumberGivesTheDefault", "[Main]\nTabSpace=abc\nConvert=-\n", 4, 2, {}}),
    testing_support::CaseName());

struct SaveEncodingCase {
  const char* name;
  const char* file;
  Charset encoding;
};

class SettingsSaveEncodingTest : public SettingsTest,
                                 public testing::WithParamInterface<SaveEncodingCase> {};

TEST_P(SettingsSaveEncodingTest, ReadsTheRememberedEncoding) {
  WriteFile(GetParam().file);
  EXPECT_EQ(Load().saveEncoding, GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsSaveEncodingTest,
    testing::Values(
        SaveEncodingCase{"NoOptions", "[Main]\nTabSpace=3\n", Charset::Cp932},
        SaveEncodingCase{"Utf8", "[Options]\nSaveEncoding=UTF-8\n", Charset::Utf8},
        SaveEncodingCase{"Utf8AnyCase", "[options]\nsaveencoding = utf-8\n", Charset::Utf8},
        SaveEncodingCase{"ShiftJis", "[Options]\nSaveEncoding=Shift_JIS\n", Charset::Cp932},
        SaveEncodingCase{"Unknown", "[Options]\nSaveEncoding=EUC-JP\n", Charset::Cp932},
        SaveEncodingCase{"OtherSection", "[Main]\nSaveEncoding=UTF-8\n", Charset::Cp932}),
    testing_support::CaseName());

TEST_F(SettingsTest, SaveEncodingIsWrittenOnlyWhenChosen) {
  WriteFile("; notes\n[Main]\nTabSpace=8\n");
  AppSettings settings;
  settings.saveEncoding = Charset::Utf8;
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  const std::string saved = FileBytes();
  EXPECT_EQ(saved.find("Options"), std::string::npos);

  ASSERT_TRUE(SaveSettings(settings, file_, SettingsPart::kSaveEncoding).ok());
  EXPECT_EQ(FileBytes(), saved + "[Options]\r\nSaveEncoding=UTF-8\r\n");
  EXPECT_EQ(Load().saveEncoding, Charset::Utf8);

  settings.saveEncoding = Charset::Cp932;
  ASSERT_TRUE(SaveSettings(settings, file_, SettingsPart::kSaveEncoding).ok());
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  EXPECT_EQ(FileBytes(), saved + "[Options]\r\nSaveEncoding=Shift_JIS\r\n");
}

TEST_F(SettingsTest, SavesTheFileInItsKnownForm) {
  AppSettings settings;
  settings.rules.table = Table({{u"ー", u"｜", kCell}});
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  EXPECT_EQ(FileBytes(), Encode(u"[Main]\r\nTabSpace=4\r\nConvert=2\r\n"
                                u"[Swap001]\r\nFrom=ー\r\nTo=\"｜\"\r\nType=0\r\n",
                                Charset::Cp932)
                             .bytes);
}

TEST_F(SettingsTest, RoundTripKeepsEveryField) {
  AppSettings saved;
  saved.rules.tabSpace = 0;
  saved.convertTrigger = ConvertTrigger::kF1Key;
  saved.rules.table =
      Table({{u"ー", u" ", kCell}, {u"a", u"", kWholeText}, {u"b", u"long text", SwapKind{5}}});
  ASSERT_TRUE(SaveSettings(saved, file_).ok());
  const AppSettings loaded = Load();
  EXPECT_EQ(loaded.rules.tabSpace, 0);
  EXPECT_EQ(loaded.convertTrigger, ConvertTrigger::kF1Key);
  EXPECT_EQ(loaded.rules.table, saved.rules.table);
}

TEST_F(SettingsTest, UnknownKindsSurviveASaveByteForByte) {
  const std::string file =
      "[Main]\r\nTabSpace=4\r\nConvert=2\r\n"
      "[Swap001]\r\nFrom=a\r\nTo=\"x\"\r\nType=300\r\n"
      "[Swap002]\r\nFrom=b\r\nTo=\"y\"\r\nType=-2147483648\r\n"
      "[Swap003]\r\nFrom=c\r\nTo=\"z\"\r\nType=2147483647\r\n";
  WriteFile(file);
  ASSERT_TRUE(SaveSettings(Load(), file_).ok());
  EXPECT_EQ(FileBytes(), file);
}

struct HandEditedFromCase {
  const char* name;
  std::string fromLine;  // the From line of [Swap001], as a user typed it
  std::u16string read;   // the From read, and read again after each save
};

void PrintTo(const HandEditedFromCase& c, std::ostream* out) {
  *out << c.name;
}

class SettingsHandEditedFromTest : public SettingsTest,
                                   public testing::WithParamInterface<HandEditedFromCase> {};

// What a From reads as survives the saves, and the file stops changing
// after the first.
TEST_P(SettingsHandEditedFromTest, ReadsTheSameAfterEverySave) {
  const HandEditedFromCase& c = GetParam();
  WriteFile("[Swap001]\r\n" + c.fromLine + "\r\nTo=\"x\"\r\n[Swap002]\r\nFrom=b\r\n");
  const AppSettings first = Load();
  ASSERT_EQ(first.rules.table.Count(), 2u);
  EXPECT_EQ(first.rules.table[0].from, c.read);
  ASSERT_TRUE(SaveSettings(first, file_).ok());
  const std::string saved = FileBytes();
  const AppSettings second = Load();
  EXPECT_EQ(second.rules.table, first.rules.table);
  ASSERT_TRUE(SaveSettings(second, file_).ok());
  EXPECT_EQ(FileBytes(), saved);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SettingsHandEditedFromTest,
    testing::Values(HandEditedFromCase{"Plain", "From=ー", u"ー"},
                    HandEditedFromCase{"QuotesKeepBlanks", "From=\" a \"", u" a "},
                    HandEditedFromCase{"QuotesKeepATab", "From='\ta'", u"\ta"},
                    HandEditedFromCase{"QuotesInsideQuotes", "From=\"\"a\"\"", u"\"a\""},
                    HandEditedFromCase{"UnquotedBlanksTrimmed", "From=  a  ", u"a"},
                    // The read limit cuts inside a run of blanks, which then end the From.
                    HandEditedFromCase{"CutInsideBlanks",
                                       "From=" + std::string(120, 'a') + std::string(20, ' ') + "b",
                                       std::u16string(120, u'a') + std::u16string(7, u' ')}),
    testing_support::CaseName());

// Code page 932 stores 〜 as the code of ～: an entry made with either
// matches both, and is read back as it was made.
TEST_F(SettingsTest, EntriesMatchBothSidesOfAOneWayPairBeforeAndAfterASave) {
  AppSettings settings;
  settings.rules.table = Table({{u"〜", u"｜", kCell}, {u"a−b", u"c", kWholeText}});
  const std::u16string input = u"〜～\r\na−b\r\na－b";
  const std::u16string expected = u"ｃｃ｜\r\n　　｜";
  const auto convert = [&](const SwapTable& table) {
    return std::get<VerticalLayout>(BuildVerticalLayout(input, {4, table, {}})).Text();
  };
  EXPECT_EQ(convert(settings.rules.table), expected);
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  const SwapTable loaded = Load().rules.table;
  EXPECT_EQ(loaded, settings.rules.table);
  EXPECT_EQ(convert(loaded), expected);
}

struct ExactTextCase {
  const char* name;
  std::string entry;  // the lines of [Swap001], UTF-8, stored as code page 932
  SwapEntry read;
  std::string saved = {};  // the lines after a save of what was read; empty: `entry`
};

// `n` times `text`.
std::string Repeated(std::string_view text, int n) {
  std::string repeated;
  for (int i = 0; i < n; ++i) repeated += text;
  return repeated;
}

class SettingsExactTextTest : public SettingsTest,
                              public testing::WithParamInterface<ExactTextCase> {};

// Any character survives a save, and the file stays one that earlier
// versions read as before.
TEST_P(SettingsExactTextTest, ReadSavedAndReadAgain) {
  const ExactTextCase& c = GetParam();
  const std::string main = "[Main]\r\nTabSpace=4\r\nConvert=2\r\n[Swap001]\r\n";
  WriteFile(main + c.entry);
  const AppSettings first = Load();
  EXPECT_EQ(first.rules.table, Table({c.read}));
  ASSERT_TRUE(SaveSettings(first, file_).ok());
  const std::string saved = main + (c.saved.empty() ? c.entry : c.saved);
  EXPECT_EQ(FileBytes(), Encode(Decode(saved, Charset::Utf8), Charset::Cp932).bytes);
  EXPECT_EQ(Load().rules.table, first.rules.table);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SettingsExactTextTest,
    testing::Values(
        ExactTextCase{
            "HeldByCodePage932", "From=、\r\nTo=\"｜\"\r\nType=0\r\n", {u"、", u"｜", kCell}},
        ExactTextCase{"NotHeldIsKeptBesideIt",
                      "From=?\r\nFromU=\"\\u2013\"\r\nTo=\"a?\"\r\nToU=\"a\\uFE32\"\r\nType=1\r\n",
                      {u"–", u"a︲", kWholeText}},
        ExactTextCase{"HandEditedPlainKeyWins",
                      "From=、\r\nTo=\"x\"\r\nToU=\"\\uFE11\"\r\nType=0\r\n",
                      {u"、", u"x", kCell},
                      "From=、\r\nTo=\"x\"\r\nType=0\r\n"},
        ExactTextCase{"OldFileKeepsItsQuestionMark",
                      "From=、\r\nTo=\"?\"\r\nType=0\r\n",
                      {u"、", u"?", kCell}},
        ExactTextCase{"BrokenEscapeGivesThePlainKey",
                      "From=、\r\nTo=\"?\"\r\nToU=\"\\uFE1\"\r\nType=0\r\n",
                      {u"、", u"?", kCell},
                      "From=、\r\nTo=\"?\"\r\nType=0\r\n"},
        // Far longer than the 127 bytes a plain value is read to.
        ExactTextCase{"LongTextKeptWhole",
                      "From=a\r\nTo=\"" + Repeated("?", 40) + "\"\r\nToU=\"" +
                          Repeated("\\uD83D\\uDE00", 40) + "\"\r\nType=1\r\n",
                      {u"a", Decode(Repeated("😀", 40), Charset::Utf8), kWholeText}}),
    testing_support::CaseName());

struct LineBreakCase {
  const char* name;
  SwapEntry broken;  // saved as the second entry
  const char* where;
};

class SettingsLineBreakTest : public SettingsTest,
                              public testing::WithParamInterface<LineBreakCase> {};

TEST_P(SettingsLineBreakTest, RefusedNamingTheEntryAndTheFileKept) {
  const LineBreakCase& c = GetParam();
  AppSettings settings;
  settings.rules.table =
      Table({{u"a", u"1", kCell}, {u"b", u"2", kCell}, {u"c", u"3", kWholeText}});
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  const std::string before = FileBytes();

  settings.rules.table[1] = c.broken;
  const IoStatus failed = SaveSettings(settings, file_);
  ASSERT_TRUE(failed.failed());
  EXPECT_EQ(failed.error().path, file_ + c.where);
  EXPECT_EQ(failed.error().code, std::errc::invalid_argument);
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(Load().rules.table.Count(), 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SettingsLineBreakTest,
    testing::Values(LineBreakCase{"LfInFrom", {u"\n", u"x", kCell}, " [Swap002] From"},
                    LineBreakCase{"CrInFrom", {u"b\r", u"x", kCell}, " [Swap002] From"},
                    LineBreakCase{"LfInTo", {u"b", u"x\ny", kWholeText}, " [Swap002] To"},
                    LineBreakCase{"CrLfInTo", {u"b", u"\r\n", kCell}, " [Swap002] To"}),
    testing_support::CaseName());

TEST_F(SettingsTest, ShrunkTableLeavesNoOldEntriesBehind) {
  AppSettings settings;
  settings.rules.table = Table({{u"a", u"1", kCell}, {u"b", u"2", kCell}, {u"c", u"3", kCell}});
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  settings.rules.table.Remove(0);
  settings.rules.table.Remove(0);
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  EXPECT_EQ(Load().rules.table, Table({{u"c", u"3", kCell}}));
  EXPECT_EQ(FileBytes().find("Swap002"), std::string::npos);
}

// Sections the reader never reached, after a gap or an empty From, are
// nobody's entries: they stay as they are whatever the table does, and the
// table still reads back as it was saved.
struct UnreadSectionsCase {
  const char* name;
  const char* file;
  std::vector<const char*> unread;  // the sections never read, as the file holds them
};

class SettingsUnreadSectionsTest : public SettingsTest,
                                   public testing::WithParamInterface<UnreadSectionsCase> {};

TEST_P(SettingsUnreadSectionsTest, StayWhileTheTableGrowsAndShrinks) {
  WriteFile(GetParam().file);
  AppSettings settings = Load();
  const std::size_t read = settings.rules.table.Count();
  for (const std::size_t entries : {read, read + 4, std::size_t{1}, std::size_t{0}, read + 1}) {
    while (settings.rules.table.Count() > entries) settings.rules.table.Remove(entries);
    while (settings.rules.table.Count() < entries) {
      settings.rules.table.Append(
          {std::u16string(1, u'k' + settings.rules.table.Count()), u"", kCell});
    }
    ASSERT_TRUE(SaveSettings(settings, file_).ok());
    EXPECT_EQ(Load().rules.table, settings.rules.table) << entries << " entries";
    for (const char* section : GetParam().unread) {
      EXPECT_NE(FileBytes().find(section), std::string::npos) << entries << " entries:\n"
                                                              << FileBytes();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsUnreadSectionsTest,
    testing::Values(
        UnreadSectionsCase{"AfterAGap",
                           "[Swap001]\r\nFrom=a\r\n[Swap003]\r\nFrom=c\r\n[Swap004]\r\nFrom=d\r\n",
                           {"[Swap003]\r\nFrom=c\r\n", "[Swap004]\r\nFrom=d\r\n"}},
        UnreadSectionsCase{"AfterAnEmptyFrom",
                           "[Swap001]\r\nFrom=a\r\n[Swap002]\r\nFrom=\r\n[Swap003]\r\nFrom=c\r\n",
                           {"[Swap003]\r\nFrom=c\r\n"}},
        UnreadSectionsCase{"WithoutAnyEntry",
                           "[Swap002]\nFrom=b\n[swap003]\nFrom=c\n",
                           {"[Swap002]\nFrom=b\n", "[swap003]\nFrom=c\n"}},
        UnreadSectionsCase{"ASecondSectionOfAName",
                           "[Swap001]\r\nFrom=a\r\n[Swap002]\r\nFrom=b\r\n[Swap002]\r\nFrom=z\r\n",
                           {"[Swap002]\r\nFrom=z\r\n"}},
        UnreadSectionsCase{
            "FarBeyond",
            "[Swap001]\nFrom=a\n[Swap006]\nFrom=f\n[SWAP999]\nFrom=z\n[Swap000]\nk=0\n"
            "[Swap1000]\nk=1\n",
            {"[Swap006]\nFrom=f\n", "[SWAP999]\nFrom=z\n[Swap000]\nk=0\n[Swap1000]\nk=1\n"}}),
    testing_support::CaseName());

// Where the table grows up to a section it never read, one with an empty
// From goes in front of that section to end the table.
TEST_F(SettingsTest, TableEndsInFrontOfASectionItNeverRead) {
  WriteFile("[Swap001]\r\nFrom=a\r\n[Swap002]\r\nFrom=\r\n[Swap003]\r\nFrom=c\r\n");
  AppSettings settings = Load();
  settings.rules.table.Append({u"b", u"", kCell});
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  EXPECT_EQ(FileBytes(),
            "[Swap001]\r\nFrom=a\r\nTo=\"\"\r\nType=0\r\n"
            "[Swap002]\r\nFrom=b\r\nTo=\"\"\r\nType=0\r\n"
            "[Swap003]\r\nFrom=\r\n[Swap003]\r\nFrom=c\r\n"
            "[Main]\r\nTabSpace=4\r\nConvert=2\r\n");
}

// --- Importing: what is taken for a settings file --------------------------

TEST(SettingsFileRefusalTest, TakesTheProgramsSectionsAndRefusesOtherFilesWithTheReason) {
  struct Case {
    std::string_view bytes;
    const char16_t* reason;  // a part of the reason, or null when taken
  };
  using namespace std::string_view_literals;
  constexpr const char16_t* kNoSection = u"設定の節がありません";
  constexpr const char16_t* kNotText = u"テキストでないファイルか、UTF-16";
  for (const Case& c : {
           Case{"", nullptr},
           Case{" \r\n\t\r\n", nullptr},
           Case{"\xEF\xBB\xBF\r\n", nullptr},
           Case{"[Main]\r\nTabSpace=2\r\n", nullptr},
           Case{"\xEF\xBB\xBF[Main]\r\n", nullptr},
           Case{"; only a comment\r\n[ swap001 ]\r\nFrom=a\r\n", nullptr},
           Case{"[Other]\r\nKey=1\r\n[LAYOUT]\r\n", nullptr},
           Case{"[Options]\r\nSaveEncoding=UTF-8\r\n", nullptr},
           Case{"[Page]\r\n", nullptr},
           // A settings file with a NUL byte in a value is still one.
           Case{"[Main]\r\nTabSpace=2\0\r\n"sv, nullptr},
           Case{"<svg xmlns=\"http://www.w3.org/2000/svg\">\n<rect/>\n</svg>\n", kNoSection},
           Case{"メモ\r\n[見出し]\r\n", kNoSection},
           Case{"[Swap]\r\n[Swap01]\r\n[Swap0001]\r\n[Swapxyz]\r\n[Mainx]\r\n", kNoSection},
           Case{"; [Main]\r\nTabSpace=2\r\n", kNoSection},
           Case{R"({"Main": {"TabSpace": 2}})", kNoSection},
           Case{"\x89PNG\r\n\x1a\n\0\0\0\rIHDR"sv, kNotText},
           Case{"\xFF\xFE[\0M\0a\0i\0n\0]\0"sv, kNotText},
       }) {
    const std::optional<std::u16string> refusal = SettingsFileRefusal(c.bytes);
    ASSERT_EQ(refusal.has_value(), c.reason != nullptr) << c.bytes;
    if (c.reason != nullptr) {
      EXPECT_NE(refusal->find(c.reason), std::u16string::npos) << c.bytes;
    }
  }
}

// --- Hostile files: loaded, saved by OK unchanged, and loaded again ---------

using testing_support::HostileSettingsFile;

class SettingsHostileFileTest : public testing::TestWithParam<HostileSettingsFile> {};

// Every hostile file is a settings file, however odd, but those where the
// reader finds none of the program's sections.
TEST_P(SettingsHostileFileTest, IsRefusedForImportOnlyWithoutTheProgramsSections) {
  const std::vector<std::string_view> refused = {"binary-garbage", "utf16-text", "utf8-mark-twice"};
  const bool isRefused =
      std::find(refused.begin(), refused.end(), GetParam().name) != refused.end();
  EXPECT_EQ(SettingsFileRefusal(GetParam().bytes).has_value(), isRefused);
}

TEST_P(SettingsHostileFileTest, OkChangesNoValueAndLosesNoSection) {
  const std::string& original = GetParam().bytes;
  AppSettings loaded;
  ReadSettings(loaded, ProfileFile::FromBytes("Setting.ini", original));
  ProfileFile profile = ProfileFile::FromBytes("Setting.ini", original);
  if (WriteSettings(loaded, profile).failed()) {
    // Refused (a line break in an exact text): the file stays as it was.
    EXPECT_TRUE(profile.Bytes() == original);
    return;
  }
  const std::string saved = profile.Bytes();
  AppSettings reloaded;
  ReadSettings(reloaded, ProfileFile::FromBytes("Setting.ini", saved));
  testing_support::ExpectSameDialogSettings(loaded, reloaded);
  EXPECT_EQ(testing_support::LostSections(original, saved, loaded.rules.table.Count()),
            std::vector<std::string>{});
  // A second OK changes nothing more.
  ProfileFile again = ProfileFile::FromBytes("Setting.ini", saved);
  ASSERT_TRUE(WriteSettings(reloaded, again).ok());
  EXPECT_TRUE(again.Bytes() == saved);
  std::cout << "[          ] " << GetParam().name << ": " << loaded.rules.table.Count()
            << " entries, " << testing_support::MarkedEntries(loaded.rules.table) << " marked, "
            << (saved == original ? "file unchanged" : "file rewritten") << "\n";
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsHostileFileTest,
                         testing::ValuesIn(testing_support::HostileSettingsFiles()),
                         testing_support::HostileSettingsName());

// What the files of the issue give, and that an OK without a change leaves
// each of them byte for byte.
struct IssueFileCase {
  const char* name;
  std::function<void(const AppSettings&)> check;
};

class SettingsIssueFileTest : public testing::TestWithParam<IssueFileCase> {};

TEST_P(SettingsIssueFileTest, ReadsAsExpectedAndOkLeavesTheBytes) {
  const auto files = testing_support::HostileSettingsFiles();
  const auto file = std::find_if(files.begin(), files.end(),
                                 [](const auto& f) { return f.name == GetParam().name; });
  ASSERT_NE(file, files.end());
  AppSettings loaded;
  ReadSettings(loaded, ProfileFile::FromBytes("Setting.ini", file->bytes));
  GetParam().check(loaded);
  ProfileFile profile = ProfileFile::FromBytes("Setting.ini", file->bytes);
  ASSERT_TRUE(WriteSettings(loaded, profile).ok());
  EXPECT_TRUE(profile.Bytes() == file->bytes) << profile.Bytes();
}

INSTANTIATE_TEST_SUITE_P(
    , SettingsIssueFileTest,
    testing::Values(
        IssueFileCase{"issue-long-to-digits",
                      [](const AppSettings& s) {
                        std::u16string digits;
                        for (int i = 0; i < 20; ++i) digits += u"0123456789";
                        ASSERT_EQ(s.rules.table.Count(), 1u);
                        EXPECT_EQ(s.rules.table[0].to, digits.substr(0, 127));
                        EXPECT_EQ(s.rules.table[0].kept.to, digits);
                        EXPECT_EQ(s.rules.table[0].kind, kWholeText);
                      }},
        IssueFileCase{"issue-long-to-kanji",
                      [](const AppSettings& s) {
                        ASSERT_EQ(s.rules.table.Count(), 1u);
                        // 63 characters of two bytes: the 64th would pass 127.
                        EXPECT_EQ(s.rules.table[0].to.size(), 63u);
                        EXPECT_EQ(s.rules.table[0].kept.to->size(), 100u);
                      }},
        IssueFileCase{"issue-gap",
                      [](const AppSettings& s) { EXPECT_EQ(s.rules.table.Count(), 1u); }},
        IssueFileCase{"issue-empty-from",
                      [](const AppSettings& s) { EXPECT_EQ(s.rules.table.Count(), 1u); }},
        IssueFileCase{"issue-wrapping-numbers",
                      [](const AppSettings& s) {
                        EXPECT_EQ(s.rules.tabSpace, kDefaultTabSpace);
                        EXPECT_EQ(s.rules.columns, LayoutSettings{});
                        ASSERT_EQ(s.rules.table.Count(), 1u);
                        EXPECT_EQ(s.rules.table[0].kind, kCell);
                        EXPECT_EQ(s.rules.table[0].kept.type, u"4294967296");
                      }},
        IssueFileCase{"issue-negative-column-length",
                      [](const AppSettings& s) { EXPECT_EQ(s.rules.columns.columnLength, 0u); }},
        IssueFileCase{"issue-huge-numbers",
                      [](const AppSettings& s) {
                        EXPECT_EQ(s.rules.tabSpace, kDefaultTabSpace);
                        EXPECT_EQ(s.convertTrigger, kDefaultConvertTrigger);
                        EXPECT_EQ(s.rules.columns.columnLength, 0u);
                      }},
        IssueFileCase{"issue-utf8-mark",
                      [](const AppSettings& s) {
                        EXPECT_EQ(s.rules.tabSpace, 3);
                        EXPECT_EQ(s.rules.table, Table({{u"ー", u"｜", kCell}}));
                      }}),
    [](const testing::TestParamInfo<IssueFileCase>& info) {
      return testing_support::HostileSettingsName()(
          testing::TestParamInfo<HostileSettingsFile>({info.param.name, ""}, info.index));
    });

TEST_F(SettingsTest, KeepsLinesItDoesNotOwn) {
  WriteFile("; my notes\n[Main]\nTabSpace=8\nExtra=yes\n[Other]\nk=v\n");
  AppSettings settings;
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  const std::string bytes = FileBytes();
  EXPECT_NE(bytes.find("; my notes\n"), std::string::npos);
  EXPECT_NE(bytes.find("TabSpace=4"), std::string::npos);
  EXPECT_NE(bytes.find("Extra=yes\n"), std::string::npos);
  EXPECT_NE(bytes.find("[Other]\nk=v\n"), std::string::npos);
}

TEST_F(SettingsTest, TableHoldsAtMost999EntriesAndAllSurviveASave) {
  AppSettings settings;
  for (int n = 1; n <= 999; ++n) {
    ASSERT_TRUE(settings.rules.table.Append(
        {u"x", std::u16string(u"#") + char16_t(u'0' + n % 10), kWholeText}));
  }
  EXPECT_TRUE(settings.rules.table.Full());
  EXPECT_FALSE(settings.rules.table.Append({u"y", u"z", kCell}));
  ASSERT_TRUE(SaveSettings(settings, file_).ok());
  EXPECT_NE(FileBytes().find("[Swap999]"), std::string::npos);
  EXPECT_EQ(FileBytes().find("[Swap000]"), std::string::npos);
  EXPECT_EQ(Load().rules.table, settings.rules.table);
}

TEST_F(SettingsTest, SectionNames) {
  EXPECT_EQ(SwapSectionName(0), u"Swap001");
  EXPECT_EQ(SwapSectionName(41), u"Swap042");
  EXPECT_EQ(SwapSectionName(998), u"Swap999");
}

TEST_F(SettingsTest, FailedSaveIsReportedAndKeepsTheOldFile) {
  WriteFile("[Main]\nTabSpace=8\n");
  ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
  AppSettings settings;
  const IoStatus failed = SaveSettings(settings, file_);
  ASSERT_TRUE(failed.failed());
  EXPECT_EQ(failed.error().path, file_);
  EXPECT_EQ(FileBytes(), "[Main]\nTabSpace=8\n");
}

TEST_F(SettingsTest, SaveIntoAFolderThatCannotBeMadeIsReported) {
  WriteFile("");
  AppSettings settings;
  EXPECT_TRUE(SaveSettings(settings, file_ + "/sub/Setting.ini").failed());
}

TEST_F(SettingsTest, SaveMakesAMissingFolder) {
  AppSettings settings;
  const std::string nested = folder_.PathOf("config/mirotabe/Setting.ini");
  ASSERT_TRUE(SaveSettings(settings, nested).ok());
  EXPECT_TRUE(fs::exists(nested));
}

TEST_F(SettingsTest, UnreadableFileIsReportedWithDefaults) {
  fs::create_directory(file_);  // a folder where the file should be
  AppSettings settings;
  settings.rules.tabSpace = 7;
  EXPECT_TRUE(LoadSettings(settings, file_).failed());
  EXPECT_EQ(settings.rules.tabSpace, 4);
}

}  // namespace
}  // namespace mirotabe
