#include "web/settings_values.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <string>

#include "core/entry_text.h"
#include "core/layout_settings.h"

namespace mirotabe::web {
namespace {

using emscripten::val;

// A spacing the page gives, where it is a number within range.
std::optional<double> ColumnSpacingFromJs(const val& em) {
  if (!em.isNumber() || !IsValidColumnSpacing(em.as<double>())) return std::nullopt;
  return em.as<double>();
}

}  // namespace

// An entry as the page holds it: its From, To and stored kind; and where it
// keeps the settings file's own text of a value (see KeptFileText), that
// text, the mark its row shows and what the mark says.
val EntryToJs(const SwapEntry& entry) {
  val result = val::object();
  result.set("from", entry.from);
  result.set("to", entry.to);
  result.set("kind", StoredKind(entry));
  if (entry.kept.empty()) return result;
  val kept = val::object();
  const auto keep = [&kept](const char* name, const std::optional<std::u16string>& text) {
    if (text) kept.set(name, *text);
  };
  keep("from", entry.kept.from);
  keep("to", entry.kept.to);
  keep("type", entry.kept.type);
  result.set("kept", kept);
  result.set("mark", std::u16string(kKeptEntryMark));
  result.set("note", KeptEntryNote(entry));
  return result;
}

// The entry of a JavaScript object made by EntryToJs, or by the page for a
// new entry (From, To and kind only).
SwapEntry EntryFromJs(const val& entry) {
  SwapEntry result = StoredSwapEntry(entry["from"].as<std::u16string>(),
                                     entry["to"].as<std::u16string>(), entry["kind"].as<int>());
  const val kept = entry["kept"];
  if (kept.isUndefined() || kept.isNull()) return result;
  const auto text = [&kept](const char* name) -> std::optional<std::u16string> {
    const val value = kept[name];
    if (!value.isString()) return std::nullopt;
    return value.as<std::u16string>();
  };
  result.kept = KeptFileText{text("from"), text("to"), text("type")};
  return result;
}

const char* SaveEncodingName(Charset charset) {
  for (const auto& [known, name] : kSaveEncodings) {
    if (known == charset) return name;
  }
  return kSaveEncodings[0].second;
}

Charset SaveEncodingNamed(const std::string& name) {
  for (const auto& [charset, known] : kSaveEncodings) {
    if (name == known) return charset;
  }
  return kSaveEncodings[0].first;
}

val PictureStyleToJs(const PictureStyle& style) {
  val result = val::object();
  result.set("cellSize", style.cellSize);
  result.set("grid", style.grid);
  result.set("verticalGlyphs", style.verticalGlyphs);
  // null: not chosen, so that pages set ruby and pictures do not.
  result.set("ruby", style.ruby ? val(*style.ruby) : val::null());
  result.set("columnSpacing", style.columnSpacing);
  return result;
}

// The picture style the page chose over `style`, the one it was shown:
// what the page does not give stays as it was.
PictureStyle PictureStyleFromJs(const val& chosen, PictureStyle style) {
  style.cellSize = chosen["cellSize"].as<int>();
  style.grid = chosen["grid"].as<bool>();
  style.verticalGlyphs = chosen["verticalGlyphs"].as<bool>();
  if (const val ruby = chosen["ruby"]; !ruby.isUndefined()) {
    style.ruby = ruby.isNull() ? std::nullopt : std::optional<bool>(ruby.as<bool>());
  }
  if (const std::optional<double> em = ColumnSpacingFromJs(chosen["columnSpacing"])) {
    style.columnSpacing = *em;
  }
  return style;
}

val PageSetupToJs(const PageSetup& page) {
  val result = val::object();
  result.set("enabled", page.enabled);
  result.set("paper", static_cast<int>(page.paper));
  result.set("landscape", page.landscape);
  result.set("marginMm", page.marginMm);
  result.set("characterPoints", page.characterPoints);
  result.set("columnLength", static_cast<double>(page.columnLength));
  result.set("columns", static_cast<double>(page.columns));
  result.set("pageNumbers", page.pageNumbers);
  result.set("columnSpacing", page.columnSpacing ? val(*page.columnSpacing) : val::null());
  result.set("face", static_cast<int>(page.face));
  // null: not chosen, so that pages follow the layout's rule (see PageKinsoku).
  result.set("kinsoku", page.kinsoku ? val(static_cast<int>(*page.kinsoku)) : val::null());
  return result;
}

// The page setup the dialog chose over `page`, the one it was shown; each
// number within its range, as the settings file would read it. What the
// dialog does not give (a spacing, the line-breaking rule of pages) stays
// as it was; a rule of null is no rule of the pages' own.
PageSetup PageSetupFromJs(const val& chosen, PageSetup page) {
  page.enabled = chosen["enabled"].as<bool>();
  page.paper = static_cast<Paper>(std::clamp(chosen["paper"].as<int>(), 0, kMaxPaper));
  page.landscape = chosen["landscape"].as<bool>();
  page.marginMm = std::clamp(chosen["marginMm"].as<int>(), 0, kMaxMarginMm);
  page.characterPoints =
      std::clamp(chosen["characterPoints"].as<double>(), kMinCharacterPoints, kMaxCharacterPoints);
  page.columnLength =
      std::min<std::size_t>(chosen["columnLength"].as<std::size_t>(), kMaxColumnLength);
  page.columns = std::min<std::size_t>(chosen["columns"].as<std::size_t>(), kMaxPageColumns);
  page.pageNumbers = chosen["pageNumbers"].as<bool>();
  if (const val face = chosen["face"]; face.isNumber()) {
    page.face = static_cast<Typeface>(std::clamp(face.as<int>(), 0, kMaxTypeface));
  }
  if (const val em = chosen["columnSpacing"]; !em.isUndefined()) {
    page.columnSpacing = ColumnSpacingFromJs(em);
  }
  if (const val kinsoku = chosen["kinsoku"]; kinsoku.isNull()) {
    page.kinsoku.reset();
  } else if (kinsoku.isNumber()) {
    page.kinsoku =
        static_cast<Kinsoku>(std::clamp(kinsoku.as<int>(), 0, static_cast<int>(kMaxKinsoku)));
  }
  return page;
}

// The settings as the page reads them (Page.settings(), readSettingsFile()).
val SettingsToJs(const AppSettings& settings) {
  val result = val::object();
  result.set("tabSpace", settings.rules.tabSpace);
  result.set("trigger", static_cast<int>(settings.convertTrigger));
  val entries = val::array();
  for (const SwapEntry& entry : settings.rules.table) entries.call<void>("push", EntryToJs(entry));
  result.set("entries", entries);
  result.set("columnLength", static_cast<int>(settings.rules.columns.columnLength));
  result.set("kinsoku", static_cast<int>(settings.rules.columns.kinsoku));
  result.set("columnGap", static_cast<int>(settings.rules.columns.columnGap));
  result.set("saveEncoding", SaveEncodingName(settings.saveEncoding));
  result.set("cellSize", settings.picture.cellSize);
  result.set("grid", settings.picture.grid);
  result.set("picture", PictureStyleToJs(settings.picture));
  result.set("page", PageSetupToJs(settings.page));
  // The rule pages are cut by: their own, else the layout's (push for none).
  result.set("pageKinsoku",
             static_cast<int>(PageKinsoku(settings.page, settings.rules.columns.kinsoku)));
  result.set("verticalView", settings.view.verticalGlyphs);
  return result;
}

}  // namespace mirotabe::web
