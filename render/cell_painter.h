// Draws the text of the cells of a vertical layout, for the output pane,
// the pictures and the pages alike, so that the screen and a picture of the
// same layout agree.
//
// Each cell's glyphs are centred across the cell and set on a baseline
// that centres the face of the font's ideographs in it. Each cell says how its
// glyph is set (see core/glyph_form.h): as it stands, or in the font's
// vertical form where the font has one (see VerticalForms), else upright or
// turned a quarter turn clockwise about the cell's centre. A character the
// font lacks comes from the next font of the pane's families that has it,
// and failing all of them from Qt's own font fallback, upright. The glyphs
// are gathered into runs, one per font, and drawn a run at a time with the
// painter's pen, the turned glyphs in runs of their own.
//
// For a document (a PDF), every font of the chain is replaced by its copies
// for documents (see DocumentFontFamily), one for the glyphs as they stand
// and one for the vertical forms, each made when a cell first needs it, so
// that each glyph drawn names exactly its character in the PDF's text; the
// screen and the PNG pictures draw from the fonts themselves, without the
// cost of making the copies.
#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/drawing_plan.h"
#include "core/glyph_form.h"
#include "render/pdf_tags.h"
#include "render/pdf_text_layer.h"

class QPainter;

namespace mirotabe {

class VerticalForms;

// How one cell's text is drawn: glyphs of one face, each at its offset from
// the cell's top-left corner (on the baseline), in `form`; or, when no font
// of the chain has every character, Qt's fallback.
struct CellGlyphs {
  static constexpr std::size_t kQtFallback = static_cast<std::size_t>(-1);
  std::size_t face = kQtFallback;
  GlyphForm form = GlyphForm::kUpright;
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
  // it in the chain. The characters may be smaller than `box`, which
  // centres them.
  CellPainter(const QFont& font, CellBox box, CellTarget target = CellTarget::kScreen);
  ~CellPainter();
  CellPainter(const CellPainter&) = delete;
  CellPainter& operator=(const CellPainter&) = delete;

  const CellBox& box() const { return box_; }

  // The glyphs of `cell` set as `orientation` says, looked up once and kept.
  const CellGlyphs& GlyphsOf(std::u16string_view cell, CellOrientation orientation);
  // The face that `glyphs` come from.
  const QRawFont& FaceOf(const CellGlyphs& glyphs) const { return faces_[glyphs.face]; }

  // Queues the text of `cell` for the cell whose top-left corner is at
  // `topLeft`; blanks draw nothing.
  void Place(QPainter& painter, std::u16string_view cell, CellOrientation orientation,
             QPointF topLeft);
  // Queues `text`, digits or marks of 縦中横, upright side by side in the
  // cell at `topLeft`, narrowed to its width where they are wider.
  void PlaceTcy(QPainter& painter, std::u16string_view text, QPointF topLeft);
  // Queues `text`, a run of Latin, turned a quarter turn clockwise to read
  // down the column from `topLeft`, centred across it, each space
  // `wordSpacing` wider than the font has it.
  void PlaceSideways(QPainter& painter, std::u16string_view text, QPointF topLeft,
                     qreal wordSpacing);
  // Draws what is queued, with the painter's pen.
  void Flush(QPainter& painter);

  // Records each glyph drawn from now on and the text it stands for in
  // `log` (which must outlive the painter), for a PDF's text layer.
  void LogGlyphTexts(GlyphTextLog* log) { log_ = log; }
  // Marks in `marks` (which must outlive the painter) the glyphs drawn
  // for a character that no font has, the missing-glyph box, with the
  // text they stand for.
  void MarkContent(ContentMarks* marks) { marks_ = marks; }

 private:
  static constexpr std::size_t kNoFace = static_cast<std::size_t>(-1);
  struct ChainFont {
    // The font as Qt resolves it.
    QRawFont raw;
    QFont candidate;
    // Made when a cell first asks for a vertical form.
    std::unique_ptr<VerticalForms> forms;
    // The faces in faces_ that the glyphs as they stand and the vertical
    // forms are drawn from: the font itself on the screen, its copies in
    // a document; made when first needed.
    std::size_t upright = kNoFace;
    std::size_t vertical = kNoFace;
  };
  // Glyphs of one face waiting to be drawn; turned ones are placed in the
  // painter's coordinates turned a quarter turn, and drawn so.
  struct Run {
    std::size_t face = CellGlyphs::kQtFallback;
    QList<quint32> indexes;
    QList<QPointF> positions;
    // With a log: the text each glyph stands for.
    std::vector<std::u16string_view> texts;
  };

  CellGlyphs Lookup(std::u16string_view cell, CellOrientation orientation);
  bool LookupIn(ChainFont& chained, const QString& text, char32_t c, CellOrientation orientation,
                CellGlyphs& glyphs);
  static const VerticalForms& FormsOf(ChainFont& chained);
  std::size_t FaceFor(ChainFont& chained, bool vertical);
  void Queue(QPainter& painter, Run& run, const CellGlyphs& glyphs, std::u16string_view text,
             QPointF at);
  void DrawQueued(QPainter& painter, Run& run);
  void DrawWithQtFallback(QPainter& painter, std::u16string_view cell, QPointF topLeft);

  QFont font_;
  CellBox box_;
  CellTarget target_;
  std::vector<ChainFont> chain_;
  std::vector<QRawFont> faces_;
  qreal baseline_ = 0;
  // Keyed by the code point and the orientation.
  std::unordered_map<std::uint32_t, CellGlyphs> single_;
  // Cells of several characters, which stand as they are.
  std::unordered_map<std::u16string, CellGlyphs> multiple_;
  // Sideways runs, their offsets along the baseline from its start.
  std::unordered_map<std::u16string, CellGlyphs> sideways_;
  const CellGlyphs& SidewaysGlyphsOf(std::u16string_view text);
  Run upright_;
  Run turned_;
  GlyphTextLog* log_ = nullptr;
  ContentMarks* marks_ = nullptr;
  // The log of each face in faces_, looked up when first drawn.
  std::vector<GlyphTextLog::Font*> logged_;
};

}  // namespace mirotabe
