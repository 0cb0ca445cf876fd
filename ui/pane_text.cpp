#include "ui/pane_text.h"

namespace mirotabe {

std::u16string ProgramText(const QPlainTextEdit& pane) {
  QString text = pane.toPlainText();
  text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
  return ToU16(text);
}

void SetProgramText(QPlainTextEdit& pane, std::u16string_view text) {
  QString paneText = ToQString(text);
  // One break each: the widget would read CR LF as two.
  paneText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  pane.setPlainText(paneText);
}

}  // namespace mirotabe
