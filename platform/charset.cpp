#include "platform/charset.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/cp932_table.h"
#include "platform/jis_decoding.h"
#include "unicode/simd_scan.h"
#include "unicode/utf16.h"

namespace mirotabe {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr char kUnencodableMark = '?';
// The ideographic space, which fills most of a vertical text's cells.
constexpr char16_t kBlank = 0x3000;

void Unencodable(char32_t c, char*& out, const UnencodableFn& onUnencodable) {
  if (onUnencodable) onUnencodable(c);
  *out++ = kUnencodableMark;
}

// The units from `in` to `end`. (Some standard libraries, libc++ 14
// among them, lack string_view's constructor from two iterators.)
std::u16string_view Units(const char16_t* in, const char16_t* end) {
  return {in, static_cast<std::size_t>(end - in)};
}

// Copies the run of ASCII units at `in`, which both encodings write as
// they are.
void CopyAscii(const char16_t*& in, const char16_t* end, char*& out) {
  const std::size_t run = scan::NarrowAsciiRun(Units(in, end), out);
  in += run;
  out += run;
}

// Writes `count` copies of the two-byte character `code`, eight at a time
// where it can.
void WriteRepeated(std::uint16_t code, std::size_t count, char*& out) {
  const char lead = static_cast<char>(code >> 8);
  const char trail = static_cast<char>(code & 0xFF);
  char eight[16];
  for (std::size_t k = 0; k < sizeof eight; k += 2) {
    eight[k] = lead;
    eight[k + 1] = trail;
  }
  for (; count >= 8; count -= 8, out += sizeof eight) std::memcpy(out, eight, sizeof eight);
  for (; count != 0; --count) {
    *out++ = lead;
    *out++ = trail;
  }
}

char* EncodeCp932(std::u16string_view text, char* out, const UnencodableFn& onUnencodable) {
  const char16_t* in = text.data();
  const char16_t* const end = in + text.size();
  while (in < end) {
    const char16_t c = *in;
    if (c < 0x80) {
      CopyAscii(in, end, out);
      continue;
    }
    const std::uint16_t code = kCp932OfBmp[c];
    if (c == kBlank && code > 0xFF) {
      const std::size_t run = scan::RunOfUnit(Units(in, end), kBlank);
      WriteRepeated(code, run, out);
      in += run;
      continue;
    }
    if (code != 0) {
      if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
      *out++ = static_cast<char>(code & 0xFF);
      ++in;
      continue;
    }
    // Code page 932 holds no character above U+FFFF.
    if (IsHighSurrogate(c) && in + 1 < end && IsLowSurrogate(in[1])) {
      Unencodable(CombineSurrogates(c, in[1]), out, onUnencodable);
      in += 2;
      continue;
    }
    Unencodable(c, out, onUnencodable);
    ++in;
  }
  return out;
}

// Reads code page 932, passing each unit to `put`. A bad byte gives one
// U+FFFD and the next byte is read afresh, so a good character after a bad
// lead byte survives. Decoding and counting share this, so that a count
// is always what decoding gives.
template <typename Put>
void ReadCp932(std::string_view bytes, Put&& put, UndecodableBytes* undecodable = nullptr) {
  const auto* const start = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* in = start;
  const unsigned char* const end = in + bytes.size();
  while (in < end) {
    const unsigned char b = *in;
    if (b < 0x80) {
      put(char16_t{b});
      ++in;
      continue;
    }
    if (const char16_t alone = kBmpOfCp932Byte[b]; alone != 0) {
      put(alone);
      ++in;
      continue;
    }
    const char16_t pair = in + 1 < end ? kBmpOfCp932Pair[b - 0x80][in[1]] : char16_t{0};
    if (pair == 0 && undecodable != nullptr) undecodable->Add(static_cast<std::size_t>(in - start));
    put(pair != 0 ? pair : kReplacementCharacter);
    in += pair != 0 ? 2 : 1;
  }
}

char16_t* DecodeCp932(std::string_view bytes, char16_t* out) {
  ReadCp932(bytes, [&out](char16_t unit) { *out++ = unit; });
  return out;
}

std::size_t CountCp932(std::string_view bytes) {
  std::size_t units = 0;
  ReadCp932(bytes, [&units](char16_t /*unit*/) { ++units; });
  return units;
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// What a lead byte of RFC 3629 UTF-8 says of its sequence: the length (0
// for a byte that starts none) and the range of the second byte, which
// excludes overlong forms, surrogates and anything above U+10FFFF.
struct Utf8Lead {
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
};

Utf8Lead LeadOf(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return {2};
  if (b == 0xE0) return {3, 0xA0};        // overlong below U+0800
  if (b == 0xED) return {3, 0x80, 0x9F};  // surrogates
  if (b >= 0xE1 && b <= 0xEF) return {3};
  if (b == 0xF0) return {4, 0x90};        // overlong below U+10000
  if (b == 0xF4) return {4, 0x80, 0x8F};  // above U+10FFFF
  if (b >= 0xF1 && b <= 0xF3) return {4};
  return {};
}

// The end of the run of ASCII bytes at `i`, eight bytes at a time.
std::size_t AsciiEnd(const unsigned char* bytes, std::size_t i, std::size_t size) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  for (std::uint64_t word = 0; i + sizeof word <= size; i += sizeof word) {
    std::memcpy(&word, bytes + i, sizeof word);
    if ((word & kHighBits) != 0) break;
  }
  while (i < size && bytes[i] < 0x80) ++i;
  return i;
}

char* EncodeUtf8(std::u16string_view text, char* out, const UnencodableFn& onUnencodable) {
  const char16_t* in = text.data();
  const char16_t* const end = in + text.size();
  while (in < end) {
    const char32_t c = *in;
    if (c < 0x80) {
      CopyAscii(in, end, out);
      continue;
    }
    if (c < 0x800) {
      *out++ = static_cast<char>(0xC0 | c >> 6);
      *out++ = static_cast<char>(0x80 | (c & 0x3F));
      ++in;
      continue;
    }
    if (!IsHighSurrogate(c) && !IsLowSurrogate(c)) {
      *out++ = static_cast<char>(0xE0 | c >> 12);
      *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      *out++ = static_cast<char>(0x80 | (c & 0x3F));
      ++in;
      continue;
    }
    if (IsHighSurrogate(c) && in + 1 < end && IsLowSurrogate(in[1])) {
      const char32_t value = CombineSurrogates(c, in[1]);
      *out++ = static_cast<char>(0xF0 | value >> 18);
      *out++ = static_cast<char>(0x80 | (value >> 12 & 0x3F));
      *out++ = static_cast<char>(0x80 | (value >> 6 & 0x3F));
      *out++ = static_cast<char>(0x80 | (value & 0x3F));
      in += 2;
      continue;
    }
    Unencodable(c, out, onUnencodable);
    ++in;
  }
  return out;
}

// The length of the valid UTF-8 sequence at `in`, which starts with a byte
// above 0x7F and has `left` bytes; 0 when none starts there.
std::size_t SequenceLength(const unsigned char* in, std::size_t left) {
  const Utf8Lead lead = LeadOf(in[0]);
  if (lead.length == 0 || lead.length > left || in[1] < lead.low || in[1] > lead.high) return 0;
  for (std::size_t k = 2; k < lead.length; ++k) {
    if (!IsContinuation(in[k])) return 0;
  }
  return lead.length;
}

// Reads UTF-8 as RFC 3629 defines it. A byte that starts no valid sequence
// gives one U+FFFD and the next byte is read afresh, so that a good
// character after a cut-off one survives.
char16_t* DecodeUtf8(std::string_view bytes, char16_t* out,
                     UndecodableBytes* undecodable = nullptr) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  for (std::size_t i = 0; i < size;) {
    if (in[i] < 0x80) {
      const std::size_t end = AsciiEnd(in, i, size);
      for (; i < end; ++i) *out++ = in[i];
      continue;
    }
    const std::size_t length = SequenceLength(in + i, size - i);
    switch (length) {
      case 2:
        *out++ = static_cast<char16_t>((in[i] & 0x1F) << 6 | (in[i + 1] & 0x3F));
        break;
      case 3:
        *out++ = static_cast<char16_t>((in[i] & 0x0F) << 12 | (in[i + 1] & 0x3F) << 6 |
                                       (in[i + 2] & 0x3F));
        break;
      case 4: {
        const char32_t c = static_cast<char32_t>((in[i] & 0x07) << 18 | (in[i + 1] & 0x3F) << 12 |
                                                 (in[i + 2] & 0x3F) << 6 | (in[i + 3] & 0x3F));
        const SurrogatePair pair = SplitIntoSurrogates(c);
        *out++ = pair.high;
        *out++ = pair.low;
        break;
      }
      default:
        if (undecodable != nullptr) undecodable->Add(i);
        *out++ = kReplacementCharacter;
        i += 1;
        continue;
    }
    i += length;
  }
  return out;
}

