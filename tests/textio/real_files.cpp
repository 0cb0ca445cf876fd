#include "tests/textio/real_files.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <map>
#include <stdexcept>

#include "platform/jis_tables.h"
#include "textio/text_file.h"

namespace mirotabe::testing_support {
namespace {

using namespace std::literals;

constexpr unsigned kFirstJis = 0x21;
constexpr unsigned kJisRow = 94;

std::string ReadGzip(const char* path) {
  gzFile file = gzopen(path, "rb");
  if (file == nullptr) throw std::runtime_error(std::string("cannot open ") + path);
  std::string bytes;
  std::array<char, 1 << 16> buffer{};
  for (int got = 0; (got = gzread(file, buffer.data(), buffer.size())) > 0;) {
    bytes.append(buffer.data(), static_cast<std::size_t>(got));
  }
  gzclose(file);
  return bytes;
}

// The lines of the reference that hold hiragana, that is, Japanese prose
// rather than commands and listings; joined by LF.
std::u16string JapaneseLines() {
  const char* path = std::getenv("MIROTABE_JAPANESE_TEXT");
  const std::u16string all =
      DecodeTextFile(ReadGzip(path != nullptr ? path : MIROTABE_JAPANESE_TEXT), TextEncoding::Utf8);
  std::u16string lines;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find(u"\r\n", start);
    if (end == std::u16string::npos) end = all.size();
    const std::u16string_view line = std::u16string_view(all).substr(start, end - start);
    if (line.find_first_of(u"のはがをにでとたす") != std::u16string_view::npos) {
      lines.append(line).append(u"\n");
    }
    start = end + 2;
  }
  return lines;
}

// `count` characters of `lines` from the first one beyond ASCII at or
// after `from`.
std::u16string Cut(std::u16string_view lines, std::size_t from, std::size_t count) {
  while (from < lines.size() && lines[from] < 0x80) ++from;
  std::u16string text(lines.substr(from, count));
  if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
  return text;
}

// Short texts of the kinds people write a few characters of.
constexpr std::array kShortTexts = {
    u"こんにちは"sv,
    u"あいう"sv,
    u"縦"sv,
    u"漢"sv,
    u"書"sv,
    u"鬱"sv,
    u"カタカナ"sv,
    u"ひらがなだけ"sv,
    u"縦書き"sv,
    u"日本語"sv,
    u"Qt 6で"sv,
    u"abc縦書きdef"sv,
    u"「はい」"sv,
    u"１２３円"sv,
    u"ﾃｽﾄ"sv,
    u"東京都"sv,
    u"ラーメン"sv,
    u"です。"sv,
    u"第1章 はじめに"sv,
    u"表示"sv,
};

// Lengths of the cuts, in characters, and how many cuts of each.
constexpr std::array<std::size_t, 11> kLengths = {1, 2, 3, 5, 8, 13, 20, 50, 200, 1000, 10000};
constexpr std::size_t kCutsPerLength = 6;

using ReverseTable = std::map<char16_t, std::string>;

const ReverseTable& EucJpCodes() {
  static const ReverseTable codes = [] {
    ReverseTable table;
    for (unsigned b = 0x80; b < 0x100; ++b) {
      if (const char16_t unit = kEucJpSingle[b - 0x80]; unit != 0) {
        table.try_emplace(unit, std::string(1, static_cast<char>(b)));
      }
      for (unsigned t = 0; t < 0x100; ++t) {
        if (const char16_t unit = kEucJpPair[b - 0x80][t]; unit != 0) {
          table.try_emplace(unit, std::string{static_cast<char>(b), static_cast<char>(t)});
        }
      }
    }
    return table;
  }();
  return codes;
}

// The pairs of the ISO-2022-JP set that `designation` chooses.
ReverseTable Iso2022JpPairs(std::string_view designation) {
  ReverseTable table;
  for (std::size_t set = 0; set < kIso2022JpSets; ++set) {
    if (kIso2022JpDesignations[set] != designation) continue;
    const std::uint32_t* pairs = kIso2022JpPairTables[kIso2022JpPairTableOf[set]];
    for (unsigned i = 0; i < kJisRow * kJisRow; ++i) {
      if (pairs[i] == 0 || pairs[i] > 0xFFFF) continue;
      table.try_emplace(static_cast<char16_t>(pairs[i]),
                        std::string{static_cast<char>(kFirstJis + i / kJisRow),
                                    static_cast<char>(kFirstJis + i % kJisRow)});
    }
  }
  return table;
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const auto low = static_cast<char>(unit & 0xFF);
    const auto high = static_cast<char>(unit >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

struct Writer {
  std::string_view name;
  TextEncoding encoding;
  std::string (*write)(std::u16string_view);
  bool mark = false;
  bool damaged = false;  // also written with bad bytes
};

constexpr std::array kWriters = {
    Writer{"shift_jis", TextEncoding::Cp932,
           [](std::u16string_view t) { return Encode(t, Charset::Cp932).bytes; }, false, true},
    Writer{"utf-8", TextEncoding::Utf8,
           [](std::u16string_view t) { return Encode(t, Charset::Utf8).bytes; }, false, true},
    Writer{"utf-8", TextEncoding::Utf8,
           [](std::u16string_view t) { return Encode(t, Charset::Utf8).bytes; }, true},
    Writer{"euc-jp", TextEncoding::EucJp, [](std::u16string_view t) { return EncodeEucJp(t); },
           false, true},
    Writer{"iso-2022-jp", TextEncoding::Iso2022Jp,
           [](std::u16string_view t) { return EncodeIso2022Jp(t); }, false, true},
    Writer{"iso-2022-jp-3", TextEncoding::Iso2022Jp,
           [](std::u16string_view t) { return EncodeIso2022Jp(t, "\x1B$(O"); }},
    Writer{"iso-2022-jp-2004", TextEncoding::Iso2022Jp,
           [](std::u16string_view t) { return EncodeIso2022Jp(t, "\x1B$(Q"); }},
    Writer{"utf-16le", TextEncoding::Utf16Le, [](std::u16string_view t) { return Utf16(t, false); },
           false, true},
    Writer{"utf-16le", TextEncoding::Utf16Le, [](std::u16string_view t) { return Utf16(t, false); },
           true},
    Writer{"utf-16be", TextEncoding::Utf16Be, [](std::u16string_view t) { return Utf16(t, true); },
           false, true},
    Writer{"utf-16be", TextEncoding::Utf16Be, [](std::u16string_view t) { return Utf16(t, true); },
           true},
};

std::string_view MarkOf(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "\xEF\xBB\xBF";
    case TextEncoding::Utf16Le:
      return "\xFF\xFE";
    case TextEncoding::Utf16Be:
      return "\xFE\xFF";
    default:
      return {};
  }
}

// The text written with one character near its middle damaged: `cut`
// loses the last byte of that character (a file cut and joined, or a
// two-byte character split by a program that counts bytes); otherwise a
// byte that no encoding holds (0xFF, or in UTF-16 an odd last byte) stands
// before it.
std::string Damaged(const Writer& writer, std::u16string_view text, bool cut) {
  if (writer.encoding == TextEncoding::Utf16Le || writer.encoding == TextEncoding::Utf16Be) {
    return writer.write(text) + '0';  // an odd last byte
  }
  std::size_t middle = text.size() / 2;
  while (middle < text.size() && text[middle] < 0x80) ++middle;
  if (middle == text.size()) middle = text.size() / 2;
  std::string character = writer.write(text.substr(middle, 1));
  if (cut && writer.encoding == TextEncoding::Iso2022Jp) {
    // ESC $ B, the pair, ESC ( B: the pair's second byte goes.
    if (character.size() == 8) character.erase(4, 1);
  } else if (cut && character.size() > 1) {
    character.pop_back();
  }
  return writer.write(text.substr(0, middle)) + (cut ? "" : "\xFF") + character +
         writer.write(text.substr(middle + 1));
}

void AddWritten(std::vector<RealFile>& files, const std::string& what, std::u16string_view text,
                bool shortText) {
  for (const Writer& writer : kWriters) {
    std::string name = std::string(writer.name) + " " + what + (writer.mark ? " marked" : "");
    std::string bytes =
        std::string(writer.mark ? MarkOf(writer.encoding) : "") + writer.write(text);
    const std::u16string_view shown = shortText ? text : std::u16string_view();
    files.push_back(
        {name, shown, text.size(), writer.encoding, bytes, DecodeTextFile(bytes, writer.encoding)});
    if (!writer.damaged || text.size() < 5) continue;
    const bool utf16 =
        writer.encoding == TextEncoding::Utf16Le || writer.encoding == TextEncoding::Utf16Be;
    for (const bool cut : {true, false}) {
      if (utf16 && cut) continue;
      bytes = Damaged(writer, text, cut);
      files.push_back({name + (cut ? " cut" : " stray"), shown, text.size(), writer.encoding, bytes,
                       DecodeTextFile(bytes, writer.encoding)});
    }
  }
}

}  // namespace

std::string EncodeEucJp(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    const auto found = EucJpCodes().find(unit);
    bytes += unit < 0x80 ? std::string(1, static_cast<char>(unit))
                         : (found != EucJpCodes().end() ? found->second : "?");
  }
  return bytes;
}

