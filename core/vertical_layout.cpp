#include "core/vertical_layout.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/code_points.h"
#include "core/column_segments.h"
#include "core/prepare_text.h"
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

// The grid is read eight units at a time, up to seven past a line's end.
constexpr std::size_t kGridReadAhead = 8;

// Pieces of text handed out for streaming hold about this many units.
constexpr std::size_t kPieceUnits = std::size_t{128} * 1024;

}  // namespace

class LayoutBuilder {
 public:
  // Lays out `prepared`, the input text as PrepareText makes it; `layout`
  // brings the memory of an earlier layout, or none.
  static LayoutResult Build(std::u16string&& prepared, VerticalLayout&& layout,
                            const SwapTable& table, const LayoutSettings& settings,
                            std::size_t maxCells) {
    layout.lines_.clear();
    layout.unitOffsets_.clear();
    layout.columnsBefore_.clear();
    layout.replacedInPlace_ = false;
    layout.prepared_ = std::move(prepared);
    SplitLines(layout);
    if (settings.columnLength != 0 || settings.columnGap != 0) ArrangeColumns(layout, settings);
    std::size_t longest = 0;
    for (const VerticalLayout::Line& line : layout.lines_) longest = std::max(longest, line.cells);
    const std::size_t lines = layout.lines_.size();
    if (longest != 0 && lines > maxCells / longest) {
      return LayoutTooLarge{lines, longest, maxCells};
    }
    layout.rows_ = longest;
    // Within the room that PrepareTextInto left, unless the text grew.
    layout.prepared_.append(kGridReadAhead, kBlankCell);
    layout.replacements_ = CellReplacements(table);
    if (layout.IsGrid() && !layout.replacements_.empty()) ReplaceInPlace(layout);
    return layout;
  }

 private:
  // Lines end at CR LF only: a lone CR or LF is a character of its line.
  static void SplitLines(VerticalLayout& layout) {
    const std::u16string& text = layout.prepared_;
    const std::size_t size = text.size();
    // Each line but the last ends at an LF: reserving for them all spares
    // a large text the copies of a growing vector. A layout built again
    // keeps the room of the one before.
    if (layout.lines_.capacity() == 0) {
      layout.lines_.reserve(scan::CountUnit(text, u'\n') + 1);
    }
    // Only a CR and the first unit of a surrogate pair need a closer look;
    // the LF or low surrogate after them is never visited itself.
    std::size_t start = 0;
    std::size_t pairs = 0;
    scan::ForEachCrOrHighSurrogate(text, [&](std::size_t i) {
      if (text[i] == u'\r') {
        if (i + 1 < size && text[i + 1] == u'\n') {
          AddLine(layout, start, i, pairs);
          start = i + 2;
          pairs = 0;
        }
      } else if (i + 1 < size && IsLowSurrogate(text[i + 1])) {
        ++pairs;
      }
    });
    AddLine(layout, start, size, pairs);
  }

  static void AddLine(VerticalLayout& layout, std::size_t start, std::size_t end,
                      std::size_t pairs) {
    VerticalLayout::Line line{start, end - start - pairs, VerticalLayout::kNoOffsets};
    if (pairs != 0) {
      line.offsetsAt = layout.unitOffsets_.size();
      for (std::size_t unit = start; unit < end;) {
        layout.unitOffsets_.push_back(static_cast<std::uint32_t>(unit));
        unit += CodePointAt(layout.prepared_, unit).units;
      }
    }
    layout.lines_.push_back(line);
  }

  // Cuts the lines into their segments and puts the gaps between them. A
  // segment is a line of its own that starts further in; a gap is a line
  // of no cells, which reads as blank in every row.
  static void ArrangeColumns(VerticalLayout& layout, const LayoutSettings& settings) {
    using Line = VerticalLayout::Line;
    const std::size_t n = settings.columnLength;
    std::size_t segments = 0;
    for (const Line& line : layout.lines_) {
      segments += n == 0 || line.cells <= n ? 1 : line.cells / (n > 1 ? n - 1 : 1) + 1;
    }
    std::vector<Line> columns;
    columns.reserve(segments * (std::size_t{1} + settings.columnGap));
    const auto add = [&](const Line& column) {
      if (!columns.empty()) columns.insert(columns.end(), settings.columnGap, Line{});
      columns.push_back(column);
    };
    const std::u16string_view text = layout.prepared_;
    std::size_t columnsSoFar = 0;
    if (n != 0) layout.columnsBefore_.reserve(layout.lines_.size() + 1);
    for (const Line& line : layout.lines_) {
      if (n != 0) layout.columnsBefore_.push_back(columnsSoFar);
      std::size_t first = 0;
      ForEachSegment(
          line.cells, n, settings.kinsoku,
          [&](std::size_t i) { return CodePointAt(text, layout.UnitOf(line, i)).value; },
          [&](std::size_t cells) {
            const bool offsets = line.offsetsAt != VerticalLayout::kNoOffsets;
            add(Line{cells == 0 ? line.start : layout.UnitOf(line, first), cells,
                     offsets ? line.offsetsAt + first : VerticalLayout::kNoOffsets});
            first += cells;
            ++columnsSoFar;
          });
    }
    if (n != 0) layout.columnsBefore_.push_back(columnsSoFar);
    layout.lines_ = std::move(columns);
  }

