#include "render/cell_painter.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "render/document_font.h"
#include "render/pane_font_families.h"
#include "render/vertical_forms.h"

namespace mirotabe {
namespace {

// Glyphs are handed to the painter in runs of at most this many.
constexpr std::size_t kRunLength = 4096;

QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

bool IsBlank(std::u16string_view cell) {
  return cell.empty() || (cell.size() == 1 && (cell[0] == u'\u3000' || cell[0] == u' '));
}

// The one code point that `cell` holds, or none (0).
char32_t SingleCodePoint(std::u16string_view cell) {
  if (cell.size() == 1 && !QChar::isSurrogate(cell[0])) return cell[0];
  if (cell.size() == 2 && QChar::isHighSurrogate(cell[0]) && QChar::isLowSurrogate(cell[1])) {
    return QChar::surrogateToUcs4(cell[0], cell[1]);
  }
  return 0;
}

}  // namespace

CellPainter::CellPainter(const QFont& font, CellBox box, bool verticalForms, CellTarget target)
    : font_(font), box_(box), vertical_(verticalForms) {
  // The chain: the font as it resolves, then each of the pane's families
  // that resolves to another font.
  std::vector<QFont> candidates{font};
  for (const QString& family : PaneFontFamilies()) {
    candidates.push_back(font);
    candidates.back().setFamilies({family});
  }
  for (const QFont& candidate : candidates) {
    QRawFont raw = QRawFont::fromFont(candidate, QFontDatabase::Japanese);
    if (!raw.isValid()) continue;
    const bool known = std::any_of(chain_.begin(), chain_.end(), [&](const ChainFont& chained) {
      return chained.family == raw.familyName() && chained.style == raw.styleName();
    });
    if (known) continue;
    ChainFont chained{raw, nullptr, raw.familyName(), raw.styleName()};
    if (target == CellTarget::kDocument) UseDocumentFont(chained, candidate);
    if (vertical_ && chained.raw.familyName() == chained.family) {
      chained.vertical = std::make_unique<VerticalForms>(chained.raw);
    }
    chain_.push_back(std::move(chained));
  }
  if (!chain_.empty()) {
    const QRawFont& first = chain_.front().raw;
    baseline_ = (box_.height - (first.ascent() + first.descent())) / 2 + first.ascent();
  }
}

// The copy's character map gives the vertical forms itself. Where the copy
// cannot be had, the font stays, and the vertical forms are looked up in
// it.
void CellPainter::UseDocumentFont(ChainFont& chained, const QFont& candidate) const {
  const QString family = DocumentFontFamily(chained.raw, vertical_);
  if (family.isEmpty()) return;
  QFont copy(candidate);
  copy.setFamilies({family});
  QRawFont raw = QRawFont::fromFont(copy, QFontDatabase::Japanese);
  if (raw.isValid() && raw.familyName() == family) chained.raw = std::move(raw);
}

CellPainter::~CellPainter() = default;

QList<quint32> CellPainter::GlyphsIn(const ChainFont& font, const QString& text) {
  if (font.vertical) return font.vertical->GlyphsOf(text);
  QList<quint32> indexes = font.raw.glyphIndexesForString(text);
  if (indexes.isEmpty() || std::find(indexes.begin(), indexes.end(), 0U) != indexes.end()) {
    return {};
  }
  return indexes;
}

CellGlyphs CellPainter::Lookup(std::u16string_view cell) const {
  const QString text = ToQString(cell);
  CellGlyphs glyphs;
  for (std::size_t n = 0; n < chain_.size(); ++n) {
    QList<quint32> indexes = GlyphsIn(chain_[n], text);
    if (indexes.isEmpty()) continue;
    const QList<QPointF> advances = chain_[n].raw.advancesForGlyphIndexes(indexes);
    qreal width = 0;
    for (const QPointF& advance : advances) width += advance.x();
    qreal x = (box_.width - width) / 2;
    for (const QPointF& advance : advances) {
      glyphs.offsets.push_back(QPointF(x, baseline_));
      x += advance.x();
    }
    glyphs.font = n;
    glyphs.indexes = std::move(indexes);
    break;
  }
  return glyphs;
}

const CellGlyphs& CellPainter::GlyphsOf(std::u16string_view cell) {
  if (const char32_t c = SingleCodePoint(cell); c != 0) {
    auto found = single_.find(c);
    if (found == single_.end()) found = single_.emplace(c, Lookup(cell)).first;
    return found->second;
  }
  std::u16string key(cell);
  auto found = multiple_.find(key);
  if (found == multiple_.end()) found = multiple_.emplace(std::move(key), Lookup(cell)).first;
  return found->second;
}

void CellPainter::Place(QPainter& painter, std::u16string_view cell, QPointF topLeft) {
  if (IsBlank(cell)) return;
  const CellGlyphs& glyphs = GlyphsOf(cell);
  // One run at a time, in the order of the cells, so that a PDF's text
  // reads in the order the cells were placed.
  if (glyphs.font != runFont_ || run_.indexes.size() >= static_cast<qsizetype>(kRunLength)) {
    Flush(painter);
  }
  if (glyphs.font == CellGlyphs::kQtFallback) {
    painter.setFont(font_);
    painter.drawText(QRectF(topLeft, QSizeF(box_.width, box_.height)), Qt::AlignCenter,
                     ToQString(cell));
    return;
  }
  runFont_ = glyphs.font;
  for (qsizetype i = 0; i < glyphs.indexes.size(); ++i) {
    run_.indexes.push_back(glyphs.indexes[i]);
    run_.positions.push_back(glyphs.offsets[i] + topLeft);
  }
}

void CellPainter::Flush(QPainter& painter) {
  if (!run_.indexes.isEmpty()) {
    QGlyphRun glyphRun;
    glyphRun.setRawFont(chain_[runFont_].raw);
    glyphRun.setGlyphIndexes(run_.indexes);
    glyphRun.setPositions(run_.positions);
    painter.drawGlyphRun(QPointF(0, 0), glyphRun);
    run_.indexes.clear();
    run_.positions.clear();
  }
  runFont_ = CellGlyphs::kQtFallback;
}

}  // namespace mirotabe
