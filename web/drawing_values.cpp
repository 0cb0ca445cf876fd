#include "web/drawing_values.h"

#include <emscripten/bind.h>

#include <string>
#include <vector>

#include "web/js_values.h"

namespace mirotabe::web {
namespace {

using emscripten::val;

val Numbers(const std::vector<double>& numbers) {
  return val::global("Float64Array")
      .new_(emscripten::typed_memory_view(numbers.size(), numbers.data()));
}

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

}  // namespace

Drawing* Drawing::Picture(VerticalLayout layout, const PictureStyle& style, CellBox box,
                          PictureFormat format) {
  auto* drawing = new Drawing(std::move(layout));
  drawing->plan_ = DrawingPlan::Picture(drawing->layout_, style, box, format);
  return drawing;
}

val Drawing::Sheet(std::size_t n) const {
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

}  // namespace mirotabe::web
