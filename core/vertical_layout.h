// The vertical layout: each line of the prepared text becomes one column,
// the columns run from right to left (the first line is the rightmost), and
// each column reads from top to bottom. Shorter columns are filled at the
// bottom with the blank cell "　" (U+3000), so that every row has one cell
// per column and the columns stand straight in a fixed-pitch font.
//
// Under a column length a long line becomes several columns (see
// SegmentLine), and a column gap puts blank columns between neighbours.
//
// A cell is one code point of a line after the full-width mapping, or what
// the Type 0 entries make of it (at most 2 bytes of code page 932), or the
// blank cell. The layout keeps the prepared lines and each replaced
// character's cell once; rows are produced from them on demand, so a caller
// can draw the cells it needs without building the whole text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/cell_replacements.h"
#include "core/entry_ranges.h"
#include "core/gap_text.h"
#include "core/layout_settings.h"
#include "core/prefix_sums.h"
#include "core/ruby_notation.h"
#include "core/settings.h"
#include "core/text_edit.h"

namespace mirotabe {

// Layouts of more cells than this (lines × longest line) are not built.
inline constexpr std::size_t kMaxLayoutCells = std::size_t{64} * 1024 * 1024;

// The units past which a prepared text cannot be laid out in `maxCells`
// cells, and never more than kMaxLayoutCells take: a cell or a line break
// is at most two units, and a layout has at least as many cells as
// characters and as lines. The replacements and the tabs are stopped here
// before they build the text, so that no layout's text takes more memory
// than this on its way. (A text of line breaks alone, laid out as nothing,
// is refused all the same once it is that long.)
inline constexpr std::size_t PreparedUnitsBound(std::size_t maxCells) {
  return 4 * (maxCells < kMaxLayoutCells ? maxCells : kMaxLayoutCells);
}

inline constexpr char16_t kBlankCell = u'\u3000';

// What ends each line of the program's text, and each row of the layout's.
inline constexpr std::u16string_view kLineBreak = u"\r\n";

class VerticalLayout;
struct LayoutTooLarge;
enum class Cp932Pieces;  // see core/layout_cp932.h
using LayoutResult = std::variant<VerticalLayout, LayoutTooLarge>;

// A cell as it is drawn: its text, and whether a replacement entry made it
// (see core/glyph_form.h).
struct LayoutCell {
  std::u16string_view text;
  bool fromEntry = false;
};

// A base of ruby in a column: its cells, rows [firstRow, firstRow + rows),
// and its reading.
struct ColumnRuby {
  std::size_t firstRow = 0;
  std::size_t rows = 0;
  std::u16string_view reading;
};

struct CellPosition {
  std::size_t row = 0;
  std::size_t column = 0;  // 0 = leftmost, the last line
  bool operator==(const CellPosition&) const = default;
};

class VerticalLayout {
 public:
  // The empty layout: no rows.
  VerticalLayout() = default;

  // Rows: the length of the longest column, in cells.
  std::size_t RowCount() const { return rows_; }
  // Columns: the lines, or their segments, and the gaps between them. Zero
  // rows means no columns to show.
  std::size_t ColumnCount() const { return rows_ == 0 ? 0 : columns_.size(); }

  // The columns that the input lines before line `line` (0 = the first)
  // make, gaps not counted: `line` itself without a column length, and
  // one for each line past the text's end.
  std::size_t ColumnsBeforeLine(std::size_t line) const;

  // Where cell `cell` (0 = the first) of line `line` of the prepared text
  // stands, in the column the layout cut it into; a place past the layout
  // is moved to its nearest cell. None when the layout is empty.
  std::optional<CellPosition> PlaceOf(std::size_t line, std::size_t cell) const;

  // The cell in `row` (0 = top) and `column` (0 = leftmost, the last line).
  std::u16string_view Cell(std::size_t row, std::size_t column) const;
  // The same, and whether an entry of the table made it: a Type 0 entry's
  // cell, or characters a Type 1 entry wrote.
  LayoutCell CellAt(std::size_t row, std::size_t column) const;

