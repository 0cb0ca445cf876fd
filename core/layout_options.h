// The layout options of a conversion, each of which overrides the settings
// file: --column-length N, --kinsoku none|hang|push, --gap N,
// --ruby off|on, --tcy N, --latin cells|sideways and --notation
// aozora|plain of the converter, and
// the same names in the browser module's options.
#pragma once

#include <optional>
#include <string>

#include "core/layout_settings.h"
#include "core/notation.h"

namespace mirotabe {

struct LayoutOverrides {
  std::optional<std::size_t> columnLength;
  std::optional<Kinsoku> kinsoku;
  std::optional<std::uint8_t> gap;
  // Left to the caller, whose default depends on what is made (see
  // RubyInPages).
  std::optional<bool> ruby = std::nullopt;
  std::optional<std::uint8_t> tcy;
  std::optional<LatinSetting> latin;
  // Left to the caller, whose default depends on what is made (see
  // NotationFor).
  std::optional<Notation> notation = std::nullopt;

  void ApplyTo(LayoutSettings& settings) const;
};

// Takes the value of option `name` (without the dashes) into `overrides`.
// Returns why it cannot, naming the option and what it allows, or nothing.
// An option that is not one of these is left alone.
std::optional<std::string> ParseLayoutOption(const std::string& name, const std::string& value,
                                             LayoutOverrides& overrides);

}  // namespace mirotabe
