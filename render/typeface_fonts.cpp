#include "render/typeface_fonts.h"

#include <cmath>
#include <memory>
#include <optional>

#include "platform/files.h"
#include "platform/font_files.h"
#include "platform/io_reasons.h"

namespace mirotabe {
namespace {

// Larger than any font of a script's characters: the CJK collections are
// some 20–60 MB.
constexpr std::size_t kMaxFontBytes = std::size_t{128} << 20;

void Append(std::vector<FontSource>& sources, const std::vector<FontFile>& files) {
  for (const FontFile& file : files) sources.push_back(FontFileSource(file.path, file.index));
}

}  // namespace

FontSource FontFileSource(const std::string& path, unsigned index) {
  return FontSource{[path]() -> std::shared_ptr<const std::string> {
                      IoResult<std::string> bytes = ReadFileBytes(path, kMaxFontBytes);
                      if (!bytes) return nullptr;
                      return std::make_shared<const std::string>(std::move(bytes.value()));
                    },
                    index};
}

std::vector<FontSource> TypefaceFonts(Typeface face) {
  std::vector<FontSource> sources;
  if (face == Typeface::kMincho) Append(sources, MinchoFontFiles());
  Append(sources, GothicFontFiles());
  Append(sources, FallbackFontFiles());
  return sources;
}

std::variant<std::vector<FontSource>, std::u16string> FontFileFonts(const std::string& path) {
  IoResult<std::string> bytes = ReadFileBytes(path, kMaxFontBytes);
  if (!bytes) return u"フォントファイルを読めません。" + JapaneseReason(bytes.error());
  auto shared = std::make_shared<const std::string>(std::move(bytes.value()));
  if (FontFace::FromBytes(shared) == nullptr) {
    return std::u16string(
        u"フォントではありません。TrueType か OpenType のフォントファイル (.ttf, .otf, .ttc) "
        u"を指定してください。");
  }
  std::vector<FontSource> sources{FontSource{[shared] { return shared; }, 0}};
  for (FontSource& source : TypefaceFonts(Typeface::kGothic)) sources.push_back(std::move(source));
  return sources;
}

LatinAdvances LatinAdvancesOf(FontChain& fonts) {
  LatinAdvances advances;
  const FontFace* face = fonts.Primary();
  if (face == nullptr) return advances;
  const std::optional<std::uint32_t> space = face->GlyphOf(U'\u3000');
  const double em = space ? face->AdvanceOf(*space) : face->UnitsPerEm();
  if (em <= 0) return advances;
  for (std::size_t i = 0; i < LatinAdvances::kCount; ++i) {
    const std::optional<std::uint32_t> glyph =
        face->GlyphOf(static_cast<char32_t>(LatinAdvances::kFirst + i));
    if (!glyph) continue;
    const double advance = face->AdvanceOf(*glyph) * kEm / em;
    if (advance > 0 && advance < kEm) {
      advances.thousandths[i] = static_cast<std::uint16_t>(std::lround(advance));
    }
  }
  return advances;
}

}  // namespace mirotabe
