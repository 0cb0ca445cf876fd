// Where a line of text may break: Unicode's Line_Break property, read from
// Unicode's own data when the program is built, and the rules of Unicode's
// line breaking algorithm (UAX #14) as strict Japanese typesetting applies
// them (the small kana and ー never start a line).
//
// The rules are our own code rather than ICU's line break iterator, so that
// every edition cuts lines alike: the browser's (WebAssembly) and the
// Windows build have no ICU to link, and a different breaker there would
// cut the same text differently. They follow the tailoring of numbers that
// Unicode's own test data uses ("$1,000.00" and "(12.5)%" stay whole), as
// ICU does; the test suite checks them against that data and against ICU.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mirotabe {

// The classes of the property after the resolution that strict breaking
// makes (AI, SG and XX are AL; SA is CM or AL; CJ is NS), with three
// classes split where a rule looks at more than the class.
enum class LineBreakClass : std::uint8_t {
  kBK,
  kCR,
  kLF,
  kNL,
  kSP,
  kZW,
  kZWJ,
  kCM,
  kWJ,
  kGL,
  kBA,
  kBB,
  kHY,
  kB2,
  kCB,
  kCL,
  kCP,
  kEX,
  kIN,
  kNS,
  kOP,
  kQU,
  kIS,
  kNU,
  kPO,
  kPR,
  kSY,
  kAL,
  kHL,
  kID,
  kEB,
  kEM,
  kH2,
  kH3,
  kJL,
  kJV,
  kJT,
  kRI,
  // OP and CP of East Asian width F, W or H: a letter or digit before or
  // after them does not bind to them.
  kOPWide,
  kCPWide,
  // ID, reserved among the pictographs: an emoji modifier stays with it.
  kIDReservedPictographic,
};

// The class of `c`; AL for a value above U+10FFFF and for a lone
// surrogate.
LineBreakClass LineBreakClassOf(char32_t c);

enum class LineBreak : std::uint8_t {
  kProhibited,  // the characters stay on one line
  kAllowed,     // a line may end between them
  kMandatory,   // a line ends there (after a line feed and the like)
};

// The rules, applied to a text one character at a time. The state holds
// what the rules need of the characters already passed, so the decision at
// each boundary costs the same however long the text.
class LineBreakRules {
 public:
  // Whether a line may end before a character of class `c`, every
  // character before it having been passed here in order. `after` is the
  // class of the first character after `c` that is not CM or ZWJ (kBK at
  // the end of the text), which one rule looks at: "$(5" stays whole, "$("
  // does not. Nothing breaks before the first character.
  LineBreak Next(LineBreakClass c, LineBreakClass after);

  // Whether what the rules decide after a character of class `c` rests on
  // it alone, not on the characters before it: spaces, marks, numbers,
  // closing brackets, hyphens, flags and the like look further back. The
  // rules may then be applied from such a character on, as from the start
  // of a text, and decide alike.
  static bool StandsAlone(LineBreakClass c);

 private:
  // Takes in a character of class `c` that is not a mark on the one
  // before it.
  void Pass(LineBreakClass c);

  bool started_ = false;
  // The class of the character before the boundary, a base with its
  // combining marks counting as the base.
  LineBreakClass before_ = LineBreakClass::kBK;
  // The class of the one before that, for "HL (HY|BA) ×".
  LineBreakClass beforeThat_ = LineBreakClass::kBK;
  // The last character that is not a space, and whether spaces followed it.
  LineBreakClass beforeSpaces_ = LineBreakClass::kBK;
  // Whether the character just passed was a ZWJ, as it was in the text.
  bool afterJoiner_ = false;
  // Inside a number: 1 after NU (NU | SY | IS)*, 2 after its closing
  // bracket.
  std::uint8_t number_ = 0;
  // Regional indicators in a row, for flags of two.
  bool oddIndicators_ = false;
};

// How far back BreakBefore reads, at most, for the characters that the
// decision rests on: past that (a run of 32 spaces or digits) it decides as
// if the run started the text.
inline constexpr std::size_t kLineBreakContext = 32;

// Calls sink(i, break) for every place i in [from, to) (0 < from, to <=
// length) of a text whose classes classOf(k) gives: whether a line may
// break before character i. Only the few characters before `from` that the
// decisions rest on are read, and those up to `to`, so a handful of places
// in a long line cost what those places cost.
template <typename ClassOf, typename Sink>
void ForEachBreak(std::size_t from, std::size_t to, std::size_t length, const ClassOf& classOf,
                  Sink&& sink) {
  std::size_t start = from - 1;
  for (std::size_t back = 0; start > 0 && back < kLineBreakContext; ++back) {
    if (LineBreakRules::StandsAlone(classOf(start))) break;
    --start;
  }
  LineBreakRules rules;
  LineBreakClass next = classOf(start);
  for (std::size_t k = start; k < to; ++k) {
    const LineBreakClass c = next;
    next = k + 1 < length ? classOf(k + 1) : LineBreakClass::kBK;
    LineBreakClass after = next;
    // Past combining marks; a handful is enough for real text.
    for (std::size_t j = k + 2;
         (after == LineBreakClass::kCM || after == LineBreakClass::kZWJ) && j < length && j < k + 8;
         ++j) {
      after = classOf(j);
    }
    const LineBreak result = rules.Next(c, after);
    if (k >= from) sink(k, result);
  }
}

// Whether a line may break before character `i` (0 < i < length), as
// ForEachBreak says.
template <typename ClassOf>
LineBreak BreakBefore(std::size_t i, std::size_t length, const ClassOf& classOf) {
  LineBreak result = LineBreak::kProhibited;
  ForEachBreak(i, i + 1, length, classOf, [&result](std::size_t, LineBreak b) { result = b; });
  return result;
}

}  // namespace mirotabe
