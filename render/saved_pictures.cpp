#include "render/saved_pictures.h"

#include <optional>
#include <system_error>
#include <variant>

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

IoError TooLarge() {
  return IoError{{}, std::make_error_code(std::errc::file_too_large)};
}

}  // namespace

IoResult<std::string> SavedPages(std::u16string_view input, const AppSettings& settings) {
  const PageGeometry geometry = PageGeometryOf(settings.page);
  LayoutRules rules = settings.rules;
  rules.columns = PageLayoutSettings(rules.columns, settings.page, geometry);
  rules.columns.ruby = RubyInPages(settings.picture);
  LayoutResult result = LayOutTypeset(input, rules);
  if (std::holds_alternative<LayoutTooLarge>(result)) return TooLarge();
  FontChain fonts(TypefaceFonts(settings.page.face));
  std::string pages;
  if (const IoStatus status =
          WritePages(std::get<VerticalLayout>(result), settings.picture, settings.page, fonts,
                     [&pages](std::string_view block) {
                       pages.append(block);
                       return true;
                     });
      status.failed()) {
    return status.error();
  }
  return pages;
}

IoResult<std::string> SavedPicture(std::u16string_view input, const VerticalLayout& shown,
                                   const AppSettings& settings, PictureFormat format) {
  LayoutResult laidApart;
  const std::optional<LayoutSettings> apart =
      PictureLayoutSettings(settings.rules.columns, settings.picture);
  if (apart) {
    LayoutRules rules = settings.rules;
    rules.columns = *apart;
    laidApart = LayOutTypeset(input, rules);
    if (std::holds_alternative<LayoutTooLarge>(laidApart)) return TooLarge();
  }
  const VerticalLayout& layout = apart ? std::get<VerticalLayout>(laidApart) : shown;
  FontChain fonts(TypefaceFonts(Typeface::kGothic));
  return PictureFile(layout, settings.picture, format, fonts);
}

}  // namespace mirotabe
