#include "platform/profile.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/charset.h"
#include "platform/cp932.h"
#include "platform/files.h"

namespace mirotabe {
namespace {

// --- Code page 932 bytes ---------------------------------------------------

// The length of the character at `at`: a lead byte and its trail byte are
// one character. A lead byte without a valid trail byte stands alone, as the
// decoder treats it, so the byte after it is still seen.
std::size_t CharLength(std::string_view bytes, std::size_t at) {
  const bool pair = at + 1 < bytes.size() &&
                    IsCp932LeadByte(static_cast<unsigned char>(bytes[at])) &&
                    IsCp932TrailByte(static_cast<unsigned char>(bytes[at + 1]));
  return pair ? 2 : 1;
}

// The reader's blanks and quotes, alike in its bytes and in the text a
// value is written from.
template <typename Unit>
bool IsBlank(Unit c) {
  return c == Unit{' '} || c == Unit{'\t'};
}

template <typename Unit>
bool IsQuotedPair(std::basic_string_view<Unit> value) {
  return value.size() >= 2 && value.front() == value.back() &&
         (value.front() == Unit{'"'} || value.front() == Unit{'\''});
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Names compare with ASCII letters folded. A trail byte can look like a
// letter (0x8341 is "ア", 0x8361 is "ヂ"), so it is copied as it is.
std::string Fold(std::string_view name) {
  std::string folded(name);
  for (std::size_t at = 0; at < folded.size();) {
    const std::size_t length = CharLength(folded, at);
    if (length == 1 && folded[at] >= 'A' && folded[at] <= 'Z') folded[at] += 'a' - 'A';
    at += length;
  }
  return folded;
}

bool IsAscii(char16_t c) {
  return c < 0x80;
}

// ASCII is the same in code page 932, and nearly every name and value is
// ASCII: skipping the converter for it keeps batches of thousands of calls
// fast.
std::string ToCp932(std::u16string_view text) {
  bool ascii = true;
  for (char16_t c : text) ascii = ascii && IsAscii(c);
  if (!ascii) return Encode(text, Charset::Cp932).bytes;
  return std::string(text.begin(), text.end());
}

std::u16string FromCp932(std::string_view bytes) {
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii) return Decode(bytes, Charset::Cp932);
  return std::u16string(bytes.begin(), bytes.end());
}

// --- Reading values --------------------------------------------------------

// The reader's buffer holds 128 bytes with the terminating NUL.
constexpr std::size_t kMaxStringBytes = kProfileReadLimit;

// Cuts `value` to the read limit; a double-byte character that does not fit
// whole is dropped rather than split.
std::string_view CutToReadLimit(std::string_view value) {
  if (value.size() <= kMaxStringBytes) return value;
  std::size_t end = 0;
  for (;;) {
    const std::size_t next = end + CharLength(value, end);
    if (next > kMaxStringBytes) return value.substr(0, end);
    end = next;
  }
}

// The value as the reader sees it: up to a NUL (the end of a C string),
// trimmed, and without one outer pair of the same quotes.
std::string_view CleanValue(std::string_view raw) {
  std::string_view value = Trim(raw.substr(0, raw.find('\0')));
  if (IsQuotedPair(value)) value = value.substr(1, value.size() - 2);
  return value;
}

// An optional sign, then decimal digits up to the first non-digit, wrapped
// to 32 bits.
std::int32_t ParseInt(std::string_view value) {
  std::size_t at = 0;
  const bool negative = !value.empty() && value[0] == '-';
  if (!value.empty() && (value[0] == '-' || value[0] == '+')) ++at;
  std::uint32_t number = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    number = number * 10u + static_cast<std::uint32_t>(value[at] - '0');
  }
  if (negative) number = 0u - number;
  return static_cast<std::int32_t>(number);
}

// The number ParseInt reads, not wrapped: none without a digit or outside
// min..max.
std::optional<std::int32_t> ParseIntInRange(std::string_view value, std::int32_t min,
                                            std::int32_t max) {
  std::size_t at = 0;
  const bool negative = !value.empty() && value[0] == '-';
  if (!value.empty() && (value[0] == '-' || value[0] == '+')) ++at;
  if (at == value.size() || value[at] < '0' || value[at] > '9') return std::nullopt;
  // Past this every further digit only moves the number further out.
  constexpr std::int64_t kBeyond = std::int64_t{1} << 33;
  std::int64_t number = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    number = std::min(number * 10 + (value[at] - '0'), kBeyond);
  }
  if (negative) number = -number;
  if (number < min || number > max) return std::nullopt;
  return static_cast<std::int32_t>(number);
}

