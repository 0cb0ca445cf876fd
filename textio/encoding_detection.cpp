#include "textio/encoding_detection.h"

#include <algorithm>
#include <optional>

#include "textio/charset_guess.h"

namespace mirotabe {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeByteOrderMark = "\xFE\xFF";
constexpr unsigned char kEscape = 0x1B;
constexpr char16_t kReplacementCharacter = 0xFFFD;

bool IsInteresting(unsigned char b) {
  return b >= 0x80 || b == kEscape;
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

struct Utf8Scan {
  bool valid = true;
  bool aboveU07FF = false;  // some character takes three or four bytes
};

// What a lead byte of RFC 3629 UTF-8 says of its sequence: the length (0
// for a byte that starts none) and the range of the second byte, which
// excludes overlong forms, surrogates and anything above U+10FFFF.
struct Utf8Lead {
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
};

Utf8Lead LeadOf(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return {2};
  if (b == 0xE0) return {3, 0xA0};        // overlong below U+0800
  if (b == 0xED) return {3, 0x80, 0x9F};  // surrogates
  if (b >= 0xE1 && b <= 0xEF) return {3};
  if (b == 0xF0) return {4, 0x90};        // overlong below U+10000
  if (b == 0xF4) return {4, 0x80, 0x8F};  // above U+10FFFF
  if (b >= 0xF1 && b <= 0xF3) return {4};
  return {};
}

Utf8Scan ScanUtf8(std::string_view bytes) {
  Utf8Scan scan;
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  while (i < bytes.size()) {
    if (at(i) < 0x80) {
      ++i;
      continue;
    }
    const Utf8Lead lead = LeadOf(at(i));
    if (lead.length == 0 || i + lead.length > bytes.size() || at(i + 1) < lead.low ||
        at(i + 1) > lead.high) {
      return {false, scan.aboveU07FF};
    }
    for (std::size_t k = 2; k < lead.length; ++k) {
      if (!IsContinuation(at(i + k))) return {false, scan.aboveU07FF};
    }
    if (lead.length > 2) scan.aboveU07FF = true;
    i += lead.length;
  }
  return scan;
}

bool HasReplacement(const std::u16string& text) {
  return text.find(kReplacementCharacter) != std::u16string::npos;
}

std::optional<TextEncoding> JapaneseEncodingNamed(const std::string& name) {
  if (name == "SHIFT_JIS") return TextEncoding::Cp932;
  if (name == "EUC-JP") return TextEncoding::EucJp;
  if (name == "ISO-2022-JP") return TextEncoding::Iso2022Jp;
  return std::nullopt;
}

DetectedReading Read(std::string_view bytes, TextEncoding encoding, bool sure = true) {
  return {encoding, sure, Decode(bytes, encoding)};
}

}  // namespace

DetectedReading ReadInDetectedEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) {
    return Read(bytes.substr(kUtf8ByteOrderMark.size()), TextEncoding::Utf8);
  }
  if (bytes.starts_with(kUtf16LeByteOrderMark)) {
    return Read(bytes.substr(kUtf16LeByteOrderMark.size()), TextEncoding::Utf16Le);
  }
  if (bytes.starts_with(kUtf16BeByteOrderMark)) {
    return Read(bytes.substr(kUtf16BeByteOrderMark.size()), TextEncoding::Utf16Be);
  }

  const std::string_view::const_iterator interesting =
      std::find_if(bytes.begin(), bytes.end(),
                   [](char c) { return IsInteresting(static_cast<unsigned char>(c)); });
  if (interesting == bytes.end()) return Read(bytes, TextEncoding::Cp932);
  const auto firstInteresting = static_cast<std::size_t>(interesting - bytes.begin());
  const bool nonAscii = std::any_of(interesting, bytes.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });

  std::optional<std::string> guess;
  const auto uchardet = [&]() -> const std::string& {
    if (!guess) guess = GuessCharset(bytes, firstInteresting);
    return *guess;
  };

  if (nonAscii) {
    const Utf8Scan utf8 = ScanUtf8(bytes);
    if (utf8.valid) {
      if (!utf8.aboveU07FF || uchardet() == "SHIFT_JIS") {
        DetectedReading cp932 = Read(bytes, TextEncoding::Cp932);
        if (!HasReplacement(cp932.text)) return cp932;
      }
      return Read(bytes, TextEncoding::Utf8);
    }
  }

  if (const std::optional<TextEncoding> named = JapaneseEncodingNamed(uchardet())) {
    DetectedReading reading = Read(bytes, *named);
    if (*named != TextEncoding::Cp932 && HasReplacement(reading.text)) {
      DetectedReading cp932 = Read(bytes, TextEncoding::Cp932);
      if (!HasReplacement(cp932.text)) return cp932;
    }
    return reading;
  }
  return Read(bytes, TextEncoding::Cp932, false);
}

}  // namespace mirotabe
