#include "textio/draft_file.h"

#include <array>
#include <charconv>

#include "textio/encoding_names.h"

namespace mirotabe {
namespace {

constexpr std::string_view kMagic = "Mirotabe draft 1\n";
constexpr std::array<TextEncoding, 6> kEncodings = {TextEncoding::Cp932,   TextEncoding::Utf8,
                                                    TextEncoding::Utf16Le, TextEncoding::Utf16Be,
                                                    TextEncoding::EucJp,   TextEncoding::Iso2022Jp};

// Reads "<key> <number>\n" from the front of `bytes`.
std::optional<std::size_t> TakeCount(std::string_view& bytes, std::string_view key) {
  if (!bytes.starts_with(key) || bytes.size() <= key.size() || bytes[key.size()] != ' ') {
    return std::nullopt;
  }
  bytes.remove_prefix(key.size() + 1);
  std::size_t count = 0;
  const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), count);
  if (error != std::errc() || end == bytes.data() + bytes.size() || *end != '\n') {
    return std::nullopt;
  }
  bytes.remove_prefix(static_cast<std::size_t>(end - bytes.data()) + 1);
  return count;
}

}  // namespace

std::string DraftBytes(const Draft& draft) {
  std::string bytes(kMagic);
  bytes += "path " + std::to_string(draft.path.size()) + "\n" + draft.path + "\n";
  bytes += "encoding ";
  bytes += draft.encoding ? EncodingName(*draft.encoding) : "-";
  bytes += "\ntext " + std::to_string(draft.text.size()) + "\n";
  bytes.reserve(bytes.size() + 2 * draft.text.size());
  for (const char16_t unit : draft.text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

std::optional<Draft> ParseDraft(std::string_view bytes) {
  if (!bytes.starts_with(kMagic)) return std::nullopt;
  bytes.remove_prefix(kMagic.size());
  Draft draft;
  const std::optional<std::size_t> pathBytes = TakeCount(bytes, "path");
  if (!pathBytes || bytes.size() < *pathBytes + 1 || bytes[*pathBytes] != '\n') return std::nullopt;
  draft.path = bytes.substr(0, *pathBytes);
  bytes.remove_prefix(*pathBytes + 1);

  constexpr std::string_view kEncoding = "encoding ";
  const std::size_t lineEnd = bytes.find('\n');
  if (!bytes.starts_with(kEncoding) || lineEnd == std::string_view::npos) return std::nullopt;
  const std::string_view name = bytes.substr(kEncoding.size(), lineEnd - kEncoding.size());
  for (const TextEncoding encoding : kEncodings) {
    if (name == EncodingName(encoding)) draft.encoding = encoding;
  }
  if (!draft.encoding && name != "-") return std::nullopt;
  bytes.remove_prefix(lineEnd + 1);

  const std::optional<std::size_t> units = TakeCount(bytes, "text");
  if (!units || bytes.size() != 2 * *units) return std::nullopt;
  draft.text.resize(*units);
  for (std::size_t i = 0; i < *units; ++i) {
    draft.text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                          static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return draft;
}

}  // namespace mirotabe
