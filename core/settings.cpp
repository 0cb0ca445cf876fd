#include "core/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

#include "core/ascii_escapes.h"
#include "core/decimal_text.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/program_folder.h"

namespace mirotabe {
namespace {

// Every section and key of the file.
constexpr std::u16string_view kMain = u"Main";
constexpr std::u16string_view kTabSpace = u"TabSpace";
// The entry sections: "Swap001".."Swap999".
constexpr std::u16string_view kSwap = u"Swap";
constexpr std::u16string_view kConvert = u"Convert";
constexpr std::u16string_view kFrom = u"From";
constexpr std::u16string_view kTo = u"To";
constexpr std::u16string_view kType = u"Type";
constexpr std::u16string_view kExactFrom = u"FromU";
constexpr std::u16string_view kExactTo = u"ToU";
constexpr std::u16string_view kLayout = u"Layout";
constexpr std::u16string_view kColumnLength = u"ColumnLength";
constexpr std::u16string_view kKinsoku = u"Kinsoku";
constexpr std::u16string_view kColumnGap = u"ColumnGap";
constexpr std::u16string_view kTcy = u"Tcy";
constexpr std::u16string_view kLatin = u"Latin";
constexpr std::u16string_view kImageCellSize = u"ImageCellSize";
constexpr std::u16string_view kImageGrid = u"ImageGrid";
constexpr std::u16string_view kVerticalGlyphs = u"VerticalGlyphs";
constexpr std::u16string_view kRuby = u"Ruby";
constexpr std::u16string_view kNotation = u"Notation";
constexpr std::u16string_view kImageColumnSpacing = u"ImageColumnSpacing";
constexpr std::u16string_view kOptions = u"Options";
constexpr std::u16string_view kSaveEncoding = u"SaveEncoding";
constexpr std::u16string_view kFontSize = u"FontSize";
constexpr std::u16string_view kVerticalView = u"VerticalView";
constexpr std::u16string_view kPage = u"Page";
constexpr std::u16string_view kPageEnabled = u"Enabled";
constexpr std::u16string_view kPaper = u"Paper";
constexpr std::u16string_view kLandscape = u"Landscape";
constexpr std::u16string_view kMargin = u"Margin";
constexpr std::u16string_view kCharacterPoints = u"CharacterPoints";
constexpr std::u16string_view kPageColumnLength = u"ColumnLength";
constexpr std::u16string_view kPageColumns = u"Columns";
constexpr std::u16string_view kPageNumbers = u"PageNumbers";
constexpr std::u16string_view kPageColumnSpacing = u"ColumnSpacing";
constexpr std::u16string_view kPageFont = u"Font";
constexpr std::u16string_view kUtf8Name = u"UTF-8";
constexpr std::u16string_view kShiftJisName = u"Shift_JIS";

// The value of `key` when it is a number within min..max, else
// `defaultValue`: one rule for every number of the file. A number out of
// range, wrapped or clamped into it, would be a different, surprising
// setting.
std::int32_t ReadBetween(const ProfileFile& profile, std::u16string_view section,
                         std::u16string_view key, std::int32_t min, std::int32_t max,
                         std::int32_t defaultValue) {
  return profile.ReadIntInRange(section, key, min, max).value_or(defaultValue);
}

std::int32_t ReadInRange(const ProfileFile& profile, std::u16string_view section,
                         std::u16string_view key, std::int32_t max, std::int32_t defaultValue) {
  return ReadBetween(profile, section, key, 0, max, defaultValue);
}

// A switch: 1 is on, 0 off, anything else `defaultValue`.
bool ReadSwitch(const ProfileFile& profile, std::u16string_view section, std::u16string_view key,
                bool defaultValue) {
  return ReadInRange(profile, section, key, 1, defaultValue ? 1 : 0) == 1;
}

std::uint8_t ReadByte(const ProfileFile& profile, std::u16string_view section,
                      std::u16string_view key, std::uint8_t defaultValue) {
  return static_cast<std::uint8_t>(ReadInRange(profile, section, key, 0xFF, defaultValue));
}

LayoutSettings ReadLayout(const ProfileFile& profile) {
  LayoutSettings settings;
  settings.columnLength =
      static_cast<std::size_t>(ReadInRange(profile, kLayout, kColumnLength, kMaxColumnLength, 0));
  settings.kinsoku = static_cast<Kinsoku>(ReadInRange(profile, kLayout, kKinsoku, kMaxKinsoku, 0));
  settings.columnGap =
      static_cast<std::uint8_t>(ReadInRange(profile, kLayout, kColumnGap, kMaxColumnGap, 0));
  // Unset, or out of range: each of pictures and pages takes its own default.
  if (const std::int32_t tcy = ReadInRange(profile, kLayout, kTcy, kMaxTcyDigits, -1); tcy >= 0) {
    settings.tcy = static_cast<std::uint8_t>(tcy);
  }
  if (const std::int32_t latin = ReadInRange(profile, kLayout, kLatin, kMaxLatinSetting, -1);
      latin >= 0) {
    settings.latin = static_cast<LatinSetting>(latin);
  }
  return settings;
}

// A decimal number such as "10.5"; `fallback` for anything else.
double ReadDecimal(const ProfileFile& profile, std::u16string_view section, std::u16string_view key,
                   double fallback) {
  return ParseDecimal(profile.ReadString(section, key, u"")).value_or(fallback);
}

// A space between columns in ems, if the file holds one within range.
std::optional<double> ReadColumnSpacing(const ProfileFile& profile, std::u16string_view section,
                                        std::u16string_view key) {
  const double em = ReadDecimal(profile, section, key, -1);
  if (!IsValidColumnSpacing(em)) return std::nullopt;
  return em;
}

PictureStyle ReadPictureStyle(const ProfileFile& profile) {
  PictureStyle style;
  style.cellSize =
      ReadBetween(profile, kLayout, kImageCellSize, kMinCellSize, kMaxCellSize, kDefaultCellSize);
  style.grid = ReadSwitch(profile, kLayout, kImageGrid, false);
  style.verticalGlyphs = ReadSwitch(profile, kLayout, kVerticalGlyphs, true);
  if (const std::int32_t ruby = ReadInRange(profile, kLayout, kRuby, 1, -1); ruby >= 0) {
    style.ruby = ruby == 1;
  }
  style.columnSpacing =
      ReadColumnSpacing(profile, kLayout, kImageColumnSpacing).value_or(kDefaultColumnSpacing);
  if (const std::int32_t notation = ReadInRange(profile, kLayout, kNotation, kMaxNotation, -1);
      notation >= 0) {
    style.notation = static_cast<Notation>(notation);
  }
  return style;
}

PageSetup ReadPageSetup(const ProfileFile& profile) {
  PageSetup page;
  page.enabled = ReadSwitch(profile, kPage, kPageEnabled, false);
  page.paper = static_cast<Paper>(ReadInRange(profile, kPage, kPaper, kMaxPaper, 0));
  page.landscape = ReadSwitch(profile, kPage, kLandscape, false);
  page.marginMm = ReadInRange(profile, kPage, kMargin, kMaxMarginMm, kDefaultMarginMm);
  const double points = ReadDecimal(profile, kPage, kCharacterPoints, kDefaultCharacterPoints);
  if (points >= kMinCharacterPoints && points <= kMaxCharacterPoints) page.characterPoints = points;
  page.columnLength =
      static_cast<std::size_t>(ReadInRange(profile, kPage, kPageColumnLength, kMaxColumnLength, 0));
  page.columns = static_cast<std::size_t>(
      ReadInRange(profile, kPage, kPageColumns, static_cast<std::int32_t>(kMaxPageColumns), 0));
  page.pageNumbers = ReadSwitch(profile, kPage, kPageNumbers, false);
  // Absent in files written before pages had a rule of their own.
  const std::int32_t kinsoku = ReadInRange(profile, kPage, kKinsoku, kMaxKinsoku, -1);
  if (kinsoku >= 0) page.kinsoku = static_cast<Kinsoku>(kinsoku);
  page.columnSpacing = ReadColumnSpacing(profile, kPage, kPageColumnSpacing);
  page.face = static_cast<Typeface>(ReadInRange(profile, kPage, kPageFont, kMaxTypeface, 0));
  return page;
}

void WritePageSetup(ProfileFile& profile, const PageSetup& page) {
  profile.WriteInt(kPage, kPageEnabled, page.enabled ? 1 : 0);
  profile.WriteInt(kPage, kPaper, static_cast<std::int32_t>(page.paper));
  profile.WriteInt(kPage, kLandscape, page.landscape ? 1 : 0);
  profile.WriteInt(kPage, kMargin, page.marginMm);
  profile.WriteString(kPage, kCharacterPoints, DecimalText(page.characterPoints));
  profile.WriteInt(kPage, kPageColumnLength, static_cast<std::int32_t>(page.columnLength));
  profile.WriteInt(kPage, kPageColumns, static_cast<std::int32_t>(page.columns));
  profile.WriteInt(kPage, kPageNumbers, page.pageNumbers ? 1 : 0);
  if (page.kinsoku) profile.WriteInt(kPage, kKinsoku, static_cast<std::int32_t>(*page.kinsoku));
  if (page.columnSpacing) {
    profile.WriteString(kPage, kPageColumnSpacing, DecimalText(*page.columnSpacing));
  }
  // Written once it is other than the default, as the keys that came
  // after the first pages are.
  if (page.face != Typeface::kMincho || profile.ReadWholeString(kPage, kPageFont)) {
    profile.WriteInt(kPage, kPageFont, static_cast<std::int32_t>(page.face));
  }
}

ViewOptions ReadView(const ProfileFile& profile) {
  ViewOptions view;
  view.fontSize = ReadBetween(profile, kOptions, kFontSize, kMinPaneFontSize, kMaxPaneFontSize,
                              kDefaultPaneFontSize);
  view.verticalGlyphs = ReadSwitch(profile, kOptions, kVerticalView, true);
  return view;
}

// Writes `value` unless the key is there and already reads as it (`read`),
// so that a number in a form of its own, or one out of range that reads as
// the default the setting holds, stays as the file has it.
void WriteNumber(ProfileFile& profile, std::u16string_view section, std::u16string_view key,
                 std::int32_t value, std::int32_t read) {
  if (read == value && profile.ReadWholeString(section, key)) return;
  profile.WriteInt(section, key, value);
}

// A layout option is written when it is on or the file already has it, so
// that a file that never used the options stays as it is.
void WriteLayoutOption(ProfileFile& profile, std::u16string_view key, std::size_t value,
                       std::size_t read) {
  if (value == 0 && !profile.ReadWholeString(kLayout, key)) return;
  WriteNumber(profile, kLayout, key, static_cast<std::int32_t>(value),
              static_cast<std::int32_t>(read));
}

void WriteLayout(ProfileFile& profile, const LayoutSettings& settings) {
  const LayoutSettings read = ReadLayout(profile);
  WriteLayoutOption(profile, kColumnLength, settings.columnLength, read.columnLength);
  WriteLayoutOption(profile, kKinsoku, static_cast<std::size_t>(settings.kinsoku),
                    static_cast<std::size_t>(read.kinsoku));
  WriteLayoutOption(profile, kColumnGap, settings.columnGap, read.columnGap);
  // Written only when chosen: a file without them follows the defaults of
  // each target, which a later version may refine.
  if (settings.tcy) {
    WriteNumber(profile, kLayout, kTcy, *settings.tcy, read.tcy.value_or(-1));
  }
  if (settings.latin) {
    WriteNumber(profile, kLayout, kLatin, static_cast<std::int32_t>(*settings.latin),
                read.latin ? static_cast<std::int32_t>(*read.latin) : -1);
  }
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

// The folder of `file`, made when missing.
IoStatus MakeFolderOf(const std::string& file) {
  const std::string folder = std::filesystem::path(file).parent_path().string();
  if (folder.empty()) return std::nullopt;
  return MakeFolders(folder);
}

bool BreaksLine(std::u16string_view value) {
  return value.find_first_of(u"\r\n") != std::u16string_view::npos;
}

// The first From or To that would break its line, named as "FILE [SECTION]
// KEY" for the message that reports it.
IoStatus FindLineBreak(const SwapTable& table, const std::string& file) {
  for (std::size_t i = 0; i < table.Count(); ++i) {
    const bool from = BreaksLine(table[i].from);
    if (!from && !BreaksLine(table[i].to)) continue;
    const std::u16string section = SwapSectionName(i);
    std::string where = file + " [" + std::string(section.begin(), section.end()) + "] ";
    where += from ? "From" : "To";
    return IoError{std::move(where), std::make_error_code(std::errc::invalid_argument)};
  }
  return std::nullopt;
}

// Whether code page 932 writes `text` back as it was: no character it
// lacks, no byte it could not read.
bool WritesBack(std::u16string_view text) {
  return Decode(Encode(text, Charset::Cp932).bytes, Charset::Cp932) == text;
}

// A From, or a Type kept as the file holds it, as it is written: as it
// stands, as files written by earlier versions hold it, unless the reader
// would trim its blanks or take off its quotes. Such a text comes only from
// a hand-edited file, where its quotes kept the blanks or a cut at the read
// limit left some at its end; quoted, it reads back as it was, rather than
// changing at every save.
std::u16string WrittenAsItReads(const std::u16string& from) {
  return ReadTrimsOrUnquotes(from) ? u"\"" + from + u"\"" : from;
}

// A From or To as it is read: the plain key's text, or the exact text
// beside it (see WriteText) while the plain key still holds what code page
// 932 made of that. A plain key edited by hand no longer does, and wins.
std::u16string ReadText(const ProfileFile& profile, std::u16string_view section,
                        std::u16string_view key, std::u16string_view exactKey,
                        std::u16string plain) {
  const std::optional<std::u16string> escaped = profile.ReadWholeString(section, exactKey);
  if (!escaped) return plain;
  std::optional<std::u16string> exact = UnescapeAscii(*escaped);
  if (!exact) return plain;
  const std::optional<std::u16string> written = profile.ReadWholeString(section, key);
  if (written != Decode(Encode(*exact, Charset::Cp932).bytes, Charset::Cp932)) return plain;
  return std::move(*exact);
}

// Writes a From or To as the plain key `written`, which code page 932
// stores with '?' for the characters it cannot hold, and with ～ for 〜 and
// the like. A text that does not come back as it was is also kept exactly,
// in ASCII, in `exactKey` beside it. Every reader finds the plain key as
// before.
void WriteText(ProfileFile& profile, std::u16string_view section, std::u16string_view key,
               std::u16string_view exactKey, std::u16string_view text,
               std::u16string_view written) {
  profile.WriteString(section, key, written);
  if (WritesBack(text)) {
    profile.RemoveKey(section, exactKey);
  } else {
    profile.WriteString(section, exactKey, u"\"" + EscapeToAscii(text) + u"\"");
  }
}

// The entry of `section`, whose plain From (cut to the read limit) is
// `from`, with the file's own text of every value it cannot take as it is.
SwapEntry ReadEntry(const ProfileFile& profile, const std::u16string& section,
                    const std::u16string& from) {
  KeptFileText kept;
  // A cut plain value: one that reads back longer whole. An exact text
  // beside it is never cut. A cut value that code page 932 cannot write
  // back goes to the exact key on saving, which must then agree with the
  // plain key: it is saved as cut, since the file's longer text beside it
  // would make the next read take the plain key's '?' instead.
  const auto cut = [&](std::u16string_view key, const std::u16string& plain,
                       const std::u16string& taken) -> std::optional<std::u16string> {
    if (taken != plain) return std::nullopt;
    if (!WritesBack(plain)) return std::nullopt;
    std::optional<std::u16string> whole = profile.ReadWholeString(section, key);
    return whole != plain ? whole : std::nullopt;
  };
  std::u16string entryFrom = ReadText(profile, section, kFrom, kExactFrom, from);
  kept.from = cut(kFrom, from, entryFrom);
  const std::u16string to = profile.ReadString(section, kTo, u"");
  std::u16string entryTo = ReadText(profile, section, kTo, kExactTo, to);
  kept.to = cut(kTo, to, entryTo);
  std::int32_t kind = 0;
  if (std::optional<std::u16string> type = profile.ReadWholeString(section, kType);
      type && !type->empty()) {
    const std::optional<std::int32_t> number =
        profile.ReadIntInRange(section, kType, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max());
    if (number) {
      kind = *number;
    } else if (WritesBack(*type)) {
      // Kept only where it is written back as the file holds it.
      kept.type = std::move(type);
    }
  }
  SwapEntry entry = StoredSwapEntry(std::move(entryFrom), std::move(entryTo), kind);
  entry.kept = std::move(kept);
  return entry;
}

// Writes `entry` into `section`, with the file's own text where the entry
// keeps one.
void WriteEntry(ProfileFile& profile, const std::u16string& section, const SwapEntry& entry) {
  const KeptFileText& kept = entry.kept;
  WriteText(profile, section, kFrom, kExactFrom, entry.from,
            WrittenAsItReads(kept.from.value_or(entry.from)));
  WriteText(profile, section, kTo, kExactTo, entry.to, u"\"" + kept.to.value_or(entry.to) + u"\"");
  if (kept.type) {
    profile.WriteString(section, kType, WrittenAsItReads(*kept.type));
  } else {
    profile.WriteInt(section, kType, StoredKind(entry));
  }
}

// The entries the file gives as it stands: those of "Swap001" up to the
// first section without a non-empty From.
std::size_t ReadableEntries(const ProfileFile& profile) {
  std::size_t count = 0;
  while (count < SwapTable::kMaxEntries &&
         !profile.ReadString(SwapSectionName(count), kFrom, u"").empty()) {
    ++count;
  }
  return count;
}

// Writes the table into the entry sections. A section the reader never
// reached, after a gap in the numbers or after an empty From, belongs to no
// table: it stays as it is, a section of the table goes in front of it
// where the table has grown to its number, and the table is ended in front
// of it where it would join the table at the next start.
void WriteTable(ProfileFile& profile, const SwapTable& table) {
  // The sections up to `read` (which ended the table) were read.
  const std::size_t read = ReadableEntries(profile);
  for (std::size_t i = 0; i < table.Count(); ++i) {
    const std::u16string section = SwapSectionName(i);
    if (i > read && profile.HasSection(section)) profile.InsertSection(section);
    WriteEntry(profile, section, table[i]);
  }
  // Entries read before and deleted since.
  for (std::size_t i = table.Count(); i < read; ++i) profile.RemoveSection(SwapSectionName(i));
  if (table.Full()) return;
  const std::u16string next = SwapSectionName(table.Count());
  if (!profile.ReadString(next, kFrom, u"").empty()) {
    profile.InsertSection(next);
    profile.WriteString(next, kFrom, u"");
  }
}

}  // namespace

SwapEntry StoredSwapEntry(std::u16string from, std::u16string to, std::int32_t storedKind) {
  SwapEntry entry{std::move(from), std::move(to)};
  if (storedKind >= 0 && storedKind <= 0xFF) {
    entry.kind = static_cast<SwapKind>(storedKind);
  } else {
    entry.kind = kUnheldSwapKind;
    entry.storedKind = storedKind;
  }
  return entry;
}

std::int32_t StoredKind(const SwapEntry& entry) {
  return entry.storedKind.value_or(static_cast<std::int32_t>(entry.kind));
}

bool SwapTable::Append(SwapEntry entry) {
  if (Full()) return false;
  entries_.push_back(std::move(entry));
  return true;
}

void SwapTable::Remove(std::size_t i) {
  if (i >= Count()) return;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::u16string SwapSectionName(std::size_t index) {
  const std::string digits = std::to_string(index + 1);
  std::u16string name(kSwap);
  if (digits.size() < 3) name.append(3 - digits.size(), u'0');
  return name.append(digits.begin(), digits.end());
}

namespace {

std::uint8_t ReadTabSpace(const ProfileFile& profile) {
  return ReadByte(profile, kMain, kTabSpace, kDefaultTabSpace);
}

ConvertTrigger ReadTrigger(const ProfileFile& profile) {
  return static_cast<ConvertTrigger>(
      ReadByte(profile, kMain, kConvert, static_cast<std::uint8_t>(kDefaultConvertTrigger)));
}

// Whether `name` (in lower case, as SectionNames gives it) is a section
// that ReadSettings reads.
bool IsSettingsSection(std::u16string_view name) {
  for (const std::u16string_view known : {kMain, kLayout, kOptions, kPage}) {
    if (EqualsIgnoringAsciiCase(name, known)) return true;
  }
  return name.size() == kSwap.size() + 3 &&
         EqualsIgnoringAsciiCase(name.substr(0, kSwap.size()), kSwap) &&
         std::all_of(name.begin() + kSwap.size(), name.end(),
                     [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

void ReadSettings(AppSettings& settings, const ProfileFile& profile) {
  settings.rules.tabSpace = ReadTabSpace(profile);
  settings.convertTrigger = ReadTrigger(profile);
  settings.rules.table.Clear();
  for (std::size_t i = 0; i < SwapTable::kMaxEntries; ++i) {
    const std::u16string section = SwapSectionName(i);
    const std::u16string from = profile.ReadString(section, kFrom, u"");
    if (from.empty()) break;
    settings.rules.table.Append(ReadEntry(profile, section, from));
  }
  settings.rules.columns = ReadLayout(profile);
  settings.picture = ReadPictureStyle(profile);
  settings.view = ReadView(profile);
  settings.page = ReadPageSetup(profile);
  settings.saveEncoding =
      EqualsIgnoringAsciiCase(profile.ReadString(kOptions, kSaveEncoding, u""), kUtf8Name)
          ? Charset::Utf8
          : Charset::Cp932;
}

IoStatus WriteSettings(const AppSettings& settings, ProfileFile& profile, SettingsPart part) {
  switch (part) {
    case SettingsPart::kDialog:
      break;
    case SettingsPart::kSaveEncoding:
      profile.WriteString(kOptions, kSaveEncoding,
                          settings.saveEncoding == Charset::Utf8 ? kUtf8Name : kShiftJisName);
      return std::nullopt;
    case SettingsPart::kPictureStyle:
      profile.WriteInt(kLayout, kImageCellSize, settings.picture.cellSize);
      profile.WriteInt(kLayout, kImageGrid, settings.picture.grid ? 1 : 0);
      profile.WriteInt(kLayout, kVerticalGlyphs, settings.picture.verticalGlyphs ? 1 : 0);
      if (settings.picture.ruby) {
        profile.WriteInt(kLayout, kRuby, *settings.picture.ruby ? 1 : 0);
      } else {
        profile.RemoveKey(kLayout, kRuby);
      }
      if (settings.picture.notation) {
        profile.WriteInt(kLayout, kNotation, static_cast<int>(*settings.picture.notation));
      } else {
        profile.RemoveKey(kLayout, kNotation);
      }
      // A file keeps the key only once the spacing is other than the
      // default, so that files made before it stay as they were.
      if (settings.picture.columnSpacing != kDefaultColumnSpacing ||
          profile.ReadWholeString(kLayout, kImageColumnSpacing)) {
        profile.WriteString(kLayout, kImageColumnSpacing,
                            DecimalText(settings.picture.columnSpacing));
      }
      return std::nullopt;
    case SettingsPart::kPageSetup:
      WritePageSetup(profile, settings.page);
      return std::nullopt;
    case SettingsPart::kView:
      profile.WriteInt(kOptions, kFontSize, settings.view.fontSize);
      profile.WriteInt(kOptions, kVerticalView, settings.view.verticalGlyphs ? 1 : 0);
      return std::nullopt;
  }
  if (IoStatus broken = FindLineBreak(settings.rules.table, profile.path()); broken.failed())
    return broken;
  WriteNumber(profile, kMain, kTabSpace, settings.rules.tabSpace, ReadTabSpace(profile));
  WriteNumber(profile, kMain, kConvert, static_cast<std::uint8_t>(settings.convertTrigger),
              static_cast<std::uint8_t>(ReadTrigger(profile)));
  WriteTable(profile, settings.rules.table);
  WriteLayout(profile, settings.rules.columns);
  return std::nullopt;
}

std::optional<std::u16string> SettingsFileRefusal(std::string_view bytes) {
  const std::string_view mark = "\xEF\xBB\xBF";
  const std::string_view text = bytes.starts_with(mark) ? bytes.substr(mark.size()) : bytes;
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return std::nullopt;
  const ProfileFile profile = ProfileFile::FromBytes({}, bytes);
  for (const std::u16string& name : profile.SectionNames()) {
    if (IsSettingsSection(name)) return std::nullopt;
  }
  if (bytes.find('\0') != std::string_view::npos) {
    return u"Mirotabe の設定ファイルではありません。設定ファイルは Shift_JIS のテキストですが、"
           u"このファイルは画像などのテキストでないファイルか、UTF-16 のテキストです。";
  }
  return u"Mirotabe の設定ファイルではありません。[Main] や [Swap001] "
         u"のような設定の節がありません。";
}

IoStatus LoadSettings(AppSettings& settings, const std::string& file) {
  // An unreadable file reads like a missing one, so that the program still
  // starts; the caller decides whether to say so.
  IoResult<ProfileFile> loaded = ProfileFile::Load(file);
  ReadSettings(settings, loaded ? std::move(loaded.value()) : ProfileFile(file));
  if (!loaded) return loaded.error();
  return std::nullopt;
}

IoStatus RememberSaveCharset(AppSettings& settings, Charset charset) {
  if (settings.saveEncoding == charset) return std::nullopt;
  settings.saveEncoding = charset;
  return SaveSettings(settings, SettingsFile(settings), SettingsPart::kSaveEncoding);
}

IoStatus SaveSettings(const AppSettings& settings, const std::string& file, SettingsPart part) {
  // A table that would be refused is refused before anything is touched.
  if (part == SettingsPart::kDialog) {
    if (IoStatus broken = FindLineBreak(settings.rules.table, file); broken.failed()) return broken;
  }
  if (IoStatus made = MakeFolderOf(file); made.failed()) return made;
  IoResult<ProfileFile> loaded = ProfileFile::Load(file);
  if (!loaded) return loaded.error();
  if (IoStatus refused = WriteSettings(settings, loaded.value(), part); refused.failed())
    return refused;
  return loaded.value().Save();
}

std::string SettingsFile(const AppSettings& settings) {
  return SettingsFilePath(settings.appFolder);
}

IoStatus LoadStartupSettings(AppSettings& settings, const std::string& programFolder) {
  settings = AppSettings{};
  settings.appFolder = programFolder.empty() ? ProgramFolder() : programFolder;
  return LoadSettings(settings, SettingsFile(settings));
}

}  // namespace mirotabe
