// Any text in printable ASCII, for the settings keys that keep what code
// page 932 cannot hold: every UTF-16 unit outside U+0020..U+007E becomes
// \uXXXX (four hexadecimal digits), and a backslash becomes "\\". So "、︒"
// is written "\u3001\uFE12", and a surrogate pair as its two units.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mirotabe {

std::u16string EscapeToAscii(std::u16string_view text);

// The text that EscapeToAscii wrote; none when `ascii` is not such a text
// (a lone backslash, too few hexadecimal digits, a character outside
// printable ASCII), as a hand edit can leave it.
std::optional<std::u16string> UnescapeAscii(std::u16string_view ascii);

}  // namespace mirotabe
