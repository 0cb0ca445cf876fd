#include "ui/save_path.h"

namespace mirotabe {

QString WithTextExtension(const QString& path) {
  if (path.right(4).toUpper() == QStringLiteral(".TXT")) return path;
  return path + QStringLiteral(".txt");
}

}  // namespace mirotabe
