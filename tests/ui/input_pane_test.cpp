// The input pane's own copy of its text in the program's form must stay the
// text that reading the whole pane gives, whatever the edit.
#include "ui/input_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <functional>
#include <string>

#include "tests/support/case_name.h"
#include "tests/support/pane_text_setter.h"
#include "ui/pane_text.h"

namespace mirotabe {
namespace {

using testing_support::SetProgramText;

struct EditCase {
  const char* name;
  std::function<void(InputPane&)> edit;
};

void Paste(InputPane& pane, const QString& text) {
  QApplication::clipboard()->setText(text);
  QTest::keyClick(&pane, Qt::Key_V, Qt::ControlModifier);
}

void MoveTo(InputPane& pane, int position, int anchor = -1) {
  QTextCursor cursor = pane.textCursor();
  cursor.setPosition(anchor < 0 ? position : anchor);
  if (anchor >= 0) cursor.setPosition(position, QTextCursor::KeepAnchor);
  pane.setTextCursor(cursor);
}

void Commit(InputPane& pane, const QString& preedit, const QString& commit) {
  QInputMethodEvent event(preedit, {});
  event.setCommitString(commit);
  QApplication::sendEvent(&pane, &event);
}

// A line long enough to be held in several blocks of the pane.
std::u16string LongLine() {
  std::u16string line;
  for (int i = 0; i < 3000; ++i) line += u"長い行abc";
  return line;
}

// The block that holds the text's unit `offset` of the long line loaded
// by LongLineCase, which starts at offset 0.
int CutAfter(InputPane& pane, int cut) {
  return pane.document()->findBlockByNumber(cut + 1).position();
}

void LoadLongLine(InputPane& pane) {
  const std::u16string text = u"前\r\n" + LongLine() + u"\r\n後";
  SetProgramText(pane, text);
  ASSERT_GT(pane.document()->blockCount(), 4);
  ASSERT_EQ(ProgramText(pane), text);
}

class ProgramTextMirrorTest : public testing::TestWithParam<EditCase> {};

TEST_P(ProgramTextMirrorTest, StaysTheTextOfThePane) {
  InputPane pane;
  pane.show();
  SetProgramText(pane, u"一行目\r\n二行目\r\n\r\n四行目 end");
  ASSERT_EQ(pane.ProgramText(), ProgramText(pane));
  GetParam().edit(pane);
  EXPECT_EQ(std::u16string(pane.ProgramText()), ProgramText(pane));
  // And the next ordinary edit still lands in the right place.
  QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(&pane, QStringLiteral("z"));
  EXPECT_EQ(std::u16string(pane.ProgramText()), ProgramText(pane));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ProgramTextMirrorTest,
    testing::Values(
        EditCase{"TypingInTheMiddle",
                 [](InputPane& p) {
                   MoveTo(p, 6);
                   QTest::keyClicks(&p, QStringLiteral("abc"));
                 }},
        EditCase{"EnterSplitsALine",
                 [](InputPane& p) {
                   MoveTo(p, 2);
                   QTest::keyClick(&p, Qt::Key_Return);
                 }},
        EditCase{"BackspaceJoinsLines",
                 [](InputPane& p) {
                   MoveTo(p, 8);
                   QTest::keyClick(&p, Qt::Key_Backspace);
                   QTest::keyClick(&p, Qt::Key_Backspace);
                 }},
        EditCase{"DeleteAtTheEndOfALine",
                 [](InputPane& p) {
                   MoveTo(p, 3);
                   QTest::keyClick(&p, Qt::Key_Delete);
                 }},
        EditCase{"SelectionAcrossLinesTypedOver",
                 [](InputPane& p) {
                   MoveTo(p, 10, 1);
                   QTest::keyClicks(&p, QStringLiteral("x"));
                 }},
        EditCase{"SelectAllDeleted",
                 [](InputPane& p) {
                   QTest::keyClick(&p, Qt::Key_A, Qt::ControlModifier);
                   QTest::keyClick(&p, Qt::Key_Delete);
                 }},
        EditCase{"PasteOfEveryKindOfBreak",
                 [](InputPane& p) {
                   MoveTo(p, 5);
                   Paste(p, QStringLiteral("a\r\nb\nc\rd") + QChar(0x2029) + QStringLiteral("e"));
                 }},
        EditCase{"PasteOfLineSeparatorsAndNoBreakSpaces",
                 [](InputPane& p) {
                   MoveTo(p, 4);
                   Paste(p, QStringLiteral("a") + QChar(0x2028) + QStringLiteral("b") +
                                QChar(0x00A0) + QStringLiteral("c"));
                   MoveTo(p, 2);
                   QTest::keyClick(&p, Qt::Key_Return);
                 }},
        EditCase{"LineSeparatorDeletedAgain",
                 [](InputPane& p) {
                   MoveTo(p, 4);
                   Paste(p, QString(QChar(0x2028)));
                   QTest::keyClick(&p, Qt::Key_Backspace);
                 }},
        EditCase{"UndoAndRedo",
                 [](InputPane& p) {
                   MoveTo(p, 8);
                   QTest::keyClicks(&p, QStringLiteral("ab"));
                   QTest::keyClick(&p, Qt::Key_Return);
                   QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier);
                   QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier);
                   QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                 }},
        EditCase{"InputMethodPreeditThenCommit",
                 [](InputPane& p) {
                   MoveTo(p, 9);
                   Commit(p, QStringLiteral("かな"), {});
                   Commit(p, {}, QStringLiteral("仮名"));
                 }},
        EditCase{"WholeTextReplaced", [](InputPane& p) { SetProgramText(p, u"新\r\n\r\nしい"); }},
        EditCase{"LongLineTypedIntoAndBrokenAtACut",
                 [](InputPane& p) {
                   LoadLongLine(p);
                   MoveTo(p, CutAfter(p, 2) + 3);
                   QTest::keyClicks(&p, QStringLiteral("xy"));
                   MoveTo(p, CutAfter(p, 1));
                   QTest::keyClick(&p, Qt::Key_Return);
                   MoveTo(p, CutAfter(p, 3) + 5);
                   QTest::keyClick(&p, Qt::Key_Return);
                 }},
        EditCase{"LongLineDeletedAcrossCuts",
                 [](InputPane& p) {
                   LoadLongLine(p);
                   MoveTo(p, CutAfter(p, 2));
                   QTest::keyClick(&p, Qt::Key_Backspace);
                   MoveTo(p, CutAfter(p, 3) - 1);
                   QTest::keyClick(&p, Qt::Key_Delete);
                   MoveTo(p, CutAfter(p, 3) + 2, CutAfter(p, 1) - 2);
                   QTest::keyClick(&p, Qt::Key_Delete);
                   QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier);
                 }},
        EditCase{"LongLinePastedIntoALine",
                 [](InputPane& p) {
                   MoveTo(p, 2);
                   Paste(p, ToQString(LongLine() + u"\r\n" + LongLine()));
                   QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier);
                   QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                 }},
        EditCase{"EmptiedByTheProgram", [](InputPane& p) { SetProgramText(p, u""); }},
        EditCase{"ReplacedAsOneEditThenUndone",
                 [](InputPane& p) {
                   ReplaceProgramText(p, u"新\r\n\r\nしい");
                   QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier);
                   QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                 }}),
    testing_support::CaseName());

