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
//   longer than a column, and then first where Unicode's rules allow
//   (after a hyphen or a slash, between a URL's parts); a piece between two
//   such places that fits in a column is never cut, but starts the next
//   column; a longer piece fills its column and is cut at the column's end.
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
//   the column's start where the cut touches a word or Unicode's rules bind
//   one to it. So a run of closing brackets moves down with the character
//   before it, and a run of opening ones moves down whole;
// - where Unicode's rules bind a word that fits in a column to what stands
//   beside it so that no place they allow is left, the column ends right
//   before the word (its opening brackets) or after it, by the Japanese
//   rules alone, rather than inside it: 。|"/dev/sda", 、|/etc/group.
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
// "100%" from "%d". Japanese characters keep the Japanese rules, and so do
// the marks that never lead a word (closing brackets, ：；？！，), which
// Unicode's rules would let start a line after a space (：；).
bool MayBreakBesideWords(char32_t before, char32_t after);
// ．％: of the marks the Japanese rules keep from a column's head, those
// that may lead a word (".bashrc", "%s").
bool MayLeadWord(char32_t c);
// Whether `c` belongs to a word that stays whole: a Latin, Greek or
// Cyrillic letter, a digit, a combining mark, or ASCII punctuation, in
// half or full width.
bool IsWordCharacter(char32_t c);
// Whether `c` is a letter or digit of a word, in half or full width: what
// makes ".bashrc" or "%s" a word rather than punctuation.
bool IsLetterOrDigit(char32_t c);
// U+0020 and U+3000, the spaces that vanish at a cut.
bool IsBlank(char32_t c);
// The character whose Line_Break class the rules give `c`: a full-width
// form's half-width character, but for （）［］｛｝，．：；, and a space for
// U+3000.
char32_t BreakingFormOf(char32_t c);
// The same where `before` stands before `c`: after a letter or digit,
// ．，：； are the half-width punctuation of a word ("wiki.debian.org").
char32_t BreakingFormAfter(char32_t before, char32_t c);
LineBreakClass BreakClassOf(char32_t c);
// The class of `c` where `before` stands before it: an opening bracket
// right after a letter or digit binds to it as a half-width one does,
// since the mapping to full width may have made "apt-get(8)" of it.
LineBreakClass BreakClassAfter(char32_t before, char32_t c);

// A column of a cut line: `cells` code points from code point `start`.
// Columns follow one another, but for the spaces that vanish at a cut.
struct Segment {
  std::size_t start = 0;
  std::size_t cells = 0;
  friend bool operator==(const Segment&, const Segment&) = default;
};

