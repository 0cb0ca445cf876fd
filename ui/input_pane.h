// The input pane: the text box the user types into. It tells the window of
// what the conversion triggers and the file drop need, and nothing more:
// - committedTextChanged: the text changed, not counting an input method's
//   pre-edit, which is not yet text;
// - keyReleased: a key was let go (held keys' repeats do not count);
// - fileDropped: a drag ending here brought a local file. Dragged text is
//   dropped as a paste, and a selection can be dragged within the pane.
// Its text in the program's form is kept up to date edit by edit, so that
// reading it at every keystroke costs nothing. Pasted text goes in as a
// loaded file does (see pane_text.h), and a break typed inside a cut long
// line is a line break.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "ui/program_text_mirror.h"

namespace mirotabe {

class InputPane : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit InputPane(QWidget* parent = nullptr);

  // The text in the program's form (see ProgramText), valid until the next
  // edit or read of it.
  std::u16string_view ProgramText() const { return programText_->Text().Text(); }
  // The same text as it is kept between edits: a keystroke's work reads
  // the units around the edit from it, without bringing the whole text
  // together.
  const GapText& ProgramTextBuffer() const { return programText_->Text(); }

  // Where the caret stands in that text.
  ProgramTextMirror::Place CaretPlace() const;

  // What the edits since the last call changed in that text (see
  // ProgramTextMirror::TakeEdit).
  std::optional<TextEdit> TakeEdit() { return programText_->TakeEdit(); }

 signals:
  void committedTextChanged();
  void keyReleased(int qtKey);
  // `path` holds the name's bytes, which need not be UTF-8.
  void fileDropped(const std::string& path);

 protected:
  void inputMethodEvent(QInputMethodEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  QMimeData* createMimeDataFromSelection() const override;
  void insertFromMimeData(const QMimeData* source) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool inPreedit_ = false;
  ProgramTextMirror* programText_;
};

}  // namespace mirotabe