// The byte-order mark of UTF-8, which some editors put at the start of
// every file they write.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// --- Lines -----------------------------------------------------------------

enum class Ending : unsigned char { kNone, kCrLf, kLf, kCr };

std::string_view EndingBytes(Ending ending) {
  switch (ending) {
    case Ending::kCrLf:
      return "\r\n";
    case Ending::kLf:
      return "\n";
    case Ending::kCr:
      return "\r";
    case Ending::kNone:
      break;
  }
  return "";
}

enum class LineKind : unsigned char { kBlank, kComment, kHeader, kKey };

struct Line {
  std::string text;  // without its line ending
  Ending ending = Ending::kNone;
  LineKind kind = LineKind::kBlank;
  std::string foldedName;  // of the section for a header, of the key for a key line
};

// The name of "[ name ]": up to the first ']' or the end of the line.
std::string_view HeaderName(std::string_view afterBracket) {
  std::size_t at = 0;
  while (at < afterBracket.size() && afterBracket[at] != ']') {
    at += CharLength(afterBracket, at);
  }
  return Trim(afterBracket.substr(0, at));
}

// A key line without '=' is still a key, one without a value.
std::string_view KeyName(std::string_view text) {
  return Trim(text.substr(0, text.find('=')));
}

Line MakeLine(std::string text, Ending ending) {
  Line line;
  line.text = std::move(text);
  line.ending = ending;
  const std::string_view content = Trim(line.text);
  if (content.empty()) {
    line.kind = LineKind::kBlank;
  } else if (content.front() == ';') {
    line.kind = LineKind::kComment;
  } else if (content.front() == '[') {
    line.kind = LineKind::kHeader;
    line.foldedName = Fold(HeaderName(content.substr(1)));
  } else {
    line.kind = LineKind::kKey;
    line.foldedName = Fold(KeyName(content));
  }
  return line;
}

// The value of a key line; none when the line has no '='.
std::optional<std::string_view> RawValue(const Line& line) {
  const std::size_t equals = line.text.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return std::string_view(line.text).substr(equals + 1);
}

// CR LF, LF and CR each end a line; the last line may have no ending.
std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(MakeLine(std::string(bytes.substr(start)), Ending::kNone));
      break;
    }
    Ending ending = bytes[end] == '\n' ? Ending::kLf : Ending::kCr;
    if (ending == Ending::kCr && end + 1 < bytes.size() && bytes[end + 1] == '\n') {
      ending = Ending::kCrLf;
    }
    lines.push_back(MakeLine(std::string(bytes.substr(start, end - start)), ending));
    start = end + EndingBytes(ending).size();
  }
  return lines;
}

// The first key line of `foldedKey`, which wins over later duplicates.
std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const std::string& foldedKey) {
  for (std::size_t at = 0; at < lines.size(); ++at) {
    if (lines[at].kind == LineKind::kKey && lines[at].foldedName == foldedKey) return at;
  }
  return std::nullopt;
}

// Where a new key goes: right after the last key line, or after the header
// when the section has none, so that trailing blank lines and comments stay
// below it.
std::size_t NewKeyPosition(const std::vector<Line>& lines) {
  for (std::size_t at = lines.size(); at > 1; --at) {
    if (lines[at - 1].kind == LineKind::kKey) return at;
  }
  return 1;
}

// A section's header and the lines up to the next header. Each section owns
// its lines, so inserting a key moves only the lines of that section.
struct Section {
  std::vector<Line> lines;
};

}  // namespace

struct ProfileFile::Lines {
  std::string path;
  // Whether the file began with kUtf8Mark, which Bytes() gives back.
  bool utf8Mark = false;
  // sections[0] holds the lines before the first header, which no read or
  // write ever finds.
  std::vector<Section> sections{1};
  // Folded name -> the sections of that name, in file order. Removed
  // sections leave the index.
  std::unordered_map<std::string, std::vector<std::size_t>> index;

  void Append(Line line);
  std::optional<std::size_t> Find(std::string_view name) const;
  Section& AddSection(std::string_view name);
  void EndLastLine();
  std::optional<std::string_view> FindValue(std::u16string_view section,
                                            std::u16string_view key) const;
  std::string Bytes() const;
};

