#include "platform/charset.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <stdexcept>

namespace mirotabe {
namespace {

// The UTF-16LE side of iconv is read and written in place as char16_t.
static_assert(std::endian::native == std::endian::little);

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr char kUnencodableMark = '?';

bool IsHighSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// One direction of conversion. Opening a descriptor costs far more than
// converting a short text, so each thread opens each direction once.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

  // Writes out whatever a stateful conversion still holds at the end of
  // the input.
  void Finish(char** out, std::size_t* outLeft) {
    if (iconv(cd_, nullptr, nullptr, out, outLeft) == static_cast<std::size_t>(-1)) {
      throw std::logic_error("iconv could not finish a conversion");
    }
  }

  // Converts [*in, *in + *inLeft) into [*out, *out + *outLeft), advancing
  // both. Returns 0 when all of the input was converted, else the errno of
  // the sequence at *in: EILSEQ (invalid) or EINVAL (cut off at the end).
  int Convert(const char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
    // iconv never writes through its input pointer; it only lacks the const.
    char* input = const_cast<char*>(*in);
    const std::size_t result = iconv(cd_, &input, inLeft, out, outLeft);
    *in = input;
    if (result != static_cast<std::size_t>(-1)) return 0;
    const int error = errno;
    if (error != EILSEQ && error != EINVAL) {
      // The output buffers are sized for the worst case, so E2BIG is a bug.
      throw std::logic_error("iconv failed with an unexpected error");
    }
    return error;
  }

