#include "render/cell_painter.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainter>
#include <QString>
#include <QTextLayout>
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

// Appends to `texts` the text each of the `count` glyphs drawn for `cell`
// stands for: the whole cell for one glyph, each of its characters where
// each has a glyph, none where glyphs and characters do not pair up.
void AppendTextsOfGlyphs(std::u16string_view cell, qsizetype count,
                         std::vector<std::u16string_view>& texts) {
  if (count == 1) {
    texts.push_back(cell);
    return;
  }
  const std::size_t first = texts.size();
  for (std::size_t at = 0; at < cell.size();) {
    const std::size_t length = QChar::isHighSurrogate(cell[at]) && at + 1 < cell.size() ? 2 : 1;
    texts.push_back(cell.substr(at, length));
    at += length;
  }
  const auto glyphs = static_cast<std::size_t>(count);
  if (texts.size() - first == glyphs) return;
  texts.resize(first);
  texts.resize(first + glyphs);
}

// The glyphs of `text` in `face`; empty when it lacks a character.
QList<quint32> GlyphsIn(const QRawFont& face, const QString& text) {
  QList<quint32> indexes = face.glyphIndexesForString(text);
  if (indexes.isEmpty() || std::find(indexes.begin(), indexes.end(), 0U) != indexes.end()) {
    return {};
  }
  return indexes;
}

// The baseline that centres the face of the ideographs in a box `height`
// high. Kana and punctuation are designed around that face, so centring it,
// rather than the font's ascent and descent, centres the characters; fonts
// whose ascent and descent are not balanced about it would set every
// character high or low. The face is taken as the middle of a few
// ideographs that fill it, so that no one glyph's design decides it.
qreal CentredBaseline(const QRawFont& face, qreal height) {
  const QList<quint32> glyphs = GlyphsIn(face, QStringLiteral("\u56FD\u7530\u6C38\u6771"));
  qreal middles = 0;
  int inked = 0;
  for (const quint32 glyph : glyphs) {
    const QRectF ink = face.boundingRect(glyph);
    if (ink.isEmpty()) continue;
    middles += ink.center().y();
    ++inked;
  }
  if (inked != 0) return height / 2 - middles / inked;
  return (height - (face.ascent() + face.descent())) / 2 + face.ascent();
}

}  // namespace

CellPainter::CellPainter(const QFont& font, CellBox box, CellTarget target)
    : font_(font), box_(box), target_(target) {
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
      return chained.raw.familyName() == raw.familyName() &&
             chained.raw.styleName() == raw.styleName();
    });
    if (known) continue;
    chain_.push_back(ChainFont{raw, candidate, nullptr});
  }
  if (!chain_.empty()) baseline_ = CentredBaseline(chain_.front().raw, box_.height);
}

CellPainter::~CellPainter() = default;

const VerticalForms& CellPainter::FormsOf(ChainFont& chained) {
  if (!chained.forms) chained.forms = std::make_unique<VerticalForms>(chained.raw);
  return *chained.forms;
}

// A document draws from the font's copy whose character map gives the
// glyphs as they stand, or the vertical forms. Where the copy cannot be
// had, the font itself serves.
std::size_t CellPainter::FaceFor(ChainFont& chained, bool vertical) {
  std::size_t& face = vertical ? chained.vertical : chained.upright;
  if (face != kNoFace) return face;
  QRawFont drawn = chained.raw;
  if (target_ == CellTarget::kDocument) {
    const QString family = DocumentFontFamily(chained.raw, vertical);
    if (!family.isEmpty()) {
      QFont copy(chained.candidate);
      copy.setFamilies({family});
      QRawFont raw = QRawFont::fromFont(copy, QFontDatabase::Japanese);
      if (raw.isValid() && raw.familyName() == family) drawn = std::move(raw);
    }
  } else if (vertical) {
    // The screen draws the vertical forms from the font itself.
    face = FaceFor(chained, false);
    return face;
  }
  faces_.push_back(std::move(drawn));
  face = faces_.size() - 1;
  return face;
}

