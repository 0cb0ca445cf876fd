// Start-up: the settings first, then the main window.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/info_options.h"
#include "core/settings.h"
#include "platform/program_folder.h"
#include "ui/guarded_application.h"
#include "ui/main_window.h"
#include "ui/output_pane.h"
#include "ui/qt_translation.h"
#include "ui/ui_services.h"
#include "ui/window_state.h"

namespace {

// With MIROTABE_QUIT_AFTER_FIRST_PAINT set, the program quits once the
// output pane has painted cells, or once a message box has been painted
// (a text too long to lay out is told of before the window shows), so that
// a script can time the whole start from exec to the first painted output
// (scripts/bench.sh does).
class QuitAfterFirstPaint : public QObject {
 public:
  explicit QuitAfterFirstPaint(mirotabe::OutputPane* pane) : pane_(pane) {
    qApp->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    // Quits from the event loop, once this paint has reached the screen.
    if (watched == pane_->viewport() && pane_->layout().RowCount() != 0) {
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    } else if (qobject_cast<QMessageBox*>(watched) != nullptr) {
      // Its own event loop runs inside the start-up: nothing is left to do.
      QTimer::singleShot(0, qApp, [] { std::_Exit(0); });
    }
    return false;
  }

 private:
  mirotabe::OutputPane* pane_;
};

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = mirotabe::AnswerInfoOption(argc, argv)) return *status;
  mirotabe::GuardedApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mirotabe"));
  QApplication::setApplicationVersion(QStringLiteral(MIROTABE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("mirotabe"));
  // Without the translation Qt's own texts stay in English; nothing else changes.
  mirotabe::InstallQtJapanese(application);

  mirotabe::AppSettings settings;
  const mirotabe::IoStatus unreadSettings = mirotabe::LoadStartupSettings(settings);
  mirotabe::QtUiServices services;
  mirotabe::WindowState state(mirotabe::UserStateFolder());
  mirotabe::MainWindow window(settings, services, state);
  application.SetOutOfMemoryHandler([&window] { window.ReportOutOfMemory(); });
  std::unique_ptr<QuitAfterFirstPaint> probe;
  if (qEnvironmentVariableIsSet("MIROTABE_QUIT_AFTER_FIRST_PAINT")) {
    probe = std::make_unique<QuitAfterFirstPaint>(window.outputPane());
  }
  if (unreadSettings.failed()) window.ReportUnreadSettings(unreadSettings.error());
  // QApplication has taken its own options out of argv; what is left are
  // the system's bytes, which QApplication::arguments() would decode lossily.
  window.LoadStartupFile(std::vector<std::string>(argv + 1, argv + argc));
  window.OfferKeptText();
  window.show();
  return QApplication::exec();
}