// Reads UTF-16 in the byte order given. A unit that is a lone surrogate
// gives one U+FFFD for each of its two bytes, and an odd last byte one
// more, so that the units after them keep their place.
std::u16string DecodeUtf16(std::string_view bytes, std::endian order,
                           UndecodableBytes* undecodable = nullptr) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = bytes.size() / 2;
  const auto unitAt = [in, order](std::size_t k) {
    const unsigned first = in[2 * k];
    const unsigned second = in[2 * k + 1];
    return static_cast<char16_t>(order == std::endian::little ? second << 8 | first
                                                              : first << 8 | second);
  };
  // A bad unit gives two units, as many as its bytes: never more than one
  // unit per byte.
  std::u16string text(bytes.size(), u'\0');
  char16_t* out = text.data();
  for (std::size_t k = 0; k < units; ++k) {
    const char16_t unit = unitAt(k);
    if (!IsSurrogate(unit)) {
      *out++ = unit;
    } else if (IsHighSurrogate(unit) && k + 1 < units && IsLowSurrogate(unitAt(k + 1))) {
      *out++ = unit;
      *out++ = unitAt(++k);
    } else {
      if (undecodable != nullptr) {
        undecodable->Add(2 * k);
        undecodable->Add(2 * k + 1);
      }
      *out++ = kReplacementCharacter;
      *out++ = kReplacementCharacter;
    }
  }
  if (bytes.size() % 2 != 0) {
    if (undecodable != nullptr) undecodable->Add(bytes.size() - 1);
    *out++ = kReplacementCharacter;
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}
}  // namespace

