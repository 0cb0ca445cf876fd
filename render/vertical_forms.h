// The vertical forms of a font's glyphs: the OpenType features `vert` and
// `vrt2`, which turn ー into a vertical stroke, turn brackets and dashes,
// move 、。 to the top right of their cell and place small kana for
// vertical writing. Looked up with HarfBuzz, from the font tables Qt has
// loaded, so that the glyphs match the font Qt draws with. Whether a
// character takes its vertical form is core/glyph_form.h's to say.
#pragma once

#include <QRawFont>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

namespace mirotabe {

class VerticalForms {
 public:
  // Reads the substitutions of `font`. A font without them has no vertical
  // form for any character.
  explicit VerticalForms(const QRawFont& font);
  ~VerticalForms();
  VerticalForms(const VerticalForms&) = delete;
  VerticalForms& operator=(const VerticalForms&) = delete;

  // The glyph of the vertical form of `c`, as Japanese text sets it; none
  // where the font draws `c` in vertical text as in horizontal text, or
  // lacks it.
  std::optional<std::uint32_t> VerticalGlyphOf(char32_t c) const;

  // The font's character map: each character the font has, and its glyph.
  std::map<char32_t, std::uint32_t> CharacterMap() const;

  // The same with each character that may take a vertical form (see
  // core/glyph_form.h) sent to it where it has one.
  std::map<char32_t, std::uint32_t> VerticalCharacterMap() const;

 private:
  struct HarfBuzz;
  std::unique_ptr<HarfBuzz> hb_;
};

}  // namespace mirotabe
