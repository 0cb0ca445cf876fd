#include "core/column_segments.h"

#include <string>

#include "core/code_points.h"

namespace mirotabe {
namespace {

// Closing brackets and punctuation, iteration marks, the long vowel mark,
// small kana, the marks that follow a number (％ ℃ …), and the hyphens,
// the wave dash and the ellipses, which do not start a line either.
constexpr std::u16string_view kHeadForbidden =
    u"、。，．・：；？！゛゜ヽヾゝゞ々〻ー）］｝」』】〕〉》〙〗｠”’»"
    u"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ"
    u"％‰℃°′″￠‼⁇⁈⁉‐–〜゠…‥";
// Opening brackets, and the marks that stand before a number (＄ ￥ ￡).
constexpr std::u16string_view kTailForbidden = u"（［｛「『【〔〈《〘〖｟“‘«＄￥￡";
constexpr std::u16string_view kHanging = u"、。，．";
// A dash of two is one mark: ―― or ——.
constexpr std::u16string_view kDashes = u"―—";

bool In(std::u16string_view set, char32_t c) {
  return c < 0x10000 && set.find(static_cast<char16_t>(c)) != std::u16string_view::npos;
}

}  // namespace

bool IsHeadForbidden(char32_t c) {
  return In(kHeadForbidden, c);
}

bool IsTailForbidden(char32_t c) {
  return In(kTailForbidden, c);
}

bool IsHanging(char32_t c) {
  return In(kHanging, c);
}

bool MayBreakBetween(char32_t before, char32_t after) {
  return !IsTailForbidden(before) && !IsHeadForbidden(after) &&
         !(In(kDashes, before) && In(kDashes, after));
}

std::vector<std::size_t> SegmentLine(std::u16string_view line, std::size_t columnLength,
                                     Kinsoku kinsoku) {
  std::u32string codePoints;
  codePoints.reserve(line.size());
  for (std::size_t unit = 0; unit < line.size();) {
    const CodePoint c = CodePointAt(line, unit);
    codePoints.push_back(c.value);
    unit += c.units;
  }
  std::vector<std::size_t> lengths;
  ForEachSegment(
      codePoints.size(), columnLength, kinsoku,
      [&codePoints](std::size_t i) { return codePoints[i]; },
      [&lengths](std::size_t cells) { lengths.push_back(cells); });
  return lengths;
}

}  // namespace mirotabe