std::u16string Decode(std::string_view bytes, Charset charset) {
  return Decode(bytes, charset, 0);
}

std::u16string Decode(std::string_view bytes, Charset charset, std::size_t spareUnits) {
  // Every byte yields at most one UTF-16 unit: a 2-byte character of code
  // page 932 gives one, a 4-byte UTF-8 sequence two, a bad byte one U+FFFD.
  return DecodeCounted(bytes, charset, bytes.size(), spareUnits);
}

std::u16string DecodeCounted(std::string_view bytes, Charset charset, std::size_t units,
                             std::size_t spareUnits) {
  std::u16string text(units + spareUnits, u'\0');
  if (charset == Charset::Cp932) {
    text.resize(static_cast<std::size_t>(DecodeCp932(bytes, text.data()) - text.data()));
    return text;
  }
  text.resize(static_cast<std::size_t>(DecodeUtf8(bytes, text.data()) - text.data()));
  return text;
}

std::optional<std::size_t> StrictUtf8Units(std::string_view bytes) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t units = 0;
  for (std::size_t i = 0; i < size;) {
    if (in[i] < 0x80) {
      const std::size_t end = AsciiEnd(in, i, size);
      units += end - i;
      i = end;
      continue;
    }
    const std::size_t length = SequenceLength(in + i, size - i);
    if (length == 0) return std::nullopt;
    // Four bytes make a surrogate pair.
    units += length == 4 ? 2 : 1;
    i += length;
  }
  return units;
}