void ProfileFile::Lines::Append(Line line) {
  if (line.kind == LineKind::kHeader) {
    index[line.foldedName].push_back(sections.size());
    sections.emplace_back();
  }
  sections.back().lines.push_back(std::move(line));
}

// The section `name` (code page 932 bytes). Only the first section of a
// name is ever read or written.
std::optional<std::size_t> ProfileFile::Lines::Find(std::string_view name) const {
  const auto found = index.find(Fold(Trim(name)));
  if (found == index.end()) return std::nullopt;
  return found->second.front();
}

// The cleaned value of `key` in `section`; none when the section, the key
// or its '=' is missing.
std::optional<std::string_view> ProfileFile::Lines::FindValue(std::u16string_view section,
                                                              std::u16string_view key) const {
  const std::optional<std::size_t> found = Find(ToCp932(section));
  if (!found) return std::nullopt;
  const std::vector<Line>& lines = sections[*found].lines;
  const std::optional<std::size_t> line = FindKey(lines, Fold(Trim(ToCp932(key))));
  if (!line) return std::nullopt;
  const std::optional<std::string_view> raw = RawValue(lines[*line]);
  if (!raw) return std::nullopt;
  return CleanValue(*raw);
}

// Something is about to follow the last line of the file, so a last line
// without an ending gets one.
void ProfileFile::Lines::EndLastLine() {
  const auto section = std::find_if(sections.rbegin(), sections.rend(),
                                    [](const Section& each) { return !each.lines.empty(); });
  if (section == sections.rend()) return;
  Line& last = section->lines.back();
  if (last.ending == Ending::kNone) last.ending = Ending::kCrLf;
}

Section& ProfileFile::Lines::AddSection(std::string_view name) {
  EndLastLine();
  std::string header = "[";
  header.append(name).append("]");
  Append(MakeLine(std::move(header), Ending::kCrLf));
  return sections.back();
}

std::string ProfileFile::Lines::Bytes() const {
  std::string bytes(utf8Mark ? kUtf8Mark : "");
  for (const Section& section : sections) {
    for (const Line& line : section.lines) {
      bytes += line.text;
      bytes += EndingBytes(line.ending);
    }
  }
  return bytes;
}

ProfileFile::ProfileFile(std::string path) : lines_(std::make_unique<Lines>()) {
  lines_->path = std::move(path);
}

ProfileFile::ProfileFile(ProfileFile&&) noexcept = default;
ProfileFile& ProfileFile::operator=(ProfileFile&&) noexcept = default;
ProfileFile::~ProfileFile() = default;

IoResult<ProfileFile> ProfileFile::Load(const std::string& path) {
  IoResult<std::string> bytes = ReadFileBytes(path, kMaxBytes);
  if (!bytes) {
    if (bytes.error().code == std::errc::no_such_file_or_directory) return ProfileFile(path);
    return bytes.error();
  }
  return FromBytes(path, bytes.value());
}

ProfileFile ProfileFile::FromBytes(std::string path, std::string_view bytes) {
  ProfileFile profile(std::move(path));
  if (bytes.starts_with(kUtf8Mark)) {
    profile.lines_->utf8Mark = true;
    bytes.remove_prefix(kUtf8Mark.size());
  }
  for (Line& line : SplitLines(bytes)) profile.lines_->Append(std::move(line));
  return profile;
}

std::string ProfileFile::Bytes() const {
  return lines_->Bytes();
}

std::int32_t ProfileFile::ReadInt(std::u16string_view section, std::u16string_view key,
                                  std::int32_t defaultValue) const {
  const std::optional<std::string_view> value = lines_->FindValue(section, key);
  if (!value || value->empty()) return defaultValue;
  return ParseInt(*value);
}

std::optional<std::int32_t> ProfileFile::ReadIntInRange(std::u16string_view section,
                                                        std::u16string_view key, std::int32_t min,
                                                        std::int32_t max) const {
  const std::optional<std::string_view> value = lines_->FindValue(section, key);
  if (!value) return std::nullopt;
  return ParseIntInRange(*value, min, max);
}

std::u16string ProfileFile::ReadString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue) const {
  const std::optional<std::string_view> value = lines_->FindValue(section, key);
  if (!value) return std::u16string(defaultValue);
  return FromCp932(CutToReadLimit(*value));
}

std::optional<std::u16string> ProfileFile::ReadWholeString(std::u16string_view section,
                                                           std::u16string_view key) const {
  const std::optional<std::string_view> value = lines_->FindValue(section, key);
  if (!value) return std::nullopt;
  return FromCp932(*value);
}

