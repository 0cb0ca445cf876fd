// The panes' text in the program's form: lines separated by CR LF, with
// none after the last line. Qt's text widgets end a line at LF, CR or
// CR LF and hold no lone CR or LF, so every break of a pane is a CR LF.
#pragma once

#include <QPlainTextEdit>
#include <QString>
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

// The text of `pane` in the program's form.
std::u16string ProgramText(const QPlainTextEdit& pane);

// Puts program text into `pane`.
void SetProgramText(QPlainTextEdit& pane, std::u16string_view text);

}  // namespace mirotabe
