// The files last opened or saved as text, which ファイル → 最近使ったファイル
// lists newest first in every window: how the list changes, and how its
// items read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirotabe {

// The files kept.
inline constexpr std::size_t kMaxRecentFiles = 10;

inline constexpr std::u16string_view kRecentMenuCaption = u"最近使ったファイル(&R)";
// The one item, disabled, of an empty list.
inline constexpr std::u16string_view kNoRecentFilesCaption = u"(なし)";
inline constexpr std::u16string_view kClearRecentCaption = u"履歴を消去(&C)";

// `files` with `file` first and nowhere else, the oldest beyond
// kMaxRecentFiles dropped.
std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& file);

// The item of the `number`th file (from 1), shown as `shownPath`: its
// number is its key, 1 to 9 and then 0 for the tenth, and every '&' of the
// name is doubled so that none of it is taken for a key: "&1 /a/memo.txt".
std::u16string RecentFileCaption(std::size_t number, std::u16string_view shownPath);

}  // namespace mirotabe
