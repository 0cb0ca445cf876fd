#include "platform/jis_decoding.h"

#include <cstdint>

#include "platform/jis_tables.h"

namespace mirotabe {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr unsigned char kEscape = 0x1B;
constexpr unsigned char kFirstJis = 0x21;
constexpr unsigned char kFirstEucJis = 0xA1;
constexpr unsigned kJisRow = 94;

bool IsJisByte(unsigned char b, unsigned char first) {
  return b >= first && b < first + kJisRow;
}

// What EUC-JP reads at the start of `in` (which has `left` bytes): the
// unit, or 0 when the sequence is bad; `length` takes its length.
char16_t EucJpAt(const unsigned char* in, std::size_t left, std::size_t& length) {
  const unsigned char b = in[0];
  length = 1;
  if (b < 0x80) return b;
  if (const char16_t alone = kEucJpSingle[b - 0x80]; alone != 0) return alone;
  if (left < 2) return 0;
  if (const char16_t pair = kEucJpPair[b - 0x80][in[1]]; pair != 0) {
    length = 2;
    return pair;
  }
  if (b != 0x8F || left < 3 || !IsJisByte(in[1], kFirstEucJis) || !IsJisByte(in[2], kFirstEucJis)) {
    return 0;
  }
  const char16_t triple = kEucJpTriple[in[1] - kFirstEucJis][in[2] - kFirstEucJis];
  if (triple != 0) length = 3;
  return triple;
}

// The set that the escape sequence at the start of `rest` designates, or
// -1. `cutShort` is set when `rest` is too short to tell: iconv wants three
// bytes from ESC on, four after ESC $ (, before it decides, whatever they are.
int DesignationAt(std::string_view rest, bool& cutShort) {
  cutShort = rest.size() < 3 || (rest.starts_with("\x1B$(") && rest.size() < 4);
  if (cutShort) return -1;
  for (std::size_t set = 0; set < kIso2022JpSets; ++set) {
    if (rest.starts_with(kIso2022JpDesignations[set])) return static_cast<int>(set);
  }
  return -1;
}

void AppendPacked(std::u16string& text, std::uint32_t packed) {
  text += static_cast<char16_t>(packed & 0xFFFF);
  if (packed > 0xFFFF) text += static_cast<char16_t>(packed >> 16);
}

}  // namespace

std::u16string DecodeEucJp(std::string_view bytes, UndecodableBytes* undecodable) {
  std::u16string text;
  text.reserve(bytes.size());
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  while (left != 0) {
    std::size_t length = 1;
    const char16_t unit = EucJpAt(in, left, length);
    const bool bad = unit == 0 && in[0] != 0;
    if (bad && undecodable != nullptr) undecodable->Add(bytes.size() - left);
    text += bad ? kReplacementCharacter : unit;
    in += length;
    left -= length;
  }
  return text;
}

std::u16string DecodeIso2022Jp(std::string_view bytes, UndecodableBytes* undecodable) {
  std::u16string text;
  text.reserve(bytes.size());
  const auto bad = [&text, undecodable](std::size_t at) {
    if (undecodable != nullptr) undecodable->Add(at);
    text += kReplacementCharacter;
  };
  std::size_t set = 0;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (b == kEscape) {
      bool cutShort = false;
      if (const int designated = DesignationAt(bytes.substr(pos), cutShort); designated >= 0) {
        set = static_cast<std::size_t>(designated);
        pos += std::string_view(kIso2022JpDesignations[set]).size();
        continue;
      }
      if (cutShort) {
        bad(pos);
        ++pos;
        continue;
      }
    }
    const char16_t single = kIso2022JpSingle[set][b];
    if (single != kIso2022JpStartsPair) {
      if (single == kIso2022JpBad) {
        bad(pos);
      } else {
        text += single;
      }
      ++pos;
      continue;
    }
    const std::uint32_t table = kIso2022JpPairTableOf[set];
    const auto second = pos + 1 < bytes.size() ? static_cast<unsigned char>(bytes[pos + 1]) : 0;
    const std::uint32_t pair =
        IsJisByte(second, kFirstJis)
            ? kIso2022JpPairTables[table][(b - kFirstJis) * kJisRow + (second - kFirstJis)]
            : 0;
    if (pair == 0) {
      bad(pos);
      ++pos;
      continue;
    }
    AppendPacked(text, pair);
    pos += 2;
  }
  return text;
}

std::u16string Jisx0213Character(int plane, int row, int cell) {
  // The sets that ESC $ ( Q (plane 1 of the 2004 edition) and ESC $ ( P
  // (plane 2) designate.
  constexpr std::size_t kPlane1Set = 6;
  constexpr std::size_t kPlane2Set = 7;
  if ((plane != 1 && plane != 2) || row < 1 || row > static_cast<int>(kJisRow) || cell < 1 ||
      cell > static_cast<int>(kJisRow)) {
    return {};
  }
  const std::uint32_t table = kIso2022JpPairTableOf[plane == 1 ? kPlane1Set : kPlane2Set];
  const std::uint32_t packed = kIso2022JpPairTables[table][(row - 1) * kJisRow + (cell - 1)];
  std::u16string character;
  if (packed != 0) AppendPacked(character, packed);
  return character;
}

}  // namespace mirotabe
