// Putting a whole text into a pane as a test's starting point: as the
// program puts in text, but with no undo history to take it back.
#pragma once

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <string_view>

#include "ui/pane_text.h"

namespace mirotabe::testing_support {

inline void SetProgramText(QPlainTextEdit& pane, std::u16string_view text) {
  QTextDocument* document = pane.document();
  // Without a history the document keeps no copy of the text it drops.
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document);
  cursor.select(QTextCursor::Document);
  mirotabe::InsertProgramText(cursor, text);
  document->setUndoRedoEnabled(true);
  pane.setTextCursor(QTextCursor(document));
}

}  // namespace mirotabe::testing_support
