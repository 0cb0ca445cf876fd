// Whole text files in one call, for tests that need a file's text or need
// one written. The program reads through UndecodedTextFile and writes
// through its streamed writers; these wrap the same calls.
#pragma once

#include <string>
#include <string_view>

#include "platform/files.h"
#include "textio/text_file.h"

namespace mirotabe::testing_support {

inline mirotabe::IoResult<std::u16string> ReadTextFile(
    const std::string& path, mirotabe::Charset charset = mirotabe::Charset::Cp932) {
  mirotabe::IoResult<std::string> bytes = mirotabe::ReadFileBytes(path);
  if (!bytes) return bytes.error();
  return mirotabe::DecodeTextFile(bytes.value(), charset);
}

// As the window opens a file: in the encoding its bytes are found to be in.
inline mirotabe::IoResult<mirotabe::DetectedText> ReadDetectedTextFile(const std::string& path) {
  mirotabe::IoResult<mirotabe::UndecodedTextFile> file =
      mirotabe::UndecodedTextFile::Read(path, std::nullopt);
  if (!file) return file.error();
  return std::move(file.value()).Decode();
}

inline mirotabe::IoStatus WriteTextFile(const std::string& path, std::u16string_view text,
                                        mirotabe::Charset charset = mirotabe::Charset::Cp932) {
  return mirotabe::ReplaceFileAtomically(path, mirotabe::EncodeTextFile(text, charset).bytes);
}

}  // namespace mirotabe::testing_support
