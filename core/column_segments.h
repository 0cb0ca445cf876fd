// Cutting a line into columns under the line-breaking rules, as a
// typesetter applies them.
//
// Where a line may be cut is said apart from how much a column holds, so
// that the same rules serve columns of N cells and columns filled by the
// characters' advances. Under Kinsoku::kNone a column holds what fits and
// the cut falls right after it. Otherwise a cut must keep three sets of
// rules:
// - the Japanese ones (kinsoku): not before a head-forbidden character
//   (closing brackets, 、。 and the like, small kana, ー), not after a
//   tail-forbidden one (opening brackets), not inside a pair of dashes;
//   at a word's edge its own punctuation (％ of "%d") is left to Unicode's
//   rules;
// - Unicode's line breaking, strict as Japanese is set (unicode/line_break.h),
//   which keeps a number with its sign and separators, a letter with its
//   marks, and never starts a column with a space;
// - words stay whole: a run of Latin letters, digits and the punctuation
//   among them (a word, "1,000.50", a URL, a path) is cut only when it is
//   longer than a column, and then where Unicode's rules allow, or else at
//   the column's end.
// Full-width letters, digits and punctuation, which the full-width mapping
// makes of the text as typed, belong to words as the half-width characters
// they stand for do: ＵＲＬ and ２０２３ are words as URL and 2023 are. By
// Unicode's rules they count as half-width too (the mapping leaves no way
// to tell, and Latin is mostly typed half-width), but for the brackets and
// the marks of Japanese sentences, （）［］｛｝，．：；, which keep their own
// class.
//
// Where the cut after a full column breaks a rule:
// - spaces at the cut vanish there, as a typesetter drops them at a line's
//   end: the next column starts after them, and this one is not made longer
//   by blanks nobody sees;
// - under kHang, one of 、。，． hangs below the column, which then holds
//   one more, when the cut after it keeps the rules;
// - otherwise, under both kHang and kPushOut, the cut moves back until it
//   keeps the rules (追い出し): by at most half the column, and as far as
//   the column's start where the cut touches a word. So a run of closing
//   brackets moves down with the character before it, and a run of opening
//   ones moves down whole.
// When none of that helps, or a column would be empty, the cut stays after
// the full column.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/layout_settings.h"
#include "unicode/line_break.h"

namespace mirotabe {

bool IsHeadForbidden(char32_t c);
bool IsTailForbidden(char32_t c);
// 、。，．: the characters that may hang below a column.
bool IsHanging(char32_t c);
// Whether a column may end with `before` and the next start with `after`,
// by the Japanese rules alone.
bool MayBreakBetween(char32_t before, char32_t after);
// The same beside Unicode's rules: the punctuation of a word (％ at the
// start of "%d", ＄ at the end of "US$") is left to those, which tell
// "100%" from "%d"; Japanese characters keep the Japanese rules.
bool MayBreakBesideWords(char32_t before, char32_t after);
// Whether `c` belongs to a word that stays whole: a Latin, Greek or
// Cyrillic letter, a digit, a combining mark, or ASCII punctuation, in
// half or full width.
bool IsWordCharacter(char32_t c);
// U+0020 and U+3000, the spaces that vanish at a cut.
bool IsBlank(char32_t c);
// The character whose Line_Break class the rules give `c`: a full-width
// form's half-width character, but for （）［］｛｝，．：；, and a space for
// U+3000.
char32_t BreakingFormOf(char32_t c);
LineBreakClass BreakClassOf(char32_t c);

// A column of a cut line: `cells` code points from code point `start`.
// Columns follow one another, but for the spaces that vanish at a cut.
struct Segment {
  std::size_t start = 0;
  std::size_t cells = 0;
  friend bool operator==(const Segment&, const Segment&) = default;
};

// How much a column holds when every character takes one cell.
struct CellFit {
  std::size_t cells = 0;
  std::size_t Room() const { return cells; }
  // The end of the longest run from `start`, in a line of `length`, that
  // takes at most `room`; at least one character, however wide.
  template <typename At>
  std::size_t End(std::size_t start, std::size_t length, std::size_t room, const At&) const {
    return std::min(length, start + std::max<std::size_t>(room, 1));
  }
};

// How much a column holds when each character takes its own advance:
// width(c) for code point c, the column holding `room` of them.
template <typename Width>
struct AdvanceFit {
  std::size_t room = 0;
  Width width;
  std::size_t Room() const { return room; }
  template <typename At>
  std::size_t End(std::size_t start, std::size_t length, std::size_t limit, const At& at) const {
    std::size_t end = start;
    for (std::size_t taken = 0; end < length; ++end) {
      taken += width(at(end));
      if (taken > limit && end > start) break;
    }
    return end;
  }
};

namespace column_segments_detail {

// Cuts one line, column after column.
template <typename Fit, typename At>
class Cutter {
 public:
  Cutter(std::size_t length, const Fit& fit, Kinsoku kinsoku, const At& at)
      : length_(length), fit_(fit), kinsoku_(kinsoku), at_(at) {}

