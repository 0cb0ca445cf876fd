// Replacement tables written out in place, as the tests' case tables hold
// them.
#pragma once

#include <initializer_list>

#include "core/settings.h"

namespace mirotabe::testing_support {

// A table of `entries`, in order.
inline SwapTable Table(std::initializer_list<SwapEntry> entries) {
  SwapTable table;
  for (const SwapEntry& entry : entries) table.Append(entry);
  return table;
}

}  // namespace mirotabe::testing_support
