// How well the line-breaking rules cut real text: the columns that a long
// line is cut into, checked against ICU's strict Japanese line breaker
// (UAX #14 with CLDR's ja@lb=strict), which says between which characters a
// typesetter may break. ICU reads each line as it was typed; the layout
// cuts it after the full-width mapping, as the program does. Counts, per
// column length and rule, the cuts the layout makes and those ICU allows no
// break at; of those, the ones no layout that keeps words whole can avoid,
// and the rest, which the rules could have avoided (the figure to keep at
// zero). A forbidden cut is unavoidable
// - inside a word longer than a column, which no rule can keep whole;
// - inside a run that ICU allows no break in and that is longer than a
//   column: some cut there breaks ICU's rules whatever the layout does;
// - at a word's edge, in a run longer than a column between places where
//   ICU allows a break outside the words that fit in one: ICU allows a
//   break only inside the word ("/dev/|sda" after 。"), and keeping the word
//   whole takes a cut ICU forbids (。|"/dev/sda").
//
// The texts: the Japanese Debian Reference, and Japanese prose that mixes
// in Latin words and numbers, the message catalogues of the programs
// installed here (scripts/make_messages_corpus.sh). Only lines of which at
// least a third is Japanese count: paragraphs, not commands or code.
//
//   mirotabe_kinsoku_bench [--pairs] [MIXED_TEXT]
//
// The figure to keep down: the forbidden cuts inside a piece between two
// of ICU's places that fits in a column ("fitting"), which a cut before the
// piece would have avoided; cuts inside longer pieces are forced.
//
// With --pairs, lists the character pairs of those cuts, most frequent
// first, each with the first place it cut.
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_texts.h"
#include "core/code_points.h"
#include "core/column_segments.h"
#include "core/fullwidth.h"
#include "textio/text_file.h"

namespace mirotabe::bench {
namespace {

bool IsJapanese(char32_t c) {
  return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF);
}

struct Line {
  std::u16string typed;             // as typed, for ICU
  std::vector<std::size_t> unitOf;  // code point i starts at typed unit unitOf[i]
  std::u32string codePoints;        // after the full-width mapping, for the layout
};

// The lines of `text` of which at least a third is Japanese, tabs as four
// spaces; lines whose full-width mapping joins characters are left out.
std::vector<Line> ProseLines(const std::u16string& text) {
  std::vector<Line> lines;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find(u"\r\n", start);
    if (end == std::u16string::npos) end = text.size();
    Line line;
    for (std::size_t i = start; i < end; ++i) {
      if (text[i] == u'\t') {
        line.typed.append(4, u' ');
      } else {
        line.typed.push_back(text[i]);
      }
    }
    start = end + 2;
    std::size_t japanese = 0;
    for (std::size_t unit = 0; unit < line.typed.size();) {
      const CodePoint c = CodePointAt(line.typed, unit);
      line.unitOf.push_back(unit);
      japanese += IsJapanese(c.value) ? 1 : 0;
      unit += c.units;
    }
    line.unitOf.push_back(line.typed.size());
    const std::u16string wide = ToFullWidth(line.typed);
    for (std::size_t unit = 0; unit < wide.size();) {
      const CodePoint c = CodePointAt(wide, unit);
      line.codePoints.push_back(c.value);
      unit += c.units;
    }
    if (line.codePoints.size() + 1 != line.unitOf.size()) continue;
    if (3 * japanese >= line.codePoints.size() && japanese != 0) lines.push_back(std::move(line));
  }
  return lines;
}

struct Count {
  std::size_t cuts = 0;
  std::size_t forbidden = 0;
  // The forbidden ones that no layout keeping words whole avoids, as said
  // at the top, in that order.
  std::size_t longWords = 0;
  std::size_t unbreakable = 0;
  std::size_t wordEdges = 0;
  std::size_t Avoidable() const { return forbidden - longWords - unbreakable - wordEdges; }
  // The forbidden ones inside a piece between two of ICU's places that
  // fits in a column: a cut before the piece would have kept it whole.
  std::size_t fitting = 0;
};

