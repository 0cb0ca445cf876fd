// The cuts of the layout against ICU's strict Japanese line breaker, on
// lines that mix Japanese with Latin words, numbers, URLs and paths. The
// layout cuts a line's full-width form; ICU reads the characters whose
// classes the layout's rules take (BreakingFormOf), so that the two judge
// the same text. A cut that ICU forbids must fall inside a word longer than
// a column, or where nothing in reach of pushing keeps ICU's rules, the
// Japanese ones and a word that fits a column whole (the column may end
// right before such a word, where ICU binds it to what stands before); a
// word that fits a column is never cut, but for the same reason. (mirotabe_kinsoku_bench shows
// ICU's judgement of real text as typed.)
#include <gtest/gtest.h>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/code_points.h"
#include "core/column_segments.h"
#include "core/fullwidth.h"
#include "unicode/utf16.h"

namespace mirotabe {
namespace {

// Lines made of these pieces, drawn with a fixed seed.
std::vector<std::u16string> MixedLines() {
  const std::u16string_view pieces[] = {u"紅茶が",
                                        u"円です",
                                        u"ページ",
                                        u"を見てください。",
                                        u"「設定」",
                                        u"（注）",
                                        u"ファイル",
                                        u"は",
                                        u"と",
                                        u"、",
                                        u"。",
                                        u"ョー",
                                        u"ちょっと",
                                        u"コンピューター",
                                        u"――",
                                        u"…",
                                        u"　",
                                        u" ",
                                        u" ",
                                        u"pkcon install",
                                        u"Aspell",
                                        u"https://example.com/path/to/file",
                                        u"/usr/share/doc",
                                        u"1,234,567",
                                        u"3.14",
                                        u"500",
                                        u"$100",
                                        u"50%",
                                        u"(see below)",
                                        u"e-mail",
                                        u"don't",
                                        u"v2.0.1",
                                        u"C++",
                                        u"UTF-8",
                                        u"foo_bar",
                                        u"A4",
                                        u"x86_64",
                                        u"Hello, world.",
                                        u"２０２３年",
                                        u"ＡＢＣ"};
  std::mt19937 random(28);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> count(3, 30);
  std::vector<std::u16string> lines;
  for (int i = 0; i < 400; ++i) {
    std::u16string line;
    for (int n = count(random); n > 0; --n) line += pieces[piece(random)];
    lines.push_back(line);
  }
  return lines;
}

std::vector<char32_t> CodePoints(std::u16string_view text, std::vector<std::size_t>* unitOf) {
  std::vector<char32_t> out;
  for (std::size_t unit = 0; unit < text.size();) {
    const CodePoint c = CodePointAt(text, unit);
    if (unitOf != nullptr) unitOf->push_back(unit);
    out.push_back(c.value);
    unit += c.units;
  }
  if (unitOf != nullptr) unitOf->push_back(text.size());
  return out;
}

// A line as the layout sees it (w), as ICU is shown it (read, c), and
// where ICU allows a break.
struct JudgedLine {
  std::u16string wide;
  std::vector<char32_t> w;
  std::u16string read;
  std::vector<char32_t> c;
  std::vector<std::size_t> unitOf;
  std::vector<bool> allowed;

