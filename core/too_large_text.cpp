#include "core/too_large_text.h"

namespace mirotabe {
namespace {

std::u16string Number(std::size_t number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string TooLargeText(const LayoutTooLarge& tooLarge) {
  if (tooLarge.units != 0) {
    return u"置き換えると大きすぎるため表示できません。\n置き換えた文章は " +
           Number(tooLarge.units) + u" 文字以上になり、上限の " +
           Number(PreparedUnitsBound(tooLarge.bound)) + u" 文字を超えます。";
  }
  return u"縦書きにすると大きすぎるため表示できません。\n" + Number(tooLarge.lines) +
         u" 行 × 最長 " + Number(tooLarge.longestLine) + u" 文字は、上限の " +
         Number(tooLarge.bound) + u" 文字を超えています。";
}

}  // namespace mirotabe
