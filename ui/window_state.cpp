#include "ui/window_state.h"

#include <QFile>
#include <QSettings>
#include <QVariant>
#include <algorithm>
#include <utility>

#include "core/recent_files.h"

namespace mirotabe {
namespace {

const QString kGeometry = QStringLiteral("Window/Geometry");
const QString kSplit = QStringLiteral("Window/Split");
const QString kLastFolder = QStringLiteral("Files/LastFolder");
const QString kRecent = QStringLiteral("Files/Recent");

std::unique_ptr<QSettings> Open(const std::string& folder) {
  if (folder.empty()) {
    // In memory: a file nobody reads, never written.
    auto settings = std::make_unique<QSettings>(QString(), QSettings::IniFormat);
    return settings;
  }
  return std::make_unique<QSettings>(
      QFile::decodeName(QByteArray::fromStdString(folder)) + QStringLiteral("window.ini"),
      QSettings::IniFormat);
}

}  // namespace

WindowState::WindowState(std::string folder)
    : folder_(std::move(folder)), settings_(Open(folder_)) {}

WindowState::~WindowState() = default;

QByteArray WindowState::Geometry() const {
  settings_->sync();
  return settings_->value(kGeometry).toByteArray();
}

void WindowState::SetGeometry(const QByteArray& geometry) {
  settings_->setValue(kGeometry, geometry);
  settings_->sync();
}

std::optional<double> WindowState::Split() const {
  settings_->sync();
  bool read = false;
  const double share = settings_->value(kSplit).toDouble(&read);
  if (!read || !(share >= 0 && share <= 1)) return std::nullopt;
  return share;
}

void WindowState::SetSplit(double share) {
  settings_->setValue(kSplit, std::clamp(share, 0.0, 1.0));
  settings_->sync();
}

std::string WindowState::LastFolder() const {
  settings_->sync();
  return settings_->value(kLastFolder).toByteArray().toStdString();
}

void WindowState::SetLastFolder(const std::string& folder) {
  settings_->setValue(kLastFolder, QByteArray::fromStdString(folder));
  settings_->sync();
}

std::vector<std::string> WindowState::RecentFiles() const {
  settings_->sync();
  std::vector<std::string> files;
  for (const QVariant& file : settings_->value(kRecent).toList()) {
    files.push_back(file.toByteArray().toStdString());
    if (files.size() == kMaxRecentFiles) break;
  }
  return files;
}

void WindowState::AddRecentFile(const std::string& file) {
  SetRecentFiles(WithRecentFile(RecentFiles(), file));
}

void WindowState::RemoveRecentFile(const std::string& file) {
  std::vector<std::string> files = RecentFiles();
  std::erase(files, file);
  SetRecentFiles(files);
}

void WindowState::ClearRecentFiles() {
  SetRecentFiles({});
}

void WindowState::SetRecentFiles(const std::vector<std::string>& files) {
  QVariantList list;
  for (const std::string& file : files) list.push_back(QByteArray::fromStdString(file));
  settings_->setValue(kRecent, list);
  settings_->sync();
}

}  // namespace mirotabe
