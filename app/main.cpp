// Start-up: the settings first, then the main window.
#include <QApplication>

#include "core/settings.h"
#include "ui/form1.h"
#include "ui/ui_services.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mirotabe"));
  QApplication::setApplicationVersion(QStringLiteral(MIROTABE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("mirotabe"));

  mirotabe::AppSettings settings = mirotabe::LoadStartupSettings();
  mirotabe::QtUiServices services;
  mirotabe::Form1 form(settings, services);
  form.LoadStartupFile(QApplication::arguments().mid(1));
  form.show();
  return QApplication::exec();
}
