// Keeps the input's unsaved text in the user's state folder, so that
// closing the window, a crash or kill -9 loses at most the last moment of
// typing. A moment after a change the text is copied, and a thread of its
// own writes it, atomically; once the text is what its file holds (or
// nothing was typed) the kept text is removed. Each window keeps its text
// in a slot of its own in <state folder>/drafts/, locked while the window
// runs: a slot whose lock nobody holds was left by a window that is gone,
// and a later window can take it over.
#pragma once

#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/file_lock.h"
#include "textio/draft_file.h"

namespace mirotabe {

class DraftKeeper : public QObject {
  Q_OBJECT

 public:
  // How long after a change the text is written, at most.
  static constexpr int kDelayMilliseconds = 500;

  // `folder` is the state folder, ending in '/' ("" keeps nothing).
  // `snapshot` gives what to keep: the text and where it came from, or none
  // when nothing needs keeping.
  DraftKeeper(QObject* parent, std::string folder, std::function<std::optional<Draft>()> snapshot);
  // Writes what is due and waits until it is written.
  ~DraftKeeper() override;

  // The text changed, or whether it needs keeping did.
  void Changed();
  // Writes what is due now and waits until it is on disk.
  void Flush();

  // The newest text a window that is gone left behind, locked for this
  // window until Adopt or Drop; none when there is none.
  std::optional<Draft> FindLeftBehind();
  // Takes the slot of the text found over: this window keeps its text there.
  void AdoptLeftBehind();
  // Removes the text found: the user does not want it.
  void DropLeftBehind();

 private:
  struct Slot {
    FileLock lock;
    std::string draft;  // the file of the text
  };
  void WriteDue();
  void Work();

  std::string folder_;
  std::function<std::optional<Draft>()> snapshot_;
  QTimer due_;
  std::optional<Slot> slot_;
  std::optional<Slot> leftBehind_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable written_;
  // What the thread is to write next: a text, or none to remove the file.
  std::optional<std::optional<Draft>> pending_;
  std::string pendingPath_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread worker_;
};

}  // namespace mirotabe
