#include "win32/dialog_look.h"

namespace mirotabe::win32 {

HFONT JapaneseFont(HWND dialog, const wchar_t* face, DWORD pitch) {
  return CreateFontW(-MulDiv(9, static_cast<int>(GetDpiForWindow(dialog)), 72), 0, 0, 0, FW_NORMAL,
                     FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     CLEARTYPE_QUALITY, pitch, face);
}

HFONT JapaneseTextFont(HWND dialog) {
  return JapaneseFont(dialog, L"MS UI Gothic", DEFAULT_PITCH | FF_SWISS);
}

void SetFontOfAll(HWND dialog, HFONT font) {
  EnumChildWindows(
      dialog,
      [](HWND control, LPARAM font) {
        SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font));
}

void CentreOverOwner(HWND dialog) {
  RECT owner;
  RECT own;
  GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
  GetWindowRect(dialog, &own);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  SetWindowPos(dialog, nullptr, (owner.left + owner.right - width) / 2,
               (owner.top + owner.bottom - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace mirotabe::win32