// How much a column holds when every character takes one cell.
//
// A fit also says where it sets characters together, so that no column
// starts with a character that the column before holds the rest of:
// JoinsPrevious(i) tells whether code point i is so bound to the one
// before it. A cut never falls there, whatever the rules would allow.
struct CellFit {
  std::size_t cells = 0;
  std::size_t Room() const { return cells; }
  static bool JoinsPrevious(std::size_t) { return false; }
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
  static bool JoinsPrevious(std::size_t) { return false; }
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
    return MoveBack(start, full, afterBlanks);
  }

 private:
  // The word the cut after a full column touches, or that Unicode's rules
  // bind to it: where it ends, and whether it fits in a column. Its end is
  // sought only where a place asks: most cuts touch no word, or keep the
  // rules at their first place.
  struct WordAtCut {
    std::size_t end = 0;
    bool sought = false;
    bool fits = false;
  };

  // Moves the cut after a full column back to where it keeps the rules.
  Cut MoveBack(std::size_t start, std::size_t full, std::size_t afterBlanks) {
    const std::size_t farthest =
        std::max(fit_.End(start, length_, fit_.Room() - fit_.Room() / 2, at_), start + 1);
    const bool touches = IsWordCharacter(at_(full - 1)) || IsWordCharacter(at_(full));
    WordAtCut word{touches ? full : 0, !touches, false};
    if (const std::size_t c = AllowedBefore(start, full, farthest, word); c != 0) return {c, c};
    if (word.end != 0) {
      if (!word.sought) word.end = WordEndFrom(full);
      if (KeepsWordWhole(start, full, afterBlanks)) return {full, afterBlanks};
      if (const std::size_t edge = WordEdge(start, word.end); edge != 0) return {edge, edge};
    }
    return FallBack(start, full, farthest, afterBlanks);
  }

  // The nearest place before the full column's end where a column may end
  // by every rule; 0 where there is none. As far back as `farthest`, or as
  // the column's start where the cut touches a word, or Unicode's rules bind
  // a word to it ("now" (「 binds the quote to the bracket), to keep the
  // word whole and with what they bind to it ("%s" with its quotes); a place
  // is of use only where the word then fits in the next column, if it fits
  // in one at all.
  std::size_t AllowedBefore(std::size_t start, std::size_t full, std::size_t farthest,
                            WordAtCut& word) {
    bool bound = true;
    for (std::size_t c = full - 1; c > start && (word.end != 0 || c >= farthest); --c) {
      if (Allowed(c) && WordFitsFrom(start, c, full, word)) return c;
      if (word.end == 0 && bound && IsWordCharacter(at_(c - 1))) {
        bound = UnicodeBinds(c, full);
        if (bound) word = {c, true, WordFits(start, c)};
      }
    }
    return 0;
  }

  // Whether a column from `c` holds the whole of `word`, where it fits in
  // one.
  bool WordFitsFrom(std::size_t start, std::size_t c, std::size_t full, WordAtCut& word) const {
    if (word.end == 0) return true;
    if (!word.sought) {
      word.end = WordEndFrom(full);
      word.fits = WordFits(start, word.end);
      word.sought = true;
    }
    return !word.fits || fit_.End(c, length_, fit_.Room(), at_) >= word.end;
  }

  // Where a cut that breaks a rule is sought, in turn.
  enum class Within : std::uint8_t { kOutsideWords, kUnicodePlaces, kAnywhere };

  std::size_t WordEndFrom(std::size_t i) const {
    while (i < length_ && IsWordCharacter(at_(i))) ++i;
    return i;
  }

  // Whether Unicode's rules allow no break at the places [from, to): what
  // stands there is bound together. Asked only beside a word, seldom.
  bool UnicodeBinds(std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i < to; ++i) {
      if (UnicodeAllows(i)) return false;
    }
    return true;
  }

  // Whether the word that ends at `wordEnd` fits in a column of its own;
  // not where it started before `start`, in an earlier column.
  bool WordFits(std::size_t start, std::size_t wordEnd) const {
    std::size_t first = wordEnd;
    while (first > start && IsWordCharacter(at_(first - 1))) --first;
    if (first == start && first > 0 && IsWordCharacter(at_(first - 1))) return false;
    return fit_.End(first, length_, fit_.Room(), at_) >= wordEnd;
  }

  bool HasLetterOrDigit(std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i < to; ++i) {
      if (IsLetterOrDigit(at_(i))) return true;
    }
    return false;
  }

  // Whether code point i may not start a column. ．％, typed as a word's
  // own punctuation (".bashrc", "%s"), may, as part of a word of letters
  // or digits; no other mark the Japanese rules keep from a column's head
  // may: closing brackets, ：？！, and ．％ alone ("エラー . %s").
  bool KeptFromHead(std::size_t i) const {
    const char32_t c = at_(i);
    if (!IsHeadForbidden(c)) return false;
    return !MayLeadWord(c) || !HasLetterOrDigit(i, WordEndFrom(i));
  }

  // Whether the Japanese rules alone let a column end before code point
  // `next`, the spaces between vanishing: a word's own punctuation may
  // start it.
  bool JapaneseAllows(std::size_t start, std::size_t cut, std::size_t next) const {
    std::size_t last = cut - 1;
    while (last > start && IsBlank(at_(last))) --last;
    if (MayBreakBetween(at_(last), at_(next))) return true;
    return !IsTailForbidden(at_(last)) && IsWordCharacter(at_(next)) && !KeptFromHead(next);
  }

  // Whether the full column may end where it is, by the Japanese rules,
  // where Unicode's rules bind a word at its end to what follows
  // ("/dev/sda"を, the quote to the kana; "symbols   .def", the spaces to
  // the stop): the word stays whole in a full column.
  bool KeepsWordWhole(std::size_t start, std::size_t full, std::size_t afterBlanks) const {
    const LineBreakClass nextClass = ClassAt(afterBlanks);
    return !InsideWord(full) && nextClass != LineBreakClass::kCM &&
           nextClass != LineBreakClass::kZWJ && JapaneseAllows(start, full, afterBlanks);
  }

  // Where Unicode's rules bind a word that fits in a column, ending at
  // `wordEnd`, to what stands beside it, so that no place they allow is
  // left in the column (。"/dev/sda" binds the quote to the stop, 、/etc the
  // slash to the comma, spaces bind to ".bashrc"), the cut falls at the
  // word's start, by the Japanese rules alone, rather than inside the word:
  // before its opening brackets, with the spaces before it left at the
  // column's end. 0 where there is no such place, the word being longer
  // than a column or starting the column.
  std::size_t WordEdge(std::size_t start, std::size_t wordEnd) const {
    std::size_t first = wordEnd;
    while (first > start && IsWordCharacter(at_(first - 1))) --first;
    if (KeptFromHead(first)) return 0;
    std::size_t edge = first;
    for (std::size_t before = edge; before > start;) {
      const char32_t c = at_(--before);
      if (IsBlank(c)) continue;
      if (!IsTailForbidden(c) || IsWordCharacter(c)) break;
      edge = before;
    }
    if (edge <= start || fit_.End(edge, length_, fit_.Room(), at_) < wordEnd) return 0;
    return edge;
  }

  // A word longer than a column is cut first at its own places, where
  // Unicode's rules allow (after a hyphen or a slash, between the parts of a
  // URL), which are read once for the whole column rather than place by
  // place. A piece between two of them that fits in a column is never cut:
  // where the column ends inside one and holds no such place, the word
  // starts the next column ("5.10. |update-|alternativ|es"). A piece longer
  // than a column fills the column it starts in, and is cut where it must.
  Cut CutLongWord(std::size_t start, std::size_t full) {
    ScanColumn(start + 1, std::min(length_, full + 1));
    // A column that starts inside a piece, after a cut where it must, is
    // filled rather than ended at the piece's end before a piece too long
    // for a column ("--|colum|n-len|gth", not "colum|n-|lengt"): the cut
    // there saves no cut further on.
    const bool startsInsidePiece = InsideWord(start) && !OwnPlace(start);
    std::size_t c = full;
    for (; c > start && IsWordCharacter(at_(c - 1)); --c) {
      if (!OwnPlace(c)) continue;
      if (startsInsidePiece && !PieceFits(c, full)) return {full, full};
      return {c, c};
    }
    if (c > start && PieceFits(c, full) && Allowed(c)) return {c, c};
    return {full, full};
  }

  // Whether a word may be cut before code point c, inside it.
  bool OwnPlace(std::size_t c) const {
    return UnicodeAllows(c) && MayBreakBesideWords(at_(c - 1), at_(c)) && !fit_.JoinsPrevious(c);
  }

  // Whether the piece of a word from `first` on, up to its next own place
  // after `cut` or its end, fits in a column.
  bool PieceFits(std::size_t first, std::size_t cut) const {
    const std::size_t fits = fit_.End(first, length_, fit_.Room(), at_);
    for (std::size_t i = cut + 1; i <= fits; ++i) {
      if (i >= length_ || !IsWordCharacter(at_(i)) || OwnPlace(i)) return true;
    }
    return false;
  }

  // Where Unicode's rules and the Japanese ones cannot both hold (「あ“い」
  // may break neither before nor after “ by the first), the Japanese ones
  // do, and they hold over keeping a word whole too: ABCDE。 in columns of
  // five is cut ABCD|E。 rather than start a column with 。. Where nothing
  // helps, the cut stays after the full column.
  Cut FallBack(std::size_t start, std::size_t full, std::size_t farthest,
               std::size_t afterBlanks) const {
    // Words whole first; then inside a word where Unicode's rules allow
    // ("%s.|%s"、), as far back as the column's start, since a short
    // column ("apt-|get(8)。") reads better than a word cut where no rule
    // allows; then anywhere.
    for (const Within within : {Within::kOutsideWords, Within::kUnicodePlaces, Within::kAnywhere}) {
      const std::size_t back = within == Within::kUnicodePlaces ? start + 1 : farthest;
      for (std::size_t c = full - 1; c >= back && c > start; --c) {
        if (!IsBlank(at_(c)) && !fit_.JoinsPrevious(c) && MayCutIn(within, c)) return {c, c};
      }
    }
    return {full, afterBlanks};
  }

  bool MayCutIn(Within within, std::size_t c) const {
    switch (within) {
      case Within::kOutsideWords:
        return !InsideWord(c) && MayBreakBetween(at_(c - 1), at_(c));
      case Within::kUnicodePlaces:
        // Inside a word its own punctuation is left to Unicode's rules.
        return InsideWord(c) && MayBreakBesideWords(at_(c - 1), at_(c)) && !KeptFromHead(c) &&
               UnicodeAllows(c);
      case Within::kAnywhere:
        break;
    }
    return MayBreakBetween(at_(c - 1), at_(c));
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
    return !InsideWord(i) && MayBreakBesideWords(at_(i - 1), at_(i)) && !fit_.JoinsPrevious(i) &&
           UnicodeAllows(i);
  }

  // The class of code point k, through a small cache: the rules read the
  // same few characters around a cut again and again.
  LineBreakClass ClassAt(std::size_t k) const {
    Cached& cached = classes_[k % kCachedClasses];
    if (cached.at != k)
      cached = {k, k == 0 ? BreakClassOf(at_(k)) : BreakClassAfter(at_(k - 1), at_(k))};
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
      if (kept.start > start && kept.start < cut.end && fits && !fit.JoinsPrevious(kept.start)) {
        cut = {kept.start, kept.start};
      }
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
