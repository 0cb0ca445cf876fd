// The engine's JavaScript face (embind). Byte strings cross as Uint8Array,
// UTF-16 text through the module's own memory (see mirotabe.mjs), so that
// no lone surrogate or NUL is lost on the way.
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
#include "web/engine.h"
#include "web/js_values.h"

namespace mirotabe::web {
namespace {

using emscripten::val;

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

// The encodings the save command writes, by the names that the page and
// the module's `encoding` option give them.
constexpr std::pair<Charset, const char*> kSaveEncodings[] = {{Charset::Cp932, "cp932"},
                                                              {Charset::Utf8, "utf-8"}};

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

// A spacing the page gives, where it is a number within range.
std::optional<double> ColumnSpacingFromJs(const val& em) {
  if (!em.isNumber() || !IsValidColumnSpacing(em.as<double>())) return std::nullopt;
  return em.as<double>();
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

// What the page's canvas draws where the painter cannot be loaded (a page
// opened from disk): the sheets of a DrawingPlan, over a layout of its
// own, so that typing on while a picture is made changes nothing in it.
class Drawing {
 public:
  // A picture of `layout`, its cells `box` large (as large as the
  // painter's font makes them): one sheet for a PNG, sheets as large as
  // PDF viewers show for a PDF.
  static Drawing* Picture(VerticalLayout layout, const PictureStyle& style, CellBox box,
                          PictureFormat format) {
    auto* drawing = new Drawing(std::move(layout));
    drawing->plan_ = DrawingPlan::Picture(drawing->layout_, style, box, format);
    return drawing;
  }

  std::size_t SheetCount() const { return plan_->SheetCount(); }

  // Sheet `n` as the painters take it: its size and colours, the size of
  // its cells and of their characters (centred in them), the steps
  // drawn beneath the text, the page number, and its cells in reading
  // order as arrays: `at` (each cell's left and top), `orientation` (each
  // one's CellOrientation), `item` (each one's CellItem), `wordSpacing`
  // (what each space of a sideways run gains) and `text` (each one's length
  // in units, then its units); and the cells of ruby's readings, `rubyCell`
  // on a side, as `rubyAt`, `rubyOrientation`, `rubyItem`,
  // `rubyWordSpacing` and `rubyText`; and the left edge of each of its
  // columns, `columnLefts`, and whether each starts a paragraph,
  // `paragraphStarts`, for a PDF's tags.
  val Sheet(std::size_t n) const {
    const SheetPlan sheet = plan_->PlanSheet(n);
    val result = val::object();
    result.set("width", sheet.width);
    result.set("height", sheet.height);
    result.set("background", sheet.background ? val(*sheet.background) : val::null());
    result.set("ink", sheet.ink);
    result.set("cellWidth", sheet.cellWidth);
    result.set("cellHeight", sheet.cellHeight);
    result.set("characterSize", sheet.characterSize);
    val beneath = val::array();
    for (const PaintStep& step : sheet.beneath) {
      val drawn = val::object();
      drawn.set("lines", step.kind == PaintStep::Kind::kLines);
      drawn.set("colour", step.colour);
      drawn.set("penWidth", step.penWidth);
      drawn.set("coordinates", Numbers(step.coordinates));
      beneath.call<void>("push", drawn);
    }
    result.set("beneath", beneath);
    if (sheet.pageNumber) {
      const PageNumberPlan& number = *sheet.pageNumber;
      val drawn = val::object();
      drawn.set("text", number.text);
      drawn.set("left", number.left);
      drawn.set("top", number.top);
      drawn.set("width", number.width);
      drawn.set("height", number.height);
      drawn.set("characterSize", number.characterSize);
      drawn.set("colour", number.colour);
      result.set("pageNumber", drawn);
    } else {
      result.set("pageNumber", val::null());
    }
    result.set("columnLefts", Numbers(sheet.columnLefts));
    std::string starts;
    for (const std::size_t column : sheet.columns) {
      starts.push_back(static_cast<char>(plan_->StartsParagraph(column)));
    }
    result.set("paragraphStarts", Bytes(starts));
    Cells cells;
    plan_->ForEachCell(sheet, [&](const PlannedCell& cell) { cells.Add(cell); });
    cells.SetIn(result, "");
    // The readings of ruby, in cells of their own size, the same way.
    result.set("rubyCell", sheet.rubyCell);
    result.set("rubyCharacterSize", sheet.rubyCharacterSize);
    Cells ruby;
    plan_->ForEachRubyCell(sheet, [&](const PlannedCell& cell) { ruby.Add(cell); });
    ruby.SetIn(result, "ruby");
    return result;
  }

 private:
  explicit Drawing(VerticalLayout layout) : layout_(std::move(layout)) {}

  // Planned cells as three arrays: each one's left and top, its
  // orientation, and its length in units followed by its units.
  struct Cells {
    std::vector<double> at;
    std::vector<double> wordSpacing;
    std::string orientations;
    std::string items;
    std::u16string text;

    void Add(const PlannedCell& cell) {
      at.push_back(cell.left);
      at.push_back(cell.top);
      wordSpacing.push_back(cell.wordSpacing);
      orientations.push_back(static_cast<char>(cell.orientation));
      items.push_back(static_cast<char>(cell.item));
      text += static_cast<char16_t>(cell.text.size());
      text += cell.text;
    }
    // As "at", "orientation", "item", "wordSpacing" and "text", after
    // `prefix` ("rubyAt", ...).
    void SetIn(val& result, const std::string& prefix) const {
      const auto name = [&](std::string key) {
        if (!prefix.empty()) key[0] = static_cast<char>(key[0] - 'a' + 'A');
        return prefix + key;
      };
      result.set(name("at"), Numbers(at));
      result.set(name("orientation"), Bytes(orientations));
      result.set(name("item"), Bytes(items));
      result.set(name("wordSpacing"), Numbers(wordSpacing));
      result.set(name("text"), Units(text));
    }
  };

  static val Numbers(const std::vector<double>& numbers) {
    return val::global("Float64Array")
        .new_(emscripten::typed_memory_view(numbers.size(), numbers.data()));
  }

  VerticalLayout layout_;
  std::optional<DrawingPlan> plan_;
};

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

// An enum for JavaScript: each value's number by a name.
template <typename Enum>
val EnumNumbers(std::initializer_list<std::pair<const char*, Enum>> values) {
  val result = val::object();
  for (const auto& [name, value] : values) result.set(name, static_cast<int>(value));
  return result;
}

val Choice(std::string_view name, std::string_view label) {
  val choice = val::object();
  choice.set("name", std::string(name));
  choice.set("label", std::string(label));
  return choice;
}

// The papers of the page setup, in the order of their numbers, by the
// names the page setup dialog gives them.
val Papers() {
  val papers = val::array();
  for (int paper = 0; paper <= kMaxPaper; ++paper) {
    val choice = val::object();
    choice.set("value", paper);
    choice.set("label", std::string(PaperLabel(static_cast<Paper>(paper))));
    papers.call<void>("push", choice);
  }
  return papers;
}

// What the page shows, offers and checks as the engine defines it: the
// limits of the settings and of pictures, the numbers of the settings'
// enums, the encodings it opens and saves, and the version.
val Constants() {
  val constants = val::object();
  constants.set("version", std::string(MIROTABE_VERSION));
  constants.set("maxEntries", static_cast<int>(SwapTable::kMaxEntries));
  constants.set("maxTabSpace", static_cast<int>(kMaxTabSpace));
  constants.set("maxColumnLength", static_cast<int>(kMaxColumnLength));
  constants.set("maxColumnGap", static_cast<int>(kMaxColumnGap));
  constants.set("minCellSize", kMinCellSize);
  constants.set("maxCellSize", kMaxCellSize);
  constants.set("defaultCellSize", kDefaultCellSize);
  constants.set("minColumnSpacing", kMinColumnSpacing);
  constants.set("maxColumnSpacing", kMaxColumnSpacing);
  constants.set("maxImageSide", static_cast<double>(kMaxImageSide));
  constants.set("papers", Papers());
  constants.set("maxMarginMm", kMaxMarginMm);
  constants.set("minCharacterPoints", kMinCharacterPoints);
  constants.set("maxCharacterPoints", kMaxCharacterPoints);
  constants.set("maxPageColumns", static_cast<int>(kMaxPageColumns));
  constants.set("genkouPaper", static_cast<int>(Paper::kGenkou));
  constants.set("typeface", EnumNumbers<Typeface>(
                                {{"mincho", Typeface::kMincho}, {"gothic", Typeface::kGothic}}));
  constants.set("smallKanaShift", kSmallKanaShift);
  constants.set("standInForm",
                EnumNumbers<StandInForm>({{"upright", StandInForm::kUpright},
                                          {"turned", StandInForm::kTurned},
                                          {"mirroredPlace", StandInForm::kMirroredPlace},
                                          {"smallKana", StandInForm::kSmallKana}}));
  constants.set("cellItem", EnumNumbers<CellItem>({{"glyphs", CellItem::kGlyphs},
                                                   {"tcy", CellItem::kTcy},
                                                   {"sideways", CellItem::kSideways}}));
  constants.set("cellOrientation", EnumNumbers<CellOrientation>(
                                       {{"asItStands", CellOrientation::kAsItStands},
                                        {"verticalOrUpright", CellOrientation::kVerticalOrUpright},
                                        {"verticalOrTurned", CellOrientation::kVerticalOrTurned},
                                        {"turned", CellOrientation::kTurned}}));
  constants.set("glyphForm", EnumNumbers<GlyphForm>({{"upright", GlyphForm::kUpright},
                                                     {"vertical", GlyphForm::kVertical},
                                                     {"turned", GlyphForm::kTurned}}));
  constants.set("maxSheetSide", static_cast<double>(kMaxSheetSide));
  constants.set("trigger",
                EnumNumbers<ConvertTrigger>({{"enterKey", ConvertTrigger::kEnterKey},
                                             {"f1Key", ConvertTrigger::kF1Key},
                                             {"everyChange", ConvertTrigger::kEveryChange}}));
  constants.set("swapKind", EnumNumbers<SwapKind>(
                                {{"cell", SwapKind::kCell}, {"wholeText", SwapKind::kWholeText}}));
  constants.set("kinsoku", EnumNumbers<Kinsoku>({{"none", Kinsoku::kNone},
                                                 {"hang", Kinsoku::kHang},
                                                 {"pushOut", Kinsoku::kPushOut}}));
  // The open command's choices, by names that decodeFile() takes: found from
  // the bytes, then the encodings; UTF-16 takes the byte order its mark
  // gives, UTF-16LE and UTF-16BE their own.
  val open = val::array();
  const auto offer = [&open](std::string_view name, std::string_view label) {
    open.call<void>("push", Choice(name, label));
  };
  const auto offerEncoding = [&offer](TextEncoding encoding) {
    offer(EncodingName(encoding), EncodingName(encoding));
  };
  offer("auto", "自動判別");
  offerEncoding(TextEncoding::Cp932);
  offerEncoding(TextEncoding::Utf8);
  offer("UTF-16", "UTF-16");
  offerEncoding(TextEncoding::Utf16Le);
  offerEncoding(TextEncoding::Utf16Be);
  offerEncoding(TextEncoding::EucJp);
  offerEncoding(TextEncoding::Iso2022Jp);
  constants.set("openEncodings", open);
  // The save command's; `lossy` where some characters cannot be written.
  val save = val::array();
  for (const auto& [charset, name] : kSaveEncodings) {
    val choice = Choice(name, EncodingName(ToTextEncoding(charset)));
    choice.set("lossy", charset == Charset::Cp932);
    save.call<void>("push", choice);
  }
  constants.set("saveEncodings", save);
  return constants;
}

EMSCRIPTEN_BINDINGS(mirotabe) {
  emscripten::function("constants", &Constants);
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