 private:
  iconv_t cd_;
};

Converter& Decoder(Charset charset) {
  if (charset == Charset::Cp932) {
    thread_local Converter cp932("UTF-16LE", "CP932");
    return cp932;
  }
  thread_local Converter utf8("UTF-16LE", "UTF-8");
  return utf8;
}

Converter& Encoder(Charset charset) {
  if (charset == Charset::Cp932) {
    thread_local Converter cp932("CP932", "UTF-16LE");
    return cp932;
  }
  thread_local Converter utf8("UTF-8", "UTF-16LE");
  return utf8;
}

// glibc's code page 932 drops the tag characters U+E0000..U+E007F without a
// word instead of refusing them, so they are caught before iconv sees them.
bool IsTagCharacter(std::u16string_view text, std::size_t pos) {
  return text[pos] == 0xDB40 && pos + 1 < text.size() && text[pos + 1] >= 0xDC00 &&
         text[pos + 1] <= 0xDC7F;
}

bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The end of the stretch of non-ASCII characters that starts at `pos`. In
// code page 932 a trail byte may look like ASCII, so the byte after a lead
// byte always belongs to the stretch: a stretch never ends inside a
// character, and iconv sees the same characters it would see in the whole.
std::size_t NonAsciiEnd(std::string_view bytes, std::size_t pos, Charset charset) {
  while (pos < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (b < 0x80) break;
    pos += (charset == Charset::Cp932 && IsCp932LeadByte(b)) ? 2 : 1;
  }
  return std::min(pos, bytes.size());
}

// Encodes `text`, writing '?' for each character `charset` cannot hold and
// passing that character to `onUnencodable`.
template <typename OnUnencodable>
std::string EncodeWith(std::u16string_view text, Charset charset, OnUnencodable onUnencodable) {
  // A UTF-16 unit takes at most 2 bytes of code page 932 and 3 of UTF-8.
  std::string bytes(text.size() * (charset == Charset::Cp932 ? 2 : 3), '\0');
  char* out = bytes.data();
  Converter& converter = Encoder(charset);
  converter.Reset();
  // glibc reads ahead into a buffer of its own and, on a character the
  // encoding cannot hold, converts all it read ahead once more. So each such
  // character shrinks the next read to a few units, and clean reads double
  // it again: a text full of emoji costs no full buffer per emoji.
  constexpr std::size_t kShortRead = 16;
  constexpr std::size_t kLongRead = 16384;
  std::size_t read = kLongRead;
  std::size_t pos = 0;
  std::size_t end = 0;  // of the stretch of non-ASCII units being converted
  while (pos < text.size()) {
    if (pos == end) {
      // ASCII is the same in both encodings, and iconv costs far more per unit.
      while (pos < text.size() && text[pos] < 0x80) *out++ = static_cast<char>(text[pos++]);
      if (pos == text.size()) break;
      if (charset == Charset::Cp932 && IsTagCharacter(text, pos)) {
        onUnencodable(0xE0000 + (text[pos + 1] - 0xDC00));
        *out++ = kUnencodableMark;
        pos += 2;
        end = pos;
        continue;
      }
      end = pos;
      while (end < text.size() && text[end] >= 0x80 &&
             !(charset == Charset::Cp932 && IsTagCharacter(text, end))) {
        ++end;
      }
    }
    std::size_t stop = std::min(end, pos + read);
    if (stop < end && IsHighSurrogate(text[stop - 1])) ++stop;  // never split a pair
    const char* in = reinterpret_cast<const char*>(text.data() + pos);
    std::size_t inLeft = (stop - pos) * sizeof(char16_t);
    std::size_t outLeft = static_cast<std::size_t>(bytes.data() + bytes.size() - out);
    const int error = converter.Convert(&in, &inLeft, &out, &outLeft);
    pos = static_cast<std::size_t>(reinterpret_cast<const char16_t*>(in) - text.data());
    if (error == 0) {
      read = std::min(read * 2, kLongRead);
      continue;
    }
    read = kShortRead;

    // A surrogate pair the encoding cannot hold is one character; any other
    // surrogate at the error stands alone (EINVAL: a high one at the end).
    char32_t c = text[pos];
    std::size_t units = 1;
    if (IsHighSurrogate(c) && pos + 1 < end && IsLowSurrogate(text[pos + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[pos + 1] - 0xDC00);
      units = 2;
    }
    onUnencodable(c);
    *out++ = kUnencodableMark;
    pos += units;
  }
  bytes.resize(static_cast<std::size_t>(out - bytes.data()));
  return bytes;
}

// Decodes all of `bytes` with no shortcut for ASCII, for the encodings
// where a byte below 0x80 may be part of a character (UTF-16) or where the
// meaning of bytes depends on earlier escapes (ISO-2022-JP). A bad sequence
// loses `unitBytes` bytes (fewer at the end), each giving one U+FFFD.
std::u16string DecodeWhole(std::string_view bytes, Converter& converter, std::size_t unitBytes) {
  // No encoding here takes fewer than one byte per UTF-16 unit, and a bad
  // byte gives one unit; the rest is room for what Finish may write.
  constexpr std::size_t kFinishRoom = 8;
  std::u16string text(bytes.size() + kFinishRoom, u'\0');
  char* out = reinterpret_cast<char*>(text.data());
  std::size_t outLeft = text.size() * sizeof(char16_t);
  converter.Reset();
  const char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  while (inLeft != 0) {
    if (converter.Convert(&in, &inLeft, &out, &outLeft) == 0) break;
    const std::size_t dropped = std::min(unitBytes, inLeft);
    for (std::size_t i = 0; i < dropped; ++i) {
      *reinterpret_cast<char16_t*>(out) = kReplacementCharacter;
      out += sizeof(char16_t);
      outLeft -= sizeof(char16_t);
    }
    in += dropped;
    inLeft -= dropped;
  }
  converter.Finish(&out, &outLeft);
  text.resize(static_cast<std::size_t>(reinterpret_cast<char16_t*>(out) - text.data()));
  return text;
}

}  // namespace

std::u16string Decode(std::string_view bytes, Charset charset) {
  // Every byte yields at most one UTF-16 unit: a 2-byte character of code
  // page 932 gives one, a 4-byte UTF-8 sequence two, a bad byte one U+FFFD.
  std::u16string text(bytes.size(), u'\0');
  char16_t* out = text.data();
  Converter& converter = Decoder(charset);
  converter.Reset();
  std::size_t pos = 0;
  std::size_t end = 0;  // of the stretch of non-ASCII characters being converted
  while (pos < bytes.size()) {
    if (pos == end) {
      while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) < 0x80) {
        *out++ = static_cast<char16_t>(bytes[pos++]);
      }
      if (pos == bytes.size()) break;
      end = NonAsciiEnd(bytes, pos, charset);
    }
    const char* in = bytes.data() + pos;
    std::size_t inLeft = end - pos;
    char* outBytes = reinterpret_cast<char*>(out);
    std::size_t outLeft =
        static_cast<std::size_t>(text.data() + text.size() - out) * sizeof(char16_t);
    const int error = converter.Convert(&in, &inLeft, &outBytes, &outLeft);
    out = reinterpret_cast<char16_t*>(outBytes);
    pos = static_cast<std::size_t>(in - bytes.data());
    if (error == 0) continue;

