#include "ui/input_origin.h"

#include <algorithm>
#include <utility>

namespace mirotabe {

const InputOrigin& OriginHistory::At(std::size_t step) const {
  return const_cast<OriginHistory*>(this)->EntryAt(step).origin;
}

OriginHistory::Entry& OriginHistory::EntryAt(std::size_t step) {
  // The last that began at or before `step`; the first begins at 0.
  const auto after =
      std::upper_bound(entries_.begin(), entries_.end(), step,
                       [](std::size_t s, const Entry& entry) { return s < entry.firstStep; });
  return *(after - 1);
}

void OriginHistory::Edited(std::size_t step) {
  // Entries that began at this step or later began on the undone branch.
  while (entries_.size() > 1 && entries_.back().firstStep >= step) entries_.pop_back();
  InputOrigin& current = entries_.back().origin;
  if (current.cleanStep && *current.cleanStep >= step) current.cleanStep.reset();
}

void OriginHistory::Read(std::size_t step, InputOrigin origin) {
  Edited(step);
  origin.cleanStep = step;
  entries_.push_back({step, std::move(origin)});
}

void OriginHistory::Restored(std::size_t step, InputOrigin origin) {
  Edited(step);
  origin.cleanStep.reset();
  entries_.push_back({step, std::move(origin)});
}

void OriginHistory::Saved(std::size_t step, std::string path, TextEncoding encoding) {
  InputOrigin& origin = EntryAt(step).origin;
  origin.path = std::move(path);
  origin.encoding = encoding;
  origin.undetermined = false;
  origin.cleanStep = step;
}

}  // namespace mirotabe
