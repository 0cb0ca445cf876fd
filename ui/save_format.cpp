#include "ui/save_format.h"

namespace mirotabe {

const QStringList& SaveFileFilters() {
  static const QStringList filters{QStringLiteral("縦書きテキスト Shift_JIS (*.txt)"),
                                   QStringLiteral("縦書きテキスト UTF-8 (*.txt)")};
  return filters;
}

const QString& SaveFileFilter(Charset charset) {
  return SaveFileFilters()[charset == Charset::Utf8 ? 1 : 0];
}

Charset SaveFileCharset(const QString& filter) {
  return filter == SaveFileFilter(Charset::Utf8) ? Charset::Utf8 : Charset::Cp932;
}

IoStatus RememberSaveCharset(AppSettings& settings, Charset charset) {
  if (settings.saveEncoding == charset) return std::nullopt;
  settings.saveEncoding = charset;
  return SaveSettings(settings, SettingsFile(settings), SettingsPart::kSaveEncoding);
}

}  // namespace mirotabe