std::optional<std::size_t> DecodedUnits(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Cp932) return CountCp932(bytes);
  if (encoding == TextEncoding::Utf8) return StrictUtf8Units(bytes);
  return std::nullopt;
}

std::size_t MaxEncodedBytes(std::size_t units, Charset charset) {
  // A unit takes at most 2 bytes of code page 932 and 3 of UTF-8 (a pair,
  // two units, takes 4).
  return units * (charset == Charset::Cp932 ? 2 : 3);
}

std::size_t EncodeInto(std::u16string_view text, Charset charset, char* out,
                       const UnencodableFn& onUnencodable) {
  char* const end = charset == Charset::Cp932 ? EncodeCp932(text, out, onUnencodable)
                                              : EncodeUtf8(text, out, onUnencodable);
  return static_cast<std::size_t>(end - out);
}

EncodedText Encode(std::u16string_view text, Charset charset) {
  EncodedText result;
  result.bytes.resize(MaxEncodedBytes(text.size(), charset));
  result.bytes.resize(
      EncodeInto(text, charset, result.bytes.data(), [&result](char32_t) { ++result.replaced; }));
  return result;
}

void UnencodableReport::Add(char32_t c, std::size_t keepFirst) {
  ++count;
  if (first.size() < keepFirst && std::find(first.begin(), first.end(), c) == first.end()) {
    first.push_back(c);
  }
}

UnencodableReport FindUnencodable(std::u16string_view text, Charset charset,
                                  std::size_t keepFirst) {
  UnencodableReport report;
  std::string scratch(MaxEncodedBytes(text.size(), charset), '\0');
  EncodeInto(text, charset, scratch.data(),
             [&report, keepFirst](char32_t c) { report.Add(c, keepFirst); });
  return report;
}

std::u16string Decode(std::string_view bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Cp932:
      return Decode(bytes, Charset::Cp932);
    case TextEncoding::Utf8:
      return Decode(bytes, Charset::Utf8);
    case TextEncoding::Utf16Le:
      return DecodeUtf16(bytes, std::endian::little);
    case TextEncoding::Utf16Be:
      return DecodeUtf16(bytes, std::endian::big);
    case TextEncoding::EucJp:
      return DecodeEucJp(bytes);
    case TextEncoding::Iso2022Jp:
      return DecodeIso2022Jp(bytes);
  }
  return {};
}

UndecodableBytes FindUndecodable(std::string_view bytes, TextEncoding encoding) {
  UndecodableBytes undecodable;
  switch (encoding) {
    case TextEncoding::Cp932:
      ReadCp932(
          bytes, [](char16_t /*unit*/) {}, &undecodable);
      break;
    case TextEncoding::Utf8: {
      std::u16string text(bytes.size(), u'\0');
      DecodeUtf8(bytes, text.data(), &undecodable);
      break;
    }
    case TextEncoding::Utf16Le:
      DecodeUtf16(bytes, std::endian::little, &undecodable);
      break;
    case TextEncoding::Utf16Be:
      DecodeUtf16(bytes, std::endian::big, &undecodable);
      break;
    case TextEncoding::EucJp:
      DecodeEucJp(bytes, &undecodable);
      break;
    case TextEncoding::Iso2022Jp:
      DecodeIso2022Jp(bytes, &undecodable);
      break;
  }
  return undecodable;
}

std::uint16_t Cp932DoubleByte(char16_t unit) {
  const std::uint16_t code = kCp932OfBmp[unit];
  return code > 0xFF ? code : 0;
}

std::size_t Cp932ByteLength(char32_t c) {
  if (c < 0x80) return 1;
  if (c > 0xFFFF) return 0;
  const std::uint16_t code = kCp932OfBmp[c];
  return code == 0 ? 0 : code > 0xFF ? 2 : 1;
}

}  // namespace mirotabe
