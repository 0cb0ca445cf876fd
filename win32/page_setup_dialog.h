// ページ設定…: the pictures' cell size, vertical forms, ruby and the space
// between their columns, and the pages of a PDF: whether a PDF is made of
// pages for print, the paper and its orientation, the face, the margins,
// the character size, the characters per column and columns per page
// ("入るだけ" for as many as fit), the page numbers and the pages'
// line-breaking rule, as the Linux window's dialog has them. 原稿用紙
// fixes its own orientation, squares and counts. A number that cannot be
// read keeps its old value; one beyond its limits is taken to the nearest.
#pragma once

#include <windows.h>

#include "core/settings.h"

namespace mirotabe::win32 {

// Modal to `owner`, centred over it. True when OK stored the edits into
// `settings.picture` and `settings.page` (the caller then writes them).
bool RunPageSetupDialog(HWND owner, AppSettings& settings);

}  // namespace mirotabe::win32