  // Every cell and every replaced cell is one unit here, so the cells can
  // be replaced once in the text instead of on every read.
  static void ReplaceInPlace(VerticalLayout& layout) {
    const CellReplacements& replacements = layout.replacements_;
    for (const VerticalLayout::Line& line : layout.lines_) {
      char16_t* const begin = layout.prepared_.data() + line.start;
      for (char16_t* unit = begin; unit != begin + line.cells; ++unit) {
        *unit = replacements.SingleUnitCell(*unit);
      }
    }
    layout.replacedInPlace_ = true;
  }
};

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
  std::u16string prepared =
      PrepareTextInto(input, std::move(previous.prepared_), kGridReadAhead, tabSpace, table);
  return LayoutBuilder::Build(std::move(prepared), std::move(previous), table, layout, maxCells);
}

std::u16string_view VerticalLayout::CellOf(const Line& line, std::size_t row) const {
  if (row >= line.cells) return kBlank;
  const std::size_t unit = UnitOf(line, row);
  // Every cell is one unit here, though a replaced cell and its neighbour
  // may now read as a surrogate pair.
  if (replacedInPlace_) return std::u16string_view(prepared_).substr(unit, 1);
  const CodePoint c = CodePointAt(prepared_, unit);
  if (const auto replaced = replacements_.Find(c.value)) return *replaced;
  return std::u16string_view(prepared_).substr(unit, c.units);
}

std::size_t VerticalLayout::ColumnsBeforeLine(std::size_t line) const {
  if (columnsBefore_.empty()) return line;
  const std::size_t lines = columnsBefore_.size() - 1;
  return line <= lines ? columnsBefore_[line] : columnsBefore_.back() + (line - lines);
}

std::u16string_view VerticalLayout::Cell(std::size_t row, std::size_t column) const {
  return CellOf(lines_[lines_.size() - 1 - column], row);
}

void VerticalLayout::AppendRow(std::size_t row, std::u16string& out) const {
  for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
    out.append(CellOf(*line, row));
  }
}

std::u16string VerticalLayout::Text() const {
  if (rows_ == 0) return {};
  if (IsGrid()) {
    std::u16string out(rows_ * GridStride() - kLineBreak.size(), kBlankCell);
    FillGridRows(0, rows_, out.data(), true);
    return out;
  }
  std::u16string out;
  for (std::size_t row = 0; row < rows_; ++row) {
    if (row != 0) out.append(kLineBreak);
    AppendRow(row, out);
  }
  return out;
}

