#include "render/typefaces.h"

#include <QByteArray>
#include <QFontDatabase>

#include "platform/files.h"
#include "platform/io_reasons.h"
#include "render/pane_font_families.h"

namespace mirotabe {
namespace {

// Larger than any font of a script's characters: the CJK collections are
// some 20–60 MB.
constexpr std::size_t kMaxFontBytes = std::size_t{128} << 20;

}  // namespace

QStringList TypefaceFamilies(Typeface face) {
  QStringList families;
  if (face == Typeface::kMincho) {
    families = {QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"),
                QStringLiteral("Noto Serif CJK JP")};
  }
  families.append(PaneFontFamilies());
  return families;
}

std::variant<QStringList, std::u16string> FontFileFamilies(const std::string& path) {
  const IoResult<std::string> bytes = ReadFileBytes(path, kMaxFontBytes);
  if (!bytes) return u"フォントファイルを読めません。" + JapaneseReason(bytes.error());
  const int id = QFontDatabase::addApplicationFontFromData(
      QByteArray(bytes.value().data(), static_cast<qsizetype>(bytes.value().size())));
  QStringList families = QFontDatabase::applicationFontFamilies(id);
  if (id < 0 || families.isEmpty()) {
    return std::u16string(
        u"フォントではありません。TrueType か OpenType のフォントファイル (.ttf, .otf, .ttc) "
        u"を指定してください。");
  }
  families.append(PaneFontFamilies());
  return families;
}

}  // namespace mirotabe
