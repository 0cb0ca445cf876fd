#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <system_error>

#include "platform/io_reasons.h"
#include "tests/support/case_name.h"
#include "tests/support/hostile_settings.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/support/swap_table.h"
#include "tests/support/temp_folder.h"
#include "ui/pane_font.h"
#include "ui/pane_text.h"

// Failures show the texts, not their bytes.
static void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace mirotabe {

static void PrintTo(const SwapEntry& entry, std::ostream* out) {
  *out << '{' << ::testing::PrintToString(ToQString(entry.from)) << ", "
       << ::testing::PrintToString(ToQString(entry.to)) << ", " << StoredKind(entry) << '}';
}

static void PrintTo(const SwapTable& table, std::ostream* out) {
  for (const SwapEntry& entry : table) PrintTo(entry, out);
}

namespace {

using testing_support::Table;

using enum SwapKind;
using enum ConvertTrigger;

namespace fs = std::filesystem;
using testing_ui::ScriptedUiServices;

// The cases of the tables print as their names.
template <typename Case>
requires requires(const Case& c) {
  c.name;
}
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class SettingsDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    settings_.appFolder = folder_.path() + "/";

    QPixmap icon(16, 16);
    icon.fill(Qt::red);
    owner_.setWindowIcon(QIcon(icon));
    owner_.setGeometry(100, 80, 600, 400);
    owner_.show();
  }
  void TearDown() override { dialog_.reset(); }

  SettingsDialog& Open() {
    dialog_ = std::make_unique<SettingsDialog>(settings_, services_, &owner_);
    dialog_->show();
    dialog_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    return *dialog_;
  }

  template <typename Widget>
  Widget* Find(const QString& name) const {
    auto* widget = dialog_->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QLineEdit* FromBox() const { return Find<QLineEdit>(QStringLiteral("Text1_0")); }
  QLineEdit* ToBox() const { return Find<QLineEdit>(QStringLiteral("Text1_1")); }
  QLineEdit* TabWidthBox() const { return Find<QLineEdit>(QStringLiteral("Text2")); }
  QListWidget* EntryList() const { return Find<QListWidget>(QStringLiteral("List1")); }
  QComboBox* KindBox() const { return Find<QComboBox>(QStringLiteral("Combo1")); }
  QScrollBar* TabWidthSpinner() const { return Find<QScrollBar>(QStringLiteral("VScroll1")); }
  QPushButton* AddButton() const { return Find<QPushButton>(QStringLiteral("Command1_0")); }
  QRadioButton* TriggerButton(int i) const {
    return Find<QRadioButton>(QStringLiteral("Option1_%1").arg(i));
  }

  void Press(const char* button) const {
    QTest::mouseClick(Find<QPushButton>(QString::fromLatin1(button)), Qt::LeftButton);
  }
  void Add() const { Press("Command1_0"); }
  void Delete() const { Press("Command1_1"); }
  void Ok() const { Press("Command2_0"); }
  void Cancel() const { Press("Command2_1"); }

  // ASCII is typed key by key; other text arrives from the input method,
  // committed in one piece.
  static void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    bool ascii = true;
    for (const QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
      QTest::keyClicks(box, text);
      return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
  }

  // The kind by the keyboard, as a user steps through the drop-down list.
  void ChooseKind(int index) const {
    KindBox()->setFocus();
    while (KindBox()->currentIndex() < index) QTest::keyClick(KindBox(), Qt::Key_Down);
    while (KindBox()->currentIndex() > index) QTest::keyClick(KindBox(), Qt::Key_Up);
  }

  void Pick(int row) const {
    QListWidgetItem* item = EntryList()->item(row);
    EntryList()->scrollToItem(item);
    QTest::mouseClick(EntryList()->viewport(), Qt::LeftButton, {},
                      EntryList()->visualItemRect(item).center());
  }

  // Tab until `target` has the focus, as a user reaches a control.
  static void TabTo(QWidget* target) {
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), target);
  }

  // Ctrl+V of `text` through the clipboard.
  static void Paste(QLineEdit* box, const QString& text) {
    QApplication::clipboard()->setText(text);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
  }

  // A click on the spinner's upper or lower arrow.
  void ClickArrow(bool upper) const {
    QScrollBar* spinner = TabWidthSpinner();
    QTest::mouseClick(spinner, Qt::LeftButton, {},
                      QPoint(spinner->width() / 2, upper ? 1 : spinner->height() - 2));
  }

  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < EntryList()->count(); ++i) rows << EntryList()->item(i)->text();
    return rows;
  }

  std::string SettingIni() const { return folder_.PathOf("Setting.ini"); }
  std::string FileBytes() const { return testing_support::ReadFile(SettingIni()); }
  AppSettings Reload() const {
    AppSettings fresh;
    fresh.appFolder = settings_.appFolder;
    EXPECT_TRUE(LoadSettings(fresh, SettingsFile(fresh)).ok());
    return fresh;
  }

  testing_support::TempFolder folder_;
  AppSettings settings_;
  ScriptedUiServices services_;
  QWidget owner_;
  std::unique_ptr<SettingsDialog> dialog_;
};

// ---- The window ----