  bool IcuAllows(std::size_t i) const { return allowed[unitOf[i]]; }
  bool Word(std::size_t i) const { return i < c.size() && IsWordCharacter(c[i]); }
  // The word around or beside the cut before i, [first, end); empty where
  // none touches it.
  std::pair<std::size_t, std::size_t> WordAt(std::size_t i) const {
    std::size_t first = i;
    while (first > 0 && Word(first - 1)) --first;
    std::size_t end = i;
    while (Word(end)) ++end;
    return {first, end};
  }
  // Whether the word around the cut before i is longer than n.
  bool LongWord(std::size_t i, std::size_t n) const {
    const auto [first, end] = WordAt(i);
    return end - first > n;
  }
};

JudgedLine Judge(icu::BreakIterator& breaker, const std::u16string& typed) {
  JudgedLine line;
  line.wide = ToFullWidth(typed);
  line.w = CodePoints(line.wide, nullptr);
  for (std::size_t i = 0; i < line.w.size(); ++i) {
    const char32_t one = line.w[i];
    const char32_t form = i == 0 ? BreakingFormOf(one) : BreakingFormAfter(line.w[i - 1], one);
    if (form >= 0x10000) {
      const SurrogatePair pair = SplitIntoSurrogates(form);
      line.read += pair.high;
      line.read += pair.low;
    } else {
      line.read += static_cast<char16_t>(form);
    }
  }
  line.c = CodePoints(line.read, &line.unitOf);
  line.allowed.assign(line.read.size() + 1, false);
  const icu::UnicodeString text(UBool{0}, line.read.data(), static_cast<int32_t>(line.read.size()));
  breaker.setText(text);
  for (int32_t at = breaker.first(); at != icu::BreakIterator::DONE; at = breaker.next()) {
    line.allowed[static_cast<std::size_t>(at)] = true;
  }
  return line;
}

struct Tally {
  std::size_t cuts = 0;
  std::size_t forbidden = 0;  // outside the long words
  // In columns of ten or more, which these lines' rules do not crowd: the
  // cuts, and the forbidden ones inside a piece between two of ICU's places
  // that fits in a column, which a cut before the piece would have kept
  // whole.
  std::size_t wideCuts = 0;
  std::size_t fitting = 0;
};

// Whether the piece between two of ICU's places around the cut before i
// fits in a column of n.
bool InFittingPiece(const JudgedLine& line, std::size_t i, std::size_t n) {
  if (line.IcuAllows(i)) return false;
  std::size_t first = i - 1;
  while (first > 0 && !line.IcuAllows(first)) --first;
  std::size_t end = i + 1;
  while (end < line.c.size() && !line.IcuAllows(end)) ++end;
  return end - first <= n;
}

// The cut after `column`, the next column starting at `next`.
void CheckCut(const JudgedLine& line, const Segment& column, std::size_t next, std::size_t n,
              Kinsoku kinsoku, Tally& tally) {
  const std::size_t end = column.start + column.cells;
  std::string shown;
  icu::UnicodeString(line.read.data() + line.unitOf[column.start],
                     static_cast<int32_t>(line.unitOf[std::min(line.c.size(), next + 3)] -
                                          line.unitOf[column.start]))
      .toUTF8String(shown);
  SCOPED_TRACE(testing::Message() << "n " << n << " kinsoku " << int(kinsoku) << ": "
                                  << column.cells << " then " << shown);
  ASSERT_LE(column.cells, n + 1);
  if (column.cells == n + 1) {
    EXPECT_EQ(kinsoku, Kinsoku::kHang);
    EXPECT_TRUE(IsHanging(line.w[end - 1]));
  }
  for (std::size_t i = end; i < next; ++i) EXPECT_TRUE(IsBlank(line.c[i]));
  ++tally.cuts;
  if (n >= 10) {
    ++tally.wideCuts;
    tally.fitting += InFittingPiece(line, next, n) ? 1 : 0;
  }
  const bool insideWord = line.Word(next - 1) && line.Word(next);
  if (line.IcuAllows(next) && !insideWord) return;
  if (insideWord && line.LongWord(next, n)) return;
  tally.forbidden += line.IcuAllows(next) ? 0 : 1;
  // Otherwise nothing in reach of pushing kept every rule, the word at the
  // cut, where it fits a column, then fitting the next.
  const auto [wordStart, wordEnd] = line.WordAt(next);
  const bool wordFits = wordEnd - wordStart <= n;
  for (std::size_t p = column.start + n - n / 2; p <= column.start + n && p < line.c.size(); ++p) {
    EXPECT_FALSE(line.IcuAllows(p) && !(line.Word(p - 1) && line.Word(p)) &&
                 MayBreakBetween(line.w[p - 1], line.w[p]) && !IsBlank(line.c[p]) && p != next &&
                 (!wordFits || wordEnd - p <= n))
        << "a cut at " << p << " kept every rule";
  }
}

TEST(LineBreakIcuTest, CutsWhereIcuAllowsButForLongWordsAndTheJapaneseRules) {
  UErrorCode status = U_ZERO_ERROR;
  const std::unique_ptr<icu::BreakIterator> breaker(
      icu::BreakIterator::createLineInstance(icu::Locale("ja@lb=strict"), status));
  ASSERT_FALSE(U_FAILURE(status)) << u_errorName(status);
  Tally tally;
  for (const std::u16string& typed : MixedLines()) {
    const JudgedLine line = Judge(*breaker, typed);
    ASSERT_EQ(line.w.size(), line.c.size());
    for (const std::size_t n : {3, 5, 8, 10, 20, 40}) {
      for (const Kinsoku kinsoku : {Kinsoku::kHang, Kinsoku::kPushOut}) {
        const std::vector<Segment> segments = SegmentLine(line.wide, n, kinsoku);
        for (std::size_t k = 1; k < segments.size(); ++k) {
          CheckCut(line, segments[k - 1], segments[k].start, n, kinsoku, tally);
        }
      }
    }
  }
  EXPECT_GT(tally.cuts, 10000U);
  // Nearly every cut outside the long words is one that ICU allows, even
  // in columns of three and five that these lines fill with rules that
  // cannot all hold.
  EXPECT_LT(tally.forbidden * 20, tally.cuts) << tally.forbidden;
  // A piece that fits in a column is seldom cut where columns are wide.
  EXPECT_LE(tally.fitting * 100, tally.wideCuts) << tally.fitting << " of " << tally.wideCuts;
}

}  // namespace
}  // namespace mirotabe
