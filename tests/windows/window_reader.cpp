// Reads Mirotabe's window from another process, as a screen reader does:
// starts mirotabe.exe on a file, finds its window among the desktop's, and
// writes the output pane's text (WM_GETTEXT) to a file as UTF-8; then
// closes the window. With a fourth argument, the window as the screen
// shows it is written there too, as a BMP, for a person to look at.
// Usage: window_reader PROGRAM.exe INPUT OUTPUT [PICTURE.bmp]
// Exit status: 0 read, 2 usage, 3 no program, 4 no window, 5 not written.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/windows_text.h"

namespace {

struct Search {
  DWORD process = 0;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM search) {
  auto& s = *reinterpret_cast<Search*>(search);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t type[64] = {};
  GetClassNameW(window, type, 64);
  if (process != s.process || std::wstring(type) != L"MirotabeMainWindow") return TRUE;
  s.found = window;
  return FALSE;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 10000, &got);
  text.resize(got);
  return text;
}

// The window's pixels on the screen as a 24-bit BMP at `path`.
bool WritePicture(HWND window, const wchar_t* path) {
  RECT frame;
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
  SelectObject(memory, old);
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD size = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER head{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  head.bfSize = head.bfOffBits + size;
  FILE* out = _wfopen(path, L"wb");
  bool written = out != nullptr && std::fwrite(&head, sizeof head, 1, out) == 1 &&
                 std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                 std::fwrite(bits, 1, size, out) == size;
  if (out != nullptr) written = std::fclose(out) == 0 && written;
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  if (count != 4 && count != 5) return 2;
  std::wstring line = L"\"" + std::wstring(arguments[1]) + L"\" \"" + arguments[2] + L"\"";
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(arguments[1], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &start, &started)) {
    return 3;
  }
  WaitForInputIdle(started.hProcess, 30000);
  Search search{started.dwProcessId};
  for (int tries = 0; tries < 300 && search.found == nullptr; ++tries) {
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) Sleep(100);
  }
  if (search.found == nullptr) {
    TerminateProcess(started.hProcess, 1);
    return 4;
  }
  // The title names the file once it is read and laid out.
  const std::wstring input = arguments[2];
  const std::wstring name = input.substr(input.find_last_of(L"\\/:") + 1);
  for (int tries = 0; tries < 300 && TextOf(search.found).find(name) == std::wstring::npos;
       ++tries) {
    Sleep(100);
  }
  const std::string text = mirotabe::Utf8Of(TextOf(GetDlgItem(search.found, 2)));
  if (count == 5) {
    SetForegroundWindow(search.found);
    Sleep(1000);
    if (!WritePicture(search.found, arguments[4])) return 5;
  }
  PostMessageW(search.found, WM_CLOSE, 0, 0);
  WaitForSingleObject(started.hProcess, 30000);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  FILE* out = _wfopen(arguments[3], L"wb");
  if (out == nullptr) return 5;
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  return std::fclose(out) == 0 && written ? 0 : 5;
}