TEST_F(SettingsDialogTest, IsAFixedDialogOwnedByTheMainWindow) {
  SettingsDialog& dialog = Open();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Mirotabe - 設定"));
  EXPECT_EQ(dialog.windowType(), Qt::Dialog);
  EXPECT_EQ(dialog.parentWidget(), &owner_);
  const Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  // 7455 × 3915 twips at 96 DPI, and the user cannot change it.
  EXPECT_EQ(dialog.size(), QSize(497, 261));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_EQ(dialog.windowIcon().cacheKey(), owner_.windowIcon().cacheKey());
  const QPoint offset = dialog.geometry().center() - owner_.geometry().center();
  EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST_F(SettingsDialogTest, ExecIsModalAndOkAccepts) {
  SettingsDialog dialog(settings_, services_, &owner_);
  QWidget* modal = nullptr;
  QTimer::singleShot(0, &dialog, [&] {
    modal = QApplication::activeModalWidget();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command2_0")), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(modal, &dialog);
  EXPECT_TRUE(fs::exists(SettingIni()));
}

TEST_F(SettingsDialogTest, OpensWithTheFocusOnTheListAndNothingPicked) {
  settings_.rules.table = Table({{u"ー", u"｜", kCell}, {u"a", u"b", kWholeText}});
  Open();
  EXPECT_EQ(QApplication::focusWidget(), EntryList());
  EXPECT_TRUE(EntryList()->selectedItems().isEmpty());
  EXPECT_EQ(FromBox()->text(), QString());
  EXPECT_EQ(ToBox()->text(), QString());
  EXPECT_EQ(KindBox()->currentIndex(), 0);
  EXPECT_EQ(KindBox()->count(), 2);
  EXPECT_EQ(KindBox()->itemText(0), QStringLiteral("する時"));
  EXPECT_EQ(KindBox()->itemText(1), QStringLiteral("の前"));
  EXPECT_FALSE(KindBox()->isEditable());
}

TEST_F(SettingsDialogTest, TabVisitsTheControlsInOrder) {
  settings_.convertTrigger = kEnterKey;
  Open();
  const QStringList expected = {"Text1_0",   "Text1_1",  "Command1_0",   "Command1_1",
                                "Text2",     "VScroll1", "Command2_0",   "Command2_1",
                                "Option1_0", "Combo1",   "ColumnLength", "Kinsoku",
                                "ColumnGap", "Preset",   "PresetAdd",    "List1"};
  QStringList visited;
  for (int i = 0; i < expected.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(visited, expected);
}

// ---- Controls and their places ----

// Every control in its container, at its place (at 96 DPI: the twips
// divided by 15), with its caption.
TEST_F(SettingsDialogTest, EveryControlSitsAtItsPlaceWithItsCaption) {
  const struct {
    const char* name;
    const char* kind;
    const char* container;  // "" for the window
    const char* caption;    // title, caption or text; "" when it has none
    QRect pixels;
  } controls[] = {
      {"Frame1", "QGroupBox", "", "文字の置き換え", {4, 8, 173, 217}},
      {"Label2_0", "QLabel", "Frame1", "タブ文字はスペース", {4, 16, 109, 13}},
      {"Text2", "QLineEdit", "Frame1", "", {60, 32, 25, 18}},
      {"VScroll1", "QScrollBar", "Frame1", "", {84, 32, 17, 17}},
      {"Label2_1", "QLabel", "Frame1", "個に変換", {104, 36, 53, 13}},
      {"Line1_1", "QWidget", "Frame1", "", {4, 51, 160, 1}},
      {"Line1_0", "QWidget", "Frame1", "", {4, 52, 160, 1}},
      {"List1", "QListWidget", "Frame1", "", {8, 60, 157, 64}},
      {"Text1_0", "QLineEdit", "Frame1", "", {8, 128, 41, 18}},
      {"Label2_4", "QLabel", "Frame1", ">>", {56, 132, 17, 17}},
      {"Text1_1", "QLineEdit", "Frame1", "", {76, 128, 89, 18}},
      {"Label2_5", "QLabel", "Frame1", "縦書き変換", {4, 156, 65, 13}},
      {"Combo1", "QComboBox", "Frame1", "", {68, 152, 69, 20}},
      {"Label1", "QLabel", "Frame1", "に置き換えます。", {80, 176, 89, 17}},
      {"Command1_0", "QPushButton", "Frame1", "追加", {68, 192, 49, 17}},
      {"Command1_1", "QPushButton", "Frame1", "削除", {116, 192, 49, 17}},
      {"Frame2", "QGroupBox", "", "縦書き変換", {184, 8, 113, 217}},
      {"Label2_2", "QLabel", "Frame2", "横書き画面で", {8, 16, 97, 17}},
      {"Option1_0", "QRadioButton", "Frame2", "Enterキーを押した時", {8, 32, 97, 33}},
      {"Option1_1", "QRadioButton", "Frame2", "F1キーを押した時", {8, 64, 97, 33}},
      {"Option1_2", "QRadioButton", "Frame2", "変化があるたびに", {8, 96, 97, 33}},
      {"Label2_3", "QLabel", "Frame2", "変換を行います。", {16, 136, 89, 17}},
      {"Command2_0", "QPushButton", "", "OK", {160, 232, 69, 25}},
      {"Command2_1", "QPushButton", "", "キャンセル", {228, 232, 69, 25}},
      {"Frame3", "mirotabe::LayoutBox", "", "レイアウト", {304, 8, 189, 217}},
      {"Label3_0", "QLabel", "Frame3", "1列の文字数", {8, 19, 80, 17}},
      {"ColumnLength", "QSpinBox", "Frame3", "", {92, 16, 89, 20}},
      {"Label3_1", "QLabel", "Frame3", "禁則処理", {8, 47, 80, 17}},
      {"Kinsoku", "QComboBox", "Frame3", "", {92, 44, 89, 20}},
      {"Label3_2", "QLabel", "Frame3", "列の間隔", {8, 75, 80, 17}},
      {"ColumnGap", "QSpinBox", "Frame3", "", {92, 72, 89, 20}},
      {"Label3_3", "QLabel", "Frame3", "プリセット", {8, 107, 80, 17}},
      {"Preset", "QComboBox", "Frame3", "", {8, 124, 173, 20}},
      {"PresetAdd", "QPushButton", "Frame3", "追加", {92, 152, 89, 20}},
  };
  Open();
  ASSERT_EQ(dialog_->logicalDpiX(), 96);
  for (const auto& c : controls) {
    QWidget* widget = Find<QWidget>(QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_STREQ(widget->metaObject()->className(), c.kind) << c.name;
    const QString container = QString::fromLatin1(c.container);
    EXPECT_EQ(widget->parentWidget(),
              container.isEmpty() ? static_cast<QWidget*>(dialog_.get()) : Find<QWidget>(container))
        << c.name;
    EXPECT_EQ(widget->geometry(), c.pixels) << c.name;
    QString caption;
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) caption = frame->title();
    if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) caption = button->text();
    EXPECT_EQ(caption, QString::fromUtf8(c.caption)) << c.name;
  }
}

// A screen reader tells the boxes apart only by these. It reads the caption
// that labels a control, else the control's name: a combo box's name is its
// current item. (Every control is labelled by its frame as well.)
TEST_F(SettingsDialogTest, AssistiveTechnologyReadsEachControlsCaption) {
  const struct {
    const char* control;
    const char* name;
    const char* description;
  } controls[] = {
      {"List1", "文字の置き換え", ""},
      {"Text1_0", "置き換える文字", ""},
      {"Text1_1", "置き換え後の文字", ""},
      {"Combo1", "縦書き変換", "に置き換えます。"},
      {"Text2", "タブ文字はスペース", "個に変換"},
      {"VScroll1", "タブ文字はスペース", "個に変換"},
      {"ColumnLength", "1列の文字数", ""},
      {"Kinsoku", "禁則処理", ""},
      {"ColumnGap", "列の間隔", ""},
      {"Preset", "プリセット", ""},
  };
  Open();
  for (const auto& c : controls) {
    QAccessibleInterface* control =
        QAccessible::queryAccessibleInterface(Find<QWidget>(QString::fromLatin1(c.control)));
    ASSERT_NE(control, nullptr) << c.control;
    QString caption = control->text(QAccessible::Name);
    for (const auto& [label, relation] : control->relations(QAccessible::Label)) {
      if (label->role() == QAccessible::StaticText) caption = label->text(QAccessible::Name);
    }
    EXPECT_EQ(caption, QString::fromUtf8(c.name)) << c.control;
    EXPECT_EQ(control->text(QAccessible::Description), QString::fromUtf8(c.description))
        << c.control;
  }
}

TEST_F(SettingsDialogTest, TheListUsesThePaneFont) {
  Open();
  EXPECT_EQ(EntryList()->font().family(), PaneFont().family());
}

// ---- Loading ----

TEST_F(SettingsDialogTest, ListsEveryEntryWithItsKind) {
  settings_.rules.table = Table({{u"ー", u"｜", kCell},
                                 {u"ａ", u"", kCell},
                                 {u"x", u"あいう", kWholeText},
                                 {u"z", u"w", SwapKind{7}}});
  Open();
  EXPECT_EQ(Rows(),
            QStringList({QStringLiteral("ー >> ｜ 変換時"), QStringLiteral("ａ >>  変換時"),
                         QStringLiteral("x >> あいう 変換前"), QStringLiteral("z >> w 変換前")}));
}

class SettingsDialogWidthShownTest : public SettingsDialogTest,
                                     public testing::WithParamInterface<int> {};

TEST_P(SettingsDialogWidthShownTest, TheNumberBoxShowsTheWidthAtOnce) {
  settings_.rules.tabSpace = static_cast<std::uint8_t>(GetParam());
  Open();
  EXPECT_EQ(TabWidthBox()->text(), QString::number(GetParam()));
  EXPECT_EQ(TabWidthSpinner()->value(), 8 - GetParam());
}

INSTANTIATE_TEST_SUITE_P(SettingsDialog, SettingsDialogWidthShownTest, testing::Range(0, 9));

// ---- The edit boxes ----

struct BoxCase {
  const char* name;
  int kind;            // Combo1's index while typing
  const char* before;  // typed first
  Qt::Key move;        // then this key, unless Key_unknown
  const char* typed;
  const char* expected;
  int caret;
};

class SettingsDialogBoxTest : public SettingsDialogTest,
                              public testing::WithParamInterface<BoxCase> {
 protected:
  void Run(QLineEdit* box) const {
    const BoxCase& c = GetParam();
    ChooseKind(c.kind);
    Type(box, QString::fromUtf8(c.before));
    if (c.move != Qt::Key_unknown) QTest::keyClick(box, c.move);
    Type(box, QString::fromUtf8(c.typed));
    EXPECT_EQ(box->text(), QString::fromUtf8(c.expected));
    EXPECT_EQ(box->cursorPosition(), c.caret);
  }
};

class SettingsDialogFromBoxTest : public SettingsDialogBoxTest {};

TEST_P(SettingsDialogFromBoxTest, HoldsOneFullWidthCharacter) {
  Open();
  Run(FromBox());
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogFromBoxTest,
    testing::Values(BoxCase{"TwoLettersLeaveTheFirst", 0, "", Qt::Key_unknown, "ab", "ａ", 1},
                    BoxCase{"ALaterCharacterIsDropped", 0, "a", Qt::Key_End, "b", "ａ", 1},
                    BoxCase{"ACharacterInFrontReplaces", 0, "a", Qt::Key_Home, "b", "ｂ", 1},
                    BoxCase{"SpaceBecomesIdeographic", 0, "", Qt::Key_unknown, " ", "　", 1},
                    BoxCase{"HalfWidthKanaComposes", 1, "", Qt::Key_unknown, "ｶﾞｷ", "ガ", 1},
                    BoxCase{"KanjiStay", 0, "", Qt::Key_unknown, "漢字", "漢", 1},
                    BoxCase{"ASurrogatePairIsOneCharacter", 0, "", Qt::Key_unknown, "𠮷野", "𠮷",
                            2}),
    testing_support::CaseName());

// What the settings file gives back of a To: 127 bytes of code page 932.
const std::string kTypedPastTheLimit = std::string(126, 'x') + "あい";
const std::string kCutAtTheLimit(126, 'x');
const std::string kAtTheLimit(127, 'x');
const std::string kOneInFront = "y" + std::string(126, 'x');

class SettingsDialogToBoxTest : public SettingsDialogBoxTest {};

TEST_P(SettingsDialogToBoxTest, IsCutOnlyForTheCellKind) {
  Open();
  Run(ToBox());
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogToBoxTest,
    testing::Values(BoxCase{"TwoHiraganaLeaveTheFirst", 0, "", Qt::Key_unknown, "あい", "あ", 1},
                    BoxCase{"ThreeLettersLeaveTwo", 0, "", Qt::Key_unknown, "abc", "ab", 2},
                    BoxCase{"AHalfCharacterIsDropped", 0, "a", Qt::Key_unknown, "あ", "a", 1},
                    BoxCase{"TheCaretStaysWhereItWas", 0, "ab", Qt::Key_Home, "x", "xa", 1},
                    BoxCase{"BeforeKeepsLongText", 1, "", Qt::Key_unknown, "abcdef", "abcdef", 6},
                    BoxCase{"BeforeKeepsKana", 1, "", Qt::Key_unknown, "あいう", "あいう", 3},
                    BoxCase{"BeforeStopsWhereTheFileStops", 1, "", Qt::Key_unknown,
                            kTypedPastTheLimit.c_str(), kCutAtTheLimit.c_str(), 126},
                    BoxCase{"BeforeDropsWhatPassesTheLimit", 1, kAtTheLimit.c_str(), Qt::Key_Home,
                            "y", kOneInFront.c_str(), 1}),
    testing_support::CaseName());

TEST_F(SettingsDialogTest, TypingThatNeedsNoChangeKeepsTheUndoHistory) {
  Open();
  ChooseKind(1);
  Type(ToBox(), QStringLiteral("abc"));
  QTest::keyClick(ToBox(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ToBox()->text(), QString());
}

TEST_F(SettingsDialogTest, ChoosingTheCellKindDoesNotCutByItself) {
  Open();
  ChooseKind(1);
  Type(ToBox(), QStringLiteral("あいう"));
  Type(FromBox(), QStringLiteral("a"));
  ChooseKind(0);
  EXPECT_EQ(ToBox()->text(), QStringLiteral("あいう"));
  Add();
  Ok();
  EXPECT_EQ(settings_.rules.table, Table({{u"ａ", u"あいう", kCell}}));
}

// ---- Adding and deleting ----

TEST_F(SettingsDialogTest, AddAppendsTheEntryAndEmptiesTheBoxes) {
  settings_.rules.table = Table({{u"ー", u"｜", kCell}});
  Open();
  Pick(0);
  QTest::keyClick(FromBox(), Qt::Key_Home);
  Type(FromBox(), QStringLiteral("a"));  // typed in front, it replaces the picked From
  ToBox()->clear();
  Add();
  ChooseKind(1);
  Type(FromBox(), QStringLiteral("b"));
  Type(ToBox(), QStringLiteral("xyz"));
  Add();
  EXPECT_EQ(Rows(), QStringList({QStringLiteral("ー >> ｜ 変換時"), QStringLiteral("ａ >>  変換時"),
                                 QStringLiteral("ｂ >> xyz 変換前")}));
  EXPECT_EQ(FromBox()->text(), QString());
  EXPECT_EQ(ToBox()->text(), QString());
  // Adding leaves the picked row as it was.
  ASSERT_EQ(EntryList()->selectedItems().size(), 1);
  EXPECT_EQ(EntryList()->row(EntryList()->selectedItems().front()), 0);
  Ok();
  EXPECT_EQ(settings_.rules.table,
            Table({{u"ー", u"｜", kCell}, {u"ａ", u"", kCell}, {u"ｂ", u"xyz", kWholeText}}));
}

TEST_F(SettingsDialogTest, AddWithoutFromDoesNothing) {
  Open();
  Type(ToBox(), QStringLiteral("x"));
  Add();
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_EQ(ToBox()->text(), QStringLiteral("x"));
}

TEST_F(SettingsDialogTest, TheSameFromTwiceGivesTwoEntries) {
  Open();
  for (const char* to : {"x", "y"}) {
    Type(FromBox(), QStringLiteral("a"));
    Type(ToBox(), QString::fromLatin1(to));
    Add();
  }
  EXPECT_EQ(Rows(),
            QStringList({QStringLiteral("ａ >> x 変換時"), QStringLiteral("ａ >> y 変換時")}));
  Ok();
  EXPECT_EQ(settings_.rules.table, Table({{u"ａ", u"x", kCell}, {u"ａ", u"y", kCell}}));
}

TEST_F(SettingsDialogTest, DeletingTheFirstOfThreeClosesTheGap) {
  settings_.rules.table =
      Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}, {u"Ｃ", u"3", kCell}});
  Open();
  Pick(0);
  EXPECT_EQ(FromBox()->text(), QStringLiteral("Ａ"));
  Delete();
  EXPECT_EQ(Rows(),
            QStringList({QStringLiteral("Ｂ >> 2 変換前"), QStringLiteral("Ｃ >> 3 変換時")}));
  EXPECT_EQ(FromBox()->text(), QString());
  EXPECT_EQ(ToBox()->text(), QString());
  EXPECT_TRUE(EntryList()->selectedItems().isEmpty());
  // The rows still lead to their own entries.
  Pick(1);
  EXPECT_EQ(FromBox()->text(), QStringLiteral("Ｃ"));
  EXPECT_EQ(ToBox()->text(), QStringLiteral("3"));
  Ok();
  EXPECT_EQ(settings_.rules.table, Table({{u"Ｂ", u"2", kWholeText}, {u"Ｃ", u"3", kCell}}));
  EXPECT_EQ(Reload().rules.table, settings_.rules.table);
}

TEST_F(SettingsDialogTest, DeletingAnyRowKeepsRowsAndEntriesInStep) {
  for (int row = 0; row < 3; ++row) {
    settings_.rules.table =
        Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}, {u"Ｃ", u"3", kCell}});
    Open();
    Pick(row);
    Delete();
    EXPECT_TRUE(EntryList()->selectedItems().isEmpty()) << row;
    EXPECT_EQ(FromBox()->text(), QString()) << row;
    for (int rest = 0; rest < 2; ++rest) {
      Pick(rest);
      EXPECT_EQ(EntryList()->item(rest)->text().front(), FromBox()->text().front()) << row;
    }
  }
}

