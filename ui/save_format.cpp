#include "ui/save_format.h"

namespace mirotabe {

const QStringList& SaveFileFilters(SavedText text) {
  const auto filters = [](SavedText kind) {
    QStringList list;
    for (const FileType& type : SaveFileTypes(kind)) {
      list.push_back(QString::fromStdU16String(std::u16string(type.name)));
    }
    return list;
  };
  static const QStringList vertical = filters(SavedText::kVertical);
  static const QStringList horizontal = filters(SavedText::kHorizontal);
  return text == SavedText::kVertical ? vertical : horizontal;
}

const QString& SaveFileFilter(Charset charset, SavedText text) {
  return SaveFileFilters(text)[static_cast<qsizetype>(SaveFileTypeIndex(charset))];
}

Charset SaveFileCharset(const QString& filter) {
  for (const SavedText text : {SavedText::kVertical, SavedText::kHorizontal}) {
    if (filter == SaveFileFilter(Charset::Utf8, text)) return Charset::Utf8;
  }
  return Charset::Cp932;
}

}  // namespace mirotabe
