// How a line's half-width Latin and digits are set in pictures and pages:
// the runs that the layout measures its columns by and that the drawing
// plan draws, said once so that both agree on every column.
//
// A Latin run is a stretch of the input's printable ASCII, the spaces at
// its ends left out: a word, a number with its separators, a URL, several
// words with the spaces between them. Under Typesetting:
// - a run of only digits, at most tcyDigits of them, is set upright in one
//   cell, side by side (縦中横), as are !? ?? !! ?! when tcyDigits is 2 or
//   more. A digit inside a longer run ("3.14", "A4", "2023") is not: the
//   run is read as the one word it is;
// - under LatinSetting::kSideways any other run is set turned a quarter
//   turn clockwise, each character at its own advance, the spaces inside
//   it included;
// - everything else takes one full-width cell a character: Japanese text,
//   and under kCells the Latin and its spaces as well. Under kSideways a
//   half-width space outside a run (at a run's ends, or between Japanese
//   words) keeps its own width as the words beside it do, so that a typed
//   space does not open a full-width gap in the column.
// Text outside the ASCII range (full-width letters and digits, which the
// writer chose) is never part of a run.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/layout_settings.h"
#include "unicode/utf16.h"

namespace mirotabe {

enum class RunKind : std::uint8_t {
  kCell,      // one character, a full-width cell
  kTcy,       // upright side by side in one cell
  kSideways,  // turned, at the characters' own advances
};

// Units [start, end) of a text, and how they are set.
struct InlineRun {
  std::size_t start = 0;
  std::size_t end = 0;
  RunKind kind = RunKind::kCell;
  friend bool operator==(const InlineRun&, const InlineRun&) = default;
};

inline bool IsLatinText(char16_t u) {
  return u >= 0x20 && u < 0x7F;
}
inline bool IsLatinInk(char16_t u) {
  return u > 0x20 && u < 0x7F;
}

// Whether `u`, set in a cell run of its own, takes its own advance rather
// than a full-width cell (see above).
inline bool IsSpaceAtItsWidth(char16_t u, const Typesetting& typesetting) {
  return u == u' ' && typesetting.latin == LatinSetting::kSideways;
}

// The space between a sideways run and a kanji or kana that touches it,
// in thousandths of an em: the quarter em that Japanese typesetting puts
// between Japanese and Western words where the writer typed no space.
inline constexpr std::uint32_t kScriptSpace = kEm / 4;

struct RunSpacing {
  std::uint32_t before = 0;
  std::uint32_t after = 0;
};

// The spaces before and after `run`, one of the runs of units [from, to)
// of `text`: kScriptSpace on each side of a sideways run that a kanji or
// kana within [from, to) touches, none elsewhere (縦中横 stands in a cell
// as a kanji does; punctuation and spaces keep their own room).
RunSpacing SpacingAround(std::u16string_view text, const InlineRun& run, std::size_t from,
                         std::size_t to);

// Whether `run` (printable ASCII, no spaces at its ends) is set in one
// cell under `tcyDigits`.
bool IsTcyRun(std::u16string_view run, std::uint8_t tcyDigits);

// The length of run `run` along the column, in thousandths of an em.
std::uint32_t RunAdvance(std::u16string_view text, const InlineRun& run,
                         const Typesetting& typesetting);

namespace inline_runs_detail {

// The stretch of printable ASCII around a unit: its ink is [inkFirst,
// inkLast) (the spaces at its ends take cells), and a column that ends at
// `to` stops at `stop`.
struct LatinStretch {
  std::size_t inkFirst = 0;
  std::size_t inkLast = 0;
  std::size_t stop = 0;
};

// The stretch around unit `at` of `text` for the column [from, to), looking
// past the column's ends only as far as a run could still be 縦中横.
LatinStretch LatinStretchAround(std::u16string_view text, std::size_t at, std::size_t from,
                                std::size_t to);

// Emits the runs of `stretch` from unit `at` on, and returns the unit after
// them.
template <typename Emit>
std::size_t EmitLatinStretch(std::u16string_view text, std::size_t at, const LatinStretch& stretch,
                             const Typesetting& typesetting, Emit& emit) {
  const auto cells = [&](std::size_t end) {
    for (; at < end; ++at) emit(InlineRun{at, at + 1, RunKind::kCell});
  };
  cells(std::min(stretch.stop, stretch.inkFirst));
  if (at < stretch.stop && at < stretch.inkLast) {
    const std::size_t end = std::min(stretch.inkLast, stretch.stop);
    const std::u16string_view ink =
        text.substr(stretch.inkFirst, stretch.inkLast - stretch.inkFirst);
    if (IsTcyRun(ink, typesetting.tcyDigits)) {
      emit(InlineRun{at, end, RunKind::kTcy});
      at = end;
    } else if (typesetting.latin == LatinSetting::kSideways) {
      emit(InlineRun{at, end, RunKind::kSideways});
      at = end;
    }
  }
  cells(stretch.stop);
  return at;
}

}  // namespace inline_runs_detail

// Calls emit(InlineRun) for the units [from, to) of `text` in order: a kCell
// run for each code point, and the Latin runs clipped to [from, to). The
// units around [from, to) (up to a line's end, a CR or LF) decide the
// runs that [from, to) cuts through, as they did for the whole line.
template <typename Emit>
void ForEachInlineRun(std::u16string_view text, std::size_t from, std::size_t to,
                      const Typesetting& typesetting, Emit&& emit) {
  std::size_t i = from;
  while (i < to) {
    const char16_t u = text[i];
    if (typesetting.On() && IsLatinText(u)) {
      i = inline_runs_detail::EmitLatinStretch(
          text, i, inline_runs_detail::LatinStretchAround(text, i, from, to), typesetting, emit);
      continue;
    }
    const bool pair = IsHighSurrogate(u) && i + 1 < to && IsLowSurrogate(text[i + 1]);
    const std::size_t next = i + (pair ? 2 : 1);
    emit(InlineRun{i, next, RunKind::kCell});
    i = next;
  }
}

// The advance of each code point of units [start, end) of `text`, a line,
// in thousandths of an em, into `out`: a cell's em, 縦中横's em on its
// first digit and nothing on the others, a sideways character its own,
// and the space before a sideways run (see SpacingAround) on its first
// letter, the one after it on the character after it. Counted along the
// line, these spaces are never less than a column cut from it sets.
void LineAdvances(std::u16string_view text, std::size_t start, std::size_t end,
                  const Typesetting& typesetting, std::vector<std::uint32_t>& out);

// How much a column holds when each code point takes the advance that its
// run gives it (see LineAdvances): `cells` full-width cells. The room is
// counted in cells, as CellFit counts it, so that the rules that take a
// share of a column (how far a cut moves back) move it as far in both.
// A run set in one cell is never cut: its digits after the first take no
// room here, but a column that started with one would set it in a cell of
// its own.
struct RunFit {
  std::size_t cells = 0;
  const std::vector<std::uint32_t>* advances = nullptr;
  std::size_t Room() const { return cells; }
  bool JoinsPrevious(std::size_t i) const {
    return i > 0 && i < advances->size() && (*advances)[i] == 0;
  }
  template <typename At>
  std::size_t End(std::size_t start, std::size_t length, std::size_t limit, const At&) const {
    const std::size_t room = limit * kEm;
    std::size_t end = start;
    for (std::size_t taken = 0; end < length; ++end) {
      taken += (*advances)[end];
      if (taken > room && end > start) break;
    }
    return end;
  }
};

}  // namespace mirotabe
