#include "core/column_segments.h"

#include <string>

#include "core/code_points.h"

namespace mirotabe {
namespace {

constexpr std::u16string_view kHeadForbidden =
    u"、。，．・：；？！゛゜ヽヾゝゞ々ー）］｝」』】〕〉》”’"
    u"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ";
constexpr std::u16string_view kTailForbidden = u"（［｛「『【〔〈《“‘";

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
