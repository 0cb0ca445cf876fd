// The settings on fuzzed "Setting.ini" bytes and on fuzzed tables. What is
// read survives a save and a fresh read; a table survives a save and a read
// but for the profile's documented rules: code page 932, a NUL ends a
// value, and the 127-byte limit. A text that code page 932 does not give
// back is kept whole, in its exact key, unless a NUL cut it.
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "platform/charset.h"
#include "platform/cp932.h"
#include "platform/profile.h"

using namespace mirotabe;

namespace {

constexpr std::string_view kFile = "Setting.ini";

AppSettings Read(std::string_view bytes) {
  AppSettings settings;
  ReadSettings(settings, ProfileFile::FromBytes(std::string(kFile), bytes));
  return settings;
}

std::string Saved(const AppSettings& settings, std::string_view old) {
  ProfileFile profile = ProfileFile::FromBytes(std::string(kFile), old);
  FUZZ_CHECK(WriteSettings(settings, profile).ok());
  return profile.Bytes();
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The reader's rules on the bytes of one value: up to a NUL, trimmed, one
// pair of the same quotes off, at most 127 bytes without splitting a
// double-byte character (unless `whole`).
std::u16string AsRead(std::u16string_view written, bool whole = false) {
  std::string bytes = Encode(written, Charset::Cp932).bytes;
  bytes = bytes.substr(0, bytes.find('\0'));
  std::string_view value = bytes;
  while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\'')) {
    value = value.substr(1, value.size() - 2);
  }
  std::size_t end = 0;
  while (end < value.size()) {
    const auto lead = static_cast<unsigned char>(value[end]);
    const auto trail = end + 1 < value.size() ? static_cast<unsigned char>(value[end + 1]) : 0;
    const bool pair = IsCp932LeadByte(lead) && IsCp932TrailByte(trail);
    const std::size_t next = end + (pair ? 2 : 1);
    if (next > 127 && !whole) break;
    end = next;
  }
  return Decode(value.substr(0, end), Charset::Cp932);
}

// The writer quotes a From only where the reader would trim it or take
// off its quotes.
std::u16string WrittenFrom(const std::u16string& from) {
  const bool quotedAlready = from.size() >= 2 && from.front() == from.back() &&
                             (from.front() == u'"' || from.front() == u'\'');
  const bool trimmed = !from.empty() && (from.front() == u' ' || from.front() == u'\t' ||
                                         from.back() == u' ' || from.back() == u'\t');
  return quotedAlready || trimmed ? u"\"" + from + u"\"" : from;
}

// Whether `text` is kept exactly beside its plain key.
bool KeptExactly(const std::u16string& text) {
  return Decode(Encode(text, Charset::Cp932).bytes, Charset::Cp932) != text &&
         text.find(u'\0') == std::u16string::npos;
}

// `text`, written as `written`, as it is read back.
std::u16string AsRead(const std::u16string& text, const std::u16string& written) {
  return KeptExactly(text) ? text : AsRead(written);
}

// The file's own text that an entry keeps for a plain value cut on reading.
std::optional<std::u16string> KeptText(const std::u16string& text, const std::u16string& written) {
  if (KeptExactly(text)) return std::nullopt;
  std::u16string whole = AsRead(written, true);
  if (whole == AsRead(written)) return std::nullopt;
  return whole;
}

SwapTable AsRead(const SwapTable& saved) {
  SwapTable expected;
  for (const SwapEntry& entry : saved) {
    SwapEntry read = entry;
    const std::u16string from = WrittenFrom(entry.kept.from.value_or(entry.from));
    const std::u16string to = u"\"" + entry.kept.to.value_or(entry.to) + u"\"";
    // The table ends where the plain From reads as empty.
    if (AsRead(from).empty()) break;
    read.from = AsRead(entry.from, from);
    read.to = AsRead(entry.to, to);
    read.kept.from = KeptText(entry.from, from);
    read.kept.to = KeptText(entry.to, to);
    expected.Append(std::move(read));
  }
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  if (data.ConsumeBool()) {
    // A file as it comes: what was read is saved and read back the same.
    const std::string file = data.ConsumeRemainingBytesAsString();
    const AppSettings first = Read(file);
    const std::string saved = Saved(first, file);
    const AppSettings second = Read(saved);
    FUZZ_CHECK(second.rules.tabSpace == first.rules.tabSpace);
    FUZZ_CHECK(second.convertTrigger == first.convertTrigger);
    FUZZ_CHECK(second.rules.table == AsRead(first.rules.table));
    // And a second save changes nothing more.
    FUZZ_CHECK(Saved(second, saved) == saved);
    return 0;
  }

  AppSettings settings;
  settings.rules.tabSpace = data.ConsumeIntegral<std::uint8_t>();
  settings.convertTrigger = static_cast<ConvertTrigger>(data.ConsumeIntegral<std::uint8_t>());
  settings.rules.table = fuzzing::DrawTable(data, 8, 140);
  const std::string old = data.ConsumeRemainingBytesAsString();

  bool breaksLine = false;
  for (const SwapEntry& entry : settings.rules.table) {
    const auto breaks = [](std::u16string_view s) {
      return s.find_first_of(u"\r\n") != std::u16string_view::npos;
    };
    breaksLine = breaksLine || breaks(entry.from) || breaks(entry.to);
  }
  ProfileFile profile = ProfileFile::FromBytes(std::string(kFile), old);
  const IoStatus refused = WriteSettings(settings, profile);
  FUZZ_CHECK(refused.failed() == breaksLine);
  if (refused.failed()) {
    FUZZ_CHECK(profile.Bytes() == old);
    return 0;
  }
  const AppSettings read = Read(profile.Bytes());
  FUZZ_CHECK(read.rules.tabSpace == settings.rules.tabSpace);
  FUZZ_CHECK(read.convertTrigger == settings.convertTrigger);
  FUZZ_CHECK(read.rules.table == AsRead(settings.rules.table));
  return 0;
}
