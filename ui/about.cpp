#include "ui/about.h"

#include <QStringList>
#include <filesystem>

namespace mirotabe {

AuthorAddresses ConfiguredAuthorAddresses() {
  return {QStringLiteral(MIROTABE_HOMEPAGE), QStringLiteral(MIROTABE_EMAIL)};
}

QString VersionText(const AuthorAddresses& author) {
  QStringList lines{QStringLiteral("Mirotabe Ver.%1.%2.%3")
                        .arg(MIROTABE_VERSION_MAJOR)
                        .arg(MIROTABE_VERSION_MINOR)
                        .arg(MIROTABE_VERSION_PATCH),
                    QStringLiteral("By Orubeni")};
  for (const QString& address : {author.homePage, author.email}) {
    if (!address.isEmpty()) lines.push_back(address);
  }
  return lines.join(QStringLiteral("\r\n"));
}

std::string ManualPath(const std::string& programFolder) {
  return std::filesystem::path(programFolder + MIROTABE_MANUAL_FROM_PROGRAM)
      .lexically_normal()
      .string();
}

}  // namespace mirotabe
