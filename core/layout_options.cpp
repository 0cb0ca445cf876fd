#include "core/layout_options.h"

#include <charconv>

namespace mirotabe {
namespace {

// A decimal number from 0 to `max`, digits only: no sign, no spaces.
std::optional<std::size_t> Number(const std::string& value, std::size_t max) {
  std::size_t number = 0;
  const char* end = value.data() + value.size();
  const auto [stop, failed] = std::from_chars(value.data(), end, number);
  if (value.empty() || failed != std::errc() || stop != end || number > max) return std::nullopt;
  return number;
}

std::string Invalid(const std::string& name, const std::string& value, const std::string& allowed) {
  return "invalid value '" + value + "' for --" + name + " (allowed: " + allowed + ")";
}

}  // namespace

void LayoutOverrides::ApplyTo(LayoutSettings& settings) const {
  if (columnLength) settings.columnLength = *columnLength;
  if (kinsoku) settings.kinsoku = *kinsoku;
  if (gap) settings.columnGap = *gap;
  if (tcy) settings.tcy = *tcy;
  if (latin) settings.latin = *latin;
}

std::optional<std::string> ParseLayoutOption(const std::string& name, const std::string& value,
                                             LayoutOverrides& overrides) {
  if (name == "column-length") {
    overrides.columnLength = Number(value, kMaxColumnLength);
    if (!overrides.columnLength) {
      return Invalid(name, value, "0 to " + std::to_string(kMaxColumnLength) + ", 0 for none");
    }
  } else if (name == "gap") {
    const auto gap = Number(value, kMaxColumnGap);
    if (!gap) return Invalid(name, value, "0 to " + std::to_string(kMaxColumnGap));
    overrides.gap = static_cast<std::uint8_t>(*gap);
  } else if (name == "tcy") {
    const auto digits = Number(value, kMaxTcyDigits);
    if (!digits) return Invalid(name, value, "0 to " + std::to_string(kMaxTcyDigits));
    overrides.tcy = static_cast<std::uint8_t>(*digits);
  } else if (name == "latin") {
    if (value == "cells") {
      overrides.latin = LatinSetting::kCells;
    } else if (value == "sideways") {
      overrides.latin = LatinSetting::kSideways;
    } else {
      return Invalid(name, value, "cells or sideways");
    }
  } else if (name == "kinsoku") {
    if (value == "none") {
      overrides.kinsoku = Kinsoku::kNone;
    } else if (value == "hang") {
      overrides.kinsoku = Kinsoku::kHang;
    } else if (value == "push") {
      overrides.kinsoku = Kinsoku::kPushOut;
    } else {
      return Invalid(name, value, "none, hang or push");
    }
  } else if (name == "notation") {
    overrides.notation = NotationNamed(value);
    if (!overrides.notation) return Invalid(name, value, "aozora or plain");
  } else if (name == "ruby") {
    if (value != "on" && value != "off") return Invalid(name, value, "off or on");
    overrides.ruby = value == "on";
  }
  return std::nullopt;
}

}  // namespace mirotabe
