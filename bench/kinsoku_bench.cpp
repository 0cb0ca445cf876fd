// How well the line-breaking rules cut real text: the columns that a long
// line is cut into, checked against ICU's strict Japanese line breaker
// (UAX #14 with CLDR's ja@lb=strict), which says between which characters a
// typesetter may break. Counts, per column length and rule, the cuts the
// layout makes and those ICU allows no break at, on the lines of the
// reference text that are mostly Japanese, with their blanks removed and
// mapped to full width as the layout maps them. With --pairs, lists the
// character pairs of the forbidden cuts, most frequent first.
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

namespace mirotabe::bench {
namespace {

bool IsJapanese(char32_t c) {
  return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF);
}

struct Line {
  std::u16string units;
  std::vector<std::size_t> unitOf;  // code point i starts at unitOf[i]
  std::u32string codePoints;
};

// The lines of the reference with more Japanese characters than others,
// blanks removed, in full width.
std::vector<Line> JapaneseLines() {
  std::vector<Line> lines;
  const std::u16string& text = ReferenceAsIs().text;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find(u"\r\n", start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string raw;
    for (std::size_t i = start; i < end; ++i) {
      if (text[i] != u' ' && text[i] != u'\u3000' && text[i] != u'\t') raw.push_back(text[i]);
    }
    Line line;
    line.units = ToFullWidth(raw);
    std::size_t japanese = 0;
    for (std::size_t unit = 0; unit < line.units.size();) {
      const CodePoint c = CodePointAt(line.units, unit);
      line.unitOf.push_back(unit);
      line.codePoints.push_back(c.value);
      japanese += IsJapanese(c.value) ? 1 : 0;
      unit += c.units;
    }
    if (2 * japanese > line.codePoints.size()) lines.push_back(std::move(line));
    start = end + 2;
  }
  return lines;
}

struct Count {
  std::size_t cuts = 0;
  std::size_t forbidden = 0;
};

// The break opportunities ICU finds in `line`, by unit offset.
std::vector<bool> AllowedBreaks(icu::BreakIterator& breaker, const Line& line) {
  std::vector<bool> allowed(line.units.size() + 1, false);
  // Read-only aliasing: ICU reads the line where it is.
  const icu::UnicodeString text(UBool{0}, line.units.data(),
                                static_cast<int32_t>(line.units.size()));
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

using PairCounts = std::map<std::string, std::size_t>;

// The cuts of every line longer than `n` under `kinsoku`; the pairs of the
// forbidden ones are counted into `pairs` when given.
Count CountCuts(icu::BreakIterator& breaker, const std::vector<Line>& lines, std::size_t n,
                Kinsoku kinsoku, PairCounts* pairs) {
  Count count;
  for (const Line& line : lines) {
    if (line.codePoints.size() <= n) continue;
    const std::vector<bool> allowed = AllowedBreaks(breaker, line);
    std::size_t at = 0;
    ForEachSegment(
        line.codePoints.size(), n, kinsoku, [&](std::size_t i) { return line.codePoints[i]; },
        [&](std::size_t cells) {
          at += cells;
          if (at == line.codePoints.size()) return;
          ++count.cuts;
          if (allowed[line.unitOf[at]]) return;
          ++count.forbidden;
          if (pairs != nullptr) {
            ++(*pairs)[Utf8(line.codePoints[at - 1]) + "|" + Utf8(line.codePoints[at])];
          }
        });
  }
  return count;
}

void PrintMostFrequent(const PairCounts& pairs) {
  std::vector<std::pair<std::size_t, std::string>> sorted;
  sorted.reserve(pairs.size());
  for (const auto& [pair, times] : pairs) sorted.emplace_back(times, pair);
  std::sort(sorted.rbegin(), sorted.rend());
  sorted.resize(std::min<std::size_t>(sorted.size(), 40));
  for (const auto& [times, pair] : sorted) std::printf("%6zu  %s\n", times, pair.c_str());
}

int Run(bool listPairs) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> breaker(
      icu::BreakIterator::createLineInstance(icu::Locale("ja@lb=strict"), status));
  if (U_FAILURE(status) != 0) {
    std::fprintf(stderr, "ICU's line breaker: %s\n", u_errorName(status));
    return 1;
  }
  const std::vector<Line> lines = JapaneseLines();
  std::printf("%zu lines of mostly Japanese\n", lines.size());
  std::printf("%-8s %-6s %10s %10s %9s\n", "columns", "rule", "cuts", "forbidden", "share");
  const std::pair<Kinsoku, const char*> rules[] = {
      {Kinsoku::kNone, "none"}, {Kinsoku::kHang, "hang"}, {Kinsoku::kPushOut, "push"}};
  PairCounts pairs;
  for (const std::size_t n : {std::size_t{10}, std::size_t{20}}) {
    for (const auto& [kinsoku, name] : rules) {
      const bool counted = listPairs && kinsoku != Kinsoku::kNone;
      const Count count = CountCuts(*breaker, lines, n, kinsoku, counted ? &pairs : nullptr);
      const double share = count.cuts == 0 ? 0.0
                                           : 100.0 * static_cast<double>(count.forbidden) /
                                                 static_cast<double>(count.cuts);
      std::printf("%-8zu %-6s %10zu %10zu %8.3f%%\n", n, name, count.cuts, count.forbidden, share);
    }
  }
  if (listPairs) PrintMostFrequent(pairs);
  return 0;
}

}  // namespace
}  // namespace mirotabe::bench

int main(int argc, char** argv) {
  const bool listPairs = argc > 1 && std::strcmp(argv[1], "--pairs") == 0;
  return mirotabe::bench::Run(listPairs);
}
