// The panes' text in the program's form: lines separated by CR LF, with
// none after the last line. Qt's text widgets end a line at LF, CR or
// CR LF and hold no lone CR or LF, so every break of a pane is a CR LF.
//
// The input pane's document holds a text in a form of its own, so that a
// large text loads at once and no long line is laid out whole:
// - a line break is a block break or a line separator (U+2028), which the
//   pane draws as a break within its block. Qt's document pays for every
//   block it builds, so short lines share blocks;
// - a line longer than a block takes is cut into several blocks. Each
//   block after a cut carries the ContinuesLine mark in its block format,
//   and its cut is no break: Qt lays a block out whole whenever it is
//   shown, which for a line of millions of characters takes seconds.
// Blocks the user makes by typing a break never carry the mark.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <string>
#include <string_view>

namespace mirotabe {

inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<std::size_t>(text.size()));
}

// Whether the break before `block` only cuts a long line.
bool ContinuesLine(const QTextBlock& block);

// Appends characters of one block in the program's form: a line separator
// is a line break, a no-break space a space (as reading the pane gives it).
void AppendProgramText(QStringView blockText, std::u16string& out);

// The text of `pane`, or of the input pane's `document`, in the program's
// form.
std::u16string ProgramText(const QPlainTextEdit& pane);
std::u16string ProgramText(const QTextDocument& document);

// The selected text of `cursor` in the program's form: a cut within a long
// line is no break there either.
std::u16string SelectedProgramText(const QTextCursor& cursor);

// Puts program text in place of the selection of `cursor`, within the
// cursor's current edit block if it has one.
void InsertProgramText(QTextCursor& cursor, std::u16string_view text);

// The same as one edit that undo takes back.
void ReplaceProgramText(QPlainTextEdit& pane, std::u16string_view text);

}  // namespace mirotabe