bool CellPainter::LookupIn(ChainFont& chained, const QString& text, char32_t c,
                           CellOrientation orientation, CellGlyphs& glyphs) {
  if (GlyphsIn(chained.raw, text).isEmpty()) return false;
  glyphs.form = GlyphForm::kUpright;
  std::optional<std::uint32_t> vertical;
  if (c != 0 && orientation != CellOrientation::kAsItStands) {
    vertical = FormsOf(chained).VerticalGlyphOf(c);
    glyphs.form = FormOfGlyph(orientation, vertical.has_value());
  }
  // A document's copy for vertical text sends each character to its
  // vertical form where it has one and to its own glyph elsewhere, so all
  // the cells that may take a form are drawn from it, in runs unbroken by
  // the characters that have none.
  glyphs.face = FaceFor(chained, orientation != CellOrientation::kAsItStands);
  const QRawFont& face = faces_[glyphs.face];
  // The screen draws the form that HarfBuzz found.
  if (glyphs.form == GlyphForm::kVertical && face.familyName() == chained.raw.familyName()) {
    glyphs.indexes = {*vertical};
  } else {
    glyphs.indexes = GlyphsIn(face, text);
  }
  if (glyphs.indexes.isEmpty()) return false;
  const QList<QPointF> advances = face.advancesForGlyphIndexes(glyphs.indexes);
  qreal width = 0;
  for (const QPointF& advance : advances) width += advance.x();
  qreal x = (box_.width - width) / 2;
  for (const QPointF& advance : advances) {
    glyphs.offsets.push_back(QPointF(x, baseline_));
    x += advance.x();
  }
  return true;
}

CellGlyphs CellPainter::Lookup(std::u16string_view cell, CellOrientation orientation) {
  const QString text = ToQString(cell);
  const char32_t c = SingleCodePoint(cell);
  for (ChainFont& chained : chain_) {
    CellGlyphs glyphs;
    if (LookupIn(chained, text, c, orientation, glyphs)) return glyphs;
  }
  return CellGlyphs{};
}

const CellGlyphs& CellPainter::GlyphsOf(std::u16string_view cell, CellOrientation orientation) {
  if (const char32_t c = SingleCodePoint(cell); c != 0) {
    const std::uint32_t key = c | (static_cast<std::uint32_t>(orientation) << 24);
    auto found = single_.find(key);
    if (found == single_.end()) found = single_.emplace(key, Lookup(cell, orientation)).first;
    return found->second;
  }
  std::u16string key(cell);
  auto found = multiple_.find(key);
  if (found == multiple_.end()) {
    found = multiple_.emplace(std::move(key), Lookup(cell, CellOrientation::kAsItStands)).first;
  }
  return found->second;
}

void CellPainter::Place(QPainter& painter, std::u16string_view cell, CellOrientation orientation,
                        QPointF topLeft) {
  if (IsBlank(cell)) return;
  const CellGlyphs& glyphs = GlyphsOf(cell, orientation);
  if (glyphs.face == CellGlyphs::kQtFallback) {
    Flush(painter);
    DrawWithQtFallback(painter, cell, topLeft);
    return;
  }
  const bool turned = glyphs.form == GlyphForm::kTurned;
  // A PDF's text reads in the order its glyphs are drawn, so there the
  // runs are drawn in the order of the cells; on the screen the turned
  // glyphs of many cells share one run.
  if (target_ == CellTarget::kDocument) DrawQueued(painter, turned ? upright_ : turned_);
  if (!turned) {
    Queue(painter, upright_, glyphs, cell, topLeft);
    return;
  }
  // Turned a quarter turn clockwise about the cell's centre, where the
  // upright glyph's advance and the ideographs' face are centred, so that
  // the turned glyph is centred as well. A glyph at `offset` from the centre
  // C is drawn at C + R(offset), R turning a quarter turn clockwise; in the
  // painter's coordinates turned by R, that is R⁻¹(C) + offset.
  const QPointF centre(box_.width / 2.0, box_.height / 2.0);
  const QPointF c = topLeft + centre;
  Queue(painter, turned_, glyphs, cell, QPointF(c.y(), -c.x()) - centre);
}

