// mirotabe.exe: the settings, the window, the file named on the command
// line, and the message loop.
#include <windows.h>

#include <string>
#include <vector>

#include "core/settings.h"
#include "core/window_words.h"
#include "platform/program_folder.h"
#include "platform/windows_text.h"
#include "win32/main_window.h"
#include "win32/window_text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*line*/, int show) {
  using namespace mirotabe;
  AppSettings settings;
  const IoStatus loaded = LoadStartupSettings(settings);
  win32::MainWindow* window =
      win32::MainWindow::Create(instance, settings, UserStateFolder() + "kept-input.draft",
                                UserStateFolder() + "recent-files.txt");
  if (window == nullptr) return 1;
  ShowWindow(window->window(), show);
  UpdateWindow(window->window());
  if (loaded.failed()) {
    const std::wstring text = WideOf(loaded.error().path);
    MessageBoxW(window->window(),
                win32::Wide(SettingsNotReadText(win32::Utf16(text), loaded.error())).c_str(),
                win32::Wide(kProgramName).c_str(), MB_OK | MB_ICONWARNING);
  }

  int count = 0;
  LPWSTR* values = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8Of(values[i]));
  LocalFree(values);
  window->LoadStartupFile(arguments);
  window->OfferKeptText();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(window->window(), window->accelerators(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
