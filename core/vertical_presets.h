// Ready tables of vertical punctuation: Type 0 entries that give a
// character the form it takes in vertical writing.
//
// - "縦書き記号（Shift_JIS）": substitutes that code page 932 can hold, for
//   texts saved in Shift_JIS. Only the candidates that the code page 932
//   encoder takes whole, From and To, are offered.
// - "縦書き記号（Unicode）": the vertical presentation forms U+FE10..U+FE19
//   and U+FE30..U+FE48, for texts saved in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/settings.h"

namespace mirotabe {

struct VerticalPreset {
  std::u16string name;
  std::vector<SwapEntry> entries;
};

// The presets, in the order they are offered.
const std::vector<VerticalPreset>& VerticalPresets();

// Appends the entries of `preset` whose From no entry of `table` has, in
// the preset's order, until the table is full. Returns how many it added.
std::size_t AddPresetEntries(SwapTable& table, const VerticalPreset& preset);

}  // namespace mirotabe
