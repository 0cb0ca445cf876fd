// The text of a document in the program's form (lines separated by CR LF,
// see ProgramText), kept up to date edit by edit. Reading the whole text
// of a large document copies it and walks every block; at each keystroke
// that would cost more than laying the text out, so the window reads this
// copy instead, which each edit changes only where the edit was.
//
// The text is always what ProgramText(pane) gives for the same document.
#pragma once

#include <QObject>
#include <QTextDocument>
#include <string>
#include <string_view>

namespace mirotabe {

class ProgramTextMirror : public QObject {
  Q_OBJECT

 public:
  // Follows `document` from now on; it must outlive this mirror.
  explicit ProgramTextMirror(QTextDocument* document);

  // The document's text in the program's form, valid until its next edit.
  std::u16string_view Text() const;

 private:
  void Apply(int position, int removed, int added);
  void Reload();

  QTextDocument* document_;
  // The document's characters one for one, but for each block break, which
  // is CR LF here, and a no-break space, which reads as a space. A line
  // separator (U+2028) stays as it is and is counted, since reading the
  // text turns it into a line break too: the rare text that holds one is
  // converted when it is read.
  std::u16string text_;
  std::size_t lineSeparators_ = 0;
  mutable std::u16string converted_;
};

}  // namespace mirotabe
