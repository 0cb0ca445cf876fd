// Whole text files, carried between disk and the program's text form: one
// UTF-16 string whose lines are separated by CR LF, with no line break
// after the last line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/charset.h"
#include "platform/io_error.h"
#include "textio/encoding_detection.h"

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
  // The bytes that the encoding could not read, each now a U+FFFD; their
  // offsets count from the start of the file, a byte-order mark included.
  UndecodableBytes undecodable{};
};
DetectedText DecodeDetectedTextFile(std::string_view bytes);
// The text of a file's bytes in the encoding given, with the bytes it
// could not read.
DetectedText DecodeTextFileIn(std::string_view bytes, TextEncoding encoding);

// A file's bytes and the encoding to read them in, before they are
// decoded. The length of the text is known first, counted without
// decoding in code page 932 and in valid UTF-8, so that a caller can turn
// down a text too long for it before it takes the memory of the text.
class UndecodedTextFile {
 public:
  // Reads the file at `path`, to be decoded in `encoding`, or else in the
  // one its bytes are found to be in.
  static IoResult<UndecodedTextFile> Read(const std::string& path,
                                          std::optional<TextEncoding> encoding);

  // The units of the text that Decode gives.
  std::size_t TextLength() const { return plan_.length; }

  // The text in the encoding found or given; the bytes are let go.
  IoResult<DetectedText> Decode() &&;

  // How the bytes become the text: the encoding, and the units of the
  // text and those unifying the line breaks adds to the decoded units.
  struct Plan {
    DetectedEncoding encoding;
    std::size_t addedUnits = 0;
    std::size_t length = 0;
  };

 private:
  UndecodedTextFile(std::string path, std::string bytes, Plan plan)
      : path_(std::move(path)), bytes_(std::move(bytes)), plan_(std::move(plan)) {}

  std::string path_;
  std::string bytes_;
  Plan plan_;
};

// The bytes that store `text`: exactly the text, with no line break added.
// Characters the encoding cannot hold become '?' and are counted.
EncodedText EncodeTextFile(std::u16string_view text, Charset charset = Charset::Cp932);

}  // namespace mirotabe
