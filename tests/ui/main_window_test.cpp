#include "ui/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/charset.h"
#include "platform/program_folder.h"
#include "tests/support/case_name.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/support/temp_folder.h"
#include "ui/about.h"
#include "ui/help_menu.h"
#include "ui/output_pane.h"
#include "ui/save_format.h"

namespace mirotabe {
namespace {

using enum ConvertTrigger;

using enum SwapKind;

namespace fs = std::filesystem;

class MainWindowTest : public testing_support::MainWindowTest {
 protected:
  QWidget* Splitter() { return window_->findChild<QWidget*>("Image1"); }
};

// Text that a keyboard cannot type key by key arrives from the input
// method as a committed string.
void Commit(QWidget* widget, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(widget, &event);
}

// ---- Triggers ----

struct KeyCase {
  const char* name;
  ConvertTrigger trigger;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  bool inOutputPane;
  bool converts;
};

class MainWindowKeyTest : public MainWindowTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(MainWindowKeyTest, ConvertsOnlyOnTheTriggerKeyInTheInputPane) {
  const KeyCase& c = GetParam();
  Open(c.trigger);
  Input()->setPlainText(QStringLiteral("ab"));
  Input()->moveCursor(QTextCursor::End);
  Output()->SetLayout({});  // whatever setting the text did, start from an empty output
  QWidget* target = c.inOutputPane ? static_cast<QWidget*>(Output()) : Input();
  target->setFocus();
  QTest::keyClick(target, c.key, c.modifiers);
  const QString expected = c.key == Qt::Key_Return || c.key == Qt::Key_Enter
                               ? QStringLiteral("　ａ\n　ｂ")  // the Enter's own line break counts
                               : QStringLiteral("ａ\nｂ");
  EXPECT_EQ(Shown(), c.converts ? expected : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MainWindowKeyTest,
    testing::Values(
        KeyCase{"EnterUnderEnter", kEnterKey, Qt::Key_Return, Qt::NoModifier, false, true},
        KeyCase{"ShiftEnterUnderEnter", kEnterKey, Qt::Key_Return, Qt::ShiftModifier, false, true},
        KeyCase{"KeypadEnterUnderEnter", kEnterKey, Qt::Key_Enter, Qt::KeypadModifier, false, true},
        KeyCase{"F1UnderEnter", kEnterKey, Qt::Key_F1, Qt::NoModifier, false, false},
        KeyCase{"EnterInOutputPane", kEnterKey, Qt::Key_Return, Qt::NoModifier, true, false},
        KeyCase{"F1UnderF1", kF1Key, Qt::Key_F1, Qt::NoModifier, false, true},
        KeyCase{"ShiftF1UnderF1", kF1Key, Qt::Key_F1, Qt::ShiftModifier, false, true},
        KeyCase{"EnterUnderF1", kF1Key, Qt::Key_Return, Qt::NoModifier, false, false},
        KeyCase{"F1InOutputPane", kF1Key, Qt::Key_F1, Qt::NoModifier, true, false},
        KeyCase{"F1UnderUnknownTrigger", ConvertTrigger{7}, Qt::Key_F1, Qt::NoModifier, false,
                false},
        KeyCase{"EnterUnderUnknownTrigger", ConvertTrigger{7}, Qt::Key_Return, Qt::NoModifier,
                false, false}),
    testing_support::CaseName());

TEST_F(MainWindowTest, EveryChangeConvertsUnderTriggerTwoOnly) {
  Open();
  QTest::keyClicks(Input(), QStringLiteral("ab"));
  EXPECT_EQ(Shown(), QStringLiteral("ａ\nｂ"));
  QTest::keyClick(Input(), Qt::Key_Return);
  EXPECT_EQ(Shown(), QStringLiteral("　ａ\n　ｂ"));

  settings_.convertTrigger = kEnterKey;
  QTest::keyClicks(Input(), QStringLiteral("c"));
  EXPECT_EQ(Shown(), QStringLiteral("　ａ\n　ｂ"));
}

TEST_F(MainWindowTest, AutoRepeatedReleasesDoNotConvert) {
  Open(kF1Key);
  Input()->setPlainText(QStringLiteral("a"));
  QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(Input(), &repeated);
  EXPECT_EQ(Shown(), QString());
  QKeyEvent real(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
  QApplication::sendEvent(Input(), &real);
  EXPECT_EQ(Shown(), QStringLiteral("ａ"));
}

TEST_F(MainWindowTest, PreeditDoesNotConvertButItsCommitDoes) {
  Open();
  QTest::keyClicks(Input(), QStringLiteral("ab"));
  // The table changes behind the pane's back: only a conversion shows it.
  settings_.rules.table.Append({u"ａ", u"Ｘ", kCell});
  for (const char* preedit : {"k", "か", ""}) {
    QInputMethodEvent event(QString::fromUtf8(preedit), {});
    QApplication::sendEvent(Input(), &event);
    EXPECT_EQ(Shown(), QStringLiteral("ａ\nｂ")) << preedit;
  }
  Commit(Input(), QStringLiteral("か"));
  EXPECT_EQ(Shown(), QStringLiteral("Ｘ\nｂ\nか"));
}

// After each step the output pane shows and marks the cell of the
// character before the input caret.
TEST_F(MainWindowTest, OutputFollowsTheInputCaret) {
  Open();
  QString text;
  for (int line = 0; line < 300; ++line) {
    text += QString(120, QChar(u'あ')) + QChar(u'\n');
  }
  Input()->setPlainText(text);
  const std::size_t columns = 301;  // the last, empty line is a column too
  const struct {
    const char* name;
    std::function<void()> step;
    CellPosition marked;
  } steps[] = {
      {"TypeAtTheStart",
       [&] {
         QTest::keyClick(Input(), Qt::Key_Home, Qt::ControlModifier);
         QTest::keyClicks(Input(), QStringLiteral("x"));
       },
       {0, columns - 1}},
      {"EndOfTheLine", [&] { QTest::keyClick(Input(), Qt::Key_End); }, {120, columns - 1}},
      {"TypeAtTheEnd",
       [&] {
         QTest::keyClick(Input(), Qt::Key_End, Qt::ControlModifier);
         QTest::keyClicks(Input(), QStringLiteral("yz"));
       },
       {1, 0}},
      {"BackToLine100",
       [&] {
         Input()->setTextCursor(QTextCursor(Input()->document()->findBlockByNumber(100)));
         QTest::keyClick(Input(), Qt::Key_Right);
         QTest::keyClick(Input(), Qt::Key_Right);
       },
       {1, columns - 1 - 100}},
  };
  for (const auto& s : steps) {
    s.step();
    const auto marked = Output()->markedCell();
    ASSERT_TRUE(marked.has_value()) << s.name;
    EXPECT_EQ(*marked, s.marked) << s.name;
    EXPECT_GE(marked->row, Output()->FirstVisibleRow()) << s.name;
    EXPECT_LT(marked->row, Output()->FirstVisibleRow() + Output()->VisibleRows()) << s.name;
    EXPECT_GE(marked->column, Output()->FirstVisibleColumn()) << s.name;
    EXPECT_LT(marked->column, Output()->FirstVisibleColumn() + Output()->VisibleColumns())
        << s.name;
  }
}

struct FocusCase {
  const char* name;
  bool fromOutput;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};

class MainWindowFocusTest : public MainWindowTest, public testing::WithParamInterface<FocusCase> {};

// The keyboard goes from pane to pane: F6 and Ctrl+Tab either way, and Tab
// from the output pane (in the input pane Tab types a tab).
TEST_P(MainWindowFocusTest, KeysGoFromPaneToPane) {
  const FocusCase& c = GetParam();
  Open();
  QApplication::setActiveWindow(window_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  QWidget* from = c.fromOutput ? static_cast<QWidget*>(Output()) : Input();
  QWidget* to = c.fromOutput ? static_cast<QWidget*>(Input()) : Output();
  from->setFocus();
  QTest::keyClick(from, c.key, c.modifiers);
  EXPECT_EQ(QApplication::focusWidget(), to);
  EXPECT_EQ(Input()->toPlainText(), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MainWindowFocusTest,
    testing::Values(FocusCase{"F6ToOutput", false, Qt::Key_F6, Qt::NoModifier},
                    FocusCase{"F6ToInput", true, Qt::Key_F6, Qt::NoModifier},
                    FocusCase{"ShiftF6ToOutput", false, Qt::Key_F6, Qt::ShiftModifier},
                    FocusCase{"CtrlTabToOutput", false, Qt::Key_Tab, Qt::ControlModifier},
                    FocusCase{"CtrlTabToInput", true, Qt::Key_Tab, Qt::ControlModifier},
                    FocusCase{"TabToInput", true, Qt::Key_Tab, Qt::NoModifier}),
    testing_support::CaseName());

// A screen reader reads the output pane as the text was typed, line after
// line, from where Ctrl+Home puts the caret: the first character of the
// rightmost column.
TEST_F(MainWindowTest, AScreenReaderReadsTheOutputColumnByColumn) {
  Open();
  QApplication::setActiveWindow(window_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  Input()->setFocus();
  TypeCommitted(QStringLiteral("吾輩は猫"));
  QTest::keyClick(Input(), Qt::Key_Return);
  TypeCommitted(QStringLiteral("である"));
  QTest::keyClick(Input(), Qt::Key_F6);
  ASSERT_EQ(QApplication::focusWidget(), Output());
  QTest::keyClick(Output(), Qt::Key_Down);
  QTest::keyClick(Output(), Qt::Key_Home, Qt::ControlModifier);

  QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(Output());
  ASSERT_NE(pane, nullptr);
  QAccessibleTextInterface* text = pane->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->cursorPosition(), 0);
  QStringList lines;
  for (int offset = 0; offset < text->characterCount();) {
    int start = 0;
    int end = 0;
    lines.push_back(text->textAtOffset(offset, QAccessible::LineBoundary, &start, &end).trimmed());
    ASSERT_GT(end, offset);
    offset = end;
  }
  // The shorter column ends in a blank cell, a full-width space.
  EXPECT_EQ(lines, (QStringList{QStringLiteral("吾輩は猫"), QStringLiteral("である")}));
}

// Every menu and every item in it can be chosen from the keyboard: each has
// a mnemonic, none shared with another item of the same menu, so that Alt
// and a letter, and then a letter, choose it at once.
TEST_F(MainWindowTest, EveryMenuItemHasAMnemonicOfItsOwn) {
  Put("a.txt", "a");
  Put("b.txt", "b");
  Open();
  OpenFile("a.txt");
  OpenFile("b.txt");
  std::vector<QMenu*> menus;
  std::map<QChar, QString> topKeys;
  for (QAction* top : window_->menuBar()->actions()) {
    const QString text = top->text();
    const qsizetype at = text.indexOf(QChar(u'&'));
    ASSERT_GE(at, 0) << text.toStdString();
    const QChar key = text.at(at + 1).toUpper();
    EXPECT_TRUE(topKeys.emplace(key, text).second) << text.toStdString();
    if (top->menu() != nullptr) menus.push_back(top->menu());
  }
  for (std::size_t next = 0; next < menus.size(); ++next) {
    QMenu* menu = menus[next];
    emit menu->aboutToShow();  // lists such as the recent files fill in here
    std::map<QChar, QString> keys;
    for (QAction* action : menu->actions()) {
      // A disabled item such as the empty list's (なし) is never chosen.
      if (action->isSeparator() || !action->isVisible() || !action->isEnabled()) continue;
      const QString text = action->text();
      const qsizetype at = text.indexOf(QChar(u'&'));
      ASSERT_TRUE(at >= 0 && at + 1 < text.size())
          << menu->title().toStdString() << ": " << text.toStdString();
      EXPECT_TRUE(keys.emplace(text.at(at + 1).toUpper(), text).second)
          << menu->title().toStdString() << ": " << text.toStdString();
      if (action->menu() != nullptr) menus.push_back(action->menu());
    }
  }
  EXPECT_GE(menus.size(), 6u);
}

// The splitter stands between the panes in the tab order, where the
// keyboard reaches it.
TEST_F(MainWindowTest, TheSplitterIsBetweenThePanesInTheTabOrder) {
  Open();
  QApplication::setActiveWindow(window_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  Output()->setFocus();
  QTest::keyClick(Output(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), Splitter());
  QTest::keyClick(Splitter(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), Input());
}

// Opens the settings through the menu and closes the dialog with the
// button named `button` ("Command2_0" OK, "Command2_1" Cancel), after
// `edit` has had its turn on it.
void RunSettings(MainWindow& window, const char* button,
                 const std::function<void(QDialog&)>& edit) {
  QTimer::singleShot(0, &window, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    edit(*dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
  });
  window.findChild<QAction*>("Menu_Setting")->trigger();
}

TEST_F(MainWindowTest, SettingsCommandReconvertsAfterEitherButton) {
  Open();
  Input()->setPlainText(QStringLiteral("ー"));
  // The table changes behind the pane's back; even Cancel brings it in.
  settings_.rules.table.Append({u"ー", u"｜", kCell});
  RunSettings(*window_, "Command2_1", [](QDialog&) {});
  EXPECT_EQ(Shown(), QStringLiteral("｜"));

  RunSettings(*window_, "Command2_0", [](QDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QRadioButton*>("Option1_0"), Qt::LeftButton);
  });
  EXPECT_EQ(settings_.convertTrigger, kEnterKey);
  Input()->setPlainText(QStringLiteral("ーー"));
  RunSettings(*window_, "Command2_1", [](QDialog&) {});
  EXPECT_EQ(Shown(), QStringLiteral("｜"));  // Enter now converts, not settings
}

// ---- Open, drop and the command line ----

TEST_F(MainWindowTest, OpenLoadsTheChosenFileAndConverts) {
  Put("in.txt", Cp932(u"縦\r\nab\r\n"));
  Open();
  services_.openAnswers.push_back(PathOf("in.txt"));
  Trigger("Menu_File_Open");
  ASSERT_EQ(services_.openCalls.size(), 1u);
  EXPECT_EQ(services_.openCalls[0].owner, window_.get());
  EXPECT_EQ(services_.openCalls[0].filters, (QStringList{QStringLiteral("テキスト(*.txt)"),
                                                         QStringLiteral("全てのファイル(*.*)")}));
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("縦\nab"));
  EXPECT_EQ(Shown(), QStringLiteral("ａ縦\nｂ　"));

  // Cancelling changes nothing.
  Trigger("Menu_File_Open");
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("縦\nab"));
  EXPECT_TRUE(services_.messages.empty());
}

// A selection of the output pane covers cells, which hold other characters
// once the layout changes: typing or opening drops it, and Ctrl+C then
// copies nothing.
TEST_F(MainWindowTest, ANewLayoutDropsTheOutputSelection) {
  Put("in.txt", "xyz");
  Open();
  Type(QStringLiteral("ab"));
  const std::vector<std::function<void()>> changes = {[&] { Type(QStringLiteral("c")); },
                                                      [&] { OpenFile("in.txt"); }};
  for (const auto& change : changes) {
    QTest::keyClick(Output(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(Output()->HasSelection());
    change();
    EXPECT_FALSE(Output()->HasSelection());
    QApplication::clipboard()->clear();
    QTest::keyClick(Output(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString());
  }
}

TEST_F(MainWindowTest, OpenedFileWaitsForTheKeyUnderTriggerZero) {
  Put("in.txt", "ab");
  Open(kEnterKey);
  services_.openAnswers.push_back(PathOf("in.txt"));
  Trigger("Menu_File_Open");
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("ab"));
  EXPECT_EQ(Shown(), QString());
}

TEST_F(MainWindowTest, FailedReadIsShownAndLeavesThePanes) {
  Open();
  QTest::keyClicks(Input(), QStringLiteral("x"));
  services_.openAnswers.push_back(PathOf("missing.txt"));
  Trigger("Menu_File_Open");
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages[0].icon, MessageIcon::Error);
  EXPECT_TRUE(services_.messages[0].text.contains(PathOf("missing.txt")));
  EXPECT_TRUE(services_.messages[0].text.contains(
      QStringLiteral("ファイルまたはフォルダーが見つかりません。")));
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("x"));
  EXPECT_EQ(Shown(), QStringLiteral("ｘ"));
}

QMimeData* FileDrop(const QStringList& paths) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  for (const QString& path : paths) urls.push_back(QUrl::fromLocalFile(path));
  data->setUrls(urls);
  return data;
}

// Sends a whole drag: enter, then drop. Returns the drop event's verdict.
bool Drop(QWidget* target, QMimeData* data, Qt::DropAction* action = nullptr) {
  const QPoint at(10, 10);
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  if (action != nullptr) *action = drop.dropAction();
  return drop.isAccepted();
}

TEST_F(MainWindowTest, DropLoadsTheFirstFileWhateverItsExtension) {
  Put("first.csv", "a,b");
  Put("second.txt", "second");
  Put("third.txt", "third");
  Open();
  QMimeData* data = FileDrop({PathOf("first.csv"), PathOf("second.txt"), PathOf("third.txt")});
  Qt::DropAction action = Qt::IgnoreAction;
  EXPECT_TRUE(Drop(Input()->viewport(), data, &action));
  EXPECT_EQ(action, Qt::CopyAction);
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("a,b"));
  EXPECT_EQ(Shown(), QStringLiteral("ａ\n，\nｂ"));
  delete data;
}

struct TextDropCase {
  const char* name;
  QString dropped;
  QString after;  // the input pane after the drop after its first character
};

class MainWindowTextDropTest : public MainWindowTest,
                               public testing::WithParamInterface<TextDropCase> {};

// Dragged text is dropped where it lands, as a paste that one undo takes
// back, and converted like typed text.
TEST_P(MainWindowTextDropTest, DropsAsAPaste) {
  const TextDropCase& c = GetParam();
  Open();
  QTest::keyClicks(Input(), QStringLiteral("keep"));
  auto* data = new QMimeData;
  data->setText(c.dropped);
  EXPECT_TRUE(Drop(Input()->viewport(), data));
  EXPECT_EQ(Input()->toPlainText(), c.after);
  // Converted at once, as typed text is.
  EXPECT_TRUE(Shown().contains(QStringLiteral("ｅ")));
  Input()->setFocus();
  QTest::keyClick(Input(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("keep"));
  delete data;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MainWindowTextDropTest,
    testing::Values(TextDropCase{"Word", QStringLiteral("ab"), QStringLiteral("kabeep")},
                    TextDropCase{"Lines", QStringLiteral("縦\r\n書き\n"),
                                 QStringLiteral("k縦\n書き\neep")},
                    // A link's text is text: only a local file is read.
                    TextDropCase{"WebAddress", QStringLiteral("https://example.org/a.txt"),
                                 QStringLiteral("khttps://example.org/a.txteep")}),
    testing_support::CaseName());

TEST_F(MainWindowTest, DropOfAFolderIsReported) {
  Open();
  QMimeData* data = FileDrop({QString::fromStdString(folder_.path())});
  Drop(Input()->viewport(), data);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains(QStringLiteral("フォルダーです。")));
  delete data;
}

struct CommandLineCase {
  const char* name;
  std::vector<std::string> arguments;  // "@" stands for the test's folder
  const char* text;                    // Text1 afterwards
  bool reported;
};

class MainWindowCommandLineTest : public MainWindowTest,
                                  public testing::WithParamInterface<CommandLineCase> {};

TEST_P(MainWindowCommandLineTest, LoadsTheNamedFileOrSaysWhy) {
  Put("my notes.txt", "ab");
  testing_support::WriteFile(folder_.PathOf("name-\xff.txt"), "ab");
  testing_support::WriteFile(folder_.PathOf("名前.txt"), "ab");
  Open();
  std::vector<std::string> arguments;
  for (std::string argument : GetParam().arguments) {
    if (argument.find('@') != std::string::npos) {
      argument.replace(argument.find('@'), 1, folder_.PathOf(""));
    }
    arguments.push_back(argument);
  }
  window_->LoadStartupFile(arguments);
  EXPECT_EQ(Input()->toPlainText(), QString::fromUtf8(GetParam().text));
  EXPECT_EQ(services_.messages.size(), GetParam().reported ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, MainWindowCommandLineTest,
    testing::Values(
        CommandLineCase{"Empty", {}, "", false},
        CommandLineCase{"PathWithSpaces", {"@my notes.txt"}, "ab", false},
        CommandLineCase{"PathSplitAtItsSpace", {"@my", "notes.txt"}, "ab", false},
        CommandLineCase{"QuotedPath", {"\"@my notes.txt\""}, "ab", false},
        CommandLineCase{"UnclosedQuoteLosesTheLastCharacter", {"\"@my notes.txtx"}, "ab", false},
        CommandLineCase{"LoneQuote", {"\""}, "", true},
        CommandLineCase{"EmptyName", {"\"\""}, "", true},
        CommandLineCase{"MissingFile", {"@gone.txt"}, "", true},
        // The system's bytes, not text: Qt's own decoding of the
        // arguments turned \xff into U+FFFD.
        CommandLineCase{"NameThatIsNotUtf8", {"@name-\xff.txt"}, "ab", false},
        CommandLineCase{"QuotedNameThatIsNotUtf8", {"\"@name-\xff.txt\""}, "ab", false},
        CommandLineCase{"UnclosedQuoteLosesAWholeCharacter", {"\"@名前.txt字"}, "ab", false}),
    testing_support::CaseName());

// ---- Save ----

struct SavePathCase {
  const char* name;
  const char* chosen;
  const char* saved;
};

class MainWindowSavePathTest : public MainWindowTest,
                               public testing::WithParamInterface<SavePathCase> {};

TEST_P(MainWindowSavePathTest, AppendsTxtUnlessTheNameEndsInIt) {
  Open();
  QTest::keyClicks(Input(), QStringLiteral("ab"));
  services_.saveAnswers.push_back(PathOf(GetParam().chosen));
  Trigger("Menu_File_Save");
  EXPECT_EQ(Bytes(GetParam().saved), Cp932(u"ａ\r\nｂ"));
  EXPECT_TRUE(services_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, MainWindowSavePathTest,
                         testing::Values(SavePathCase{"Plain", "memo", "memo.txt"},
                                         SavePathCase{"Lower", "memo.txt", "memo.txt"},
                                         SavePathCase{"Upper", "memo.TXT", "memo.TXT"},
                                         SavePathCase{"Mixed", "memo.Txt", "memo.Txt"},
                                         SavePathCase{"OtherExtension", "memo.log", "memo.log.txt"},
                                         SavePathCase{"TxtInside", "memo.txt.bak",
                                                      "memo.txt.bak.txt"},
                                         SavePathCase{"Short", "a.tx", "a.tx.txt"}),
                         testing_support::CaseName());

// ---- An output older than the input ----

struct StaleCase {
  const char* name;
  ConvertTrigger trigger;
  Qt::Key key;
  const char* command;  // run while the output is older than the input
};

class MainWindowStaleTest : public MainWindowTest, public testing::WithParamInterface<StaleCase> {};

// Under the Enter and F1 triggers the output waits for its key: meanwhile
// it is said to be older than the input, and a command that takes it
// converts first, so that it takes what the input pane shows.
TEST_P(MainWindowStaleTest, CommandsTakeWhatTheInputShows) {
  const StaleCase& c = GetParam();
  Open(c.trigger);
  auto* staleShown = window_->findChild<QLabel*>(QStringLiteral("StaleShown"));
  Type(QStringLiteral("ab"));
  QTest::keyClick(Input(), c.key);
  EXPECT_FALSE(Output()->stale());
  EXPECT_TRUE(staleShown->isHidden());
  Type(QStringLiteral("c"));
  EXPECT_TRUE(Output()->stale());
  EXPECT_FALSE(Shown().contains(QStringLiteral("ｃ")));
  EXPECT_FALSE(staleShown->isHidden());
  EXPECT_TRUE(staleShown->text().contains(c.trigger == kF1Key ? "F1" : "Enter"));

  services_.saveAnswers = {PathOf("out")};
  QGuiApplication::clipboard()->clear();
  Trigger(c.command);
  EXPECT_FALSE(Output()->stale());
  EXPECT_TRUE(staleShown->isHidden());
  EXPECT_TRUE(Shown().contains(QStringLiteral("ｃ")));
  QString taken = Shown();
  if (std::string_view(c.command) == "Menu_File_Save") {
    EXPECT_EQ(Bytes("out.txt"),
              Cp932(taken.replace(QChar(u'\n'), QStringLiteral("\r\n")).toStdU16String()));
  } else if (std::string_view(c.command) == "Menu_Convert_Copy") {
    EXPECT_EQ(QGuiApplication::clipboard()->text(), taken);
  } else {
    EXPECT_TRUE(fs::exists(PathOf("out.png").toStdString()));
  }
  EXPECT_TRUE(services_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MainWindowStaleTest,
    testing::Values(StaleCase{"SaveUnderEnter", kEnterKey, Qt::Key_Return, "Menu_File_Save"},
                    StaleCase{"SaveUnderF1", kF1Key, Qt::Key_F1, "Menu_File_Save"},
                    StaleCase{"CopyUnderF1", kF1Key, Qt::Key_F1, "Menu_Convert_Copy"},
                    StaleCase{"PictureUnderEnter", kEnterKey, Qt::Key_Return,
                              "Menu_Convert_SaveImage"}),
    testing_support::CaseName());

// Settings changed under a waiting trigger leave the output older than
// them; cancelled, they leave it as it was.
TEST_F(MainWindowTest, ChangedSettingsLeaveTheOutputOlderUnderAWaitingTrigger) {
  Open(kF1Key);
  Type(QStringLiteral("a"));
  QTest::keyClick(Input(), Qt::Key_F1);
  for (const bool accept : {false, true}) {
    QTimer::singleShot(0, [accept] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      if (accept) {
        dialog->accept();
      } else {
        dialog->reject();
      }
    });
    Trigger("Menu_Setting");
    EXPECT_EQ(Output()->stale(), accept);
  }
}

// ---- Saves ----

struct AskCase {
  const char* name;
  const char* command;
  const char* chosen;              // in the test's folder unless absolute
  std::vector<const char*> there;  // files that exist before the save
  const char* written;             // what the save writes, and asks about when it is there
  bool asks;
};

class MainWindowAskTest : public MainWindowTest, public testing::WithParamInterface<AskCase> {};

// Every save asks about the file it will write, once, and only when that
// file is there: the name chosen in the dialog may still take a suffix.
TEST_P(MainWindowAskTest, AsksOnceAboutTheFileItWrites) {
  const AskCase& c = GetParam();
  const auto path = [&](const char* name) {
    return name[0] == '/' ? QString::fromUtf8(name) : PathOf(name);
  };
  for (const char* name : c.there) Put(name, "old");
  Open();
  Type(QStringLiteral("a"));
  services_.saveAnswers = {path(c.chosen)};
  services_.proceedAnswers = {true};
  Trigger(c.command);
  ASSERT_EQ(services_.questions.size(), c.asks ? 1u : 0u);
  if (c.asks) {
    EXPECT_EQ(services_.questions[0],
              QStringLiteral("%1 は既に存在します。\r\n置き換えますか?").arg(path(c.written)));
  }
  if (c.written[0] == '/') {
    // No file can be made there: the message names the file it tried.
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_TRUE(services_.messages[0].text.contains(path(c.written)));
    return;
  }
  EXPECT_NE(Bytes(c.written), "old");
  for (const char* name : c.there) {
    if (std::string_view(name) != c.written) {
      EXPECT_EQ(Bytes(name), "old");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Saves, MainWindowAskTest,
    testing::Values(
        AskCase{"TextOverItsName", "Menu_File_Save", "memo.txt", {"memo.txt"}, "memo.txt", true},
        AskCase{"TextBesideTheChosenName", "Menu_File_Save", "memo", {"memo"}, "memo.txt", false},
        AskCase{"TextOverTheNameWithTxt",
                "Menu_File_Save",
                "memo",
                {"memo", "memo.txt"},
                "memo.txt",
                true},
        AskCase{"ProcVersion", "Menu_File_Save", "/proc/version", {}, "/proc/version.txt", false},
        AskCase{"PictureOverItsName",
                "Menu_Convert_SaveImage",
                "pic.png",
                {"pic.png"},
                "pic.png",
                true},
        AskCase{"PictureBesideTheChosenName",
                "Menu_Convert_SaveImage",
                "pic",
                {"pic"},
                "pic.png",
                false}),
    testing_support::CaseName());

struct ReportCase {
  const char* name;
  const char* command;
  const char* chosen;
  QString filter;
  QString said;  // %1: the file written
};

class MainWindowReportTest : public MainWindowTest,
                             public testing::WithParamInterface<ReportCase> {};

// Each command that takes the output says what it did, in place of what
// was said before.
TEST_P(MainWindowReportTest, SaysWhatTheCommandDid) {
  const ReportCase& c = GetParam();
  Open();
  Type(QStringLiteral("a"));
  window_->statusBar()->showMessage(QStringLiteral("前の知らせ"));
  services_.saveAnswers = {PathOf(c.chosen)};
  services_.saveFilterAnswers = {c.filter};
  Trigger(c.command);
  EXPECT_EQ(Status(), c.said.arg(PathOf(c.chosen)));
  // A command that ends at once leaves nothing of the last message.
  services_.saveAnswers.clear();
  Trigger(c.command == std::string_view("Menu_Convert_Copy") ? "Menu_File_Save" : c.command);
  EXPECT_EQ(Status(), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MainWindowReportTest,
    testing::Values(
        ReportCase{"Text", "Menu_File_Save", "out.txt", {}, "Shift_JIS で保存しました: %1"},
        ReportCase{"TextUtf8", "Menu_File_Save", "out.txt", SaveFileFilter(Charset::Utf8),
                   "UTF-8 で保存しました: %1"},
        ReportCase{"Png", "Menu_Convert_SaveImage", "out.png", {}, "PNG 画像で保存しました: %1"},
        ReportCase{"Pdf", "Menu_Convert_SaveImage", "out.pdf", {}, "PDF で保存しました: %1"},
        ReportCase{
            "Copy", "Menu_Convert_Copy", "unused", {}, "縦書きをクリップボードにコピーしました。"}),
    testing_support::CaseName());

TEST_F(MainWindowTest, SavingAnEmptyPaneEmptiesTheFile) {
  Put("out.txt", "old");
  Open();
  services_.saveAnswers.push_back(PathOf("out.txt"));
  services_.proceedAnswers = {true};
  Trigger("Menu_File_Save");
  EXPECT_EQ(fs::file_size(PathOf("out.txt").toStdString()), 0u);
}

TEST_F(MainWindowTest, AskesBeforeReplacingTheFileThatTxtLeadsTo) {
  Put("memo.txt", "old");
  Open();
  QTest::keyClicks(Input(), QStringLiteral("a"));
  services_.saveAnswers = {PathOf("memo"), PathOf("memo")};
  services_.proceedAnswers = {false, true};
  Trigger("Menu_File_Save");
  ASSERT_EQ(services_.questions.size(), 1u);
  EXPECT_TRUE(services_.questions[0].contains(PathOf("memo.txt")));
  EXPECT_EQ(Bytes("memo.txt"), "old");
  Trigger("Menu_File_Save");
  EXPECT_EQ(Bytes("memo.txt"), Cp932(u"ａ"));
}

TEST_F(MainWindowTest, WarnsBeforeCharactersBecomeQuestionMarks) {
  Open();
  Commit(Input(), QStringLiteral("😀a"));
  services_.saveAnswers = {PathOf("out.txt")};
  services_.proceedAnswers = {false};
  Trigger("Menu_File_Save");
  ASSERT_EQ(services_.questions.size(), 1u);
  EXPECT_TRUE(services_.questions[0].contains(QStringLiteral("1 文字")));
  EXPECT_TRUE(services_.questions[0].contains(QStringLiteral("😀")));
  EXPECT_FALSE(fs::exists(PathOf("out.txt").toStdString()));
  EXPECT_EQ(Status(), QStringLiteral("保存しませんでした。"));

  services_.proceedAnswers = {true};
  services_.saveAnswers = {PathOf("out.txt")};
  Trigger("Menu_File_Save");
  EXPECT_EQ(Bytes("out.txt"), "?\r\n" + Cp932(u"ａ"));
  EXPECT_EQ(Status(), QStringLiteral("Shift_JIS で保存しました: ") + PathOf("out.txt"));
}

TEST_F(MainWindowTest, FailedWriteIsShownAndKeepsTheOldFile) {
  Put("locked.txt", "old");
  ASSERT_EQ(::chmod(PathOf("locked.txt").toStdString().c_str(), 0444), 0);
  Open();
  QTest::keyClicks(Input(), QStringLiteral("a"));
  services_.saveAnswers = {PathOf("locked.txt"), PathOf("no/folder/out.txt")};
  services_.proceedAnswers = {true};
  Trigger("Menu_File_Save");
  Trigger("Menu_File_Save");
  ASSERT_EQ(services_.messages.size(), 2u);
  EXPECT_TRUE(services_.messages[0].text.contains(PathOf("locked.txt")));
  EXPECT_TRUE(
      services_.messages[0].text.contains(QStringLiteral("アクセスが許可されていません。")));
  EXPECT_TRUE(services_.messages[1].text.contains(
      QStringLiteral("ファイルまたはフォルダーが見つかりません。")));
  EXPECT_EQ(Bytes("locked.txt"), "old");
  EXPECT_EQ(Shown(), QStringLiteral("ａ"));
}

TEST_F(MainWindowTest, TooLargeOutputIsExplainedAndNotSaved) {
  Open();
  window_->SetMaxLayoutCells(5);
  QTest::keyClicks(Input(), QStringLiteral("abc"));
  QTest::keyClick(Input(), Qt::Key_Return);  // 2 lines × 3: 6 cells
  // Shown, since the pane draws only the cells in view; never saved whole.
  EXPECT_EQ(Shown(), QStringLiteral("　ａ\n　ｂ\n　ｃ"));
  EXPECT_EQ(Output()->message(), QString());
  services_.saveAnswers = {PathOf("out.txt")};
  Trigger("Menu_File_Save");
  EXPECT_TRUE(services_.saveCalls.empty());
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains(QStringLiteral("2 行")));
  EXPECT_TRUE(services_.messages[0].text.contains(QStringLiteral("最長 3 文字")));
  EXPECT_FALSE(fs::exists(PathOf("out.txt").toStdString()));

  QTest::keyClick(Input(), Qt::Key_Backspace);  // back to 3 cells
  EXPECT_EQ(Output()->message(), QString());
  EXPECT_EQ(Shown(), QStringLiteral("ａ\nｂ\nｃ"));
}

// Replacements that would make the text too long for any layout are
// refused before they build it: the pane says why, the input stays as it
// is, nothing is saved, and a shorter text is shown again.
TEST_F(MainWindowTest, ReplacementsThatGrowPastTheBoundAreRefused) {
  const SwapEntry thousand{u"あ", std::u16string(1000, u'あ'), kWholeText};
  for (int i = 0; i < 3; ++i) settings_.rules.table.Append(thousand);
  Open();
  TypeCommitted(QStringLiteral("いあ"));
  EXPECT_TRUE(Output()->message().startsWith(QStringLiteral("置き換えると大きすぎる")))
      << Output()->message().toStdString();
  EXPECT_TRUE(Output()->message().contains(QStringLiteral("上限の 268435456 文字")));
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("いあ"));
  services_.saveAnswers = {PathOf("out.txt")};
  Trigger("Menu_File_Save");
  EXPECT_TRUE(services_.saveCalls.empty());
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains(QStringLiteral("置き換えると大きすぎる")));

  QTest::keyClick(Input(), Qt::Key_Backspace);
  EXPECT_EQ(Output()->message(), QString());
  EXPECT_EQ(Shown(), QStringLiteral("い"));
}

// ---- Window, splitter and menus ----

// The title names the file the text came from, and marks a text that
// differs from it, step by step of undo and redo.
TEST_F(MainWindowTest, TheTitleNamesTheFileAndMarksChanges) {
  Put("in.txt", "x");
  Open();
  const auto undo = [&] { QTest::keyClick(Input(), Qt::Key_Z, Qt::ControlModifier); };
  const struct {
    const char* name;
    std::function<void()> step;
    const char* title;
  } steps[] = {
      {"AtStart", [] {}, "無題 — Mirotabe"},
      {"Typed", [&] { Type(QStringLiteral("a")); }, "*無題 — Mirotabe"},
      {"UndoneToNothing", undo, "無題 — Mirotabe"},
      {"Read", [&] { OpenFile("in.txt"); }, "in.txt — Mirotabe"},
      {"TypedOnTheFile", [&] { Type(QStringLiteral("b")); }, "*in.txt — Mirotabe"},
      {"UndoneToTheFile", undo, "in.txt — Mirotabe"},
      {"ReadUndone", undo, "無題 — Mirotabe"},
      {"ReadRedone", [&] { QTest::keyClick(Input(), Qt::Key_Y, Qt::ControlModifier); },
       "in.txt — Mirotabe"},
      {"TypedAgain", [&] { Type(QStringLiteral("c")); }, "*in.txt — Mirotabe"},
      {"SavedAsText",
       [&] {
         services_.saveAnswers = {PathOf("out")};
         Trigger("Menu_File_SaveInput");
       },
       "out.txt — Mirotabe"},
      {"TypedOnTheSaved", [&] { Type(QStringLiteral("d")); }, "*out.txt — Mirotabe"},
      {"UndoneToTheSaved", undo, "out.txt — Mirotabe"},
      {"UndonePastTheSave", undo, "*out.txt — Mirotabe"},
      {"VerticalSaveNamesNothing",
       [&] {
         services_.saveAnswers = {PathOf("vertical")};
         Trigger("Menu_File_Save");
       },
       "*out.txt — Mirotabe"},
  };
  for (const auto& s : steps) {
    s.step();
    EXPECT_EQ(window_->windowHandle()->title(), QString::fromUtf8(s.title)) << s.name;
  }
  EXPECT_EQ(Bytes("out.txt"), "xc");
}

struct InputSaveCase {
  const char* name;
  std::string_view read;  // the file read first, "" for none
  const char* typed;
  std::optional<Charset> chosen;  // the type chosen in the dialog, if not the one offered
  Charset offered;
  std::string_view saved;
  bool warned;
};

class MainWindowInputSaveTest : public MainWindowTest,
                                public testing::WithParamInterface<InputSaveCase> {};

// 横書きを保存 writes the input as it was typed, in the encoding the text was
// read in unless another is chosen, and warns of what Shift_JIS loses.
TEST_P(MainWindowInputSaveTest, SavesTheTextAsTyped) {
  const InputSaveCase& c = GetParam();
  Open();
  if (!c.read.empty()) {
    Put("in.txt", c.read);
    OpenFile("in.txt");
  }
  Commit(Input(), QString::fromUtf8(c.typed));
  services_.saveAnswers = {PathOf("out.txt")};
  if (c.chosen) services_.saveFilterAnswers = {SaveFileFilter(*c.chosen, SavedText::kHorizontal)};
  services_.proceedAnswers = {true};
  Trigger("Menu_File_SaveInput");
  ASSERT_EQ(services_.saveCalls.size(), 1u);
  EXPECT_EQ(services_.saveCalls[0].selectedFilter,
            SaveFileFilter(c.offered, SavedText::kHorizontal));
  EXPECT_EQ(services_.questions.size(), c.warned ? 1u : 0u);
  EXPECT_EQ(Bytes("out.txt"), c.saved);
  EXPECT_TRUE(Status().startsWith(QStringLiteral("横書きを ")));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, MainWindowInputSaveTest,
    testing::Values(
        InputSaveCase{
            "TypedInShiftJis", "", "ｱ\nあ", {}, Charset::Cp932, "\xB1\r\n\x82\xA0", false},
        InputSaveCase{"EmojiBecomesAQuestionMark", "", "😀a", {}, Charset::Cp932, "?a", true},
        InputSaveCase{"ChosenUtf8", "", "😀a", Charset::Utf8, Charset::Cp932,
                      "\xF0\x9F\x98\x80"
                      "a",
                      false},
        InputSaveCase{"ReadAsUtf8StaysUtf8",
                      "\xE7\xB8\xA6",
                      "\n",
                      {},
                      Charset::Utf8,
                      "\r\n\xE7\xB8\xA6",
                      false},
        InputSaveCase{"ReadAsEucJpOffersTheLastChoice",
                      "\xA4\xA2\xA4\xA4\xA4\xA6",
                      "",
                      {},
                      Charset::Cp932,
                      "\x82\xA0\x82\xA2\x82\xA4",
                      false}),
    testing_support::CaseName());

TEST_F(MainWindowTest, OpensWithItsCaptionSizeAndCentredSplitter) {
  Open();
  EXPECT_EQ(window_->windowIcon().availableSizes(),
            (QList<QSize>{QSize(16, 16), QSize(32, 32), QSize(48, 48)}));
  ASSERT_EQ(window_->logicalDpiX(), 96);
  EXPECT_EQ(window_->centralWidget()->size(), QSize(604, 352));
  EXPECT_EQ(window_->geometryInTwips().splitter.left, 4500);
  EXPECT_EQ(Splitter()->geometry(), QRect(300, 0, 4, 352));
  EXPECT_EQ(Input()->geometry(), QRect(0, 0, 300, 352));
  EXPECT_EQ(Output()->geometry(), QRect(304, 0, 300, 352));
  EXPECT_EQ(Splitter()->cursor().shape(), Qt::SizeHorCursor);
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(Output())->state().readOnly);
  // Both panes are text to a screen reader; only the names tell them apart.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Input())->text(QAccessible::Name),
            QStringLiteral("入力"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Output())->text(QAccessible::Name),
            QStringLiteral("縦書き"));
  for (QWidget* pane : {static_cast<QWidget*>(Input()), static_cast<QWidget*>(Output())}) {
    EXPECT_FALSE(
        QAccessible::queryAccessibleInterface(pane)->text(QAccessible::Description).isEmpty());
  }
  // The columns stand straight only when every full-width cell is as wide
  // as every other: the set-up installs IPAGothic for that.
  EXPECT_EQ(QFontInfo(Output()->font()).family(), QStringLiteral("IPAGothic"));
  const QFontMetrics metrics(Output()->font());
  for (const QString& cell : {QStringLiteral("ａ"), QStringLiteral("｜"), QStringLiteral("　"),
                              QStringLiteral("漢"), QStringLiteral("ー")}) {
    EXPECT_EQ(metrics.horizontalAdvance(cell), metrics.horizontalAdvance(QStringLiteral("あ")))
        << cell.toStdString();
  }
  EXPECT_EQ(Input()->lineWrapMode(), QPlainTextEdit::NoWrap);
}

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

TEST_F(MainWindowTest, DraggingTheSplitterWithAnyButtonMovesThePanes) {
  Open();
  for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
    const float before = window_->geometryInTwips().splitter.left;
    SendMouse(Splitter(), QEvent::MouseButtonPress, button, QPoint(2, 50));
    SendMouse(Splitter(), QEvent::MouseMove, button, QPoint(32, 50));  // 30 px: 450 twips
    EXPECT_EQ(window_->geometryInTwips().splitter.left, before + 450);
    SendMouse(Splitter(), QEvent::MouseButtonRelease, button, QPoint(2, 50));
  }
  EXPECT_EQ(Splitter()->x(), 360);
  EXPECT_EQ(Input()->width(), 360);
  EXPECT_EQ(Output()->x(), 364);

