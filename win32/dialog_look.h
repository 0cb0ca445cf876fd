// What the program's dialogs share in how they look: Japanese faces, which
// a dialog's own font may lack where the system is not Japanese, and their
// place over the main window.
#pragma once

#include <windows.h>

namespace mirotabe::win32 {

// A Japanese face by name, at 9 points for `dialog`'s DPI; the caller
// deletes it once the dialog is gone.
HFONT JapaneseFont(HWND dialog, const wchar_t* face, DWORD pitch);
// The text font of the UI: MS UI Gothic.
HFONT JapaneseTextFont(HWND dialog);

// Sets `font` on every control of `dialog`.
void SetFontOfAll(HWND dialog, HFONT font);

// Over the middle of the dialog's owner, wherever that is on the screen.
void CentreOverOwner(HWND dialog);

}  // namespace mirotabe::win32
