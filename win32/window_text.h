// The program's UTF-16 text at the edge of the wide Win32 calls, whose
// wchar_t is the same UTF-16 unit, and the text of a window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace mirotabe::win32 {

std::wstring Wide(std::u16string_view text);
std::u16string Utf16(std::wstring_view text);

// The whole text of `window`, as WM_GETTEXT gives it.
std::u16string WindowText(HWND window);

// WM_GETTEXT's answer from a window whose text is `text`: at most
// `capacity` − 1 units and a NUL copied to `buffer`; the units copied.
LRESULT CopyWindowText(std::u16string_view text, WPARAM capacity, LPARAM buffer);

}  // namespace mirotabe::win32
