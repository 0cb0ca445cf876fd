// The application object of the window, with a last guard against memory
// that runs out where no command of the window caught it (in Qt's own
// handling of typing, pasting, dropping or painting): the event that
// needed the memory is dropped, the user is told, and the program and the
// input pane's text go on.
#pragma once

#include <QApplication>
#include <functional>

namespace mirotabe {

class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv);

  // Called, once the event loop is back, after memory ran out in an event.
  void SetOutOfMemoryHandler(std::function<void()> handler) { handler_ = std::move(handler); }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  std::function<void()> handler_;
  bool told_ = false;
};

}  // namespace mirotabe