void CellPainter::PlaceTcy(QPainter& painter, std::u16string_view text, QPointF topLeft) {
  const CellGlyphs& glyphs = GlyphsOf(text, CellOrientation::kAsItStands);
  // The glyphs are centred: the first stands half their excess in.
  const qreal width = glyphs.offsets.isEmpty() ? 0 : box_.width - 2 * glyphs.offsets.front().x();
  if (glyphs.face == CellGlyphs::kQtFallback || width <= box_.width) {
    Place(painter, text, CellOrientation::kAsItStands, topLeft);
    return;
  }
  // Three digits are wider than a cell: they are narrowed about its centre,
  // as a typesetter sets them in thirds of an em.
  Flush(painter);
  painter.save();
  painter.translate(topLeft.x() + box_.width / 2.0, 0);
  painter.scale(box_.width / width, 1);
  Queue(painter, upright_, glyphs, text, QPointF(-box_.width / 2.0, topLeft.y()));
  DrawQueued(painter, upright_);
  painter.restore();
  upright_.face = CellGlyphs::kQtFallback;
}

const CellGlyphs& CellPainter::SidewaysGlyphsOf(std::u16string_view text) {
  std::u16string key(text);
  auto found = sideways_.find(key);
  if (found != sideways_.end()) return found->second;
  CellGlyphs glyphs;
  const QString string = ToQString(text);
  for (ChainFont& chained : chain_) {
    if (GlyphsIn(chained.raw, string).isEmpty()) continue;
    glyphs.face = FaceFor(chained, false);
    glyphs.form = GlyphForm::kTurned;
    glyphs.indexes = GlyphsIn(faces_[glyphs.face], string);
    if (glyphs.indexes.isEmpty()) {
      glyphs.face = CellGlyphs::kQtFallback;
      continue;
    }
    qreal x = 0;
    for (const QPointF& advance : faces_[glyphs.face].advancesForGlyphIndexes(glyphs.indexes)) {
      glyphs.offsets.push_back(QPointF(x, 0));
      x += advance.x();
    }
    break;
  }
  return sideways_.emplace(std::move(key), std::move(glyphs)).first->second;
}

void CellPainter::PlaceSideways(QPainter& painter, std::u16string_view text, QPointF topLeft,
                                qreal wordSpacing) {
  const CellGlyphs& glyphs = SidewaysGlyphsOf(text);
  if (glyphs.face == CellGlyphs::kQtFallback) {
    // No font has every letter: each stands in a cell of its own.
    for (std::size_t i = 0; i < text.size(); ++i) {
      Place(painter, text.substr(i, 1), CellOrientation::kAsItStands,
            topLeft + QPointF(0, static_cast<qreal>(i) * box_.height));
    }
    return;
  }
  if (target_ == CellTarget::kDocument) DrawQueued(painter, upright_);
  // In the painter's coordinates turned a quarter turn clockwise, x runs
  // down the column and y to its left: the baseline sits where the face's
  // ascent and descent are centred across the column, as a sideways run's
  // central baseline is set.
  const QRawFont& face = faces_[glyphs.face];
  const qreal baseline = -(topLeft.x() + box_.width / 2.0) + (face.ascent() - face.descent()) / 2.0;
  CellGlyphs spaced = glyphs;
  qreal extra = 0;
  for (qsizetype i = 0; i < spaced.offsets.size(); ++i) {
    spaced.offsets[i].rx() += extra;
    if (wordSpacing != 0 && static_cast<std::size_t>(i) < text.size() &&
        text[static_cast<std::size_t>(i)] == u' ') {
      extra += wordSpacing;
    }
  }
  Queue(painter, turned_, spaced, text, QPointF(topLeft.y(), baseline));
}

