// Profile (INI) files in code page 932, read and edited line by line the way
// the Windows profile functions do, so that a write changes only the lines
// it must and every other line stays byte for byte.
//
// Reading:
// - Section and key names match case-insensitively (ASCII letters); spaces
//   and tabs around names and values are trimmed.
// - "[ name ]" opens the section "name"; the name ends at the first ']' or
//   at the end of the line. Lines before the first section are never found.
// - A line whose first non-blank character is ';' is a comment.
// - Only the first section of a name is searched, and in it the first key
//   of a name wins.
// - A value of at least two characters enclosed in one pair of the same
//   quote (" or ') loses that pair.
// - Strings are cut to 127 bytes, never inside a double-byte character.
// - Integers: optional sign, then decimal digits up to the first non-digit
//   ("42abc" is 42, no digits is 0), wrapped to 32 bits; a missing file,
//   section or key, or an empty value, gives the default.
// - A UTF-8 byte-order mark at the start of the file, as some editors
//   write one, is not part of the first line.
//
// Writing:
// - An existing key is replaced in place; a new key goes right after the
//   last key line of its section; a new section goes at the end of the file.
// - New lines are "key=value" with CR LF; the value is written verbatim.
// - The file is replaced atomically: a failed save leaves the old file.
// - A byte-order mark the file began with stays at its start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io_error.h"

namespace mirotabe {

// One profile file held in memory, for many reads or a batch of writes that
// is saved once. The result of a batch equals that of the same single
// writes made in order.
class ProfileFile {
 public:
  // An empty profile that will be saved at `path`.
  explicit ProfileFile(std::string path);
  ProfileFile(ProfileFile&&) noexcept;
  ProfileFile& operator=(ProfileFile&&) noexcept;
  ~ProfileFile();

  // The largest file Load reads: far more than any profile this program
  // writes, and a bound on what a mistaken or hostile file can take.
  static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

  // Reads the file at `path`. A missing file gives an empty profile; any
  // other failure to read it (a file over kMaxBytes among them) is an error.
  static IoResult<ProfileFile> Load(const std::string& path);
  // The profile whose file holds `bytes`, to be saved at `path`.
  static ProfileFile FromBytes(std::string path, std::string_view bytes);

  std::int32_t ReadInt(std::u16string_view section, std::u16string_view key,
                       std::int32_t defaultValue) const;
  // The number ReadInt finds (an optional sign, then decimal digits up to
  // the first non-digit) as it stands, not wrapped: none when the key is
  // missing or empty, when it begins with no number, or when the number
  // lies outside min..max, however many digits it has.
  std::optional<std::int32_t> ReadIntInRange(std::u16string_view section, std::u16string_view key,
                                             std::int32_t min, std::int32_t max) const;
  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view defaultValue) const;
  // ReadString without the cut to 127 bytes: the whole value, or none when
  // the key is missing. For keys that only this program writes.
  std::optional<std::u16string> ReadWholeString(std::u16string_view section,
                                                std::u16string_view key) const;

  void WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  // Writes `value` in plain decimal ("-1", "42"), as ReadInt reads it.
  void WriteInt(std::u16string_view section, std::u16string_view key, std::int32_t value);
  // Removes every line of `key` in the first section named `section`.
  void RemoveKey(std::u16string_view section, std::u16string_view key);
  // The name of every section, once, with ASCII letters in lower case, in
  // no particular order.
  std::vector<std::u16string> SectionNames() const;
  bool HasSection(std::u16string_view section) const;
  // Removes the section of that name that reads and writes find, the first,
  // with all its lines; a later section of the name takes its place.
  void RemoveSection(std::u16string_view section);
  // Puts an empty section of that name in front of the first one of the
  // name (at the end of the file when there is none), so that reads and
  // writes find the new one and the old one stays as it is, behind it.
  void InsertSection(std::u16string_view section);

  // Writes the profile to its path atomically.
  IoStatus Save() const;
  // The bytes Save() writes.
  std::string Bytes() const;

  const std::string& path() const;

 private:
  struct Lines;
  std::unique_ptr<Lines> lines_;
};

// The most bytes of code page 932 that ReadString gives back of a value.
inline constexpr std::size_t kProfileReadLimit = 127;

// The longest start of `value` that ReadString gives back whole when it is
// written within quotes: at most kProfileReadLimit bytes in code page 932,
// each character it cannot hold counting as the one '?' it is written as,
// and never half a character.
std::u16string_view ReadableStart(std::u16string_view value);

// Whether ReadString would give `value` back other than as it was written:
// it trims blanks (space, TAB) at either end and takes off one pair of the
// same quotes (" or ') around it. Such a value reads back whole when it is
// written inside a pair of quotes.
bool ReadTrimsOrUnquotes(std::u16string_view value);

}  // namespace mirotabe
