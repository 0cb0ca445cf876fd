#include "ui/dialog_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/program_folder.h"

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

QString DialogStartFolder(const QString& programFolder, const QString& lastFile) {
  if (!IsSystemFolder(QFile::encodeName(programFolder).toStdString())) {
    return WithoutTrailingSlash(programFolder);
  }
  if (!lastFile.isEmpty()) {
    QString lastFolder = QFileInfo(lastFile).absolutePath();
    if (IsFolder(lastFolder)) return lastFolder;
  }
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (IsFolder(documents)) return WithoutTrailingSlash(documents);
  return QDir::homePath();
}

}  // namespace mirotabe