// The keys that delete a character delete one of the text at a cut, where
// the pane shows no character of its own.
TEST(InputPaneTest, KeysAtTheCutsOfALongLineDeleteItsCharacters) {
  InputPane pane;
  LoadLongLine(pane);
  const std::u16string line = LongLine();
  MoveTo(pane, CutAfter(pane, 1));
  QTest::keyClick(&pane, Qt::Key_Backspace);
  const std::u16string text(pane.ProgramText());
  ASSERT_EQ(text.size(), line.size() + 5);
  MoveTo(pane, CutAfter(pane, 1) - 1);
  QTest::keyClick(&pane, Qt::Key_Delete);
  EXPECT_EQ(pane.ProgramText().size(), line.size() + 4);
  EXPECT_EQ(std::u16string(pane.ProgramText()), ProgramText(pane));
}

// A copy across a cut keeps the line whole, and a cut and a paste of it
// give the text back.
TEST(InputPaneTest, CopiesOfALongLineHaveNoBreaksAtItsCuts) {
  InputPane pane;
  LoadLongLine(pane);
  const std::u16string text(pane.ProgramText());
  MoveTo(pane, 1, CutAfter(pane, 2) + 3);
  QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
  QString expected = ToQString(text.substr(1, static_cast<std::size_t>(CutAfter(pane, 2)) + 1));
  EXPECT_EQ(QApplication::clipboard()->text(), expected.replace(QStringLiteral("\r\n"), "\n"));
  QTest::keyClick(&pane, Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(&pane, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(std::u16string(pane.ProgramText()), text);
}

}  // namespace
}  // namespace mirotabe
