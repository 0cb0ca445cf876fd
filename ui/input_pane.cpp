#include "ui/input_pane.h"

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextBlockFormat>

#include "ui/local_path.h"
#include "ui/pane_font.h"
#include "ui/pane_text.h"

namespace mirotabe {

InputPane::InputPane(QWidget* parent)
    : QPlainTextEdit(parent), programText_(new ProgramTextMirror(document())) {
  setObjectName(QStringLiteral("Text1"));
  setFont(PaneFont());
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (!inPreedit_) emit committedTextChanged();
  });
}

void InputPane::inputMethodEvent(QInputMethodEvent* event) {
  // The document shows the pre-edit and reports it as a change; only a
  // commit or a replacement changes the text.
  inPreedit_ = event->commitString().isEmpty() && event->replacementLength() == 0;
  QPlainTextEdit::inputMethodEvent(event);
  inPreedit_ = false;
}

ProgramTextMirror::Place InputPane::CaretPlace() const {
  return programText_->PlaceOf(textCursor().position());
}

void InputPane::keyPressEvent(QKeyEvent* event) {
  // Qt gives a new block the format of the one it splits, and with it the
  // mark of a cut long line; a typed break is a line break.
  const bool lineBreak = event->matches(QKeySequence::InsertParagraphSeparator) ||
                         event->matches(QKeySequence::InsertLineSeparator);
  if (lineBreak && !isReadOnly() && ContinuesLine(textCursor().block())) {
    QTextCursor cursor = textCursor();
    cursor.insertBlock(QTextBlockFormat());
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
    return;
  }
  // A cut is no character: the keys that delete one across it delete the
  // character beyond it.
  const QTextCursor caret = textCursor();
  if (!isReadOnly() && !caret.hasSelection()) {
    QTextCursor cursor = caret;
    const bool plain = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
    if (plain && event->key() == Qt::Key_Backspace && caret.atBlockStart() &&
        ContinuesLine(caret.block())) {
      cursor.movePosition(QTextCursor::PreviousCharacter);
      cursor.deletePreviousChar();
      setTextCursor(cursor);
      return;
    }
    if (plain && event->key() == Qt::Key_Delete && caret.atBlockEnd() &&
        ContinuesLine(caret.block().next())) {
      cursor.movePosition(QTextCursor::NextCharacter);
      cursor.deleteChar();
      setTextCursor(cursor);
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

// A copy, a cut or a drag of the selection takes its text as the program
// reads it: Qt's own would break a long line at each of its cuts.
QMimeData* InputPane::createMimeDataFromSelection() const {
  QString text = ToQString(SelectedProgramText(textCursor()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  auto* data = new QMimeData;
  data->setText(text);
  return data;
}

void InputPane::insertFromMimeData(const QMimeData* source) {
  if (source == nullptr || !source->hasText()) return;
  QTextCursor cursor = textCursor();
  InsertProgramText(cursor, ToU16(source->text()));
  setTextCursor(cursor);
  ensureCursorVisible();
}

void InputPane::keyReleaseEvent(QKeyEvent* event) {
  QPlainTextEdit::keyReleaseEvent(event);
  // Held keys repeat as release and press pairs; only the real release counts.
  if (!event->isAutoRepeat()) emit keyReleased(event->key());
}

// A drag that brings a local file is the file's, to be read whole; any
// other drag with text, from another program or from this pane's own
// selection, is the text edit's: dropped as a paste, one edit that undo
// takes back, and moved when it comes from the pane itself.
void InputPane::dragEnterEvent(QDragEnterEvent* event) {
  if (FirstDroppedFile(event->mimeData()).empty()) {
    QPlainTextEdit::dragEnterEvent(event);
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void InputPane::dragMoveEvent(QDragMoveEvent* event) {
  if (FirstDroppedFile(event->mimeData()).empty()) {
    QPlainTextEdit::dragMoveEvent(event);
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void InputPane::dropEvent(QDropEvent* event) {
  const std::string file = FirstDroppedFile(event->mimeData());
  if (file.empty()) {
    QPlainTextEdit::dropEvent(event);
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit fileDropped(file);
}

}  // namespace mirotabe
