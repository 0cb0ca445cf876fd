#include "core/vertical_layout.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/code_points.h"
#include "core/column_segments.h"
#include "core/prepare_text.h"
#include "platform/charset.h"
#include "unicode/simd_scan.h"

namespace mirotabe {
namespace {

constexpr std::u16string_view kBlank = u"\u3000";
constexpr std::u16string_view kLineBreak = u"\r\n";

// Rows are written in bands of this many, eight lines at a time: one
// cache line of a row takes the cells of four such groups, so the lines
// that one group writes down a band are still in the cache when the next
// three groups fill them beside it.
constexpr std::size_t kBandRows = 1024;

// The grid is read eight units at a time, up to seven past a column's end.
constexpr std::size_t kGridReadAhead = 8;

// Lines laid out again by updates go behind the text, into at least this
// much room.
constexpr std::size_t kUpdateRoom = std::size_t{64} * 1024;

// Pieces of text handed out for streaming hold about this many units, and
// at least a block's rows.
constexpr std::size_t kPieceUnits = std::size_t{128} * 1024;
constexpr std::size_t kMinPieceRows = 8;

// A text in one piece, read as a GapText is read.
struct ViewSpans {
  std::u16string_view text;
  std::size_t size() const { return text.size(); }
  bool empty() const { return text.empty(); }
  std::u16string_view Span(std::size_t from, std::size_t to) const {
    return text.substr(from, to - from);
  }
  std::u16string_view Text() const { return text; }
};

}  // namespace

class LayoutBuilder {
 public:
  using Column = VerticalLayout::Column;

  // Lays out `prepared`, the input text as PrepareText makes it; `layout`
  // brings the memory of an earlier layout, or none. Given `input` (the
  // text before preparation), the layout keeps what an update needs.
  static LayoutResult Build(std::u16string&& prepared, VerticalLayout&& layout,
                            const SwapTable& table, const LayoutSettings& settings,
                            std::size_t maxCells, const std::u16string_view* input = nullptr,
                            std::uint8_t tabSpace = 0) {
    layout.columns_.clear();
    layout.unitOffsets_.clear();
    layout.lineColumns_ = {};
    layout.replacedInPlace_ = false;
    layout.basis_.reset();
    layout.change_ = {};
    layout.prepared_ = std::move(prepared);
    SplitLines(layout);
    if (input != nullptr) KeepBasis(layout, *input, tabSpace, table, settings);
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
    layout.replacements_ = CellReplacements(table);
    if (layout.IsGrid() && !layout.replacements_.empty()) {
      ReplaceInPlace(layout, layout.columns_);
      layout.replacedInPlace_ = true;
    }
    return std::move(layout);
  }

  // `input` is a text read in spans: its size(), Span(from, to) and Text().
  template <typename Text>
  static LayoutResult Update(VerticalLayout&& layout, const Text& input, const TextEdit& edit,
                             std::uint8_t tabSpace, const SwapTable& table,
                             const LayoutSettings& settings, std::size_t maxCells);

 private:
  // The unchanged lines around an edit, in input lines and units.
  struct Region {
    std::size_t start = 0;   // the first unit of its first line
    std::size_t newEnd = 0;  // the end of its last line's characters
    std::size_t firstLine = 0;
    std::size_t oldLines = 0;  // the lines it held before the edit
    bool atEnd = false;        // whether its last line is the text's last
  };

  template <typename Text>
  static std::optional<Region> FindRegion(const VerticalLayout& layout, const Text& input,
                                          const TextEdit& edit);
  static bool LayOutLines(VerticalLayout& layout, std::u16string_view changed, bool atEnd,
                          std::uint8_t tabSpace, const SwapTable& table, std::vector<Column>& lines,
                          std::vector<std::size_t>& inputUnits);
  static void SpliceColumns(VerticalLayout& layout, const Region& region,
                            const std::vector<Column>& columns,
                            const std::vector<std::size_t>& lineColumns,
                            const std::vector<std::size_t>& inputUnits,
                            const LayoutSettings& settings);

  static std::optional<LayoutTooLarge> TooLarge(const VerticalLayout& layout,
                                                std::size_t maxCells) {
    const std::size_t lines = layout.columns_.size();
    const std::size_t longest = layout.rows_;
    if (longest != 0 && lines > maxCells / longest) return LayoutTooLarge{lines, longest, maxCells};
    return std::nullopt;
  }

