#include "core/vertical_presets.h"

#include <algorithm>

#include "platform/charset.h"

namespace mirotabe {
namespace {

using enum SwapKind;

// Rotated a quarter turn, the brackets are the corners of box drawing, and
// the long marks a vertical bar. The wreath product ≀ for the wave dash and
// the presentation forms for the round brackets would be better still,
// but whether code page 932 holds them is left to the encoder.
const SwapEntry kShiftJisCandidates[] = {
    {u"ー", u"｜", kCell}, {u"―", u"｜", kCell},  {u"－", u"｜", kCell}, {u"～", u"≀", kCell},
    {u"「", u"┐", kCell},  {u"」", u"└", kCell},  {u"『", u"┓", kCell},  {u"』", u"┗", kCell},
    {u"（", u"︵", kCell}, {u"）", u"︶", kCell},
};

const SwapEntry kUnicodeEntries[] = {
    {u"、", u"︑", kCell}, {u"。", u"︒", kCell}, {u"，", u"︐", kCell}, {u"：", u"︓", kCell},
    {u"；", u"︔", kCell}, {u"！", u"︕", kCell}, {u"？", u"︖", kCell}, {u"「", u"﹁", kCell},
    {u"」", u"﹂", kCell}, {u"『", u"﹃", kCell}, {u"』", u"﹄", kCell}, {u"（", u"︵", kCell},
    {u"）", u"︶", kCell}, {u"【", u"︻", kCell}, {u"】", u"︼", kCell}, {u"〔", u"︹", kCell},
    {u"〕", u"︺", kCell}, {u"〈", u"︿", kCell}, {u"〉", u"﹀", kCell}, {u"《", u"︽", kCell},
    {u"》", u"︾", kCell}, {u"…", u"︙", kCell},  {u"‥", u"︰", kCell},  {u"ー", u"︱", kCell},
    {u"―", u"︱", kCell},  {u"—", u"︱", kCell},  {u"–", u"︲", kCell},
};

bool SurvivesCp932(const SwapEntry& entry) {
  return Encode(entry.from, Charset::Cp932).replaced == 0 &&
         Encode(entry.to, Charset::Cp932).replaced == 0;
}

std::vector<VerticalPreset> MakePresets() {
  VerticalPreset shiftJis{u"縦書き記号（Shift_JIS）", {}};
  std::copy_if(std::begin(kShiftJisCandidates), std::end(kShiftJisCandidates),
               std::back_inserter(shiftJis.entries), SurvivesCp932);
  VerticalPreset unicode{u"縦書き記号（Unicode）",
                         {std::begin(kUnicodeEntries), std::end(kUnicodeEntries)}};
  return {std::move(shiftJis), std::move(unicode)};
}

}  // namespace

const std::vector<VerticalPreset>& VerticalPresets() {
  static const std::vector<VerticalPreset> presets = MakePresets();
  return presets;
}

std::size_t AddPresetEntries(SwapTable& table, const VerticalPreset& preset) {
  std::size_t added = 0;
  for (const SwapEntry& entry : preset.entries) {
    const bool present = std::any_of(table.begin(), table.end(), [&](const SwapEntry& existing) {
      return existing.from == entry.from;
    });
    if (present) continue;
    if (!table.Append(entry)) break;
    ++added;
  }
  return added;
}

}  // namespace mirotabe
