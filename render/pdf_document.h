// A tagged PDF of SheetDrawings, one page each, written page by page.
//
// Each page's content is the drawing's: the rules as strokes and fills,
// the glyphs as text of the embedded fonts (see PdfFonts), so that the
// text can be searched and copied and reads in the order drawn. The
// drawing's marks become marked content and a structure tree, so that a
// screen reader reads the text as paragraphs and passes over what is drawn
// around it:
// - a paragraph: `/P <</MCID n>> BDC`, one structure element of a
//   `/Document` for each paragraph, its parts on each page in order (a
//   paragraph goes on across columns and pages);
// - drawing that is no part of the text (the ruling, the readings of
//   ruby): `/Artifact BMC`; the page number: a pagination artifact;
// - glyphs that stand for a text they cannot tell (the missing-glyph box
//   of a character no font has, or readings that stand for none): a span
//   whose `/ActualText` is that text, which is what a search or a copy
//   finds there.
// The catalogue says the document is marked and in Japanese (`/Lang`), and
// each page names its entry in the structure tree's parent tree.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "render/font_chain.h"
#include "render/pdf_file.h"
#include "render/pdf_fonts.h"
#include "render/sheet_drawing.h"

namespace mirotabe {

class PdfDocument {
 public:
  // `fonts` (which must outlive the document) are the drawings'; the
  // file's bytes go to `sink` as they are made.
  PdfDocument(FontChain& fonts, PdfFile::Sink sink);

  void AddPage(const SheetDrawing& drawing);
  // Writes the fonts, the structure tree and the rest. Whether the whole
  // file was taken.
  bool Finish();

 private:
  struct Paragraph {
    int object = 0;
    // Each part as the page's index and its MCID there.
    std::vector<std::pair<std::size_t, int>> parts;
  };

  PdfFile file_;
  PdfFonts pdfFonts_;
  int catalog_ = 0;
  int pages_ = 0;
  int info_ = 0;
  std::vector<int> pageObjects_;
  std::vector<Paragraph> paragraphs_;
  // For each page, the paragraph of each of its MCIDs.
  std::vector<std::vector<std::size_t>> parentTree_;
};

}  // namespace mirotabe