TEST_F(SettingsDialogTest, DeleteWithoutAPickedRowDoesNothing) {
  for (const SwapTable& table : {Table({}), Table({{u"Ａ", u"1", kCell}})}) {
    settings_.rules.table = table;
    Open();
    Type(FromBox(), QStringLiteral("q"));
    Type(ToBox(), QStringLiteral("r"));
    Delete();
    EXPECT_EQ(EntryList()->count(), static_cast<int>(table.Count()));
    EXPECT_EQ(FromBox()->text(), QStringLiteral("ｑ"));
    EXPECT_EQ(ToBox()->text(), QStringLiteral("r"));
    Ok();
    EXPECT_EQ(settings_.rules.table, table);
  }
}

TEST_F(SettingsDialogTest, AFullTableRefusesToAdd) {
  SwapTable full;
  while (!full.Full()) full.Append({u"Ａ", u"", kCell});
  settings_.rules.table = full;
  Open();
  EXPECT_FALSE(AddButton()->isEnabled());
  Pick(0);
  Delete();
  EXPECT_TRUE(AddButton()->isEnabled());
  Type(FromBox(), QStringLiteral("b"));
  Add();
  EXPECT_FALSE(AddButton()->isEnabled());
  EXPECT_EQ(EntryList()->count(), 999);
  EXPECT_EQ(EntryList()->item(998)->text(), QStringLiteral("ｂ >>  変換時"));
}

