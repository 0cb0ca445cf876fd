// The fonts of a PDF: each font of the chain that its pages draw from,
// embedded once as a subset of the glyphs drawn (HarfBuzz's subsetter),
// with a text map (ToUnicode) that names what each glyph drawn stands for.
//
// Each pair of a glyph and its text takes a character identifier (CID) of
// its own, which the font's CIDToGIDMap sends to the glyph: a vertical
// form reads as its character, and a glyph that several characters share
// (in IPAGothic 〜 and ～, ― and —) reads back as whichever each
// occurrence stands for, with no change to the font.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "render/font_chain.h"
#include "render/pdf_file.h"

namespace mirotabe {

class PdfFonts {
 public:
  // `fonts` must outlive this.
  explicit PdfFonts(FontChain& fonts);

  // The object of font `face` of the chain, numbered in `file` when
  // first asked for.
  int ObjectOf(std::size_t face, PdfFile& file);
  // The CID that draws `glyph` of font `face` for `text` (none: empty).
  unsigned CidOf(std::size_t face, std::uint32_t glyph, std::u16string_view text);

  // Writes every font asked for; false where one cannot be subset.
  bool Write(PdfFile& file);

 private:
  struct Embedded {
    int object = 0;
    // By CID: the glyph and the text.
    std::vector<std::uint32_t> glyphs{0};
    std::vector<std::u16string> texts{std::u16string()};
    std::unordered_map<std::u16string, unsigned> cids;
  };
  static bool WriteFont(PdfFile& file, const FontFace& face, const Embedded& font);

  FontChain& fonts_;
  std::vector<Embedded> embedded_;
};

}  // namespace mirotabe
