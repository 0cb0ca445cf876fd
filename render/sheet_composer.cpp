#include "render/sheet_composer.h"

#include <cstddef>
#include <string>
#include <utility>

#include "core/code_points.h"

namespace mirotabe {
namespace {

using Kind = DrawingMark::Kind;

bool IsBlank(std::u16string_view cell) {
  return cell.empty() || (cell.size() == 1 && (cell[0] == u'\u3000' || cell[0] == u' '));
}

// The text each of the glyphs of `cell` stands for: the whole cell for one
// glyph, else each of its characters, one glyph to each.
std::u16string TextOfGlyph(std::u16string_view cell, std::size_t count, std::size_t n) {
  if (count == 1) return std::u16string(cell);
  std::size_t at = 0;
  for (std::size_t k = 0; k < n && at < cell.size(); ++k) at += CodePointAt(cell, at).units;
  if (at >= cell.size()) return {};
  return std::u16string(cell.substr(at, CodePointAt(cell, at).units));
}

}  // namespace

// Appends glyphs and marks to a drawing, gathering glyphs set alike into
// runs.
class SheetComposer::Output {
 public:
  explicit Output(SheetDrawing& drawing) : drawing_(drawing) {}

  void Mark(Kind kind, std::u16string text = {}) {
    drawing_.items.emplace_back(DrawingMark{kind, false, std::move(text)});
    run_ = nullptr;
  }
  void End() {
    drawing_.items.emplace_back(DrawingMark{Kind::kArtifact, true, {}});
    run_ = nullptr;
  }
  void Step(const PaintStep& step) {
    drawing_.items.emplace_back(step);
    run_ = nullptr;
  }

  // The run that the next glyph of `face` at `size`, set so, joins.
  GlyphRun& RunFor(std::size_t face, double size, bool turned, Rgb colour, double narrow = 1,
                   double centre = 0) {
    if (run_ == nullptr || run_->face != face || run_->size != size || run_->turned != turned ||
        run_->colour != colour || run_->narrow != narrow || run_->narrowCentre != centre) {
      GlyphRun run;
      run.face = face;
      run.size = size;
      run.turned = turned;
      run.colour = colour;
      run.narrow = narrow;
      run.narrowCentre = centre;
      drawing_.items.emplace_back(std::move(run));
      run_ = &std::get<GlyphRun>(drawing_.items.back());
    }
    return *run_;
  }

  // The glyphs of `set` for `cell`, in the cell whose top-left corner is
  // (left, top).
  void Place(CellSetter& setter, std::u16string_view cell, CellOrientation orientation, double left,
             double top, Rgb colour) {
    if (IsBlank(cell)) return;
    const SetCell& set = setter.Cell(cell, orientation);
    if (set.glyphs.empty()) return;
    if (set.missing) Mark(Kind::kReplacedText, std::u16string(cell));
    const bool turned = set.form == GlyphForm::kTurned;
    const double cx = left + setter.cellWidth() / 2;
    const double cy = top + setter.cellHeight() / 2;
    for (std::size_t n = 0; n < set.glyphs.size(); ++n) {
      const SetGlyph& glyph = set.glyphs[n];
      double x = left + glyph.x;
      double y = top + glyph.y;
      // Turned a quarter turn clockwise about the cell's centre, where the
      // upright glyph's advance and the ideographs' face are centred, so
      // that the turned glyph is centred as well.
      if (turned) {
        const double dx = x - cx;
        const double dy = y - cy;
        x = cx - dy;
        y = cy + dx;
      }
      RunFor(glyph.face, setter.em(), turned, colour)
          .glyphs.push_back(
              DrawnGlyph{glyph.glyph, x, y,
                         set.missing ? std::u16string() : TextOfGlyph(cell, set.glyphs.size(), n)});
    }
    if (set.missing) End();
  }

  // Digits or marks of 縦中横, upright side by side, narrowed about the
  // cell's centre where they are wider than it, as a typesetter sets three
  // digits in thirds of an em.
  void PlaceTcy(CellSetter& setter, std::u16string_view text, double left, double top, Rgb colour) {
    const SetCell& set = setter.Cell(text, CellOrientation::kAsItStands);
    if (set.missing || set.width <= setter.cellWidth()) {
      Place(setter, text, CellOrientation::kAsItStands, left, top, colour);
      return;
    }
    const double narrow = setter.cellWidth() / set.width;
    const double centre = left + setter.cellWidth() / 2;
    for (std::size_t n = 0; n < set.glyphs.size(); ++n) {
      const SetGlyph& glyph = set.glyphs[n];
      const double x = centre + (left + glyph.x - centre) * narrow;
      RunFor(glyph.face, setter.em(), false, colour, narrow, centre)
          .glyphs.push_back(
              DrawnGlyph{glyph.glyph, x, top + glyph.y, TextOfGlyph(text, set.glyphs.size(), n)});
    }
  }

