#include "core/reverse_layout.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/code_points.h"

namespace mirotabe {
namespace {

constexpr char16_t kBlank = u'\u3000';

struct Row {
  std::size_t start = 0;  // first unit
  std::size_t cells = 0;
  // Rows with a surrogate pair find their cells through `cellStarts` from
  // here; in the others cell i is unit start + i.
  std::size_t startsAt = kNoStarts;
  static constexpr std::size_t kNoStarts = static_cast<std::size_t>(-1);
};

class Rows {
 public:
  explicit Rows(std::u16string_view text) : text_(text) {
    for (std::size_t start = 0;;) {
      const std::size_t end = text.find(kLineBreak, start);
      Add(start, end == std::u16string_view::npos ? text.size() : end);
      if (end == std::u16string_view::npos) break;
      start = end + kLineBreak.size();
    }
  }

  std::size_t Count() const { return rows_.size(); }

  std::size_t Widest() const {
    std::size_t widest = 0;
    for (const Row& row : rows_) widest = std::max(widest, row.cells);
    return widest;
  }

  // Appends column `column` (0 = leftmost) from top to bottom.
  void AppendColumn(std::size_t column, std::u16string& out) const {
    for (const Row& row : rows_) {
      if (column >= row.cells) {
        out.push_back(kBlank);
      } else if (row.startsAt == Row::kNoStarts) {
        out.push_back(text_[row.start + column]);
      } else {
        const std::size_t unit = cellStarts_[row.startsAt + column];
        out.append(text_.substr(unit, CodePointAt(text_, unit).units));
      }
    }
  }

 private:
  void Add(std::size_t start, std::size_t end) {
    const std::u16string_view units = text_.substr(start, end - start);
    Row row{start, units.size(), Row::kNoStarts};
    if (std::any_of(units.begin(), units.end(), IsHighSurrogate)) {
      row.startsAt = cellStarts_.size();
      row.cells = 0;
      for (std::size_t unit = start; unit < end; unit += CodePointAt(text_, unit).units) {
        cellStarts_.push_back(unit);
        ++row.cells;
      }
    }
    rows_.push_back(row);
  }

  std::u16string_view text_;
  std::vector<Row> rows_;
  std::vector<std::size_t> cellStarts_;
};

}  // namespace

ReverseResult ReverseLayout(std::u16string_view vertical, std::size_t maxCells) {
  if (vertical.empty()) return std::u16string();
  const Rows rows(vertical);
  const std::size_t widest = rows.Widest();
  if (widest != 0 && rows.Count() > maxCells / widest) {
    return LayoutTooLarge{rows.Count(), widest, maxCells};
  }
  std::u16string out;
  out.reserve(vertical.size());
  for (std::size_t column = widest; column-- > 0;) {
    rows.AppendColumn(column, out);
    while (!out.empty() && out.back() == kBlank) out.pop_back();
    if (column != 0) out.append(kLineBreak);
  }
  return out;
}

}  // namespace mirotabe
