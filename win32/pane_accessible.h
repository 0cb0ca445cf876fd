// What assistive technology reads of the output pane: the system's own
// object for the window (its place, focus and the rest), named as the
// Linux window names its pane, a read-only text whose value is the pane's
// text, as WM_GETTEXT gives it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace mirotabe::win32 {

// The answer to WM_GETOBJECT for `window`'s client area: an object named by
// `name` (asked at each read) whose value is the window's text. Zero for
// any other object, which the system then makes itself.
LRESULT AnswerObjectRequest(HWND window, WPARAM wParam, LPARAM lParam,
                            std::function<std::u16string()> name);

}  // namespace mirotabe::win32
