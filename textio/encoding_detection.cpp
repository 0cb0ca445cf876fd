#include "textio/encoding_detection.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "platform/cp932.h"
#include "textio/charset_guess.h"

namespace mirotabe {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeByteOrderMark = "\xFE\xFF";
constexpr std::array kByteOrderMarks = {std::pair{kUtf8ByteOrderMark, TextEncoding::Utf8},
                                        std::pair{kUtf16LeByteOrderMark, TextEncoding::Utf16Le},
                                        std::pair{kUtf16BeByteOrderMark, TextEncoding::Utf16Be}};
constexpr unsigned char kEscape = 0x1B;
constexpr char16_t kReplacementCharacter = 0xFFFD;

bool IsInteresting(unsigned char b) {
  return b >= 0x80 || b == kEscape;
}

// CJK unified ideographs, extension A included, and the compatibility
// ideographs.
bool IsIdeograph(char16_t unit) {
  return (unit >= 0x3400 && unit <= 0x4DBF) || (unit >= 0x4E00 && unit <= 0x9FFF) ||
         (unit >= 0xF900 && unit <= 0xFAFF);
}

bool HasReplacement(const std::u16string& text) {
  return text.find(kReplacementCharacter) != std::u16string::npos;
}

// The blocks that ordinary Japanese text is written in: ASCII and Latin-1,
// general punctuation, CJK symbols and kana, CJK ideographs (and the
// compatibility ideographs of code page 932's extensions), the half- and
// full-width forms; and the blocks of the other symbols of JIS X 0208 and
// code page 932: Greek and Cyrillic letters, arrows (→), mathematical and
// technical signs, ①, box drawing, ■ and ★, ㈱ and ㌔.
bool InJapaneseBlocks(char16_t unit) {
  struct Block {
    char16_t first;
    char16_t last;
  };
  static constexpr std::array<Block, 10> kBlocks = {{{0x0000, 0x00FF},
                                                     {0x0391, 0x0451},
                                                     {0x2000, 0x206F},
                                                     {0x2190, 0x23FF},
                                                     {0x2460, 0x26FF},
                                                     {0x3000, 0x30FF},
                                                     {0x3200, 0x33FF},
                                                     {0x4E00, 0x9FFF},
                                                     {0xF900, 0xFAFF},
                                                     {0xFF00, 0xFFEF}}};
  return std::any_of(kBlocks.begin(), kBlocks.end(), [unit](const Block& block) {
    return unit >= block.first && unit <= block.last;
  });
}

// What the characters of a reading say about it.
struct ReadingTraits {
  // Every character lies in the Japanese blocks and code page 932 holds
  // it, as in text written for a Japanese code page.
  bool ordinary = true;
  std::size_t aboveU07FF = 0;    // characters of three UTF-8 bytes
  std::size_t kanaOrSymbol = 0;  // characters from U+3000..U+30FF
  std::size_t rareKanji = 0;     // second-level kanji and those of the extensions
};

// Where code page 932 leaves the symbols, kana and first-level kanji of
// JIS X 0208, the characters of everyday text.
constexpr unsigned kFirstRareCode = 0x989F;

unsigned Cp932Code(char16_t unit) {
  char bytes[2];
  const std::size_t length = EncodeInto(std::u16string_view(&unit, 1), Charset::Cp932, bytes);
  const auto first = static_cast<unsigned char>(bytes[0]);
  return length == 2 ? (first << 8U) | static_cast<unsigned char>(bytes[1]) : first;
}

ReadingTraits TraitsOf(std::u16string_view text) {
  ReadingTraits traits;
  for (const char16_t unit : text) {
    if (unit < 0x80) continue;
    // A surrogate, too, is half of a character beyond the blocks.
    if (!InJapaneseBlocks(unit) || Cp932ByteLength(unit) == 0) {
      traits.ordinary = false;
      return traits;
    }
    traits.aboveU07FF += unit > 0x7FF ? 1 : 0;
    traits.kanaOrSymbol += unit >= 0x3000 && unit <= 0x30FF ? 1 : 0;
    traits.rareKanji += unit >= 0x4E00 && Cp932Code(unit) >= kFirstRareCode ? 1 : 0;
  }
  return traits;
}

// The ranges of ordinary Japanese text: ASCII and Latin-1, general
// punctuation, CJK symbols and kana, CJK ideographs, the half- and
// full-width forms.
bool InOrdinaryJapanese(char16_t unit) {
  return unit <= 0x00FF || (unit >= 0x2000 && unit <= 0x206F) ||
         (unit >= 0x3000 && unit <= 0x30FF) || IsIdeograph(unit) ||
         (unit >= 0xFF00 && unit <= 0xFFEF);
}

// Whether the UTF-8 reading of bytes that code page 932 reads cleanly too
// is the right one: it is, unless it holds a character outside ordinary
// Japanese text. Only a reading too short to say anything gives way: one
// kanji outside the first level, or Latin-1 letters alone, are what a
// second-level kanji and a half-width katakana (陟｡ as 蠡), or two
// half-width katakana (ﾃｽ as ý), of code page 932 make far more often
// than a UTF-8 file holds them alone.
bool Utf8OutweighsCp932(std::u16string_view utf8Text) {
  std::size_t aboveU07FF = 0;
  bool everyday = false;
  for (const char16_t unit : utf8Text) {
    if (unit < 0x80) continue;
    if (!InOrdinaryJapanese(unit)) return false;
    if (unit <= 0x7FF) continue;
    ++aboveU07FF;
    everyday = everyday || !IsIdeograph(unit) ||
               (Cp932ByteLength(unit) == 2 && Cp932Code(unit) < kFirstRareCode);
  }
  return aboveU07FF >= 2 || everyday;
}

// One character in this many, at least, is kana or ideographic punctuation
// in a Japanese sentence.
constexpr std::size_t kKanaShare = 5;

// The same for an EUC-JP reading, which half-width katakana of code page
// 932 make whenever they pair up: there it must read as everyday Japanese,
// with no rare kanji and a fair share of kana, where half-width pairs give
// mostly kanji of both levels.
bool EucJpOutweighsCp932(const std::u16string& eucJpText) {
  if (HasReplacement(eucJpText)) return false;
  const ReadingTraits traits = TraitsOf(eucJpText);
  return traits.ordinary && traits.rareKanji == 0 && traits.kanaOrSymbol != 0 &&
         traits.kanaOrSymbol * kKanaShare >= traits.aboveU07FF;
}

bool IsPrivateUse(char16_t unit) {
  return unit >= 0xE000 && unit <= 0xF8FF;
}

// Whether the bytes can be code page 932 at all: every byte is a character
// or a lead byte followed by a trail byte. Most UTF-8 and EUC-JP texts fail
// this within their first lines, before anything is decoded.
bool HasCp932Structure(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b == 0x80 || b == 0xA0 || b >= 0xFD) return false;
    if (!IsCp932LeadByte(b)) continue;
    if (++i == bytes.size() || !IsCp932TrailByte(static_cast<unsigned char>(bytes[i]))) {
      return false;
    }
  }
  return true;
}

