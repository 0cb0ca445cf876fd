// The browser's front end to the engine: what the page and the JavaScript
// module call, in plain C++ over the same functions as the window and the
// converter. bindings.cpp exposes it to JavaScript.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/caret_cell.h"
#include "core/gap_text.h"
#include "core/picture_style.h"
#include "core/settings.h"
#include "core/text_edit.h"
#include "core/vertical_layout.h"
#include "core/view_options.h"
#include "platform/charset.h"

namespace mirotabe::web {

// What the converter's options say, as the module takes them: each field
// is the option's text (a number's decimal digits), or absent.
struct ConvertRequest {
  std::string input;
  std::optional<std::string> settings;  // the bytes of a Setting.ini
  std::string from = "auto";
  std::string encoding = "cp932";
  std::optional<std::string> columnLength;
  std::optional<std::string> kinsoku;
  std::optional<std::string> gap;
  std::optional<std::string> ruby;  // "on" or "off"
  bool reverse = false;
};

struct ConvertOutcome {
  // Set when the request is refused: why, and nothing else.
  std::string error;
  std::string bytes;
  std::vector<std::string> warnings;
};

// The settings files above this size are refused: no Setting.ini the
// program writes comes near it (999 entries of short values).
inline constexpr std::size_t kMaxSettingsBytes = std::size_t{1} << 20;

// Why the bytes of a file the user chose cannot be imported as the
// settings, as a Japanese sentence in UTF-8, or nothing when they can.
std::optional<std::string> SettingsImportRefusal(std::string_view bytes);

// The settings that the bytes of a settings file hold, as the page would
// read them after importing it.
AppSettings SettingsOfFile(std::string_view bytes);

struct DecodedInput {
  std::string error;  // set when `from` names no encoding
  std::u16string text;
  std::string encoding;  // the one used: cp932, utf-8, utf-16le, utf-16be, euc-jp, iso-2022-jp
  bool undetermined = false;
  // The bytes that the encoding read in could not read.
  UndecodableBytes undecodable{};
  TextEncoding read = TextEncoding::Cp932;
};

// The text of request.input, read in request.from as the converter reads
// it (auto: as the program's open command does).
DecodedInput DecodeInput(const ConvertRequest& request);

// Exactly what mirotabe-convert writes for the same input, settings file
// and options (with --from and --encoding named, and --settings given or
// not), or why the request is refused.
ConvertOutcome Convert(const ConvertRequest& request);

// The page's state: the settings (kept as the bytes of their Setting.ini,
// so that lines the program does not know survive an export) and the
// current layout of the input pane.
class Session {
 public:
  Session();

  // Loads the settings from the bytes of a Setting.ini; an empty string is
  // the defaults. False when the bytes are over kMaxSettingsBytes.
  bool LoadSettingsFile(std::string_view bytes);
  // The bytes of the settings file as it stands (empty: never saved).
  std::string SettingsFileBytes() const;
  const AppSettings& settings() const { return settings_; }
  // Stores `settings` as the settings dialog's OK does: in memory and in
  // the file. Fails (with the error's text) for a table the file cannot hold.
  std::optional<std::string> SaveSettings(const AppSettings& settings);
  // Remembers the encoding the save command offers first.
  std::optional<std::string> SaveSaveEncoding(Charset charset);
  // Stores the picture style whole, as the picture commands change it.
  std::optional<std::string> SavePictureStyle(const PictureStyle& style);
  // Stores 縦組み表示 and the panes' font size.
  std::optional<std::string> SaveView(const ViewOptions& view);
  // Stores what the page setup dialog edits: the picture style and the
  // pages of a PDF.
  std::optional<std::string> SavePageSetup(const PictureStyle& style, const PageSetup& page);

  // The input pane's text in the program's form (lines separated by CR
  // LF), which the pane changes edit by edit: units [offset, offset +
  // removed) become `inserted`. An offset or a count past the end is cut
  // to the end.
  void ReplaceText(std::size_t offset, std::size_t removed, std::u16string_view inserted);
  std::u16string_view text() const { return text_.Text(); }

  // Lays the text out as the window does: only the lines that the edits
  // since the last layout touched, where the layout allows. False, with
  // tooLarge() set, when the layout would be too large.
  bool Lay();
  // The layout shown: the settings' own, or the view's when the view sets
  // a column length of its own.
  const VerticalLayout& layout() const { return layout_; }
  // A column length for the view only (0: the settings'), so that the
  // columns fit the pane; what is saved and copied keeps the settings'.
  void SetViewColumnLength(std::size_t columnLength);
  // The layout under the settings, which saves and copies take: the one
  // shown, unless the view has a column length of its own. Empty when the
  // text is too large.
  const VerticalLayout& SavedLayout();
  const std::optional<LayoutTooLarge>& tooLarge() const { return tooLarge_; }
  // The cell of the character before unit `caret` of the text, whose line
  // is line `line` (0-based), starting at unit `lineStart`.
  std::optional<CellPosition> CaretCellAt(std::size_t line, std::size_t lineStart,
                                          std::size_t caret) const;

  // The text laid out for a picture that sets ruby, 縦中横 or Latin
  // sideways (see PictureLayoutSettings); nothing when the saved layout
  // serves.
  std::optional<LayoutResult> LayPicture() const;

  // What the save command writes, and what it warns of before.
  std::string SavedBytes(Charset charset);
  UnencodableReport UnencodableCells(Charset charset, std::size_t keepFirst);

 private:
  // The rules of the layout shown.
  const LayoutRules& ShownRules() const;
  // After the settings' rules or the view's column length changed: lays
  // the text out anew at the next Lay().
  void RulesChanged();

  std::string settingsPath_;
  AppSettings settings_;
  // Kept as the window keeps its copy: a keystroke moves only the units
  // between it and the edit before.
  GapText text_;
  // What changed since the last layout; none when nothing did.
  std::optional<TextEdit> edit_;
  // Whether layout_ (or tooLarge_) is that of text_ under settings_.
  bool laidOut_ = false;
  VerticalLayout layout_;
  std::optional<LayoutTooLarge> tooLarge_;
  std::size_t viewColumnLength_ = 0;
  // The settings' rules with the view's column length, while it differs
  // from theirs.
  std::optional<LayoutRules> viewRules_;
  // SavedLayout() while the view has a column length of its own; none
  // until asked for after a change.
  std::optional<VerticalLayout> savedLayout_;
};

}  // namespace mirotabe::web
