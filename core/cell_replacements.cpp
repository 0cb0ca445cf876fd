#include "core/cell_replacements.h"

#include <unordered_set>
#include <vector>

#include "core/code_points.h"
#include "core/two_byte_cut.h"
#include "platform/cp932_pairs.h"

namespace mirotabe {
namespace {

struct CellRule {
  std::u16string from;  // trimmed, in its read-back form
  std::u16string to;    // cut to 2 bytes
};

// Cells and Froms compare as code page 932 reads them back, so that both
// characters of a one-way pair (〜 and ～) match an entry made with either.
std::u16string ReadBack(std::u16string_view text) {
  std::u16string readBack(text);
  for (char16_t& unit : readBack) unit = Cp932ReadBack(unit);
  return readBack;
}

// Only ASCII spaces: a From of U+3000 must still match the full-width
// spaces that typed spaces and tabs become.
std::u16string_view TrimAsciiSpaces(std::u16string_view s) {
  while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
  return s;
}

std::u16string FollowChain(std::u16string cell, const std::vector<CellRule>& rules) {
  std::u16string compared = ReadBack(cell);
  for (const CellRule& rule : rules) {
    if (rule.from != compared) continue;
    cell = rule.to;
    compared = ReadBack(cell);
  }
  return cell;
}

bool IsCharacter(std::u16string_view cell, char32_t c) {
  if (cell.empty()) return false;
  const CodePoint first = CodePointAt(cell, 0);
  return first.units == cell.size() && first.value == c;
}

// The characters that read back as `c`: c and the typed sides of its pairs.
std::vector<char32_t> ReadingBackAs(char32_t c) {
  std::vector<char32_t> characters{c};
  for (const Cp932Pair& pair : Cp932OneWayPairs()) {
    if (pair.stored == c) characters.push_back(pair.typed);
  }
  return characters;
}

}  // namespace

CellReplacements::CellReplacements(const SwapTable& table) {
  std::vector<CellRule> rules;
  for (const SwapEntry& entry : table) {
    if (entry.kind != SwapKind::kCell) continue;
    rules.push_back({ReadBack(TrimAsciiSpaces(entry.from)), CutToTwoBytes(entry.to)});
  }
  std::unordered_set<char32_t> started;
  // A cell starts as one character, so only a From of exactly one character
  // can start a chain; longer ones match only what an earlier entry made.
  for (const CellRule& rule : rules) {
    if (rule.from.empty()) continue;
    const CodePoint start = CodePointAt(rule.from, 0);
    if (start.units != rule.from.size() || !started.insert(start.value).second) continue;
    // Every character that reads back as the start meets the same first
    // rule, so its chain ends in the same cell.
    const std::u16string cell = FollowChain(rule.from, rules);
    for (const char32_t c : ReadingBackAs(start.value)) {
      if (IsCharacter(cell, c)) continue;
      if (cell.size() != 1) allSingleUnit_ = false;
      if (c < 0x10000) Set(bmpFilter_, static_cast<char16_t>(c));
      cells_.emplace(c, cell);
    }
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
  for (const auto& [c, cell] : cells_) {
    const char16_t made = cell.front();
    Set(outputs_, made);
    if (!Find(made) && !Has(standing_, made)) {
      Set(standing_, made);
      standingUnits_.push_back(made);
    }
  }
}

}  // namespace mirotabe
