#include "cli/input_encoding.h"

namespace mirotabe {
namespace {

DetectedText Named(std::string_view bytes, TextEncoding encoding) {
  return {DecodeTextFile(bytes, encoding), encoding, false};
}

}  // namespace

std::optional<InputEncoding> InputEncodingNamed(std::string_view name) {
  if (name == "auto") return InputEncoding::kAuto;
  if (name == "cp932") return InputEncoding::kCp932;
  if (name == "utf-8") return InputEncoding::kUtf8;
  if (name == "utf-16") return InputEncoding::kUtf16;
  if (name == "euc-jp") return InputEncoding::kEucJp;
  if (name == "iso-2022-jp") return InputEncoding::kIso2022Jp;
  return std::nullopt;
}

DetectedText ReadInput(std::string_view bytes, InputEncoding from) {
  switch (from) {
    case InputEncoding::kAuto:
      return DecodeDetectedTextFile(bytes);
    case InputEncoding::kCp932:
      return Named(bytes, TextEncoding::Cp932);
    case InputEncoding::kUtf8:
      return Named(bytes, TextEncoding::Utf8);
    case InputEncoding::kUtf16:
      return Named(bytes,
                   bytes.starts_with("\xFE\xFF") ? TextEncoding::Utf16Be : TextEncoding::Utf16Le);
    case InputEncoding::kEucJp:
      return Named(bytes, TextEncoding::EucJp);
    case InputEncoding::kIso2022Jp:
      return Named(bytes, TextEncoding::Iso2022Jp);
  }
  return {};
}

}  // namespace mirotabe
