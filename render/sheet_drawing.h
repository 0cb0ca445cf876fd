// What one sheet of a drawing plan comes to, for the painters' back ends
// (the PNG's raster, the PDF's pages) to put down as it stands: the rules
// beneath the text, the glyphs each at its place, and marks that say what
// each stretch of the drawing is, so that a PDF tags it. Measured in the
// plan's units, y down from the sheet's top-left corner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/drawing_plan.h"

namespace mirotabe {

struct DrawnGlyph {
  std::uint32_t glyph = 0;
  // The glyph's origin, on its baseline.
  double x = 0;
  double y = 0;
  // What the glyph stands for in the text; empty when it stands for none
  // of its own (one of several glyphs that spell one character).
  std::u16string text;
};

// Glyphs of one font at one size, set alike.
struct GlyphRun {
  // The font's place in the drawing's FontChain.
  std::size_t face = 0;
  // The em, in the sheet's units.
  double size = 0;
  // Turned a quarter turn clockwise about each glyph's origin: the glyph's
  // top faces right and its advance runs down.
  bool turned = false;
  // Narrowed across to this share of the glyphs' width, about `narrowCentre`
  // (digits of 縦中横 wider than their cell).
  double narrow = 1;
  double narrowCentre = 0;
  Rgb colour = kInkColour;
  std::vector<DrawnGlyph> glyphs;
};

// Where a stretch of the drawing begins or ends, and what it is.
struct DrawingMark {
  enum class Kind : std::uint8_t {
    kParagraph,        // a paragraph of the text begins
    kParagraphGoesOn,  // the paragraph of the column before goes on
    kArtifact,         // drawing that is no part of the text
    kPageNumber,       // the page number: no part of the text either
    kReplacedText,     // glyphs that stand for `text`, which they cannot tell
  };
  Kind kind = Kind::kArtifact;
  bool end = false;
  std::u16string text;
};

using DrawingItem = std::variant<PaintStep, GlyphRun, DrawingMark>;

struct SheetDrawing {
  double width = 0;
  double height = 0;
  // None: the sheet is paper already (a PDF page).
  std::optional<Rgb> background;
  std::vector<DrawingItem> items;
};

}  // namespace mirotabe