// The code page 932 reading of `bytes` if it is clean: no bad byte, and no
// character of the user-defined area, which bytes in another encoding
// reach far more often than a file that uses it.
std::optional<std::u16string> CleanCp932Reading(std::string_view bytes) {
  if (!HasCp932Structure(bytes)) return std::nullopt;
  std::u16string text = Decode(bytes, TextEncoding::Cp932);
  if (std::any_of(text.begin(), text.end(), [](char16_t unit) {
        return unit == kReplacementCharacter || IsPrivateUse(unit);
      })) {
    return std::nullopt;
  }
  return text;
}

std::optional<TextEncoding> JapaneseEncodingNamed(const std::string& name) {
  if (name == "SHIFT_JIS") return TextEncoding::Cp932;
  if (name == "EUC-JP") return TextEncoding::EucJp;
  if (name == "ISO-2022-JP") return TextEncoding::Iso2022Jp;
  return std::nullopt;
}

}  // namespace

DetectedEncoding DetectEncoding(std::string_view bytes) {
  for (const auto& [mark, encoding] : kByteOrderMarks) {
    if (bytes.starts_with(mark)) return {encoding, true, mark.size()};
  }

  const std::string_view::const_iterator interesting =
      std::find_if(bytes.begin(), bytes.end(),
                   [](char c) { return IsInteresting(static_cast<unsigned char>(c)); });
  if (interesting == bytes.end()) return {.units = bytes.size()};
  const auto firstInteresting = static_cast<std::size_t>(interesting - bytes.begin());
  const bool nonAscii = std::any_of(interesting, bytes.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });

  std::optional<std::string> guess;
  const auto uchardet = [&]() -> const std::string& {
    if (!guess) guess = GuessCharset(bytes, firstInteresting);
    return *guess;
  };

  const std::optional<std::size_t> utf8Units =
      nonAscii ? StrictUtf8Units(bytes) : std::optional<std::size_t>();
  if (utf8Units) {
    // Most UTF-8 texts are no code page 932 within their first lines, and
    // are left to the caller to decode.
    std::optional<std::u16string> cp932 = CleanCp932Reading(bytes);
    if (!cp932) return {.encoding = TextEncoding::Utf8, .units = utf8Units};
    std::u16string utf8 = Decode(bytes, TextEncoding::Utf8);
    if (Utf8OutweighsCp932(utf8)) {
      return {.encoding = TextEncoding::Utf8, .text = std::move(utf8)};
    }
    return {.encoding = TextEncoding::Cp932, .text = std::move(cp932)};
  }

  if (const std::optional<TextEncoding> named = JapaneseEncodingNamed(uchardet())) {
    if (*named == TextEncoding::Cp932) return {};
    std::u16string reading = Decode(bytes, *named);
    const bool doubtful =
        *named == TextEncoding::EucJp ? !EucJpOutweighsCp932(reading) : HasReplacement(reading);
    if (doubtful) {
      if (std::optional<std::u16string> cp932 = CleanCp932Reading(bytes)) {
        return {.encoding = TextEncoding::Cp932, .text = std::move(cp932)};
      }
    }
    return {.encoding = *named, .text = std::move(reading)};
  }
  return {.encoding = TextEncoding::Cp932, .sure = false};
}

std::size_t ByteOrderMarkBytes(std::string_view bytes, TextEncoding encoding) {
  for (const auto& [mark, markedEncoding] : kByteOrderMarks) {
    if (markedEncoding == encoding && bytes.starts_with(mark)) return mark.size();
  }
  return 0;
}

}  // namespace mirotabe