  // Where the column that starts at `start` ends, and where the next one
  // starts.
  struct Cut {
    std::size_t end;
    std::size_t next;
  };

  Cut Next(std::size_t start) {
    const std::size_t room = fit_.Room();
    const std::size_t full = fit_.End(start, length_, room, at_);
    if (full >= length_) return {length_, length_};
    if (kinsoku_ == Kinsoku::kNone) return {full, full};

    // Spaces at the cut vanish; the next column starts after them.
    const std::size_t afterBlanks = SkipBlanks(full);
    if (Allowed(afterBlanks)) return {full, afterBlanks};
    if (kinsoku_ == Kinsoku::kHang && IsHanging(at_(full))) {
      const std::size_t next = SkipBlanks(full + 1);
      if (Allowed(next)) return {full + 1, next};
    }
    if (InsideWord(full) && WordTooLong(start, full)) return CutLongWord(start, full);
    const std::size_t farthest =
        std::max(fit_.End(start, length_, room - room / 2, at_), start + 1);
    // As far back as the column's start where the cut touches a word, to
    // keep it whole and with what Unicode's rules bind to it ("%s" with
    // its quotes).
    const bool word = IsWordCharacter(at_(full - 1)) || IsWordCharacter(at_(full));
    const std::size_t limit = word ? start + 1 : farthest;
    for (std::size_t c = full - 1; c >= limit && c > start; --c) {
      if (Allowed(c)) return {c, c};
    }
    return FallBack(start, full, farthest, afterBlanks);
  }

 private:
  // A word longer than a column is cut where Unicode's rules allow, which
  // are read once for the whole column rather than place by place: every
  // place in the word is asked about.
  Cut CutLongWord(std::size_t start, std::size_t full) {
    ScanColumn(start + 1, std::min(length_, full + 1));
    for (std::size_t c = full; c > start && IsWordCharacter(at_(c - 1)); --c) {
      if (UnicodeAllows(c) && MayBreakBesideWords(at_(c - 1), at_(c))) return {c, c};
    }
    return {full, full};
  }

  // Where Unicode's rules and the Japanese ones cannot both hold (「あ“い」
  // may break neither before nor after “ by the first), the Japanese ones
  // do, and they hold over keeping a word whole too: ABCDE。 in columns of
  // five is cut ABCD|E。 rather than start a column with 。. Where nothing
  // helps, the cut stays after the full column.
  Cut FallBack(std::size_t start, std::size_t full, std::size_t farthest,
               std::size_t afterBlanks) const {
    for (const bool wholeWords : {true, false}) {
      for (std::size_t c = full - 1; c >= farthest && c > start; --c) {
        if ((!wholeWords || !InsideWord(c)) && MayBreakBetween(at_(c - 1), at_(c)) &&
            !IsBlank(at_(c))) {
          return {c, c};
        }
      }
    }
    return {full, afterBlanks};
  }

  std::size_t SkipBlanks(std::size_t i) const {
    while (i < length_ && IsBlank(at_(i))) ++i;
    return i;
  }

  bool InsideWord(std::size_t i) const {
    return i > 0 && i < length_ && IsWordCharacter(at_(i - 1)) && IsWordCharacter(at_(i));
  }

  // Whether a column may end before code point i by every rule.
  bool Allowed(std::size_t i) {
    if (i >= length_) return true;
    return !InsideWord(i) && MayBreakBesideWords(at_(i - 1), at_(i)) && UnicodeAllows(i);
  }

  // The class of code point k, through a small cache: the rules read the
  // same few characters around a cut again and again.
  LineBreakClass ClassAt(std::size_t k) const {
    Cached& cached = classes_[k % kCachedClasses];
    if (cached.at != k) cached = {k, BreakClassOf(at_(k))};
    return cached.lineBreak;
  }

  // Unicode's rules, at the few places a column asks about.
  bool UnicodeAllows(std::size_t i) const {
    if (i >= length_) return true;
    if (i >= scannedFrom_ && i < scannedFrom_ + scanned_.size()) {
      return scanned_[i - scannedFrom_] != 0;
    }
    const auto classOf = [this](std::size_t k) { return ClassAt(k); };
    return BreakBefore(i, length_, classOf) != LineBreak::kProhibited;
  }

  // Reads Unicode's rules for the places [from, to) at once.
  void ScanColumn(std::size_t from, std::size_t to) {
    scanned_.clear();
    scannedFrom_ = from;
    const auto classOf = [this](std::size_t k) { return ClassAt(k); };
    ForEachBreak(from, to, length_, classOf, [this](std::size_t, LineBreak b) {
      scanned_.push_back(b != LineBreak::kProhibited ? 1 : 0);
    });
  }

