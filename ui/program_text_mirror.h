// The text of the input pane's document in the program's form (see
// pane_text.h), kept up to date edit by edit. Reading the whole text of a
// large document copies it and walks every block; at each keystroke that
// would cost more than laying the text out, so the window reads this copy
// instead, which each edit changes only where the edit was.
//
// The text is always what ProgramText(pane) gives for the same document.
#pragma once

#include <QObject>
#include <QTextDocument>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gap_text.h"
#include "core/text_edit.h"

namespace mirotabe {

class ProgramTextMirror : public QObject {
  Q_OBJECT

 public:
  // Follows `document` from now on; it must outlive this mirror.
  explicit ProgramTextMirror(QTextDocument* document);

  // The document's text in the program's form. Reading it whole brings it
  // together in memory, which costs a pass over it after an edit; a
  // keystroke's conversion reads only the units around the edit.
  const GapText& Text() const { return text_; }

  // Where a position of the document falls in the text.
  struct Place {
    std::size_t line = 0;       // 0 = the first
    std::size_t lineStart = 0;  // the offset of that line's first unit
    std::size_t offset = 0;
  };
  Place PlaceOf(int position) const;

  // What the edits since the last call changed, as one edit; none when
  // nothing did.
  std::optional<TextEdit> TakeEdit();

 private:
  // One block of the document: its characters' units in the text, its
  // line separators, the units after the last of them, and whether its
  // block break only cuts a long line.
  struct Block {
    std::size_t units = 0;
    std::size_t separators = 0;
    std::size_t tail = 0;
    bool continues = false;
  };
  // Where a block starts in the text, and its first line.
  struct Start {
    std::size_t offset = 0;
    std::size_t line = 0;
  };

  void Apply(int position, int removed, int added);
  void Reload();
  static Block RecordOf(const QTextBlock& block);
  Start StartOf(std::size_t block) const;

  QTextDocument* document_;
  GapText text_;
  std::vector<Block> blocks_;
  // The starts of the first blocks, as far as they are known.
  mutable std::vector<Start> starts_;
  std::optional<TextEdit> pending_;
};

}  // namespace mirotabe