// ---- Picking an entry ----

struct PickCase {
  const char* name;
  SwapEntry entry;
  int kindBefore;
  int kindShown;
  const char* from;
  const char* to;
};

class SettingsDialogPickTest : public SettingsDialogTest,
                               public testing::WithParamInterface<PickCase> {};

TEST_P(SettingsDialogPickTest, ShowsTheEntryAndKeepsIt) {
  const PickCase& c = GetParam();
  settings_.rules.table = Table({{u"Ｚ", u"", kWholeText}, c.entry});
  Open();
  ChooseKind(c.kindBefore);
  Pick(1);
  EXPECT_EQ(KindBox()->currentIndex(), c.kindShown);
  EXPECT_EQ(FromBox()->text(), QString::fromUtf8(c.from));
  EXPECT_EQ(ToBox()->text(), QString::fromUtf8(c.to));
  Ok();
  EXPECT_EQ(settings_.rules.table, Table({{u"Ｚ", u"", kWholeText}, c.entry}));
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogPickTest,
    testing::Values(
        PickCase{"CellKindShowsToCut", {u"ー", u"｜｜", kCell}, 1, 0, "ー", "｜"},
        PickCase{"HalfWidthFromShowsFullWidth", {u"a", u"b", kCell}, 0, 0, "ａ", "b"},
        PickCase{"BeforeKindShowsAllOfTo", {u"ａ", u"あいう", kWholeText}, 0, 1, "ａ", "あいう"},
        PickCase{
            "OtherKindKeepsBeforeChoice", {u"ａ", u"あいう", SwapKind{7}}, 1, 1, "ａ", "あいう"},
        PickCase{"OtherKindKeepsCellChoice", {u"ａ", u"あいう", SwapKind{7}}, 0, 0, "ａ", "あ"}),
    testing_support::CaseName());

TEST_F(SettingsDialogTest, TheKeyboardPicksRowsFromTheTop) {
  settings_.rules.table = Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}});
  Open();
  QTest::keyClick(EntryList(), Qt::Key_Down);
  EXPECT_EQ(FromBox()->text(), QStringLiteral("Ａ"));
  QTest::keyClick(EntryList(), Qt::Key_Down);
  EXPECT_EQ(FromBox()->text(), QStringLiteral("Ｂ"));
  EXPECT_EQ(KindBox()->currentIndex(), 1);
  // Edits of the boxes do not reach the entry.
  Type(ToBox(), QStringLiteral("x"));
  Ok();
  EXPECT_EQ(settings_.rules.table, Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}}));
}

// ---- Tab width and trigger ----

struct WidthCase {
  const char* name;
  std::uint8_t stored;
  bool upper;  // which arrow
  int clicks;
  const char* shown;
  std::uint8_t saved;
};

class SettingsDialogSpinnerTest : public SettingsDialogTest,
                                  public testing::WithParamInterface<WidthCase> {};

