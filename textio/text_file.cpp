#include "textio/text_file.h"

#include "platform/files.h"
#include "textio/encoding_detection.h"

namespace mirotabe {
namespace {

constexpr std::u16string_view kByteOrderMark = u"\uFEFF";

// Line breaks are unified after decoding, where CR and LF are characters
// of their own in every encoding (in UTF-16 their bytes are not).
std::u16string UnifyLineBreaks(std::u16string_view text) {
  std::u16string unified;
  unified.reserve(text.size() + text.size() / 32);
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t brk = text.find_first_of(u"\r\n", i);
    if (brk == std::u16string_view::npos) {
      unified.append(text.substr(i));
      break;
    }
    unified.append(text.substr(i, brk - i));
    const bool crLf = text[brk] == u'\r' && brk + 1 < text.size() && text[brk + 1] == u'\n';
    i = brk + (crLf ? 2 : 1);
    // The break that ends the file ends the last line; it starts no new one.
    if (i < text.size()) unified.append(u"\r\n");
  }
  return unified;
}

bool HasByteOrderMark(TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf16Le ||
         encoding == TextEncoding::Utf16Be;
}

}  // namespace

std::u16string DecodeTextFile(std::string_view bytes, Charset charset) {
  return DecodeTextFile(bytes, ToTextEncoding(charset));
}

std::u16string DecodeTextFile(std::string_view bytes, TextEncoding encoding) {
  std::u16string text = Decode(bytes, encoding);
  // A mark that Decode read as U+FEFF; a code page 932 file has none.
  std::u16string_view body = text;
  if (HasByteOrderMark(encoding) && body.starts_with(kByteOrderMark)) body.remove_prefix(1);
  return UnifyLineBreaks(body);
}

DetectedText DecodeDetectedTextFile(std::string_view bytes) {
  DetectedReading reading = ReadInDetectedEncoding(bytes);
  const bool undetermined = !reading.sure && reading.text.find(u'\uFFFD') != std::u16string::npos;
  return {UnifyLineBreaks(reading.text), reading.encoding, undetermined};
}

EncodedText EncodeTextFile(std::u16string_view text, Charset charset) {
  return Encode(text, charset);
}

IoResult<std::u16string> ReadTextFile(const std::string& path, Charset charset) {
  IoResult<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return bytes.error();
  return DecodeTextFile(bytes.value(), charset);
}

IoResult<DetectedText> ReadDetectedTextFile(const std::string& path) {
  IoResult<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return bytes.error();
  return DecodeDetectedTextFile(bytes.value());
}

IoStatus WriteTextFile(const std::string& path, std::u16string_view text, Charset charset) {
  return ReplaceFileAtomically(path, EncodeTextFile(text, charset).bytes);
}

}  // namespace mirotabe
