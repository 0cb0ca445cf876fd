// Start-up: the settings first, then the main window.
#include <QApplication>

#include "app/info_options.h"
#include "core/settings.h"
#include "ui/form1.h"
#include "ui/qt_translation.h"
#include "ui/ui_services.h"

int main(int argc, char** argv) {
  if (const auto status = mirotabe::AnswerInfoOption(argc, argv)) return *status;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mirotabe"));
  QApplication::setApplicationVersion(QStringLiteral(MIROTABE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("mirotabe"));
  // Without the translation Qt's own texts stay in English; nothing else changes.
  mirotabe::InstallQtJapanese(application);

  mirotabe::AppSettings settings = mirotabe::LoadStartupSettings();
  mirotabe::QtUiServices services;
  mirotabe::Form1 form(settings, services);
  form.LoadStartupFile(QApplication::arguments().mid(1));
  form.show();
  return QApplication::exec();
}
