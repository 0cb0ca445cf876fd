// The vertical forms of a font's glyphs: the OpenType features `vert` and
// `vrt2`, which turn ー into a vertical stroke, turn brackets and dashes,
// move 、。 to the top right of their cell and place small kana for
// vertical writing. Looked up with HarfBuzz, from the font tables Qt has
// loaded, so that the glyphs match the font Qt draws with.
#pragma once

#include <QList>
#include <QRawFont>
#include <QStringView>
#include <cstdint>
#include <map>
#include <memory>

namespace mirotabe {

class VerticalForms {
 public:
  // Reads the substitutions of `font`. A font without them leaves every
  // glyph as it is.
  explicit VerticalForms(const QRawFont& font);
  ~VerticalForms();
  VerticalForms(const VerticalForms&) = delete;
  VerticalForms& operator=(const VerticalForms&) = delete;

  // The glyphs of `text` set vertically: a character's vertical form where
  // the font has one, its upright glyph otherwise. Empty when the font
  // lacks a character of `text`.
  QList<quint32> GlyphsOf(QStringView text) const;

  // The font's character map: each character the font has, and its glyph.
  std::map<char32_t, std::uint32_t> CharacterMap() const;

  // The same with each character sent to its vertical form where it has
  // one.
  std::map<char32_t, std::uint32_t> VerticalCharacterMap() const;

 private:
  struct HarfBuzz;
  std::unique_ptr<HarfBuzz> hb_;
};

}  // namespace mirotabe