// The break opportunities ICU finds in `line`, by unit offset.
std::vector<bool> AllowedBreaks(icu::BreakIterator& breaker, const Line& line) {
  std::vector<bool> allowed(line.typed.size() + 1, false);
  // Read-only aliasing: ICU reads the line where it is.
  const icu::UnicodeString text(UBool{0}, line.typed.data(),
                                static_cast<int32_t>(line.typed.size()));
  breaker.setText(text);
  for (int32_t at = breaker.first(); at != icu::BreakIterator::DONE; at = breaker.next()) {
    allowed[static_cast<std::size_t>(at)] = true;
  }
  return allowed;
}

std::string Utf8(char32_t c) {
  const icu::UnicodeString one(static_cast<UChar32>(c));
  std::string out;
  one.toUTF8String(out);
  return out;
}

// The length of the word that the place before code point `at` falls
// inside, 0 where it falls outside words or at their edge.
std::size_t WordAround(const Line& line, std::size_t at) {
  const std::u32string& c = line.codePoints;
  if (at == 0 || at >= c.size() || !IsWordCharacter(c[at - 1]) || !IsWordCharacter(c[at])) {
    return 0;
  }
  std::size_t first = at - 1;
  while (first > 0 && IsWordCharacter(c[first - 1])) --first;
  std::size_t end = at;
  while (end < c.size() && IsWordCharacter(c[end])) ++end;
  return end - first;
}

bool InsideLongWord(const Line& line, std::size_t at, std::size_t n) {
  return WordAround(line, at) > n;
}

// Whether the cut before code point `at`, outside the words that fit in a
// column, falls in a run longer than `n` between places where ICU allows a
// break outside those words.
bool AtBoundWordEdge(const Line& line, const std::vector<bool>& allowed, std::size_t at,
                     std::size_t n) {
  const std::size_t length = line.codePoints.size();
  const auto open = [&](std::size_t p) {
    const std::size_t word = WordAround(line, p);
    return allowed[line.unitOf[p]] && (word == 0 || word > n);
  };
  if (WordAround(line, at) != 0) return false;
  std::size_t first = at - 1;
  while (first > 0 && !open(first)) --first;
  std::size_t end = at + 1;
  while (end < length && !open(end)) ++end;
  return end - first > n;
}

// Whether the cut before code point `at` falls inside a run of `line` that
// ICU allows no break in and that is longer than `n`.
bool InsideUnbreakableRun(const Line& line, const std::vector<bool>& allowed, std::size_t at,
                          std::size_t n) {
  std::size_t first = at - 1;
  while (first > 0 && !allowed[line.unitOf[first]]) --first;
  std::size_t end = at + 1;
  while (end < line.codePoints.size() && !allowed[line.unitOf[end]]) ++end;
  return end - first > n;
}

// Each pair of a forbidden cut: how often, and the first place it was seen.
struct PairSeen {
  std::size_t times = 0;
  std::string example;
};
using PairCounts = std::map<std::string, PairSeen>;

// The cut before code point `at` of `line`, counted into `count`, and its
// pair into `pairs` when given and the rules could have avoided it.
void CountCut(const Line& line, const std::vector<bool>& allowed, std::size_t at, std::size_t n,
              Count& count, PairCounts* pairs) {
  ++count.cuts;
  if (allowed[line.unitOf[at]]) return;
  ++count.forbidden;
  const bool fitting = !InsideUnbreakableRun(line, allowed, at, n);
  count.fitting += fitting ? 1 : 0;
  if (InsideLongWord(line, at, n)) {
    ++count.longWords;
  } else if (!fitting) {
    ++count.unbreakable;
  } else if (AtBoundWordEdge(line, allowed, at, n)) {
    ++count.wordEdges;
  }
  if (pairs == nullptr || !fitting) return;
  PairSeen& seen = (*pairs)[Utf8(line.codePoints[at - 1]) + "|" + Utf8(line.codePoints[at])];
  if (seen.times++ != 0) return;
  for (std::size_t i = at > 12 ? at - 12 : 0; i < std::min(line.codePoints.size(), at + 6); ++i) {
    if (i == at) seen.example += "|";
    seen.example += Utf8(line.codePoints[i]);
  }
}