  // Hovering moves nothing; a size change keeps the share the drag left:
  // 5400 of 9000 twips.
  SendMouse(Splitter(), QEvent::MouseMove, Qt::NoButton, QPoint(40, 50));
  EXPECT_EQ(Splitter()->x(), 360);
  window_->resize(window_->width() + 1, window_->height());
  QApplication::processEvents();
  EXPECT_EQ(window_->geometryInTwips().splitter.left, 5409);

  // The keyboard moves it a twentieth at a time.
  Splitter()->setFocus();
  QTest::keyClick(Splitter(), Qt::Key_Left);
  EXPECT_EQ(window_->geometryInTwips().split, 0.55);
  QTest::keyClick(Splitter(), Qt::Key_Right);
  QTest::keyClick(Splitter(), Qt::Key_Right);
  EXPECT_EQ(window_->geometryInTwips().split, 0.65);

  // The window's size and the share are there again at the next start.
  window_->resize(700, 400);
  const QSize size = window_->size();
  window_->close();
  Open();
  EXPECT_EQ(window_->size(), size);
  EXPECT_EQ(window_->geometryInTwips().split, 0.65);
  EXPECT_NEAR(Input()->width(), (Input()->width() + Output()->width()) * 0.65, 1);
}

TEST_F(MainWindowTest, DragPastTheLeftEdgeKeepsTheInputPane) {
  Open();
  SendMouse(Splitter(), QEvent::MouseButtonPress, Qt::LeftButton, QPoint(0, 50));
  SendMouse(Splitter(), QEvent::MouseMove, Qt::LeftButton, QPoint(-290, 50));
  EXPECT_EQ(Input()->width(), 10);
  SendMouse(Splitter(), QEvent::MouseMove, Qt::LeftButton, QPoint(-20, 50));
  EXPECT_LT(window_->geometryInTwips().splitter.left, 0);
  EXPECT_EQ(Input()->width(), 10);
  EXPECT_EQ(Output()->x(), -10 + 4);
}

TEST_F(MainWindowTest, MenusHaveTheirCaptionsAndShortcuts) {
  Open();
  const auto text = [&](const char* name) { return window_->findChild<QAction*>(name)->text(); };
  EXPECT_EQ(text("Menu_File_Open"), QStringLiteral("開く(&O)"));
  EXPECT_EQ(text("Menu_File_Save"), QStringLiteral("縦書きを保存(&S)"));
  EXPECT_EQ(text("Menu_File_Exit"), QStringLiteral("終了(&X)"));
  EXPECT_EQ(text("Menu_Setting"), QStringLiteral("設定(&S)"));
  EXPECT_EQ(text("Menu_Help_Version"), QStringLiteral("バージョン情報(&A)"));
  EXPECT_EQ(text("Menu_Help_Usage"), QStringLiteral("使い方(&U)"));
  // The window's help names the addresses this build was configured with.
  EXPECT_EQ(Action("Menu_Help_HP") != nullptr, !ConfiguredAuthorAddresses().homePage.isEmpty());
  EXPECT_EQ(window_->findChild<QAction*>("Menu_File_Open")->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(window_->findChild<QAction*>("Menu_File_Save")->shortcut(), QKeySequence("Ctrl+S"));
  QStringList bar;
  for (QAction* action : window_->menuBar()->actions()) bar.push_back(action->text());
  EXPECT_EQ(bar, (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"),
                              QStringLiteral("変換(&C)"), QStringLiteral("表示(&V)"),
                              QStringLiteral("設定(&S)"), QStringLiteral("ヘルプ(&H)")}));
  // The command that rewrites the input is not the first of its menu.
  const QList<QAction*> convert = window_->findChild<QMenu*>("Menu_Convert")->actions();
  EXPECT_EQ(convert.back()->objectName(), QStringLiteral("Menu_Convert_Reverse"));
}

TEST_F(MainWindowTest, ShortcutsReachTheCommands) {
  Open();
  QApplication::setActiveWindow(window_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  Input()->setFocus();
  QTest::keyClick(Input(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(services_.openCalls.size(), 1u);
  QTest::keyClick(Input(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(services_.saveCalls.size(), 1u);
  QTest::keyClick(Input(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(services_.saveCalls.size(), 2u);
  EXPECT_EQ(services_.saveCalls[1].filters, SaveFileFilters(SavedText::kHorizontal));
}

// A build names the author's real addresses or none: the version box
// names those there are, and 作者ＨＰ is there only with a home page, which
// it opens each time it is chosen.
struct AuthorCase {
  const char* name;
  AuthorAddresses author;
  QStringList addressLines;
};

class HelpMenuTest : public testing::TestWithParam<AuthorCase> {};

TEST_P(HelpMenuTest, NamesAndOpensOnlyTheAddressesOfTheBuild) {
  const AuthorCase& c = GetParam();
  QMainWindow window;
  testing_ui::ScriptedUiServices services;
  const AppSettings settings;
  (new HelpMenu(&window, services, settings, c.author))
      ->AddCommands(window.menuBar()->addMenu(QStringLiteral("help")));
  window.findChild<QAction*>("Menu_Help_Version")->trigger();
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(services.messages[0].text.split(QStringLiteral("\r\n")),
            QStringList({QStringLiteral("Mirotabe Ver.1.1.0"), QStringLiteral("By Orubeni")}) +
                c.addressLines);
  // Below: the licence and the libraries, Qt's version as it runs.
  ASSERT_EQ(services.aboutDetails.size(), 1u);
  EXPECT_TRUE(services.aboutDetails[0].startsWith(QStringLiteral("ライセンス: ")));
  EXPECT_TRUE(services.aboutDetails[0].contains(QStringLiteral("Qt ") + qVersion()));

  auto* homePage = window.findChild<QAction*>("Menu_Help_HP");
  ASSERT_EQ(homePage != nullptr, !c.author.homePage.isEmpty());
  if (homePage == nullptr) return;
  homePage->trigger();
  homePage->trigger();
  EXPECT_EQ(services.openedUrls, (std::vector<QString>{c.author.homePage, c.author.homePage}));
}

INSTANTIATE_TEST_SUITE_P(Builds, HelpMenuTest,
                         testing::Values(AuthorCase{"Both",
                                                    {QStringLiteral("https://orubeni.jp/mirotabe/"),
                                                     QStringLiteral("orubeni@orubeni.jp")},
                                                    {QStringLiteral("https://orubeni.jp/mirotabe/"),
                                                     QStringLiteral("orubeni@orubeni.jp")}},
                                         AuthorCase{"HomePageOnly",
                                                    {QStringLiteral("https://orubeni.jp/"), {}},
                                                    {QStringLiteral("https://orubeni.jp/")}},
                                         AuthorCase{"EmailOnly",
                                                    {{}, QStringLiteral("orubeni@orubeni.jp")},
                                                    {QStringLiteral("orubeni@orubeni.jp")}},
                                         AuthorCase{"None", {}, {}}),
                         testing_support::CaseName());

// The build puts the manual where the program of the build tree looks for
// it, so that 使い方 of a program run from the tree opens it.
TEST_F(MainWindowTest, UsageOpensTheManualOfTheBuildTree) {
  settings_.appFolder = ProgramFolder();
  Open();
  Trigger("Menu_Help_Usage");
  EXPECT_TRUE(services_.messages.empty());
  ASSERT_EQ(services_.openedUrls.size(), 1u);
  EXPECT_TRUE(QUrl(services_.openedUrls[0]).isLocalFile());
}

// A program in a folder whose name is not UTF-8 opens the manual of its own
// tree, by an address that keeps every byte; without it, it says so.
TEST_F(MainWindowTest, UsageOpensTheManualOfTheProgramsOwnTree) {
  settings_.appFolder = folder_.PathOf("copy \xff\xfe \xe7\xb8\xa6/bin/");
  const std::string manual = ManualPath(settings_.appFolder);
  ASSERT_TRUE(manual.starts_with(folder_.PathOf("copy \xff\xfe \xe7\xb8\xa6/")));
  fs::create_directories(fs::path(manual).parent_path());
  testing_support::WriteFile(manual, "<html></html>");
  Open();
  Trigger("Menu_Help_Usage");
  ASSERT_EQ(services_.openedUrls.size(), 1u);
  const QUrl opened(services_.openedUrls[0]);
  EXPECT_TRUE(opened.isLocalFile());
  EXPECT_EQ(QByteArray::fromPercentEncoding(opened.path(QUrl::FullyEncoded).toLatin1()),
            QByteArray::fromStdString(manual));

  fs::remove(manual);
  Trigger("Menu_Help_Usage");
  EXPECT_EQ(services_.openedUrls.size(), 1u);
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(
      services_.messages[0].text.startsWith(QStringLiteral("使い方のファイルが見つかりません")));
}

TEST_F(MainWindowTest, ExitClosesTheWindowWithoutAsking) {
  Open();
  QTest::keyClicks(Input(), QStringLiteral("unsaved"));
  Trigger("Menu_File_Exit");
  EXPECT_FALSE(window_->isVisible());
  EXPECT_TRUE(services_.questions.empty());
}

// ---- Layout options and reading back ----

TEST_F(MainWindowTest, TheOutputFollowsTheLayoutOptions) {
  settings_.rules.columns = {2, Kinsoku::kPushOut, 1};
  Open();
  Commit(Input(), QStringLiteral("あい。う"));
  EXPECT_EQ(Shown(), QStringLiteral("う　い　あ\n　　。　　"));
  // The caret's character is found in the columns the line was cut into.
  EXPECT_EQ(Output()->markedCell(), (CellPosition{0, 0}));
  QTest::keyClick(Input(), Qt::Key_Left);
  EXPECT_EQ(Output()->markedCell(), (CellPosition{1, 2}));
}

struct ReverseCase {
  const char* name;
  ConvertTrigger trigger;
  QString output;  // the output pane right after the command
};

class MainWindowReverseTest : public MainWindowTest,
                              public testing::WithParamInterface<ReverseCase> {};

// The command rewrites the input pane as an edit: under the every-change
// trigger the output follows at once, under the others it waits for its
// key, and undo brings the vertical text back.
TEST_P(MainWindowReverseTest, PutsTheHorizontalTextIntoTheInputPane) {
  Open(GetParam().trigger);
  Commit(Input(), QStringLiteral("ｃａ\n　ｂ"));
  window_->Convert();
  const QString before = Shown();
  Trigger("Menu_Convert_Reverse");
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("ａｂ\nｃ"));
  EXPECT_EQ(Shown(), GetParam().output.isNull() ? before : GetParam().output);

  Input()->setFocus();
  QTest::keyClick(Input(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("ｃａ\n　ｂ"));
}

INSTANTIATE_TEST_SUITE_P(MainWindow, MainWindowReverseTest,
                         testing::Values(ReverseCase{"EveryChange", kEveryChange,
                                                     QStringLiteral("ｃａ\n　ｂ")},
                                         ReverseCase{"WaitsForEnter", kEnterKey, QString()},
                                         ReverseCase{"WaitsForF1", kF1Key, QString()}),
                         testing_support::CaseName());

TEST_F(MainWindowTest, ReadingBackTooMuchIsExplainedAndChangesNothing) {
  Open();
  window_->SetMaxLayoutCells(5);
  Commit(Input(), QStringLiteral("ａｂｃ\nｄ"));  // 2 rows × 3: 6 cells
  Trigger("Menu_Convert_Reverse");
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("ａｂｃ\nｄ"));
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_EQ(services_.messages.front().icon, MessageIcon::Error);
  EXPECT_EQ(services_.messages.front().text,
            QStringLiteral("大きすぎるため横書きに戻せません。\r\n"
                           "2 行 × 最長 3 文字は、上限の 5 文字を超えています。"));
}

}  // namespace
}  // namespace mirotabe

namespace mirotabe {
namespace {

// Ctrl+plus, Ctrl+minus, Ctrl+0 and Ctrl with the wheel zoom both panes,
// Ctrl+T turns 縦組み表示 off, and the size and the view are there again
// when the program starts anew.
TEST_F(MainWindowTest, ZoomAndTheVerticalViewAreKeptAcrossARestart) {
  Open();
  QApplication::setActiveWindow(window_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  Input()->setFocus();
  const int first = QFontInfo(Input()->font()).pointSize();
  EXPECT_EQ(first, 9);
  QTest::keyClick(Input(), Qt::Key_Plus, Qt::ControlModifier);
  QTest::keyClick(Input(), Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_EQ(Input()->font().pointSize(), 11);
  QTest::keyClick(Input(), Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(Output()->font().pointSize(), 10);
  QWheelEvent wheel(QPointF(5, 5), Output()->mapToGlobal(QPoint(5, 5)), {}, QPoint(0, 240),
                    Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(Output()->viewport(), &wheel);
  EXPECT_EQ(Input()->font().pointSize(), 12);
  EXPECT_EQ(Output()->font().pointSize(), 12);
  // On until the user turns it off, with its key.
  EXPECT_TRUE(Output()->verticalGlyphs());
  QTest::keyClick(Input(), Qt::Key_T, Qt::ControlModifier);
  EXPECT_FALSE(Output()->verticalGlyphs());

  window_.reset();
  AppSettings reloaded;
  reloaded.appFolder = settings_.appFolder;
  ASSERT_TRUE(LoadSettings(reloaded, SettingsFile(reloaded)).ok());
  settings_ = reloaded;
  Open();
  EXPECT_EQ(Input()->font().pointSize(), 12);
  EXPECT_EQ(Output()->font().pointSize(), 12);
  EXPECT_FALSE(Output()->verticalGlyphs());
  EXPECT_FALSE(Action("Menu_View_Vertical")->isChecked());
  Trigger("Menu_View_ZoomReset");
  EXPECT_EQ(Output()->font().pointSize(), 9);
}

}  // namespace
}  // namespace mirotabe
