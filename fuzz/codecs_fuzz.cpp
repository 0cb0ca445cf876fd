// The code page 932 and UTF-8 codecs: decoding any bytes and encoding any
// UTF-16 text never fail, and decode∘encode is stable.
#include <algorithm>

#include "core/code_points.h"
#include "fuzz/fuzz_support.h"
#include "platform/charset.h"
#include "platform/cp932_pairs.h"

using namespace mirotabe;

namespace {

// The text after one trip through `charset`: what it cannot hold becomes
// '?', and in code page 932 a one-way pair reads back as its stored form.
std::u16string AfterTrip(std::u16string_view text, Charset charset, std::size_t& unencodable) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    const CodePoint c = CodePointAt(text, i);
    const bool lone = c.units == 1 && (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]));
    const bool held = !lone && (charset == Charset::Utf8 || Cp932ByteLength(c.value) != 0);
    if (!held) {
      out += u'?';
      ++unencodable;
    } else if (charset == Charset::Cp932 && c.units == 1) {
      out += Cp932ReadBack(text[i]);
    } else {
      out += text.substr(i, c.units);
    }
    i += c.units;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const Charset charset = data.ConsumeBool() ? Charset::Cp932 : Charset::Utf8;
  if (data.ConsumeBool()) {
    // Bytes first: the decoded text encodes and decodes to itself, but for
    // the U+FFFD of bad bytes, which code page 932 cannot hold.
    const std::string input = data.ConsumeRemainingBytesAsString();
    const std::u16string text = Decode(input, charset);
    FUZZ_CHECK(text.size() <= input.size());
    const EncodedText encoded = Encode(text, charset);
    std::u16string expected = text;
    if (charset == Charset::Cp932) std::replace(expected.begin(), expected.end(), u'\uFFFD', u'?');
    FUZZ_CHECK(Decode(encoded.bytes, charset) == expected);
    FUZZ_CHECK(Encode(expected, charset).bytes == encoded.bytes);
    return 0;
  }
  // Text first, any units at all.
  const std::u16string text = fuzzing::DrawText(data, 4096);
  const EncodedText encoded = Encode(text, charset);
  std::size_t unencodable = 0;
  const std::u16string expected = AfterTrip(text, charset, unencodable);
  FUZZ_CHECK(encoded.replaced == unencodable);
  FUZZ_CHECK(FindUnencodable(text, charset).count == unencodable);
  FUZZ_CHECK(Decode(encoded.bytes, charset) == expected);
  FUZZ_CHECK(Encode(expected, charset).bytes == encoded.bytes);
  return 0;
}
