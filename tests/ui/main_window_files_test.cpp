// The main window and its files: the encodings it reads and saves in, and
// where its file dialogs start.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTranslator>
#include <QUrl>
#include <filesystem>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "platform/charset.h"
#include "platform/program_folder.h"
#include "tests/support/case_name.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/support/temp_folder.h"
#include "ui/local_path.h"
#include "ui/main_window.h"
#include "ui/qt_translation.h"

namespace mirotabe {
namespace {

namespace fs = std::filesystem;
using namespace std::literals;

const QString kShiftJisFilter = QStringLiteral("縦書きテキスト Shift_JIS (*.txt)");
const QString kUtf8Filter = QStringLiteral("縦書きテキスト UTF-8 (*.txt)");
// ---- Reading ----

enum class Via { kOpen, kDrop, kCommandLine };

class MainWindowFilesTest : public testing_support::MainWindowTest {
 protected:
  // Reads the file `name` into the input pane by `via`.
  void Read(Via via, std::string_view name) {
    switch (via) {
      case Via::kOpen:
        OpenFile(name);
        break;
      case Via::kDrop: {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(PathOf(name))});
        const QPointF at(10, 10);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Input()->viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Input()->viewport(), &drop);
        break;
      }
      case Via::kCommandLine:
        window_->LoadStartupFile({folder_.PathOf(name)});
        break;
    }
  }
};

struct ReadCase {
  const char* name;
  std::string_view bytes;
  Via via;
  QString text;      // the input pane afterwards
  QString encoding;  // what the status bar says of it
  QString status{};  // the status bar's message: only bytes it could not read
};

class MainWindowReadTest : public MainWindowFilesTest,
                           public testing::WithParamInterface<ReadCase> {};

