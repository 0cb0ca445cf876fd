#include "core/picture_style.h"

#include <string_view>

#include "platform/profile.h"

namespace mirotabe {
namespace {

constexpr std::u16string_view kLayout = u"Layout";
constexpr std::u16string_view kCellSize = u"ImageCellSize";
constexpr std::u16string_view kGrid = u"ImageGrid";

std::u16string Decimal(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

PictureStyle LoadPictureStyle(const std::string& file) {
  PictureStyle style;
  IoResult<ProfileFile> loaded = ProfileFile::Load(file);
  if (!loaded) return style;
  const ProfileFile& profile = loaded.value();
  const std::int32_t size = profile.ReadInt(kLayout, kCellSize, kDefaultCellSize);
  if (IsValidCellSize(size)) style.cellSize = size;
  style.grid = profile.ReadInt(kLayout, kGrid, 0) == 1;
  return style;
}

IoStatus SavePictureStyle(const PictureStyle& style, const std::string& file) {
  IoResult<ProfileFile> loaded = ProfileFile::Load(file);
  if (!loaded) return loaded.error();
  ProfileFile& profile = loaded.value();
  profile.WriteString(kLayout, kCellSize, Decimal(style.cellSize));
  profile.WriteString(kLayout, kGrid, style.grid ? u"1" : u"0");
  return profile.Save();
}

}  // namespace mirotabe
