#include "core/layout_settings.h"

#include <string>
#include <string_view>

#include "platform/profile.h"

namespace mirotabe {
namespace {

constexpr std::u16string_view kLayout = u"Layout";
constexpr std::u16string_view kColumnLength = u"ColumnLength";
constexpr std::u16string_view kKinsoku = u"Kinsoku";
constexpr std::u16string_view kColumnGap = u"ColumnGap";

// No stored number is negative, so -1 tells a missing key apart.
constexpr std::int32_t kMissing = -1;

std::int32_t ReadInRange(const ProfileFile& profile, std::u16string_view key, std::int32_t max) {
  const std::int32_t value = profile.ReadInt(kLayout, key, 0);
  return value < 0 || value > max ? 0 : value;
}

void Write(ProfileFile& profile, std::u16string_view key, std::size_t value) {
  if (value == 0 && profile.ReadInt(kLayout, key, kMissing) == kMissing) return;
  const std::string digits = std::to_string(value);
  profile.WriteString(kLayout, key, std::u16string(digits.begin(), digits.end()));
}

}  // namespace

LayoutSettings ReadLayoutSettings(const ProfileFile& profile) {
  LayoutSettings layout;
  layout.columnLength =
      static_cast<std::size_t>(ReadInRange(profile, kColumnLength, kMaxColumnLength));
  layout.kinsoku = static_cast<Kinsoku>(ReadInRange(profile, kKinsoku, kMaxKinsoku));
  layout.columnGap = static_cast<std::uint8_t>(ReadInRange(profile, kColumnGap, kMaxColumnGap));
  return layout;
}

void WriteLayoutSettings(ProfileFile& profile, const LayoutSettings& layout) {
  Write(profile, kColumnLength, layout.columnLength);
  Write(profile, kKinsoku, static_cast<std::size_t>(layout.kinsoku));
  Write(profile, kColumnGap, layout.columnGap);
}

}  // namespace mirotabe
