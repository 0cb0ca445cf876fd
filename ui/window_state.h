// What the window remembers between runs, apart from the settings file:
// its place and size, where the splitter stands, the folder its dialogs
// last used and the files last opened or saved. It lives in "window.ini"
// in the user's state folder (see UserStateFolder), which every running
// window shares: each change is written at once, and each read sees what
// the others wrote.
//
// File names are kept as the system's bytes, which need not be UTF-8.
#pragma once

#include <QByteArray>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSettings;

namespace mirotabe {

class WindowState {
 public:
  // Keeps the state in `folder` (ending in '/'); "" keeps it in memory
  // only, for a window that must leave nothing behind.
  explicit WindowState(std::string folder);
  ~WindowState();
  WindowState(const WindowState&) = delete;
  WindowState& operator=(const WindowState&) = delete;

  // The folder given, where other kept things may go too ("" for none).
  const std::string& Folder() const { return folder_; }

  // QWidget::saveGeometry's bytes; empty when none are kept.
  QByteArray Geometry() const;
  void SetGeometry(const QByteArray& geometry);

  // Where the splitter stands, as a share of the room it moves in (0 all
  // left, 1 all right), if one is kept.
  std::optional<double> Split() const;
  void SetSplit(double share);

  // The folder the dialogs last used; "" when none is kept.
  std::string LastFolder() const;
  void SetLastFolder(const std::string& folder);

  std::vector<std::string> RecentFiles() const;
  // The recent files kept, newest first (see core/recent_files.h).
  // Puts `file` first, dropping it from further down and the oldest beyond
  // kMaxRecentFiles.
  void AddRecentFile(const std::string& file);
  void RemoveRecentFile(const std::string& file);
  void ClearRecentFiles();

 private:
  void SetRecentFiles(const std::vector<std::string>& files);

  std::string folder_;
  std::unique_ptr<QSettings> settings_;
};

}  // namespace mirotabe
