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

QString AboutDetails() {
  return QStringLiteral(
             "ライセンス: 独自（著作権は Mirotabe の開発者にあります）\r\n"
             "\r\n"
             "使っているライブラリ:\r\n"
             "Qt %1 (LGPL-3.0): 画面、PDF\r\n"
             "HarfBuzz (MIT): 縦書き用の字形\r\n"
             "libpng (libpng License) と zlib (zlib License): PNG 画像\r\n"
             "GNU C ライブラリの iconv (LGPL-2.1): Shift_JIS などの文字コード")
      .arg(QString::fromLatin1(qVersion()));
}

std::string ManualPath(const std::string& programFolder) {
  return std::filesystem::path(programFolder + MIROTABE_MANUAL_FROM_PROGRAM)
      .lexically_normal()
      .string();
}

}  // namespace mirotabe
