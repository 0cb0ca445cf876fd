#include "core/glyph_form.h"

#include <string_view>

#include "core/code_points.h"
#include "unicode/vertical_orientation.h"

namespace mirotabe {
namespace {

bool SitsAtTopRight(char32_t c) {
  return c == U'、' || c == U'。' || c == U'，' || c == U'．';
}

bool IsSmallKana(char32_t c) {
  constexpr std::u32string_view kSmallKana = U"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ";
  // ㇰ..ㇿ: the small katakana of Ainu.
  return kSmallKana.find(c) != std::u32string_view::npos || (c >= U'\u31F0' && c <= U'\u31FF');
}

}  // namespace

bool HasBlankAfterInk(char32_t c) {
  constexpr std::u32string_view kClosing = U"」』）］｝〉》】〕〗〙";
  return SitsAtTopRight(c) || kClosing.find(c) != std::u32string_view::npos;
}

bool HasBlankBeforeInk(char32_t c) {
  constexpr std::u32string_view kOpening = U"「『（［｛〈《【〔〖〘";
  return kOpening.find(c) != std::u32string_view::npos;
}

double SharedBlankBetween(char32_t before, char32_t after) {
  const bool marks = (HasBlankAfterInk(before) || HasBlankBeforeInk(before)) &&
                     (HasBlankAfterInk(after) || HasBlankBeforeInk(after));
  return marks && (HasBlankAfterInk(before) || HasBlankBeforeInk(after)) ? 0.5 : 0;
}

CellOrientation OrientationOfCharacter(char32_t c) {
  switch (VerticalOrientationOf(c)) {
    case VerticalOrientation::kUpright:
    case VerticalOrientation::kTransformedUpright:
      return CellOrientation::kVerticalOrUpright;
    case VerticalOrientation::kTransformedRotated:
      return CellOrientation::kVerticalOrTurned;
    case VerticalOrientation::kRotated:
      break;
  }
  return CellOrientation::kTurned;
}

CellOrientation OrientationOfCell(std::u16string_view cell, bool glyphForms, bool fromEntry) {
  if (!glyphForms || fromEntry || cell.empty()) return CellOrientation::kAsItStands;
  const CodePoint c = CodePointAt(cell, 0);
  if (c.units != cell.size()) return CellOrientation::kAsItStands;
  return OrientationOfCharacter(c.value);
}

GlyphForm FormOfGlyph(CellOrientation orientation, bool fontHasVerticalForm) {
  switch (orientation) {
    case CellOrientation::kAsItStands:
      return GlyphForm::kUpright;
    case CellOrientation::kVerticalOrUpright:
      return fontHasVerticalForm ? GlyphForm::kVertical : GlyphForm::kUpright;
    case CellOrientation::kVerticalOrTurned:
      return fontHasVerticalForm ? GlyphForm::kVertical : GlyphForm::kTurned;
    case CellOrientation::kTurned:
      break;
  }
  return GlyphForm::kTurned;
}

StandInForm StandInFormOf(CellOrientation orientation, char32_t c) {
  switch (orientation) {
    case CellOrientation::kAsItStands:
      return StandInForm::kUpright;
    case CellOrientation::kVerticalOrUpright:
      if (SitsAtTopRight(c)) return StandInForm::kMirroredPlace;
      return IsSmallKana(c) ? StandInForm::kSmallKana : StandInForm::kUpright;
    case CellOrientation::kVerticalOrTurned:
    case CellOrientation::kTurned:
      break;
  }
  return StandInForm::kTurned;
}

}  // namespace mirotabe
