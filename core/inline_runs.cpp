#include "core/inline_runs.h"

#include <array>

#include "core/code_points.h"
#include "core/ruby_notation.h"

namespace mirotabe {

bool IsTcyRun(std::u16string_view run, std::uint8_t tcyDigits) {
  if (run.empty() || run.size() > tcyDigits) return false;
  if (std::all_of(run.begin(), run.end(), [](char16_t u) { return u >= u'0' && u <= u'9'; })) {
    return true;
  }
  // The doubled marks of exclamation and question that 縦中横 sets with
  // numbers; a longer mix stays Latin.
  static constexpr std::array<std::u16string_view, 4> kMarks = {u"!?", u"??", u"!!", u"?!"};
  return tcyDigits >= 2 && std::find(kMarks.begin(), kMarks.end(), run) != kMarks.end();
}

namespace inline_runs_detail {

// How far a column looks past its ends into the line for the run it cuts
// through. A run longer than this is too long for 縦中横 whatever lies
// beyond, so looking further would not change how it is set, and would
// cost each column of a long line the whole line.
constexpr std::size_t kLook = 64;

LatinStretch LatinStretchAround(std::u16string_view text, std::size_t at, std::size_t from,
                                std::size_t to) {
  std::size_t first = at;
  const std::size_t back = from > kLook ? from - kLook : 0;
  while (first > back && IsLatinText(text[first - 1])) --first;
  std::size_t last = at;
  while (last < text.size() && last < to + kLook && IsLatinText(text[last])) ++last;
  LatinStretch stretch;
  stretch.inkFirst = first;
  while (stretch.inkFirst < last && !IsLatinInk(text[stretch.inkFirst])) ++stretch.inkFirst;
  stretch.inkLast = last;
  while (stretch.inkLast > stretch.inkFirst && !IsLatinInk(text[stretch.inkLast - 1])) {
    --stretch.inkLast;
  }
  stretch.stop = std::min(last, to);
  return stretch;
}

}  // namespace inline_runs_detail

namespace {

bool IsKanjiOrKana(char32_t c) {
  return IsRubyBaseKanji(c) || (c >= U'\u3041' && c <= U'\u3096') ||
         (c >= U'\u309D' && c <= U'\u309F') || (c >= U'\u30A1' && c <= U'\u30FA') ||
         (c >= U'\u30FC' && c <= U'\u30FF');
}

}  // namespace

RunSpacing SpacingAround(std::u16string_view text, const InlineRun& run, std::size_t from,
                         std::size_t to) {
  RunSpacing spacing;
  if (run.kind != RunKind::kSideways) return spacing;
  if (run.start > from) {
    std::size_t before = run.start - 1;
    if (before > from && IsLowSurrogate(text[before]) && IsHighSurrogate(text[before - 1])) {
      --before;
    }
    if (IsKanjiOrKana(CodePointAt(text, before).value)) spacing.before = kScriptSpace;
  }
  if (run.end < to && IsKanjiOrKana(CodePointAt(text, run.end).value)) {
    spacing.after = kScriptSpace;
  }
  return spacing;
}

std::uint32_t RunAdvance(std::u16string_view text, const InlineRun& run,
                         const Typesetting& typesetting) {
  if (run.kind == RunKind::kTcy) return kEm;
  if (run.kind == RunKind::kCell) {
    return IsSpaceAtItsWidth(text[run.start], typesetting) ? typesetting.advances.Of(u' ') : kEm;
  }
  std::uint32_t advance = 0;
  for (std::size_t i = run.start; i < run.end; ++i) advance += typesetting.advances.Of(text[i]);
  return advance;
}

void LineAdvances(std::u16string_view text, std::size_t start, std::size_t end,
                  const Typesetting& typesetting, std::vector<std::uint32_t>& out) {
  out.clear();
  // The space after a sideways run goes on the kanji or kana after it, and
  // the one before on the run's first letter: each on the later side, so
  // that a column that ends where the space stands counts none.
  std::uint32_t after = 0;
  ForEachInlineRun(text, start, end, typesetting, [&](const InlineRun& run) {
    switch (run.kind) {
      case RunKind::kCell:
        out.push_back(RunAdvance(text, run, typesetting) + after);
        break;
      case RunKind::kTcy:
        out.push_back(kEm);
        out.insert(out.end(), run.end - run.start - 1, 0);
        break;
      case RunKind::kSideways: {
        const RunSpacing spacing = SpacingAround(text, run, start, end);
        for (std::size_t i = run.start; i < run.end; ++i) {
          out.push_back(typesetting.advances.Of(text[i]) + (i == run.start ? spacing.before : 0));
        }
        after = spacing.after;
        return;
      }
    }
    after = 0;
  });
}

}  // namespace mirotabe
