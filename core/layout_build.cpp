// Building a layout whole: the text prepared, split into lines, cut and
// spaced into columns, and the cells of the Type 0 entries put in place.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

#include "core/code_points.h"
#include "core/column_segments.h"
#include "core/inline_runs.h"
#include "core/layout_builder.h"
#include "core/prepare_text.h"
#include "core/ruby_spacing.h"
#include "core/vertical_layout.h"
#include "unicode/simd_scan.h"

namespace mirotabe {
namespace {

// Lines laid out again by updates go behind the text, into at least this
// much room.
constexpr std::size_t kUpdateRoom = std::size_t{64} * 1024;

// Adds to the first cell of each of `bases` the length that the
// characters in `readings` may need beyond it in a column of `cells`, so
// that a column holds its bases as the pages and pictures space them out:
// by whole cells where `spacing` says so.
void AddRubyExtras(const std::vector<Segment>& bases, const std::vector<std::size_t>& readings,
                   std::size_t cells, LongRubySpacing spacing,
                   std::vector<std::uint32_t>& advances) {
  for (std::size_t k = 0; k < bases.size(); ++k) {
    const auto first = advances.begin() + static_cast<std::ptrdiff_t>(bases[k].start);
    const std::uint32_t base =
        std::accumulate(first, first + static_cast<std::ptrdiff_t>(bases[k].cells), 0U);
    *first += RubyExtraAdvance(readings[k], base, static_cast<std::uint32_t>(cells * kEm),
                               spacing == LongRubySpacing::kByCells);
  }
}

}  // namespace

LayoutResult LayoutBuilder::Build(PreparedText&& prepared, EntryRanges&& written,
                                  VerticalLayout&& layout, const LayoutRules& rules,
                                  std::size_t maxCells, const std::u16string_view* input) {
  if (const auto* tooLong = std::get_if<TextTooLong>(&prepared)) {
    return LayoutTooLarge{0, 0, maxCells, tooLong->units};
  }
  const LayoutSettings& settings = rules.columns;
  layout.columns_.clear();
  layout.unitOffsets_.clear();
  layout.lineColumns_ = {};
  layout.replacedInPlace_ = false;
  layout.basis_.reset();
  layout.change_ = {};
  layout.spacing_ = std::size_t{1} + settings.columnGap;
  layout.typesetting_ = settings.typesetting;
  layout.columnLength_ = settings.columnLength;
  layout.prepared_ = std::move(std::get<std::u16string>(prepared));
  layout.written_ = std::move(written);
  layout.standingOutputs_.clear();
  layout.ruby_ = {};
  if (settings.ruby) {
    layout.ruby_ = TakeOutRubyMarks(layout.prepared_);
    if (!layout.written_.empty() && !layout.ruby_.removed.empty()) {
      layout.written_.Remove(layout.ruby_.removed);
    }
    std::vector<std::size_t>().swap(layout.ruby_.removed);
  }
  SplitLines(layout);
  // An update lays out the lines an edit touched; a mark's reading is
  // found again only by reading the whole text.
  if (input != nullptr && !settings.ruby) KeepBasis(layout, *input, rules);
  if (settings.columnLength != 0 || settings.columnGap != 0) {
    std::vector<Column> lines = std::move(layout.columns_);
    layout.columns_ = {};
    std::vector<std::size_t> lineColumns;
    ArrangeColumns(layout, lines, settings, layout.columns_, lineColumns, true);
    if (settings.columnLength != 0) layout.lineColumns_ = PrefixSums(std::move(lineColumns));
  }
  CountRows(layout);
  if (const auto tooLarge = TooLarge(layout, maxCells)) return *tooLarge;
  // Within the room that PrepareTextInto left, unless the text grew.
  layout.prepared_.append(kGridReadAhead, kBlankCell);
  layout.replacements_ = CellReplacements(rules.table);
  // Typeset layouts keep the text's own characters, which the drawing
  // reads its runs from.
  if (layout.IsGrid() && !layout.replacements_.empty() && !settings.typesetting.On()) {
    ReplaceInPlace(layout, layout.columns_);
    layout.replacedInPlace_ = true;
  }
  return std::move(layout);
}

std::optional<LayoutTooLarge> LayoutBuilder::TooLarge(const VerticalLayout& layout,
                                                      std::size_t maxCells) {
  const std::size_t lines = layout.columns_.size();
  const std::size_t longest = layout.rows_;
  if (longest != 0 && lines > maxCells / longest) return LayoutTooLarge{lines, longest, maxCells};
  return std::nullopt;
}

void LayoutBuilder::CountRows(VerticalLayout& layout) {
  layout.rows_ = 0;
  std::size_t longest = 0;
  for (const Column& column : layout.columns_) {
    if (column.cells > layout.rows_) {
      layout.rows_ = column.cells;
      longest = 0;
    }
    if (column.cells == layout.rows_) ++longest;
  }
  if (layout.basis_) layout.basis_->longest = longest;
}

void LayoutBuilder::KeepBasis(VerticalLayout& layout, std::u16string_view input,
                              const LayoutRules& rules) {
  for (const SwapEntry& entry : rules.table) {
    if (entry.kind != SwapKind::kWholeText) continue;
    for (const std::u16string_view part :
         {std::u16string_view(entry.from), std::u16string_view(entry.to)}) {
      if (part.find_first_of(u"\r\n") != std::u16string_view::npos) return;
    }
  }
  std::vector<std::size_t> units;
  units.reserve(layout.columns_.size());
  std::size_t start = 0;
  for (std::size_t at = scan::FindUnit(input, u'\n', 0); at < input.size();
       at = scan::FindUnit(input, u'\n', at + 1)) {
    if (at == 0 || input[at - 1] != u'\r') continue;
    units.push_back(at + 1 - start);
    start = at + 1;
  }
  units.push_back(input.size() - start);
  if (units.size() != layout.columns_.size()) return;
  layout.basis_ = VerticalLayout::UpdateBasis{rules, PrefixSums(std::move(units)), 0};
}

void LayoutBuilder::SplitLines(VerticalLayout& layout, std::size_t from, std::size_t end,
                               std::vector<Column>& lines) {
  const std::u16string_view text = std::u16string_view(layout.prepared_).substr(from, end - from);
  const std::size_t size = text.size();
  // Only a CR and the first unit of a surrogate pair need a closer look;
  // the LF or low surrogate after them is never visited itself.
  std::size_t start = 0;
  std::size_t pairs = 0;
  scan::ForEachCrOrHighSurrogate(text, [&](std::size_t i) {
    if (text[i] == u'\r') {
      if (i + 1 < size && text[i + 1] == u'\n') {
        lines.push_back(LineOf(layout, from + start, from + i, pairs));
        start = i + 2;
        pairs = 0;
      }
    } else if (i + 1 < size && IsLowSurrogate(text[i + 1])) {
      ++pairs;
    }
  });
  lines.push_back(LineOf(layout, from + start, from + size, pairs));
}

void LayoutBuilder::SplitLines(VerticalLayout& layout) {
  // Each line but the last ends at an LF: reserving for them all spares
  // a large text the copies of a growing vector. A layout built again
  // keeps the room of the one before.
  if (layout.columns_.capacity() == 0) {
    layout.columns_.reserve(scan::CountUnit(layout.prepared_, u'\n') + 1);
  }
  SplitLines(layout, 0, layout.prepared_.size(), layout.columns_);
}

LayoutBuilder::Column LayoutBuilder::LineOf(VerticalLayout& layout, std::size_t start,
                                            std::size_t end, std::size_t pairs) {
  Column line{start, end - start - pairs, VerticalLayout::kNoOffsets};
  if (pairs != 0) {
    line.offsetsAt = layout.unitOffsets_.size();
    for (std::size_t unit = start; unit < end;) {
      layout.unitOffsets_.push_back(static_cast<std::uint32_t>(unit));
      unit += CodePointAt(layout.prepared_, unit).units;
    }
  }
  return line;
}

void LayoutBuilder::RubyBasesOf(const VerticalLayout& layout, const Column& line,
                                std::vector<RubySpan>::const_iterator& next,
                                std::vector<Segment>& bases, std::vector<std::size_t>& readings) {
  bases.clear();
  readings.clear();
  const std::vector<RubySpan>& ruby = layout.ruby_.spans;
  const std::size_t lineEnd =
      line.cells == 0 ? line.start : layout.UnitOf(line, line.cells - 1) + 1;
  for (; next != ruby.end() && next->baseBegin < lineEnd; ++next) {
    if (next->baseBegin < line.start) continue;
    const std::size_t begin = layout.CellOfUnit(line, next->baseBegin);
    bases.push_back(Segment{begin, layout.CellOfUnit(line, next->baseEnd - 1) + 1 - begin});
    readings.push_back(
        ReadingCharacters(std::u16string_view(layout.ruby_.readings)
                              .substr(next->readingBegin, next->readingEnd - next->readingBegin)));
  }
}

void LayoutBuilder::ArrangeColumns(const VerticalLayout& layout, const std::vector<Column>& lines,
                                   const LayoutSettings& settings, std::vector<Column>& columns,
                                   std::vector<std::size_t>& lineColumns, bool lastIsLast) {
  const std::size_t n = settings.columnLength;
  std::size_t segments = 0;
  for (const Column& line : lines) {
    segments += n == 0 || line.cells <= n ? 1 : line.cells / (n > 1 ? n - 1 : 1) + 1;
  }
  columns.reserve(columns.size() + segments * (std::size_t{1} + settings.columnGap));
  if (n != 0) lineColumns.reserve(lines.size());
  const std::u16string_view text = layout.prepared_;
  const Typesetting& typesetting = settings.typesetting;
  std::vector<std::uint32_t> advances;
  auto nextBase = layout.ruby_.spans.cbegin();
  std::vector<Segment> bases;
  std::vector<std::size_t> readings;
  bool first = true;
  for (const Column& line : lines) {
    std::size_t count = 0;
    RubyBasesOf(layout, line, nextBase, bases, readings);
    const bool spaceRuby = typesetting.spaceLongRuby != LongRubySpacing::kNone && !bases.empty();
    const auto at = [&](std::size_t i) { return CodePointAt(text, layout.UnitOf(line, i)).value; };
    const auto emit = [&](const Segment& segment) {
      if (!first) columns.insert(columns.end(), settings.columnGap, Column{});
      first = false;
      const bool offsets = line.offsetsAt != VerticalLayout::kNoOffsets;
      columns.push_back(Column{
          segment.cells == 0 ? line.start : layout.UnitOf(line, segment.start), segment.cells,
          offsets ? line.offsetsAt + segment.start : VerticalLayout::kNoOffsets});
      ++count;
    };
    if (n != 0 && (typesetting.On() || spaceRuby) && line.cells != 0) {
      // Columns of pictures and pages hold what fits by advance.
      const std::size_t last = layout.UnitOf(line, line.cells - 1);
      LineAdvances(text, line.start, last + CodePointAt(text, last).units, typesetting, advances);
      if (spaceRuby) AddRubyExtras(bases, readings, n, typesetting.spaceLongRuby, advances);
      ForEachFittedSegmentKeeping(line.cells, RunFit{n, &advances}, settings.kinsoku, at, bases,
                                  emit);
    } else {
      ForEachSegmentKeeping(line.cells, n, settings.kinsoku, at, bases, emit);
    }
    if (n != 0) lineColumns.push_back(count);
  }
  if (!lastIsLast) columns.insert(columns.end(), settings.columnGap, Column{});
}

void LayoutBuilder::ReplaceInPlace(VerticalLayout& layout, const std::vector<Column>& lines) {
  const CellReplacements& replacements = layout.replacements_;
  const std::u16string_view standing = replacements.StandingOutputs();
  if (standing.empty()) {
    for (const Column& line : lines) {
      char16_t* const begin = layout.prepared_.data() + line.start;
      for (char16_t* unit = begin; unit != begin + line.cells; ++unit) {
        *unit = replacements.SingleUnitCell(*unit);
      }
    }
    return;
  }
  // The places of the standing outputs are kept as the cells are replaced,
  // a few of them looked for eight units at a time.
  const scan::AnyUnits few(standing);
  const bool eightAtATime = standing.size() <= kMaxAnyUnits;
  std::vector<std::size_t>& kept = layout.standingOutputs_;
  for (const Column& line : lines) {
    char16_t* const units = layout.prepared_.data() + line.start;
    std::size_t i = 0;
    if (eightAtATime) {
      for (; i + 8 <= line.cells; i += 8) {
        for (unsigned hits = few.Mask8(units + i); hits != 0; hits &= hits - 1) {
          kept.push_back(line.start + i + static_cast<std::size_t>(std::countr_zero(hits)));
        }
        for (std::size_t k = i; k < i + 8; ++k) units[k] = replacements.SingleUnitCell(units[k]);
      }
    }
    for (; i < line.cells; ++i) {
      if (replacements.IsStandingOutput(units[i])) kept.push_back(line.start + i);
      units[i] = replacements.SingleUnitCell(units[i]);
    }
  }
}

LayoutResult BuildVerticalLayout(std::u16string_view input, const LayoutRules& rules,
                                 std::size_t maxCells) {
  if (input.empty()) return VerticalLayout{};
  EntryRanges written;
  PreparedText prepared =
      PrepareTextInto(input, {}, kGridReadAhead, rules, &written, PreparedUnitsBound(maxCells));
  return LayoutBuilder::Build(std::move(prepared), std::move(written), VerticalLayout{}, rules,
                              maxCells);
}

LayoutResult BuildVerticalLayoutInPlace(std::u16string&& input, const LayoutRules& rules,
                                        std::size_t maxCells) {
  if (input.empty()) return VerticalLayout{};
  EntryRanges written;
  PreparedText prepared =
      PrepareOwnedText(std::move(input), rules, &written, PreparedUnitsBound(maxCells));
  return LayoutBuilder::Build(std::move(prepared), std::move(written), VerticalLayout{}, rules,
                              maxCells);
}

LayoutResult RebuildVerticalLayout(VerticalLayout&& previous, std::u16string_view input,
                                   const LayoutRules& rules, std::size_t maxCells) {
  if (input.empty()) return VerticalLayout{};
  // Room for the lines that updates lay out again.
  const std::size_t spare = kGridReadAhead + input.size() / 8 + kUpdateRoom;
  EntryRanges written;
  PreparedText prepared = PrepareTextInto(input, std::move(previous.prepared_), spare, rules,
                                          &written, PreparedUnitsBound(maxCells));
  return LayoutBuilder::Build(std::move(prepared), std::move(written), std::move(previous), rules,
                              maxCells, &input);
}

}  // namespace mirotabe
