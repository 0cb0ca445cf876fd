#include "render/cell_font.h"

#include <QFontDatabase>
#include <QRawFont>
#include <algorithm>
#include <cmath>

namespace mirotabe {
namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';

QFont CellFont(int pixelSize, const QStringList& families) {
  QFont font(families.front());
  font.setFamilies(families);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPixelSize(std::max(1, pixelSize));
  return font;
}

}  // namespace

QFont FontForCell(int cellSize, const QStringList& families) {
  const QFont probe = CellFont(cellSize, families);
  const QRawFont raw = QRawFont::fromFont(probe, QFontDatabase::Japanese);
  if (!raw.isValid()) return probe;
  const QList<quint32> glyph = raw.glyphIndexesForString(QString(QChar(kIdeographicSpace)));
  if (glyph.isEmpty() || glyph.front() == 0) return probe;
  const qreal advance = raw.advancesForGlyphIndexes(glyph).front().x();
  if (advance <= 0 || std::abs(advance - cellSize) < 0.5) return probe;
  return CellFont(static_cast<int>(std::lround(cellSize * cellSize / advance)), families);
}

LatinAdvances LatinAdvancesOfCellFont() {
  LatinAdvances advances;
  // A cell a thousand pixels wide gives the thousandths directly, and at
  // that size no hinting rounds them.
  const QRawFont raw =
      QRawFont::fromFont(FontForCell(static_cast<int>(kEm)), QFontDatabase::Japanese);
  if (!raw.isValid()) return advances;
  for (std::size_t i = 0; i < LatinAdvances::kCount; ++i) {
    const QChar c(static_cast<char16_t>(LatinAdvances::kFirst + i));
    const QList<quint32> glyph = raw.glyphIndexesForString(QString(c));
    if (glyph.isEmpty() || glyph.front() == 0) continue;
    const qreal advance = raw.advancesForGlyphIndexes(glyph).front().x();
    if (advance > 0 && advance < kEm)
      advances.thousandths[i] = static_cast<std::uint16_t>(std::lround(advance));
  }
  return advances;
}

}  // namespace mirotabe
