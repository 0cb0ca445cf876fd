// Conversion between the program's UTF-16 text and the byte encodings of
// files: code page 932 (Microsoft's Shift_JIS, glibc's "CP932") and UTF-8,
// which can be read and written, and the encodings that are only read.
//
// Decoding never fails: each byte that does not start a valid sequence
// becomes one U+FFFD, and the bytes after it are decoded afresh.
// Encoding never fails: each character the encoding cannot hold (a lone
// surrogate; in code page 932 also an emoji, é, ...) becomes '?', with no
// best-fit guessing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirotabe {

enum class Charset { Cp932, Utf8 };

std::u16string Decode(std::string_view bytes, Charset charset);

// The same, with room for `spareUnits` more units left in the string, so
// that a caller can grow the text in place.
std::u16string Decode(std::string_view bytes, Charset charset, std::size_t spareUnits);

// Decodes `bytes` into a text with room for `spareUnits` more units, where
// `units` is at least what decoding gives: with the count of DecodedUnits,
// a large text takes no more memory than it needs.
std::u16string DecodeCounted(std::string_view bytes, Charset charset, std::size_t units,
                             std::size_t spareUnits);

// The units of the UTF-8 `bytes`, when they are strictly valid (RFC 3629:
// no overlong form, no surrogate, nothing above U+10FFFF); nothing else.
std::optional<std::size_t> StrictUtf8Units(std::string_view bytes);

struct EncodedText {
  std::string bytes;
  std::size_t replaced = 0;  // characters written as '?'
};
EncodedText Encode(std::u16string_view text, Charset charset);

// What a caller learns of each character that became '?'.
using UnencodableFn = std::function<void(char32_t)>;

// The most bytes that `units` UTF-16 units can take in `charset`.
std::size_t MaxEncodedBytes(std::size_t units, Charset charset);

// Writes the bytes of `text` to `out`, which has room for
// MaxEncodedBytes(text.size(), charset), exactly as Encode() would, and
// returns how many it wrote. A high surrogate that ends `text` is a lone
// one, so a caller that cuts a text into pieces must not cut a pair.
std::size_t EncodeInto(std::u16string_view text, Charset charset, char* out,
                       const UnencodableFn& onUnencodable = {});

// The characters of `text` that `charset` cannot hold, so that a caller can
// warn before they are lost.
struct UnencodableReport {
  std::size_t count = 0;        // occurrences in the text
  std::vector<char32_t> first;  // the first few distinct ones, in order

  // Counts one more occurrence of `c`, keeping it when it is among the
  // first `keepFirst` distinct ones.
  void Add(char32_t c, std::size_t keepFirst);
};
UnencodableReport FindUnencodable(std::u16string_view text, Charset charset,
                                  std::size_t keepFirst = 5);

// Bytes that code point `c` takes in code page 932: 1 or 2, or 0 when code
// page 932 cannot hold it.
std::size_t Cp932ByteLength(char32_t c);

// The two bytes of code page 932 for `unit`, the lead byte high; 0 when it
// takes one byte or none.
std::uint16_t Cp932DoubleByte(char16_t unit);

// Every encoding a text file can be read in. EUC-JP is read as Microsoft's
// variant (eucJP-ms, with the NEC and IBM extensions), which gives seven
// characters the code points that code page 932 gives them, not those of
// JIS: so these seven change in a round trip through EUC-JP written by a
// program that follows JIS:
//   U+00A2 ¢ → U+FFE0 ￠ (A1 F1)      U+2016 ‖ → U+2225 ∥ (A1 C2)
//   U+00A3 £ → U+FFE1 ￡ (A1 F2)      U+2212 − → U+FF0D － (A1 DD)
//   U+00A6 ¦ → U+FFE4 ￤ (8F A2 C3)   U+301C 〜 → U+FF5E ～ (A1 C1)
//   U+00AC ¬ → U+FFE2 ￢ (A2 CC)
// ISO-2022-JP also takes JIS X 0201 katakana (ESC ( I) and JIS X 0213.
enum class TextEncoding { Cp932, Utf8, Utf16Le, Utf16Be, EucJp, Iso2022Jp };

// The encoding that `charset` reads as.
constexpr TextEncoding ToTextEncoding(Charset charset) {
  return charset == Charset::Cp932 ? TextEncoding::Cp932 : TextEncoding::Utf8;
}

// Decodes like Decode(bytes, Charset), a byte-order mark included. In UTF-16
// a bad code unit (a lone surrogate) gives one U+FFFD for each of its two
// bytes, and an odd last byte one more, so that the units after it keep
// their alignment.
std::u16string Decode(std::string_view bytes, TextEncoding encoding);

// The bytes that decoding could not read, each of which became one U+FFFD;
// a U+FFFD that the bytes themselves hold is no such byte.
struct UndecodableBytes {
  std::size_t count = 0;
  std::size_t firstOffset = 0;  // of the first of them in the bytes; 0 when none

  void Add(std::size_t offset) {
    if (count++ == 0) firstOffset = offset;
  }
};

// What Decode(bytes, encoding) could not read. It decodes the bytes again,
// so that reading a file pays for it only when its text holds a U+FFFD.
UndecodableBytes FindUndecodable(std::string_view bytes, TextEncoding encoding);

// The units Decode(bytes, encoding) gives, counted without decoding: in
// code page 932 always, in UTF-8 when the bytes are strictly valid. In
// the other encodings, and in bad UTF-8, only decoding tells: nothing.
std::optional<std::size_t> DecodedUnits(std::string_view bytes, TextEncoding encoding);

}  // namespace mirotabe
