#include "ui/output_pane.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <utility>
#include <vector>

#include "core/vertical_presets.h"
#include "tests/support/case_name.h"
#include "tests/support/program_lines.h"

namespace mirotabe {
namespace {

VerticalLayout LayoutOf(std::u16string_view input) {
  return std::get<VerticalLayout>(BuildVerticalLayout(input, {0, SwapTable(), {}}));
}

// "abc" and "d😀f" stand as two columns; the rows read
// "ｄａ", "😀ｂ" and "ｆｃ", as the whole is copied, and the columns
// "ａｂｃ" then "ｄ😀ｆ", as they are read.
constexpr std::u16string_view kTwoLines = u"abc\r\nd😀f";
const QString kTwoLinesText = QStringLiteral("ｄａ\n😀ｂ\nｆｃ");

class OutputPaneTest : public testing::Test {
 protected:
  void SetUp() override {
    pane_.resize(300, 200);
    pane_.show();
    pane_.SetLayout(LayoutOf(kTwoLines));
    QApplication::clipboard()->clear();
  }

  // Somewhere inside the cell at row, column: a quarter down from its top
  // edge, nearer the place before it than the place after it.
  QPoint InCell(std::size_t row, std::size_t column) {
    const QRect cell = pane_.CellRect({row, column});
    return QPoint(cell.center().x(), cell.top() + cell.height() / 4);
  }

  OutputPane pane_;
};

using Keys = std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>;

struct KeySelectionCase {
  const char* name;
  Keys keys;
  const char* selected;
};

class OutputPaneKeyTest : public OutputPaneTest,
                          public testing::WithParamInterface<KeySelectionCase> {};

TEST_P(OutputPaneKeyTest, SelectsAndCopiesAsATextBox) {
  for (const auto& [key, modifiers] : GetParam().keys) QTest::keyClick(&pane_, key, modifiers);
  const QString expected = QString::fromUtf8(GetParam().selected);
  EXPECT_EQ(pane_.SelectedText(), expected);

  QTest::keyClick(&pane_, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), expected);
  QApplication::clipboard()->clear();
  QTest::keyClick(&pane_, Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), expected);
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

// The caret starts before "ａ", at the top of the first column.
INSTANTIATE_TEST_SUITE_P(
    Keys, OutputPaneKeyTest,
    testing::Values(
        KeySelectionCase{"ShiftDown", {{Qt::Key_Down, kShift}, {Qt::Key_Down, kShift}}, "ａｂ"},
        KeySelectionCase{"ShiftDownCrossesIntoTheNextColumn",
                         {{Qt::Key_End, kNone}, {Qt::Key_Down, kShift}, {Qt::Key_Down, kShift}},
                         "\nｄ"},
        KeySelectionCase{"NonBmpCellIsOneStep",
                         {{Qt::Key_Left, kNone}, {Qt::Key_Down, kNone}, {Qt::Key_Down, kShift}},
                         "😀"},
        KeySelectionCase{
            "ShiftUpOverTheLineBreak", {{Qt::Key_Left, kNone}, {Qt::Key_Up, kShift}}, "\n"},
        KeySelectionCase{"ShiftLeftToTheNextColumn",
                         {{Qt::Key_Down, kNone}, {Qt::Key_Left, kShift}},
                         "ｂｃ\nｄ"},
        KeySelectionCase{"ShiftHomeFromTheColumnEnd",
                         {{Qt::Key_Left, kNone}, {Qt::Key_End, kNone}, {Qt::Key_Home, kShift}},
                         "ｄ😀ｆ"},
        // The whole is copied as the vertical text it stands for.
        KeySelectionCase{"CtrlShiftEnd", {{Qt::Key_End, kCtrlShift}}, "ｄａ\n😀ｂ\nｆｃ"},
        KeySelectionCase{"CtrlShiftHomeFromTheMiddle",
                         {{Qt::Key_Left, kNone}, {Qt::Key_Down, kNone}, {Qt::Key_Home, kCtrlShift}},
                         "ａｂｃ\nｄ"},
        KeySelectionCase{
            "ShiftPageDownStopsAtTheColumnEnd", {{Qt::Key_PageDown, kShift}}, "ａｂｃ"},
        KeySelectionCase{"CtrlA", {{Qt::Key_A, Qt::ControlModifier}}, "ｄａ\n😀ｂ\nｆｃ"},
        KeySelectionCase{
            "PlainMoveDropsTheSelection", {{Qt::Key_Down, kShift}, {Qt::Key_Down, kNone}}, ""}),
    testing_support::CaseName());

// The caret stays on its line, counted from the right, when a line is
// added or taken away at the end: the columns' places from the left move.
TEST_F(OutputPaneTest, TheCaretKeepsItsLineWhenLinesComeAndGo) {
  QTest::keyClick(&pane_, Qt::Key_Left);
  QTest::keyClick(&pane_, Qt::Key_Down);  // before "😀", on the second line
  const struct {
    std::u16string_view text;
    bool taken;  // the layout given up first, as the window does for each change
    OutputPane::Position caret;
  } cases[] = {{u"abc\r\nd😀f\r\nghi", false, {1, 1}},
               {u"abc\r\nd😀f", false, {1, 0}},
               {u"abc\r\nd😀f\r\ng", true, {1, 1}},
               {u"abc\r\nd😀f", true, {1, 0}}};
  for (const auto& c : cases) {
    if (c.taken) static_cast<void>(pane_.TakeLayout());
    pane_.SetLayout(LayoutOf(c.text));
    EXPECT_EQ(pane_.caret(), c.caret) << c.text.size();
    EXPECT_EQ(pane_.Text(pane_.caret(), {pane_.caret().row + 1, pane_.caret().column}),
              QStringLiteral("😀"));
  }
}

// Select all and copy hand the clipboard the layout, not its text: the
// text is made when the clipboard is read, whole, and as it was when it was
// copied, as characters for this program and as UTF-8 for others.
TEST_F(OutputPaneTest, TheClipboardReadsTheWholeCopiedLayoutLater) {
  const VerticalLayout layout = LayoutOf(testing_support::Lines(2000, std::u16string(300, u'あ')));
  QString expected = QString::fromStdU16String(layout.Text());
  expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  pane_.SetLayout(layout);
  QTest::keyClick(&pane_, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&pane_, Qt::Key_C, Qt::ControlModifier);
  pane_.SetLayout(pane_.TakeLayout());
  pane_.SetLayout(LayoutOf(u"後"));
  const QMimeData* copied = QApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->text().size(), expected.size());
  EXPECT_TRUE(copied->text() == expected);
  EXPECT_TRUE(copied->data(QStringLiteral("text/plain")) == expected.toUtf8());
}

