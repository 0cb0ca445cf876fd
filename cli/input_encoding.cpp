#include "cli/input_encoding.h"

#include <algorithm>

namespace mirotabe {
namespace {

bool IsAuto(std::string_view name) {
  constexpr std::string_view kAuto = "auto";
  return std::equal(name.begin(), name.end(), kAuto.begin(), kAuto.end(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

}  // namespace

std::optional<InputEncoding> InputEncodingNamed(std::string_view name) {
  if (IsAuto(name)) return InputEncoding{};
  const std::optional<NamedEncoding> named = EncodingNamed(name);
  if (!named) return std::nullopt;
  return InputEncoding{named};
}

DetectedText ReadInput(std::string_view bytes, const InputEncoding& from) {
  if (!from.named) return DecodeDetectedTextFile(bytes);
  const TextEncoding encoding = EncodingOf(*from.named, bytes);
  return {DecodeTextFile(bytes, encoding), encoding, false};
}

}  // namespace mirotabe
