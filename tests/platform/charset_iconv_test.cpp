// The decoders and encoders held to glibc's iconv, which reads and writes
// the same encodings on Linux: the one build where iconv is at hand.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/charset.h"

namespace mirotabe {
namespace {

// What iconv itself makes of one character, or nothing when it refuses it.
std::optional<std::string> IconvEncode(const char* to, std::u16string_view character) {
  const iconv_t cd = iconv_open(to, "UTF-16LE");
  std::string bytes(8, '\0');
  char* in = const_cast<char*>(reinterpret_cast<const char*>(character.data()));
  std::size_t inLeft = character.size() * sizeof(char16_t);
  char* out = bytes.data();
  std::size_t outLeft = bytes.size();
  const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return std::nullopt;
  bytes.resize(bytes.size() - outLeft);
  return bytes;
}

// The encoder reads a table and does UTF-8 by arithmetic; both must give
// exactly what iconv gives, character by character.
TEST(CharsetEncode, AgreesWithIconvForEveryBmpCharacterAndSomePairs) {
  std::vector<std::u16string> characters;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    if (c < 0xD800 || c > 0xDFFF) characters.emplace_back(1, static_cast<char16_t>(c));
  }
  for (const char16_t high : {0xD800, 0xD83D, 0xD840, 0xDBFF}) {
    for (const char16_t low : {0xDC00, 0xDE00, 0xDFFF}) characters.push_back({high, low});
  }
  for (const auto& [charset, name] :
       {std::pair{Charset::Cp932, "CP932"}, {Charset::Utf8, "UTF-8"}}) {
    for (const std::u16string& character : characters) {
      const EncodedText encoded = Encode(character, charset);
      const std::optional<std::string> expected = IconvEncode(name, character);
      ASSERT_EQ(encoded.bytes, expected.value_or("?"))
          << name << " " << std::hex << static_cast<unsigned>(character[0]);
      ASSERT_EQ(encoded.replaced, expected ? 0u : 1u) << name;
    }
  }
}

// What iconv reads `bytes` as, a bad sequence giving one U+FFFD for each
// of its first `badBytes` bytes (fewer at the end) and the bytes after them
// read afresh (in the same state).
std::u16string IconvDecode(const char* from, std::string_view bytes, std::size_t badBytes = 1) {
  const iconv_t cd = iconv_open("UTF-16LE", from);
  std::u16string text(bytes.size() * 2, u'\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* out = reinterpret_cast<char*>(text.data());
  std::size_t outLeft = text.size() * sizeof(char16_t);
  while (inLeft != 0 && iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    const std::size_t dropped = std::min(badBytes, inLeft);
    for (std::size_t k = 0; k < dropped; ++k) {
      const char16_t replacement = u'\uFFFD';
      std::memcpy(out, &replacement, sizeof replacement);
      out += sizeof replacement;
      outLeft -= sizeof replacement;
    }
    in += dropped;
    inLeft -= dropped;
  }
  iconv_close(cd);
  text.resize(static_cast<std::size_t>(reinterpret_cast<char16_t*>(out) - text.data()));
  return text;
}

// Every byte and every pair of bytes, alone and before an ASCII byte, reads
// in `charset` as iconv reads it under `name`.
void ExpectEveryByteAndPairAgree(Charset charset, const char* name) {
  for (unsigned first = 0; first <= 0xFF; ++first) {
    for (unsigned second = 0; second <= 0xFF; ++second) {
      const std::string bytes{static_cast<char>(first), static_cast<char>(second), 'a'};
      for (const std::string_view piece :
           {std::string_view(bytes).substr(0, 1), std::string_view(bytes).substr(0, 2),
            std::string_view(bytes)}) {
        ASSERT_EQ(Decode(piece, charset), IconvDecode(name, piece))
            << name << " " << std::hex << first << " " << second;
      }
    }
  }
}

// The code page 932 decoder reads tables made from iconv; every byte and
// every pair of bytes, alone and before an ASCII byte, reads as iconv reads it.
TEST(CharsetDecode, Cp932AgreesWithIconvForEveryByteAndPair) {
  ExpectEveryByteAndPairAgree(Charset::Cp932, "CP932");
}

// EUC-JP and ISO-2022-JP are read from tables made from iconv. Every
// sequence of up to two bytes of EUC-JP and every triple after 0x8F, and
// random ISO-2022-JP made of escape sequences, control bytes and pairs,
// read as iconv reads them.
TEST(CharsetDecode, JisEncodingsAgreeWithIconv) {
  for (unsigned first = 0; first <= 0xFF; ++first) {
    for (unsigned second = 0; second <= 0xFF; ++second) {
      for (const std::string& bytes :
           {std::string{static_cast<char>(first), static_cast<char>(second), 'a'},
            std::string{'\x8F', static_cast<char>(first), static_cast<char>(second)}}) {
        ASSERT_EQ(Decode(bytes, TextEncoding::EucJp), IconvDecode("EUC-JP-MS", bytes))
            << std::hex << first << " " << second;
      }
    }
  }
  const std::vector<std::string> pieces = {
      "\x1B(B", "\x1B(J", "\x1B(I", "\x1B$@", "\x1B$B", "\x1B$(O", "\x1B$(Q", "\x1B$(P",
      "\x1B",   "\x1B$",  "\x1B(",  "\x1B$(", "\x1B$Z", "\n",      "\r",      " ",
      "\x7F",   "\x80",   "\xFF",   "!",      "\\",     "~",       "_",       "`"};
  std::mt19937 random(21);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    const int length = static_cast<int>(random() % 12);
    for (int k = 0; k < length; ++k) {
      if (random() % 2 == 0) {
        bytes += pieces[random() % pieces.size()];
      } else {
        bytes += static_cast<char>(0x21 + random() % 94);
      }
    }
    ASSERT_EQ(Decode(bytes, TextEncoding::Iso2022Jp), IconvDecode("ISO-2022-JP-3", bytes))
        << testing::PrintToString(bytes);
  }
}

// UTF-8 is decoded by arithmetic: every byte and pair of bytes, alone and
// before an ASCII byte, each lead byte before the continuation bytes at the
// edges of its ranges, and random mixes of pieces, read as iconv reads them.
TEST(CharsetDecode, Utf8AgreesWithIconv) {
  const std::vector<unsigned char> edges = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                            0xA0, 0xBF, 0xC0, 0xC2, 0xE3, 0xF0, 0xFF};
  ExpectEveryByteAndPairAgree(Charset::Utf8, "UTF-8");
  for (unsigned first = 0x80; first <= 0xFF; ++first) {
    for (const unsigned char second : edges) {
      for (const unsigned char third : edges) {
        for (const unsigned char fourth : edges) {
          const std::string bytes{static_cast<char>(first), static_cast<char>(second),
                                  static_cast<char>(third), static_cast<char>(fourth)};
          ASSERT_EQ(Decode(bytes, Charset::Utf8), IconvDecode("UTF-8", bytes))
              << testing::PrintToString(bytes);
        }
      }
    }
  }
  const std::vector<std::string> pieces = {
      "a",    "\n",   "\xC3\xA9", "\xE3\x81\x82", "\xF0\x9F\x98\x80",
      "\xE3", "\x81", "\xF0\x9F", "\xED\xA0\x80", "\xFF"};
  std::mt19937 random(31);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    for (int k = static_cast<int>(random() % 12); k > 0; --k)
      bytes += pieces[random() % pieces.size()];
    ASSERT_EQ(Decode(bytes, Charset::Utf8), IconvDecode("UTF-8", bytes))
        << testing::PrintToString(bytes);
  }
}

