#include "core/cell_replacements.h"

#include <vector>

#include "core/code_points.h"
#include "core/two_byte_cut.h"

namespace mirotabe {
namespace {

struct CellRule {
  std::u16string from;  // trimmed
  std::u16string to;    // cut to 2 bytes
};

// Only ASCII spaces: a From of U+3000 must still match the full-width
// spaces that typed spaces and tabs become.
std::u16string_view TrimAsciiSpaces(std::u16string_view s) {
  while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
  return s;
}

std::u16string FollowChain(std::u16string cell, const std::vector<CellRule>& rules) {
  for (const CellRule& rule : rules) {
    if (rule.from == cell) cell = rule.to;
  }
  return cell;
}

}  // namespace

CellReplacements::CellReplacements(const SwapTable& table) {
  std::vector<CellRule> rules;
  for (const SwapEntry& entry : table) {
    if (entry.Type != 0) continue;
    rules.push_back({std::u16string(TrimAsciiSpaces(entry.From)), CutToTwoBytes(entry.To)});
  }
  // A cell starts as one character, so only a From of exactly one character
  // can start a chain; longer ones match only what an earlier entry made.
  for (const CellRule& rule : rules) {
    if (rule.from.empty()) continue;
    const CodePoint start = CodePointAt(rule.from, 0);
    if (start.units != rule.from.size() || cells_.contains(start.value)) continue;
    std::u16string cell = FollowChain(rule.from, rules);
    if (cell == rule.from) continue;
    if (cell.size() != 1) allSingleUnit_ = false;
    if (start.value < 0x10000)
      bmpFilter_[start.value >> 6] |= std::uint64_t{1} << (start.value & 63);
    cells_.emplace(start.value, std::move(cell));
  }
  if (!allSingleUnit_) return;
  for (const auto& [c, cell] : cells_) {
    if (c >= 0x10000) continue;
    std::uint16_t& page = pageOf_[c >> 8];
    if (page == 0) {
      page = static_cast<std::uint16_t>(pages_.size());
      pages_.emplace_back();
    }
    // Unsigned arithmetic wraps, so any cell is one addition away.
    pages_[page][c & 0xFF] = static_cast<char16_t>(cell.front() - c);
  }
}

}  // namespace mirotabe
