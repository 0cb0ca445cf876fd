#include "ui/input_pane.h"

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

#include "ui/local_path.h"
#include "ui/pane_font.h"

namespace mirotabe {
namespace {

void AcceptFilesOnly(QDragMoveEvent* event) {
  if (FirstDroppedFile(event->mimeData()).empty()) {
    event->ignore();
  } else {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  }
}

}  // namespace

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

void InputPane::keyReleaseEvent(QKeyEvent* event) {
  QPlainTextEdit::keyReleaseEvent(event);
  // Held keys repeat as release and press pairs; only the real release counts.
  if (!event->isAutoRepeat()) emit keyReleased(event->key());
}

void InputPane::dragEnterEvent(QDragEnterEvent* event) {
  AcceptFilesOnly(event);
}

void InputPane::dragMoveEvent(QDragMoveEvent* event) {
  AcceptFilesOnly(event);
}

void InputPane::dropEvent(QDropEvent* event) {
  const std::string file = FirstDroppedFile(event->mimeData());
  if (file.empty()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit fileDropped(file);
}

}  // namespace mirotabe
