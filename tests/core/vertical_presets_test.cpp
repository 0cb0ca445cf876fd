#include "core/vertical_presets.h"

#include <gtest/gtest.h>

#include "core/two_byte_cut.h"
#include "platform/charset.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

using enum SwapKind;

const VerticalPreset& Preset(std::u16string_view name) {
  for (const VerticalPreset& preset : VerticalPresets()) {
    if (preset.name == name) return preset;
  }
  ADD_FAILURE() << "no such preset";
  return VerticalPresets().front();
}

const VerticalPreset& ShiftJis() {
  return Preset(u"縦書き記号（Shift_JIS）");
}
const VerticalPreset& Unicode() {
  return Preset(u"縦書き記号（Unicode）");
}

TEST(VerticalPresetsTest, OfferedInOrder) {
  ASSERT_EQ(VerticalPresets().size(), 2u);
  EXPECT_EQ(VerticalPresets()[0].name, u"縦書き記号（Shift_JIS）");
  EXPECT_EQ(VerticalPresets()[1].name, u"縦書き記号（Unicode）");
}

// The table the manual shows (docs/manual/settings.md): what is left of the candidates after the
// code page 932 encoder has had its say.
TEST(VerticalPresetsTest, ShiftJisTableIsWhatSurvivesTheEncoder) {
  const std::vector<SwapEntry> expected = {
      {u"ー", u"｜", kCell}, {u"―", u"｜", kCell}, {u"－", u"｜", kCell}, {u"「", u"┐", kCell},
      {u"」", u"└", kCell},  {u"『", u"┓", kCell}, {u"』", u"┗", kCell},
  };
  EXPECT_EQ(ShiftJis().entries, expected);
}

// Every entry is a whole cell: the cell replacement keeps it as it is, and
// the encoder writes it without a '?'.
TEST(VerticalPresetsTest, EntriesAreWholeCells) {
  for (const VerticalPreset* preset : {&ShiftJis(), &Unicode()}) {
    for (const SwapEntry& entry : preset->entries) {
      EXPECT_EQ(entry.kind, kCell);
      EXPECT_EQ(CutToTwoBytes(entry.to), entry.to);
      const Charset charset = preset == &ShiftJis() ? Charset::Cp932 : Charset::Utf8;
      EXPECT_EQ(Encode(entry.from + entry.to, charset).replaced, 0u);
    }
  }
}

struct AddCase {
  const char* name;
  std::vector<SwapEntry> before;
  std::size_t added;
  std::size_t count;
};

class AddPresetTest : public testing::TestWithParam<AddCase> {};

TEST_P(AddPresetTest, SkipsFromsAlreadyThere) {
  SwapTable table;
  for (const SwapEntry& entry : GetParam().before) table.Append(entry);
  const SwapTable original = table;
  EXPECT_EQ(AddPresetEntries(table, ShiftJis()), GetParam().added);
  EXPECT_EQ(table.Count(), GetParam().count);
  // The entries that were there stay first, unchanged.
  for (std::size_t i = 0; i < original.Count(); ++i) EXPECT_EQ(table[i], original[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, AddPresetTest,
    testing::Values(AddCase{"Empty", {}, 7, 7}, AddCase{"OwnBarKept", {{u"ー", u"|", kCell}}, 6, 7},
                    // Any kind counts: the From is taken.
                    AddCase{"Type1FromTaken", {{u"「", u"[", kWholeText}}, 6, 7},
                    AddCase{"OtherFromsStay", {{u"a", u"b", kCell}}, 7, 8}),
    testing_support::CaseName());

TEST(AddPresetTest, StopsWhenTheTableIsFull) {
  SwapTable table;
  while (table.Count() < SwapTable::kMaxEntries - 2) table.Append({u"x", u"y", kCell});
  EXPECT_EQ(AddPresetEntries(table, ShiftJis()), 2u);
  EXPECT_TRUE(table.Full());
  EXPECT_EQ(table[SwapTable::kMaxEntries - 1].from, u"―");
}

}  // namespace
}  // namespace mirotabe
