#include "ui/about.h"

#include <filesystem>

namespace mirotabe {

QString HomePageAddress() {
  return QStringLiteral(MIROTABE_HOMEPAGE);
}

QString EmailAddress() {
  return QStringLiteral(MIROTABE_EMAIL);
}

QString VersionText() {
  const QString lineBreak = QStringLiteral("\r\n");
  return QStringLiteral("Mirotabe Ver.%1.%2.%3")
             .arg(MIROTABE_VERSION_MAJOR)
             .arg(MIROTABE_VERSION_MINOR)
             .arg(MIROTABE_VERSION_PATCH) +
         lineBreak + QStringLiteral("By Orubeni") + lineBreak + HomePageAddress() + lineBreak +
         EmailAddress();
}

std::string ManualPath(const std::string& programFolder) {
  return std::filesystem::path(programFolder + MIROTABE_MANUAL_FROM_PROGRAM)
      .lexically_normal()
      .string();
}

}  // namespace mirotabe