  // Whether the word around the cut `cut` is longer than a column: it
  // started in an earlier column, or does not fit in one of its own.
  bool WordTooLong(std::size_t start, std::size_t cut) const {
    std::size_t first = cut - 1;
    while (first > start && IsWordCharacter(at_(first - 1))) --first;
    if (first == start && first > 0 && IsWordCharacter(at_(first - 1))) return true;
    const std::size_t fits = fit_.End(first, length_, fit_.Room(), at_);
    if (fits >= length_) return false;
    for (std::size_t i = cut; i <= fits; ++i) {
      if (!IsWordCharacter(at_(i))) return false;
    }
    return true;
  }

  std::size_t length_;
  const Fit& fit_;
  Kinsoku kinsoku_;
  const At& at_;
  struct Cached {
    std::size_t at = static_cast<std::size_t>(-1);
    LineBreakClass lineBreak = LineBreakClass::kAL;
  };
  static constexpr std::size_t kCachedClasses = 64;
  mutable std::array<Cached, kCachedClasses> classes_{};
  // Unicode's rules for the places of the column being cut, from
  // scannedFrom_ on.
  std::size_t scannedFrom_ = 0;
  std::vector<std::uint8_t> scanned_;
};

}  // namespace column_segments_detail

// Calls emit(segment) for each column a line of `length` code points is cut
// into, top column first; at(i) gives code point i, and `fit` says how much
// a column holds (CellFit, AdvanceFit). Every line gives at least one
// column (an empty line one of 0 cells); a line that fits gives the whole
// line.
template <typename Fit, typename At, typename Emit>
void ForEachFittedSegment(std::size_t length, const Fit& fit, Kinsoku kinsoku, const At& at,
                          Emit&& emit) {
  if (length == 0 || fit.End(0, length, fit.Room(), at) >= length) {
    emit(Segment{0, length});
    return;
  }
  column_segments_detail::Cutter<Fit, At> cutter(length, fit, kinsoku, at);
  for (std::size_t start = 0; start < length;) {
    const auto cut = cutter.Next(start);
    emit(Segment{start, cut.end - start});
    start = cut.next;
  }
}

// The same for columns of `columnLength` cells; 0 keeps every line whole.
template <typename At, typename Emit>
void ForEachSegment(std::size_t length, std::size_t columnLength, Kinsoku kinsoku, const At& at,
                    Emit&& emit) {
  if (columnLength == 0 || length <= columnLength) {
    emit(Segment{0, length});
    return;
  }
  ForEachFittedSegment(length, CellFit{columnLength}, kinsoku, at, emit);
}

// The same, keeping each of `whole` (runs of code points, in order and
// apart) in one column where it fits in one: a cut that falls inside one
// moves to its start. Ruby's bases are kept so, as a word is.
template <typename Fit, typename At, typename Emit>
void ForEachFittedSegmentKeeping(std::size_t length, const Fit& fit, Kinsoku kinsoku, const At& at,
                                 const std::vector<Segment>& whole, Emit&& emit) {
  if (whole.empty() || fit.End(0, length, fit.Room(), at) >= length) {
    ForEachFittedSegment(length, fit, kinsoku, at, emit);
    return;
  }
  column_segments_detail::Cutter<Fit, At> cutter(length, fit, kinsoku, at);
  std::size_t next = 0;
  for (std::size_t start = 0; start < length;) {
    auto cut = cutter.Next(start);
    while (next < whole.size() && whole[next].start + whole[next].cells <= cut.end) ++next;
    if (next < whole.size()) {
      const Segment& kept = whole[next];
      const bool fits = fit.End(kept.start, length, fit.Room(), at) >= kept.start + kept.cells;
      if (kept.start > start && kept.start < cut.end && fits) cut = {kept.start, kept.start};
    }
    emit(Segment{start, cut.end - start});
    start = cut.next;
  }
}

template <typename At, typename Emit>
void ForEachSegmentKeeping(std::size_t length, std::size_t columnLength, Kinsoku kinsoku,
                           const At& at, const std::vector<Segment>& whole, Emit&& emit) {
  if (whole.empty() || columnLength == 0 || length <= columnLength) {
    ForEachSegment(length, columnLength, kinsoku, at, emit);
    return;
  }
  ForEachFittedSegmentKeeping(length, CellFit{columnLength}, kinsoku, at, whole, emit);
}

// The columns `line` is cut into, as ForEachSegment gives them. A surrogate
// pair is one code point.
std::vector<Segment> SegmentLine(std::u16string_view line, std::size_t columnLength,
                                 Kinsoku kinsoku);

}  // namespace mirotabe