  // The bases of ruby that start in `column` (0 = leftmost), top first;
  // none unless the layout was made with LayoutSettings::ruby. A base
  // longer than a column, and so cut, has its reading beside its first
  // column's part.
  std::vector<ColumnRuby> RubyOf(std::size_t column) const;
  bool HasRuby() const { return !ruby_.spans.empty(); }

  // What pictures and pages set the half-width Latin with (see
  // core/inline_runs.h), and the cells a column holds: off and 0 but for
  // them.
  const Typesetting& Typeset() const { return typesetting_; }
  std::size_t ColumnLength() const { return columnLength_; }

  // The units [start, end) of column `column` (0 = leftmost) in `text`,
  // the layout's text before the Type 0 entries: what a typeset layout's
  // runs are read from, with the rest of the line around them.
  struct ColumnSpan {
    std::u16string_view text;
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t cells = 0;
  };
  ColumnSpan SpanOf(std::size_t column) const;
  // The cell of the code point at `unit` of that text, as CellAt gives it.
  LayoutCell CellAtUnit(std::size_t unit) const;

  // Appends the cells of `row`, left to right, with no line break.
  void AppendRow(std::size_t row, std::u16string& out) const;

  // All rows, joined by CR LF, with none after the last row.
  std::u16string Text() const;

  // The same text in pieces of a few rows each, passed in order to `sink`,
  // so that a caller can write it out without ever holding it whole. Stops
  // when `sink` returns false, and then returns false.
  using PieceSink = std::function<bool(std::u16string_view piece)>;
  bool ForEachTextPiece(const PieceSink& sink) const;

  // Which columns the last update changed, counted from the left: all of
  // them when `whole` is set (a new layout, or columns added or removed).
  struct Change {
    bool whole = true;
    std::size_t firstColumn = 0;
    std::size_t columns = 0;
  };
  const Change& LastChange() const { return change_; }

 private:
  friend class LayoutBuilder;
  friend class LayoutUpdater;
  friend LayoutResult RebuildVerticalLayout(VerticalLayout&&, std::u16string_view,
                                            const LayoutRules&, std::size_t);
  friend Cp932Pieces ForEachCp932Piece(VerticalLayout&,
                                       const std::function<bool(std::string_view)>&);
  // What UpdateVerticalLayout needs besides the lines: the rules the
  // layout was made under, and each input line's units, its CR LF
  // included.
  struct UpdateBasis {
    LayoutRules rules;
    PrefixSums inputLines;
    // Columns as long as the longest, which sets the rows.
    std::size_t longest = 0;
  };

  // One column: a line, or a segment of one; a gap is a column of no cells.
  struct Column {
    std::size_t start = 0;  // first unit in prepared_
    std::size_t cells = 0;  // length in code points
    // Columns holding surrogate pairs index their code points through
    // unitOffsets_ from here; others map code point i to unit start + i.
    std::size_t offsetsAt = kNoOffsets;
  };
  static constexpr std::size_t kNoOffsets = static_cast<std::size_t>(-1);

  // The cell of `column` that unit `unit` (within it) starts or is in.
  std::size_t CellOfUnit(const Column& column, std::size_t unit) const;
  std::size_t UnitOf(const Column& column, std::size_t cell) const {
    return column.offsetsAt == kNoOffsets ? column.start + cell
                                          : unitOffsets_[column.offsetsAt + cell];
  }
  std::u16string_view CellOf(const Column& column, std::size_t row) const;
  bool IsGrid() const { return unitOffsets_.empty() && replacements_.AllSingleUnit(); }
  // What a grid is written from, and with: the layout's units, the blank
  // cell and the line break, as text or encoded.
  struct GridForm {
    const char16_t* units;
    char16_t blank;
    std::u16string_view lineBreak;
  };
  GridForm TextForm() const;
  std::size_t GridStride(const GridForm& form) const {
    return columns_.size() + form.lineBreak.size();
  }
  bool ForEachGridPiece(const GridForm& form,
                        const std::function<bool(std::u16string_view)>& sink) const;
  void FillGridRows(std::size_t firstRow, std::size_t endRow, char16_t* out, bool blanksFilled,
                    const GridForm& form) const;
  static void FillGridColumn(const Column& column, std::size_t row, std::size_t rowEnd,
                             char16_t* to, std::size_t stride, bool blanksFilled,
                             const GridForm& form);
#if defined(__SSE2__)
  void FillGridBlocks(std::size_t index, std::size_t row0, std::size_t rowEnd, char16_t* to,
                      std::size_t stride, bool blanksFilled, const GridForm& form) const;
  void FillGridBlock(std::size_t index, std::size_t row, char16_t* to, std::size_t stride,
                     const GridForm& form) const;
#endif