// Characters that no font of the chain has come from the fonts Qt falls
// back on. A document draws them as glyphs, centred as the layout sets them,
// so that the text layer learns which characters they stand for.
void CellPainter::DrawWithQtFallback(QPainter& painter, std::u16string_view cell, QPointF topLeft) {
  if (log_ == nullptr) {
    painter.setFont(font_);
    painter.drawText(QRectF(topLeft, QSizeF(box_.width, box_.height)), Qt::AlignCenter,
                     ToQString(cell));
    return;
  }
  QTextLayout layout(ToQString(cell), font_);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  if (!line.isValid()) return;
  const QPointF origin =
      topLeft + QPointF((box_.width - line.naturalTextWidth()) / 2, baseline_ - line.ascent());
  const QList<QGlyphRun> runs = layout.glyphRuns();
  qsizetype count = 0;
  for (const QGlyphRun& run : runs) count += run.glyphIndexes().size();
  const bool missing =
      marks_ != nullptr && std::any_of(runs.begin(), runs.end(), [](const QGlyphRun& run) {
        return run.glyphIndexes().contains(0U);
      });
  if (missing) marks_->Begin(painter, ContentMarks::Kind::kReplacedText, cell);
  std::vector<std::u16string_view> texts;
  AppendTextsOfGlyphs(cell, count, texts);
  std::size_t k = 0;
  for (const QGlyphRun& run : runs) {
    GlyphTextLog::Font& font = log_->FontOf(run.rawFont());
    for (const quint32 glyph : run.glyphIndexes()) font.Record(glyph, texts[k++]);
    painter.drawGlyphRun(origin, run);
  }
  if (missing) marks_->End(painter);
}

// Queues `glyphs` of `text` for the cell whose offsets start at `at`.
void CellPainter::Queue(QPainter& painter, Run& run, const CellGlyphs& glyphs,
                        std::u16string_view text, QPointF at) {
  if (glyphs.face != run.face || run.indexes.size() >= static_cast<qsizetype>(kRunLength)) {
    DrawQueued(painter, run);
    run.face = glyphs.face;
  }
  const qsizetype count = glyphs.indexes.size();
  for (qsizetype i = 0; i < count; ++i) {
    run.indexes.push_back(glyphs.indexes[i]);
    run.positions.push_back(glyphs.offsets[i] + at);
  }
  if (log_ != nullptr) AppendTextsOfGlyphs(text, count, run.texts);
}

void CellPainter::DrawQueued(QPainter& painter, Run& run) {
  if (run.indexes.isEmpty()) return;
  if (log_ != nullptr) {
    if (logged_.size() <= run.face) logged_.resize(faces_.size(), nullptr);
    GlyphTextLog::Font*& font = logged_[run.face];
    if (font == nullptr) font = &log_->FontOf(faces_[run.face]);
    for (qsizetype i = 0; i < run.indexes.size(); ++i) {
      font->Record(run.indexes[i], run.texts[static_cast<std::size_t>(i)]);
    }
    run.texts.clear();
  }
  const bool turned = &run == &turned_;
  if (turned) {
    painter.save();
    painter.rotate(90);
  }
  QGlyphRun glyphRun;
  glyphRun.setRawFont(faces_[run.face]);
  glyphRun.setGlyphIndexes(run.indexes);
  glyphRun.setPositions(run.positions);
  painter.drawGlyphRun(QPointF(0, 0), glyphRun);
  if (turned) painter.restore();
  run.indexes.clear();
  run.positions.clear();
}

void CellPainter::Flush(QPainter& painter) {
  for (Run* run : {&upright_, &turned_}) {
    DrawQueued(painter, *run);
    run->face = CellGlyphs::kQtFallback;
  }
}

}  // namespace mirotabe
