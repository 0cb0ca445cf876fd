// Updating a layout edit by edit: only the input lines that an edit
// touched are laid out again, and their columns spliced in place of the old.
#include <optional>
#include <utility>
#include <vector>

#include "core/layout_builder.h"
#include "core/prepare_text.h"
#include "core/vertical_layout.h"

namespace mirotabe {
namespace {

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

class LayoutUpdater {
 public:
  using Column = VerticalLayout::Column;

  // `input` is a text read in spans: its size(), Span(from, to) and Text().
  template <typename Text>
  static LayoutResult Update(VerticalLayout&& layout, const Text& input, const TextEdit& edit,
                             const LayoutRules& rules, std::size_t maxCells);

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
                          const LayoutRules& rules, std::vector<Column>& lines,
                          std::vector<std::size_t>& inputUnits);
  static void SpliceColumns(VerticalLayout& layout, const Region& region,
                            const std::vector<Column>& columns,
                            const std::vector<std::size_t>& lineColumns,
                            const std::vector<std::size_t>& inputUnits,
                            const LayoutSettings& settings);
};

template <typename Text>
std::optional<LayoutUpdater::Region> LayoutUpdater::FindRegion(const VerticalLayout& layout,
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
bool LayoutUpdater::LayOutLines(VerticalLayout& layout, std::u16string_view changed, bool atEnd,
                                const LayoutRules& rules, std::vector<Column>& lines,
                                std::vector<std::size_t>& inputUnits) {
  // The room runs out only after much typing, and a new layout then takes
  // back what is no longer used; lines that the entries make longer than
  // the room are not built at all.
  const std::size_t base = layout.prepared_.size() - kGridReadAhead;
  const std::size_t room = layout.prepared_.capacity() - base - kGridReadAhead;
  // Whole-text entries never match across a line break here.
  EntryRanges written;
  const PreparedText text = PrepareText(changed, rules, &written, room);
  const auto* done = std::get_if<std::u16string>(&text);
  if (done == nullptr || done->size() > room) return false;
  const std::u16string& prepared = *done;
  if (!written.empty()) layout.written_.Append(written, base);
  layout.prepared_.erase(base);
  layout.prepared_.append(prepared);
  layout.prepared_.append(kGridReadAhead, kBlankCell);
  const std::size_t offsetsBefore = layout.unitOffsets_.size();
  LayoutBuilder::SplitLines(layout, base, base + prepared.size(), lines);
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
void LayoutUpdater::SpliceColumns(VerticalLayout& layout, const Region& region,
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
  if (basis.longest == 0) LayoutBuilder::CountRows(layout);
  const std::size_t count = layout.columns_.size();
  layout.change_ =
      last - first == columns.size() && layout.ColumnCount() == shownBefore
          ? VerticalLayout::Change{false, count - first - columns.size(), columns.size()}
          : VerticalLayout::Change{};
}

template <typename Text>
LayoutResult LayoutUpdater::Update(VerticalLayout&& layout, const Text& input, const TextEdit& edit,
                                   const LayoutRules& rules, std::size_t maxCells) {
  std::optional<Region> region;
  if (layout.basis_ && !input.empty() && layout.basis_->rules == rules) {
    region = FindRegion(layout, input, edit);
  }
  std::vector<Column> lines;
  std::vector<std::size_t> inputUnits;
  if (!region || !LayOutLines(layout, input.Span(region->start, region->newEnd), region->atEnd,
                              rules, lines, inputUnits)) {
    return RebuildVerticalLayout(std::move(layout), input.Text(), rules, maxCells);
  }
  const LayoutSettings& settings = rules.columns;
  std::vector<Column> columns;
  std::vector<std::size_t> lineColumns;
  if (settings.columnLength != 0 || settings.columnGap != 0) {
    LayoutBuilder::ArrangeColumns(layout, lines, settings, columns, lineColumns, region->atEnd);
  } else {
    columns = lines;
  }
  // After the cuts, whose rules look at the characters before replacement.
  if (layout.replacedInPlace_) LayoutBuilder::ReplaceInPlace(layout, lines);
  SpliceColumns(layout, *region, columns, lineColumns, inputUnits, settings);
  if (const auto tooLarge = LayoutBuilder::TooLarge(layout, maxCells)) return *tooLarge;
  return std::move(layout);
}

LayoutResult UpdateVerticalLayout(VerticalLayout&& previous, std::u16string_view input,
                                  const TextEdit& edit, const LayoutRules& rules,
                                  std::size_t maxCells) {
  return LayoutUpdater::Update(std::move(previous), ViewSpans{input}, edit, rules, maxCells);
}

LayoutResult UpdateVerticalLayout(VerticalLayout&& previous, const GapText& input,
                                  const TextEdit& edit, const LayoutRules& rules,
                                  std::size_t maxCells) {
  return LayoutUpdater::Update(std::move(previous), input, edit, rules, maxCells);
}

}  // namespace mirotabe
