#include "ui/dialog_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

#include "ui/local_path.h"

namespace mirotabe {
namespace {

QString WithoutTrailingSlash(QString folder) {
  if (folder.size() > 1 && folder.endsWith(QChar(u'/'))) folder.chop(1);
  return folder;
}

bool IsFolder(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

}  // namespace

QString DialogStartFolder(const std::string& lastFolder) {
  std::error_code error;
  if (!lastFolder.empty() && std::filesystem::is_directory(lastFolder, error)) {
    return WithoutTrailingSlash(ShownPath(lastFolder));
  }
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (IsFolder(documents)) return WithoutTrailingSlash(documents);
  return QDir::homePath();
}

std::string FolderOf(const std::string& file) {
  std::error_code error;
  const std::filesystem::path parent = std::filesystem::absolute(file, error).parent_path();
  return parent.empty() ? std::string("/") : parent.string();
}

}  // namespace mirotabe