TEST_F(OutputPaneTest, SelectsByMouse) {
  QWidget* view = pane_.viewport();
  // Press before "ａ" and drag down the first column, on to before "ｆ".
  QTest::mousePress(view, Qt::LeftButton, {}, InCell(0, 1));
  QTest::mouseMove(view, InCell(2, 0));
  QTest::mouseRelease(view, Qt::LeftButton, {}, InCell(2, 0));
  EXPECT_EQ(pane_.SelectedText(), QStringLiteral("ａｂｃ\nｄ😀"));

  // A click drops it; Shift+click extends from the click, back before "ｃ".
  QTest::mouseClick(view, Qt::LeftButton, {}, InCell(1, 0));
  EXPECT_EQ(pane_.SelectedText(), QString());
  QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, InCell(2, 1));
  EXPECT_EQ(pane_.SelectedText(), QStringLiteral("ｃ\nｄ"));
  QTest::keyClick(&pane_, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ｃ\nｄ"));
}

TEST_F(OutputPaneTest, DoubleClickSelectsARunOfOneKind) {
  // One column, read down.
  pane_.SetLayout(LayoutOf(u"ナカなか字漢ab"));
  const struct {
    std::size_t row;
    const char* run;
  } cases[] = {{0, "ナカ"}, {1, "ナカ"}, {3, "なか"}, {4, "字漢"}, {7, "ａｂ"}};
  for (const auto& c : cases) {
    QTest::mouseDClick(pane_.viewport(), Qt::LeftButton, {}, InCell(c.row, 0));
    EXPECT_EQ(pane_.SelectedText(), QString::fromUtf8(c.run)) << c.row;
  }
}

