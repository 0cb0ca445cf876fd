// The Windows window driven through its messages in the test's own
// process, as a user would: typing and pasting, the trigger keys, opening
// and dropping files, saving, the settings dialog, closing and starting
// again. What the output pane shows is read as a screen reader reads it,
// and held to the engine's layout of what the input pane holds.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <oleacc.h>
// clang-format on

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <variant>

#include "core/page_setup.h"
#include "core/recent_files.h"
#include "core/settings.h"
#include "core/vertical_layout.h"
#include "core/vertical_presets.h"
#include "core/window_words.h"
#include "ebook/epub_book.h"
#include "platform/windows_text.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32_messages.h"
#include "textio/encoding_names.h"
#include "textio/file_types.h"
#include "textio/text_file.h"
#include "textio/undecodable_warning.h"
#include "win32/commands.h"
#include "win32/main_window.h"
#include "win32/output_pane.h"
#include "win32/resource_ids.h"
#include "win32/window_text.h"

namespace mirotabe::win32 {
namespace {

using testing_support::DropFiles;
using testing_support::ReadFile;
using testing_support::ReleaseKey;
using testing_support::StatusPartOf;
using testing_support::TempFolder;
using testing_support::TextOf;
using testing_support::TypeInto;
using testing_support::WriteFile;

std::u16string LayoutOf(std::u16string_view text, const LayoutRules& rules) {
  LayoutResult result = BuildVerticalLayout(text, rules);
  return std::get<VerticalLayout>(result).Text();
}

// The path the open and save dialogs answer with, and whether the
// pictures' dialog had the PDF type selected.
std::string answeredPath;
bool answeredPdf = false;
// The encoding the save dialog of text answers with (none: the one it
// offered), and the one it last offered.
std::optional<Charset> answeredCharset;
Charset offeredCharset = Charset::Cp932;

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    settings_.appFolder = folder_.PathOf("") + "\\";
    Open();
  }
  void TearDown() override { Close(); }

  void Open() {
    window_ = MainWindow::Create(GetModuleHandleW(nullptr), settings_, folder_.PathOf("kept.draft"),
                                 folder_.PathOf("recent.txt"));
    ASSERT_NE(window_, nullptr);
    window_->SetAsking({[](HWND) { return answeredPath; },
                        [](HWND, SavedText, Charset offered) {
                          offeredCharset = offered;
                          return TextChoice{answeredPath, answeredCharset.value_or(offered)};
                        },
                        [](HWND, const std::u16string&) { return true; },
                        [](HWND, const std::u16string& message) { told.push_back(message); },
                        [](HWND) {
                          return win32::PictureChoice{answeredPath, answeredPdf};
                        },
                        [](HWND) { return answeredPath; }});
  }
  void Close() {
    if (window_ != nullptr) SendMessageW(window_->window(), WM_CLOSE, 0, 0);
    window_ = nullptr;
    // The window ends the program's message loop as it goes; here the next
    // window's modal loops would end at once.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  void Command(win32::Command command) {
    SendMessageW(window_->window(), WM_COMMAND, static_cast<WPARAM>(command), 0);
  }
  HWND Status() const {
    return GetDlgItem(window_->window(), static_cast<int>(ControlId::kStatus));
  }
  std::u16string Output() const { return TextOf(window_->output().window()); }
  std::u16string Input() const { return TextOf(window_->input()); }

  static inline std::vector<std::u16string> told;
  TempFolder folder_;
  AppSettings settings_;
  MainWindow* window_ = nullptr;
};

// --- The triggers ------------------------------------------------------------

struct TriggerCase {
  const char* name;
  ConvertTrigger trigger;
  std::u16string_view typed;
  WPARAM released;  // 0 for no key
  bool converts;
};

class WindowTriggerTest : public WindowTest, public testing::WithParamInterface<TriggerCase> {};