TEST_P(MainWindowReadTest, ReadsAnyEncodingAndNamesIt) {
  const ReadCase& c = GetParam();
  Put("in.txt", c.bytes);
  Open();
  Read(c.via, "in.txt");
  EXPECT_EQ(Input()->toPlainText(), c.text);
  EXPECT_EQ(EncodingShown(), c.encoding);
  EXPECT_EQ(Status(), c.status);
  EXPECT_TRUE(services_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, MainWindowReadTest,
    testing::Values(ReadCase{"Utf8", "\xE7\xB8\xA6\xE6\x9B\xB8\xE3\x81\x8D\n"sv, Via::kOpen,
                             QStringLiteral("縦書き"), QStringLiteral("文字コード: UTF-8")},
                    ReadCase{"EucJp", "\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF"sv, Via::kOpen,
                             QStringLiteral("こんにちは"), QStringLiteral("文字コード: EUC-JP")},
                    ReadCase{"ShortHalfWidthCp932", "\xC3\xBD"sv, Via::kOpen, QStringLiteral("ﾃｽ"),
                             QStringLiteral("文字コード: Shift_JIS")},
                    ReadCase{"Cp932ValidAsUtf8Too", "\xE2\xBE\x83\x77"sv, Via::kOpen,
                             QStringLiteral("篝ヘ"), QStringLiteral("文字コード: Shift_JIS")},
                    ReadCase{"GuessWithBadBytes", "a\x80\xFF"sv, Via::kOpen,
                             QStringLiteral("a\uFFFD\uFFFD"),
                             QStringLiteral("文字コード: Shift_JIS (判別できませんでした)"),
                             QStringLiteral("in.txt: 2 バイトを Shift_JIS として読めず、\uFFFD "
                                            "にしました（最初はオフセット 1）。"
                                            "エンコーディングを指定して開き直せます")},
                    ReadCase{"DamagedUtf8",
                             "\xE7\xB8\xA6\xE6\x9B\xB8\xE3\x81\x8D\xE3\x81\xAF\xE3\x80\x81\xE4"
                             "\xB8\x8A\xE3\x81\x8B\xE3\x82\x89\xE4\xB8\xE3\x81\xB8"sv,
                             Via::kDrop, QStringLiteral("縦書きは、上から\uFFFD\uFFFDへ"),
                             QStringLiteral("文字コード: UTF-8"),
                             QStringLiteral("in.txt: 2 バイトを UTF-8 として読めず、\uFFFD "
                                            "にしました（最初はオフセット 24）。"
                                            "エンコーディングを指定して開き直せます")},
                    ReadCase{"DroppedUtf16", "\xFF\xFE\x26\x7E"sv, Via::kDrop, QStringLiteral("縦"),
                             QStringLiteral("文字コード: UTF-16LE")},
                    ReadCase{"CommandLineIso2022Jp", "\x1B$B=D=q$-\x1B(B"sv, Via::kCommandLine,
                             QStringLiteral("縦書き"), QStringLiteral("文字コード: ISO-2022-JP")}),
    testing_support::CaseName());

// A text too long to lay out is told of before it goes into the input
// pane; the user may still open it there alone and cut it down, and then
// it is laid out.
TEST_F(MainWindowFilesTest, ATextTooLongToLayOutIsToldOfBeforeItFillsThePane) {
  Put("long.txt", "abcdefgh");
  Open();
  window_->SetMaxShownUnits(5);
  QTest::keyClicks(Input(), QStringLiteral("xy"));
  services_.proceedAnswers = {false, true};
  OpenFile("long.txt");
  ASSERT_EQ(services_.questions.size(), 1u);
  EXPECT_TRUE(services_.questions[0].contains(QStringLiteral("大きすぎる")));
  EXPECT_TRUE(services_.questions[0].contains(QStringLiteral("8 文字")));
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("xy"));
  EXPECT_EQ(Shown(), QStringLiteral("ｘ\nｙ"));

  OpenFile("long.txt");
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("abcdefgh"));
  EXPECT_EQ(Shown(), QString());
  EXPECT_TRUE(Output()->message().contains(QStringLiteral("上限の 5 文字")));
  for (int i = 0; i < 3; ++i) QTest::keyClick(Input(), Qt::Key_Delete);
  EXPECT_EQ(Output()->message(), QString());
  EXPECT_EQ(Shown(), QStringLiteral("ｄ\nｅ\nｆ\nｇ\nｈ"));
}

TEST_F(MainWindowFilesTest, NextGoodFileClearsTheGuessMessage) {
  Put("bad.txt", "a\x80");
  Put("good.txt", "\xE3\x81\x82");
  Open();
  EXPECT_EQ(EncodingShown(), QString());
  OpenFile("bad.txt");
  EXPECT_EQ(EncodingShown(), QStringLiteral("文字コード: Shift_JIS (判別できませんでした)"));
  OpenFile("good.txt");
  EXPECT_EQ(EncodingShown(), QStringLiteral("文字コード: UTF-8"));
}

// Opening and dropping replace the input pane's text as one edit, which
// undo takes back and redo brings again.
class MainWindowLoadUndoTest : public MainWindowFilesTest,
                               public testing::WithParamInterface<Via> {};

