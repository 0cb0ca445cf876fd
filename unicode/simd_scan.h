// The loops over UTF-16 text that run eight units at a time where the CPU
// allows: searches, and the copies that run while a search finds nothing
// to stop at. Each exists twice with one contract:
// - scan_scalar:: one unit at a time, on every CPU;
// - scan_sse2:: eight units at a time with SSE2 (every x86-64 CPU), the
//   units left over going through the scalar form.
// Callers use scan::, which is the vector form where the compiler targets
// one and the scalar form elsewhere, so no caller needs a test of its own.
//
// The one loop that most of a Japanese text runs through, WidenAsciiRun,
// also exists as scan_avx2::, sixteen units at a time, for callers that
// check scan_avx2::Available() first: x86-64 builds target SSE2 alone.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "unicode/utf16.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace mirotabe {

// The units that WidenAsciiRun takes: those below `lowEnd`, which is at
// least U+007F so that every ASCII unit is among them, and those in
// [from, to).
struct WidenedUnits {
  char16_t lowEnd;
  char16_t from;
  char16_t to;
};

// AnyUnits looks for at most this many units at once.
inline constexpr std::size_t kMaxAnyUnits = 8;

namespace scan_scalar {

// The first index from `pos` on where `text` holds `unit`, or text.size().
inline std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t pos) {
  while (pos < text.size() && text[pos] != unit) ++pos;
  return pos;
}

// A few units (at most kMaxAnyUnits) looked for eight units at a time.
class AnyUnits {
 public:
  explicit AnyUnits(std::u16string_view units) : units_(units.substr(0, kMaxAnyUnits)) {}
  // Bit k set where eight[k] is one of the units.
  unsigned Mask8(const char16_t* eight) const {
    unsigned mask = 0;
    for (unsigned k = 0; k < 8; ++k) {
      if (units_.find(eight[k]) != std::u16string_view::npos) mask |= 1U << k;
    }
    return mask;
  }

 private:
  std::u16string_view units_;
};

// Calls visit(i), in order, for each index i of `text` that holds a CR or
// a high surrogate.
template <typename Visit>
inline void ForEachCrOrHighSurrogate(std::u16string_view text, Visit&& visit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || IsHighSurrogate(text[i])) visit(i);
  }
}

// How many units of `text` are `unit`.
inline std::size_t CountUnit(std::u16string_view text, char16_t unit) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), unit));
}

// How many units at the start of `text` are `unit`.
inline std::size_t RunOfUnit(std::u16string_view text, char16_t unit) {
  std::size_t n = 0;
  while (n < text.size() && text[n] == unit) ++n;
  return n;
}

// Copies the ASCII units at the start of `text` to `out`, a byte each;
// returns how many.
inline std::size_t NarrowAsciiRun(std::u16string_view text, char* out) {
  std::size_t n = 0;
  for (; n < text.size() && text[n] < 0x80; ++n) out[n] = static_cast<char>(text[n]);
  return n;
}

// Maps the units at the start of `text` that `units` names to `out`:
// printable ASCII to its full-width form, the space to U+3000, the rest as
// they are. Returns how many. `out` may be text.data() itself, or lie
// before it.
inline std::size_t WidenAsciiRun(std::u16string_view text, const WidenedUnits& units,
                                 char16_t* out) {
  std::size_t n = 0;
  for (; n < text.size(); ++n) {
    const char16_t c = text[n];
    if (c == 0x20) {
      out[n] = 0x3000;
    } else if (c > 0x20 && c < 0x7F) {
      out[n] = static_cast<char16_t>(c + 0xFEE0);
    } else if (c < units.lowEnd || (c >= units.from && c < units.to)) {
      out[n] = c;
    } else {
      break;
    }
  }
  return n;
}

}  // namespace scan_scalar

#if defined(__SSE2__)
namespace scan_sse2 {

// SSE2 loads need no alignment; the pointer casts are its own convention.
inline __m128i Load8(const char16_t* in) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
}
inline void Store8(char16_t* out, __m128i units) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
}
inline __m128i Splat(char16_t unit) {
  return _mm_set1_epi16(static_cast<short>(unit));
}
inline bool Any(__m128i lanes) {
  return _mm_movemask_epi8(lanes) != 0;
}
inline bool All(__m128i lanes) {
  return _mm_movemask_epi8(lanes) == 0xFFFF;
}
// The first set lane of `lanes`, which has one: found without a loop, whose
// exit at the end of each short line would be mispredicted.
inline std::size_t FirstLane(__m128i lanes) {
  return static_cast<std::size_t>(
             std::countr_zero(static_cast<unsigned>(_mm_movemask_epi8(lanes)))) /
         2;
}