  // A run of Latin turned a quarter turn clockwise to read down the column
  // from (left, top), centred across it: its baseline where the font's
  // ascent and descent are centred, as a sideways run's central baseline
  // is set; each space `wordSpacing` wider than the font has it.
  void PlaceSideways(CellSetter& setter, std::u16string_view text, double left, double top,
                     double wordSpacing, Rgb colour) {
    const SetCell& set = setter.Sideways(text);
    if (set.missing) {
      // No font has every letter: each stands in a cell of its own.
      std::size_t k = 0;
      for (std::size_t at = 0; at < text.size(); ++k) {
        const std::size_t units = CodePointAt(text, at).units;
        Place(setter, text.substr(at, units), CellOrientation::kAsItStands, left,
              top + static_cast<double>(k) * setter.cellHeight(), colour);
        at += units;
      }
      return;
    }
    const double baseline =
        left + setter.cellWidth() / 2 - (setter.ascent() - setter.descent()) / 2;
    double extra = 0;
    std::size_t at = 0;
    for (const SetGlyph& glyph : set.glyphs) {
      const std::size_t units = at < text.size() ? CodePointAt(text, at).units : 0;
      std::u16string own(text.substr(std::min(at, text.size()), units));
      RunFor(glyph.face, setter.em(), true, colour)
          .glyphs.push_back(DrawnGlyph{glyph.glyph, baseline, top + glyph.x + extra, own});
      if (wordSpacing != 0 && own == u" ") extra += wordSpacing;
      at += units;
    }
  }

 private:
  SheetDrawing& drawing_;
  GlyphRun* run_ = nullptr;
};

SheetComposer::SheetComposer(const DrawingPlan& plan, FontChain& fonts)
    : plan_(plan), fonts_(fonts) {}

SheetDrawing SheetComposer::Compose(const SheetPlan& sheet) {
  if (!cells_) {
    cells_ = std::make_unique<CellSetter>(fonts_, sheet.cellWidth, sheet.cellHeight,
                                          sheet.characterSize);
  }
  SheetDrawing drawing;
  drawing.width = sheet.width;
  drawing.height = sheet.height;
  drawing.background = sheet.background;
  Output out(drawing);
  const bool ruled = sheet.background.has_value() || !sheet.beneath.empty();
  if (ruled) {
    out.Mark(Kind::kArtifact);
    for (const PaintStep& step : sheet.beneath) out.Step(step);
    out.End();
  }
  // Each column is a stretch of its paragraph: one that starts a
  // paragraph, or goes on with the one in the column before.
  const std::size_t none = sheet.columns.size();
  std::size_t column = none;
  plan_.ForEachCell(sheet, [&](const PlannedCell& cell) {
    if (column == none || sheet.columnLefts[column] != cell.left) {
      if (column != none) out.End();
      std::size_t next = column == none ? 0 : column + 1;
      while (next < none && sheet.columnLefts[next] != cell.left) ++next;
      const bool starts = next == none || plan_.StartsParagraph(sheet.columns[next]);
      out.Mark(starts ? Kind::kParagraph : Kind::kParagraphGoesOn);
      column = next;
    }
    switch (cell.item) {
      case CellItem::kGlyphs:
        out.Place(*cells_, cell.text, cell.orientation, cell.left, cell.top, sheet.ink);
        break;
      case CellItem::kTcy:
        out.PlaceTcy(*cells_, cell.text, cell.left, cell.top, sheet.ink);
        break;
      case CellItem::kSideways:
        out.PlaceSideways(*cells_, cell.text, cell.left, cell.top, cell.wordSpacing, sheet.ink);
        break;
    }
  });
  if (column != none) out.End();
  ComposeReadings(out, sheet);
  if (sheet.pageNumber) ComposePageNumber(out, *sheet.pageNumber);
  return drawing;
}

void SheetComposer::ComposeReadings(Output& out, const SheetPlan& sheet) {
  // The readings are no part of the text: in a PDF, glyphs that stand for
  // no text at all, which a search or a copy passes over.
  bool readings = false;
  plan_.ForEachRubyCell(sheet, [&](const PlannedCell& cell) {
    if (!readings) {
      readings = true;
      out.Mark(Kind::kArtifact);
      out.Mark(Kind::kReplacedText);
    }
    if (!ruby_) {
      ruby_ = std::make_unique<CellSetter>(fonts_, sheet.rubyCell, sheet.rubyCell,
                                           sheet.rubyCharacterSize);
    }
    out.Place(*ruby_, cell.text, cell.orientation, cell.left, cell.top, sheet.ink);
  });
  if (readings) {
    out.End();
    out.End();
  }
}

void SheetComposer::ComposePageNumber(Output& out, const PageNumberPlan& number) {
  out.Mark(Kind::kPageNumber);
  // Centred in its box as a line of the font: across by its advance,
  // down by the font's ascent and descent.
  CellSetter digits(fonts_, number.width, number.height, number.characterSize);
  const SetCell& set = digits.Cell(number.text, CellOrientation::kAsItStands);
  const double baseline =
      number.top + (number.height - (digits.ascent() + digits.descent())) / 2 + digits.ascent();
  for (std::size_t n = 0; n < set.glyphs.size(); ++n) {
    const SetGlyph& glyph = set.glyphs[n];
    out.RunFor(glyph.face, digits.em(), false, number.colour)
        .glyphs.push_back(DrawnGlyph{glyph.glyph, number.left + glyph.x, baseline,
                                     TextOfGlyph(number.text, set.glyphs.size(), n)});
  }
  out.End();
}

}  // namespace mirotabe