TEST_P(SettingsDialogSpinnerTest, ArrowsStepTheWidthWithinItsRange) {
  const WidthCase& c = GetParam();
  settings_.rules.tabSpace = c.stored;
  Open();
  for (int i = 0; i < c.clicks; ++i) ClickArrow(c.upper);
  EXPECT_EQ(TabWidthBox()->text(), QString::fromLatin1(c.shown));
  Ok();
  EXPECT_EQ(settings_.rules.tabSpace, c.saved);
  EXPECT_EQ(Reload().rules.tabSpace, c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogSpinnerTest,
    testing::Values(WidthCase{"UpperRaises", 4, true, 1, "5", 5},
                    WidthCase{"LowerLowers", 4, false, 1, "3", 3},
                    WidthCase{"UpperStopsAtEight", 8, true, 1, "8", 8},
                    WidthCase{"LowerStopsAtZero", 0, false, 1, "0", 0},
                    WidthCase{"ManyUpperStopAtEight", 3, true, 9, "8", 8},
                    WidthCase{"ManyLowerStopAtZero", 5, false, 9, "0", 0},
                    // A width the spinner cannot reach stays until it moves.
                    WidthCase{"WideWidthKept", 12, true, 0, "12", 12},
                    WidthCase{"WideWidthKeptByUpperAtTheTop", 12, true, 1, "12", 12},
                    WidthCase{"WideWidthLoweredToSeven", 12, false, 1, "7", 7}),
    testing_support::CaseName());

TEST_F(SettingsDialogTest, TheSpinnerAlsoStepsByKeys) {
  settings_.rules.tabSpace = 4;
  Open();
  TabWidthSpinner()->setFocus();
  QTest::keyClick(TabWidthSpinner(), Qt::Key_Up);
  QTest::keyClick(TabWidthSpinner(), Qt::Key_Up);
  EXPECT_EQ(TabWidthBox()->text(), QStringLiteral("6"));
  QTest::keyClick(TabWidthSpinner(), Qt::Key_Down);
  EXPECT_EQ(TabWidthBox()->text(), QStringLiteral("5"));
}

struct TriggerCase {
  const char* name;
  ConvertTrigger stored;
  int clicked;  // Option1 index, or -1
  int shown;    // the checked Option1 at open, or -1
  ConvertTrigger saved;
};

class SettingsDialogTriggerTest : public SettingsDialogTest,
                                  public testing::WithParamInterface<TriggerCase> {};

TEST_P(SettingsDialogTriggerTest, OkStoresTheChosenTrigger) {
  const TriggerCase& c = GetParam();
  settings_.convertTrigger = c.stored;
  Open();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(TriggerButton(i)->isChecked(), i == c.shown) << i;
  if (c.clicked >= 0) {
    // On the second line of the caption, which wraps in the narrow frame.
    QRadioButton* option = TriggerButton(c.clicked);
    QTest::mouseClick(option, Qt::LeftButton, {},
                      QPoint(option->width() / 2, option->height() - 3));
  }
  Ok();
  EXPECT_EQ(settings_.convertTrigger, c.saved);
  EXPECT_EQ(Reload().convertTrigger, c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogTriggerTest,
    testing::Values(TriggerCase{"EnterKept", kEnterKey, -1, 0, kEnterKey},
                    TriggerCase{"F1Kept", kF1Key, -1, 1, kF1Key},
                    TriggerCase{"EveryChangeKept", kEveryChange, -1, 2, kEveryChange},
                    TriggerCase{"EnterChosen", kEveryChange, 0, 2, kEnterKey},
                    TriggerCase{"F1Chosen", kEnterKey, 1, 0, kF1Key},
                    // A trigger the options cannot show stays until one is chosen.
                    TriggerCase{"UnknownKept", ConvertTrigger{5}, -1, -1, ConvertTrigger{5}},
                    TriggerCase{"UnknownReplaced", ConvertTrigger{5}, 1, -1, kF1Key}),
    testing_support::CaseName());

// ---- Closing ----

TEST_F(SettingsDialogTest, OkIgnoresTextLeftInTheBoxes) {
  Open();
  Type(FromBox(), QStringLiteral("a"));
  Type(ToBox(), QStringLiteral("b"));
  Ok();
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(settings_.rules.table.Count(), 0u);
  EXPECT_EQ(Reload().rules.table.Count(), 0u);
}

enum class Closing { kCancelButton, kCloseBox, kCloseEvent };

struct DiscardCase {
  const char* name;
  Closing closing;
  bool fileExists;
};

class SettingsDialogDiscardTest : public SettingsDialogTest,
                                  public testing::WithParamInterface<DiscardCase> {};

TEST_P(SettingsDialogDiscardTest, LeavesSettingsAndFileAsTheyWere) {
  const DiscardCase& c = GetParam();
  settings_.rules.tabSpace = 3;
  settings_.convertTrigger = kF1Key;
  settings_.rules.table = Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}});
  if (c.fileExists) {
    ASSERT_TRUE(SaveSettings(settings_, SettingIni()).ok());
  }
  const std::string bytes = FileBytes();
  const AppSettings before = settings_;
  Open();
  Type(FromBox(), QStringLiteral("c"));
  Add();
  Pick(0);
  Delete();
  ClickArrow(true);
  QTest::mouseClick(TriggerButton(2), Qt::LeftButton);

  switch (c.closing) {
    case Closing::kCancelButton:
      Cancel();
      break;
    case Closing::kCloseBox:
      dialog_->close();
      break;
    case Closing::kCloseEvent: {
      QCloseEvent close;
      QApplication::sendEvent(dialog_.get(), &close);
      break;
    }
  }
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
  EXPECT_EQ(settings_.rules.table, before.rules.table);
  EXPECT_EQ(settings_.rules.tabSpace, before.rules.tabSpace);
  EXPECT_EQ(settings_.convertTrigger, before.convertTrigger);
  EXPECT_EQ(fs::exists(SettingIni()), c.fileExists);
  EXPECT_EQ(FileBytes(), bytes);

  // The next opening starts from the old table.
  Open();
  EXPECT_EQ(Rows(),
            QStringList({QStringLiteral("Ａ >> 1 変換時"), QStringLiteral("Ｂ >> 2 変換前")}));
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogDiscardTest,
    testing::Values(DiscardCase{"CancelWithoutFile", Closing::kCancelButton, false},
                    DiscardCase{"CancelWithFile", Closing::kCancelButton, true},
                    DiscardCase{"CloseBox", Closing::kCloseBox, true},
                    DiscardCase{"CloseEvent", Closing::kCloseEvent, false}),
    testing_support::CaseName());

struct KeyCase {
  const char* name;
  Qt::Key key;
  const char* focus;  // the control that has the focus
  int rows;           // List1's rows afterwards
  bool open;          // the dialog still open
  bool saved;         // Setting.ini written
};

class SettingsDialogKeyTest : public SettingsDialogTest,
                              public testing::WithParamInterface<KeyCase> {};