std::string EncodeIso2022Jp(std::u16string_view text, std::string_view jisX0213) {
  static const ReverseTable jisX0208 = Iso2022JpPairs("\x1B$B");
  static const ReverseTable plane1 = Iso2022JpPairs("\x1B$(Q");
  const ReverseTable& pairs = jisX0213.empty() ? jisX0208 : plane1;
  const std::string_view doubleByte = jisX0213.empty() ? "\x1B$B"sv : jisX0213;
  std::string bytes;
  std::string_view set = "\x1B(B";
  const auto choose = [&](std::string_view designation) {
    if (set != designation) bytes += designation;
    set = designation;
  };
  for (const char16_t unit : text) {
    if (unit < 0x80) {
      choose("\x1B(B");
      bytes += static_cast<char>(unit);
    } else if (const auto pair = pairs.find(unit); pair != pairs.end()) {
      choose(doubleByte);
      bytes += pair->second;
    } else if (unit >= 0xFF61 && unit <= 0xFF9F) {
      choose("\x1B(I");
      bytes += static_cast<char>(unit - 0xFF61 + kFirstJis);
    } else {
      choose("\x1B(B");
      bytes += '?';
    }
  }
  choose("\x1B(B");
  return bytes;
}

const std::vector<RealFile>& RealFiles() {
  static const std::vector<RealFile> files = [] {
    std::vector<RealFile> table;
    for (const std::u16string_view text : kShortTexts) {
      AddWritten(table, Encode(text, Charset::Utf8).bytes, text, true);
    }
    const std::u16string lines = JapaneseLines();
    for (const std::size_t length : kLengths) {
      for (std::size_t cut = 0; cut < kCutsPerLength; ++cut) {
        const std::size_t from = lines.size() / (kCutsPerLength + 1) * cut + cut * 7919 % 1000;
        AddWritten(table, std::to_string(length) + " at " + std::to_string(cut),
                   Cut(lines, from, length), false);
      }
    }
    return table;
  }();
  return files;
}

}  // namespace mirotabe::testing_support