inline std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t pos) {
  const __m128i wanted = Splat(unit);
  for (; pos + 8 <= text.size(); pos += 8) {
    const __m128i hits = _mm_cmpeq_epi16(Load8(text.data() + pos), wanted);
    if (Any(hits)) return pos + FirstLane(hits);
  }
  return scan_scalar::FindUnit(text, unit, pos);
}

// Sixty-four units at a time, their hits gathered into one bit mask: the
// hits are then visited without a loop that ends at each line's end, whose
// exit would be mispredicted at nearly every line.
template <typename Visit>
inline void ForEachCrOrHighSurrogate(std::u16string_view text, Visit&& visit) {
  const __m128i cr = Splat(u'\r');
  const __m128i surrogateMask = Splat(0xFC00);
  const __m128i highSurrogate = Splat(0xD800);
  const auto hits = [&](std::size_t at) {
    const __m128i units = Load8(text.data() + at);
    return _mm_or_si128(_mm_cmpeq_epi16(units, cr),
                        _mm_cmpeq_epi16(_mm_and_si128(units, surrogateMask), highSurrogate));
  };
  std::size_t base = 0;
  for (; text.size() - base >= 64; base += 64) {
    std::uint64_t mask = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const __m128i bytes = _mm_packs_epi16(hits(base + 16 * k), hits(base + 16 * k + 8));
      mask |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(bytes))} << (16 * k);
    }
    for (; mask != 0; mask &= mask - 1) {
      visit(base + static_cast<std::size_t>(std::countr_zero(mask)));
    }
  }
  scan_scalar::ForEachCrOrHighSurrogate(text.substr(base), [&](std::size_t i) { visit(base + i); });
}

class AnyUnits {
 public:
  explicit AnyUnits(std::u16string_view units) : count_(std::min(units.size(), kMaxAnyUnits)) {
    for (std::size_t k = 0; k < count_; ++k) wanted_[k] = Splat(units[k]);
  }
  unsigned Mask8(const char16_t* eight) const {
    const __m128i block = Load8(eight);
    __m128i hits = _mm_setzero_si128();
    for (std::size_t k = 0; k < count_; ++k) {
      hits = _mm_or_si128(hits, _mm_cmpeq_epi16(block, wanted_[k]));
    }
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(hits, hits))) & 0xFF;
  }

 private:
  __m128i wanted_[kMaxAnyUnits];
  std::size_t count_;
};

inline std::size_t CountUnit(std::u16string_view text, char16_t unit) {
  const __m128i wanted = Splat(unit);
  std::size_t count = 0;
  std::size_t n = 0;
  while (text.size() - n >= 8) {
    // Each lane counts its hits in 16 bits, so it is added up before it
    // could pass 32767.
    const std::size_t blocks = std::min<std::size_t>((text.size() - n) / 8, 32767);
    __m128i hits = _mm_setzero_si128();
    for (std::size_t b = 0; b < blocks; ++b, n += 8) {
      hits = _mm_sub_epi16(hits, _mm_cmpeq_epi16(Load8(text.data() + n), wanted));
    }
    alignas(16) std::int32_t sums[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(sums), _mm_madd_epi16(hits, Splat(1)));
    count += static_cast<std::size_t>(sums[0]) + static_cast<std::size_t>(sums[1]) +
             static_cast<std::size_t>(sums[2]) + static_cast<std::size_t>(sums[3]);
  }
  return count + scan_scalar::CountUnit(text.substr(n), unit);
}

inline std::size_t RunOfUnit(std::u16string_view text, char16_t unit) {
  const __m128i wanted = Splat(unit);
  std::size_t n = 0;
  for (; n + 8 <= text.size(); n += 8) {
    if (!All(_mm_cmpeq_epi16(Load8(text.data() + n), wanted))) break;
  }
  return n + scan_scalar::RunOfUnit(text.substr(n), unit);
}

inline std::size_t NarrowAsciiRun(std::u16string_view text, char* out) {
  std::size_t n = 0;
  for (; n + 8 <= text.size(); n += 8) {
    const __m128i units = Load8(text.data() + n);
    const __m128i high = _mm_and_si128(units, Splat(0xFF80));
    if (!All(_mm_cmpeq_epi16(high, _mm_setzero_si128()))) break;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + n), _mm_packus_epi16(units, units));
  }
  return n + scan_scalar::NarrowAsciiRun(text.substr(n), out + n);
}

