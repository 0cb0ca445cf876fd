#include "ui/guarded_application.h"

#include <QTimer>
#include <new>

namespace mirotabe {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    // Told once the memory of the event is given back, and once for a burst
    // of failures rather than at every event of it.
    if (handler_ && !told_) {
      told_ = true;
      QTimer::singleShot(0, this, [this] {
        handler_();
        told_ = false;
      });
    }
    return false;
  }
}

}  // namespace mirotabe
