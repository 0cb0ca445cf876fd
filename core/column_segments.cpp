#include "core/column_segments.h"

#include <algorithm>
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

// Where the column that starts at code point `start` ends, for a line of
// `length` code points read through `at`. Only the characters around the
// cut are looked at, so cutting a whole line is linear in its length.
template <typename At>
std::size_t NextCut(std::size_t start, std::size_t length, std::size_t n, Kinsoku kinsoku,
                    const At& at) {
  const std::size_t cut = start + n;
  if (cut >= length || kinsoku == Kinsoku::kNone) return std::min(cut, length);

  // A cut at `c` keeps the rules when the column above is not empty, does
  // not end in a tail-forbidden character, and the next does not start with
  // a head-forbidden one. Nothing follows the end of the line.
  const auto keepsRules = [&](std::size_t c) {
    if (c <= start || c > length) return false;
    if (IsTailForbidden(at(c - 1))) return false;
    return c == length || !IsHeadForbidden(at(c));
  };
  if (keepsRules(cut)) return cut;

  std::size_t moved = cut;
  if (IsTailForbidden(at(cut - 1))) {
    moved = cut - 1;
  } else {
    moved = kinsoku == Kinsoku::kHang ? cut + 1 : cut - 1;
  }
  return keepsRules(moved) ? moved : cut;
}

template <typename At>
std::vector<std::size_t> Segment(std::size_t length, std::size_t n, Kinsoku kinsoku, const At& at) {
  std::vector<std::size_t> lengths;
  if (n == 0 || length <= n) {
    lengths.push_back(length);
    return lengths;
  }
  lengths.reserve(length / n + 1);
  for (std::size_t start = 0; start < length;) {
    const std::size_t end = NextCut(start, length, n, kinsoku, at);
    lengths.push_back(end - start);
    start = end;
  }
  return lengths;
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
  const bool hasPairs = std::any_of(line.begin(), line.end(), IsHighSurrogate);
  if (!hasPairs) {
    return Segment(line.size(), columnLength, kinsoku,
                   [line](std::size_t i) { return char32_t{line[i]}; });
  }
  std::u32string codePoints;
  codePoints.reserve(line.size());
  for (std::size_t unit = 0; unit < line.size();) {
    const CodePoint c = CodePointAt(line, unit);
    codePoints.push_back(c.value);
    unit += c.units;
  }
  return Segment(codePoints.size(), columnLength, kinsoku,
                 [&codePoints](std::size_t i) { return codePoints[i]; });
}

}  // namespace mirotabe