// Lanes of `units` in [from, to) as unsigned numbers, in one signed
// compare: adding 0x8000 - from moves [from, to) to the bottom of the
// signed range.
inline __m128i InRange(__m128i units, char16_t from, char16_t to) {
  return _mm_cmplt_epi16(_mm_add_epi16(units, Splat(static_cast<char16_t>(0x8000 - from))),
                         Splat(static_cast<char16_t>(0x8000 + (to - from))));
}

inline std::size_t WidenAsciiRun(std::u16string_view text, const WidenedUnits& taken,
                                 char16_t* out) {
  std::size_t n = 0;
  for (; n + 8 <= text.size(); n += 8) {
    // Every lane is loaded before any is stored, so `out` may trail `text`.
    const __m128i units = Load8(text.data() + n);
    if (!All(_mm_or_si128(InRange(units, 0, taken.lowEnd), InRange(units, taken.from, taken.to)))) {
      break;
    }
    const __m128i printable = InRange(units, 0x21, 0x7F);
    const __m128i space = _mm_cmpeq_epi16(units, Splat(0x20));
    const __m128i offset = _mm_or_si128(_mm_and_si128(printable, Splat(0xFEE0)),
                                        _mm_and_si128(space, Splat(0x3000 - 0x20)));
    Store8(out + n, _mm_add_epi16(units, offset));
  }
  return n + scan_scalar::WidenAsciiRun(text.substr(n), taken, out + n);
}

}  // namespace scan_sse2

namespace scan = scan_sse2;

#if defined(__x86_64__) && defined(__GNUC__)
#define MIROTABE_SCAN_AVX2 1
namespace scan_avx2 {

inline bool Available() {
  return static_cast<bool>(__builtin_cpu_supports("avx2"));
}

// The same adds and signed compares as scan_sse2's form (see InRange).
__attribute__((target("avx2"))) inline std::size_t WidenAsciiRun(std::u16string_view text,
                                                                 const WidenedUnits& taken,
                                                                 char16_t* out) {
  const auto splat = [](unsigned unit) { return static_cast<short>(unit & 0xFFFF); };
  const __m256i lowShift = _mm256_set1_epi16(splat(0x8000));
  const __m256i lowEnd = _mm256_set1_epi16(splat(0x8000U + taken.lowEnd));
  const __m256i keptShift = _mm256_set1_epi16(splat(0x8000U - taken.from));
  const __m256i keptEnd = _mm256_set1_epi16(splat(0x8000U + taken.to - taken.from));
  const __m256i printableShift = _mm256_set1_epi16(splat(0x8000 - 0x21));
  const __m256i printableEnd = _mm256_set1_epi16(splat(0x8000 + 0x7F - 0x21));
  const __m256i space = _mm256_set1_epi16(0x20);
  const __m256i toFullWidth = _mm256_set1_epi16(splat(0xFEE0));
  const __m256i toIdeographicSpace = _mm256_set1_epi16(0x3000 - 0x20);
  std::size_t n = 0;
  for (; n + 16 <= text.size(); n += 16) {
    // Every lane is loaded before any is stored, so `out` may trail `text`.
    const __m256i units = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + n));
    const __m256i low = _mm256_cmpgt_epi16(lowEnd, _mm256_add_epi16(units, lowShift));
    const __m256i kept = _mm256_cmpgt_epi16(keptEnd, _mm256_add_epi16(units, keptShift));
    if (_mm256_movemask_epi8(_mm256_or_si256(low, kept)) != -1) break;
    const __m256i printable =
        _mm256_cmpgt_epi16(printableEnd, _mm256_add_epi16(units, printableShift));
    const __m256i offset =
        _mm256_or_si256(_mm256_and_si256(printable, toFullWidth),
                        _mm256_and_si256(_mm256_cmpeq_epi16(units, space), toIdeographicSpace));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + n), _mm256_add_epi16(units, offset));
  }
  return n + scan_sse2::WidenAsciiRun(text.substr(n), taken, out + n);
}

}  // namespace scan_avx2
#endif
#else
// An aarch64 NEON form would go here, as namespace scan_neon beside
// scan_sse2 with the same functions, and be chosen under __ARM_NEON.
namespace scan = scan_scalar;
#endif

}  // namespace mirotabe
