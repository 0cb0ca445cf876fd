#include "textio/text_file.h"

#include "platform/files.h"

namespace mirotabe {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Code page 932 and UTF-8 never use the bytes CR and LF inside a multi-byte
// character, so line breaks can be unified before decoding.
std::string UnifyLineBreaks(std::string_view bytes) {
  std::string unified;
  unified.reserve(bytes.size() + bytes.size() / 32);
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t brk = bytes.find_first_of("\r\n", i);
    if (brk == std::string_view::npos) {
      unified.append(bytes.substr(i));
      break;
    }
    unified.append(bytes.substr(i, brk - i));
    const bool crLf = bytes[brk] == '\r' && brk + 1 < bytes.size() && bytes[brk + 1] == '\n';
    i = brk + (crLf ? 2 : 1);
    // The break that ends the file ends the last line; it starts no new one.
    if (i < bytes.size()) unified.append("\r\n");
  }
  return unified;
}

}  // namespace

std::u16string DecodeTextFile(std::string_view bytes, Charset charset) {
  if (charset == Charset::Utf8 && bytes.starts_with(kUtf8ByteOrderMark)) {
    bytes.remove_prefix(kUtf8ByteOrderMark.size());
  }
  return Decode(UnifyLineBreaks(bytes), charset);
}

EncodedText EncodeTextFile(std::u16string_view text, Charset charset) {
  return Encode(text, charset);
}

IoResult<std::u16string> ReadTextFile(const std::string& path, Charset charset) {
  IoResult<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return bytes.error();
  return DecodeTextFile(bytes.value(), charset);
}

IoStatus WriteTextFile(const std::string& path, std::u16string_view text, Charset charset) {
  return ReplaceFileAtomically(path, EncodeTextFile(text, charset).bytes);
}

}  // namespace mirotabe
