// A seeded sweep of random short Shift_JIS texts through the encoding
// detection, as `mirotabe-convert --from auto` reads them: how many come
// back with a U+FFFD (bytes lost to a wrong guess), and how many in
// another encoding or as another text (a clean but wrong guess).
//
//   mirotabe_detection_sweep [TEXTS [SEED]]     (10000 and 1 by default)
//
// Each text is 1 to 8 characters, each a first- or second-level kanji,
// hiragana or katakana, or a half-width katakana, chosen alike.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "textio/encoding_names.h"
#include "textio/encoding_options.h"
#include "textio/text_file.h"

namespace {

// The code page 932 bytes of row `row`, cell `cell` of JIS X 0208 (from 1).
std::string Cp932Of(unsigned row, unsigned cell) {
  const unsigned lead = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
  const unsigned trail = row % 2 == 1 ? cell + (cell <= 63 ? 0x3F : 0x40) : cell + 0x9E;
  return {static_cast<char>(lead), static_cast<char>(trail)};
}

std::string RandomText(std::mt19937& random) {
  const auto below = [&random](unsigned bound) { return static_cast<unsigned>(random() % bound); };
  std::string bytes;
  for (unsigned length = 1 + below(8); length != 0; --length) {
    switch (below(4)) {
      case 0: {  // first level: rows 16..47, the last one to cell 51
        const unsigned row = 16 + below(32);
        bytes += Cp932Of(row, 1 + below(row == 47 ? 51 : 94));
        break;
      }
      case 1: {  // second level: rows 48..84, the last one to cell 6
        const unsigned row = 48 + below(37);
        bytes += Cp932Of(row, 1 + below(row == 84 ? 6 : 94));
        break;
      }
      case 2:  // hiragana (row 4) and katakana (row 5)
        bytes += below(2) == 0 ? Cp932Of(4, 1 + below(83)) : Cp932Of(5, 1 + below(86));
        break;
      default:  // half-width katakana
        bytes += static_cast<char>(0xA1 + below(63));
    }
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const long texts = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
  const unsigned long seed = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1;
  std::mt19937 random(seed);
  long replaced = 0;
  long otherwise = 0;
  for (long i = 0; i < texts; ++i) {
    const std::string bytes = RandomText(random);
    const mirotabe::DetectedText read = mirotabe::ReadInput(bytes, {});
    if (read.text.find(u'\uFFFD') != std::u16string::npos) {
      ++replaced;
    } else if (read.text != mirotabe::DecodeTextFile(bytes, mirotabe::TextEncoding::Cp932)) {
      ++otherwise;
      if (otherwise <= 5) {
        std::printf("read as %s:",
                    std::string(mirotabe::EncodingOptionName(read.encoding)).c_str());
        for (const char b : bytes) std::printf(" %02x", static_cast<unsigned char>(b));
        std::printf("\n");
      }
    }
  }
  std::printf("seed %lu: %ld texts, %ld read with U+FFFD, %ld read as another text\n", seed, texts,
              replaced, otherwise);
  return replaced == 0 ? 0 : 1;
}
