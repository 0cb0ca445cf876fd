// What the fuzz targets share: drawing text and tables from the fuzzer's
// bytes, and checks that stop the run with a message.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/settings.h"

namespace mirotabe::fuzzing {

[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
  std::abort();
}

#define FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : ::mirotabe::fuzzing::Fail(__FILE__, __LINE__, #condition))

// Units that exercise the program's rules: ASCII and its blanks and quotes,
// line breaks, the one-way pairs of code page 932, half-width katakana and
// their marks, full-width forms, surrogates (paired and lone), characters
// code page 932 cannot hold, U+FFFD, and what the cutting of columns
// weighs: digits that 縦中横 sets, !, 、。, brackets and small kana.
inline constexpr char16_t kInteresting[] = {
    u'a',   u'b',   u' ',   u'\t',  u'"',   u'\'',  u'=',   u'[',   u']',   u';',   u'\r',
    u'\n',  u'\0',  u'?',   u'\\',  u'~',   0x7F,   0xA2,   0xA5,   0xE9,   0x2014, 0x2015,
    0x2016, 0x2212, 0x2225, 0x203E, 0x301C, 0xFF5E, 0xFF0D, 0xFF76, 0xFF9E, 0xFF9F, 0xFF73,
    0x30FC, 0xFF5C, 0x3000, 0xFFFD, 0xD83D, 0xDE00, 0x3042, 0x4E9C, 0x8868, u'1',   u'2',
    u'!',   0x3001, 0x3002, 0x300C, 0x300D, 0x300A, 0x300B, 0x3083};

// A UTF-16 text of up to `maxUnits` units: each unit is either one of the
// interesting ones or any unit at all.
inline std::u16string DrawText(FuzzedDataProvider& data, std::size_t maxUnits) {
  std::u16string text;
  const std::size_t length = data.ConsumeIntegralInRange<std::size_t>(0, maxUnits);
  for (std::size_t i = 0; i < length && data.remaining_bytes() != 0; ++i) {
    const auto pick = data.ConsumeIntegral<std::uint8_t>();
    if (pick < 192) {
      text.push_back(kInteresting[pick % std::size(kInteresting)]);
    } else {
      text.push_back(data.ConsumeIntegral<char16_t>());
    }
  }
  return text;
}

// A stored kind: mostly the two the program knows, sometimes any 32-bit number.
inline std::int32_t DrawKind(FuzzedDataProvider& data) {
  const auto pick = data.ConsumeIntegralInRange<int>(0, 7);
  if (pick < 3) return 0;
  if (pick < 6) return 1;
  return data.ConsumeIntegral<std::int32_t>();
}

inline SwapTable DrawTable(FuzzedDataProvider& data, std::size_t maxEntries, std::size_t maxUnits) {
  SwapTable table;
  const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, maxEntries);
  for (std::size_t i = 0; i < count; ++i) {
    std::u16string from = DrawText(data, maxUnits);
    std::u16string to = DrawText(data, maxUnits);
    table.Append(StoredSwapEntry(std::move(from), std::move(to), DrawKind(data)));
  }
  return table;
}

}  // namespace mirotabe::fuzzing
