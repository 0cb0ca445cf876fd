#include "textio/encoding_detection.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <utility>

#include "platform/cp932.h"
#include "textio/reading_score.h"

namespace mirotabe {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeByteOrderMark = "\xFE\xFF";
constexpr std::array kByteOrderMarks = {std::pair{kUtf8ByteOrderMark, TextEncoding::Utf8},
                                        std::pair{kUtf16LeByteOrderMark, TextEncoding::Utf16Le},
                                        std::pair{kUtf16BeByteOrderMark, TextEncoding::Utf16Be}};
constexpr char kEscape = '\x1B';
constexpr char16_t kReplacementCharacter = 0xFFFD;

// Bytes that plain ASCII text does not hold: those above 0x7F, ESC, which
// starts the escape sequences of ISO-2022-JP, and NUL, which UTF-16 holds
// in every character of ASCII.
bool IsInteresting(unsigned char b) {
  return b >= 0x80 || b == static_cast<unsigned char>(kEscape) || b == 0;
}

bool IsIdeograph(char16_t unit) {
  return (unit >= 0x3400 && unit <= 0x4DBF) || (unit >= 0x4E00 && unit <= 0x9FFF) ||
         (unit >= 0xF900 && unit <= 0xFAFF);
}

// Where code page 932 leaves the symbols, kana and first-level kanji of
// JIS X 0208, the characters of everyday text.
constexpr unsigned kFirstRareCode = 0x989F;

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
    const unsigned code = Cp932DoubleByte(unit);
    everyday = everyday || !IsIdeograph(unit) || (code != 0 && code < kFirstRareCode);
  }
  return aboveU07FF >= 2 || everyday;
}

// One character in this many, at least, is kana or ideographic punctuation
// in a Japanese sentence.
constexpr std::size_t kKanaShare = 5;

