#include "textio/text_file.h"

#include <new>

#include "platform/files.h"
#include "textio/encoding_detection.h"

namespace mirotabe {
namespace {

constexpr std::u16string_view kByteOrderMark = u"\uFEFF";

// Line breaks are unified after decoding, where CR and LF are characters
// of their own in every encoding (in UTF-16 their bytes are not), and in
// the text's own memory.

// How many units unifying adds: one for each lone CR or lone LF.
template <typename Units>
std::size_t AddedByUnifying(const Units& units) {
  std::size_t cr = 0;
  std::size_t lf = 0;
  std::size_t crLf = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    cr += units[i] == '\r';
    lf += units[i] == '\n';
    crLf += units[i] == '\r' && i + 1 < units.size() && units[i + 1] == '\n';
  }
  return cr + lf - 2 * crLf;
}

// Every lone CR and lone LF becomes CR LF, working from the end so that
// nothing is overwritten before it is read; then the break that ends the
// text goes, since it ends the last line and starts no new one.
void UnifyLineBreaks(std::u16string& text) {
  const std::size_t added = AddedByUnifying(text);
  std::size_t from = text.size();
  text.resize(text.size() + added);
  std::size_t to = text.size();
  while (from != to) {
    const char16_t unit = text[--from];
    if (unit == u'\n' || unit == u'\r') {
      if (unit == u'\n' && from != 0 && text[from - 1] == u'\r') --from;
      text[--to] = u'\n';
      text[--to] = u'\r';
    } else {
      text[--to] = unit;
    }
  }
  if (text.ends_with(u"\r\n")) text.resize(text.size() - 2);
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
  // In code page 932 and UTF-8 each CR or LF byte is one unit of the text
  // (no multi-byte character uses those bytes, and a bad byte never
  // swallows one), so the room unifying needs can be left at once.
  std::u16string text;
  if (encoding == TextEncoding::Cp932 || encoding == TextEncoding::Utf8) {
    text = Decode(bytes, encoding == TextEncoding::Cp932 ? Charset::Cp932 : Charset::Utf8,
                  AddedByUnifying(bytes));
  } else {
    text = Decode(bytes, encoding);
  }
  // A mark that Decode read as U+FEFF; a code page 932 file has none.
  if (HasByteOrderMark(encoding) && text.starts_with(kByteOrderMark)) text.erase(0, 1);
  UnifyLineBreaks(text);
  return text;
}

DetectedText DecodeDetectedTextFile(std::string_view bytes) {
  DetectedReading reading = ReadInDetectedEncoding(bytes);
  const bool undetermined = !reading.sure && reading.text.find(u'\uFFFD') != std::u16string::npos;
  UnifyLineBreaks(reading.text);
  return {std::move(reading.text), reading.encoding, undetermined};
}

EncodedText EncodeTextFile(std::u16string_view text, Charset charset) {
  return Encode(text, charset);
}

namespace {

// The text that `decode` makes of the bytes of the file at `path`; a text
// that memory cannot hold is FileError::kTooLarge, not an abort.
template <typename Decode>
auto ReadDecoded(const std::string& path, Decode decode) -> IoResult<decltype(decode({}))> {
  IoResult<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return bytes.error();
  try {
    return decode(bytes.value());
  } catch (const std::bad_alloc&) {
    return IoError{path, MakeErrorCode(FileError::kTooLarge), bytes.value().size()};
  }
}

}  // namespace

IoResult<std::u16string> ReadTextFile(const std::string& path, Charset charset) {
  return ReadDecoded(path,
                     [charset](std::string_view bytes) { return DecodeTextFile(bytes, charset); });
}

IoResult<std::u16string> ReadTextFile(const std::string& path, TextEncoding encoding) {
  IoResult<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return bytes.error();
  return DecodeTextFile(bytes.value(), encoding);
}

IoResult<DetectedText> ReadDetectedTextFile(const std::string& path) {
  return ReadDecoded(path, [](std::string_view bytes) { return DecodeDetectedTextFile(bytes); });
}

IoStatus WriteTextFile(const std::string& path, std::u16string_view text, Charset charset) {
  return ReplaceFileAtomically(path, EncodeTextFile(text, charset).bytes);
}

}  // namespace mirotabe
