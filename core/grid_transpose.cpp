// The grid of a layout whose every cell is one unit, written row by row:
// the columns read in blocks and transposed, with SSE2 where there is one.
#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/vertical_layout.h"

namespace mirotabe {
namespace {

// Rows are written in bands of this many, eight columns at a time: one
// cache line of a row takes the cells of four such groups, so the lines
// of memory that one group writes down a band are still in the cache when
// the next three groups fill them beside it.
constexpr std::size_t kBandRows = 1024;

}  // namespace

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
