#include <uchardet.h>

#include <algorithm>
#include <memory>
#include <type_traits>

#include "textio/charset_guess.h"

namespace mirotabe {
namespace {

// uchardet decides within the first few kilobytes of Japanese text; the
// rest of a long file only costs time.
constexpr std::size_t kSampleBytes = std::size_t{64} * 1024;
// How much ASCII before the first other byte the sample keeps as context.
constexpr std::size_t kLeadingContext = 1024;

}  // namespace

// uchardet sees a sample that starts shortly before the first byte that is
// not plain ASCII.
std::string GuessCharset(std::string_view bytes, std::size_t firstInteresting) {
  std::size_t start = firstInteresting > kLeadingContext ? firstInteresting - kLeadingContext : 0;
  const std::size_t lineStart = bytes.rfind('\n', firstInteresting);
  if (lineStart != std::string_view::npos && lineStart + 1 > start) start = lineStart + 1;
  const std::string_view sample = bytes.substr(start, kSampleBytes);

  const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
      uchardet_new(), &uchardet_delete);
  if (!detector || uchardet_handle_data(detector.get(), sample.data(), sample.size()) != 0) {
    return {};
  }
  uchardet_data_end(detector.get());
  std::string name = uchardet_get_charset(detector.get());
  std::transform(name.begin(), name.end(), name.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return name;
}

}  // namespace mirotabe
