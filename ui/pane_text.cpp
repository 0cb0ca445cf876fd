#include "ui/pane_text.h"

namespace mirotabe {

// Both directions are one pass: QString::replace moves the rest of the
// text at every line break, which is quadratic on a long text.

std::u16string ProgramText(const QPlainTextEdit& pane) {
  const QString text = pane.toPlainText();
  const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
  std::u16string out;
  out.reserve(static_cast<std::size_t>(text.size() + text.size() / 16));
  qsizetype done = 0;
  for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', done)) {
    out.append(units + done, static_cast<std::size_t>(at - done)).append(u"\r\n");
    done = at + 1;
  }
  out.append(units + done, static_cast<std::size_t>(text.size() - done));
  return out;
}

void SetProgramText(QPlainTextEdit& pane, std::u16string_view text) {
  // One break each: the widget would read CR LF as two.
  QString paneText(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* out = paneText.data();
  qsizetype length = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    out[length++] = QChar(text[i]);
  }
  paneText.truncate(length);
  pane.setPlainText(paneText);
}

}  // namespace mirotabe
