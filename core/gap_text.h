// A text that is edited where the user types, for a window that keeps a
// copy of a large text beside its editor. Its units lie in two runs with a
// gap between them, left where the last edit ended, so that an edit moves
// only the units between it and the edit before, not all the text after
// it: typing near the start of several megabytes stays as cheap as typing
// near the end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mirotabe {

class GapText {
 public:
  GapText() = default;
  // Takes `text` as it is; the gap is made at the first edit.
  explicit GapText(std::u16string text) : units_(std::move(text)) {}

  std::size_t size() const { return units_.size() - (gapEnd_ - gapStart_); }
  bool empty() const { return size() == 0; }

  // The units [from, to) (from <= to <= size()), together in memory. When
  // the gap splits them it moves to the nearer end of the range, which
  // costs at most to - from units; the text itself is the same. The view
  // is valid until the next call of Span, Text or Replace.
  std::u16string_view Span(std::size_t from, std::size_t to) const;
  std::u16string_view Text() const { return Span(0, size()); }

  // The whole text as a string of its own, the gap left where it is, so
  // that the next edit near it moves nothing.
  std::u16string Copy() const;

  // Replaces the `removed` units at `offset` (offset + removed <= size())
  // by `inserted`, and leaves the gap after them.
  void Replace(std::size_t offset, std::size_t removed, std::u16string_view inserted);

 private:
  void MoveGap(std::size_t to) const;
  void Widen(std::size_t room);

  // Where the gap is changes nothing that a reader sees.
  mutable std::u16string units_;
  mutable std::size_t gapStart_ = 0;
  mutable std::size_t gapEnd_ = 0;
};

}  // namespace mirotabe
