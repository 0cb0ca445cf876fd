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

  // Follows a change of the text, told one match at a time: at each match
  // (ascending, `fromSize` apart at least) `fromSize` units become
  // `toSize` units. The ranges move with the units around them, lose the
  // units replaced, and take the new units when `written` (an entry wrote
  // them, rather than the tab width). The matches are not kept: an entry
  // can match a hundred million times, and ranges that meet are one.
  class Rewrite {
   public:
    Rewrite(EntryRanges& ranges, std::size_t fromSize, std::size_t toSize, bool written);
    Rewrite(const Rewrite&) = delete;
    Rewrite& operator=(const Rewrite&) = delete;

    void Hit(std::size_t at);
    // The ranges after the last match; called once, after every Hit.
    void Finish();

   private:
    // Where unit `unit` of the text before stands after the matches so far.
    std::size_t Shifted(std::size_t unit) const;
    // Keeps what is left of the old ranges before `end`.
    void KeepUntil(std::size_t end);
    void Put(UnitRange range);

    EntryRanges& ranges_;
    std::vector<UnitRange> old_;
    std::vector<UnitRange> now_;
    std::size_t fromSize_;
    std::size_t toSize_;
    bool written_;
    std::size_t next_ = 0;      // the first old range not wholly kept
    std::size_t keptUpTo_ = 0;  // units before this are kept or replaced
    std::size_t hits_ = 0;
  };

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
