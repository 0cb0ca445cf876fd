#include "core/notation.h"

namespace mirotabe {

std::optional<Notation> NotationNamed(std::string_view name) {
  if (name == "plain") return Notation::kPlain;
  if (name == "aozora") return Notation::kAozora;
  return std::nullopt;
}

}  // namespace mirotabe
