// How the text of one cell is set in it, at one size of cell and character,
// for the pictures and the pages alike.
//
// Each cell's glyphs are centred across the cell and set on a baseline that
// centres the face of the first font's ideographs in it. Each cell says how
// its glyph is set (see core/glyph_form.h): as it stands, or in the font's
// vertical form where the font has one, else upright or turned a quarter
// turn clockwise about the cell's centre. A character comes from the first
// font of the chain that has it; one that no font has is drawn as the first
// font's missing-glyph box, which stands for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/glyph_form.h"
#include "render/font_chain.h"

namespace mirotabe {

struct SetGlyph {
  std::size_t face = 0;
  std::uint32_t glyph = 0;
  // From the cell's top-left corner to the glyph's origin, upright; for a
  // sideways run, along its baseline from its start.
  double x = 0;
  double y = 0;
};

struct SetCell {
  GlyphForm form = GlyphForm::kUpright;
  std::vector<SetGlyph> glyphs;
  // The glyphs' advances together.
  double width = 0;
  // Some character that no font has is drawn as the missing-glyph box.
  bool missing = false;
};

class CellSetter {
 public:
  // Cells `cellWidth` by `cellHeight`, their characters `characterSize`
  // wide: each font's em is the size that makes the first font's
  // full-width space that wide.
  CellSetter(FontChain& fonts, double cellWidth, double cellHeight, double characterSize);

  double cellWidth() const { return cellWidth_; }
  double cellHeight() const { return cellHeight_; }
  double em() const { return em_; }
  // The first font's ascent and descent at the cells' size.
  double ascent() const { return ascent_; }
  double descent() const { return descent_; }

  // The glyphs of `cell` set as `orientation` says, looked up once and kept.
  const SetCell& Cell(std::u16string_view cell, CellOrientation orientation);
  // `text`, a run of Latin, along its baseline in the first font that has
  // every letter; `missing` where none has.
  const SetCell& Sideways(std::u16string_view text);

 private:
  SetCell Lookup(std::u16string_view cell, CellOrientation orientation);

  FontChain& fonts_;
  double cellWidth_;
  double cellHeight_;
  double em_ = 0;
  double ascent_ = 0;
  double descent_ = 0;
  double baseline_ = 0;
  // Keyed by the code point and the orientation.
  std::unordered_map<std::uint32_t, SetCell> single_;
  // Cells of several characters, which stand as they are.
  std::unordered_map<std::u16string, SetCell> multiple_;
  std::unordered_map<std::u16string, SetCell> sideways_;
};

// The em of the chain's fonts for characters `characterSize` wide (see
// CellSetter).
double EmForCharacters(FontChain& fonts, double characterSize);

}  // namespace mirotabe
