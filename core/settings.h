// The program's settings record and its file "Setting.ini".
//
// The file holds section "Main" with "TabSpace" and "Convert", one section
// "Swap001".."Swap999" per replacement entry with "From", "To" (in double
// quotes, so that its spaces survive) and "Type", and two sections that
// the program's first versions did not know: "Layout" with the layout
// options ("ColumnLength", "Kinsoku", "ColumnGap") and the picture style
// ("ImageCellSize", "ImageGrid", "VerticalGlyphs", "Ruby",
// "ImageColumnSpacing", "Notation": 0 plain, 1 Aozora Bunko's), and
// "Options" with
// "SaveEncoding" and the view ("FontSize", "VerticalView"), and "Page"
// with the pages of a PDF ("Enabled", "Paper", "Landscape", "Margin",
// "CharacterPoints", "ColumnLength", "Columns", "PageNumbers", "Kinsoku",
// "ColumnSpacing", "Font": 0 Mincho, 1 Gothic). Spacings are ems written
// as decimals ("0.75").
// The file is in code page 932. A From or To that it cannot give back as
// it was (an emoji, a vertical presentation form; 〜, which it gives back as
// ～) is written there as earlier versions wrote it, with '?' for what it
// cannot hold, and kept exactly beside it in "FromU" or "ToU": ASCII, in
// double quotes, with \uXXXX for each UTF-16 unit beyond ASCII (see
// core/ascii_escapes.h).
// core/settings.cpp is the one place that knows these names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/layout_settings.h"
#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/view_options.h"
#include "platform/charset.h"
#include "platform/io_error.h"

namespace mirotabe {

class ProfileFile;

// What a replacement entry does. The file may hold any other number, kept
// as it is; such an entry has no effect.
enum class SwapKind : std::uint8_t {
  kCell = 0,       // replaces single characters while the columns are built
  kWholeText = 1,  // replaces in the whole text before the layout
};

// The settings file's own text of the values of an entry that the entry
// could not take as they stand: a From or To longer than a read gives back
// (the entry holds what the read gives), a Type that is no 32-bit number
// (the entry is of kind 0). A save writes this text back, so that a value
// written by hand is not cut or changed in the file; the settings dialog
// marks such an entry. Empty for every entry made in the program.
struct KeptFileText {
  std::optional<std::u16string> from;
  std::optional<std::u16string> to;
  std::optional<std::u16string> type;

  bool empty() const { return !from && !to && !type; }
  friend bool operator==(const KeptFileText&, const KeptFileText&) = default;
};

// One replacement entry.
struct SwapEntry {
  std::u16string from;
  std::u16string to;
  SwapKind kind = SwapKind::kCell;
  // The file's number for the kind when `kind` cannot hold it (below 0 or
  // above 255), so that such an entry is saved as it was read. Set only by
  // StoredSwapEntry.
  std::optional<std::int32_t> storedKind = std::nullopt;
  KeptFileText kept = {};

  friend bool operator==(const SwapEntry&, const SwapEntry&) = default;
};

// The kind of an entry whose stored number SwapKind cannot hold; like every
// kind but the two, it has no effect.
inline constexpr auto kUnheldSwapKind = static_cast<SwapKind>(0xFF);

// The entry the settings file describes with kind number `storedKind`.
SwapEntry StoredSwapEntry(std::u16string from, std::u16string to, std::int32_t storedKind);
// The kind number the settings file keeps for `entry`.
std::int32_t StoredKind(const SwapEntry& entry);

// The replacement table: the entries in order, at most kMaxEntries of them.
class SwapTable {
 public:
  // The settings file has sections "Swap001".."Swap999" only.
  static constexpr std::size_t kMaxEntries = 999;

  std::size_t Count() const { return entries_.size(); }
  bool Full() const { return Count() >= kMaxEntries; }

  // Entry i, 0 <= i < Count().
  const SwapEntry& operator[](std::size_t i) const { return entries_.at(i); }
  SwapEntry& operator[](std::size_t i) { return entries_.at(i); }

  // Appends an entry; false (and nothing changes) when the table is full.
  bool Append(SwapEntry entry);
  // Removes entry i and closes the gap; an i past the end changes nothing.
  void Remove(std::size_t i);
  // Back to no entries.
  void Clear() { entries_.clear(); }

  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

  friend bool operator==(const SwapTable&, const SwapTable&) = default;

 private:
  std::vector<SwapEntry> entries_;
};

// When the input pane is converted. The file may hold any other number up
// to 255, kept as it is; then nothing converts.
enum class ConvertTrigger : std::uint8_t {
  kEnterKey = 0,     // when Enter is released
  kF1Key = 1,        // when F1 is released
  kEveryChange = 2,  // after every change
};

inline constexpr std::uint8_t kDefaultTabSpace = 4;
// The widest tab that the settings dialogs offer; a file may hold more.
inline constexpr std::uint8_t kMaxTabSpace = 8;
inline constexpr ConvertTrigger kDefaultConvertTrigger = ConvertTrigger::kEveryChange;

// The rules that lay a text out: the tab width, the replacement table, and
// how lines are cut and spaced into columns. A layout made under the same
// rules from the same text is the same layout.
struct LayoutRules {
  std::uint8_t tabSpace = kDefaultTabSpace;
  SwapTable table;
  LayoutSettings columns;

