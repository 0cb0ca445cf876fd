#include "core/fullwidth.h"

#include "unicode/simd_scan.h"

namespace mirotabe {
namespace {

constexpr char16_t kFirstHalfWidthKana = u'｡';
constexpr char16_t kLastHalfWidthKana = u'ﾝ';
constexpr char16_t kVoicedMark = u'ﾞ';
constexpr char16_t kSemiVoicedMark = u'ﾟ';
// Kanji, kana and nearly all else lie from here up to the half-width
// forms, and none of them changes.
constexpr char16_t kFirstUnchanged = 0x2987;

// ｡..ﾝ in order.
constexpr char16_t kFullWidthKana[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    u"ハヒフヘホマミムメモヤユヨラリルレロワン";
static_assert(sizeof kFullWidthKana / sizeof(char16_t) - 1 ==
              kLastHalfWidthKana - kFirstHalfWidthKana + 1);

// U+FFE8..U+FFEE in order.
constexpr char16_t kFullWidthSymbols[] = u"│←↑→↓■○";

// The single character that a half-width base and a following mark make,
// or 0 where code page 932 has none (ヷ and ヺ are not in it). The voiced
// form of each kana here is the next code point, the semi-voiced form the
// one after, except that ヴ lies apart from ウ.
char16_t Compose(char16_t base, char16_t mark) {
  const char16_t wide = kFullWidthKana[base - kFirstHalfWidthKana];
  const bool haToHo = base >= u'ﾊ' && base <= u'ﾎ';
  if (mark == kSemiVoicedMark) return haToHo ? static_cast<char16_t>(wide + 2) : 0;
  if (base == u'ｳ') return u'ヴ';
  const bool kaToTo = base >= u'ｶ' && base <= u'ﾄ';
  return kaToTo || haToHo ? static_cast<char16_t>(wide + 1) : 0;
}

char16_t FullWidthOf(char16_t c) {
  if (c == u' ') return u'　';
  if (c >= 0x21 && c <= 0x7E) return static_cast<char16_t>(c + 0xFEE0);
  if (c >= kFirstHalfWidthKana && c <= kLastHalfWidthKana) {
    return kFullWidthKana[c - kFirstHalfWidthKana];
  }
  // Half-width Hangul: U+FFA0 is the filler, and the letters run in
  // blocks with unassigned gaps between them.
  if (c == 0xFFA0) return 0x3164;
  if (c >= 0xFFA1 && c <= 0xFFBE) return static_cast<char16_t>(c - 0xFFA1 + 0x3131);
  if (c >= 0xFFC2 && c <= 0xFFC7) return static_cast<char16_t>(c - 0xFFC2 + 0x314F);
  if (c >= 0xFFCA && c <= 0xFFCF) return static_cast<char16_t>(c - 0xFFCA + 0x3155);
  if (c >= 0xFFD2 && c <= 0xFFD7) return static_cast<char16_t>(c - 0xFFD2 + 0x315B);
  if (c >= 0xFFDA && c <= 0xFFDC) return static_cast<char16_t>(c - 0xFFDA + 0x3161);
  if (c >= 0xFFE8 && c <= 0xFFEE) return kFullWidthSymbols[c - 0xFFE8];
  switch (c) {
    // A lone mark takes the spacing form: the combining U+3099/U+309A would
    // take no cell of its own.
    case kVoicedMark:
      return u'゛';
    case kSemiVoicedMark:
      return u'゜';
    case u'¢':
      return u'￠';
    case u'£':
      return u'￡';
    case u'¬':
      return u'￢';
    case u'¯':
      return u'￣';
    case u'¦':
      return u'￤';
    case u'¥':
      return u'￥';
    case u'₩':
      return u'￦';
    case u'⦅':
      return u'｟';
    case u'⦆':
      return u'｠';
    default:
      return c;
  }
}

// Maps the character at `i` (composing it with a following mark where it
// can) to `out`; returns the index of the next character.
std::size_t MapOne(std::u16string_view text, std::size_t i, char16_t*& out,
                   std::vector<std::size_t>* composedMarks) {
  const char16_t c = text[i];
  if (c >= kFirstUnchanged && c < kFirstHalfWidthKana) {
    *out++ = c;
    return i + 1;
  }
  if (c <= kLastHalfWidthKana && c >= kFirstHalfWidthKana && i + 1 < text.size() &&
      (text[i + 1] == kVoicedMark || text[i + 1] == kSemiVoicedMark)) {
    if (const char16_t composed = Compose(c, text[i + 1])) {
      if (composedMarks != nullptr) composedMarks->push_back(i + 1);
      *out++ = composed;
      return i + 2;
    }
  }
  *out++ = FullWidthOf(c);
  return i + 1;
}

// The characters mapped a run at a time: below U+00A2 only printable ASCII
// and the space change (the C1 controls, the no-break space common in
// texts from the web, and ¡ stay), and nothing changes in
// [kFirstUnchanged, kFirstHalfWidthKana).
constexpr WidenedUnits kWidenedUnits{0xA2, kFirstUnchanged, kFirstHalfWidthKana};

std::size_t WidenAsciiRun(std::u16string_view text, char16_t* out) {
#if defined(MIROTABE_SCAN_AVX2)
  static const bool wide = scan_avx2::Available();
  if (wide) return scan_avx2::WidenAsciiRun(text, kWidenedUnits, out);
#endif
  return scan::WidenAsciiRun(text, kWidenedUnits, out);
}

// Writes the mapped `text` to `out` and returns the units written, never
// more than it read: `out` may be `text` itself. Control characters, ASCII,
// the space and the many characters that never change, the mix of a
// typical Japanese text, are mapped a run at a time; the rest one by one.
std::size_t MapInto(std::u16string_view text, char16_t* out,
                    std::vector<std::size_t>* composedMarks = nullptr) {
  char16_t* const start = out;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t run = WidenAsciiRun(text.substr(i), out);
    i += run;
    out += run;
    if (i < text.size()) i = MapOne(text, i, out, composedMarks);
  }
  return static_cast<std::size_t>(out - start);
}

}  // namespace

std::u16string ToFullWidth(std::u16string_view text) {
  std::u16string result(text.size(), u'\0');
  result.resize(MapInto(text, result.data()));
  return result;
}

void MapToFullWidth(std::u16string& text, std::vector<std::size_t>* composedMarks) {
  text.resize(MapInto(text, text.data(), composedMarks));
}

std::size_t MapToFullWidth(std::u16string_view text, char16_t* out) {
  return MapInto(text, out);
}

void MapToFullWidthKeepingLatin(std::u16string& text, std::vector<std::size_t>* composedMarks) {
  const auto latin = [](char16_t u) { return u >= 0x20 && u < 0x7F; };
  char16_t* out = text.data();
  std::vector<std::size_t> marks;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i;
    while (end < text.size() && !latin(text[end])) ++end;
    marks.clear();
    out += MapInto(std::u16string_view(text).substr(i, end - i), out,
                   composedMarks != nullptr ? &marks : nullptr);
    if (composedMarks != nullptr) {
      for (const std::size_t mark : marks) composedMarks->push_back(i + mark);
    }
    for (i = end; i < text.size() && latin(text[i]); ++i) *out++ = text[i];
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
}

}  // namespace mirotabe