void ProfileFile::WriteString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view value) {
  const std::string sectionName(Trim(ToCp932(section)));
  const std::string keyName(Trim(ToCp932(key)));
  Line newLine = MakeLine(keyName + "=" + ToCp932(value), Ending::kCrLf);

  const std::optional<std::size_t> found = lines_->Find(sectionName);
  if (!found) {
    lines_->AddSection(sectionName).lines.push_back(std::move(newLine));
    return;
  }
  std::vector<Line>& lines = lines_->sections[*found].lines;
  if (const std::optional<std::size_t> line = FindKey(lines, newLine.foldedName)) {
    // Replaced in place: the line keeps its own ending, as every other line
    // of the file does.
    lines[*line].text = std::move(newLine.text);
    return;
  }
  const std::size_t at = NewKeyPosition(lines);
  // Only the last line of the file can lack an ending.
  if (lines[at - 1].ending == Ending::kNone) lines[at - 1].ending = Ending::kCrLf;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(newLine));
}

void ProfileFile::WriteInt(std::u16string_view section, std::u16string_view key,
                           std::int32_t value) {
  const std::string digits = std::to_string(value);
  WriteString(section, key, std::u16string(digits.begin(), digits.end()));
}

void ProfileFile::RemoveKey(std::u16string_view section, std::u16string_view key) {
  const std::optional<std::size_t> found = lines_->Find(ToCp932(section));
  if (!found) return;
  const std::string folded = Fold(Trim(ToCp932(key)));
  std::erase_if(lines_->sections[*found].lines, [&](const Line& line) {
    return line.kind == LineKind::kKey && line.foldedName == folded;
  });
}

std::vector<std::u16string> ProfileFile::SectionNames() const {
  std::vector<std::u16string> names;
  names.reserve(lines_->index.size());
  for (const auto& [folded, at] : lines_->index) names.push_back(FromCp932(folded));
  return names;
}

bool ProfileFile::HasSection(std::u16string_view section) const {
  return lines_->Find(ToCp932(section)).has_value();
}

void ProfileFile::RemoveSection(std::u16string_view section) {
  const auto found = lines_->index.find(Fold(Trim(ToCp932(section))));
  if (found == lines_->index.end()) return;
  // The emptied section stays in place so that the index positions of the
  // others remain valid.
  std::vector<std::size_t>& positions = found->second;
  lines_->sections[positions.front()].lines.clear();
  positions.erase(positions.begin());
  if (positions.empty()) lines_->index.erase(found);
}

void ProfileFile::InsertSection(std::u16string_view section) {
  const std::string name(Trim(ToCp932(section)));
  const std::optional<std::size_t> first = lines_->Find(name);
  if (!first) {
    lines_->AddSection(name);
    return;
  }
  // Every line before a section's header has its ending, since a header
  // follows it.
  Section added;
  added.lines.push_back(MakeLine("[" + name + "]", Ending::kCrLf));
  lines_->sections.insert(lines_->sections.begin() + static_cast<std::ptrdiff_t>(*first),
                          std::move(added));
  for (auto& [folded, positions] : lines_->index) {
    for (std::size_t& at : positions) at += at >= *first ? 1 : 0;
  }
  std::vector<std::size_t>& positions = lines_->index[Fold(name)];
  positions.insert(positions.begin(), *first);
}

IoStatus ProfileFile::Save() const {
  return ReplaceFileAtomically(lines_->path, lines_->Bytes());
}

const std::string& ProfileFile::path() const {
  return lines_->path;
}

std::u16string_view ReadableStart(std::u16string_view value) {
  std::size_t bytes = 0;
  std::size_t end = 0;
  while (end < value.size()) {
    const bool pair = end + 1 < value.size() && value[end] >= 0xD800 && value[end] <= 0xDBFF &&
                      value[end + 1] >= 0xDC00 && value[end + 1] <= 0xDFFF;
    const char32_t c =
        pair ? 0x10000 + ((char32_t{value[end]} - 0xD800) << 10) + (value[end + 1] - 0xDC00)
             : value[end];
    bytes += std::max<std::size_t>(Cp932ByteLength(c), 1);
    if (bytes > kMaxStringBytes) break;
    end += pair ? 2 : 1;
  }
  return value.substr(0, end);
}

bool ReadTrimsOrUnquotes(std::u16string_view value) {
  return !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsQuotedPair(value));
}

}  // namespace mirotabe
