// Which notation a text is read in before it is laid out: as it stands
// (plain), or in Aozora Bunko's, whose ［＃…］ annotations, 外字 notes and
// ruby become marks beside the text (see core/aozora_notation.h). The
// converter's --notation, the browser module's option of the same name and
// "Notation" in section "Layout" of the settings file all name it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirotabe {

enum class Notation : std::uint8_t { kPlain = 0, kAozora = 1 };
inline constexpr int kMaxNotation = static_cast<int>(Notation::kAozora);

// "plain", "aozora".
std::optional<Notation> NotationNamed(std::string_view name);

// What a conversion makes, for the notation it reads in unless told.
enum class OutputKind : std::uint8_t { kText, kPicture, kPage, kEbook };

// The notation chosen, else Aozora Bunko's for everything that is typeset
// and plain for text, whose bytes stay as they were unless asked.
inline Notation NotationFor(std::optional<Notation> chosen, OutputKind output) {
  if (chosen) return *chosen;
  return output == OutputKind::kText ? Notation::kPlain : Notation::kAozora;
}

}  // namespace mirotabe
