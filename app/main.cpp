// Start-up: the settings first, then the main window.
#include <QApplication>
#include <string>
#include <vector>

#include "core/settings.h"
#include "ui/form1.h"
#include "ui/qt_translation.h"
#include "ui/ui_services.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mirotabe"));
  QApplication::setApplicationVersion(QStringLiteral(MIROTABE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("mirotabe"));
  // Without the translation Qt's own texts stay in English; nothing else changes.
  mirotabe::InstallQtJapanese(application);

  mirotabe::AppSettings settings = mirotabe::LoadStartupSettings();
  mirotabe::QtUiServices services;
  mirotabe::Form1 form(settings, services);
  // QApplication has taken its own options out of argv; what is left are
  // the system's bytes, which QApplication::arguments() would decode lossily.
  form.LoadStartupFile(std::vector<std::string>(argv + 1, argv + argc));
  form.show();
  return QApplication::exec();
}