// UTF-16 in both byte orders: random units drawn mostly from the surrogates
// and their neighbours, in texts of odd and even length, read as iconv reads
// them, a bad unit losing its two bytes.
TEST(CharsetDecode, Utf16AgreesWithIconv) {
  const std::vector<char16_t> units = {0x0041, 0x3042, 0xD7FF, 0xD800, 0xDBFF, 0xDC00,
                                       0xDFFF, 0xE000, 0xFEFF, 0xFFFE, 0xFFFF};
  std::mt19937 random(16);
  for (int round = 0; round < 20000; ++round) {
    std::string little;
    std::string big;
    for (int k = static_cast<int>(random() % 8); k > 0; --k) {
      const char16_t unit = units[random() % units.size()];
      const char low = static_cast<char>(unit & 0xFF);
      const char high = static_cast<char>(unit >> 8);
      little += {low, high};
      big += {high, low};
    }
    if (random() % 3 == 0) {
      little += 'x';
      big += 'x';
    }
    ASSERT_EQ(Decode(little, TextEncoding::Utf16Le), IconvDecode("UTF-16LE", little, 2))
        << testing::PrintToString(little);
    ASSERT_EQ(Decode(big, TextEncoding::Utf16Be), IconvDecode("UTF-16BE", big, 2))
        << testing::PrintToString(big);
  }
}

}  // namespace
}  // namespace mirotabe
