#include "render/cell_setter.h"

#include <optional>

#include "core/code_points.h"

namespace mirotabe {
namespace {

constexpr char32_t kIdeographicSpace = U'\u3000';

// The one code point that `cell` holds, or none (0).
char32_t SingleCodePoint(std::u16string_view cell) {
  if (cell.empty()) return 0;
  const CodePoint first = CodePointAt(cell, 0);
  return first.units == cell.size() ? first.value : 0;
}

// The baseline that centres the face of the ideographs in a box `height`
// high, at `scale` sheet units per font unit. Kana and punctuation are
// designed around that face, so centring it, rather than the font's ascent
// and descent, centres the characters; fonts whose ascent and descent are
// not balanced about it would set every character high or low. The face is
// taken as the middle of a few ideographs that fill it, so that no one
// glyph's design decides it.
double CentredBaseline(const FontFace& face, double scale, double height) {
  double middles = 0;
  int inked = 0;
  for (const char32_t c : {U'\u56FD', U'\u7530', U'\u6C38', U'\u6771'}) {
    const std::optional<std::uint32_t> glyph = face.GlyphOf(c);
    if (!glyph) continue;
    const GlyphInk ink = face.InkOf(*glyph);
    if (ink.Empty()) continue;
    middles += ink.top - ink.height / 2;
    ++inked;
  }
  if (inked != 0) return height / 2 + middles / inked * scale;
  return (height - (face.Ascent() + face.Descent()) * scale) / 2 + face.Ascent() * scale;
}

}  // namespace

double EmForCharacters(FontChain& fonts, double characterSize) {
  const FontFace* primary = fonts.Primary();
  if (primary == nullptr) return characterSize;
  const std::optional<std::uint32_t> space = primary->GlyphOf(kIdeographicSpace);
  const double advance = space ? primary->AdvanceOf(*space) : 0;
  if (advance <= 0) return characterSize;
  return characterSize * primary->UnitsPerEm() / advance;
}

CellSetter::CellSetter(FontChain& fonts, double cellWidth, double cellHeight, double characterSize)
    : fonts_(fonts), cellWidth_(cellWidth), cellHeight_(cellHeight) {
  em_ = EmForCharacters(fonts, characterSize);
  if (const FontFace* primary = fonts.Primary()) {
    const double scale = em_ / primary->UnitsPerEm();
    ascent_ = primary->Ascent() * scale;
    descent_ = primary->Descent() * scale;
    baseline_ = CentredBaseline(*primary, scale, cellHeight);
  }
}

SetCell CellSetter::Lookup(std::u16string_view cell, CellOrientation orientation) {
  SetCell set;
  const char32_t single = SingleCodePoint(cell);
  // The whole cell from the first font that has every character of it,
  // so that the characters of one cell match; else each from the first
  // that has it.
  std::optional<std::size_t> whole;
  for (std::size_t n = 0; n < fonts_.size() && !whole; ++n) {
    const FontFace* face = fonts_.Face(n);
    if (face == nullptr) continue;
    bool all = true;
    for (std::size_t at = 0; at < cell.size() && all;) {
      const CodePoint c = CodePointAt(cell, at);
      all = face->GlyphOf(c.value).has_value();
      at += c.units;
    }
    if (all) whole = n;
  }
  const std::optional<std::size_t> primary = fonts_.PrimaryIndex();
  for (std::size_t at = 0; at < cell.size();) {
    const CodePoint c = CodePointAt(cell, at);
    at += c.units;
    const std::optional<std::size_t> n = whole ? whole : fonts_.FaceWith(c.value);
    SetGlyph glyph;
    if (!n) {
      if (!primary) return SetCell{};
      set.missing = true;
      glyph.face = *primary;
      glyph.glyph = 0;
    } else {
      const FontFace& face = *fonts_.Face(*n);
      glyph.face = *n;
      glyph.glyph = *face.GlyphOf(c.value);
      if (single != 0 && orientation != CellOrientation::kAsItStands) {
        const std::optional<std::uint32_t> vertical = face.VerticalGlyphOf(single);
        set.form = FormOfGlyph(orientation, vertical.has_value());
        if (set.form == GlyphForm::kVertical) glyph.glyph = *vertical;
      }
    }
    set.glyphs.push_back(glyph);
  }
  for (SetGlyph& glyph : set.glyphs) {
    const FontFace& face = *fonts_.Face(glyph.face);
    glyph.x = set.width;
    glyph.y = baseline_;
    set.width += face.AdvanceOf(glyph.glyph) * em_ / face.UnitsPerEm();
  }
  const double indent = (cellWidth_ - set.width) / 2;
  for (SetGlyph& glyph : set.glyphs) glyph.x += indent;
  return set;
}

const SetCell& CellSetter::Cell(std::u16string_view cell, CellOrientation orientation) {
  if (const char32_t c = SingleCodePoint(cell); c != 0) {
    const std::uint32_t key =
        static_cast<std::uint32_t>(c) | (static_cast<std::uint32_t>(orientation) << 24);
    auto found = single_.find(key);
    if (found == single_.end()) found = single_.emplace(key, Lookup(cell, orientation)).first;
    return found->second;
  }
  std::u16string key(cell);
  auto found = multiple_.find(key);
  if (found == multiple_.end()) {
    found = multiple_.emplace(std::move(key), Lookup(cell, CellOrientation::kAsItStands)).first;
  }
  return found->second;
}

const SetCell& CellSetter::Sideways(std::u16string_view text) {
  std::u16string key(text);
  auto found = sideways_.find(key);
  if (found != sideways_.end()) return found->second;
  SetCell set;
  set.form = GlyphForm::kTurned;
  set.missing = true;
  for (std::size_t n = 0; n < fonts_.size() && set.missing; ++n) {
    const FontFace* face = fonts_.Face(n);
    if (face == nullptr) continue;
    set.glyphs.clear();
    set.width = 0;
    set.missing = false;
    for (std::size_t at = 0; at < text.size() && !set.missing;) {
      const CodePoint c = CodePointAt(text, at);
      at += c.units;
      const std::optional<std::uint32_t> glyph = face->GlyphOf(c.value);
      if (!glyph) {
        set.missing = true;
        break;
      }
      set.glyphs.push_back(SetGlyph{n, *glyph, set.width, 0});
      set.width += face->AdvanceOf(*glyph) * em_ / face->UnitsPerEm();
    }
  }
  if (set.missing) set.glyphs.clear();
  return sideways_.emplace(std::move(key), std::move(set)).first->second;
}

}  // namespace mirotabe
