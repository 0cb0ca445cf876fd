// The main window on the Win32 API: the input pane (a standard edit
// control, so that input methods, the clipboard, undo and screen readers
// work in it), the splitter, and the output pane; the menus from the
// command table, the status bar.
//
// When the conversion runs depends on the settings' trigger, read at each
// event: 0 when Enter is released in the input pane, 1 when F1 is, 2 after
// every change of its text (typing, pasting, opening, dropping, the file
// of the command line). Under the other triggers an output older than the
// input is drawn dimmed and said so in the status bar, and the commands
// that take the output convert first.
//
// Closing the window keeps a text that no file holds in the user's state
// folder, and the next start gives it back.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/pane_layout.h"
#include "core/settings.h"
#include "platform/charset.h"
#include "platform/io_error.h"
#include "win32/commands.h"
#include "win32/file_dialogs.h"
#include "win32/recent_files.h"

namespace mirotabe::win32 {

class OutputPane;

// The child controls' ids, by which tests and other programs find them.
enum class ControlId : int {
  kInput = 1,
  kOutput = 2,
  kStatus = 3,
};

// The parts of the status bar.
enum class StatusPart : int {
  kReport = 0,    // what a command did
  kEncoding = 1,  // the encoding of the file read
  kStale = 2,     // that the output is older than the input
};

class MainWindow {
 public:
  static constexpr wchar_t kClassName[] = L"MirotabeMainWindow";

  // Registers the classes and makes the window, hidden; null on failure.
  // `draftFile` is where a text no file holds is kept ("" keeps none).
  // `recentFile` keeps the recent files' list ("" keeps none).
  static MainWindow* Create(HINSTANCE instance, AppSettings& settings, std::string draftFile,
                            std::string recentFile = {});

  HWND window() const { return window_; }
  HWND input() const { return input_; }
  OutputPane& output() const { return *output_; }
  HACCEL accelerators() const { return accelerators_; }

  // Loads the file named by the command line's arguments (UTF-8, those
  // after the program's name) into the input pane.
  void LoadStartupFile(const std::vector<std::string>& arguments);
  // Gives back the text the last window kept, into an empty input pane;
  // beside a text it is left where it is, and the status bar says so.
  void OfferKeptText();
  // Reads the file at `path` (UTF-8) into the input pane, as one edit
  // that undo takes back, in the encoding it is found to be in; or says
  // why it cannot.
  void LoadInput(const std::string& path);
  // Reads the file the input's text came from again, in `encoding`.
  void ReopenInput(TextEncoding encoding);
  // Rebuilds the output pane's layout from the input pane.
  void Convert();
  // Writes the text to keep now (or removes the kept one).
  void KeepDraft();

  // The file dialogs and message boxes go through these, so that tests can
  // answer in the user's place: a path (UTF-8, "" on cancel); a yes.
  struct Asking {
    std::string (*openPath)(HWND owner) = nullptr;
    TextChoice (*savePath)(HWND owner, SavedText text, Charset offered) = nullptr;
    bool (*proceed)(HWND owner, const std::u16string& question) = nullptr;
    void (*tell)(HWND owner, const std::u16string& message) = nullptr;
    PictureChoice (*picturePath)(HWND owner) = nullptr;
    std::string (*ebookPath)(HWND owner) = nullptr;
  };
  void SetAsking(const Asking& asking) { asking_ = asking; }

 private:
  MainWindow(AppSettings& settings, std::string draftFile, std::string recentFile)
      : settings_(settings), draftFile_(std::move(draftFile)), recent_(std::move(recentFile)) {}
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK InputProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void OnCreate();
  void OnCommand(Command command);
  void OnInputChanged();
  void OnInputKeyReleased(WPARAM key);
  void OnDropFiles(HDROP drop);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnClose();
  void OnInitMenu(HMENU menu);
  void Load(const std::string& path, std::optional<TextEncoding> encoding);
  // Fills the recent files' submenu from the list as it is now.
  void FillRecentMenu(HMENU menu);
  void FillCellSizeMenu(HMENU menu);
  // Reads the `index`th recent file; one that is gone leaves the list.
  void OpenRecent(std::size_t index);
  // Says in the status bar where the list could not be kept.
  void KeepRecent(const IoStatus& status);
  bool OnSplitterMouse(UINT message, LPARAM lParam);

  // Scrolls the output pane to the cell of the input caret, where it has
  // moved since the last look.
  void FollowInputCaret();
  void LayOutPanes();
  void MakeFonts();
  void ShowStale(bool stale);
  void ConvertIfStale();
  void ShowTitle();
  void Report(const std::u16string& text);
  void ShowError(const std::u16string& text);
  void SaveOutput();
  void SavePicture();
  void SaveEbook();
  // A question with Yes and No, answered by `asking_` where it answers.
  bool Proceed(const std::u16string& question);
  // Whether `target`, the dialog's `chosen` name with a suffix added, may be
  // written: asked where it is another name that exists.
  bool MayTakeAddedName(const std::string& chosen, const std::string& target);
  void SaveInput();
  void OpenFile();
  void CopyVertical();
  void EditSettings();
  void EditPageSetup();
  void Zoom(int steps);
  void ToggleVerticalGlyphs();
  void SaveSettingsPart(SettingsPart part);
  // A save of text: asks for the file and the encoding (`offered` first)
  // and remembers the encoding, warns of what Shift_JIS cannot hold (found
  // by `lost`), adds ".txt", asks before replacing a file that name leads
  // to, has `write` write it and says what came of it.
  using FindLost = std::function<UnencodableReport(Charset charset)>;
  using WriteText = std::function<IoStatus(const std::string& path, Charset charset)>;
  void SaveText(SavedText text, Charset offered, const FindLost& lost, const WriteText& write);
  void ReplaceInput(const std::u16string& text);
  int Dpi() const;

  AppSettings& settings_;
  std::string draftFile_;
  RecentFiles recent_;
  Asking asking_;
  HWND window_ = nullptr;
  HWND input_ = nullptr;
  HWND status_ = nullptr;
  OutputPane* output_ = nullptr;
  HACCEL accelerators_ = nullptr;
  HFONT font_ = nullptr;

  PaneGeometry geometry_;
  SplitterDrag drag_;
  // Where the input's text came from, and whether it differs from it.
  std::string path_;
  std::optional<TextEncoding> encoding_;
  bool undetermined_ = false;
  bool modified_ = false;
  // Set while the window itself replaces the input's text.
  bool replacing_ = false;
  // Where the input caret last stood, in units from the text's start.
  DWORD caret_ = 0;
  // Whether the kept text on disk is this window's: written or given back
  // by it. One an earlier window left is never removed by another.
  bool draftOwned_ = false;
  // The input's text as the output pane's layout was made of it.
  std::u16string laidOut_;
  std::u16string outputTooLarge_;
};

}  // namespace mirotabe::win32