  friend bool operator==(const LayoutRules&, const LayoutRules&) = default;
};

struct AppSettings {
  LayoutRules rules;
  ConvertTrigger convertTrigger = kDefaultConvertTrigger;
  // How the 変換 menu draws pictures.
  PictureStyle picture;
  // How the window shows the text.
  ViewOptions view;
  // The pages of a PDF (変換 → ページ設定…).
  PageSetup page;
  // The folder of the program, ending in '/'.
  std::string appFolder;
  // The encoding the save command offers first: the one last chosen.
  Charset saveEncoding = Charset::Cp932;
};

// The name of the section of entry `index` (0-based): "Swap001" .. "Swap999".
std::u16string SwapSectionName(std::size_t index);

// What one save writes. OK in the settings dialog writes what the dialog
// edits; a choice the window remembers writes only its own keys, so that a
// file stays without them until the user makes that choice.
enum class SettingsPart : std::uint8_t {
  // The tab width, the trigger, the entries and the layout options.
  kDialog,
  // saveEncoding: "Shift_JIS" or "UTF-8".
  kSaveEncoding,
  // The picture style: all its keys.
  kPictureStyle,
  // The view: the panes' font size and 縦組み表示.
  kView,
  // The pages of a PDF: all their keys.
  kPageSetup,
};

// Fills every field but appFolder from the settings file at `file`.
// saveEncoding is "UTF-8" for UTF-8 (in any letter case); anything else, or
// nothing, is Shift_JIS. A missing file, section or key gives the defaults;
// the entries run from "Swap001" up to the first section without a
// non-empty "From". Every number is taken only where it is a decimal number
// within its key's range, however many digits it has; anything else gives
// its field's default, never a wrapped or clamped value: TabSpace and
// Convert 0..255, the layout options, picture values and the page within
// their own ranges, a Type within 32 bits (kept as read). A From or To is
// cut to the read limit of the file (see ProfileFile::ReadString), and a
// Type that is no number is read as 0; the entry then keeps the file's text
// (see KeptFileText). A "FromU" or "ToU" is taken while the plain key
// beside it still holds code page 932's form of it; a plain key edited by
// hand wins, and the next save drops the stale key. A file that exists but
// cannot be read also leaves the defaults, and its error is returned.
IoStatus LoadSettings(AppSettings& settings, const std::string& file);

// Writes `part` of the settings to `file` in one atomic replace. Other
// lines of the file are kept, and the folder of the file is made when
// missing. A number the file holds in a form that reads as the value to
// write keeps that form. The dialog's part writes a layout option only when
// it is on or the file already has it. It removes the entry sections that
// were read as entries and are beyond the table now, so that deleted
// entries do not come back; sections the reader never reached (after a gap
// in the numbers or an empty From) stay as they are, and where one would
// follow the table, a new section with an empty From goes in front of it to
// end the table there. A
// From or To holding CR or LF would break its line and lose every later
// entry at the next start, so such a table is refused (EINVAL, naming the
// file, the section and the key) and the file is left as it was.
IoStatus SaveSettings(const AppSettings& settings, const std::string& file,
                      SettingsPart part = SettingsPart::kDialog);

// Makes `charset` the one the save dialogs of text offer first, in
// `settings` and, when that is a change, in its settings file.
IoStatus RememberSaveCharset(AppSettings& settings, Charset charset);

// Why the bytes of a file cannot be taken for a settings file, as a
// Japanese sentence, or nothing when they can. Taking any file as one
// would read every key as missing and so replace every setting with its
// default, the replacement table included. A settings file is empty or
// blank (the defaults, as a file never saved), or has one of the sections
// this program reads, as ReadSettings finds them.
std::optional<std::u16string> SettingsFileRefusal(std::string_view bytes);

// LoadSettings and SaveSettings on a profile already in memory.
void ReadSettings(AppSettings& settings, const ProfileFile& profile);
IoStatus WriteSettings(const AppSettings& settings, ProfileFile& profile,
                       SettingsPart part = SettingsPart::kDialog);

// The settings file of the running program (see SettingsFilePath).
std::string SettingsFile(const AppSettings& settings);

// The start-up of the settings: an empty table, appFolder = `programFolder`
// (ending in '/'; when empty, the running program's folder), then the
// settings file loaded (see LoadSettings: a file that exists but cannot be
// read leaves the defaults, and its error is returned).
IoStatus LoadStartupSettings(AppSettings& settings, const std::string& programFolder = {});

}  // namespace mirotabe
