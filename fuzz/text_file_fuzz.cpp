// The text-file reader on any bytes, in every encoding it reads and with the
// encoding found by itself: lines are separated by CR LF only, and
// the text read, saved and read again is the same text, but for what the
// file's rules change (a line break at the very end, U+FFFD in code page
// 932, a leading U+FEFF in UTF-8).
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "textio/text_file.h"

using namespace mirotabe;

namespace {

// Lines are separated by CR LF only: no lone CR or LF is left.
void CheckLineBreaks(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == u'\n');
    if (text[i] == u'\n') FUZZ_CHECK(i > 0 && text[i - 1] == u'\r');
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const auto pick = data.ConsumeIntegralInRange<int>(0, 7);
  if (pick >= 2) {
    // The other encodings a file can be read in, and the reading that finds
    // the encoding itself.
    const std::string input = data.ConsumeRemainingBytesAsString();
    if (pick == 7) {
      CheckLineBreaks(DecodeDetectedTextFile(input).text);
    } else {
      constexpr TextEncoding kOthers[] = {TextEncoding::Utf16Le, TextEncoding::Utf16Be,
                                          TextEncoding::EucJp, TextEncoding::Iso2022Jp,
                                          TextEncoding::Cp932};
      CheckLineBreaks(DecodeTextFile(input, kOthers[pick - 2]));
    }
    return 0;
  }
  const Charset charset = pick == 0 ? Charset::Cp932 : Charset::Utf8;
  const std::string input = data.ConsumeRemainingBytesAsString();
  const std::u16string text = DecodeTextFile(input, charset);
  CheckLineBreaks(text);

  std::u16string expected = text;
  if (charset == Charset::Cp932) std::replace(expected.begin(), expected.end(), u'\uFFFD', u'?');
  if (expected.ends_with(u"\r\n")) expected.resize(expected.size() - 2);
  if (charset == Charset::Utf8 && expected.starts_with(u"\uFEFF")) expected.erase(0, 1);
  FUZZ_CHECK(DecodeTextFile(EncodeTextFile(text, charset).bytes, charset) == expected);
  return 0;
}