    if (error == EINVAL && end < bytes.size()) {
      // After a bad byte the characters line up anew, and the stretch may
      // now end in a lead byte whose trail byte lies beyond it.
      const std::size_t longer = NonAsciiEnd(bytes, pos, charset);
      if (longer > end) {
        end = longer;
        continue;
      }
    }
    // Only the first byte of a bad sequence is dropped, so that a good
    // character after a bad lead byte survives.
    *out++ = kReplacementCharacter;
    ++pos;
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

EncodedText Encode(std::u16string_view text, Charset charset) {
  EncodedText result;
  result.bytes = EncodeWith(text, charset, [&result](char32_t) { ++result.replaced; });
  return result;
}

UnencodableReport FindUnencodable(std::u16string_view text, Charset charset,
                                  std::size_t keepFirst) {
  UnencodableReport report;
  EncodeWith(text, charset, [&report, keepFirst](char32_t c) {
    ++report.count;
    std::vector<char32_t>& first = report.first;
    if (first.size() < keepFirst && std::find(first.begin(), first.end(), c) == first.end()) {
      first.push_back(c);
    }
  });
  return report;
}

std::u16string Decode(std::string_view bytes, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Cp932:
      return Decode(bytes, Charset::Cp932);
    case TextEncoding::Utf8:
      return Decode(bytes, Charset::Utf8);
    case TextEncoding::Utf16Le: {
      thread_local Converter utf16le("UTF-16LE", "UTF-16LE");
      return DecodeWhole(bytes, utf16le, 2);
    }
    case TextEncoding::Utf16Be: {
      thread_local Converter utf16be("UTF-16LE", "UTF-16BE");
      return DecodeWhole(bytes, utf16be, 2);
    }
    case TextEncoding::EucJp: {
      thread_local Converter eucJp("UTF-16LE", "EUC-JP-MS");
      return DecodeWhole(bytes, eucJp, 1);
    }
    case TextEncoding::Iso2022Jp: {
      thread_local Converter iso2022Jp("UTF-16LE", "ISO-2022-JP-3");
      return DecodeWhole(bytes, iso2022Jp, 1);
    }
  }
  return {};
}

std::size_t Cp932ByteLength(char32_t c) {
  if (c < 0x80) return 1;
  if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) return 0;
  char16_t units[2];
  std::size_t unitCount = 1;
  if (c < 0x10000) {
    units[0] = static_cast<char16_t>(c);
  } else {
    units[0] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    unitCount = 2;
  }
  Converter& converter = Encoder(Charset::Cp932);
  converter.Reset();
  const char* in = reinterpret_cast<const char*>(units);
  std::size_t inLeft = unitCount * sizeof(char16_t);
  char bytes[4];
  char* out = bytes;
  std::size_t outLeft = sizeof bytes;
  if (converter.Convert(&in, &inLeft, &out, &outLeft) != 0) return 0;
  return static_cast<std::size_t>(out - bytes);
}

}  // namespace mirotabe
