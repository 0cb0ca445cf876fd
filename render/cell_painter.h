// Draws the text of the cells of a vertical layout, for the output pane
// and the pictures alike, so that the screen and a picture of the same
// layout agree.
//
// Each cell's glyphs are centred across the cell and set on a baseline
// that centres the font's ascent and descent in it. With vertical forms,
// each character takes the font's vertical alternate where it has one (see
// VerticalForms) and stands upright otherwise. A character the font lacks
// comes from the next font of the pane's families that has it, and failing
// all of them from Qt's own font fallback. The glyphs are gathered into
// runs, one per font, and drawn a run at a time with the painter's pen.
//
// For a document (a PDF), every font of the chain is replaced by its copy
// for documents (see DocumentFontFamily), so that each glyph drawn names
// exactly its character in the PDF's text; the screen and the PNG pictures
// draw from the fonts themselves, without the cost of making the copies.
#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QPainter;

namespace mirotabe {

class VerticalForms;

// The size of a cell in pixels.
struct CellBox {
  int width = 0;
  int height = 0;
};

// How one cell's text is drawn: glyphs of one font of the chain, each at
// its offset from the cell's top-left corner (on the baseline), or, when
// no font of the chain has every character, Qt's fallback.
struct CellGlyphs {
  static constexpr std::size_t kQtFallback = static_cast<std::size_t>(-1);
  std::size_t font = kQtFallback;
  QList<quint32> indexes;
  QList<QPointF> offsets;
};

// What the cells are drawn for.
enum class CellTarget {
  kScreen,    // the output pane and the PNG pictures
  kDocument,  // a PDF, whose text is read back from its glyphs
};

class CellPainter {
 public:
  // `font` sets the size and the first family; the pane's families follow
  // it in the chain.
  CellPainter(const QFont& font, CellBox box, bool verticalForms,
              CellTarget target = CellTarget::kScreen);
  ~CellPainter();
  CellPainter(const CellPainter&) = delete;
  CellPainter& operator=(const CellPainter&) = delete;

  const CellBox& box() const { return box_; }
  bool verticalForms() const { return vertical_; }

  // The glyphs of `cell`, looked up once and kept.
  const CellGlyphs& GlyphsOf(std::u16string_view cell);
  // The raw font of the chain that `glyphs` come from.
  const QRawFont& FontOf(const CellGlyphs& glyphs) const { return chain_[glyphs.font].raw; }

  // Queues the text of `cell` for the cell whose top-left corner is at
  // `topLeft`; blanks draw nothing.
  void Place(QPainter& painter, std::u16string_view cell, QPointF topLeft);
  // Draws what is queued, with the painter's pen.
  void Flush(QPainter& painter);

 private:
  struct ChainFont {
    QRawFont raw;
    // Set when the vertical forms are looked up in `raw` itself.
    std::unique_ptr<VerticalForms> vertical;
    // The font of the chain it stands for.
    QString family;
    QString style;
  };
  struct Run {
    QList<quint32> indexes;
    QList<QPointF> positions;
  };

  CellGlyphs Lookup(std::u16string_view cell) const;
  void UseDocumentFont(ChainFont& chained, const QFont& candidate) const;
  static QList<quint32> GlyphsIn(const ChainFont& font, const QString& text);

  QFont font_;
  CellBox box_;
  bool vertical_;
  std::vector<ChainFont> chain_;
  qreal baseline_ = 0;
  std::unordered_map<char32_t, CellGlyphs> single_;
  std::unordered_map<std::u16string, CellGlyphs> multiple_;
  Run run_;
  std::size_t runFont_ = CellGlyphs::kQtFallback;
};

}  // namespace mirotabe
