#include "unicode/line_break.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <optional>

namespace mirotabe {
namespace {

// From `first` up to the next run's first code point, every code point is
// of `lineBreak`.
struct LineBreakRun {
  char32_t first;
  LineBreakClass lineBreak;
};

#include "unicode/line_break_runs.inc"

static_assert(kLineBreakRuns[0].first == 0);

using enum LineBreakClass;

LineBreakClass FromRuns(char32_t c) {
  const auto* const after =
      std::upper_bound(std::begin(kLineBreakRuns), std::end(kLineBreakRuns), c,
                       [](char32_t value, const LineBreakRun& run) { return value < run.first; });
  return std::prev(after)->lineBreak;
}

// The Basic Multilingual Plane, where nearly all text lies, in one table:
// a look-up is one load, where the runs take a dozen steps of a search.
struct BmpClasses {
  std::array<LineBreakClass, 0x10000> classes{};
  BmpClasses() {
    std::size_t run = 0;
    for (char32_t c = 0; c < 0x10000; ++c) {
      while (run + 1 < kLineBreakRunCount && kLineBreakRuns[run + 1].first <= c) ++run;
      classes[c] = kLineBreakRuns[run].lineBreak;
    }
  }
};

const BmpClasses& Bmp() {
  static const BmpClasses table;
  return table;
}

// A set of classes, one bit each.
using ClassSet = std::uint64_t;
static_assert(static_cast<int>(kIDReservedPictographic) < 64);

constexpr ClassSet Set(std::initializer_list<LineBreakClass> classes) {
  ClassSet set = 0;
  for (const LineBreakClass c : classes) set |= ClassSet{1} << static_cast<unsigned>(c);
  return set;
}

constexpr bool In(ClassSet set, LineBreakClass c) {
  return ((set >> static_cast<unsigned>(c)) & 1U) != 0;
}

// The class that the rules see, but for the two that look at more.
constexpr LineBreakClass Base(LineBreakClass c) {
  switch (c) {
    case kOPWide:
      return kOP;
    case kCPWide:
      return kCP;
    case kIDReservedPictographic:
      return kID;
    default:
      return c;
  }
}

constexpr ClassSet kHardBreaks = Set({kBK, kCR, kLF, kNL});
// The classes that combining marks do not attach to.
constexpr ClassSet kNoBase = Set({kBK, kCR, kLF, kNL, kSP, kZW});
constexpr ClassSet kLetters = Set({kAL, kHL});
constexpr ClassSet kAffixes = Set({kPR, kPO});
constexpr ClassSet kIdeographic = Set({kID, kEB, kEM});
constexpr ClassSet kHangul = Set({kJL, kJV, kJT, kH2, kH3});

// What the rules from "× WJ" on look at: the classes `b` and `x` on either
// side of the boundary (Base applied; `rawBefore` and `rawC` without it),
// and what the state holds of the text before.
struct Boundary {
  LineBreakClass b;
  LineBreakClass x;
  LineBreakClass rawBefore;
  LineBreakClass rawC;
  LineBreakClass beforeSpaces;
  LineBreakClass beforeThat;
  LineBreakClass after;
  std::uint8_t number;
  bool oddIndicators;
};

using Decision = std::optional<LineBreak>;
constexpr Decision kNo = LineBreak::kProhibited;
constexpr Decision kYes = LineBreak::kAllowed;

// Joiners, glue, and what never starts a line.
Decision Glue(const Boundary& p) {
  if (p.x == kWJ || p.b == kWJ || p.b == kGL) return kNo;
  if (p.x == kGL && !In(Set({kSP, kBA, kHY}), p.b)) return kNo;
  if (In(Set({kCL, kCP, kEX, kIS, kSY}), p.x)) return kNo;
  return std::nullopt;
}

// Pairs that spaces between do not part; otherwise a line breaks after
// spaces.
Decision AcrossSpaces(const Boundary& p) {
  if (p.beforeSpaces == kOP) return kNo;
  if (p.x == kOP && p.beforeSpaces == kQU) return kNo;
  if (p.x == kNS && (p.beforeSpaces == kCL || p.beforeSpaces == kCP)) return kNo;
  if (p.x == kB2 && p.beforeSpaces == kB2) return kNo;
  if (p.b == kSP) return kYes;
  return std::nullopt;
}

// Quotation marks, contingent breaks, hyphens and the like.
Decision Punctuation(const Boundary& p) {
  if (p.x == kQU || p.b == kQU) return kNo;
  if (p.x == kCB || p.b == kCB) return kYes;
  if (In(Set({kBA, kHY, kNS}), p.x) || p.b == kBB) return kNo;
  if ((p.b == kHY || p.b == kBA) && p.beforeThat == kHL) return kNo;
  if ((p.b == kSY && p.x == kHL) || p.x == kIN) return kNo;
  return std::nullopt;
}

// Letters, numbers and the signs around them.
Decision LettersAndNumbers(const Boundary& p) {
  if ((In(kLetters, p.b) && p.x == kNU) || (p.b == kNU && In(kLetters, p.x))) return kNo;
  if ((p.b == kPR && In(kIdeographic, p.x)) || (In(kIdeographic, p.b) && p.x == kPO)) return kNo;
  if ((In(kAffixes, p.b) && In(kLetters, p.x)) || (In(kLetters, p.b) && In(kAffixes, p.x))) {
    return kNo;
  }
  const bool signedNumber = p.x == kNU || ((p.x == kOP || p.x == kHY) && Base(p.after) == kNU);
  if (In(kAffixes, p.b) && signedNumber) return kNo;
  if ((p.b == kOP || p.b == kHY) && p.x == kNU) return kNo;
  if (p.number == 1 && In(Set({kNU, kSY, kIS, kCL, kCP}), p.x)) return kNo;
  if (p.number != 0 && In(kAffixes, p.x)) return kNo;
  return std::nullopt;
}

// Korean syllables.
Decision Korean(const Boundary& p) {
  if (p.b == kJL && In(Set({kJL, kJV, kH2, kH3}), p.x)) return kNo;
  if ((p.b == kJV || p.b == kH2) && (p.x == kJV || p.x == kJT)) return kNo;
  if ((p.b == kJT || p.b == kH3) && p.x == kJT) return kNo;
  if ((In(kHangul, p.b) && p.x == kPO) || (p.b == kPR && In(kHangul, p.x))) return kNo;
  return std::nullopt;
}

// Words, brackets that bind to them, flags and emoji.
Decision WordsAndEmoji(const Boundary& p) {
  constexpr ClassSet kWordLike = Set({kAL, kHL, kNU});
  if ((In(kLetters, p.b) || p.b == kIS) && In(kLetters, p.x)) return kNo;
  if ((In(kWordLike, p.b) && p.rawC == kOP) || (p.rawBefore == kCP && In(kWordLike, p.x))) {
    return kNo;
  }
  if (p.x == kRI && p.b == kRI && p.oddIndicators) return kNo;
  if ((p.b == kEB || p.rawBefore == kIDReservedPictographic) && p.x == kEM) return kNo;
  return std::nullopt;
}

// The rules from "× WJ" on, in their order; a line may break where none
// of them decides.
LineBreak Decide(const Boundary& p) {
  for (Decision (*const rule)(const Boundary&) :
       {Glue, AcrossSpaces, Punctuation, LettersAndNumbers, Korean, WordsAndEmoji}) {
    if (const Decision decided = rule(p)) return *decided;
  }
  return LineBreak::kAllowed;
}

}  // namespace

LineBreakClass LineBreakClassOf(char32_t c) {
  if (c < 0x10000) return Bmp().classes[c];
  return c > 0x10FFFF ? kAL : FromRuns(c);
}

bool LineBreakRules::StandsAlone(LineBreakClass c) {
  return !In(Set({kSP, kCM, kZWJ, kNU, kSY, kIS, kCL, kCP, kCPWide, kRI, kHY, kBA}), c);
}

LineBreak LineBreakRules::Next(LineBreakClass c, LineBreakClass after) {
  const bool joiner = c == kZWJ;
  LineBreak result = LineBreak::kAllowed;
  bool attached = false;
  if (!started_) {
    started_ = true;
    result = LineBreak::kProhibited;
  } else if (before_ == kBK || before_ == kLF || before_ == kNL || (before_ == kCR && c != kLF)) {
    result = LineBreak::kMandatory;
  } else if (In(kHardBreaks, c) || c == kSP || c == kZW) {
    result = LineBreak::kProhibited;
  } else if (beforeSpaces_ == kZW) {
    result = LineBreak::kAllowed;
  } else if (afterJoiner_) {
    result = LineBreak::kProhibited;
    attached = (c == kCM || c == kZWJ) && !In(kNoBase, before_);
  } else if ((c == kCM || c == kZWJ) && !In(kNoBase, before_)) {
    // A combining mark goes with the character it marks.
    result = LineBreak::kProhibited;
    attached = true;
  } else {
    if (c == kCM || c == kZWJ) c = kAL;
    result = Decide(Boundary{Base(before_), Base(c), before_, c, Base(beforeSpaces_), beforeThat_,
                             after, number_, oddIndicators_});
  }
  afterJoiner_ = joiner;
  if (!attached) Pass(c);
  return result;
}

void LineBreakRules::Pass(LineBreakClass c) {
  // A mark that starts the text, or follows a space or a break, stands as
  // a letter.
  if (c == kCM || c == kZWJ) c = kAL;
  const LineBreakClass x = Base(c);
  const bool inNumber = number_ == 1 && (x == kSY || x == kIS);
  if (x == kNU || inNumber) {
    number_ = 1;
  } else {
    number_ = number_ == 1 && (x == kCL || x == kCP) ? 2 : 0;
  }
  oddIndicators_ = x == kRI && !oddIndicators_;
  beforeThat_ = Base(before_);
  before_ = c;
  if (c != kSP) beforeSpaces_ = c;
}

}  // namespace mirotabe