TEST_P(WindowTriggerTest, ConvertsWhenTheTriggerSays) {
  const TriggerCase& c = GetParam();
  settings_.convertTrigger = c.trigger;
  TypeInto(window_->input(), c.typed);
  if (c.released != 0) ReleaseKey(window_->input(), c.released);
  if (c.converts) {
    EXPECT_EQ(Output(), LayoutOf(Input(), settings_.rules));
    EXPECT_EQ(StatusPartOf(Status(), static_cast<int>(StatusPart::kStale)), u"");
  } else {
    EXPECT_EQ(Output(), u"");
    EXPECT_EQ(StatusPartOf(Status(), static_cast<int>(StatusPart::kStale)), StaleText(c.trigger));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Triggers, WindowTriggerTest,
    testing::Values(TriggerCase{"EveryChange", ConvertTrigger::kEveryChange, u"あいう", 0, true},
                    TriggerCase{"EnterWaits", ConvertTrigger::kEnterKey, u"あいう", 0, false},
                    TriggerCase{"EnterReleased", ConvertTrigger::kEnterKey, u"あい\rう", VK_RETURN,
                                true},
                    TriggerCase{"F1NotEnter", ConvertTrigger::kEnterKey, u"あい", VK_F1, false},
                    TriggerCase{"F1Released", ConvertTrigger::kF1Key, u"あい", VK_F1, true},
                    TriggerCase{"EnterNotF1", ConvertTrigger::kF1Key, u"あ\rい", VK_RETURN, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- What the output pane gives to readers -----------------------------------

struct PastedCase {
  const char* name;
  std::u16string_view pasted;
  std::uint8_t tabSpace;
  std::optional<SwapEntry> entry;
};

class WindowPasteTest : public WindowTest, public testing::WithParamInterface<PastedCase> {};

TEST_P(WindowPasteTest, OutputPaneReadsAsTheLayoutSaved) {
  const PastedCase& c = GetParam();
  settings_.rules.tabSpace = c.tabSpace;
  if (c.entry) {
    ASSERT_TRUE(settings_.rules.table.Append(*c.entry));
  }
  ASSERT_TRUE(OpenClipboard(window_->window()));
  EmptyClipboard();
  const std::wstring units(c.pasted.begin(), c.pasted.end());
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (units.size() + 1) * sizeof(wchar_t));
  std::copy_n(units.c_str(), units.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  Command(Command::kPaste);
  EXPECT_EQ(Input(), c.pasted);
  EXPECT_EQ(Output(), LayoutOf(c.pasted, settings_.rules));
  EXPECT_NE(Output().find(u"\r\n"), std::u16string::npos) << "rows are joined by CR LF";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WindowPasteTest,
    testing::Values(PastedCase{"Lines", u"吾輩は猫である。\r\n名前はまだ無い。", 4, {}},
                    PastedCase{"Tabs", u"a\tb\r\n\tc", 2, {}},
                    PastedCase{"Kinsoku", u"「あいうえお」、かきくけこ。\r\nー～", 4, {}},
                    PastedCase{"CellEntry", u"ラーメン\r\nです", 4,
                               SwapEntry{u"ー", u"｜", SwapKind::kCell}},
                    PastedCase{"WholeTextEntry", u"今日は\r\n晴れ", 4,
                               SwapEntry{u"今日", u"本日", SwapKind::kWholeText}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Files in ------------------------------------------------------------------

struct OpenCase {
  const char* name;
  std::string_view bytes;
  std::u16string_view text;
  std::optional<TextEncoding> undecodable;  // the encoding the status bar names
};

class WindowOpenTest : public WindowTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(WindowOpenTest, OpensDropsAndStartsWithAFile) {
  const OpenCase& c = GetParam();
  const std::string path = folder_.PathOf("input.txt");
  WriteFile(path, c.bytes);
  const auto check = [&](const char* how) {
    SCOPED_TRACE(how);
    EXPECT_EQ(Input(), c.text);
    EXPECT_EQ(Output(), LayoutOf(c.text, settings_.rules));
    EXPECT_EQ(TextOf(window_->window()), WindowTitle(u"input.txt", false));
    const std::u16string report = StatusPartOf(Status(), static_cast<int>(StatusPart::kReport));
    if (c.undecodable) {
      const DetectedText read = DecodeDetectedTextFile(c.bytes);
      EXPECT_EQ(report, UndecodableStatusLine(u"input.txt", read.undecodable, *c.undecodable));
    } else {
      EXPECT_EQ(report, u"");
    }
  };
  answeredPath = path;
  Command(Command::kOpen);
  check("open");
  Close();
  Open();
  DropFiles(window_->window(), {WideOf(path), WideOf(folder_.PathOf("other.txt"))});
  check("drop");
  Close();
  Open();
  window_->LoadStartupFile({path});
  check("command line");
}

INSTANTIATE_TEST_SUITE_P(
    Files, WindowOpenTest,
    testing::Values(OpenCase{"Utf8", "一行目\n二行目\n", u"一行目\r\n二行目", std::nullopt},
                    OpenCase{"Cp932", "\x82\xa0\x82\xa2\r\n\x82\xa4", u"あい\r\nう", std::nullopt},
                    OpenCase{"DamagedUtf8", "あい\xff\xfeう\nえお\n", u"あい\uFFFD\uFFFDう\r\nえお",
                             TextEncoding::Utf8}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReopenCase {
  const char* name;
  std::string_view bytes;
  TextEncoding chosen;
};

class WindowReopenTest : public WindowTest, public testing::WithParamInterface<ReopenCase> {
 protected:
  // Opens the menu that holds `place` and then the submenu, as a click does.
  UINT StateOf(const SubmenuPlace& place, UINT item, UINT by) {
    SendMessageW(window_->window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(place.parent), 0);
    SendMessageW(window_->window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(place.menu), 0);
    return GetMenuState(by == MF_BYPOSITION ? place.parent : place.menu, item, by);
  }
};

TEST_P(WindowReopenTest, ReadsTheFileAgainInTheEncodingChosen) {
  const ReopenCase& c = GetParam();
  const SubmenuPlace reopen = FindSubmenu(GetMenu(window_->window()), Submenu::kReopen);
  ASSERT_NE(reopen.menu, nullptr);
  EXPECT_TRUE(StateOf(reopen, reopen.position, MF_BYPOSITION) & MF_GRAYED) << "no file yet";
  const std::string path = folder_.PathOf("input.txt");
  WriteFile(path, c.bytes);
  window_->LoadInput(path);
  TypeInto(window_->input(), u"足す");
  Command(ReopenCommand(c.chosen));
  const DetectedText read = DecodeTextFileIn(c.bytes, c.chosen);
  EXPECT_EQ(Input(), read.text);
  EXPECT_EQ(Output(), LayoutOf(read.text, settings_.rules));
  EXPECT_EQ(TextOf(window_->window()), WindowTitle(u"input.txt", false));
  const std::string_view name = EncodingName(c.chosen);
  EXPECT_EQ(StatusPartOf(Status(), static_cast<int>(StatusPart::kEncoding)),
            EncodingShownText(std::u16string(name.begin(), name.end()), false));
  EXPECT_FALSE(StateOf(reopen, reopen.position, MF_BYPOSITION) & MF_GRAYED);
  for (const OfferedEncoding& offered : kReopenEncodings) {
    EXPECT_EQ((StateOf(reopen, static_cast<UINT>(ReopenCommand(offered.encoding)), MF_BYCOMMAND) &
               MF_CHECKED) != 0,
              offered.encoding == c.chosen)
        << EncodingName(offered.encoding);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, WindowReopenTest,
    testing::Values(ReopenCase{"Utf8AsShiftJis", "あい\nう", TextEncoding::Cp932},
                    ReopenCase{"ShiftJisAsUtf8", "\x82\xa0\x82\xa2\r\n\x82\xa4",
                               TextEncoding::Utf8},
                    ReopenCase{"EucJp", "\xa4\xa2\xa4\xa4\n\xa4\xa6", TextEncoding::EucJp},
                    ReopenCase{"Utf16Be", std::string_view("\x30\x42\x00\x0a\x30\x44", 6),
                               TextEncoding::Utf16Be}),
    [](const auto& info) { return std::string(info.param.name); });

// What is done to the recent files' list, in order.
enum class RecentStep {
  kOpenA,
  kOpenB,
  kSaveInputC,  // the input saved as c.txt
  kRestart,     // the window closed and another started
  kRemoveA,     // a.txt deleted behind the window's back
  kChooseSecond,
  kClear,
};

struct RecentCase {
  const char* name;
  std::vector<RecentStep> steps;
  // The files the submenu lists then, newest first.
  std::vector<const char*> listed;
};

class WindowRecentTest : public WindowTest, public testing::WithParamInterface<RecentCase> {
 protected:
  // The submenu's captions, filled as a click on ファイル and on it fills it.
  std::vector<std::u16string> Listed() {
    const SubmenuPlace recent = FindSubmenu(GetMenu(window_->window()), Submenu::kRecent);
    SendMessageW(window_->window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(recent.menu), 0);
    std::vector<std::u16string> captions;
    for (int i = 0; i < GetMenuItemCount(recent.menu); ++i) {
      std::wstring caption(MAX_PATH, L'\0');
      caption.resize(static_cast<std::size_t>(GetMenuStringW(
          recent.menu, static_cast<UINT>(i), caption.data(), MAX_PATH, MF_BYPOSITION)));
      captions.emplace_back(caption.begin(), caption.end());
    }
    return captions;
  }
};

TEST_P(WindowRecentTest, ListsTheFilesLastOpenedOrSavedNewestFirst) {
  const RecentCase& c = GetParam();
  WriteFile(folder_.PathOf("a.txt"), "あ");
  WriteFile(folder_.PathOf("b.txt"), "い");
  for (const RecentStep step : c.steps) {
    switch (step) {
      case RecentStep::kOpenA:
      case RecentStep::kOpenB:
        answeredPath = folder_.PathOf(step == RecentStep::kOpenA ? "a.txt" : "b.txt");
        Command(Command::kOpen);
        break;
      case RecentStep::kSaveInputC:
        answeredPath = folder_.PathOf("c.txt");
        Command(Command::kSaveInput);
        break;
      case RecentStep::kRestart:
        Close();
        Open();
        break;
      case RecentStep::kRemoveA:
        std::filesystem::remove(WideOf(folder_.PathOf("a.txt")));
        break;
      case RecentStep::kChooseSecond:
        Listed();
        Command(RecentCommand(1));
        break;
      case RecentStep::kClear:
        Listed();
        Command(Command::kClearRecent);
        break;
    }
  }
  std::vector<std::u16string> expected;
  for (std::size_t i = 0; i < c.listed.size(); ++i) {
    expected.push_back(RecentFileCaption(i + 1, win32::Utf16(WideOf(folder_.PathOf(c.listed[i])))));
  }
  if (expected.empty()) {
    expected.emplace_back(kNoRecentFilesCaption);
  } else {
    expected.emplace_back();  // the separator
    expected.emplace_back(kClearRecentCaption);
  }
  EXPECT_EQ(Listed(), expected);
}

using enum RecentStep;
INSTANTIATE_TEST_SUITE_P(
    Steps, WindowRecentTest,
    testing::Values(RecentCase{"None", {}, {}},
                    RecentCase{"NewestFirst", {kOpenA, kOpenB}, {"b.txt", "a.txt"}},
                    RecentCase{"OpenedAgainMovesUp", {kOpenA, kOpenB, kOpenA}, {"a.txt", "b.txt"}},
                    RecentCase{"SavedInput", {kOpenA, kSaveInputC}, {"c.txt", "a.txt"}},
                    RecentCase{
                        "KeptForTheNextWindow", {kOpenA, kRestart, kOpenB}, {"b.txt", "a.txt"}},
                    RecentCase{"ChosenOpens", {kOpenA, kOpenB, kChooseSecond}, {"a.txt", "b.txt"}},
                    RecentCase{"GoneLeaves", {kOpenA, kOpenB, kRemoveA, kChooseSecond}, {"b.txt"}},
                    RecentCase{"Cleared", {kOpenA, kClear}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FollowCase {
  const char* name;
  int line;             // of 100 short lines, each one column
  int unitsIntoLine;    // where on it the caret is put
  bool backFromTheEnd;  // the caret at the text's end first
};

class WindowFollowTest : public WindowTest, public testing::WithParamInterface<FollowCase> {};

TEST_P(WindowFollowTest, TheOutputPaneScrollsToTheCaretsColumn) {
  const FollowCase& c = GetParam();
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += "あいう\n";
  WriteFile(folder_.PathOf("long.txt"), lines);
  window_->LoadInput(folder_.PathOf("long.txt"));
  OutputPane& pane = window_->output();
  ASSERT_LT(pane.FitColumns(), 100) << "the pane shows every column";
  EXPECT_EQ(pane.firstColumn(), 0) << "a text just read is shown from its start";
  if (c.backFromTheEnd) SendMessageW(window_->input(), EM_SETSEL, lines.size(), lines.size());
  const auto at = static_cast<WPARAM>(SendMessageW(window_->input(), EM_LINEINDEX, c.line, 0)) +
                  static_cast<WPARAM>(c.unitsIntoLine);
  SendMessageW(window_->input(), EM_SETSEL, at, at);
  // Line n stands in the nth column from the right.
  EXPECT_LE(pane.firstColumn(), c.line);
  EXPECT_LT(c.line, pane.firstColumn() + pane.FitColumns());
  EXPECT_EQ(pane.firstRow(), 0);
}

INSTANTIATE_TEST_SUITE_P(Carets, WindowFollowTest,
                         testing::Values(FollowCase{"Start", 0, 0, true},
                                         FollowCase{"Middle", 50, 2, false},
                                         FollowCase{"Last", 99, 3, false},
                                         FollowCase{"BackToMiddle", 40, 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, AFileThatCannotBeReadLeavesTheInputAndSaysWhy) {
  TypeInto(window_->input(), u"そのまま");
  told.clear();
  answeredPath = folder_.PathOf("nothere.txt");
  Command(Command::kOpen);
  EXPECT_EQ(Input(), u"そのまま");
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].rfind(u"ファイルを開けませんでした。", 0), 0u);
}

// --- Files out -----------------------------------------------------------------

struct SaveCase {
  const char* name;
  std::string chosen;
  std::string saved;
};

class WindowSaveTest : public WindowTest, public testing::WithParamInterface<SaveCase> {};

TEST_P(WindowSaveTest, SavesTheOutputAsShownUnderATextName) {
  const SaveCase& c = GetParam();
  TypeInto(window_->input(), u"縦書き\rです");
  answeredPath = folder_.PathOf(c.chosen);
  Command(Command::kSaveOutput);
  EXPECT_EQ(ReadFile(folder_.PathOf(c.saved)), EncodeTextFile(Output(), Charset::Cp932).bytes);
}

INSTANTIATE_TEST_SUITE_P(Names, WindowSaveTest,
                         testing::Values(SaveCase{"Bare", "memo", "memo.txt"},
                                         SaveCase{"Upper", "memo.TXT", "memo.TXT"},
                                         SaveCase{"Other", "memo.log", "memo.log.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct EncodingCase {
  const char* name;
  win32::Command command;
  std::string_view read;  // the file read first, "" for none
  Charset remembered;     // the settings' save encoding before
  std::optional<Charset> chosen;
  Charset offered;
  bool warned;  // of characters that Shift_JIS cannot hold
};

class WindowSaveEncodingTest : public WindowTest,
                               public testing::WithParamInterface<EncodingCase> {};

TEST_P(WindowSaveEncodingTest, OffersAndRemembersTheEncoding) {
  const EncodingCase& c = GetParam();
  settings_.saveEncoding = c.remembered;
  if (!c.read.empty()) {
    WriteFile(folder_.PathOf("in.txt"), c.read);
    window_->LoadInput(folder_.PathOf("in.txt"));
  }
  TypeInto(window_->input(), u"あ𠀋");  // one character code page 932 holds, one it lacks
  answeredPath = folder_.PathOf("out.txt");
  answeredCharset = c.chosen;
  std::vector<std::u16string> asked;
  window_->SetAsking({[](HWND) { return answeredPath; },
                      [](HWND, SavedText, Charset offered) {
                        offeredCharset = offered;
                        return TextChoice{answeredPath, answeredCharset.value_or(offered)};
                      },
                      [](HWND, const std::u16string& question) {
                        told.push_back(question);
                        return true;
                      },
                      [](HWND, const std::u16string&) {}, nullptr});
  told.clear();
  Command(c.command);
  answeredCharset.reset();
  const Charset saved = c.chosen.value_or(c.offered);
  EXPECT_EQ(offeredCharset, c.offered);
  EXPECT_EQ(told.size(), c.warned ? 1u : 0u);
  const std::u16string text = c.command == Command::kSaveInput ? Input() : Output();
  EXPECT_EQ(ReadFile(answeredPath), EncodeTextFile(text, saved).bytes);
  EXPECT_EQ(settings_.saveEncoding, saved);
  // The settings file is written for a change only.
  AppSettings read;
  read.appFolder = settings_.appFolder;
  ASSERT_TRUE(LoadSettings(read, SettingsFile(settings_)).ok());
  EXPECT_EQ(read.saveEncoding, saved == c.remembered ? AppSettings{}.saveEncoding : saved);
  EXPECT_EQ(
      StatusPartOf(Status(), static_cast<int>(StatusPart::kReport)),
      TextSavedText(c.command == Command::kSaveInput, saved, win32::Utf16(WideOf(answeredPath))));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, WindowSaveEncodingTest,
    testing::Values(
        EncodingCase{
            "Remembered", Command::kSaveOutput, "", Charset::Utf8, {}, Charset::Utf8, false},
        EncodingCase{"ChosenIsKept", Command::kSaveOutput, "", Charset::Cp932, Charset::Utf8,
                     Charset::Cp932, false},
        EncodingCase{"ShiftJisWarns", Command::kSaveOutput, "", Charset::Utf8, Charset::Cp932,
                     Charset::Utf8, true},
        EncodingCase{"InputAsRead",
                     Command::kSaveInput,
                     "\x82\xa0",
                     Charset::Utf8,
                     {},
                     Charset::Cp932,
                     true},
        EncodingCase{
            "InputReadInUtf8", Command::kSaveInput, "あ", Charset::Cp932, {}, Charset::Utf8, false},
        EncodingCase{"InputReadInOther",
                     Command::kSaveInput,
                     "\xa4\xa2\xa4\xa4\xa4\xa6\xa4\xa8",
                     Charset::Utf8,
                     {},
                     Charset::Utf8,
                     false}),
    [](const auto& info) { return std::string(info.param.name); });

struct PictureCase {
  const char* name;
  std::string chosen;
  bool pdfSelected;
  bool pages;
  std::string saved;
  // The file's first bytes.
  std::string_view magic;
  std::u16string_view reported;
};

class WindowPictureTest : public WindowTest, public testing::WithParamInterface<PictureCase> {};

// The system's Japanese fonts are IPA's here: wine has none of its own, and
// the font folder is the one Windows names in the environment.
TEST_P(WindowPictureTest, SavesThePictureOrThePagesByTheNameAndTheType) {
  const PictureCase& c = GetParam();
  std::filesystem::create_directories(WideOf(folder_.PathOf("Fonts")));
  for (const char* font : {"msgothic.ttc", "msmincho.ttc"}) {
    const std::string ipa =
        std::string(font) == "msgothic.ttc" ? "gothic\\ipag.ttf" : "mincho\\ipam.ttf";
    ASSERT_TRUE(CopyFileW(WideOf("Z:\\usr\\share\\fonts\\opentype\\ipafont-" + ipa).c_str(),
                          WideOf(folder_.PathOf("Fonts\\") + font).c_str(), FALSE));
  }
  ASSERT_EQ(_wputenv_s(L"WINDIR", WideOf(folder_.PathOf("")).c_str()), 0);
  settings_.page.enabled = c.pages;
  Close();
  Open();
  TypeInto(window_->input(), u"縦書き\rです");
  answeredPath = folder_.PathOf(c.chosen);
  answeredPdf = c.pdfSelected;
  Command(Command::kSaveImage);
  EXPECT_EQ(ReadFile(folder_.PathOf(c.saved)).substr(0, c.magic.size()), c.magic);
  EXPECT_EQ(StatusPartOf(Status(), static_cast<int>(StatusPart::kReport)),
            std::u16string(c.reported) + win32::Utf16(WideOf(folder_.PathOf(c.saved))));
}

INSTANTIATE_TEST_SUITE_P(
    Names, WindowPictureTest,
    testing::Values(
        PictureCase{"Png", "pic", false, false, "pic.png", "\x89PNG", u"PNG 画像で保存しました: "},
        PictureCase{"PdfSelected", "pic", true, false, "pic.pdf", "%PDF", u"PDF で保存しました: "},
        PictureCase{"PdfByName", "pic.PDF", false, false, "pic.PDF", "%PDF",
                    u"PDF で保存しました: "},
        PictureCase{"Pages", "pic", true, true, "pic.pdf", "%PDF", u"PDF で保存しました: "},
        PictureCase{"OtherName", "pic.txt", false, false, "pic.txt.png", "\x89PNG",
                    u"PNG 画像で保存しました: "}),
    [](const auto& info) { return std::string(info.param.name); });

struct EbookCase {
  const char* name;
  std::string chosen;
  std::string saved;
  std::optional<Notation> notation;
  std::u16string_view typed;
};

class WindowEbookTest : public WindowTest, public testing::WithParamInterface<EbookCase> {};

TEST_P(WindowEbookTest, SavesTheInputAsAVerticalBookTitledByItsFile) {
  const EbookCase& c = GetParam();
  settings_.picture.notation = c.notation;
  TypeInto(window_->input(), c.typed);
  answeredPath = folder_.PathOf(c.chosen);
  Command(Command::kSaveEbook);
  const std::u16string stem(c.saved.begin(), c.saved.begin() + c.saved.rfind('.'));
  EXPECT_EQ(ReadFile(folder_.PathOf(c.saved)), InputEpub(Input(), c.notation, stem));
  EXPECT_EQ(StatusPartOf(Status(), static_cast<int>(StatusPart::kReport)),
            EbookSavedText(win32::Utf16(WideOf(folder_.PathOf(c.saved)))));
}

INSTANTIATE_TEST_SUITE_P(
    Names, WindowEbookTest,
    testing::Values(
        EbookCase{"Bare", "book", "book.epub", std::nullopt, u"本文\rです"},
        EbookCase{"Upper", "book.EPUB", "book.EPUB", std::nullopt, u"本文"},
        EbookCase{"OtherName", "book.txt", "book.txt.epub", std::nullopt, u"本文"},
        EbookCase{"Aozora", "ruby", "ruby.epub", Notation::kAozora, u"｜漢字《かんじ》"},
        EbookCase{"Plain", "plain", "plain.epub", Notation::kPlain, u"｜漢字《かんじ》"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The settings dialog ---------------------------------------------------------

void SetBox(HWND dialog, int id, const wchar_t* text) {
  SetWindowTextW(GetDlgItem(dialog, id), text);
}
void Press(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST_F(WindowTest, SettingsDialogOkStoresWritesAndConverts) {
  TypeInto(window_->input(), u"ラーメン");
  std::u16string from;
  std::u16string listed;
  testing_support::WithModalDialog(
      window_->window(), static_cast<WPARAM>(Command::kSettings), L"Mirotabe - 設定",
      [&](HWND dialog) {
        SetBox(dialog, MIROTABE_FROM_BOX, L"-x");  // kept as one full-width character
        from = TextOf(GetDlgItem(dialog, MIROTABE_FROM_BOX));
        SetBox(dialog, MIROTABE_FROM_BOX, L"ー");
        SetBox(dialog, MIROTABE_TO_BOX, L"｜");
        Press(dialog, MIROTABE_ADD_BUTTON);
        SendMessageW(dialog, WM_VSCROLL, SB_LINEUP,
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, MIROTABE_TAB_SPINNER)));
        SendMessageW(GetDlgItem(dialog, MIROTABE_ENTRY_LIST), LB_SETCURSEL, 0, 0);
        std::wstring row(64, L'\0');
        row.resize(static_cast<std::size_t>(SendMessageW(GetDlgItem(dialog, MIROTABE_ENTRY_LIST),
                                                         LB_GETTEXT, 0,
                                                         reinterpret_cast<LPARAM>(row.data()))));
        listed.assign(row.begin(), row.end());
        Press(dialog, MIROTABE_OK_BUTTON);
      });
  EXPECT_EQ(from, u"－");
  EXPECT_EQ(listed, u"ー >> ｜ 変換時");
  ASSERT_EQ(settings_.rules.table.Count(), 1u);
  EXPECT_EQ(settings_.rules.table[0], (SwapEntry{u"ー", u"｜", SwapKind::kCell}));
  EXPECT_EQ(settings_.rules.tabSpace, kDefaultTabSpace + 1);
  EXPECT_EQ(Output(), LayoutOf(u"ラーメン", settings_.rules));
  // The bytes every edition writes for these settings.
  const std::string same = folder_.PathOf("same.ini");
  ASSERT_TRUE(SaveSettings(settings_, same).ok());
  EXPECT_EQ(ReadFile(SettingsFile(settings_)), ReadFile(same));
}

// What a screen reader reads of `window` through the system's
// accessibility layer: its name or its value.
using AccessibleRead = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
std::u16string ReadAccessible(HWND window, AccessibleRead read) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object)))) {
    return u"(none)";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  std::u16string got;
  if ((object->*read)(self, &text) == S_OK && text != nullptr) {
    got.assign(text, text + SysStringLen(text));
    SysFreeString(text);
  }
  object->Release();
  return got;
}
std::u16string AccessibleNameOf(HWND window) {
  return ReadAccessible(window, &IAccessible::get_accName);
}
std::u16string AccessibleValueOf(HWND window) {
  return ReadAccessible(window, &IAccessible::get_accValue);
}

TEST_F(WindowTest, PanesAndSettingsControlsHaveTheirNames) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  EXPECT_EQ(AccessibleNameOf(window_->input()), kInputPaneName);
  settings_.convertTrigger = ConvertTrigger::kEnterKey;
  const HWND output = window_->output().window();
  EXPECT_EQ(AccessibleNameOf(output), kOutputPaneName);
  TypeInto(window_->input(), u"古い");
  EXPECT_EQ(AccessibleNameOf(output),
            std::u16string(kOutputPaneName) + std::u16string(kStaleNameMark));
  ReleaseKey(window_->input(), VK_RETURN);
  EXPECT_EQ(AccessibleValueOf(output), Output());
  struct Named {
    int id;
    std::u16string_view name;
  };
  constexpr Named kNamed[] = {
      {MIROTABE_ENTRY_LIST, kEntryListName}, {MIROTABE_FROM_BOX, kFromBoxName},
      {MIROTABE_TO_BOX, kToBoxName},         {MIROTABE_TAB_WIDTH, kTabWidthName},
      {MIROTABE_TAB_SPINNER, kTabWidthName},
  };
  std::vector<std::u16string> names;
  testing_support::WithModalDialog(
      window_->window(), static_cast<WPARAM>(Command::kSettings), L"Mirotabe - 設定",
      [&](HWND dialog) {
        for (const Named& named : kNamed) {
          names.push_back(AccessibleNameOf(GetDlgItem(dialog, named.id)));
        }
        Press(dialog, MIROTABE_CANCEL_BUTTON);
      });
  ASSERT_EQ(names.size(), std::size(kNamed));
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(names[i], kNamed[i].name) << "control " << kNamed[i].id;
  }
  CoUninitialize();
}

struct LayoutCase {
  const char* name;
  const wchar_t* lengthTyped;  // null: as shown
  int lengthSteps;             // arrows of the column length's spinner, up positive
  int gapSteps;
  int kinsoku;  // the item chosen, -1 for none
  bool preset;  // the first preset added
  std::size_t length;
  std::uint8_t gap;
  Kinsoku chosenKinsoku;
  std::u16string_view lengthShown;
};

class WindowLayoutTest : public WindowTest, public testing::WithParamInterface<LayoutCase> {};

TEST_P(WindowLayoutTest, TheLayoutBoxStoresWhatItShows) {
  const LayoutCase& c = GetParam();
  std::u16string shown;
  testing_support::WithModalDialog(
      window_->window(), static_cast<WPARAM>(Command::kSettings), L"Mirotabe - 設定",
      [&](HWND dialog) {
        if (c.lengthTyped != nullptr) SetBox(dialog, MIROTABE_COLUMN_LENGTH, c.lengthTyped);
        // As a spinner tells of its arrows.
        const auto step = [dialog](int spinner, int steps) {
          for (int i = 0; i < std::abs(steps); ++i) {
            NMUPDOWN arrow{};
            arrow.hdr.hwndFrom = GetDlgItem(dialog, spinner);
            arrow.hdr.idFrom = static_cast<UINT_PTR>(spinner);
            arrow.hdr.code = UDN_DELTAPOS;
            arrow.iDelta = steps > 0 ? 1 : -1;
            SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(spinner),
                         reinterpret_cast<LPARAM>(&arrow));
          }
        };
        step(MIROTABE_COLUMN_LENGTH_SPIN, c.lengthSteps);
        step(MIROTABE_COLUMN_GAP_SPIN, c.gapSteps);
        if (c.kinsoku >= 0) {
          SendMessageW(GetDlgItem(dialog, MIROTABE_KINSOKU_BOX), CB_SETCURSEL,
                       static_cast<WPARAM>(c.kinsoku), 0);
        }
        if (c.preset) Press(dialog, MIROTABE_PRESET_ADD);
        shown = TextOf(GetDlgItem(dialog, MIROTABE_COLUMN_LENGTH));
        Press(dialog, MIROTABE_OK_BUTTON);
      });
  EXPECT_EQ(shown, c.lengthShown);
  EXPECT_EQ(settings_.rules.columns.columnLength, c.length);
  EXPECT_EQ(settings_.rules.columns.columnGap, c.gap);
  EXPECT_EQ(settings_.rules.columns.kinsoku, c.chosenKinsoku);
  EXPECT_EQ(settings_.rules.table.Count(), c.preset ? VerticalPresets()[0].entries.size() : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, WindowLayoutTest,
    testing::Values(
        LayoutCase{"AsBefore", nullptr, 0, 0, -1, false, 0, 0, Kinsoku::kNone, kWholeLinesCaption},
        LayoutCase{"Typed", L"20", 0, 0, -1, false, 20, 0, Kinsoku::kNone, u"20"},
        LayoutCase{"FullWidthDigits", L"３０", 0, 0, -1, false, 30, 0, Kinsoku::kNone, u"３０"},
        LayoutCase{"TooLong", L"123456", 0, 0, -1, false, kMaxColumnLength, 0, Kinsoku::kNone,
                   u"123456"},
        LayoutCase{"StepsUp", nullptr, 3, 0, -1, false, 3, 0, Kinsoku::kNone, u"3"},
        LayoutCase{"StepsDownToNone", L"1", -2, 0, -1, false, 0, 0, Kinsoku::kNone,
                   kWholeLinesCaption},
        LayoutCase{"GapWithinItsLimit", nullptr, 0, 5, -1, false, 0, kMaxColumnGap, Kinsoku::kNone,
                   kWholeLinesCaption},
        LayoutCase{"Kinsoku", nullptr, 0, 0, 2, false, 0, 0, static_cast<Kinsoku>(2),
                   kWholeLinesCaption},
        LayoutCase{"Preset", nullptr, 0, 0, -1, true, 0, 0, Kinsoku::kNone, kWholeLinesCaption}),
    [](const auto& info) { return std::string(info.param.name); });

struct PageCase {
  const char* name;
  // Boxes typed into, check boxes set and lists chosen, by id.
  std::vector<std::pair<int, const wchar_t*>> typed;
  std::vector<std::pair<int, bool>> checked;
  std::vector<std::pair<int, int>> chosen;
  PictureStyle style;
  PageSetup page;
};

PageSetup Pages(void (*change)(PageSetup&)) {
  PageSetup page;
  change(page);
  return page;
}
PictureStyle Style(void (*change)(PictureStyle&)) {
  PictureStyle style;
  change(style);
  return style;
}

class WindowPageSetupTest : public WindowTest, public testing::WithParamInterface<PageCase> {};

TEST_P(WindowPageSetupTest, OkStoresAndWritesWhatTheDialogShows) {
  const PageCase& c = GetParam();
  testing_support::WithModalDialog(
      window_->window(), static_cast<WPARAM>(Command::kPageSetup), L"ページ設定", [&](HWND dialog) {
        for (const auto& [id, text] : c.typed) SetBox(dialog, id, text);
        for (const auto& [id, on] : c.checked) {
          CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
        }
        for (const auto& [id, item] : c.chosen) {
          SendMessageW(GetDlgItem(dialog, id), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        }
        Press(dialog, MIROTABE_PAGE_OK);
      });
  EXPECT_EQ(settings_.picture, c.style);
  EXPECT_EQ(settings_.page, c.page);
  AppSettings read;
  read.appFolder = settings_.appFolder;
  ASSERT_TRUE(LoadSettings(read, SettingsFile(settings_)).ok());
  EXPECT_EQ(read.picture, c.style) << "kept in the settings file";
  EXPECT_EQ(read.page, c.page) << "kept in the settings file";
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, WindowPageSetupTest,
    testing::Values(
        PageCase{"AsShown", {}, {}, {}, PictureStyle{}, PageSetup{}},
        PageCase{"Pictures",
                 {{MIROTABE_PAGE_CELL_SIZE, L"32"}, {MIROTABE_PAGE_SPACING, L"0.75"}},
                 {{MIROTABE_PAGE_VERTICAL_GLYPHS, false}},
                 {{MIROTABE_PAGE_RUBY, 2}},
                 Style([](PictureStyle& s) {
                   s.cellSize = 32;
                   s.columnSpacing = 0.75;
                   s.verticalGlyphs = false;
                   s.ruby = false;
                 }),
                 PageSetup{}},
        PageCase{"Pages",
                 {{MIROTABE_PAGE_MARGIN, L"20"},
                  {MIROTABE_PAGE_POINTS, L"12.5"},
                  {MIROTABE_PAGE_LENGTH, L"40"}},
                 {{MIROTABE_PAGE_ENABLED, true},
                  {MIROTABE_PAGE_LANDSCAPE, true},
                  {MIROTABE_PAGE_NUMBERS, true}},
                 {{MIROTABE_PAGE_PAPER, 1}, {MIROTABE_PAGE_FACE, 1}, {MIROTABE_PAGE_KINSOKU, 1}},
                 PictureStyle{},
                 Pages([](PageSetup& p) {
                   p.enabled = true;
                   p.paper = static_cast<Paper>(1);
                   p.landscape = true;
                   p.face = static_cast<Typeface>(1);
                   p.marginMm = 20;
                   p.characterPoints = 12.5;
                   p.columnLength = 40;
                   p.pageNumbers = true;
                   p.kinsoku = static_cast<Kinsoku>(1);
                 })},
        PageCase{"WithinLimits",
                 {{MIROTABE_PAGE_CELL_SIZE, L"9999"},
                  {MIROTABE_PAGE_MARGIN, L"999"},
                  {MIROTABE_PAGE_COLUMNS, L"abc"}},
                 {},
                 {},
                 Style([](PictureStyle& s) { s.cellSize = kMaxCellSize; }),
                 Pages([](PageSetup& p) { p.marginMm = kMaxMarginMm; })}),
    [](const auto& info) { return std::string(info.param.name); });

// --- 変換's picture style ------------------------------------------------------

struct StyleMenuCase {
  const char* name;
  std::vector<win32::Command> commands;
  PictureStyle style;
};

class WindowStyleMenuTest : public WindowTest, public testing::WithParamInterface<StyleMenuCase> {};

TEST_P(WindowStyleMenuTest, KeepsTheChoiceInTheSettingsFileAndTicksIt) {
  const StyleMenuCase& c = GetParam();
  for (const win32::Command command : c.commands) Command(command);
  EXPECT_EQ(settings_.picture, c.style);
  AppSettings read;
  read.appFolder = settings_.appFolder;
  ASSERT_TRUE(LoadSettings(read, SettingsFile(settings_)).ok());
  EXPECT_EQ(read.picture, c.style) << "kept in the settings file";

  HWND window = window_->window();
  const SubmenuPlace sizes = FindSubmenu(GetMenu(window), Submenu::kCellSizes);
  SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sizes.menu), sizes.position);
  const std::vector<int> offered = OfferedCellSizes(c.style.cellSize);
  ASSERT_EQ(GetMenuItemCount(sizes.menu), static_cast<int>(offered.size()));
  for (std::size_t i = 0; i < offered.size(); ++i) {
    const UINT state = GetMenuState(sizes.menu, static_cast<UINT>(i), MF_BYPOSITION);
    EXPECT_EQ((state & MF_CHECKED) != 0, offered[i] == c.style.cellSize) << offered[i];
  }
  SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sizes.parent), 2);
  const UINT grid =
      GetMenuState(sizes.parent, static_cast<UINT>(Command::kImageGrid), MF_BYCOMMAND);
  EXPECT_EQ((grid & MF_CHECKED) != 0, c.style.grid);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, WindowStyleMenuTest,
    testing::Values(
        StyleMenuCase{"AnOfferedSize", {CellSizeCommand(32)}, Style([](PictureStyle& s) {
                        s.cellSize = 32;
                      })},
        StyleMenuCase{"ASizeOffTheListJoinsIt", {CellSizeCommand(100)}, Style([](PictureStyle& s) {
                        s.cellSize = 100;
                      })},
        StyleMenuCase{"Grid", {Command::kImageGrid}, Style([](PictureStyle& s) { s.grid = true; })},
        StyleMenuCase{
            "GridTwiceIsOff", {Command::kImageGrid, Command::kImageGrid}, PictureStyle{}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, SettingsDialogCancelKeepsEverything) {
  testing_support::WithModalDialog(window_->window(), static_cast<WPARAM>(Command::kSettings),
                                   L"Mirotabe - 設定", [](HWND dialog) {
                                     SetBox(dialog, MIROTABE_FROM_BOX, L"あ");
                                     Press(dialog, MIROTABE_ADD_BUTTON);
                                     Press(dialog, MIROTABE_TRIGGER_ENTER);
                                     Press(dialog, MIROTABE_CANCEL_BUTTON);
                                   });
  EXPECT_EQ(settings_.rules.table.Count(), 0u);
  EXPECT_EQ(settings_.convertTrigger, kDefaultConvertTrigger);
  EXPECT_FALSE(std::filesystem::exists(WideOf(SettingsFile(settings_))));
}

// --- Nothing typed is lost ---------------------------------------------------------

TEST_F(WindowTest, ATextTypedComesBackAtTheNextStart) {
  TypeInto(window_->input(), u"保存していない\r文章");
  const std::u16string typed = Input();
  Close();
  Open();
  window_->OfferKeptText();
  EXPECT_EQ(Input(), typed);
  EXPECT_EQ(Output(), LayoutOf(typed, settings_.rules));
}

TEST_F(WindowTest, AKeptTextWaitsWhileTheWindowStartsWithAFile) {
  TypeInto(window_->input(), u"残す");
  Close();
  const std::string file = folder_.PathOf("other.txt");
  WriteFile(file, "ほか\n");
  Open();
  window_->LoadStartupFile({file});
  window_->OfferKeptText();
  EXPECT_EQ(Input(), u"ほか");
  Close();
  Open();
  window_->OfferKeptText();
  EXPECT_EQ(Input(), u"残す");
}

// --- The menus ---------------------------------------------------------------------

TEST(WindowMenus, AccessKeysAndShortcutsAreEachOnce) {
  std::set<char16_t> barKeys;
  std::set<std::pair<WORD, bool>> shortcuts;
  for (const MenuColumn& column : MenuTable()) {
    const auto key = column.caption.find(u'&');
    ASSERT_NE(key, std::u16string_view::npos) << "a menu without an access key";
    EXPECT_TRUE(barKeys.insert(column.caption[key + 1]).second) << "the bar's keys repeat";
    std::set<char16_t> keys;
    for (const MenuItem& item : column.items) {
      if (item.command == Command::kNone && item.submenu == Submenu::kNone) continue;
      const auto at = item.caption.find(u'&');
      ASSERT_NE(at, std::u16string_view::npos);
      EXPECT_TRUE(keys.insert(item.caption[at + 1]).second) << "keys repeat in a menu";
      if (item.shortcut.key != 0) {
        EXPECT_TRUE(shortcuts.insert({item.shortcut.key, item.shortcut.shift}).second);
      }
    }
  }
  const auto captionOf = [](win32::Command command) {
    for (const MenuItem& item : MenuTable()[0].items) {
      if (item.command == command) return MenuCaption(item);
    }
    return std::u16string();
  };
  EXPECT_EQ(captionOf(Command::kOpen), u"開く(&O)\tCtrl+O");
  EXPECT_EQ(captionOf(Command::kSaveOutput), u"縦書きを保存(&S)\tCtrl+S");
}

}  // namespace
}  // namespace mirotabe::win32
