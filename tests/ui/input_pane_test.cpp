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
#include "ui/pane_text.h"

namespace mirotabe {
namespace {

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
        EditCase{"EmptiedByTheProgram", [](InputPane& p) { SetProgramText(p, u""); }}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
