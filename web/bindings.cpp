// The engine's JavaScript face (embind): the page's state (Page), the
// conversion of the module's convert() into text, and what the page asks
// of the engine's rules. The values it hands over are made by
// js_values.h, settings_values.h and drawing_values.h; the constants are
// constants_bindings.cpp's.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/code_points.h"
#include "core/drawing_plan.h"
#include "core/entry_text.h"
#include "core/glyph_form.h"
#include "core/layout_settings.h"
#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/reverse_layout.h"
#include "core/settings.h"
#include "core/too_large_text.h"
#include "core/vertical_presets.h"
#include "core/view_options.h"
#include "textio/encoding_names.h"
#include "textio/undecodable_warning.h"
#include "web/drawing_values.h"
#include "web/engine.h"
#include "web/js_values.h"
#include "web/settings_values.h"

namespace mirotabe::web {
namespace {

using emscripten::val;

std::optional<std::string> OptionalText(const val& options, const char* name) {
  const val value = options[name];
  if (value.isUndefined() || value.isNull()) return std::nullopt;
  if (value.isString()) return value.as<std::string>();
  return value.call<std::string>("toString");
}

val ConvertFromJs(const std::string& input, const val& settings, const val& options) {
  ConvertRequest request;
  request.input = input;
  if (!settings.isNull() && !settings.isUndefined()) request.settings = settings.as<std::string>();
  request.from = OptionalText(options, "from").value_or("auto");
  request.encoding = OptionalText(options, "encoding").value_or("cp932");
  request.columnLength = OptionalText(options, "columnLength");
  request.kinsoku = OptionalText(options, "kinsoku");
  request.gap = OptionalText(options, "gap");
  request.ruby = OptionalText(options, "ruby");
  request.reverse = options["reverse"].as<bool>();
  const ConvertOutcome outcome = Convert(request);
  val result = val::object();
  if (!outcome.error.empty()) {
    result.set("error", outcome.error);
    return result;
  }
  result.set("bytes", Bytes(outcome.bytes));
  val warnings = val::array();
  for (const std::string& warning : outcome.warnings) warnings.call<void>("push", warning);
  result.set("warnings", warnings);
  return result;
}

// The page's state. The engine mirrors the input pane's text: the pane
// hands over each change as the units it replaces and the text it puts
// there (lines separated by LF, as the pane holds them), so that a
// keystroke in a long text costs what its line costs.
class Page {
 public:
  void Replace(std::size_t offset, std::size_t removed, const std::u16string& inserted) {
    ToProgramText(inserted, program_);
    session_.ReplaceText(offset, removed, program_);
  }

  bool LoadSettingsFile(const std::string& bytes) { return session_.LoadSettingsFile(bytes); }
  val SettingsFileBytes() const { return Bytes(session_.SettingsFileBytes()); }

  val Settings() const { return SettingsToJs(session_.settings()); }

  // The dialog's OK: entries that came from the file keep their stored
  // kind and the file's own text they keep (see EntryToJs); new ones take
  // 0 or 1.
  std::string SaveSettings(const val& chosen) {
    AppSettings settings = session_.settings();
    settings.rules.tabSpace = static_cast<std::uint8_t>(chosen["tabSpace"].as<int>());
    settings.convertTrigger = static_cast<ConvertTrigger>(chosen["trigger"].as<int>());
    settings.rules.table.Clear();
    const val entries = chosen["entries"];
    const auto count = entries["length"].as<std::size_t>();
    for (std::size_t i = 0; i < count; ++i) {
      SwapEntry entry = EntryFromJs(entries[i]);
      if (const std::optional<std::u16string> refused = EntryToRefusal(entry)) {
        return Encode(*refused, Charset::Utf8).bytes;
      }
      settings.rules.table.Append(std::move(entry));
    }
    settings.rules.columns.columnLength = chosen["columnLength"].as<std::size_t>();
    settings.rules.columns.kinsoku = static_cast<Kinsoku>(chosen["kinsoku"].as<int>());
    settings.rules.columns.columnGap = static_cast<std::uint8_t>(chosen["columnGap"].as<int>());
    return session_.SaveSettings(settings).value_or("");
  }

  std::string SaveSaveEncoding(const std::string& name) {
    return session_.SaveSaveEncoding(SaveEncodingNamed(name)).value_or("");
  }

  // The picture style as the picture dialog chose it; what it does not
  // show stays as it was.
  std::string SavePictureStyle(const val& style) {
    return session_.SavePictureStyle(PictureStyleFromJs(style, session_.settings().picture))
        .value_or("");
  }

  std::string SaveVerticalView(bool on) {
    ViewOptions view = session_.settings().view;
    view.verticalGlyphs = on;
    return session_.SaveView(view).value_or("");
  }

  std::string SavePageSetup(const val& style, const val& page) {
    return session_
        .SavePageSetup(PictureStyleFromJs(style, session_.settings().picture),
                       PageSetupFromJs(page, session_.settings().page))
        .value_or("");
  }

