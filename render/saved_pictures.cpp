#include "render/saved_pictures.h"

#include <optional>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "core/aozora_grid_text.h"
#include "core/aozora_notation.h"
#include "core/notation.h"
#include "core/page_setup.h"
#include "render/pictures.h"
#include "render/typeface_fonts.h"

namespace mirotabe {
namespace {

LayoutResult LayOutTypeset(std::u16string_view input, LayoutRules rules) {
  if (rules.columns.typesetting.latin == LatinSetting::kSideways) {
    FontChain gothic(TypefaceFonts(Typeface::kGothic));
    rules.columns.typesetting.advances = LatinAdvancesOf(gothic);
  }
  return BuildVerticalLayout(input, rules);
}

// The text as the columns hold it: read in the notation `style` names for
// `output`, where Aozora Bunko's sets 字下げ and 地付き in cells of
// `columnLength`, 外字 as characters, ruby in its notation (and 傍点 and
// 傍線 as readings of their marks, where `rules` set ruby); and the pages
// its 改ページ start.
struct TypesetText {
  std::u16string text;
  std::vector<PageBreak> pageBreaks;
};

std::optional<TypesetText> NotationText(std::u16string_view input, const PictureStyle& style,
                                        OutputKind output, const LayoutSettings& columns) {
  if (NotationFor(style.notation, output) != Notation::kAozora) return std::nullopt;
  const AozoraBook book = ReadAozoraText(input);
  return TypesetText{AozoraGridText(book, columns.columnLength,
                                    columns.ruby ? GridMarks::kBeside : GridMarks::kNone),
                     AozoraPageBreaks(book)};
}

IoError TooLarge() {
  return IoError{{}, std::make_error_code(std::errc::file_too_large)};
}

}  // namespace

IoResult<std::string> SavedPages(std::u16string_view input, const AppSettings& settings) {
  const PageGeometry geometry = PageGeometryOf(settings.page);
  LayoutRules rules = settings.rules;
  rules.columns = PageLayoutSettings(rules.columns, settings.page, geometry);
  rules.columns.ruby = RubyInPages(settings.picture);
  const std::optional<TypesetText> typeset =
      NotationText(input, settings.picture, OutputKind::kPage, rules.columns);
  LayoutResult result = LayOutTypeset(typeset ? typeset->text : input, rules);
  if (std::holds_alternative<LayoutTooLarge>(result)) return TooLarge();
  FontChain fonts(TypefaceFonts(settings.page.face));
  std::string pages;
  if (const IoStatus status = WritePages(
          std::get<VerticalLayout>(result), settings.picture, settings.page, fonts,
          [&pages](std::string_view block) {
            pages.append(block);
            return true;
          },
          typeset ? typeset->pageBreaks : std::vector<PageBreak>{});
      status.failed()) {
    return status.error();
  }
  return pages;
}

IoResult<std::string> SavedPicture(std::u16string_view input, const VerticalLayout& shown,
                                   const AppSettings& settings, PictureFormat format) {
  const std::optional<LayoutSettings> apart =
      PictureLayoutSettings(settings.rules.columns, settings.picture);
  LayoutRules rules = settings.rules;
  if (apart) rules.columns = *apart;
  const std::optional<TypesetText> typeset =
      NotationText(input, settings.picture, OutputKind::kPicture, rules.columns);
  LayoutResult laidApart;
  if (apart || typeset) {
    laidApart = LayOutTypeset(typeset ? typeset->text : input, rules);
    if (std::holds_alternative<LayoutTooLarge>(laidApart)) return TooLarge();
  }
  const VerticalLayout& layout = apart || typeset ? std::get<VerticalLayout>(laidApart) : shown;
  FontChain fonts(TypefaceFonts(Typeface::kGothic));
  return PictureFile(layout, settings.picture, format, fonts);
}

}  // namespace mirotabe
