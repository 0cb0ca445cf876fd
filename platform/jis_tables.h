// EUC-JP and ISO-2022-JP as the system's iconv reads them (glibc's
// EUC-JP-MS and ISO-2022-JP-3), in tables generated at build time from
// iconv itself. See jis_decoding.h for how they are read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mirotabe {

// EUC-JP. Bytes below 0x80 are ASCII. kEucJpSingle[b - 0x80]: what byte b
// reads as alone, or 0 when it starts a longer sequence or is bad.
// kEucJpPair[lead - 0x80][trail]: what the pair reads as, or 0. After
// 0x8F, kEucJpTriple[b2 - 0xA1][b3 - 0xA1] (JIS X 0212), or 0.
extern const char16_t kEucJpSingle[0x80];
extern const char16_t kEucJpPair[0x80][0x100];
extern const char16_t kEucJpTriple[94][94];

// ISO-2022-JP. Each escape sequence of kIso2022JpDesignations chooses a
// set; the first (ASCII) holds at the start.
inline constexpr std::size_t kIso2022JpSets = 8;
extern const char* const kIso2022JpDesignations[kIso2022JpSets];

// What a byte reads as in each set: a unit, kIso2022JpStartsPair when it is
// the first byte of a pair, kIso2022JpBad when it is refused. ESC is
// listed as U+001B, the unit it reads as when no designation follows.
inline constexpr char16_t kIso2022JpStartsPair = 0xFFFE;
inline constexpr char16_t kIso2022JpBad = 0xFFFF;
extern const char16_t kIso2022JpSingle[kIso2022JpSets][0x100];

// The pairs of a set: kIso2022JpPairTables[kIso2022JpPairTableOf[set]],
// indexed by (first - 0x21) * 94 + (second - 0x21). An entry holds one
// unit, or two (the second in the upper half: a surrogate pair, or a
// character and a combining mark); 0 when the pair is bad.
extern const std::uint32_t kIso2022JpPairTableOf[kIso2022JpSets];
extern const std::uint32_t kIso2022JpPairTables[][94 * 94];

}  // namespace mirotabe