  // The picture of the layout that saves take, its cells `width` × `height` pixels,
  // as a PNG or (`pdf`) a PDF.
  Drawing* DrawPicture(int width, int height, bool pdf) {
    const PictureStyle& style = session_.settings().picture;
    const PictureFormat format = pdf ? PictureFormat::Pdf : PictureFormat::Png;
    if (std::optional<LayoutResult> laid = session_.LayPicture()) {
      if (auto* layout = std::get_if<VerticalLayout>(&*laid)) {
        return Drawing::Picture(std::move(*layout), style, CellBox{width, height}, format);
      }
    }
    return Drawing::Picture(session_.SavedLayout(), style, CellBox{width, height}, format);
  }

  // Lays the mirrored text out: its rows and columns, and which columns
  // changed (all of them when `whole`), or why it is too large.
  val Lay() {
    val result = val::object();
    if (!session_.Lay()) {
      const LayoutTooLarge& tooLarge = *session_.tooLarge();
      result.set("tooLarge", true);
      result.set("lines", tooLarge.lines);
      result.set("longestLine", tooLarge.longestLine);
      result.set("bound", tooLarge.bound);
      result.set("message", TooLargeText(tooLarge));
    }
    const VerticalLayout& layout = session_.layout();
    result.set("rows", layout.RowCount());
    result.set("columns", layout.ColumnCount());
    const VerticalLayout::Change& change = layout.LastChange();
    result.set("whole", change.whole);
    result.set("firstColumn", change.firstColumn);
    result.set("changedColumns", change.columns);
    return result;
  }

  // The cells of rows [row, row + rows) and columns [column, column +
  // columns), row by row: each cell is its length in units, then its units.
  val Cells(std::size_t row, std::size_t rows, std::size_t column, std::size_t columns) const {
    const VerticalLayout& layout = session_.layout();
    std::u16string cells;
    for (std::size_t r = row; r < row + rows && r < layout.RowCount(); ++r) {
      for (std::size_t c = column; c < column + columns && c < layout.ColumnCount(); ++c) {
        const std::u16string_view cell = layout.Cell(r, c);
        cells += static_cast<char16_t>(cell.size());
        cells += cell;
      }
    }
    return Units(cells);
  }

  // The cell of the character before unit `caret` of the mirrored text,
  // in line `line` (0-based), which starts at unit `lineStart`.
  val CaretCell(std::size_t line, std::size_t lineStart, std::size_t caret) const {
    const std::optional<CellPosition> cell = session_.CaretCellAt(line, lineStart, caret);
    if (!cell) return val::null();
    val result = val::object();
    result.set("row", cell->row);
    result.set("column", cell->column);
    return result;
  }

  // The mirrored text read back from vertical into horizontal writing, or
  // null when it is too large.
  val Reverse() const {
    const ReverseResult reversed = ReverseLayout(session_.text());
    if (std::holds_alternative<LayoutTooLarge>(reversed)) return val::null();
    return Units(std::get<std::u16string>(reversed));
  }

  // The text in the program's form (CR LF between lines), which pictures
  // and pages are drawn of.
  val Text() const { return Units(session_.text()); }

  // The text that saves and copies take (see Session::SavedLayout).
  val OutputText() { return Units(session_.SavedLayout().Text()); }

  void SetViewColumnLength(std::size_t columnLength) { session_.SetViewColumnLength(columnLength); }

  val SavedBytes(const std::string& encoding) {
    return Bytes(session_.SavedBytes(SaveEncodingNamed(encoding)));
  }

  // The characters that code page 932 cannot hold: how many, and the first
  // few distinct ones.
  val UnencodableCells() {
    const UnencodableReport report = session_.UnencodableCells(Charset::Cp932, 5);
    val result = val::object();
    result.set("count", report.count);
    std::u32string first(report.first.begin(), report.first.end());
    result.set("first", first);
    return result;
  }

 private:
  // The pane's lines joined by CR LF instead of LF.
  static void ToProgramText(std::u16string_view pane, std::u16string& program) {
    program.resize(pane.size() +
                   static_cast<std::size_t>(std::count(pane.begin(), pane.end(), u'\n')));
    char16_t* out = program.data();
    for (const char16_t unit : pane) {
      if (unit == u'\n') *out++ = u'\r';
      *out++ = unit;
    }
  }

