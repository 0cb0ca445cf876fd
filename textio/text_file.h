// Whole text files, carried between disk and the program's text form: one
// UTF-16 string whose lines are separated by CR LF, with no line break
// after the last line.
#pragma once

#include <string>
#include <string_view>

#include "platform/charset.h"
#include "platform/io_error.h"

namespace mirotabe {

// The text of a file's bytes. A line ends at CR LF, at a lone CR or at a
// lone LF, and one line break at the very end is dropped. Invalid bytes
// become U+FFFD. In UTF-8 a leading byte-order mark is skipped; in code
// page 932 there is no such mark and the bytes are decoded as they are.
std::u16string DecodeTextFile(std::string_view bytes, Charset charset = Charset::Cp932);
// The same in any readable encoding; in UTF-16 too, a leading byte-order
// mark is skipped.
std::u16string DecodeTextFile(std::string_view bytes, TextEncoding encoding);

// A file's text in the encoding its bytes are found to be in (see
// encoding_detection.h).
struct DetectedText {
  std::u16string text;
  TextEncoding encoding = TextEncoding::Cp932;
  // The encoding was only a guess and some bytes were bad in it, so the
  // text is likely garbled.
  bool undetermined = false;
};
DetectedText DecodeDetectedTextFile(std::string_view bytes);

// The bytes that store `text`: exactly the text, with no line break added.
// Characters the encoding cannot hold become '?' and are counted.
EncodedText EncodeTextFile(std::u16string_view text, Charset charset = Charset::Cp932);

// Reads the whole file at `path`. A zero-byte file is the empty text.
IoResult<std::u16string> ReadTextFile(const std::string& path, Charset charset = Charset::Cp932);
IoResult<DetectedText> ReadDetectedTextFile(const std::string& path);
// Reads the file at `path` in `encoding`, as a user who knows it asks.
IoResult<std::u16string> ReadTextFile(const std::string& path, TextEncoding encoding);

// Replaces the file at `path` by `text` atomically: a failed write leaves
// the old file whole.
IoStatus WriteTextFile(const std::string& path, std::u16string_view text,
                       Charset charset = Charset::Cp932);

}  // namespace mirotabe
