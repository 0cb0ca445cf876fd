// The units of a prepared text that a whole-text replacement entry wrote,
// carried through the steps that prepare the text (see
// core/prepare_text.h), so that pictures, pages and 縦組み表示 can draw
// what the table's author chose as it stands. Most texts have none: a table
// without whole-text entries, or whose entries match nothing, costs nothing.
#pragma once

#include <cstddef>
#include <vector>

namespace mirotabe {

// Units [begin, end) of a text.
struct UnitRange {
  std::size_t begin = 0;
  std::size_t end = 0;

  friend bool operator==(const UnitRange&, const UnitRange&) = default;
};

class EntryRanges {
 public:
  bool empty() const { return ranges_.empty(); }
  // In ascending order, apart from each other, none empty.
  const std::vector<UnitRange>& ranges() const { return ranges_; }

  // Whether an entry wrote unit `at`.
  bool Contains(std::size_t at) const;

  // The text has changed: at each of `hits` (ascending, `fromSize` apart
  // at least) `fromSize` units became `toSize` units. The ranges move with
  // the units around them, lose the units replaced, and take the new units
  // when `written` (an entry wrote them, rather than the tab width).
  void Replace(const std::vector<std::size_t>& hits, std::size_t fromSize, std::size_t toSize,
               bool written);

  // The units at `removed` (ascending) have gone from the text.
  void Remove(const std::vector<std::size_t>& removed);

  // Adds `other`'s ranges, moved `offset` units on; they must lie beyond
  // this one's.
  void Append(const EntryRanges& other, std::size_t offset);

 private:
  void Merge(std::vector<UnitRange> moved, std::vector<UnitRange> added);

  std::vector<UnitRange> ranges_;
};

}  // namespace mirotabe