bool VerticalLayout::ForEachTextPiece(const PieceSink& sink) const {
  if (rows_ == 0) return true;
  std::u16string piece;
  if (IsGrid()) {
    const std::size_t stride = GridStride();
    const std::size_t band = std::clamp<std::size_t>(kPieceUnits / stride, 1, rows_);
    piece.resize(band * stride);
    for (std::size_t row = 0; row < rows_; row += band) {
      const std::size_t end = std::min(rows_, row + band);
      FillGridRows(row, end, piece.data(), false);
      const std::size_t size = (end - row) * stride - (end == rows_ ? kLineBreak.size() : 0);
      if (!sink(std::u16string_view(piece).substr(0, size))) return false;
    }
    return true;
  }
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

// Every cell is one unit, so every row has the same width and each cell's
// place is known in advance: rows [firstRow, endRow) go to `out`, each but
// the layout's last followed by CR LF, every cell written once. The lines
// are read in order, eight at a time, each down a band of rows, where a
// row-by-row walk would touch a different line for every cell. Where `out`
// holds blanks already, cells below the ends of lines are not written
// again: a text of a few long lines is mostly such cells, and too large
// for the cache.
void VerticalLayout::FillGridRows(std::size_t firstRow, std::size_t endRow, char16_t* out,
                                  bool blanksFilled) const {
  const std::size_t columns = lines_.size();
  const std::size_t stride = GridStride();
  for (std::size_t row = firstRow; row < endRow && row + 1 < rows_; ++row) {
    out[(row - firstRow) * stride + columns] = u'\r';
    out[(row - firstRow) * stride + columns + 1] = u'\n';
  }
  for (std::size_t row0 = firstRow; row0 < endRow; row0 += kBandRows) {
    const std::size_t rowEnd = std::min(endRow, row0 + kBandRows);
    char16_t* const bandRows = out + (row0 - firstRow) * stride;
    std::size_t index = 0;
#if defined(__SSE2__)
    // Blocks of eight lines by eight rows; the rows left over below the
    // last whole block go one by one.
    const std::size_t blockRowsEnd = row0 + (rowEnd - row0) / 8 * 8;
    for (; index + 8 <= columns; index += 8) {
      char16_t* const to = bandRows + (columns - index - 8);
      FillGridBlocks(index, row0, blockRowsEnd, to, stride, blanksFilled);
      for (std::size_t k = 0; k < 8; ++k) {
        FillGridColumn(lines_[index + k], blockRowsEnd, rowEnd,
                       to + (7 - k) + (blockRowsEnd - row0) * stride, stride, blanksFilled);
      }
    }
#endif
    for (; index < columns; ++index) {
      FillGridColumn(lines_[index], row0, rowEnd, bandRows + (columns - 1 - index), stride,
                     blanksFilled);
    }
  }
}

// Rows [row, rowEnd) of one line's column, starting at `to`.
void VerticalLayout::FillGridColumn(const Line& line, std::size_t row, std::size_t rowEnd,
                                    char16_t* to, std::size_t stride, bool blanksFilled) const {
  const char16_t* const from = prepared_.data() + line.start;
  const std::size_t filled = std::clamp(line.cells, row, rowEnd);
  for (; row < filled; ++row, to += stride) *to = from[row];
  if (blanksFilled) return;
  for (; row < rowEnd; ++row, to += stride) *to = kBlankCell;
}

#if defined(__SSE2__)
// Eight lines from `index`, rows [row0, rowEnd) (whole blocks of eight),
// starting at `to`.
void VerticalLayout::FillGridBlocks(std::size_t index, std::size_t row0, std::size_t rowEnd,
                                    char16_t* to, std::size_t stride, bool blanksFilled) const {
  std::size_t longest = 0;
  for (std::size_t k = 0; k < 8; ++k) longest = std::max(longest, lines_[index + k].cells);
  for (std::size_t row = row0; row < rowEnd; row += 8) {
    char16_t* const block = to + (row - row0) * stride;
    if (row < longest) {
      FillGridBlock(index, row, block, stride);
    } else if (blanksFilled) {
      // Below the end of all eight lines: common where a few long lines
      // set the height.
      return;
    } else {
      for (std::size_t j = 0; j < 8; ++j) std::fill_n(block + j * stride, 8, kBlankCell);
    }
  }
}

// Eight lines from `index` by eight rows from `row`, transposed in
// registers: the lines' units are loaded eight at a time (reading up to
// seven units past a line's end, into the next line or the padding), cells
// past each line's end become blanks, and each row is stored eight cells
// at a time at `to`, the last of the eight lines leftmost.
void VerticalLayout::FillGridBlock(std::size_t index, std::size_t row, char16_t* to,
                                   std::size_t stride) const {
  const __m128i blank = _mm_set1_epi16(static_cast<short>(kBlankCell));
  // Eight lanes read from here + 8 - n keep the first n lanes.
  alignas(16) static constexpr std::uint16_t kKeepWindow[16] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,
                                                                0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
  // Without branches: ragged lines make them unpredictable. A line that
  // ends above `row` is read at its end, and all of it masked.
  __m128i v[8];
  for (std::size_t k = 0; k < 8; ++k) {
    const Line& line = lines_[index + 7 - k];
    // Signed, so that the compiler clamps with conditional moves: written
    // with std::min over sizes, it branched on whether the line goes on.
    const auto rest = static_cast<std::ptrdiff_t>(line.cells) - static_cast<std::ptrdiff_t>(row);
    const auto left = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(rest, 0, 8));
    const std::size_t from = row - static_cast<std::size_t>(std::max<std::ptrdiff_t>(-rest, 0));
    const __m128i units =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(prepared_.data() + line.start + from));
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
