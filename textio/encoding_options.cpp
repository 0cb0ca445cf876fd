#include "textio/encoding_options.h"

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

std::string UnknownInputEncoding(std::string_view name) {
  return "unknown input encoding '" + std::string(name) +
         "' (use auto, cp932, utf-8, utf-16, euc-jp or iso-2022-jp)";
}

std::variant<Charset, std::string> OutputCharsetNamed(std::string_view name) {
  const std::optional<NamedEncoding> named = EncodingNamed(name);
  if (named && named->encoding == TextEncoding::Cp932) return Charset::Cp932;
  if (named && named->encoding == TextEncoding::Utf8) return Charset::Utf8;
  if (named) return std::string(name) + " can be read but not written; use cp932 or utf-8";
  return "unknown encoding '" + std::string(name) + "' (use cp932 or utf-8)";
}

DetectedText ReadInput(std::string_view bytes, const InputEncoding& from) {
  if (!from.named) return DecodeDetectedTextFile(bytes);
  return DecodeTextFileIn(bytes, EncodingOf(*from.named, bytes));
}

}  // namespace mirotabe
