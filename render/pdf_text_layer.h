// Puts back what Qt's PDF writer leaves out of a PDF's text layer, once the
// file is written.
//
// Qt names the character of each glyph (its ToUnicode map) by looking the
// glyph up among the first 65,536 characters only, so a glyph drawn for a
// character beyond them (𠮷, 😀) reads back as nothing. It also leaves out
// the document's language, which screen readers and search need to read
// Japanese as Japanese, and names each font without the prefix that marks
// it as a subset.
//
// GlyphTextLog records, font by font, each glyph in the order it is first
// drawn and the text it stands for. Qt numbers a font's glyphs in a PDF in
// that same order, after the missing-glyph box, so the log tells each
// numbered glyph's text; CompleteTextLayer adds the glyphs whose text Qt
// left out, and only for a font whose every entry Qt did write agrees with
// the log: where the numbering is not the one expected, the font keeps
// Qt's map as it stands.
#pragma once

#include <QByteArray>
#include <QRawFont>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace mirotabe {

struct PdfObjects;

class GlyphTextLog {
 public:
  // A font's glyphs in the order first drawn, and their texts.
  struct Font {
    std::unordered_map<std::uint32_t, std::size_t> numbers;
    std::vector<std::u16string> texts;

    // `glyph` is drawn for `text`; empty when the glyph stands for no text
    // of its own (one of several glyphs that spell a character).
    void Record(std::uint32_t glyph, std::u16string_view text);
  };

  // The log of `font`'s glyphs, which stays where it is while the log
  // lives.
  Font& FontOf(const QRawFont& font);

  // Keyed by the font's PostScript name, which names it in the PDF.
  const std::unordered_map<std::string, Font>& fonts() const { return fonts_; }

 private:
  std::unordered_map<std::string, Font> fonts_;
};

// `pdf` (as QPdfWriter writes it) with the text of every glyph in `log` in
// its fonts' ToUnicode maps, `/Lang (ja)` in its catalogue and each font's
// subset prefix in its name. A file not laid out as expected is returned
// as it is.
QByteArray CompleteTextLayer(const QByteArray& pdf, const GlyphTextLog& log);
// The same on the objects of a file.
void CompleteTextLayer(PdfObjects& file, const GlyphTextLog& log);

}  // namespace mirotabe
