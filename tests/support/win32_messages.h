// Driving Win32 windows through their messages, as a user and as a screen
// reader would: typing, keys, drops, reading a window's text and a status
// bar's parts, and acting in a modal dialog while it runs.
#pragma once

// windows.h first: commctrl.h and shlobj.h (DROPFILES) take its types.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
// clang-format on

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirotabe::testing_support {

// Types `text` into `window` one unit at a time, as the keyboard's
// characters arrive; "\r" is the Enter key.
inline void TypeInto(HWND window, std::u16string_view text) {
  for (const char16_t unit : text) SendMessageW(window, WM_CHAR, unit, 1);
}

// Releases key `key` in `window`.
inline void ReleaseKey(HWND window, WPARAM key) {
  SendMessageW(window, WM_KEYUP, key, 0xC0000001);
}

inline std::u16string TextOf(HWND window) {
  const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto got = static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  return std::u16string(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(got));
}

inline std::u16string StatusPartOf(HWND bar, int part) {
  const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
  std::wstring text(length + 1u, L'\0');
  SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return std::u16string(text.begin(), text.end());
}

// Drops the files `paths` on `window`, as Explorer does: the window owns
// the drop and lets it go with DragFinish.
inline void DropFiles(HWND window, const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& path : paths) (names += path) += L'\0';
  names += L'\0';
  const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(drop + 1));
  GlobalUnlock(memory);
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// Sends `command` to `window` and, while the modal dialog of caption
// `caption` it opens runs, calls `act` with the dialog once.
inline void WithModalDialog(HWND window, WPARAM command, const wchar_t* caption,
                            std::function<void(HWND)> act) {
  static std::function<void(HWND)> pending;
  static const wchar_t* sought = nullptr;
  pending = std::move(act);
  sought = caption;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(L"#32770", sought);
    if (dialog == nullptr || !pending) return;
    KillTimer(nullptr, id);
    std::function<void(HWND)> now = std::move(pending);
    pending = nullptr;
    now(dialog);
  });
  SendMessageW(window, WM_COMMAND, command, 0);
  KillTimer(nullptr, timer);
}

}  // namespace mirotabe::testing_support
