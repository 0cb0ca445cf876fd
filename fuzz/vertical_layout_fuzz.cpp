// The vertical conversion under fuzzed text, tab width and tables: every
// row has one cell per column, Text() is exactly the cells, a text
// prepared step by step in place lays out the same, a layout brought up
// to date after edits is the one a fresh build of the edited text gives,
// and no column, in the text or on pages, runs past its length.
#include <algorithm>
#include <string>
#include <vector>

#include "core/code_points.h"
#include "core/layout_settings.h"
#include "core/page_setup.h"
#include "core/prepare_text.h"
#include "core/vertical_layout.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/column_lengths.h"

using namespace mirotabe;

namespace {

// The cells the layout should have: lines of the prepared text at CR LF,
// each one code point per cell.
struct Shape {
  std::size_t lines = 0;
  std::size_t longest = 0;
  std::vector<std::size_t> cells;  // of each line
};

Shape ShapeOf(std::u16string_view prepared) {
  Shape shape;
  std::size_t cells = 0;
  for (std::size_t i = 0;;) {
    if (i == prepared.size() || prepared.substr(i).starts_with(u"\r\n")) {
      ++shape.lines;
      shape.cells.push_back(cells);
      shape.longest = std::max(shape.longest, cells);
      cells = 0;
      if (i == prepared.size()) break;
      i += 2;
      continue;
    }
    i += CodePointAt(prepared, i).units;
    ++cells;
  }
  return shape;
}

// Edits drawn from the fuzzer's bytes, each followed by an update of the
// layout, which must then be a fresh one under the same fuzzed settings.
void CheckUpdates(FuzzedDataProvider& data, std::u16string text, LayoutRules rules,
                  std::size_t bound) {
  rules.columns = {data.ConsumeIntegralInRange<std::size_t>(0, 6),
                   static_cast<Kinsoku>(data.ConsumeIntegralInRange<int>(0, 2)),
                   data.ConsumeIntegralInRange<std::uint8_t>(0, 2)};
  LayoutResult layout = RebuildVerticalLayout({}, text, rules, bound);
  // The same text edited in place, as the window keeps it.
  GapText edited(text);
  for (int edits = data.ConsumeIntegralInRange(0, 4); edits > 0; --edits) {
    const std::size_t offset = data.ConsumeIntegralInRange<std::size_t>(0, text.size());
    const std::size_t removed = data.ConsumeIntegralInRange<std::size_t>(0, text.size() - offset);
    const std::u16string added = fuzzing::DrawText(data, 24);
    text.replace(offset, removed, added);
    edited.Replace(offset, removed, added);
    const TextEdit edit{offset, removed, added.size()};
    VerticalLayout* previous = std::get_if<VerticalLayout>(&layout);
    if (previous == nullptr) {
      layout = RebuildVerticalLayout({}, text, rules, bound);
    } else if (data.ConsumeBool()) {
      layout = UpdateVerticalLayout(std::move(*previous), edited, edit, rules, bound);
    } else {
      layout = UpdateVerticalLayout(std::move(*previous), text, edit, rules, bound);
    }
    const LayoutResult fresh = BuildVerticalLayout(text, rules, bound);
    const auto* got = std::get_if<VerticalLayout>(&layout);
    const auto* want = std::get_if<VerticalLayout>(&fresh);
    FUZZ_CHECK((got == nullptr) == (want == nullptr));
    if (got == nullptr) continue;
    FUZZ_CHECK(got->RowCount() == want->RowCount() && got->ColumnCount() == want->ColumnCount());
    FUZZ_CHECK(got->Text() == want->Text());
    // Entries may replace the mark that hangs below a column in place.
    FUZZ_CHECK(rules.table.Count() != 0 ||
               testing_support::CellsWithinLength(*want, rules.columns));
  }
}

// Pages of fuzzed columns, 縦中横, Latin and ruby: no column runs past its
// length, and every character stands in a column. Without entries, which
// may replace a mark that hangs below a column.
void CheckPageColumns(FuzzedDataProvider& data, std::u16string_view text, std::uint8_t tabSpace,
                      std::size_t bound) {
  LayoutSettings settings;
  settings.columnLength = data.ConsumeIntegralInRange<std::size_t>(1, 12);
  settings.kinsoku = static_cast<Kinsoku>(data.ConsumeIntegralInRange<int>(0, kMaxKinsoku));
  settings.ruby = data.ConsumeBool();
  settings.tcy = data.ConsumeIntegralInRange<std::uint8_t>(0, kMaxTcyDigits);
  settings.latin = static_cast<LatinSetting>(data.ConsumeIntegralInRange<int>(0, kMaxLatinSetting));
  PageSetup setup{true, data.ConsumeBool() ? Paper::kGenkou : Paper::kA6};
  setup.columnLength = settings.columnLength;
  setup.kinsoku = settings.kinsoku;
  const LayoutResult result = BuildVerticalLayout(
      text, {tabSpace, {}, PageLayoutSettings(settings, setup, PageGeometryOf(setup))}, bound);
  const auto* pages = std::get_if<VerticalLayout>(&result);
  if (pages == nullptr) return;
  FUZZ_CHECK(testing_support::HoldsTheWholeText(*pages));
  FUZZ_CHECK(testing_support::DrawnWithinLength(*pages, setup, settings.kinsoku));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  LayoutRules rules;
  rules.tabSpace = data.ConsumeIntegral<std::uint8_t>();
  rules.table = fuzzing::DrawTable(data, 6, 4);
  const std::u16string input = fuzzing::DrawText(data, 512);

  // A bound small enough that a wide tab never builds a huge layout, and
  // each input stays cheap, yet one that lets eight lines of wide tabs run
  // past the grid copy's bands of 1,024 rows.
  constexpr std::size_t kBound = 1 << 14;
  const LayoutResult result = BuildVerticalLayout(input, rules, kBound);
  if (input.empty()) {
    FUZZ_CHECK(std::get<VerticalLayout>(result).RowCount() == 0);
    return 0;
  }
  const Shape shape = ShapeOf(std::get<std::u16string>(PrepareText(input, rules)));
  if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
    if (tooLarge->units != 0) {
      // Refused while the text was prepared: it grew past what the bound
      // can take on the way.
      FUZZ_CHECK(tooLarge->units > PreparedUnitsBound(kBound) && tooLarge->lines == 0);
      return 0;
    }
    FUZZ_CHECK(tooLarge->lines == shape.lines && tooLarge->longestLine == shape.longest);
    FUZZ_CHECK(shape.lines * shape.longest > kBound);
    return 0;
  }
  const VerticalLayout& layout = std::get<VerticalLayout>(result);
  FUZZ_CHECK(layout.RowCount() == shape.longest);
  FUZZ_CHECK(layout.ColumnCount() == (shape.longest == 0 ? 0 : shape.lines));

