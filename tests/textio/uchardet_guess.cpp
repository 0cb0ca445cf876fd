#include "tests/textio/uchardet_guess.h"

#include <uchardet.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace mirotabe::testing_support {

std::optional<TextEncoding> UchardetGuess(std::string_view bytes) {
  const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
      uchardet_new(), &uchardet_delete);
  if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) {
    return std::nullopt;
  }
  uchardet_data_end(detector.get());
  std::string name = uchardet_get_charset(detector.get());
  std::transform(name.begin(), name.end(), name.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  static constexpr std::array kNames = {std::pair{"SHIFT_JIS", TextEncoding::Cp932},
                                        std::pair{"EUC-JP", TextEncoding::EucJp},
                                        std::pair{"ISO-2022-JP", TextEncoding::Iso2022Jp},
                                        std::pair{"UTF-8", TextEncoding::Utf8},
                                        std::pair{"UTF-16LE", TextEncoding::Utf16Le},
                                        std::pair{"UTF-16BE", TextEncoding::Utf16Be}};
  for (const auto& [known, encoding] : kNames) {
    if (name == known) return encoding;
  }
  return std::nullopt;
}

}  // namespace mirotabe::testing_support
