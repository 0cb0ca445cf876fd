#include "core/column_segments.h"

#include <algorithm>
#include <array>
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

// A set in code point order, searched by halves: the rules ask about the
// characters around every cut.
template <std::size_t N>
constexpr std::array<char16_t, N> Sorted(std::u16string_view set) {
  std::array<char16_t, N> sorted{};
  std::copy(set.begin(), set.end(), sorted.begin());
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}

constexpr auto kHeadForbiddenSorted = Sorted<kHeadForbidden.size()>(kHeadForbidden);
constexpr auto kTailForbiddenSorted = Sorted<kTailForbidden.size()>(kTailForbidden);

template <std::size_t N>
bool InSorted(const std::array<char16_t, N>& set, char32_t c) {
  // Kanji, the bulk of the text, lie between the sets' characters.
  if (c >= 0x3400 && c < 0xFF00) return false;
  return c < 0x10000 && std::binary_search(set.begin(), set.end(), static_cast<char16_t>(c));
}

}  // namespace

bool IsHeadForbidden(char32_t c) {
  return InSorted(kHeadForbiddenSorted, c);
}

bool IsTailForbidden(char32_t c) {
  return InSorted(kTailForbiddenSorted, c);
}

bool IsHanging(char32_t c) {
  return In(kHanging, c);
}

bool MayBreakBetween(char32_t before, char32_t after) {
  return !IsTailForbidden(before) && !IsHeadForbidden(after) &&
         !(In(kDashes, before) && In(kDashes, after));
}

bool MayLeadWord(char32_t c) {
  return c == U'．' || c == U'％';
}

bool MayBreakBesideWords(char32_t before, char32_t after) {
  // Of a word's characters only its marks, not its letters and digits, are
  // asked about, and those that lead words are let start a column.
  const bool keptFromHead =
      IsWordCharacter(after)
          ? !IsLetterOrDigit(after) && !MayLeadWord(after) && IsHeadForbidden(after)
          : IsHeadForbidden(after);
  return (IsWordCharacter(before) || !IsTailForbidden(before)) && !keptFromHead &&
         !(In(kDashes, before) && In(kDashes, after));
}

namespace {

// The half-width character that a full-width form stands for.
constexpr char32_t Narrow(char32_t c) {
  return c >= 0xFF01 && c <= 0xFF5E ? c - 0xFEE0 : c;
}

}  // namespace

// The full-width punctuation that is Japanese punctuation more often than
// half-width punctuation widened, brackets and the marks of Japanese
// sentences, keeps its own Line_Break class.
char32_t BreakingFormOf(char32_t c) {
  if (c == U'\u3000') return U' ';
  // Most characters are not full-width forms: one comparison decides.
  if (c < 0xFF01 || c > 0xFF5E) return c;
  switch (c) {
    case U'（':
    case U'）':
    case U'［':
    case U'］':
    case U'｛':
    case U'｝':
    case U'，':
    case U'．':
    case U'：':
    case U'；':
      return c;
    default:
      return Narrow(c);
  }
}

bool IsWordCharacter(char32_t c) {
  const char32_t n = Narrow(c);
  const auto in = [n](char32_t first, char32_t last) { return n >= first && n <= last; };
  return in(0x21, 0x7E) || (in(0xC0, 0x24F) && n != 0xD7 && n != 0xF7) || in(0x250, 0x36F) ||
         in(0x370, 0x52F) || in(0x1E00, 0x1EFF);
}

bool IsLetterOrDigit(char32_t c) {
  const char32_t n = Narrow(c);
  const auto in = [n](char32_t first, char32_t last) { return n >= first && n <= last; };
  return in(U'0', U'9') || in(U'A', U'Z') || in(U'a', U'z') || (IsWordCharacter(n) && n >= 0xC0);
}

bool IsBlank(char32_t c) {
  return c == U' ' || c == U'\u3000';
}

LineBreakClass BreakClassOf(char32_t c) {
  return LineBreakClassOf(BreakingFormOf(c));
}

char32_t BreakingFormAfter(char32_t before, char32_t c) {
  // After a letter or digit, ．，：； are a word's own punctuation, as typed
  // half-width: "wiki.debian.org" or "https:" binds its parts together
  // where the full-width stop, a sentence's mark, would let them part.
  if ((c == U'．' || c == U'，' || c == U'：' || c == U'；') && IsLetterOrDigit(before)) {
    return Narrow(c);
  }
  return BreakingFormOf(c);
}

LineBreakClass BreakClassAfter(char32_t before, char32_t c) {
  if (c == U'（' && IsLetterOrDigit(before)) return LineBreakClass::kOP;
  return LineBreakClassOf(BreakingFormAfter(before, c));
}

std::vector<Segment> SegmentLine(std::u16string_view line, std::size_t columnLength,
                                 Kinsoku kinsoku) {
  std::u32string codePoints;
  codePoints.reserve(line.size());
  for (std::size_t unit = 0; unit < line.size();) {
    const CodePoint c = CodePointAt(line, unit);
    codePoints.push_back(c.value);
    unit += c.units;
  }
  std::vector<Segment> segments;
  ForEachSegment(
      codePoints.size(), columnLength, kinsoku,
      [&codePoints](std::size_t i) { return codePoints[i]; },
      [&segments](const Segment& segment) { segments.push_back(segment); });
  return segments;
}

}  // namespace mirotabe
