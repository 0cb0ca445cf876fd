#include "ui/about.h"

#include <QStringList>
#include <filesystem>

#include "core/window_words.h"

namespace mirotabe {

AuthorAddresses ConfiguredAuthorAddresses() {
  return {QStringLiteral(MIROTABE_HOMEPAGE), QStringLiteral(MIROTABE_EMAIL)};
}

QString VersionText(const AuthorAddresses& author) {
  const QString version = QStringLiteral("%1.%2.%3")
                              .arg(MIROTABE_VERSION_MAJOR)
                              .arg(MIROTABE_VERSION_MINOR)
                              .arg(MIROTABE_VERSION_PATCH);
  return QString::fromStdU16String(VersionText(
      version.toStdU16String(), author.homePage.toStdU16String(), author.email.toStdU16String()));
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
