#include "ui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mirotabe {

QTranslator* InstallQtJapanese(QCoreApplication& application) {
  // Sizes, dates and the names of file types in Qt's file dialog follow the
  // default locale, which is C under LANG=C.UTF-8: Japanese whatever the
  // system's.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  auto* translator = new QTranslator(&application);
  if (!translator->load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return nullptr;
  }
  return translator;
}

}  // namespace mirotabe
