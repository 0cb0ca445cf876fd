#include "core/gap_text.h"

#include <algorithm>

namespace mirotabe {
namespace {

// A new gap holds at least this many units, and a sixteenth of the text,
// so that it is made again only after much typing, at a cost of 6 % more
// memory.
constexpr std::size_t kMinGap = 4096;

}  // namespace

std::u16string GapText::Copy() const {
  std::u16string copy;
  copy.reserve(size());
  copy.append(units_, 0, gapStart_);
  copy.append(units_, gapEnd_);
  return copy;
}

std::u16string_view GapText::Span(std::size_t from, std::size_t to) const {
  if (from < gapStart_ && to > gapStart_) MoveGap(gapStart_ - from < to - gapStart_ ? from : to);
  const std::size_t at = from < gapStart_ ? from : from + (gapEnd_ - gapStart_);
  return std::u16string_view(units_).substr(at, to - from);
}

void GapText::MoveGap(std::size_t to) const {
  char16_t* data = units_.data();
  if (to < gapStart_) {
    const std::size_t count = gapStart_ - to;
    std::copy_backward(data + to, data + gapStart_, data + gapEnd_);
    gapStart_ -= count;
    gapEnd_ -= count;
  } else if (to > gapStart_) {
    const std::size_t count = to - gapStart_;
    std::copy(data + gapEnd_, data + gapEnd_ + count, data + gapStart_);
    gapStart_ += count;
    gapEnd_ += count;
  }
}

void GapText::Widen(std::size_t room) {
  const std::size_t after = units_.size() - gapEnd_;
  const std::size_t gap = std::max({room, kMinGap, size() / 16});
  std::u16string units(gapStart_ + gap + after, u'\0');
  std::copy(units_.begin(), units_.begin() + static_cast<std::ptrdiff_t>(gapStart_), units.begin());
  std::copy(units_.end() - static_cast<std::ptrdiff_t>(after), units_.end(),
            units.end() - static_cast<std::ptrdiff_t>(after));
  units_ = std::move(units);
  gapEnd_ = gapStart_ + gap;
}

void GapText::Replace(std::size_t offset, std::size_t removed, std::u16string_view inserted) {
  MoveGap(offset);
  gapEnd_ += removed;
  if (gapEnd_ - gapStart_ < inserted.size()) Widen(inserted.size());
  std::copy(inserted.begin(), inserted.end(),
            units_.begin() + static_cast<std::ptrdiff_t>(gapStart_));
  gapStart_ += inserted.size();
}

}  // namespace mirotabe