// Each cell is as wide as a full-width character, whatever the character:
// the pixels of the cell after a narrow one are those after a wide one.
TEST_F(OutputPaneTest, NarrowCharactersKeepTheGrid) {
  const auto cellPixels = [&](std::u16string_view second) {
    pane_.SetLayout(LayoutOf(u"a\r\n" + std::u16string(second) + u"\r\nb"));
    const QImage shot = pane_.viewport()->grab().toImage();
    const QRect cell = pane_.CellRect({0, 2});  // "ａ", after the cell under test
    return shot.copy(cell);
  };
  const QImage wide = cellPixels(u"あ");
  for (const std::u16string_view narrow : {u"é", u"\uFFFD", u"ｨ"}) {
    EXPECT_EQ(cellPixels(narrow), wide) << std::string(narrow.begin(), narrow.end()).size();
  }
}

// 縦組み表示 sets each cell by the pictures' rule: a character that takes a
// vertical form or lies on its side looks otherwise than without it; what a
// replacement entry made (the Shift_JIS preset's ｜ for ー, ┐ for 「) looks
// the same either way, as chosen.
TEST_F(OutputPaneTest, VerticalViewTurnsCharactersButNotWhatAnEntryMade) {
  SwapTable preset;
  AddPresetEntries(preset, VerticalPresets().front());
  struct Case {
    std::u16string_view text;
    bool withPreset;
    bool looksTheSame;
  };
  for (const Case& c :
       {Case{u"ー", false, false}, Case{u"－", false, false}, Case{u"あ", false, true},
        Case{u"ー", true, true}, Case{u"「", true, true}}) {
    SCOPED_TRACE(QString::fromStdU16String(std::u16string(c.text)).toStdString() +
                 (c.withPreset ? " with the preset" : ""));
    pane_.SetLayout(std::get<VerticalLayout>(
        BuildVerticalLayout(c.text, {0, c.withPreset ? preset : SwapTable(), {}})));
    const auto cellPixels = [&](bool vertical) {
      pane_.SetVerticalGlyphs(vertical);
      return pane_.viewport()->grab().toImage().copy(pane_.CellRect({0, 0}));
    };
    EXPECT_EQ(cellPixels(true) == cellPixels(false), c.looksTheSame);
  }
}