  static void CountRows(VerticalLayout& layout) {
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

  // Keeps the settings and the input lines' units, where the prepared
  // lines are the input lines, one for one: whole-text entries without
  // line breaks keep them so, unless one joins a lone CR to a lone LF.
  static void KeepBasis(VerticalLayout& layout, std::u16string_view input, std::uint8_t tabSpace,
                        const SwapTable& table, const LayoutSettings& settings) {
    for (const SwapEntry& entry : table) {
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
    layout.basis_ =
        VerticalLayout::UpdateBasis{tabSpace, table, settings, PrefixSums(std::move(units)), 0};
  }

  // Lines end at CR LF only: a lone CR or LF is a character of its line.
  // The lines of `layout.prepared_` in [from, end) go to `lines`.
  static void SplitLines(VerticalLayout& layout, std::size_t from, std::size_t end,
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

  static void SplitLines(VerticalLayout& layout) {
    // Each line but the last ends at an LF: reserving for them all spares
    // a large text the copies of a growing vector. A layout built again
    // keeps the room of the one before.
    if (layout.columns_.capacity() == 0) {
      layout.columns_.reserve(scan::CountUnit(layout.prepared_, u'\n') + 1);
    }
    SplitLines(layout, 0, layout.prepared_.size(), layout.columns_);
  }

  static Column LineOf(VerticalLayout& layout, std::size_t start, std::size_t end,
                       std::size_t pairs) {
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

  // Cuts `lines` into their segments, with the gaps between them, into
  // `columns`, and counts each line's columns. A segment is a column of its
  // own that starts further in; a gap is a column of no cells, which reads
  // as blank in every row. The last column is followed by gaps unless
  // `lastIsLast`.
  static void ArrangeColumns(const VerticalLayout& layout, const std::vector<Column>& lines,
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
    bool first = true;
    for (const Column& line : lines) {
      std::size_t cellsSoFar = 0;
      std::size_t count = 0;
      ForEachSegment(
          line.cells, n, settings.kinsoku,
          [&](std::size_t i) { return CodePointAt(text, layout.UnitOf(line, i)).value; },
          [&](std::size_t cells) {
            if (!first) columns.insert(columns.end(), settings.columnGap, Column{});
            first = false;
            const bool offsets = line.offsetsAt != VerticalLayout::kNoOffsets;
            columns.push_back(
                Column{cells == 0 ? line.start : layout.UnitOf(line, cellsSoFar), cells,
                       offsets ? line.offsetsAt + cellsSoFar : VerticalLayout::kNoOffsets});
            cellsSoFar += cells;
            ++count;
          });
      if (n != 0) lineColumns.push_back(count);
    }
    if (!lastIsLast) columns.insert(columns.end(), settings.columnGap, Column{});
  }

  // Every cell and every replaced cell is one unit here, so the cells can
  // be replaced once in the text instead of on every read.
  static void ReplaceInPlace(VerticalLayout& layout, const std::vector<Column>& lines) {
    const CellReplacements& replacements = layout.replacements_;
    for (const Column& line : lines) {
      char16_t* const begin = layout.prepared_.data() + line.start;
      for (char16_t* unit = begin; unit != begin + line.cells; ++unit) {
        *unit = replacements.SingleUnitCell(*unit);
      }
    }
  }
};

template <typename Text>
std::optional<LayoutBuilder::Region> LayoutBuilder::FindRegion(const VerticalLayout& layout,
                                                               const Text& input,
                                                               const TextEdit& edit) {
  const PrefixSums& lines = layout.basis_->inputLines;
  const std::size_t oldSize = lines.Total();
  const std::size_t size = input.size();
  if (edit.offset + edit.removed > oldSize || oldSize - edit.removed + edit.added != size) {
    return std::nullopt;
  }
  // A line break is decided by its two units alone, so the breaks wholly
  // before the edit and wholly after it stay. The text is read on either
  // side of the edit, which a text edited in place keeps together.
  Region region;
  if (edit.offset >= 2) {
    const std::size_t before = input.Span(0, edit.offset).rfind(kLineBreak);
    if (before != std::u16string_view::npos) region.start = before + kLineBreak.size();
  }
  const std::size_t editEnd = edit.offset + edit.added;
  const std::size_t after = input.Span(editEnd, size).find(kLineBreak);
  region.atEnd = after == std::u16string_view::npos;
  region.newEnd = region.atEnd ? size : editEnd + after;
  const std::size_t oldEnd = region.newEnd - edit.added + edit.removed;

  region.firstLine = region.start >= oldSize ? lines.size() - 1 : lines.IndexOf(region.start);
  const std::size_t lastLine = region.atEnd ? lines.size() - 1 : lines.IndexOf(oldEnd);
  if (lastLine < region.firstLine || lines.Before(region.firstLine) != region.start) {
    return std::nullopt;
  }
  const std::size_t lastEnd =
      lines.Before(lastLine) + lines[lastLine] - (region.atEnd ? 0 : kLineBreak.size());
  if (lastEnd != oldEnd) return std::nullopt;
  region.oldLines = lastLine - region.firstLine + 1;
  return region;
}

// Prepares the lines `changed` (whole input lines) again, as the whole
// text would be, behind the lines in use, into `lines`, with each one's
// input units; false where the update cannot be sound or has no room.
bool LayoutBuilder::LayOutLines(VerticalLayout& layout, std::u16string_view changed, bool atEnd,
                                std::uint8_t tabSpace, const SwapTable& table,
                                std::vector<Column>& lines, std::vector<std::size_t>& inputUnits) {
  // Whole-text entries never match across a line break here.
  const std::u16string prepared = PrepareText(changed, tabSpace, table);
  // The room runs out only after much typing, and a new layout then takes
  // back what is no longer used.
  const std::size_t base = layout.prepared_.size() - kGridReadAhead;
  if (base + prepared.size() + kGridReadAhead > layout.prepared_.capacity()) return false;
  layout.prepared_.erase(base);
  layout.prepared_.append(prepared);
  layout.prepared_.append(kGridReadAhead, kBlankCell);
  const std::size_t offsetsBefore = layout.unitOffsets_.size();
  SplitLines(layout, base, base + prepared.size(), lines);
  std::size_t start = 0;
  for (std::size_t at = changed.find(kLineBreak); at != std::u16string_view::npos;
       at = changed.find(kLineBreak, start)) {
    inputUnits.push_back(at + kLineBreak.size() - start);
    start = at + kLineBreak.size();
  }
  inputUnits.push_back(changed.size() - start + (atEnd ? 0 : kLineBreak.size()));
  // Cells replaced in the text must stay one unit each.
  return lines.size() == inputUnits.size() &&
         !(layout.replacedInPlace_ && layout.unitOffsets_.size() != offsetsBefore);
}

// Puts `columns`, the columns of the region's lines now, in place of the
// region's old ones, and keeps the rows and the counts up to date.
void LayoutBuilder::SpliceColumns(VerticalLayout& layout, const Region& region,
                                  const std::vector<Column>& columns,
                                  const std::vector<std::size_t>& lineColumns,
                                  const std::vector<std::size_t>& inputUnits,
                                  const LayoutSettings& settings) {
  VerticalLayout::UpdateBasis& basis = *layout.basis_;
  const std::size_t shownBefore = layout.ColumnCount();
  const std::size_t spacing = std::size_t{1} + settings.columnGap;
  const std::size_t first = layout.ColumnsBeforeLine(region.firstLine) * spacing;
  const std::size_t last =
      region.atEnd ? layout.columns_.size()
                   : layout.ColumnsBeforeLine(region.firstLine + region.oldLines) * spacing;
  for (std::size_t i = first; i < last; ++i) {
    if (layout.columns_[i].cells == layout.rows_) --basis.longest;
  }
  for (const Column& column : columns) {
    if (column.cells > layout.rows_) {
      layout.rows_ = column.cells;
      basis.longest = 0;
    }
    if (column.cells == layout.rows_) ++basis.longest;
  }
  const auto at = layout.columns_.begin();
  if (last - first == columns.size()) {
    std::copy(columns.begin(), columns.end(), at + static_cast<std::ptrdiff_t>(first));
  } else {
    layout.columns_.erase(at + static_cast<std::ptrdiff_t>(first),
                          at + static_cast<std::ptrdiff_t>(last));
    layout.columns_.insert(layout.columns_.begin() + static_cast<std::ptrdiff_t>(first),
                           columns.begin(), columns.end());
  }
  basis.inputLines.Replace(region.firstLine, region.oldLines, inputUnits);
  if (settings.columnLength != 0) {
    layout.lineColumns_.Replace(region.firstLine, region.oldLines, lineColumns);
  }
  if (basis.longest == 0) CountRows(layout);
  const std::size_t count = layout.columns_.size();
  layout.change_ =
      last - first == columns.size() && layout.ColumnCount() == shownBefore
          ? VerticalLayout::Change{false, count - first - columns.size(), columns.size()}
          : VerticalLayout::Change{};
}

template <typename Text>
LayoutResult LayoutBuilder::Update(VerticalLayout&& layout, const Text& input, const TextEdit& edit,
                                   std::uint8_t tabSpace, const SwapTable& table,
                                   const LayoutSettings& settings, std::size_t maxCells) {
  const VerticalLayout::UpdateBasis* basis = layout.basis_ ? &*layout.basis_ : nullptr;
  std::optional<Region> region;
  if (basis != nullptr && !input.empty() && basis->tabSpace == tabSpace && basis->table == table &&
      basis->settings == settings) {
    region = FindRegion(layout, input, edit);
  }
  std::vector<Column> lines;
  std::vector<std::size_t> inputUnits;
  if (!region || !LayOutLines(layout, input.Span(region->start, region->newEnd), region->atEnd,
                              tabSpace, table, lines, inputUnits)) {
    return RebuildVerticalLayout(std::move(layout), input.Text(), tabSpace, table, settings,
                                 maxCells);
  }
  std::vector<Column> columns;
  std::vector<std::size_t> lineColumns;
  if (settings.columnLength != 0 || settings.columnGap != 0) {
    ArrangeColumns(layout, lines, settings, columns, lineColumns, region->atEnd);
  } else {
    columns = lines;
  }
  // After the cuts, whose rules look at the characters before replacement.
  if (layout.replacedInPlace_) ReplaceInPlace(layout, lines);
  SpliceColumns(layout, *region, columns, lineColumns, inputUnits, settings);
  if (const auto tooLarge = TooLarge(layout, maxCells)) return *tooLarge;
  return std::move(layout);
}

LayoutResult BuildVerticalLayout(std::u16string_view input, std::uint8_t tabSpace,
                                 const SwapTable& table, std::size_t maxCells) {
  return BuildVerticalLayout(input, tabSpace, table, LayoutSettings{}, maxCells);
}

LayoutResult BuildVerticalLayout(std::u16string_view input, std::uint8_t tabSpace,
                                 const SwapTable& table, const LayoutSettings& layout,
                                 std::size_t maxCells) {
  if (input.empty()) return VerticalLayout{};
  return LayoutBuilder::Build(PrepareTextInto(input, {}, kGridReadAhead, tabSpace, table),
                              VerticalLayout{}, table, layout, maxCells);
}

LayoutResult BuildVerticalLayoutInPlace(std::u16string&& input, std::uint8_t tabSpace,
                                        const SwapTable& table, const LayoutSettings& layout,
                                        std::size_t maxCells) {
  if (input.empty()) return VerticalLayout{};
  return LayoutBuilder::Build(PrepareOwnedText(std::move(input), tabSpace, table), VerticalLayout{},
                              table, layout, maxCells);
}

LayoutResult RebuildVerticalLayout(VerticalLayout&& previous, std::u16string_view input,
                                   std::uint8_t tabSpace, const SwapTable& table,
                                   const LayoutSettings& layout, std::size_t maxCells) {
  if (input.empty()) return VerticalLayout{};
  // Room for the lines that updates lay out again.
  const std::size_t spare = kGridReadAhead + input.size() / 8 + kUpdateRoom;
  std::u16string prepared =
      PrepareTextInto(input, std::move(previous.prepared_), spare, tabSpace, table);
  return LayoutBuilder::Build(std::move(prepared), std::move(previous), table, layout, maxCells,
                              &input, tabSpace);
}

LayoutResult UpdateVerticalLayout(VerticalLayout&& previous, std::u16string_view input,
                                  const TextEdit& edit, std::uint8_t tabSpace,
                                  const SwapTable& table, const LayoutSettings& layout,
                                  std::size_t maxCells) {
  return LayoutBuilder::Update(std::move(previous), ViewSpans{input}, edit, tabSpace, table, layout,
                               maxCells);
}

LayoutResult UpdateVerticalLayout(VerticalLayout&& previous, const GapText& input,
                                  const TextEdit& edit, std::uint8_t tabSpace,
                                  const SwapTable& table, const LayoutSettings& layout,
                                  std::size_t maxCells) {
  return LayoutBuilder::Update(std::move(previous), input, edit, tabSpace, table, layout, maxCells);
}

std::u16string_view VerticalLayout::CellOf(const Column& column, std::size_t row) const {
  if (row >= column.cells) return kBlank;
  const std::size_t unit = UnitOf(column, row);
  // Every cell is one unit here, though a replaced cell and its neighbour
  // may now read as a surrogate pair.
  if (replacedInPlace_) return std::u16string_view(prepared_).substr(unit, 1);
  const CodePoint c = CodePointAt(prepared_, unit);
  if (const auto replaced = replacements_.Find(c.value)) return *replaced;
  return std::u16string_view(prepared_).substr(unit, c.units);
}

std::size_t VerticalLayout::ColumnsBeforeLine(std::size_t line) const {
  if (lineColumns_.empty()) return line;
  const std::size_t lines = lineColumns_.size();
  return line <= lines ? lineColumns_.Before(line) : lineColumns_.Total() + (line - lines);
}

std::u16string_view VerticalLayout::Cell(std::size_t row, std::size_t column) const {
  return CellOf(columns_[columns_.size() - 1 - column], row);
}

void VerticalLayout::AppendRow(std::size_t row, std::u16string& out) const {
  for (auto column = columns_.rbegin(); column != columns_.rend(); ++column) {
    out.append(CellOf(*column, row));
  }
}

VerticalLayout::GridForm VerticalLayout::TextForm() const {
  return GridForm{prepared_.data(), kBlankCell, kLineBreak};
}

std::u16string VerticalLayout::Text() const {
  if (rows_ == 0) return {};
  if (IsGrid()) {
    const GridForm form = TextForm();
    std::u16string out(rows_ * GridStride(form) - kLineBreak.size(), kBlankCell);
    FillGridRows(0, rows_, out.data(), true, form);
    return out;
  }
  std::u16string out;
  for (std::size_t row = 0; row < rows_; ++row) {
    if (row != 0) out.append(kLineBreak);
    AppendRow(row, out);
  }
  return out;
}

bool VerticalLayout::ForEachGridPiece(const GridForm& form,
                                      const std::function<bool(std::u16string_view)>& sink) const {
  const std::size_t stride = GridStride(form);
  // At least a block's rows: a piece of one row of a text of many lines
  // would read a cache line of each column for each cell.
  const std::size_t band = std::min(rows_, std::max(kPieceUnits / stride, kMinPieceRows));
  std::u16string piece(band * stride, form.blank);
  for (std::size_t row = 0; row < rows_; row += band) {
    const std::size_t end = std::min(rows_, row + band);
    FillGridRows(row, end, piece.data(), false, form);
    const std::size_t size = (end - row) * stride - (end == rows_ ? form.lineBreak.size() : 0);
    if (!sink(std::u16string_view(piece).substr(0, size))) return false;
  }
  return true;
}

bool VerticalLayout::ForEachTextPiece(const PieceSink& sink) const {
  if (rows_ == 0) return true;
  if (IsGrid()) return ForEachGridPiece(TextForm(), sink);
  std::u16string piece;
  for (std::size_t row = 0; row < rows_; ++row) {
    if (row != 0) piece.append(kLineBreak);
    AppendRow(row, piece);
    if (piece.size() >= kPieceUnits || row + 1 == rows_) {
      if (!sink(piece)) return false;
      piece.clear();
    }
  }
  return true;
}

Cp932Pieces ForEachCp932Piece(VerticalLayout& layout,
                              const std::function<bool(std::string_view bytes)>& sink) {
  if (layout.rows_ == 0) return Cp932Pieces::kWritten;
  if (!layout.IsGrid()) return Cp932Pieces::kNotTwoBytes;
  for (const VerticalLayout::Column& column : layout.columns_) {
    const char16_t* const units = layout.prepared_.data() + column.start;
    for (std::size_t i = 0; i < column.cells; ++i) {
      if (Cp932DoubleByte(units[i]) == 0) return Cp932Pieces::kNotTwoBytes;
    }
  }
  // Each unit becomes its two bytes, lead byte first in memory.
  const auto asUnit = [](std::uint16_t code) {
    // std::memcpy, not std::bit_cast, which the browser build's library lacks.
    const std::array<char, 2> bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    char16_t unit = 0;
    std::memcpy(&unit, bytes.data(), sizeof unit);
    return unit;
  };
  for (const VerticalLayout::Column& column : layout.columns_) {
    char16_t* const units = layout.prepared_.data() + column.start;
    for (std::size_t i = 0; i < column.cells; ++i) units[i] = asUnit(Cp932DoubleByte(units[i]));
  }
  const char16_t lineBreak = asUnit(0x0D0A);
  const VerticalLayout::GridForm form{layout.prepared_.data(), asUnit(Cp932DoubleByte(kBlankCell)),
                                      std::u16string_view(&lineBreak, 1)};
  const bool written = layout.ForEachGridPiece(form, [&](std::u16string_view piece) {
    return sink(std::string_view(reinterpret_cast<const char*>(piece.data()), piece.size() * 2));
  });
  return written ? Cp932Pieces::kWritten : Cp932Pieces::kStopped;
}

// Every cell is one unit, so every row has the same width and each cell's
// place is known in advance: rows [firstRow, endRow) go to `out`, each but
// the layout's last followed by CR LF, every cell written once. The
// columns are read in order, eight at a time, each down a band of rows,
// where a row-by-row walk would touch a different column for every cell.
// Where `out` holds blanks already, cells below the ends of columns are not
// written again: a text of a few long columns is mostly such cells, and too
// large for the cache.
void VerticalLayout::FillGridRows(std::size_t firstRow, std::size_t endRow, char16_t* out,
                                  bool blanksFilled, const GridForm& form) const {
  const std::size_t columns = columns_.size();
  const std::size_t stride = GridStride(form);
  for (std::size_t row = firstRow; row < endRow && row + 1 < rows_; ++row) {
    std::copy(form.lineBreak.begin(), form.lineBreak.end(),
              out + (row - firstRow) * stride + columns);
  }
  for (std::size_t row0 = firstRow; row0 < endRow; row0 += kBandRows) {
    const std::size_t rowEnd = std::min(endRow, row0 + kBandRows);
    char16_t* const bandRows = out + (row0 - firstRow) * stride;
    std::size_t index = 0;
#if defined(__SSE2__)
    // Blocks of eight columns by eight rows; the rows left over below the
    // last whole block go one by one.
    const std::size_t blockRowsEnd = row0 + (rowEnd - row0) / 8 * 8;
    for (; index + 8 <= columns; index += 8) {
      char16_t* const to = bandRows + (columns - index - 8);
      FillGridBlocks(index, row0, blockRowsEnd, to, stride, blanksFilled, form);
      for (std::size_t k = 0; k < 8; ++k) {
        FillGridColumn(columns_[index + k], blockRowsEnd, rowEnd,
                       to + (7 - k) + (blockRowsEnd - row0) * stride, stride, blanksFilled, form);
      }
    }
#endif
    for (; index < columns; ++index) {
      FillGridColumn(columns_[index], row0, rowEnd, bandRows + (columns - 1 - index), stride,
                     blanksFilled, form);
    }
  }
}

// Rows [row, rowEnd) of one column, starting at `to`.
void VerticalLayout::FillGridColumn(const Column& column, std::size_t row, std::size_t rowEnd,
                                    char16_t* to, std::size_t stride, bool blanksFilled,
                                    const GridForm& form) {
  const char16_t* const from = form.units + column.start;
  const std::size_t filled = std::clamp(column.cells, row, rowEnd);
  for (; row < filled; ++row, to += stride) *to = from[row];
  if (blanksFilled) return;
  for (; row < rowEnd; ++row, to += stride) *to = form.blank;
}

#if defined(__SSE2__)
// Eight columns from `index`, rows [row0, rowEnd) (whole blocks of eight),
// starting at `to`.
void VerticalLayout::FillGridBlocks(std::size_t index, std::size_t row0, std::size_t rowEnd,
                                    char16_t* to, std::size_t stride, bool blanksFilled,
                                    const GridForm& form) const {
  std::size_t longest = 0;
  for (std::size_t k = 0; k < 8; ++k) longest = std::max(longest, columns_[index + k].cells);
  for (std::size_t row = row0; row < rowEnd; row += 8) {
    char16_t* const block = to + (row - row0) * stride;
    if (row < longest) {
      FillGridBlock(index, row, block, stride, form);
    } else if (blanksFilled) {
      // Below the end of all eight columns: common where a few long
      // columns set the height.
      return;
    } else {
      for (std::size_t j = 0; j < 8; ++j) std::fill_n(block + j * stride, 8, form.blank);
    }
  }
}

// Eight columns from `index` by eight rows from `row`, transposed in
// registers: the columns' units are loaded eight at a time (reading up to
// seven units past a column's end, into the next column or the padding),
// cells past each column's end become blanks, and each row is stored eight
// cells at a time at `to`, the last of the eight columns leftmost.
void VerticalLayout::FillGridBlock(std::size_t index, std::size_t row, char16_t* to,
                                   std::size_t stride, const GridForm& form) const {
  const __m128i blank = _mm_set1_epi16(static_cast<short>(form.blank));
  // Eight lanes read from here + 8 - n keep the first n lanes.
  alignas(16) static constexpr std::uint16_t kKeepWindow[16] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,
                                                                0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
  // Without branches: ragged columns make them unpredictable. A column
  // that ends above `row` is read at its end, and all of it masked.
  __m128i v[8];
  for (std::size_t k = 0; k < 8; ++k) {
    const Column& column = columns_[index + 7 - k];
    // Signed, so that the compiler clamps with conditional moves: written
    // with std::min over sizes, it branched on whether the column goes on.
    const auto rest = static_cast<std::ptrdiff_t>(column.cells) - static_cast<std::ptrdiff_t>(row);
    const auto left = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(rest, 0, 8));
    const std::size_t from = row - static_cast<std::size_t>(std::max<std::ptrdiff_t>(-rest, 0));
    const __m128i units =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(form.units + column.start + from));
    const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeepWindow + 8 - left));
    v[k] = _mm_or_si128(_mm_and_si128(keep, units), _mm_andnot_si128(keep, blank));
  }
  const __m128i a0 = _mm_unpacklo_epi16(v[0], v[1]);
  const __m128i a1 = _mm_unpackhi_epi16(v[0], v[1]);
  const __m128i a2 = _mm_unpacklo_epi16(v[2], v[3]);
  const __m128i a3 = _mm_unpackhi_epi16(v[2], v[3]);
  const __m128i a4 = _mm_unpacklo_epi16(v[4], v[5]);
  const __m128i a5 = _mm_unpackhi_epi16(v[4], v[5]);
  const __m128i a6 = _mm_unpacklo_epi16(v[6], v[7]);
  const __m128i a7 = _mm_unpackhi_epi16(v[6], v[7]);
  const __m128i b0 = _mm_unpacklo_epi32(a0, a2);
  const __m128i b1 = _mm_unpackhi_epi32(a0, a2);
  const __m128i b2 = _mm_unpacklo_epi32(a1, a3);
  const __m128i b3 = _mm_unpackhi_epi32(a1, a3);
  const __m128i b4 = _mm_unpacklo_epi32(a4, a6);
  const __m128i b5 = _mm_unpackhi_epi32(a4, a6);
  const __m128i b6 = _mm_unpacklo_epi32(a5, a7);
  const __m128i b7 = _mm_unpackhi_epi32(a5, a7);
  const __m128i rows[8] = {
      _mm_unpacklo_epi64(b0, b4), _mm_unpackhi_epi64(b0, b4), _mm_unpacklo_epi64(b1, b5),
      _mm_unpackhi_epi64(b1, b5), _mm_unpacklo_epi64(b2, b6), _mm_unpackhi_epi64(b2, b6),
      _mm_unpacklo_epi64(b3, b7), _mm_unpackhi_epi64(b3, b7),
  };
  for (std::size_t j = 0; j < 8; ++j) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + j * stride), rows[j]);
  }
}
#endif

}  // namespace mirotabe
