#include "ui/save_format.h"

namespace mirotabe {

const QStringList& SaveFileFilters(SavedText text) {
  static const QStringList vertical{QStringLiteral("縦書きテキスト Shift_JIS (*.txt)"),
                                    QStringLiteral("縦書きテキスト UTF-8 (*.txt)")};
  static const QStringList horizontal{QStringLiteral("横書きテキスト Shift_JIS (*.txt)"),
                                      QStringLiteral("横書きテキスト UTF-8 (*.txt)")};
  return text == SavedText::kVertical ? vertical : horizontal;
}

const QString& SaveFileFilter(Charset charset, SavedText text) {
  return SaveFileFilters(text)[charset == Charset::Utf8 ? 1 : 0];
}

Charset SaveFileCharset(const QString& filter) {
  for (const SavedText text : {SavedText::kVertical, SavedText::kHorizontal}) {
    if (filter == SaveFileFilter(Charset::Utf8, text)) return Charset::Utf8;
  }
  return Charset::Cp932;
}

IoStatus RememberSaveCharset(AppSettings& settings, Charset charset) {
  if (settings.saveEncoding == charset) return std::nullopt;
  settings.saveEncoding = charset;
  return SaveSettings(settings, SettingsFile(settings), SettingsPart::kSaveEncoding);
}

}  // namespace mirotabe
