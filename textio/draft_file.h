// The form in which the window keeps an unsaved input text for the next
// start: the text exactly as it stands (UTF-16, so that every unit
// survives), with the name of the file it came from and the encoding it
// was read in. A header of text lines, then the units:
//   "Mirotabe draft 1\n"
//   "path <bytes>\n" the path's bytes "\n"
//   "encoding <name>\n" ("-" for none)
//   "text <units>\n" the units, little-endian
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe {

struct Draft {
  std::u16string text;
  std::string path;  // the system's bytes; "" for none
  std::optional<TextEncoding> encoding;

  friend bool operator==(const Draft&, const Draft&) = default;
};

std::string DraftBytes(const Draft& draft);

// The draft `bytes` hold; none when they are not one whole draft (a file
// cut short, another file).
std::optional<Draft> ParseDraft(std::string_view bytes);

}  // namespace mirotabe