// The cuts of every line longer than `n` under `kinsoku`; the pairs of the
// forbidden ones are counted into `pairs` when given.
Count CountCuts(icu::BreakIterator& breaker, const std::vector<Line>& lines, std::size_t n,
                Kinsoku kinsoku, PairCounts* pairs) {
  Count count;
  for (const Line& line : lines) {
    if (line.codePoints.size() <= n) continue;
    const std::vector<bool> allowed = AllowedBreaks(breaker, line);
    // A column's start is the cut before it; vanished spaces lie between.
    ForEachSegment(
        line.codePoints.size(), n, kinsoku, [&](std::size_t i) { return line.codePoints[i]; },
        [&](const Segment& segment) {
          if (segment.start != 0) CountCut(line, allowed, segment.start, n, count, pairs);
        });
  }
  return count;
}

void PrintMostFrequent(const PairCounts& pairs) {
  std::vector<std::pair<std::size_t, std::string>> sorted;
  sorted.reserve(pairs.size());
  for (const auto& [pair, seen] : pairs) sorted.emplace_back(seen.times, pair);
  std::sort(sorted.rbegin(), sorted.rend());
  sorted.resize(std::min<std::size_t>(sorted.size(), 40));
  for (const auto& [times, pair] : sorted) {
    std::printf("%6zu  %s  %s\n", times, pair.c_str(), pairs.at(pair).example.c_str());
  }
}

double Percent(std::size_t part, std::size_t whole) {
  return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

void Report(icu::BreakIterator& breaker, const char* name, const std::vector<Line>& lines,
            bool listPairs) {
  std::size_t characters = 0;
  for (const Line& line : lines) characters += line.codePoints.size();
  std::printf("== %s: %zu lines of prose, %zu characters\n", name, lines.size(), characters);
  std::printf("%-8s %-6s %8s %10s %9s  %10s %11s %10s  %9s %9s  %8s %9s\n", "columns", "rule",
              "cuts", "forbidden", "share", "long words", "unbreakable", "word edges", "avoidable",
              "share", "fitting", "share");
  const std::pair<Kinsoku, const char*> rules[] = {
      {Kinsoku::kNone, "none"}, {Kinsoku::kHang, "hang"}, {Kinsoku::kPushOut, "push"}};
  PairCounts pairs;
  for (const std::size_t n : {std::size_t{10}, std::size_t{20}, std::size_t{40}}) {
    for (const auto& [kinsoku, rule] : rules) {
      const bool counted = listPairs && kinsoku != Kinsoku::kNone;
      const Count count = CountCuts(breaker, lines, n, kinsoku, counted ? &pairs : nullptr);
      std::printf("%-8zu %-6s %8zu %10zu %8.3f%%  %10zu %11zu %10zu  %9zu %8.3f%%  %8zu %8.3f%%\n",
                  n, rule, count.cuts, count.forbidden, Percent(count.forbidden, count.cuts),
                  count.longWords, count.unbreakable, count.wordEdges, count.Avoidable(),
                  Percent(count.Avoidable(), count.cuts), count.fitting,
                  Percent(count.fitting, count.cuts));
    }
  }
  if (listPairs) PrintMostFrequent(pairs);
}

int Run(bool listPairs, const char* mixedPath) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> breaker(
      icu::BreakIterator::createLineInstance(icu::Locale("ja@lb=strict"), status));
  if (U_FAILURE(status) != 0) {
    std::fprintf(stderr, "ICU's line breaker: %s\n", u_errorName(status));
    return 1;
  }
  Report(*breaker, "The Debian Reference", ProseLines(ReferenceAsIs().text), listPairs);
  IoResult<std::u16string> mixed = ReadUtf8Text(mixedPath);
  if (!mixed) {
    std::fprintf(stderr, "%s: %s (scripts/make_messages_corpus.sh makes it)\n", mixedPath,
                 mixed.error().Reason().c_str());
    return 1;
  }
  Report(*breaker, mixedPath, ProseLines(mixed.value()), listPairs);
  return 0;
}

}  // namespace
}  // namespace mirotabe::bench

int main(int argc, char** argv) {
  int arg = 1;
  const bool listPairs = argc > arg && std::strcmp(argv[arg], "--pairs") == 0;
  if (listPairs) ++arg;
  const char* mixed = argc > arg ? argv[arg] : MIROTABE_MIXED_TEXT;
  return mirotabe::bench::Run(listPairs, mixed);
}
