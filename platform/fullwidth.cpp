#include "platform/fullwidth.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace mirotabe {
namespace {

constexpr char16_t kFirstHalfWidthKana = u'｡';
constexpr char16_t kLastHalfWidthKana = u'ﾝ';
constexpr char16_t kVoicedMark = u'ﾞ';
constexpr char16_t kSemiVoicedMark = u'ﾟ';

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
std::size_t MapOne(std::u16string_view text, std::size_t i, char16_t*& out) {
  const char16_t c = text[i];
  // Kanji, kana and nearly all else lie between ⦆ and the half-width
  // forms, and none of them changes.
  if (c > u'⦆' && c < kFirstHalfWidthKana) {
    *out++ = c;
    return i + 1;
  }
  if (c <= kLastHalfWidthKana && c >= kFirstHalfWidthKana && i + 1 < text.size() &&
      (text[i + 1] == kVoicedMark || text[i + 1] == kSemiVoicedMark)) {
    if (const char16_t composed = Compose(c, text[i + 1])) {
      *out++ = composed;
      return i + 2;
    }
  }
  *out++ = FullWidthOf(c);
  return i + 1;
}

#ifdef __SSE2__
// Maps eight units at once when each is a control character, printable
// ASCII, a space or one of the many characters that never change: the mix
// of a typical Japanese text. Returns false, having written nothing, when
// any unit needs a closer look.
bool MapEight(const char16_t* in, char16_t* out) {
  // SSE2 compares signed 16-bit lanes; flipping the top bit makes the
  // comparison unsigned.
  const __m128i flip = _mm_set1_epi16(static_cast<short>(0x8000));
  const auto below = [&](__m128i a, int bound) {
    return _mm_cmplt_epi16(_mm_xor_si128(a, flip),
                           _mm_xor_si128(_mm_set1_epi16(static_cast<short>(bound)), flip));
  };
  const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i ascii = below(_mm_sub_epi16(units, _mm_set1_epi16(0x21)), 0x7F - 0x21);
  const __m128i space = _mm_cmpeq_epi16(units, _mm_set1_epi16(0x20));
  const __m128i control = below(units, 0x20);
  const __m128i unchanged =
      below(_mm_sub_epi16(units, _mm_set1_epi16(0x2987)), kFirstHalfWidthKana - 0x2987);
  const __m128i handled =
      _mm_or_si128(_mm_or_si128(ascii, space), _mm_or_si128(control, unchanged));
  if (_mm_movemask_epi8(handled) != 0xFFFF) return false;
  __m128i mapped =
      _mm_add_epi16(units, _mm_and_si128(ascii, _mm_set1_epi16(static_cast<short>(0xFEE0))));
  mapped =
      _mm_or_si128(_mm_andnot_si128(space, mapped), _mm_and_si128(space, _mm_set1_epi16(0x3000)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), mapped);
  return true;
}
#endif

// Writes the mapped `text` to `out` and returns the units written, never
// more than it read: `out` may be `text` itself.
std::size_t MapInto(std::u16string_view text, char16_t* out) {
  char16_t* const start = out;
  std::size_t i = 0;
#ifdef __SSE2__
  while (i + 8 <= text.size()) {
    if (MapEight(text.data() + i, out)) {
      i += 8;
      out += 8;
      continue;
    }
    const std::size_t blockEnd = i + 8;
    while (i < blockEnd) i = MapOne(text, i, out);
  }
#endif
  while (i < text.size()) i = MapOne(text, i, out);
  return static_cast<std::size_t>(out - start);
}

}  // namespace

std::u16string ToFullWidth(std::u16string_view text) {
  std::u16string result(text.size(), u'\0');
  result.resize(MapInto(text, result.data()));
  return result;
}

void MapToFullWidth(std::u16string& text) {
  text.resize(MapInto(text, text.data()));
}

}  // namespace mirotabe
