// The Type 0 entries of a table, resolved into what each character's cell
// becomes. A chain of entries depends only on the character it starts from,
// so it is followed once per such character, not once per cell.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/settings.h"

namespace mirotabe {

class CellReplacements {
 public:
  CellReplacements() = default;
  // Each character's cell starts as the character; then every Type 0 entry
  // is tried in table order against the current cell: when its From, with
  // ASCII spaces trimmed off both ends, equals the cell, the cell becomes
  // its To cut to 2 bytes of code page 932. The two characters of a one-way
  // pair of code page 932 (〜 and ～) count as one in From and in the cell.
  explicit CellReplacements(const SwapTable& table);

  bool empty() const { return cells_.empty(); }

  // The cell of `c`, or nothing when it is the character itself.
  std::optional<std::u16string_view> Find(char32_t c) const {
    if (cells_.empty() || (c < 0x10000 && !MayReplace(c))) return std::nullopt;
    const auto found = cells_.find(c);
    if (found == cells_.end()) return std::nullopt;
    return std::u16string_view(found->second);
  }

  // True when every replaced cell is exactly one UTF-16 unit.
  bool AllSingleUnit() const { return allSingleUnit_; }

  // The cell of the BMP character `c` as one unit; only when AllSingleUnit().
  // Whole texts go through it, so it is a page table without branches: in
  // a Japanese text, replaced kana and unreplaced kanji alternate at random.
  char16_t SingleUnitCell(char16_t c) const {
    return static_cast<char16_t>(c + pages_[pageOf_[c >> 8]][c & 0xFF]);
  }

  // Only when AllSingleUnit(), for a text whose cells were replaced in
  // place: whether the cell `cell` is one that an entry makes. Some of
  // them are also characters that no entry replaces (the ｜ that stands
  // for ー), standing outputs, which SingleUnitCell leaves as they were:
  // the text may have held them itself.
  bool IsOutput(char16_t cell) const { return Has(outputs_, cell); }
  bool IsStandingOutput(char16_t cell) const { return Has(standing_, cell); }
  bool HasStandingOutputs() const { return !standingUnits_.empty(); }
  // The standing outputs, one unit each, in no order.
  std::u16string_view StandingOutputs() const { return standingUnits_; }

 private:
  bool MayReplace(char32_t c) const { return Has(bmpFilter_, static_cast<char16_t>(c)); }

  using BmpSet = std::array<std::uint64_t, 1024>;  // one bit per BMP character
  static bool Has(const BmpSet& set, char16_t c) { return ((set[c >> 6] >> (c & 63)) & 1) != 0; }
  static void Set(BmpSet& set, char16_t c) { set[c >> 6] |= std::uint64_t{1} << (c & 63); }

  std::unordered_map<char32_t, std::u16string> cells_;
  BmpSet bmpFilter_{};
  // For SingleUnitCell: each page of 256 characters has the differences
  // between its cells and its characters; page 0 holds only zeros and
  // stands for every page without a replaced character.
  std::array<std::uint16_t, 256> pageOf_{};
  std::vector<std::array<char16_t, 256>> pages_ = std::vector<std::array<char16_t, 256>>(1);
  bool allSingleUnit_ = true;
  // With every cell one unit: the cells that entries make, and those of
  // them that no entry replaces.
  BmpSet outputs_{};
  BmpSet standing_{};
  std::u16string standingUnits_;
};

}  // namespace mirotabe