  std::u16string prepared_;  // then kGridReadAhead units of padding
  std::vector<Column> columns_;
  std::vector<std::uint32_t> unitOffsets_;
  // Under a column length: the columns of each input line, gaps not
  // counted.
  PrefixSums lineColumns_;
  CellReplacements replacements_;
  // Set when the replaced cells were written into prepared_ itself, which
  // is possible when every cell is one unit.
  bool replacedInPlace_ = false;
  // The units of prepared_ that Type 1 entries wrote.
  EntryRanges written_;
  // Replaced in place: the units of prepared_ that held a standing output
  // of the Type 0 entries before the cells were replaced (see
  // CellReplacements::IsStandingOutput), in ascending order.
  std::vector<std::size_t> standingOutputs_;
  // The readings of the ruby bases in prepared_, with the marks taken out.
  RubyReadings ruby_;
  std::size_t rows_ = 0;
  Typesetting typesetting_;
  std::size_t columnLength_ = 0;
  // Each column and the gap after it.
  std::size_t spacing_ = 1;
  Change change_;
  // Kept by the layouts that UpdateVerticalLayout can bring up to date.
  std::optional<UpdateBasis> basis_;
};

// Why a layout was not built: it would hold more than `bound` cells. Where
// the replacements and the tabs would make its text longer than
// PreparedUnitsBound(bound) before a column is counted, `units` says how
// long it would be by the step that passed that, and no line is counted.
struct LayoutTooLarge {
  std::size_t lines = 0;  // columns, gaps included
  std::size_t longestLine = 0;
  std::size_t bound = 0;
  std::size_t units = 0;
};

// Lays `input` (lines separated by CR LF) out vertically under `rules`:
// the tab width, the replacement table, and the lines cut and spaced into
// columns. The line-breaking rules look at the characters before the Type 0
// entries. An empty input, and a prepared text without any character, give
// the empty layout.
LayoutResult BuildVerticalLayout(std::u16string_view input, const LayoutRules& rules,
                                 std::size_t maxCells = kMaxLayoutCells);

// The same, preparing the text in `input`'s own memory, so that a large
// text is not held twice.
LayoutResult BuildVerticalLayoutInPlace(std::u16string&& input, const LayoutRules& rules,
                                        std::size_t maxCells = kMaxLayoutCells);

// The same as BuildVerticalLayout, in the memory of `previous`, a layout
// that is no longer needed. A window that lays its text out again at every
// keystroke then asks the system for no new memory while the text keeps
// about its size, and pays no page faults for it. The layout keeps what
// UpdateVerticalLayout needs.
LayoutResult RebuildVerticalLayout(VerticalLayout&& previous, std::u16string_view input,
                                   const LayoutRules& rules,
                                   std::size_t maxCells = kMaxLayoutCells);

// The layout of `input`, the text of `previous` after `edit`, as
// RebuildVerticalLayout gives it. Only the lines the edit touched are laid
// out again, so a keystroke costs what its line costs, however long the
// text. The whole text is laid out again where that cannot be sound: for
// a layout that RebuildVerticalLayout or this function did not make, under
// other rules, for whole-text entries that hold a line break, when the
// edit joins or splits prepared lines unlike input lines, and now and then
// to reclaim the memory of lines laid out again.
LayoutResult UpdateVerticalLayout(VerticalLayout&& previous, std::u16string_view input,
                                  const TextEdit& edit, const LayoutRules& rules,
                                  std::size_t maxCells = kMaxLayoutCells);

// The same, for a text edited in place: only the units around the edit are
// read, so the text need not be together in memory, except where the
// whole text is laid out again.
LayoutResult UpdateVerticalLayout(VerticalLayout&& previous, const GapText& input,
                                  const TextEdit& edit, const LayoutRules& rules,
                                  std::size_t maxCells = kMaxLayoutCells);

}  // namespace mirotabe
