// One face of a font file, read from its bytes with HarfBuzz: which glyph
// draws each character, its vertical form (the OpenType features `vert`
// and `vrt2`, which turn ー into a vertical stroke, turn brackets and
// dashes, move 、。 to the top right of their cell and place small kana for
// vertical writing), and the metrics that set the glyphs in their cells.
// Whether a character takes its vertical form is core/glyph_form.h's to
// say. The bytes come from the caller, so that every edition (and every
// system's way of finding its fonts) reads them alike.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace mirotabe {

// A glyph's ink, in font units, y up from the baseline.
struct GlyphInk {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
};

class FontFace {
 public:
  // The face `index` of the font file `bytes` (a collection holds
  // several); none when the bytes hold no font with glyphs.
  static std::unique_ptr<FontFace> FromBytes(const std::shared_ptr<const std::string>& bytes,
                                             unsigned index = 0);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const std::string& bytes() const { return *bytes_; }
  unsigned index() const { return index_; }
  // Font units to the em.
  unsigned UnitsPerEm() const { return unitsPerEm_; }
  // Ascent and descent in font units, both positive.
  double Ascent() const { return ascent_; }
  double Descent() const { return descent_; }
  // The PostScript name, as a PDF names the font; letters and digits only.
  const std::string& PostScriptName() const { return postScriptName_; }
  // Whether its outlines are TrueType's (glyf), which a PDF embeds as they are.
  bool HasTrueTypeOutlines() const { return trueType_; }

  // The glyph that draws `c` as it stands; none when the font lacks it.
  std::optional<std::uint32_t> GlyphOf(char32_t c) const;
  // The glyph of the vertical form of `c`, as Japanese text sets it; none
  // where the font draws `c` in vertical text as in horizontal text, or
  // lacks it.
  std::optional<std::uint32_t> VerticalGlyphOf(char32_t c) const;
  // The advance of `glyph` in font units.
  double AdvanceOf(std::uint32_t glyph) const;
  GlyphInk InkOf(std::uint32_t glyph) const;

  // The HarfBuzz face, for the subsetter.
  struct HarfBuzz;
  const HarfBuzz& harfBuzz() const { return *hb_; }

 private:
  FontFace(std::shared_ptr<const std::string> bytes, unsigned index);

  std::shared_ptr<const std::string> bytes_;
  unsigned index_ = 0;
  std::unique_ptr<HarfBuzz> hb_;
  unsigned unitsPerEm_ = 1000;
  double ascent_ = 0;
  double descent_ = 0;
  std::string postScriptName_;
  bool trueType_ = false;
};

}  // namespace mirotabe