// Enter presses only the button that has the focus; Esc never drops edits.
TEST_P(SettingsDialogKeyTest, EnterPressesOnlyTheFocusedButtonAndEscDoesNothing) {
  const KeyCase& c = GetParam();
  settings_.rules.table = Table({{u"Ａ", u"1", kCell}});
  Open();
  Type(FromBox(), QStringLiteral("a"));
  Type(ToBox(), QStringLiteral("b"));
  QWidget* target = Find<QWidget>(QString::fromLatin1(c.focus));
  if (QString::fromLatin1(c.focus) == QStringLiteral("Command1_1")) Pick(0);
  // By the keyboard, as a user reaches a button.
  TabTo(target);
  QTest::keyClick(target, c.key);
  EXPECT_EQ(dialog_->isVisible(), c.open);
  EXPECT_EQ(EntryList()->count(), c.rows);
  EXPECT_EQ(fs::exists(SettingIni()), c.saved);
  if (c.open) {
    EXPECT_EQ(settings_.rules.table.Count(), 1u);
    if (c.rows == 1 && QString::fromLatin1(c.focus) != QStringLiteral("Command1_1")) {
      EXPECT_EQ(FromBox()->text(), QStringLiteral("ａ"));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogKeyTest,
    testing::Values(KeyCase{"EnterInFrom", Qt::Key_Return, "Text1_0", 1, true, false},
                    KeyCase{"EnterInTo", Qt::Key_Return, "Text1_1", 1, true, false},
                    KeyCase{"EnterInList", Qt::Key_Return, "List1", 1, true, false},
                    KeyCase{"EnterInKinds", Qt::Key_Return, "Combo1", 1, true, false},
                    KeyCase{"EnterOnSpinner", Qt::Key_Return, "VScroll1", 1, true, false},
                    KeyCase{"EnterInWidth", Qt::Key_Return, "Text2", 1, true, false},
                    KeyCase{"EnterOnAdd", Qt::Key_Return, "Command1_0", 2, true, false},
                    KeyCase{"KeypadEnterOnAdd", Qt::Key_Enter, "Command1_0", 2, true, false},
                    KeyCase{"EnterOnDelete", Qt::Key_Return, "Command1_1", 0, true, false},
                    KeyCase{"EnterOnOk", Qt::Key_Return, "Command2_0", 1, false, true},
                    KeyCase{"EnterOnCancel", Qt::Key_Return, "Command2_1", 1, false, false},
                    KeyCase{"EscInFrom", Qt::Key_Escape, "Text1_0", 1, true, false},
                    KeyCase{"EscInList", Qt::Key_Escape, "List1", 1, true, false},
                    KeyCase{"EscOnCancel", Qt::Key_Escape, "Command2_1", 1, true, false}),
    testing_support::CaseName());

TEST_F(SettingsDialogTest, EnterOnOkSavesAndOnCancelDrops) {
  for (const bool ok : {true, false}) {
    settings_.rules.table = Table({{u"Ａ", u"1", kCell}});
    Open();
    Type(FromBox(), QStringLiteral("b"));
    QTest::keyClick(FromBox(), Qt::Key_Return);  // does not add
    Add();
    QPushButton* button =
        Find<QPushButton>(ok ? QStringLiteral("Command2_0") : QStringLiteral("Command2_1"));
    TabTo(button);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(dialog_->result(), ok ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(settings_.rules.table.Count(), ok ? 2u : 1u);
  }
}

// The spinner and the list show when they have the focus, whether the list
// has a current row or not.
class SettingsDialogFocusMarkTest
    : public SettingsDialogTest,
      public testing::WithParamInterface<std::tuple<const char*, bool>> {};

TEST_P(SettingsDialogFocusMarkTest, ShowsAFocusMark) {
  const auto& [name, rows] = GetParam();
  if (rows) settings_.rules.table = Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}});
  Open();
  QWidget* widget = Find<QWidget>(QString::fromLatin1(name));
  Type(FromBox(), QStringLiteral("a"));
  const QImage unfocused = widget->grab().toImage();
  TabTo(widget);
  const QImage focused = widget->grab().toImage();
  EXPECT_NE(focused, unfocused);
  QTest::keyClick(widget, Qt::Key_Tab);
  EXPECT_EQ(widget->grab().toImage(), unfocused);
}

INSTANTIATE_TEST_SUITE_P(SettingsDialog, SettingsDialogFocusMarkTest,
                         testing::Combine(testing::Values("VScroll1", "List1"), testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)) +
                                  (std::get<1>(info.param) ? "WithRows" : "Empty");
                         });

// ---- Settings files written by hand ----

// A value longer than the file gives back is shown as the program uses it,
// its entry marked; OK writes the file's own text back, and so does every
// later OK while the entry stays.
TEST_F(SettingsDialogTest, AnEntryCutOnReadingIsMarkedAndKeptWhole) {
  const std::string digits = [] {
    std::string text;
    for (int i = 0; i < 20; ++i) text += "0123456789";
    return text;
  }();
  const std::string file = "[Main]\r\nTabSpace=4\r\nConvert=2\r\n[Swap001]\r\nFrom=a\r\nTo=\"" +
                           digits + "\"\r\nType=1\r\n[Swap002]\r\nFrom=b\r\nTo=\"c\"\r\nType=0\r\n";
  testing_support::WriteFile(SettingIni(), file);
  settings_ = Reload();
  Open();
  EXPECT_EQ(Rows(),
            QStringList({QStringLiteral("※a >> ") + QString::fromStdString(digits.substr(0, 127)) +
                             QStringLiteral(" 変換前"),
                         QStringLiteral("b >> c 変換時")}));
  EXPECT_TRUE(EntryList()->item(0)->toolTip().contains(QStringLiteral("127 バイト")));
  EXPECT_TRUE(EntryList()->item(1)->toolTip().isEmpty());
  Pick(0);
  EXPECT_EQ(ToBox()->text(), QString::fromStdString(digits.substr(0, 127)));
  Ok();
  EXPECT_EQ(FileBytes(), file);
  // Deleting the other entry moves the marked one; its text goes with it.
  settings_ = Reload();
  Open();
  Pick(1);
  Delete();
  ChooseKind(1);
  Type(FromBox(), QStringLiteral("z"));
  Type(ToBox(), QString::fromStdString(digits));
  Add();
  Ok();
  const AppSettings reloaded = Reload();
  ASSERT_EQ(reloaded.rules.table.Count(), 2u);
  EXPECT_EQ(reloaded.rules.table[0].kept.to, ToU16(QString::fromStdString(digits)));
  // What the dialog adds it reads back whole: the box took what fits.
  EXPECT_EQ(reloaded.rules.table[1].to, ToU16(QString::fromStdString(digits.substr(0, 127))));
  EXPECT_TRUE(reloaded.rules.table[1].kept.empty());
}

class SettingsDialogHostileFileTest
    : public SettingsDialogTest,
      public testing::WithParamInterface<testing_support::HostileSettingsFile> {};

