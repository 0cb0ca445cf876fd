// Times a keystroke in the Windows window until both panes have painted, on
// a text read from a file, as mirotabe_ui_bench times the Linux window's: a
// character typed at the end of the text, the layout brought up to date,
// the input and output panes painted; the backspace that takes it back is
// not timed. Prints the median and the mean in milliseconds.
// Usage: mirotabe_window_bench.exe TEXT [TIMES [KEYSTROKES [edit]]]
//   TEXT (UTF-8) is laid out as it is, TIMES copies of it one after another
//   (1 by default); KEYSTROKES are timed (50 by default); "edit" times the
//   input pane's edit control alone, the window converting only at Enter.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "platform/files.h"
#include "platform/windows_text.h"
#include "textio/text_file.h"
#include "win32/main_window.h"
#include "win32/output_pane.h"

namespace {

using Clock = std::chrono::steady_clock;

// Lets the window handle what is waiting, as its message loop would.
void Settle() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void TypeAndPaint(const mirotabe::win32::MainWindow& window, wchar_t key) {
  SendMessageW(window.input(), WM_CHAR, key, 1);
  UpdateWindow(window.input());
  UpdateWindow(window.output().window());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace mirotabe;
  if (argc < 2) {
    std::fputs("usage: mirotabe_window_bench.exe TEXT [TIMES [KEYSTROKES [edit]]]\n", stderr);
    return 2;
  }
  const int times = argc > 2 ? std::max(1, _wtoi(argv[2])) : 1;
  const int keystrokes = argc > 3 ? std::max(1, _wtoi(argv[3])) : 50;
  const bool editOnly = argc > 4 && std::wstring_view(argv[4]) == L"edit";
  const std::string path = Utf8Of(argv[1]);
  const IoResult<std::string> bytes = ReadFileBytes(path);
  if (!bytes) {
    std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
    return 1;
  }
  const std::u16string once = DecodeTextFile(bytes.value(), Charset::Utf8);
  std::u16string text = once;
  for (int i = 1; i < times; ++i) text += u"\r\n" + once;

  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  AppSettings settings;
  settings.appFolder = Utf8Of(folder);
  // The edit control alone: nothing is laid out until Enter.
  if (editOnly) settings.convertTrigger = ConvertTrigger::kEnterKey;
  auto* window = win32::MainWindow::Create(GetModuleHandleW(nullptr), settings,
                                           Utf8Of(folder) + "mirotabe-bench.draft");
  if (window == nullptr) return 1;
  ShowWindow(window->window(), SW_SHOW);
  SetWindowTextW(window->input(), reinterpret_cast<const wchar_t*>(text.c_str()));
  const auto end = static_cast<WPARAM>(GetWindowTextLengthW(window->input()));
  SendMessageW(window->input(), EM_SETSEL, end, static_cast<LPARAM>(end));
  UpdateWindow(window->window());
  Settle();

  std::vector<double> milliseconds;
  for (int i = 0; i < keystrokes; ++i) {
    const Clock::time_point start = Clock::now();
    TypeAndPaint(*window, L'a');
    milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    TypeAndPaint(*window, L'\b');
    Settle();
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  const double mean =
      std::accumulate(milliseconds.begin(), milliseconds.end(), 0.0) / milliseconds.size();
  std::printf("%zu units, %d keystrokes: median %.2f ms, mean %.2f ms\n", text.size(), keystrokes,
              milliseconds[milliseconds.size() / 2], mean);
  SendMessageW(window->window(), WM_CLOSE, 0, 0);
  return 0;
}
