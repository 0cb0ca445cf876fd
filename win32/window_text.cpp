#include "win32/window_text.h"

#include <algorithm>

namespace mirotabe::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is a UTF-16 unit on Windows");

std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::u16string Utf16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

std::u16string WindowText(HWND window) {
  const auto length = static_cast<std::size_t>(GetWindowTextLengthW(window));
  std::wstring text(length + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return Utf16(text);
}

LRESULT CopyWindowText(std::u16string_view text, WPARAM capacity, LPARAM buffer) {
  auto* out = reinterpret_cast<wchar_t*>(buffer);
  if (capacity == 0 || out == nullptr) return 0;
  const std::size_t copied = std::min<std::size_t>(text.size(), capacity - 1);
  std::copy_n(text.begin(), copied, out);
  out[copied] = L'\0';
  return static_cast<LRESULT>(copied);
}

}  // namespace mirotabe::win32