// The program starts with the file, the user opens the dialog and presses
// OK, and the program starts again: no value changed without a mark on its
// entry, and no section of the file is lost.
TEST_P(SettingsDialogHostileFileTest, OkChangesNoValueWithoutAMarkAndLosesNoSection) {
  const std::string& original = GetParam().bytes;
  testing_support::WriteFile(SettingIni(), original);
  settings_ = Reload();
  const AppSettings loaded = settings_;
  Open();
  ASSERT_EQ(EntryList()->count(), static_cast<int>(loaded.rules.table.Count()));
  for (int row = 0; row < EntryList()->count(); ++row) {
    const bool marked = !loaded.rules.table[static_cast<std::size_t>(row)].kept.empty();
    EXPECT_EQ(!EntryList()->item(row)->toolTip().isEmpty(), marked) << row;
    EXPECT_EQ(EntryList()->item(row)->text().startsWith(QStringLiteral("※")), marked) << row;
  }
  Ok();
  EXPECT_TRUE(services_.messages.empty());
  const std::string saved = FileBytes();
  testing_support::ExpectSameDialogSettings(loaded, Reload());
  EXPECT_EQ(testing_support::LostSections(original, saved, loaded.rules.table.Count()),
            std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsDialogHostileFileTest,
                         testing::ValuesIn(testing_support::HostileSettingsFiles()),
                         testing_support::HostileSettingsName());

// ---- Saving ----

TEST_F(SettingsDialogTest, OkSavesWhatTheDialogShows) {
  settings_.rules.table =
      Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}, {u"Ｃ", u"3", SwapKind{5}}});
  Open();
  ChooseKind(1);
  Type(FromBox(), QStringLiteral("d"));
  Type(ToBox(), QStringLiteral(" spaced "));
  Add();
  Pick(1);
  Delete();
  ChooseKind(0);
  Type(FromBox(), QStringLiteral("e"));
  Add();
  ClickArrow(false);
  QTest::mouseClick(TriggerButton(0), Qt::LeftButton);
  Ok();

  const SwapTable expected = Table({{u"Ａ", u"1", kCell},
                                    {u"Ｃ", u"3", SwapKind{5}},
                                    {u"ｄ", u" spaced ", kWholeText},
                                    {u"ｅ", u"", kCell}});
  EXPECT_EQ(settings_.rules.table, expected);
  EXPECT_EQ(settings_.rules.tabSpace, 3);
  EXPECT_EQ(settings_.convertTrigger, kEnterKey);
  EXPECT_TRUE(services_.messages.empty());
  const AppSettings reloaded = Reload();
  EXPECT_EQ(reloaded.rules.table, expected);
  EXPECT_EQ(reloaded.rules.tabSpace, 3);
  EXPECT_EQ(reloaded.convertTrigger, kEnterKey);
}

struct PasteCase {
  const char* name;
  int kind;
  std::u16string from;  // pasted
  std::u16string to;    // pasted
  SwapEntry added;      // From empty: nothing added
};

class SettingsDialogPasteTest : public SettingsDialogTest,
                                public testing::WithParamInterface<PasteCase> {};

// Pasted line breaks and NULs are dropped, so that no entry can break its
// line in the settings file and take the later entries with it; every other
// character, TAB included, is kept.
TEST_P(SettingsDialogPasteTest, LineBreaksAreDroppedAndEveryEntrySurvivesARestart) {
  const PasteCase& c = GetParam();
  settings_.rules.table =
      Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}, {u"Ｃ", u"3", kCell}});
  ASSERT_TRUE(SaveSettings(settings_, SettingIni()).ok());
  Open();
  ChooseKind(c.kind);
  Paste(FromBox(), ToQString(c.from));
  Paste(ToBox(), ToQString(c.to));
  Add();
  Pick(0);  // the first entry's From and To go through the boxes once more
  Ok();
  EXPECT_TRUE(services_.messages.empty());

  SwapTable expected =
      Table({{u"Ａ", u"1", kCell}, {u"Ｂ", u"2", kWholeText}, {u"Ｃ", u"3", kCell}});
  if (!c.added.from.empty()) expected.Append(c.added);
  EXPECT_EQ(Reload().rules.table, expected);
  settings_ = Reload();
  Open();
  Ok();
  EXPECT_EQ(Reload().rules.table, expected);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogPasteTest,
    testing::Values(
        PasteCase{"LfBeforeFrom", 0, u"\nabc", u"x", {u"ａ", u"x", kCell}},
        PasteCase{"TabAsFrom", 0, u"\t", u"x", {u"\t", u"x", kCell}},
        PasteCase{"CrBeforeFrom", 1, u"\rd", u"y", {u"ｄ", u"y", kWholeText}},
        PasteCase{"DeleteBeforeFrom",
                  0,
                  u"\x7f"
                  u"e",
                  u"",
                  {u"\x7f", u"", kCell}},
        PasteCase{"LfInsideCellTo", 0, u"f", u"x\ny", {u"ｆ", u"xy", kCell}},
        PasteCase{
            "LineBreaksInsideTextTo", 1, u"g", u"a\r\nb\tc\x01", {u"ｇ", u"ab\tc\x01", kWholeText}},
        PasteCase{"NulInsideTextTo",
                  1,
                  std::u16string(u"\0h", 2),
                  std::u16string(u"j\0k", 3),
                  {u"ｈ", u"jk", kWholeText}}),
    testing_support::CaseName());

struct UnencodableCase {
  const char* name;
  std::vector<SwapEntry> entries;
};

class SettingsDialogUnencodableTest : public SettingsDialogTest,
                                      public testing::WithParamInterface<UnencodableCase> {};

// OK saves characters that code page 932 cannot hold without a question,
// and a fresh start reads every entry back as it was.
TEST_P(SettingsDialogUnencodableTest, OkKeepsEveryCharacterWithoutAsking) {
  const UnencodableCase& c = GetParam();
  for (const SwapEntry& entry : c.entries) settings_.rules.table.Append(entry);
  const SwapTable before = settings_.rules.table;
  Open();
  Ok();
  EXPECT_TRUE(services_.questions.empty());
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(settings_.rules.table, before);
  EXPECT_EQ(Reload().rules.table, before);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogUnencodableTest,
    testing::Values(
        UnencodableCase{"AllEncodable", {{u"ー", u"｜", kCell}, {u"〜", u"−", kWholeText}}},
        UnencodableCase{"EmojiInTo", {{u"ー", u"｜", kCell}, {u"ａ", u"😀", kWholeText}}},
        UnencodableCase{
            "AccentAndReplacement",
            {{u"é", u"e", kCell}, {u"ｂ", u"c", kCell}, {u"\uFFFD", u"?", SwapKind{7}}}},
        UnencodableCase{"ManyAndATab",
                        {{u"1", u"é\t", kWholeText},
                         {u"\t", u"é", kWholeText},
                         {u"3", u"é", kWholeText},
                         {u"4", u"é", kWholeText},
                         {u"5", u"é", kWholeText},
                         {u"6", u"é", kWholeText},
                         {u"7", u"é", kWholeText}}}),
    testing_support::CaseName());

struct SaveFailureCase {
  const char* name;
  bool folder;  // Setting.ini is a folder; otherwise a read-only file
  int error;
};

class SettingsDialogSaveFailureTest : public SettingsDialogTest,
                                      public testing::WithParamInterface<SaveFailureCase> {};

