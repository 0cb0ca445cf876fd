// Memory that runs out in one of the window's commands ends that command,
// never the program. Qt's own code is not written to carry an exception,
// so each command that needs memory in proportion to the text runs through
// RunWithinMemory, which catches the failure before it reaches Qt; the
// command then says so, and everything the user typed stays.
#pragma once

#include <QString>
#include <new>

namespace mirotabe {

// Runs `work`; false when memory ran out on the way, with whatever `work`
// had made freed again.
template <typename Work>
bool RunWithinMemory(Work&& work) {
  try {
    work();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// What the window says when memory ran out: what `what` could not be done.
QString OutOfMemoryText(const QString& what);

}  // namespace mirotabe
