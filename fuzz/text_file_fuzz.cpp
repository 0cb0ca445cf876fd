// The text-file reader on any bytes: lines are separated by CR LF only, and
// the text read, saved and read again is the same text, but for what the
// file's rules change (a line break at the very end, U+FFFD in code page
// 932, a leading U+FEFF in UTF-8).
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "textio/text_file.h"

using namespace mirotabe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const Charset charset = data.ConsumeBool() ? Charset::Cp932 : Charset::Utf8;
  const std::string input = data.ConsumeRemainingBytesAsString();
  const std::u16string text = DecodeTextFile(input, charset);

  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == u'\n');
    if (text[i] == u'\n') FUZZ_CHECK(i > 0 && text[i - 1] == u'\r');
  }

  std::u16string expected = text;
  if (charset == Charset::Cp932) std::replace(expected.begin(), expected.end(), u'\uFFFD', u'?');
  if (expected.ends_with(u"\r\n")) expected.resize(expected.size() - 2);
  if (charset == Charset::Utf8 && expected.starts_with(u"\uFEFF")) expected.erase(0, 1);
  FUZZ_CHECK(DecodeTextFile(EncodeTextFile(text, charset).bytes, charset) == expected);
  return 0;
}
