// Decimal numbers with a fraction ("10.5", "0.75") as the settings file and
// the options write them, to the thousandth. std::from_chars and
// std::to_chars for double are missing from the browser build's library,
// and the C library's own conversions follow the locale, which may use a
// decimal comma.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mirotabe {

// Digits with at most one '.', at least one digit, no sign and no blanks;
// digits past the thousandth are dropped. Nothing for anything else.
std::optional<double> ParseDecimal(std::u16string_view text);
std::optional<double> ParseDecimal(std::string_view text);

// `value` (not negative) to the thousandth, without trailing zeros:
// "10.5", "12", "0.75".
std::u16string DecimalText(double value);

}  // namespace mirotabe