TEST_P(SettingsDialogSaveFailureTest, ToldAndStillApplied) {
  const SaveFailureCase& c = GetParam();
  if (c.folder) {
    fs::create_directory(SettingIni());
  } else {
    testing_support::WriteFile(SettingIni(), "[Main]\r\nTabSpace=4\r\n");
    fs::permissions(SettingIni(),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }
  Open();
  Type(FromBox(), QStringLiteral("a"));
  Add();
  ClickArrow(true);
  Ok();

  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(settings_.rules.table, Table({{u"ａ", u"", kCell}}));
  EXPECT_EQ(settings_.rules.tabSpace, 5);
  ASSERT_EQ(services_.messages.size(), 1u);
  const testing_ui::ShownMessage& shown = services_.messages.front();
  EXPECT_EQ(shown.icon, MessageIcon::Error);
  EXPECT_EQ(shown.title, QStringLiteral("Mirotabe"));
  EXPECT_EQ(shown.text, QStringLiteral("設定を保存できませんでした。\r\n%1\r\n%2")
                            .arg(QString::fromStdString(SettingIni()),
                                 ToQString(JapaneseReason(IoError{
                                     {}, std::error_code(c.error, std::system_category())}))));
}

INSTANTIATE_TEST_SUITE_P(SettingsDialog, SettingsDialogSaveFailureTest,
                         testing::Values(SaveFailureCase{"SettingIniIsAFolder", true, EISDIR},
                                         SaveFailureCase{"SettingIniIsReadOnly", false, EACCES}),
                         testing_support::CaseName());

// ---- Layout ----

TEST_F(SettingsDialogTest, TheLayoutChoicesReadAsTheyShould) {
  Open();
  auto* kinsoku = Find<QComboBox>(QStringLiteral("Kinsoku"));
  QStringList items;
  for (int i = 0; i < kinsoku->count(); ++i) items << kinsoku->itemText(i);
  EXPECT_EQ(items, (QStringList{QStringLiteral("なし"), QStringLiteral("ぶら下げ"),
                                QStringLiteral("追い出し")}));
  auto* preset = Find<QComboBox>(QStringLiteral("Preset"));
  ASSERT_EQ(preset->count(), 2);
  EXPECT_EQ(preset->itemText(0), QStringLiteral("縦書き記号（Shift_JIS）"));
  EXPECT_EQ(preset->itemText(1), QStringLiteral("縦書き記号（Unicode）"));
  auto* length = Find<QSpinBox>(QStringLiteral("ColumnLength"));
  EXPECT_EQ(length->minimum(), 0);
  EXPECT_EQ(length->maximum(), 999);
  EXPECT_EQ(length->text(), QStringLiteral("なし"));
  EXPECT_EQ(Find<QSpinBox>(QStringLiteral("ColumnGap"))->maximum(), 2);
}

struct LayoutEditCase {
  const char* name;
  LayoutSettings stored;
  const char* lengthTyped;  // typed over the whole box; nullptr leaves it
  int kinsokuSteps;         // Down presses in the rule's list, Up when negative
  int gapSteps;             // Up presses on the gap, Down when negative
  LayoutSettings saved;
};

class SettingsDialogLayoutSaveTest : public SettingsDialogTest,
                                     public testing::WithParamInterface<LayoutEditCase> {};

// Typed and stepped as a user would, then OK: the settings and the file
// hold the new options with the rest.
TEST_P(SettingsDialogLayoutSaveTest, OkSavesTheOptionsWithTheRest) {
  const LayoutEditCase& c = GetParam();
  settings_.rules.columns = c.stored;
  Open();
  auto* length = Find<QSpinBox>(QStringLiteral("ColumnLength"));
  if (c.lengthTyped != nullptr) {
    length->setFocus();
    QTest::keyClick(length, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(length, QString::fromLatin1(c.lengthTyped));
  }
  auto* kinsoku = Find<QComboBox>(QStringLiteral("Kinsoku"));
  kinsoku->setFocus();
  for (int i = 0; i < std::abs(c.kinsokuSteps); ++i) {
    QTest::keyClick(kinsoku, c.kinsokuSteps > 0 ? Qt::Key_Down : Qt::Key_Up);
  }
  auto* gap = Find<QSpinBox>(QStringLiteral("ColumnGap"));
  gap->setFocus();
  for (int i = 0; i < std::abs(c.gapSteps); ++i) {
    QTest::keyClick(gap, c.gapSteps > 0 ? Qt::Key_Up : Qt::Key_Down);
  }
  ClickArrow(true);
  Ok();

  EXPECT_EQ(settings_.rules.columns, c.saved);
  EXPECT_EQ(settings_.rules.tabSpace, 5);
  const AppSettings reloaded = Reload();
  EXPECT_EQ(reloaded.rules.columns, c.saved);
  EXPECT_EQ(reloaded.rules.tabSpace, 5);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogLayoutSaveTest,
    testing::Values(LayoutEditCase{"Untouched", {}, nullptr, 0, 0, {}},
                    LayoutEditCase{"AllSet", {}, "24", 2, 1, {24, Kinsoku::kPushOut, 1}},
                    LayoutEditCase{
                        "StepsStopAtTheEnds", {}, "1234", 5, 5, {123, Kinsoku::kPushOut, 2}},
                    LayoutEditCase{"BackToOff", {30, Kinsoku::kHang, 2}, "0", -1, -2, {}}),
    testing_support::CaseName());

struct PresetCase {
  const char* name;
  SwapTable stored;
  int preset;
  std::size_t rows;
  const char16_t* lastFrom;
  const char16_t* lastTo;
};

class SettingsDialogPresetTest : public SettingsDialogTest,
                                 public testing::WithParamInterface<PresetCase> {};

TEST_P(SettingsDialogPresetTest, AddAppendsTheEntriesNotYetThere) {
  const PresetCase& c = GetParam();
  settings_.rules.table = c.stored;
  Open();
  auto* preset = Find<QComboBox>(QStringLiteral("Preset"));
  preset->setFocus();
  while (preset->currentIndex() < c.preset) QTest::keyClick(preset, Qt::Key_Down);
  Press("PresetAdd");
  ASSERT_EQ(static_cast<std::size_t>(EntryList()->count()), c.rows);
  EXPECT_EQ(EntryList()->item(EntryList()->count() - 1)->text(),
            ToQString(c.lastFrom) + QStringLiteral(" >> ") + ToQString(c.lastTo) +
                QStringLiteral(" 変換時"));
  // The added entries are the table's like any other: pick one and it shows.
  Pick(EntryList()->count() - 1);
  EXPECT_EQ(FromBox()->text(), ToQString(c.lastFrom));
  EXPECT_EQ(ToBox()->text(), ToQString(c.lastTo));
  // Code page 932 cannot hold the vertical forms of the Unicode preset;
  // OK keeps them all the same, without a question, for the next start.
  Ok();
  EXPECT_TRUE(services_.questions.empty());
  EXPECT_EQ(settings_.rules.table.Count(), c.rows);
  EXPECT_EQ(settings_.rules.table[c.rows - 1].from, c.lastFrom);
  EXPECT_EQ(Reload().rules.table, settings_.rules.table);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsDialog, SettingsDialogPresetTest,
    testing::Values(
        PresetCase{"ShiftJis", {}, 0, 7, u"』", u"┗"},
        PresetCase{"ShiftJisSkipsTakenFrom", Table({{u"』", u"]", kCell}}), 0, 7, u"『", u"┓"},
        PresetCase{"Unicode", {}, 1, 27, u"–", u"︲"},
        PresetCase{"BothSkipTheOverlap", Table({{u"―", u"|", kCell}}), 1, 27, u"–", u"︲"}),
    testing_support::CaseName());

TEST_F(SettingsDialogTest, PresetIntoAFullTableAddsWhatFits) {
  for (std::size_t n = 0; n + 1 < SwapTable::kMaxEntries; ++n) {
    settings_.rules.table.Append({u"x", u"y", kCell});
  }
  Open();
  Press("PresetAdd");
  EXPECT_EQ(static_cast<std::size_t>(EntryList()->count()), SwapTable::kMaxEntries);
  EXPECT_FALSE(AddButton()->isEnabled());
}

}  // namespace
}  // namespace mirotabe