TEST_P(MainWindowLoadUndoTest, UndoBringsThePreviousTextBack) {
  Put("in.txt", "new\nlines");
  Open();
  Type(QStringLiteral("typed\ntext"));
  Read(GetParam(), "in.txt");
  ASSERT_EQ(Input()->toPlainText(), QStringLiteral("new\nlines"));
  EXPECT_EQ(Shown(), QStringLiteral("ｌｎ\nｉｅ\nｎｗ\nｅ　\nｓ　"));

  QTest::keyClick(Input(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("typed\ntext"));
  EXPECT_EQ(Shown(), QStringLiteral("ｔｔ\nｅｙ\nｘｐ\nｔｅ\n　ｄ"));
  QTest::keyClick(Input(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("new\nlines"));
}

INSTANTIATE_TEST_SUITE_P(Files, MainWindowLoadUndoTest, testing::Values(Via::kOpen, Via::kDrop),
                         [](const testing::TestParamInfo<Via>& info) {
                           return info.param == Via::kOpen ? "Open" : "Drop";
                         });

// エンコーディングを指定して開き直す reads the file again in the chosen
// encoding, as one more edit that undo takes back.
TEST_F(MainWindowFilesTest, ReopensInTheChosenEncoding) {
  Put("in.txt", "\xE7\xB8\xA6\xE6\x9B\xB8");
  Open();
  QMenu* reopen = window_->findChild<QMenu*>(QStringLiteral("Menu_File_Reopen"));
  ASSERT_NE(reopen, nullptr);
  EXPECT_FALSE(reopen->isEnabled());
  OpenFile("in.txt");
  ASSERT_EQ(Input()->toPlainText(), QStringLiteral("縦書"));
  EXPECT_TRUE(reopen->isEnabled());
  EXPECT_TRUE(Action("Menu_File_Reopen_UTF-8")->isChecked());

  Trigger("Menu_File_Reopen_Shift_JIS");
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("邵ｦ譖ｸ"));
  EXPECT_EQ(EncodingShown(), QStringLiteral("文字コード: Shift_JIS"));
  EXPECT_TRUE(Action("Menu_File_Reopen_Shift_JIS")->isChecked());
  EXPECT_FALSE(Action("Menu_File_Reopen_UTF-8")->isChecked());

  // Undone, the reopen takes its encoding back with it.
  Input()->setFocus();
  QTest::keyClick(Input(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("縦書"));
  EXPECT_EQ(EncodingShown(), QStringLiteral("文字コード: UTF-8"));
  EXPECT_TRUE(Action("Menu_File_Reopen_UTF-8")->isChecked());
  QTest::keyClick(Input(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(EncodingShown(), QString());
  EXPECT_FALSE(reopen->isEnabled());
  QTest::keyClick(Input(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(EncodingShown(), QStringLiteral("文字コード: UTF-8"));
  EXPECT_TRUE(reopen->isEnabled());

  // A file gone since is reported, and the pane stays.
  fs::remove(folder_.PathOf("in.txt"));
  Trigger("Menu_File_Reopen_EUC-JP");
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains(
      QStringLiteral("ファイルまたはフォルダーが見つかりません。")));
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("縦書"));
}

// ---- Saving ----

struct SaveCase {
  const char* name;
  std::string_view settingsFile;  // "" for none
  std::optional<QString> chosenFilter;
  QString offeredFilter;
  std::string_view saved;          // the bytes of "ｱ😀" laid out
  std::string_view settingsAfter;  // "" for no file
  bool warned;
};

class MainWindowSaveEncodingTest : public MainWindowFilesTest,
                                   public testing::WithParamInterface<SaveCase> {};

TEST_P(MainWindowSaveEncodingTest, SavesInTheChosenEncodingAndRemembersIt) {
  const SaveCase& c = GetParam();
  if (!c.settingsFile.empty()) Put("Setting.ini", c.settingsFile);
  ASSERT_TRUE(LoadSettings(settings_, folder_.PathOf("Setting.ini")).ok());
  Open();
  QInputMethodEvent typed;
  typed.setCommitString(QStringLiteral("ｱ😀"));
  QApplication::sendEvent(Input(), &typed);
  services_.proceedAnswers = {true};
  Save("out.txt", c.chosenFilter);

  ASSERT_EQ(services_.saveCalls.size(), 1u);
  EXPECT_EQ(services_.saveCalls[0].filters, (QStringList{kShiftJisFilter, kUtf8Filter}));
  EXPECT_EQ(services_.saveCalls[0].selectedFilter, c.offeredFilter);
  EXPECT_EQ(Bytes("out.txt"), c.saved);
  EXPECT_EQ(services_.questions.size(), c.warned ? 1u : 0u);
  EXPECT_EQ(fs::exists(folder_.PathOf("Setting.ini")), !c.settingsAfter.empty());
  if (!c.settingsAfter.empty()) {
    EXPECT_EQ(Bytes("Setting.ini"), c.settingsAfter);
  }
  EXPECT_TRUE(services_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Choices, MainWindowSaveEncodingTest,
    testing::Values(
        SaveCase{"DefaultShiftJis", "", std::nullopt, kShiftJisFilter, "\x83\x41\r\n?"sv, "", true},
        SaveCase{"ChosenUtf8", "", kUtf8Filter, kShiftJisFilter,
                 "\xE3\x82\xA2\r\n\xF0\x9F\x98\x80"sv, "[Options]\r\nSaveEncoding=UTF-8\r\n",
                 false},
        SaveCase{"RememberedUtf8OfferedFirst", "[Options]\r\nSaveEncoding=UTF-8\r\n", std::nullopt,
                 kUtf8Filter, "\xE3\x82\xA2\r\n\xF0\x9F\x98\x80"sv,
                 "[Options]\r\nSaveEncoding=UTF-8\r\n", false},
        SaveCase{"BackToShiftJisKeepsOtherLines",
                 "; mine\r\n[Main]\r\nTabSpace=4\r\n[Options]\r\nSaveEncoding=UTF-8\r\nX=1\r\n",
                 kShiftJisFilter, kUtf8Filter, "\x83\x41\r\n?"sv,
                 "; mine\r\n[Main]\r\nTabSpace=4\r\n[Options]\r\nSaveEncoding=Shift_JIS\r\nX=1\r\n",
                 true},
        SaveCase{"SameChoiceLeavesTheFileAlone", "[Main]\r\nConvert=2\r\n", kShiftJisFilter,
                 kShiftJisFilter, "\x83\x41\r\n?"sv, "[Main]\r\nConvert=2\r\n", true}),
    testing_support::CaseName());

// The save goes where the chosen name leads, devices and names that are
// not UTF-8 included, and the status bar says where, or that nothing was
// saved.
struct SaveTargetCase {
  const char* name;
  std::vector<std::string_view> files;                               // made first, holding "old"
  std::vector<std::pair<std::string_view, std::string_view>> links;  // name, what it leads to
  std::string_view chosen;  // the name chosen in the dialog, as the system's bytes
  std::string_view saved;   // the file that must hold the output; "" for a device
  const char* reason;       // the error shown; nullptr when the save succeeds
  int entries;              // what the folder holds afterwards, all told
};

class MainWindowSaveTargetTest : public MainWindowFilesTest,
                                 public testing::WithParamInterface<SaveTargetCase> {};

TEST_P(MainWindowSaveTargetTest, WritesWhereTheNameLeadsAndSaysSo) {
  const SaveTargetCase& c = GetParam();
  for (const std::string_view file : c.files) Put(file, "old");
  for (const auto& [name, target] : c.links) {
    fs::create_symlink(std::string(target), folder_.PathOf(name));
  }
  Open();
  Type(QStringLiteral("a"));
  // The dialog shows a name that is not UTF-8 with U+FFFD in it.
  services_.saveAnswers.push_back(ShownPath(folder_.PathOf(c.chosen)));
  services_.proceedAnswers = {true};  // to replace a file that is there
  Trigger("Menu_File_Save");

  if (c.reason == nullptr) {
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_EQ(Status(), QStringLiteral("Shift_JIS で保存しました: ") +
                            ShownPath(folder_.PathOf(c.saved.empty() ? c.chosen : c.saved)));
  } else {
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_TRUE(services_.messages[0].text.contains(QString::fromUtf8(c.reason)));
    EXPECT_EQ(Status(), QStringLiteral("保存しませんでした。"));
  }
  if (!c.saved.empty()) {
    EXPECT_EQ(Bytes(c.saved), Cp932(u"ａ"));
  }
  const auto entries = std::distance(fs::recursive_directory_iterator(folder_.path()),
                                     fs::recursive_directory_iterator());
  EXPECT_EQ(entries, c.entries);
  for (const auto& [name, target] : c.links) {
    EXPECT_TRUE(fs::is_symlink(folder_.PathOf(name)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, MainWindowSaveTargetTest,
    testing::Values(
        SaveTargetCase{"FullDeviceReportsItsError",
                       {},
                       {{"full", "/dev/full"}},
                       "full",
                       "",
                       "ディスクの空き容量が足りません。",
                       1},
        SaveTargetCase{
            "NullDeviceIsWrittenInto", {}, {{"null.txt", "/dev/null"}}, "null.txt", "", nullptr, 1},
        SaveTargetCase{"NameThatIsNotUtf8",
                       {"o-\xFF\xFE.txt"sv},
                       {},
                       "o-\xFF\xFE.txt"sv,
                       "o-\xFF\xFE.txt"sv,
                       nullptr,
                       1},
        SaveTargetCase{"NameThatIsNotUtf8TakesTxt",
                       {"o-\xFF\xFE"sv},
                       {},
                       "o-\xFF\xFE"sv,
                       "o-\xFF\xFE.txt"sv,
                       nullptr,
                       2},
        SaveTargetCase{"FolderThatIsNotUtf8",
                       {"d\xFF/old.txt"sv},
                       {},
                       "d\xFF/new.txt"sv,
                       "d\xFF/new.txt"sv,
                       nullptr,
                       3}),
    testing_support::CaseName());

// ---- Recent files ----

// The entries of ファイル → 最近使ったファイル, as the menu shows them when it
// opens.
QStringList RecentEntries(QMenu* recent) {
  recent->popup(QPoint());
  QStringList entries;
  for (QAction* action : recent->actions()) {
    if (!action->isSeparator()) entries.push_back(action->text());
  }
  recent->hide();
  return entries;
}

// Files read are listed newest first, ten at most, the next run too; an
// entry opens its file again, one that is gone is told of and leaves the
// list, and 履歴を消去 empties it.
TEST_F(MainWindowFilesTest, RecentFilesAreListedNewestFirst) {
  for (int i = 0; i < 12; ++i) Put("f" + std::to_string(i) + ".txt", "text " + std::to_string(i));
  Open();
  auto* recent = window_->findChild<QMenu*>(QStringLiteral("Menu_File_Recent"));
  EXPECT_EQ(RecentEntries(recent), QStringList{QStringLiteral("(なし)")});
  for (int i = 0; i < 12; ++i) OpenFile("f" + std::to_string(i) + ".txt");
  const auto entry = [&](int key, int file) {
    return QStringLiteral("&%1 %2").arg(key).arg(PathOf("f" + std::to_string(file) + ".txt"));
  };
  QStringList expected;
  for (int i = 0; i < 10; ++i) expected.push_back(entry((i + 1) % 10, 11 - i));
  expected.push_back(QStringLiteral("履歴を消去(&C)"));
  EXPECT_EQ(RecentEntries(recent), expected);

  Open();  // the next run
  recent = window_->findChild<QMenu*>(QStringLiteral("Menu_File_Recent"));
  EXPECT_EQ(RecentEntries(recent), expected);
  recent->popup(QPoint());
  Trigger("Menu_File_Recent_3");  // f9
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("text 9"));
  EXPECT_EQ(RecentEntries(recent).front(), entry(1, 9));

  fs::remove(folder_.PathOf("f11.txt"));
  recent->popup(QPoint());
  Trigger("Menu_File_Recent_2");  // f11, gone
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains(PathOf("f11.txt")));
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("text 9"));
  EXPECT_FALSE(RecentEntries(recent).join(u'\n').contains(PathOf("f11.txt")));

  recent->popup(QPoint());
  Trigger("Menu_File_Recent_Clear");
  EXPECT_EQ(RecentEntries(recent), QStringList{QStringLiteral("(なし)")});
}

// ---- Where the dialogs start ----

// Points HOME (and with it the documents folder) somewhere else for a test.
class ScopedHome {
 public:
  explicit ScopedHome(const std::string& home)
      : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("HOME", QByteArray::fromStdString(home));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home + "/.config"));
  }
  ~ScopedHome() {
    qputenv("HOME", oldHome_);
    qputenv("XDG_CONFIG_HOME", oldConfig_);
  }

 private:
  QByteArray oldHome_;
  QByteArray oldConfig_;
};

enum class Before {
  kNothing,
  kOpen,
  kSave,
  kSavePicture,
  kOpenThenRemoveItsFolder,
  kFailedSave,
  kOpenThenRestart
};

struct FolderCase {
  const char* name;
  bool documentsExist;
  Before before;
  const char* expected;  // under the test's folder
};

class MainWindowDialogFolderTest : public MainWindowFilesTest,
                                   public testing::WithParamInterface<FolderCase> {};

// The dialogs start in the folder last used, in this run or an earlier
// one, while it is there; else in the documents folder or the home folder.
TEST_P(MainWindowDialogFolderTest, StartsInTheFolderLastUsed) {
  const FolderCase& c = GetParam();
  const ScopedHome home(folder_.PathOf("home"));
  fs::create_directories(folder_.PathOf("home"));
  if (c.documentsExist) fs::create_directories(folder_.PathOf("home/Documents"));
  Put("texts/in.txt", "ab");
  fs::create_directories(folder_.PathOf("saved"));
  Open();

  switch (c.before) {
    case Before::kNothing:
      break;
    case Before::kOpen:
      OpenFile("texts/in.txt");
      break;
    case Before::kSave:
      OpenFile("texts/in.txt");
      Save("saved/out.txt");
      break;
    case Before::kSavePicture:
      OpenFile("texts/in.txt");
      services_.saveAnswers.push_back(PathOf("saved/out.png"));
      Trigger("Menu_Convert_SaveImage");
      break;
    case Before::kOpenThenRemoveItsFolder:
      OpenFile("texts/in.txt");
      fs::remove_all(folder_.PathOf("texts"));
      break;
    case Before::kFailedSave:
      Save("missing/out.txt");
      break;
    case Before::kOpenThenRestart:
      OpenFile("texts/in.txt");
      Open();
      break;
  }
  const QString folder = QString::fromStdString(folder_.PathOf(c.expected));
  Trigger("Menu_File_Open");
  services_.saveAnswers.clear();
  Trigger("Menu_File_Save");
  EXPECT_EQ(services_.openCalls.back().folder, folder);
  EXPECT_EQ(services_.saveCalls.back().folder, folder);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, MainWindowDialogFolderTest,
    testing::Values(FolderCase{"FirstUsesDocuments", true, Before::kNothing, "home/Documents"},
                    FolderCase{"WithoutDocumentsUsesHome", false, Before::kNothing, "home"},
                    FolderCase{"TheOpenedFilesFolder", true, Before::kOpen, "texts"},
                    FolderCase{"TheSavedFilesFolder", true, Before::kSave, "saved"},
                    FolderCase{"ThePicturesFolder", true, Before::kSavePicture, "saved"},
                    FolderCase{"SkipsAFolderThatIsGone", true, Before::kOpenThenRemoveItsFolder,
                               "home/Documents"},
                    FolderCase{"IgnoresAFailedSave", false, Before::kFailedSave, "home"},
                    FolderCase{"KeptForTheNextStart", true, Before::kOpenThenRestart, "texts"}),
    testing_support::CaseName());

// ---- Qt's own texts ----

TEST(QtTranslationTest, StandardButtonsSpeakJapanese) {
  QTranslator* translator = InstallQtJapanese(*QApplication::instance());
  ASSERT_NE(translator, nullptr);
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
  QLocale::setDefault(QLocale::c());
  QApplication::removeTranslator(translator);
  delete translator;
}

}  // namespace
}  // namespace mirotabe