  Session session_;
  std::u16string program_;
};

// The input decoded as the open command reads it, or in the named encoding.
// `name` is the file's, for the notice of bytes that could not be read.
val DecodeFile(const std::string& bytes, const std::string& from, const std::string& name) {
  ConvertRequest request;
  request.input = bytes;
  request.from = from;
  const DecodedInput decoded = DecodeInput(request);
  val result = val::object();
  if (!decoded.error.empty()) {
    result.set("error", decoded.error);
    return result;
  }
  result.set("text", Units(decoded.text));
  result.set("encoding", decoded.encoding);
  // The name the window shows for the encoding read.
  if (const std::optional<NamedEncoding> read = EncodingNamed(decoded.encoding)) {
    result.set("encodingName", std::string(EncodingName(read->encoding)));
  }
  result.set("undetermined", decoded.undetermined);
  if (decoded.undecodable.count != 0) {
    result.set("undecodable", Units(UndecodableStatusLine(Decode(name, Charset::Utf8),
                                                          decoded.undecodable, decoded.read)));
  }
  return result;
}

// How the output pane stands in for the vertical form of `cell` (see
// StandInFormOf), with 縦組み表示 on.
int StandInFormOfCell(const std::u16string& cell) {
  const CellOrientation orientation = OrientationOfCell(cell, true, false);
  const char32_t first = cell.empty() ? 0 : CodePointAt(cell, 0).value;
  return static_cast<int>(StandInFormOf(orientation, first));
}

// The form a cell of `orientation` is drawn in (see FormOfGlyph).
int FormOfGlyphFor(int orientation, bool fontHasVerticalForm) {
  return static_cast<int>(
      FormOfGlyph(static_cast<CellOrientation>(orientation), fontHasVerticalForm));
}

int ZoomedPaneSize(int size, int steps) {
  return ZoomedFontSize(size, steps);
}

// What importing the bytes of a file as the settings would give: why it
// is refused ({refusal}), or the settings it holds ({settings}, as
// Page.settings() gives them).
val ReadSettingsFile(const std::string& bytes) {
  val result = val::object();
  if (const std::optional<std::string> refusal = SettingsImportRefusal(bytes)) {
    result.set("refusal", *refusal);
  } else {
    result.set("settings", SettingsToJs(SettingsOfFile(bytes)));
  }
  return result;
}

val Presets() {
  val presets = val::array();
  for (const VerticalPreset& preset : VerticalPresets()) presets.call<void>("push", preset.name);
  return presets;
}

// The entries of `entries` (JS objects) with the preset's added as the
// dialog adds them.
val AddPreset(const val& entries, std::size_t preset) {
  SwapTable table;
  const auto count = entries["length"].as<std::size_t>();
  for (std::size_t i = 0; i < count; ++i) table.Append(EntryFromJs(entries[i]));
  if (preset < VerticalPresets().size()) AddPresetEntries(table, VerticalPresets()[preset]);
  val result = val::array();
  for (const SwapEntry& entry : table) result.call<void>("push", EntryToJs(entry));
  return result;
}

// What the settings dialog's boxes keep of what is typed into them.
std::u16string EntryFrom(const std::u16string& typed) {
  return EntryFromText(typed);
}

std::u16string EntryTo(const std::u16string& typed, int kind) {
  return EntryToText(typed, static_cast<SwapKind>(kind));
}

EMSCRIPTEN_BINDINGS(mirotabe) {
  emscripten::function("convert", &ConvertFromJs);
  emscripten::function("decodeFile", &DecodeFile);
  emscripten::function("readSettingsFile", &ReadSettingsFile);
  emscripten::function("presets", &Presets);
  emscripten::function("standInForm", &StandInFormOfCell);
  emscripten::function("zoomedPaneSize", &ZoomedPaneSize);
  emscripten::function("formOfGlyph", &FormOfGlyphFor);
  emscripten::class_<Drawing>("Drawing")
      .function("sheetCount", &Drawing::SheetCount)
      .function("sheet", &Drawing::Sheet);
  emscripten::function("addPreset", &AddPreset);
  emscripten::function("entryFrom", &EntryFrom);
  emscripten::function("entryTo", &EntryTo);
  emscripten::class_<Page>("Page")
      .constructor<>()
      .function("replace", &Page::Replace)
      .function("loadSettingsFile", &Page::LoadSettingsFile)
      .function("settingsFileBytes", &Page::SettingsFileBytes)
      .function("settings", &Page::Settings)
      .function("saveSettings", &Page::SaveSettings)
      .function("saveSaveEncoding", &Page::SaveSaveEncoding)
      .function("savePictureStyle", &Page::SavePictureStyle)
      .function("saveVerticalView", &Page::SaveVerticalView)
      .function("savePageSetup", &Page::SavePageSetup)
      .function("drawPicture", &Page::DrawPicture, emscripten::allow_raw_pointers())
      .function("lay", &Page::Lay)
      .function("cells", &Page::Cells)
      .function("caretCell", &Page::CaretCell)
      .function("reverse", &Page::Reverse)
      .function("text", &Page::Text)
      .function("outputText", &Page::OutputText)
      .function("setViewColumnLength", &Page::SetViewColumnLength)
      .function("savedBytes", &Page::SavedBytes)
      .function("unencodableCells", &Page::UnencodableCells);
}

}  // namespace
}  // namespace mirotabe::web
