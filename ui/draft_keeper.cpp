#include "ui/draft_keeper.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "platform/files.h"
#include "ui/out_of_memory.h"

namespace mirotabe {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kDraftSuffix = ".draft";

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

DraftKeeper::DraftKeeper(QObject* parent, std::string folder,
                         std::function<std::optional<Draft>()> snapshot)
    : QObject(parent), folder_(std::move(folder)), snapshot_(std::move(snapshot)) {
  due_.setSingleShot(true);
  due_.setInterval(kDelayMilliseconds);
  connect(&due_, &QTimer::timeout, this, &DraftKeeper::WriteDue);
  if (!folder_.empty()) worker_ = std::thread(&DraftKeeper::Work, this);
}

DraftKeeper::~DraftKeeper() {
  if (!worker_.joinable()) return;
  Flush();
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  worker_.join();
  // A window that closes with nothing to keep leaves no slot behind.
  if (slot_ && !fs::exists(slot_->draft)) std::move(slot_->lock).Remove();
}

void DraftKeeper::Changed() {
  // Written a moment after the first change, not after the last: steady
  // typing is kept as it goes.
  if (worker_.joinable() && !due_.isActive()) due_.start();
}

void DraftKeeper::Flush() {
  if (!worker_.joinable()) return;
  if (due_.isActive()) WriteDue();
  std::unique_lock lock(mutex_);
  written_.wait(lock, [this] { return !pending_ && !busy_; });
}

void DraftKeeper::WriteDue() {
  due_.stop();
  std::optional<Draft> draft = snapshot_();
  if (!slot_) {
    if (!draft) return;
    std::error_code error;
    const std::string drafts = folder_ + "drafts/";
    fs::create_directories(drafts, error);
    const std::string name =
        drafts + std::to_string(::getpid()) + "-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    std::optional<FileLock> lock = FileLock::TryLock(name + std::string(kLockSuffix));
    if (!lock) return;
    slot_.emplace(Slot{std::move(*lock), name + std::string(kDraftSuffix)});
  }
  {
    const std::lock_guard lock(mutex_);
    pending_ = std::move(draft);
    pendingPath_ = slot_->draft;
  }
  wake_.notify_one();
}

void DraftKeeper::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return pending_ || stop_; });
    if (!pending_) return;
    const std::optional<Draft> draft = std::move(*pending_);
    const std::string path = pendingPath_;
    pending_.reset();
    busy_ = true;
    lock.unlock();
    if (draft) {
      // A failed write leaves the text kept before; the next change tries
      // again. Memory that runs out here would otherwise end the program,
      // and with it the text.
      (void)RunWithinMemory([&] { (void)ReplaceFileAtomically(path, DraftBytes(*draft)); });
    } else {
      std::error_code error;
      fs::remove(path, error);
    }
    lock.lock();
    busy_ = false;
    written_.notify_all();
  }
}

std::optional<Draft> DraftKeeper::FindLeftBehind() {
  if (folder_.empty()) return std::nullopt;
  std::error_code error;
  std::optional<Draft> newest;
  fs::file_time_type newestTime;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder_ + "drafts", error)) {
    const std::string path = entry.path().string();
    if (!path.ends_with(kLockSuffix)) continue;
    const std::string base = path.substr(0, path.size() - kLockSuffix.size());
    std::optional<FileLock> lock = FileLock::TryLock(path);
    if (!lock) continue;  // its window still runs
    const std::string draftPath = base + std::string(kDraftSuffix);
    std::optional<Draft> draft = ParseDraft(ReadWhole(draftPath));
    if (!draft) {
      // Nothing whole to give back: the slot goes.
      fs::remove(draftPath, error);
      std::move(*lock).Remove();
      continue;
    }
    const fs::file_time_type time = fs::last_write_time(draftPath, error);
    if (!newest || time > newestTime) {
      newest = std::move(draft);
      newestTime = time;
      leftBehind_.emplace(Slot{std::move(*lock), draftPath});
    }
  }
  return newest;
}

void DraftKeeper::AdoptLeftBehind() {
  if (!leftBehind_) return;
  Flush();
  if (slot_) {
    std::error_code error;
    fs::remove(slot_->draft, error);
    std::move(slot_->lock).Remove();
  }
  slot_ = std::move(leftBehind_);
  leftBehind_.reset();
  Changed();
}

void DraftKeeper::DropLeftBehind() {
  if (!leftBehind_) return;
  std::error_code error;
  fs::remove(leftBehind_->draft, error);
  std::move(leftBehind_->lock).Remove();
  leftBehind_.reset();
}

}  // namespace mirotabe
