#include "ui/local_path.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace mirotabe {

std::string LocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString ShownPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string FirstDroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return {};
  const QUrl& url = urls.front();
  std::string path =
      QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
  // file://host/path names a share, as QUrl::toLocalFile() has it.
  if (!url.host().isEmpty()) path = "//" + url.host().toStdString() + path;
  return path;
}

}  // namespace mirotabe
