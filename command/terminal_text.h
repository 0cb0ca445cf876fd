// What the converter's messages say of a name or a value the user gave:
// its text as it stands, but no byte that a terminal would take for a
// command. A file name may hold any byte but '/' and NUL, and a newline or
// an escape sequence in one must not reach the terminal as such.
#pragma once

#include <string>
#include <string_view>

namespace mirotabe {

// `text` with every control character (C0, DEL and the C1 range) and every
// byte that is not part of valid UTF-8 written as an escape: \t, \n and \r,
// and \xNN for the others (byte by byte). Printable UTF-8 stays as it is.
std::string TerminalText(std::string_view text);

}  // namespace mirotabe
