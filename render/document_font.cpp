#include "render/document_font.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include "render/font_copy.h"
#include "render/vertical_forms.h"

namespace mirotabe {

QString DocumentFontFamily(const QRawFont& font, bool verticalForms) {
  static QMutex mutex;
  static QHash<QString, QString> made;
  const QString family =
      (verticalForms ? QStringLiteral("Mirotabe Vertical ") : QStringLiteral("Mirotabe Text ")) +
      font.familyName();
  const QString key = family + QChar(u'\n') + font.styleName();
  const QMutexLocker lock(&mutex);
  if (const auto found = made.constFind(key); found != made.constEnd()) return *found;
  const VerticalForms forms(font);
  const QByteArray data =
      FontCopy(font, verticalForms ? forms.VerticalCharacterMap() : forms.CharacterMap(), family);
  const int id = data.isEmpty() ? -1 : QFontDatabase::addApplicationFontFromData(data);
  const QStringList families = QFontDatabase::applicationFontFamilies(id);
  QString registered = families.contains(family) ? family : QString();
  made.insert(key, registered);
  return registered;
}

}  // namespace mirotabe
