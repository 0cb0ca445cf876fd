// Qt's own texts (file dialogs, standard buttons, the panes' context menus)
// in Japanese, like the rest of the program, whatever the locale.
#pragma once

class QCoreApplication;
class QTranslator;

namespace mirotabe {

// Installs Qt's Japanese translation ("qtbase_ja" from Qt's translations
// folder) into `application`, which owns it, and makes Japanese the default
// locale, so that sizes, dates and file types are Japanese too. Null when
// the translation is not installed: Qt's texts then stay in English.
QTranslator* InstallQtJapanese(QCoreApplication& application);

}  // namespace mirotabe