TEST_F(OutputPaneTest, NarrowGlyphIsCentredInItsCell) {
  pane_.SetLayout(LayoutOf(u"é"));
  const QImage shot = pane_.viewport()->grab().toImage();
  const QRect cell = pane_.CellRect({0, 0});
  const QRgb background = shot.pixel(cell.topLeft());
  int left = cell.right();
  int right = cell.left();
  for (int y = cell.top(); y <= cell.bottom(); ++y) {
    for (int x = cell.left(); x <= cell.right(); ++x) {
      if (shot.pixel(x, y) == background) continue;
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  ASSERT_LE(left, right) << "nothing drawn";
  EXPECT_LE(std::abs((left - cell.left()) - (cell.right() - right)), 2);
}

TEST_F(OutputPaneTest, ContextMenuCopiesAndSelectsAll) {
  const auto openMenu = [&] {
    QContextMenuEvent event(QContextMenuEvent::Mouse, InCell(0, 0),
                            pane_.viewport()->mapToGlobal(InCell(0, 0)));
    QApplication::sendEvent(pane_.viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    EXPECT_NE(menu, nullptr);
    return menu;
  };
  QMenu* menu = openMenu();
  ASSERT_NE(menu, nullptr);
  QStringList captions;
  QList<bool> enabled;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    captions.push_back(action->text());
    enabled.push_back(action->isEnabled());
  }
  EXPECT_EQ(captions,
            (QStringList{QStringLiteral("コピー(&C)"), QStringLiteral("すべて選択(&A)")}));
  EXPECT_EQ(enabled, (QList<bool>{false, true}));  // nothing selected yet

  QTest::keyClick(menu, Qt::Key_A);
  EXPECT_EQ(pane_.SelectedText(), kTwoLinesText);
  menu = openMenu();
  ASSERT_NE(menu, nullptr);
  QTest::keyClick(menu, Qt::Key_C);
  EXPECT_EQ(QApplication::clipboard()->text(), kTwoLinesText);
}

TEST_F(OutputPaneTest, AccessibleTextHasCharacterOffsets) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&pane_);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::EditableText);
  EXPECT_TRUE(accessible->state().readOnly);
  EXPECT_TRUE(accessible->state().multiLine);
  QAccessibleTextInterface* text = accessible->textInterface();
  ASSERT_NE(text, nullptr);

  // Column by column from the right, as a screen reader is to read it.
  const QString read = QStringLiteral("ａｂｃ\nｄ😀ｆ");
  EXPECT_EQ(text->characterCount(), read.size());
  const struct {
    int start, end;
    const char* text;
  } ranges[] = {{0, 8, "ａｂｃ\nｄ😀ｆ"}, {0, 3, "ａｂｃ"}, {3, 4, "\n"}, {4, 5, "ｄ"}, {5, 7, "😀"},
                {4, 7, "ｄ😀"},           {7, 8, "ｆ"},     {6, 8, "😀ｆ"}};  // 6, inside the pair,
                                                                            // stands before it
  for (const auto& r : ranges) {
    EXPECT_EQ(text->text(r.start, r.end), QString::fromUtf8(r.text)) << r.start << "-" << r.end;
  }

  text->setSelection(0, 5, 8);
  EXPECT_EQ(pane_.SelectedText(), QStringLiteral("😀ｆ"));
  int start = -1;
  int end = -1;
  text->selection(0, &start, &end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(5, 8));
  EXPECT_EQ(text->cursorPosition(), 8);
  text->setCursorPosition(1);
  EXPECT_EQ(pane_.caret(), (OutputPane::Position{1, 1}));
  EXPECT_EQ(text->selectionCount(), 0);
  for (const int offset : {0, 2, 4, 5, 7}) {
    EXPECT_EQ(text->offsetAtPoint(text->characterRect(offset).center()), offset);
  }
  // Ctrl+Home goes to the first character read, Ctrl+End past the last.
  QTest::keyClick(&pane_, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(text->cursorPosition(), read.size());
  QTest::keyClick(&pane_, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(text->cursorPosition(), 0);
}

TEST_F(OutputPaneTest, WheelScrollsDownAndShiftWheelSideways) {
  std::u16string wide;
  for (int line = 0; line < 200; ++line) wide += u"あいうえおかきくけこさしすせそたちつてと\r\n";
  pane_.SetLayout(LayoutOf(wide));
  const auto wheel = [&](QPoint delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(20, 20), pane_.viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                      delta, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pane_.viewport(), &event);
  };
  wheel(QPoint(0, -120), Qt::NoModifier);
  EXPECT_EQ(pane_.FirstVisibleRow(), 3u);
  EXPECT_EQ(pane_.FirstVisibleColumn(), 0u);
  wheel(QPoint(0, -120), Qt::ShiftModifier);
  EXPECT_EQ(pane_.FirstVisibleRow(), 3u);
  EXPECT_EQ(pane_.FirstVisibleColumn(), 3u);
}

}  // namespace
}  // namespace mirotabe

namespace mirotabe {
namespace {

// A layout narrower than the pane stands at its right edge, the first line
// rightmost; a wider one starts at the left edge and scrolls as before.
TEST(OutputPaneAlignmentTest, ANarrowLayoutStandsAtTheRightEdge) {
  OutputPane pane;
  pane.resize(300, 200);
  pane.show();
  pane.SetLayout(LayoutOf(kTwoLines));
  const int right = pane.viewport()->width();
  EXPECT_EQ(pane.horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(pane.CellRect({0, 1}).right() + 1, right - 4);
  EXPECT_EQ(pane.CellRect({0, 0}).right() + 1, pane.CellRect({0, 1}).left());
  // A click lands on the cell drawn there.
  EXPECT_EQ(pane.CellAt(pane.CellRect({1, 0}).center()), (OutputPane::Position{1, 0}));

  std::u16string wide;
  for (int line = 0; line < 100; ++line) wide += u"あい\r\n";
  pane.SetLayout(LayoutOf(wide));
  EXPECT_EQ(pane.CellRect({0, 0}).left(), 4);
  EXPECT_GT(pane.horizontalScrollBar()->maximum(), 0);
  pane.ScrollTo({0, pane.layout().ColumnCount()});
  EXPECT_LE(pane.CellRect({0, pane.layout().ColumnCount() - 1}).right(), right);
}

}  // namespace
}  // namespace mirotabe