  std::u16string fromCells;
  for (std::size_t row = 0; row < layout.RowCount(); ++row) {
    if (row != 0) fromCells += u"\r\n";
    std::u16string rowText;
    layout.AppendRow(row, rowText);
    std::u16string joined;
    for (std::size_t column = 0; column < layout.ColumnCount(); ++column) {
      const std::u16string_view cell = layout.Cell(row, column);
      // Lines shorter than the longest are filled at the bottom, with
      // blanks that no entry made.
      if (row >= shape.cells[shape.lines - 1 - column]) {
        FUZZ_CHECK(cell == u"\u3000" && !layout.CellAt(row, column).fromEntry);
      }
      // Without entries no cell is an entry's.
      FUZZ_CHECK(layout.CellAt(row, column).text == cell &&
                 (rules.table.Count() != 0 || !layout.CellAt(row, column).fromEntry));
      joined += cell;
    }
    FUZZ_CHECK(rowText == joined);
    fromCells += joined;
  }
  FUZZ_CHECK(layout.Text() == fromCells);
  // Prepared in place, one step after another, the text lays out the same
  // as when it is mapped on its way into the layout.
  const LayoutResult inPlace = BuildVerticalLayoutInPlace(std::u16string(input), rules, kBound);
  const auto* stepByStep = std::get_if<VerticalLayout>(&inPlace);
  FUZZ_CHECK(stepByStep != nullptr && stepByStep->Text() == fromCells);
  CheckPageColumns(data, input, rules.tabSpace, kBound);
  CheckUpdates(data, input, rules, kBound);
  return 0;
}
