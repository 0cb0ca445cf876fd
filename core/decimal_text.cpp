#include "core/decimal_text.h"

#include <cmath>
#include <cstdint>

namespace mirotabe {
namespace {

constexpr std::int64_t kThousandths = 1000;

template <typename Char>
std::optional<double> Parse(std::basic_string_view<Char> text) {
  std::int64_t whole = 0;
  std::int64_t fraction = 0;
  std::int64_t scale = kThousandths;
  bool seenPoint = false;
  bool seenDigit = false;
  for (const Char c : text) {
    if (c == Char('.') && !seenPoint) {
      seenPoint = true;
    } else if (c >= Char('0') && c <= Char('9')) {
      seenDigit = true;
      const int digit = static_cast<int>(c - Char('0'));
      // Beyond a million the number is out of every range that reads it.
      if (!seenPoint && whole < kThousandths * kThousandths) whole = whole * 10 + digit;
      if (seenPoint && scale > 1) fraction += digit * (scale /= 10);
    } else {
      return std::nullopt;
    }
  }
  if (!seenDigit) return std::nullopt;
  return static_cast<double>(whole) + static_cast<double>(fraction) / kThousandths;
}

}  // namespace

std::optional<double> ParseDecimal(std::u16string_view text) {
  return Parse(text);
}
std::optional<double> ParseDecimal(std::string_view text) {
  return Parse(text);
}

std::u16string DecimalText(double value) {
  const auto thousandths = std::llround(value * kThousandths);
  std::u16string text;
  for (const char c : std::to_string(thousandths / kThousandths))
    text.push_back(static_cast<char16_t>(c));
  std::int64_t fraction = thousandths % kThousandths;
  if (fraction == 0) return text;
  text.push_back(u'.');
  for (std::int64_t digit = kThousandths / 10; fraction != 0; digit /= 10) {
    text.push_back(static_cast<char16_t>(u'0' + fraction / digit));
    fraction %= digit;
  }
  return text;
}

}  // namespace mirotabe
