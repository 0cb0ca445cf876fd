// The engine's constants as JavaScript takes them (constants()): what the
// page shows, offers and checks as the engine defines it.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/code_points.h"
#include "core/drawing_plan.h"
#include "core/glyph_form.h"
#include "core/layout_settings.h"
#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/settings.h"
#include "core/vertical_presets.h"
#include "core/view_options.h"
#include "textio/encoding_names.h"
#include "web/engine.h"
#include "web/settings_values.h"

namespace mirotabe::web {
namespace {

using emscripten::val;

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

}  // namespace
}  // namespace mirotabe::web

EMSCRIPTEN_BINDINGS(mirotabe_constants) {
  emscripten::function("constants", &mirotabe::web::Constants);
}
