// What the settings dialog's From and To boxes keep of what is typed or
// pasted into them, in the window and in the browser alike.
//
// Neither keeps a line break (CR, LF) or a NUL: a line break would split
// its line in the settings file, and a NUL end it. Every other character,
// TAB included, means something in an entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/settings.h"

namespace mirotabe {

// The From box holds one character, as the conversion sees it: full-width.
std::u16string EntryFromText(std::u16string_view typed);

// The To box of a cell entry holds what fits two bytes of code page 932
// (see CutToTwoBytes); that of any other kind, what the settings file gives
// back whole (see ReadableStart), so that what OK writes is read back as it
// was.
std::u16string EntryToText(std::u16string_view typed, SwapKind kind);

// Why a table filled by a caller rather than through the boxes cannot hold
// `entry`: a To with a line break, or one that the settings file would give
// back otherwise at the next load (cut to its read limit). Nothing for a To
// the file gives back whole, or one whose whole text it keeps
// (KeptFileText).
std::optional<std::u16string> EntryToRefusal(const SwapEntry& entry);

// The settings dialog's row of `entry`: the mark of a kept value, From,
// " >> ", To, then " 変換時" for a cell entry and " 変換前" for any other.
// Nothing is padded: an empty To leaves two spaces before the word.
std::u16string EntryRowText(const SwapEntry& entry);

// The mark before the row of an entry that keeps the settings file's own
// text of a value it could not take (see KeptFileText), so that what the
// program does with it is seen rather than hidden.
inline constexpr std::u16string_view kKeptEntryMark = u"※";

// What the mark says of `entry`, for its row's tip: which of its values the
// program takes only in part or otherwise, and that the file keeps them.
// Empty for an entry without a mark.
std::u16string KeptEntryNote(const SwapEntry& entry);

}  // namespace mirotabe