// Whether a reading is everyday Japanese, with no rare kanji, a fair share
// of kana and far fewer faults: what a reading in another encoding must be
// to outweigh a clean code page 932 one, or to be UTF-16 without a NUL
// byte. Half-width katakana of code page 932 make EUC-JP kanji whenever
// they pair up, of both levels, and seldom kana.
bool IsEverydayJapanese(const ReadingScore& reading) {
  return reading.ordinary && reading.rareKanji == 0 && reading.faults * 2 <= reading.kana &&
         reading.kana != 0 && reading.kanaOrSymbol * kKanaShare >= reading.wide;
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

// Whether the code page 932 reading of bytes is clean: no bad byte, and no
// character of the user-defined area, which bytes in another encoding
// reach far more often than a file that uses it.
bool IsCleanCp932(std::u16string_view reading) {
  return std::none_of(reading.begin(), reading.end(), [](char16_t unit) {
    return unit == kReplacementCharacter || IsPrivateUse(unit);
  });
}

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

// The readings are weighed on a sample: a Japanese text shows its encoding
// within a few kilobytes, and the rest of a long file only costs time. A
// short sample is weighed first, and decides when one reading leads by
// kDecisiveLead points, some thirty kana; else the long one decides.
constexpr std::size_t kShortSampleBytes = std::size_t{4} * 1024;
constexpr std::size_t kSampleBytes = std::size_t{64} * 1024;
constexpr int kDecisiveLead = 64;
// How much text before the first byte beyond ASCII the sample keeps.
constexpr std::size_t kLeadingContext = 1024;

// Where the line after the LF at `lf` starts: in UTF-16LE the LF's second
// byte, NUL, comes first, so that the sample keeps the units' alignment.
std::size_t AfterLineFeed(std::string_view bytes, std::size_t lf) {
  return lf + 1 < bytes.size() && bytes[lf + 1] == '\0' ? lf + 2 : lf + 1;
}

// The whole lines of the bytes around the first interesting one, at most
// `size` bytes of them.
std::string_view SampleOf(std::string_view bytes, std::size_t firstInteresting, std::size_t size) {
  if (bytes.size() <= size) return bytes;
  std::size_t start = 0;
  if (firstInteresting > kLeadingContext) {
    const std::size_t lf = bytes.rfind('\n', firstInteresting - kLeadingContext);
    if (lf != std::string_view::npos) start = AfterLineFeed(bytes, lf);
  }
  std::string_view sample = bytes.substr(start, size);
  if (start + sample.size() == bytes.size()) return sample;
  if (const std::size_t lf = sample.rfind('\n'); lf != std::string_view::npos && lf != 0) {
    sample = sample.substr(0, AfterLineFeed(sample, lf));
  }
  return sample;
}

struct Reading {
  TextEncoding encoding;
  std::u16string text;
  ReadingScore score;
};

// The encodings the readings are weighed in; on equal points the first
// wins.
constexpr std::array kWeighed = {TextEncoding::Cp932, TextEncoding::EucJp, TextEncoding::Utf8,
                                 TextEncoding::Utf16Le, TextEncoding::Utf16Be};

DetectedEncoding Detected(std::string_view bytes, std::string_view sample, Reading& reading) {
  if (sample.size() != bytes.size()) return {reading.encoding};
  return {.encoding = reading.encoding, .text = std::move(reading.text)};
}

struct Weighed {
  DetectedEncoding encoding;
  bool decisive = false;  // the winner led by kDecisiveLead points or more
};

// A reading that loses bytes may stand against one that loses none only
// as damage to a long text: fewer than one fault (a run of bad bytes) in
// this many characters. A short text's faults are no damage but a wrong
// guess: 蝎嶽絲 in code page 932 (E5 99 9B D4 E3 4E) reads as UTF-8 噛 with
// two bad bytes, which outscores three second-level kanji. The bytes of
// eight characters of code page 932, sixteen at most, never read as more
// than sixteen characters in another encoding.
constexpr std::size_t kCharactersPerDamage = 16;

bool IsDamage(const ReadingScore& reading) {
  return reading.faults * kCharactersPerDamage < reading.units;
}

// Whether the faulty reading `damaged` stays chosen beside the clean one
// `clean`: only where the faults are damage to a long text and `clean` is
// plainly no Japanese text (code page 932's reading of UTF-8 with second-
// level kanji, few kana, and characters of other blocks).
bool DamageOutweighs(const ReadingScore& damaged, const ReadingScore& clean) {
  return IsDamage(damaged) && !IsEverydayJapanese(clean) && damaged.Evidence() > 0 &&
         damaged.Evidence() > clean.points;
}

// Bytes are never lost to a guess: a faulty winner `best` gives way to the
// best clean reading among the `eligible`, unless its faults are damage
// (DamageOutweighs). Code page 932's reading (the first) is clean only when
// `cp932Clean`.
std::size_t KeepingEveryByte(const std::array<Reading, kWeighed.size()>& readings,
                             const std::array<bool, kWeighed.size()>& eligible, std::size_t best,
                             bool cp932Clean) {
  if (readings[best].score.badBytes == 0) return best;
  std::optional<std::size_t> clean;
  for (std::size_t i = 0; i < readings.size(); ++i) {
    // Nor are controls, which text does not hold but misread bytes make
    // (EUC-JP reads a lone 0x82 as U+0082), or code page 932's
    // user-defined area.
    const ReadingScore& score = readings[i].score;
    const bool readsAll = score.badBytes == 0 && score.controls == 0 && (i != 0 || cp932Clean);
    if (!eligible[i] || !readsAll) continue;
    if (!clean || readings[i].score.points > readings[*clean].score.points) clean = i;
  }
  if (clean && !DamageOutweighs(readings[best].score, readings[*clean].score)) return *clean;
  return best;
}

// The encoding of `sample`, a sample of `bytes`: the reading that looks
// most like Japanese text wins. A reading in EUC-JP gives way to a clean
// code page 932 one when it is too little like everyday Japanese to
// outweigh it; bad bytes with no sign of Japanese in any reading leave
// code page 932 as a guess.
Weighed WeighSample(std::string_view bytes, std::string_view sample) {
  std::array<Reading, kWeighed.size()> readings;
  for (std::size_t i = 0; i < kWeighed.size(); ++i) {
    readings[i].encoding = kWeighed[i];
    readings[i].text = Decode(sample, kWeighed[i]);
    readings[i].score = ScoreReading(readings[i].text);
  }
  Reading& cp932 = readings[0];
  const bool cp932Clean = HasCp932Structure(sample) && IsCleanCp932(cp932.text);
  // UTF-16 without a mark shows itself by the NUL byte of every ASCII
  // character. Where none stands, it must read as everyday Japanese and
  // code page 932 must not read the bytes cleanly: a few characters of code
  // page 932 make as likely a UTF-16 text as they make code page 932.
  const bool nul = sample.find('\0') != std::string_view::npos;
  std::array<bool, kWeighed.size()> eligible{true};
  std::size_t best = 0;
  int runnerUp = std::numeric_limits<int>::min();
  for (std::size_t i = 1; i < readings.size(); ++i) {
    const bool utf16 = readings[i].encoding == TextEncoding::Utf16Le ||
                       readings[i].encoding == TextEncoding::Utf16Be;
    if (utf16 && !nul && (cp932Clean || !IsEverydayJapanese(readings[i].score))) continue;
    eligible[i] = true;
    const int points = readings[i].score.points;
    if (points > readings[best].score.points) {
      runnerUp = readings[best].score.points;
      best = i;
    } else {
      runnerUp = std::max(runnerUp, points);
    }
  }
  best = KeepingEveryByte(readings, eligible, best, cp932Clean);
  Reading& chosen = readings[best];
  const bool decisive = chosen.score.points - runnerUp >= kDecisiveLead;
  if (cp932Clean && chosen.encoding == TextEncoding::EucJp && !IsEverydayJapanese(chosen.score)) {
    return {Detected(bytes, sample, cp932), decisive};
  }
  if (chosen.score.badBytes != 0 && chosen.score.Evidence() <= 0) {
    return {{.encoding = TextEncoding::Cp932, .sure = false}, decisive};
  }
  return {Detected(bytes, sample, chosen), decisive};
}

DetectedEncoding WeighReadings(std::string_view bytes, std::size_t firstInteresting) {
  Weighed weighed = WeighSample(bytes, SampleOf(bytes, firstInteresting, kShortSampleBytes));
  if (weighed.decisive || bytes.size() <= kShortSampleBytes) return std::move(weighed.encoding);
  return WeighSample(bytes, SampleOf(bytes, firstInteresting, kSampleBytes)).encoding;
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

  const std::optional<std::size_t> utf8Units =
      nonAscii ? StrictUtf8Units(bytes) : std::optional<std::size_t>();
  if (utf8Units && std::find(interesting, bytes.end(), '\0') == bytes.end()) {
    // Most UTF-8 texts are no code page 932 within their first lines, and
    // are left to the caller to decode.
    if (!HasCp932Structure(bytes)) return {.encoding = TextEncoding::Utf8, .units = utf8Units};
    std::u16string cp932 = Decode(bytes, TextEncoding::Cp932);
    if (!IsCleanCp932(cp932)) return {.encoding = TextEncoding::Utf8, .units = utf8Units};
    std::u16string utf8 = Decode(bytes, TextEncoding::Utf8);
    if (Utf8OutweighsCp932(utf8)) {
      return {.encoding = TextEncoding::Utf8, .text = std::move(utf8)};
    }
    return {.encoding = TextEncoding::Cp932, .text = std::move(cp932)};
  }

  if (DesignatesJisSet(bytes.substr(firstInteresting))) {
    return {.encoding = TextEncoding::Iso2022Jp, .text = Decode(bytes, TextEncoding::Iso2022Jp)};
  }
  if (!nonAscii && std::find(interesting, bytes.end(), '\0') == bytes.end()) {
    // ASCII with an escape sequence of no JIS set: a terminal's colours,
    // say, which code page 932 reads as they are.
    return {.encoding = TextEncoding::Cp932, .sure = false};
  }
  return WeighReadings(bytes, firstInteresting);
}

std::size_t ByteOrderMarkBytes(std::string_view bytes, TextEncoding encoding) {
  for (const auto& [mark, markedEncoding] : kByteOrderMarks) {
    if (markedEncoding == encoding && bytes.starts_with(mark)) return mark.size();
  }
  return 0;
}

}  // namespace mirotabe
