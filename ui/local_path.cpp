#include "ui/local_path.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <optional>
#include <system_error>

namespace mirotabe {
namespace {

constexpr QChar kReplacement(0xFFFD);

// The entry of `folder` (bytes) that Qt shows as `name`, if exactly one is.
std::optional<std::string> EntryShownAs(const std::string& folder, const QString& name) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
  std::optional<std::string> found;
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    std::string entry = entries->path().filename().native();
    if (ShownPath(entry) != name) continue;
    if (found) return std::nullopt;
    found = std::move(entry);
  }
  return found;
}

}  // namespace

std::string LocalPath(const QString& path) {
  if (!path.contains(kReplacement)) return QFile::encodeName(path).toStdString();
  std::string local;
  const QStringList parts = path.split(QChar(u'/'));
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i != 0) local += '/';
    std::string part = QFile::encodeName(parts[i]).toStdString();
    std::error_code error;
    if (parts[i].contains(kReplacement) && !std::filesystem::exists(local + part, error)) {
      if (std::optional<std::string> entry = EntryShownAs(local, parts[i]))
        part = *std::move(entry);
    }
    local += part;
  }
  return local;
}

QString ShownPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QString LocalFileUrl(const std::string& path) {
  // Percent-encoding the bytes, not the decoded text, keeps those that are
  // not UTF-8.
  return QStringLiteral("file://") +
         QString::fromLatin1(QByteArray::fromStdString(path).toPercentEncoding("/"));
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
