#include <algorithm>
#include <array>

#include "platform/charset.h"
#include "textio/charset_guess.h"

namespace mirotabe {
namespace {

constexpr char kEscape = '\x1B';

// The escape sequences that designate a JIS set in ISO-2022-JP and its
// extensions: JIS X 0208 (ESC $ @, ESC $ B), JIS X 0201 Roman and
// katakana (ESC ( J, ESC ( I), JIS X 0213 (ESC $ ( O, Q, P).
bool DesignatesJisSet(std::string_view bytes) {
  static constexpr std::array<std::string_view, 7> kDesignations = {
      "\x1B$@", "\x1B$B", "\x1B(J", "\x1B(I", "\x1B$(O", "\x1B$(Q", "\x1B$(P"};
  for (std::size_t at = bytes.find(kEscape); at != std::string_view::npos;
       at = bytes.find(kEscape, at + 1)) {
    const std::string_view rest = bytes.substr(at);
    if (std::any_of(
            kDesignations.begin(), kDesignations.end(),
            [rest](std::string_view designation) { return rest.starts_with(designation); })) {
      return true;
    }
  }
  return false;
}

bool ReadsCleanly(std::string_view bytes, TextEncoding encoding) {
  return Decode(bytes, encoding).find(u'\uFFFD') == std::u16string::npos;
}

}  // namespace

std::string GuessCharsetByRules(std::string_view bytes, std::size_t firstInteresting) {
  const std::string_view rest = bytes.substr(firstInteresting);
  const bool nonAscii = std::any_of(rest.begin(), rest.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (!nonAscii) return DesignatesJisSet(rest) ? "ISO-2022-JP" : "";
  if (StrictUtf8Units(bytes)) return "UTF-8";
  if (ReadsCleanly(bytes, TextEncoding::Cp932)) return "SHIFT_JIS";
  if (ReadsCleanly(bytes, TextEncoding::EucJp)) return "EUC-JP";
  return "";
}

#if defined(__EMSCRIPTEN__)
std::string GuessCharset(std::string_view bytes, std::size_t firstInteresting) {
  return GuessCharsetByRules(bytes, firstInteresting);
}
#endif

}  // namespace mirotabe
