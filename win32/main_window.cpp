#include "win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <variant>

#include "core/caret_cell.h"
#include "core/command_line.h"
#include "core/recent_files.h"
#include "core/too_large_text.h"
#include "core/vertical_layout.h"
#include "core/view_options.h"
#include "core/window_words.h"
#include "ebook/epub_book.h"
#include "platform/files.h"
#include "platform/io_reasons.h"
#include "platform/windows_text.h"
#include "render/saved_pictures.h"
#include "textio/draft_file.h"
#include "textio/encoding_names.h"
#include "textio/file_types.h"
#include "textio/layout_text.h"
#include "textio/text_file.h"
#include "textio/text_stream.h"
#include "textio/undecodable_warning.h"
#include "win32/file_dialogs.h"
#include "win32/output_pane.h"
#include "win32/page_setup_dialog.h"
#include "win32/settings_dialog.h"
#include "win32/window_text.h"

namespace mirotabe::win32 {
namespace {

constexpr UINT_PTR kDraftTimer = 1;
// No caret position the edit control gives: the next look follows it.
constexpr DWORD kNoCaret = 0xFFFFFFFF;
// How long after a change the text is kept, at most.
constexpr UINT kDraftDelayMilliseconds = 500;
constexpr std::size_t kShownUnencodable = 5;
constexpr double kTwipsPerInch = 1440;
constexpr std::u16string_view kNothingSaved = u"保存しませんでした。";

int ToPixels(float twips, int dpi) {
  return static_cast<int>(twips * static_cast<float>(dpi) / kTwipsPerInch + 0.5F);
}
float ToTwips(int pixels, int dpi) {
  return static_cast<float>(pixels * kTwipsPerInch / dpi);
}

std::u16string Utf16Of(const std::string& utf8) {
  return Utf16(WideOf(utf8));
}

std::u16string FileNameOf(const std::string& path) {
  return Utf16(std::filesystem::path(WideOf(path)).filename().wstring());
}

std::u16string Listed(const std::vector<char32_t>& characters) {
  std::u16string listed;
  for (const char32_t c : characters) {
    if (!listed.empty()) listed += u"、";
    if (c >= 0x10000) {
      listed += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      listed += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      listed += static_cast<char16_t>(c);
    }
  }
  return listed;
}

}  // namespace

MainWindow* MainWindow::Create(HINSTANCE instance, AppSettings& settings, std::string draftFile,
                               std::string recentFile) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  OutputPane::Register(instance);
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = &MainWindow::Procedure;
  type.hInstance = instance;
  type.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  type.lpszClassName = kClassName;
  RegisterClassExW(&type);

  auto* self = new MainWindow(settings, std::move(draftFile), std::move(recentFile));
  HWND window = CreateWindowExW(0, kClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                BuildMenuBar(), instance, self);
  if (window == nullptr) return nullptr;  // WM_NCDESTROY has let it go
  return self;
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = self->Handle(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (self->accelerators_ != nullptr) DestroyAcceleratorTable(self->accelerators_);
    if (self->font_ != nullptr) DeleteObject(self->font_);
    delete self;
  }
  return result;
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_SIZE:
      SendMessageW(status_, WM_SIZE, 0, 0);
      LayOutPanes();
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == input_) {
        if (HIWORD(wParam) == EN_CHANGE) OnInputChanged();
        return 0;
      }
      OnCommand(static_cast<Command>(LOWORD(wParam)));
      return 0;
    case WM_INITMENUPOPUP:
      OnInitMenu(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window_) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (OnSplitterMouse(message, lParam)) return 0;
      break;
    case WM_SETFOCUS:
      SetFocus(input_);
      return 0;
    case WM_TIMER:
      if (wParam == kDraftTimer) {
        KillTimer(window_, kDraftTimer);
        KeepDraft();
      }
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

int MainWindow::Dpi() const {
  return static_cast<int>(GetDpiForWindow(window_));
}

void MainWindow::OnCreate() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  // A screen reader names an edit control by the label just before it,
  // shown or hidden.
  CreateWindowExW(0, L"STATIC", Wide(kInputPaneName).c_str(), WS_CHILD, 0, 0, 0, 0, window_,
                  nullptr, instance, nullptr);
  input_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
          ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
      0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId::kInput)),
      instance, nullptr);
  // An edit control takes 32,767 typed characters unless told otherwise.
  SendMessageW(input_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  SetWindowSubclass(input_, &MainWindow::InputProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  output_ = OutputPane::Create(window_, static_cast<int>(ControlId::kOutput));
  status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId::kStatus)),
                            instance, nullptr);
  accelerators_ = BuildAccelerators();
  DragAcceptFiles(window_, TRUE);
  MakeFonts();
  output_->SetVerticalGlyphs(settings_.view.verticalGlyphs);
  // The first size, at this window's DPI: no DPI message comes at creation.
  RECT frame{0, 0, ToPixels(kInitialClientWidth, Dpi()), ToPixels(kInitialClientHeight, Dpi())};
  RECT bar;
  GetWindowRect(status_, &bar);
  frame.bottom += bar.bottom - bar.top;
  AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0, static_cast<UINT>(Dpi()));
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowTitle();
  Convert();
}

void MainWindow::MakeFonts() {
  HFONT old = font_;
  font_ = CreateFontW(-MulDiv(settings_.view.fontSize, Dpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                      FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
  SendMessageW(input_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  output_->SetFont(font_);
  if (old != nullptr) DeleteObject(old);
}

void MainWindow::LayOutPanes() {
  RECT client;
  GetClientRect(window_, &client);
  RECT bar;
  GetWindowRect(status_, &bar);
  const int height = std::max(0L, client.bottom - (bar.bottom - bar.top));
  const int dpi = Dpi();
  PlacePanes(geometry_, ToTwips(client.right, dpi), ToTwips(height, dpi), drag_.dragging());
  const auto place = [dpi](HWND control, const TwipsRect& rect) {
    MoveWindow(control, ToPixels(rect.left, dpi), ToPixels(rect.top, dpi),
               ToPixels(rect.width, dpi), ToPixels(rect.height, dpi), TRUE);
  };
  place(input_, geometry_.input);
  place(output_->window(), geometry_.output);
  const int parts[] = {ToPixels(kInitialClientWidth / 2, dpi),
                       ToPixels(kInitialClientWidth * 3 / 4, dpi), -1};
  SendMessageW(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
}

bool MainWindow::OnSplitterMouse(UINT message, LPARAM lParam) {
  const int dpi = Dpi();
  const float x = ToTwips(static_cast<short>(LOWORD(lParam)), dpi);
  const float fromSplitter = x - geometry_.splitter.left;
  switch (message) {
    case WM_LBUTTONDOWN:
      if (fromSplitter < 0 || fromSplitter > geometry_.splitter.width) return false;
      drag_.Press(fromSplitter);
      SetCapture(window_);
      return true;
    case WM_MOUSEMOVE:
      if (drag_.Move(fromSplitter, geometry_.splitter)) LayOutPanes();
      return drag_.dragging();
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      if (!drag_.dragging()) return false;
      drag_.Release();
      if (message == WM_LBUTTONUP) ReleaseCapture();
      RECT client;
      GetClientRect(window_, &client);
      geometry_.split = SplitShare(geometry_, ToTwips(client.right, dpi));
      LayOutPanes();
      return true;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK MainWindow::InputProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR /*id*/, DWORD_PTR self) {
  auto* main = reinterpret_cast<MainWindow*>(self);
  if (message == WM_KEYUP) main->OnInputKeyReleased(wParam);
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &MainWindow::InputProcedure, 0);
  // F6 goes from pane to pane: Tab types a tab in the input pane.
  if (message == WM_KEYDOWN && wParam == VK_F6) {
    SetFocus(main->output_->window());
    return 0;
  }
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  // The edit control tells of no caret move: these are what move it.
  switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case EM_SETSEL:
      main->FollowInputCaret();
      break;
    default:
      break;
  }
  return result;
}

void MainWindow::FollowInputCaret() {
  DWORD caret = 0;
  SendMessageW(input_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  if (caret == caret_) return;
  caret_ = caret;
  if (output_->stale()) return;  // the layout is not the text's yet
  // The text the layout was made of is the control's while the layout is
  // not stale: its line is found there, not asked of the control, whose
  // answers take as long as the text.
  const std::u16string_view text(laidOut_);
  const std::size_t at = std::min<std::size_t>(caret, text.size());
  const std::size_t lineBreak = at == 0 ? std::u16string_view::npos : text.rfind(u"\r\n", at - 1);
  const std::size_t lineStart =
      lineBreak == std::u16string_view::npos ? 0 : std::min(lineBreak + 2, at);
  std::size_t line = 0;
  for (std::size_t at = 1; at < lineStart; ++at) {
    line += text[at] == u'\n' && text[at - 1] == u'\r' ? 1 : 0;
  }
  const std::optional<CellPosition> cell =
      CaretCell(output_->layout(), line, text.substr(lineStart, at - lineStart), settings_.rules);
  if (cell) output_->ShowCell(*cell);
}

void MainWindow::OnInputKeyReleased(WPARAM key) {
  const std::optional<ConvertTrigger> trigger =
      key == VK_RETURN ? std::optional(ConvertTrigger::kEnterKey)
      : key == VK_F1   ? std::optional(ConvertTrigger::kF1Key)
                       : std::nullopt;
  if (trigger == settings_.convertTrigger) Convert();
}

void MainWindow::OnInputChanged() {
  if (!replacing_) {
    modified_ = true;
    ShowTitle();
  }
  SetTimer(window_, kDraftTimer, kDraftDelayMilliseconds, nullptr);
  if (settings_.convertTrigger == ConvertTrigger::kEveryChange) {
    Convert();
  } else {
    ShowStale(true);
  }
}

void MainWindow::Convert() {
  ShowStale(false);
  std::u16string text = WindowText(input_);
  // The edit control tells no change, only its text: what changed since the
  // last layout is found by comparing, and only its lines are laid out
  // again.
  LayoutResult result = UpdateVerticalLayout(output_->TakeLayout(), text,
                                             EditBetween(laidOut_, text), settings_.rules);
  laidOut_ = std::move(text);
  if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
    std::u16string why = TooLargeText(*tooLarge);
    for (std::size_t at = 0; (at = why.find(u'\n', at)) != std::u16string::npos; at += 2) {
      why.insert(at, 1, u'\r');
    }
    outputTooLarge_ = why;
    output_->SetLayout({});
    output_->SetMessage(why);
    return;
  }
  outputTooLarge_.clear();
  output_->SetMessage({});
  output_->SetLayout(std::move(std::get<VerticalLayout>(result)));
  caret_ = kNoCaret;
  FollowInputCaret();
}

void MainWindow::ShowStale(bool stale) {
  output_->SetStale(stale);
  const std::wstring text = stale ? Wide(StaleText(settings_.convertTrigger)) : std::wstring();
  SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(StatusPart::kStale),
               reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::ConvertIfStale() {
  if (output_->stale()) Convert();
}

void MainWindow::ShowTitle() {
  const std::u16string name = path_.empty() ? std::u16string() : FileNameOf(path_);
  SetWindowTextW(window_, Wide(WindowTitle(name, modified_)).c_str());
  std::wstring encoding;
  if (encoding_) {
    const std::string_view shown = EncodingName(*encoding_);
    encoding = Wide(EncodingShownText(std::u16string(shown.begin(), shown.end()), undetermined_));
  }
  SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(StatusPart::kEncoding),
               reinterpret_cast<LPARAM>(encoding.c_str()));
}

void MainWindow::Report(const std::u16string& text) {
  const std::wstring shown = Wide(text);
  SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(StatusPart::kReport),
               reinterpret_cast<LPARAM>(shown.c_str()));
}

void MainWindow::ShowError(const std::u16string& text) {
  if (asking_.tell != nullptr) {
    asking_.tell(window_, text);
  } else {
    MessageBoxW(window_, Wide(text).c_str(), Wide(kProgramName).c_str(), MB_OK | MB_ICONERROR);
  }
}

void MainWindow::OnCommand(Command command) {
  if (const std::optional<TextEncoding> encoding = ReopenedEncoding(command)) {
    ReopenInput(*encoding);
    return;
  }
  if (const std::optional<std::size_t> index = RecentIndex(command)) {
    OpenRecent(*index);
    return;
  }
  if (const std::optional<int> size = CellSizeOf(command)) {
    settings_.picture.cellSize = *size;
    SaveSettingsPart(SettingsPart::kPictureStyle);
    return;
  }
  switch (command) {
    case Command::kOpen:
      OpenFile();
      return;
    case Command::kSaveOutput:
      SaveOutput();
      return;
    case Command::kSaveInput:
      SaveInput();
      return;
    case Command::kExit:
      SendMessageW(window_, WM_CLOSE, 0, 0);
      return;
    case Command::kUndo:
      SendMessageW(input_, EM_UNDO, 0, 0);
      return;
    case Command::kCut:
      SendMessageW(input_, WM_CUT, 0, 0);
      return;
    case Command::kCopy:
      if (GetFocus() == output_->window()) {
        CopyVertical();
      } else {
        SendMessageW(input_, WM_COPY, 0, 0);
      }
      return;
    case Command::kPaste:
      SendMessageW(input_, WM_PASTE, 0, 0);
      return;
    case Command::kSelectAll:
      SendMessageW(input_, EM_SETSEL, 0, -1);
      return;
    case Command::kCopyVertical:
      CopyVertical();
      return;
    case Command::kSaveImage:
      SavePicture();
      return;
    case Command::kSaveEbook:
      SaveEbook();
      return;
    case Command::kPageSetup:
      EditPageSetup();
      return;
    case Command::kImageGrid:
      settings_.picture.grid = !settings_.picture.grid;
      SaveSettingsPart(SettingsPart::kPictureStyle);
      return;
    case Command::kVerticalGlyphs:
      ToggleVerticalGlyphs();
      return;
    case Command::kZoomIn:
      Zoom(1);
      return;
    case Command::kZoomOut:
      Zoom(-1);
      return;
    case Command::kZoomReset:
      Zoom(0);
      return;
    case Command::kSettings:
      EditSettings();
      return;
    case Command::kVersion:
      MessageBoxW(window_,
                  Wide(VersionText(Utf16Of(MIROTABE_VERSION), Utf16Of(MIROTABE_HOMEPAGE),
                                   Utf16Of(MIROTABE_EMAIL)))
                      .c_str(),
                  L"バージョン情報", MB_OK | MB_ICONINFORMATION);
      return;
    case Command::kNone:
    case Command::kClearRecent:
      KeepRecent(recent_.Clear());
      return;
    case Command::kReopen:  // taken above
    case Command::kRecent:
    case Command::kCellSize:
      return;
  }
}

void MainWindow::FillRecentMenu(HMENU menu) {
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
  const std::vector<std::string> files = recent_.Read();
  for (std::size_t i = 0; i < files.size(); ++i) {
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(RecentCommand(i)),
                Wide(RecentFileCaption(i + 1, Utf16Of(files[i]))).c_str());
  }
  if (files.empty()) {
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, Wide(kNoRecentFilesCaption).c_str());
    return;
  }
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(Command::kClearRecent),
              Wide(kClearRecentCaption).c_str());
}

void MainWindow::OpenRecent(std::size_t index) {
  const std::vector<std::string> files = recent_.Read();
  if (index >= files.size()) return;
  const std::string path = files[index];
  std::error_code error;
  if (!std::filesystem::exists(WideOf(path), error)) {
    // Gone since: it leaves the list, and the reading says why.
    KeepRecent(recent_.Remove(path));
  }
  LoadInput(path);
}

void MainWindow::KeepRecent(const IoStatus& status) {
  if (status.failed()) {
    Report(u"最近使ったファイルを残せませんでした: " + JapaneseReason(status.error()));
  }
}

void MainWindow::FillCellSizeMenu(HMENU menu) {
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
  int number = 0;
  for (const int size : OfferedCellSizes(settings_.picture.cellSize)) {
    const auto id = static_cast<UINT>(CellSizeCommand(size));
    AppendMenuW(menu, MF_STRING, id, Wide(CellSizeCaption(size, ++number)).c_str());
    if (size == settings_.picture.cellSize) {
      CheckMenuRadioItem(menu, id, id, id, MF_BYCOMMAND);
    }
  }
}

void MainWindow::OnInitMenu(HMENU menu) {
  if (menu == FindSubmenu(GetMenu(window_), Submenu::kRecent).menu) {
    FillRecentMenu(menu);
    return;
  }
  if (menu == FindSubmenu(GetMenu(window_), Submenu::kCellSizes).menu) {
    FillCellSizeMenu(menu);
    return;
  }
  CheckMenuItem(menu, static_cast<UINT>(Command::kVerticalGlyphs),
                MF_BYCOMMAND | (settings_.view.verticalGlyphs ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menu, static_cast<UINT>(Command::kImageGrid),
                MF_BYCOMMAND | (settings_.picture.grid ? MF_CHECKED : MF_UNCHECKED));
  // Only a text read from a file is read again; the tick names the
  // encoding it was read in.
  const SubmenuPlace reopen = FindSubmenu(GetMenu(window_), Submenu::kReopen);
  if (menu == reopen.parent) {
    EnableMenuItem(menu, reopen.position, MF_BYPOSITION | (path_.empty() ? MF_GRAYED : MF_ENABLED));
  }
  if (menu == reopen.menu) {
    for (const OfferedEncoding& offered : kReopenEncodings) {
      CheckMenuItem(menu, static_cast<UINT>(ReopenCommand(offered.encoding)),
                    MF_BYCOMMAND | (offered.encoding == encoding_ ? MF_CHECKED : MF_UNCHECKED));
    }
  }
}

void MainWindow::OpenFile() {
  const std::string path =
      asking_.openPath != nullptr ? asking_.openPath(window_) : ShowOpenDialog(window_);
  if (!path.empty()) LoadInput(path);
}

void MainWindow::ReplaceInput(const std::u16string& text) {
  replacing_ = true;
  // One edit that undo takes back; the change notice converts.
  SendMessageW(input_, EM_SETSEL, 0, -1);
  SendMessageW(input_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  SendMessageW(input_, EM_SETSEL, 0, 0);
  SendMessageW(input_, EM_SCROLLCARET, 0, 0);
  replacing_ = false;
}

void MainWindow::LoadInput(const std::string& path) {
  Load(path, std::nullopt);
}

void MainWindow::ReopenInput(TextEncoding encoding) {
  if (!path_.empty()) Load(std::string(path_), encoding);
}

void MainWindow::Load(const std::string& path, std::optional<TextEncoding> encoding) {
  const auto failed = [&](const IoError& error) { ShowError(NotOpenedText(Utf16Of(path), error)); };
  IoResult<UndecodedTextFile> file = UndecodedTextFile::Read(path, encoding);
  if (!file) {
    failed(file.error());
    return;
  }
  IoResult<DetectedText> read = std::move(file.value()).Decode();
  if (!read) {
    failed(read.error());
    return;
  }
  path_ = path;
  encoding_ = read.value().encoding;
  undetermined_ = read.value().undetermined;
  modified_ = false;
  ReplaceInput(read.value().text);
  ShowTitle();
  KeepDraft();
  Report({});
  KeepRecent(recent_.Add(path));
  // Bytes that became U+FFFD are said at once.
  if (const UndecodableBytes& lost = read.value().undecodable; lost.count != 0) {
    Report(UndecodableStatusLine(FileNameOf(path), lost, read.value().encoding));
  }
}

void MainWindow::LoadStartupFile(const std::vector<std::string>& arguments) {
  const StartupFileName file = ParseStartupFileName(arguments);
  switch (file.kind) {
    case StartupFileName::Kind::kNone:
      return;
    case StartupFileName::Kind::kUnclosedQuote:
      ShowError(UnclosedQuoteText(Utf16Of(arguments.front())));
      return;
    case StartupFileName::Kind::kName:
      LoadInput(file.name);
      return;
  }
}

void MainWindow::OnDropFiles(HDROP drop) {
  // The first file of the list; the others are left.
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    DragQueryFileW(drop, 0, name.data(), length + 1);
    name.resize(length);
    DragFinish(drop);
    LoadInput(Utf8Of(name));
    return;
  }
  DragFinish(drop);
}

bool MainWindow::Proceed(const std::u16string& question) {
  return asking_.proceed != nullptr ? asking_.proceed(window_, question)
                                    : AskToProceed(window_, question);
}

bool MainWindow::MayTakeAddedName(const std::string& chosen, const std::string& target) {
  // The dialog asked about the name chosen, not about the one with a suffix.
  std::error_code error;
  return target == chosen || !std::filesystem::exists(WideOf(target), error) ||
         Proceed(Utf16Of(target) + u" は既に存在します。\r\n置き換えますか?");
}

void MainWindow::SaveText(SavedText text, Charset offered, const FindLost& lost,
                          const WriteText& write) {
  const TextChoice choice = asking_.savePath != nullptr
                                ? asking_.savePath(window_, text, offered)
                                : ShowTextSaveDialog(window_, text, offered);
  if (choice.path.empty()) return;
  const Charset charset = choice.charset;
  if (const IoStatus status = RememberSaveCharset(settings_, charset); status.failed()) {
    ShowError(SettingsNotSavedText(Utf16Of(status.error().path), status.error()));
  }
  // UTF-8 holds every character the panes can show.
  const UnencodableReport unencodable =
      charset == Charset::Cp932 ? lost(charset) : UnencodableReport{};
  if (unencodable.count != 0 &&
      !Proceed(UnencodableQuestion(unencodable.count, Listed(unencodable.first)))) {
    Report(std::u16string(kNothingSaved));
    return;
  }
  const std::string target = WithTextExtension(choice.path);
  if (!MayTakeAddedName(choice.path, target)) {
    Report(std::u16string(kNothingSaved));
    return;
  }
  if (const IoStatus status = write(target, charset); status.failed()) {
    ShowError(NotSavedText(Utf16Of(target), status.error()));
    Report(std::u16string(kNothingSaved));
    return;
  }
  Report(TextSavedText(text == SavedText::kHorizontal, charset, Utf16Of(target)));
}

void MainWindow::SaveOutput() {
  Report({});
  ConvertIfStale();
  if (!outputTooLarge_.empty()) {
    ShowError(u"縦書きを保存できません。\r\n" + outputTooLarge_);
    return;
  }
  const VerticalLayout& layout = output_->layout();
  SaveText(
      SavedText::kVertical, settings_.saveEncoding,
      [&layout](Charset charset) {
        return FindUnencodableCells(layout, charset, kShownUnencodable);
      },
      [&layout](const std::string& target, Charset charset) -> IoStatus {
        const IoResult<std::size_t> written =
            WriteTextFilePieces(target, charset, LayoutTextProducer(layout));
        if (!written) return written.error();
        return std::nullopt;
      });
}

void MainWindow::SavePicture() {
  Report({});
  ConvertIfStale();
  if (!outputTooLarge_.empty()) {
    ShowError(u"画像として保存できません。\r\n" + outputTooLarge_);
    return;
  }
  const PictureChoice choice = asking_.picturePath != nullptr ? asking_.picturePath(window_)
                                                              : ShowPictureSaveDialog(window_);
  if (choice.path.empty()) return;
  const PictureName name = PictureNameOf(choice.path, choice.pdfSelected);
  if (!MayTakeAddedName(choice.path, name.path)) {
    Report(std::u16string(kNothingSaved));
    return;
  }
  const std::u16string input = WindowText(input_);
  const IoResult<std::string> drawn =
      name.pdf && settings_.page.enabled
          ? SavedPages(input, settings_)
          : SavedPicture(input, output_->layout(), settings_,
                         name.pdf ? PictureFormat::Pdf : PictureFormat::Png);
  IoStatus status = drawn ? ReplaceFileAtomically(name.path, drawn.value()) : drawn.error();
  if (status.failed()) {
    ShowError(NotSavedText(Utf16Of(name.path), status.error()));
    Report(std::u16string(kNothingSaved));
    return;
  }
  Report(PictureSavedText(Utf16Of(name.path), name.pdf));
}

void MainWindow::SaveEbook() {
  Report({});
  ConvertIfStale();
  if (!outputTooLarge_.empty()) {
    ShowError(EbookNotMadeText(outputTooLarge_));
    return;
  }
  const std::string chosen =
      asking_.ebookPath != nullptr ? asking_.ebookPath(window_) : ShowEbookSaveDialog(window_);
  if (chosen.empty()) return;
  const std::string target = WithEbookExtension(chosen);
  if (!MayTakeAddedName(chosen, target)) {
    Report(std::u16string(kNothingSaved));
    return;
  }
  // The book is titled by its file where its text names no title.
  const std::u16string title = Utf16(std::filesystem::path(WideOf(target)).stem().wstring());
  if (const IoStatus status = ReplaceFileAtomically(
          target, InputEpub(WindowText(input_), settings_.picture.notation, title));
      status.failed()) {
    ShowError(EbookNotSavedText(Utf16Of(target), status.error()));
    Report(std::u16string(kNothingSaved));
    return;
  }
  Report(EbookSavedText(Utf16Of(target)));
}

void MainWindow::SaveInput() {
  Report({});
  const std::u16string text = WindowText(input_);
  // The encoding the text was read in, where it can be written in it.
  const Charset offered = encoding_ == TextEncoding::Utf8    ? Charset::Utf8
                          : encoding_ == TextEncoding::Cp932 ? Charset::Cp932
                                                             : settings_.saveEncoding;
  SaveText(
      SavedText::kHorizontal, offered,
      [&text](Charset charset) { return FindUnencodable(text, charset, kShownUnencodable); },
      [this, &text](const std::string& target, Charset charset) -> IoStatus {
        if (const IoStatus status =
                ReplaceFileAtomically(target, EncodeTextFile(text, charset).bytes);
            status.failed()) {
          return status;
        }
        KeepRecent(recent_.Add(target));
        path_ = target;
        encoding_ = charset == Charset::Cp932 ? TextEncoding::Cp932 : TextEncoding::Utf8;
        undetermined_ = false;
        modified_ = false;
        ShowTitle();
        KeepDraft();
        return std::nullopt;
      });
}

void MainWindow::CopyVertical() {
  ConvertIfStale();
  const std::u16string& text = output_->Text();
  if (!OpenClipboard(window_)) return;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes); memory != nullptr) {
    auto* units = static_cast<char16_t*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), units);
    units[text.size()] = u'\0';
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
  }
  CloseClipboard();
}

void MainWindow::SaveSettingsPart(SettingsPart part) {
  if (const IoStatus status = SaveSettings(settings_, SettingsFile(settings_), part);
      status.failed()) {
    ShowError(SettingsNotSavedText(Utf16Of(status.error().path), status.error()));
  }
}

void MainWindow::EditSettings() {
  if (!RunSettingsDialog(window_, settings_)) return;
  SaveSettingsPart(SettingsPart::kDialog);
  // The new rules apply at once under every change; otherwise at the key.
  if (settings_.convertTrigger == ConvertTrigger::kEveryChange) {
    Convert();
  } else {
    ShowStale(true);
  }
}

void MainWindow::EditPageSetup() {
  if (!RunPageSetupDialog(window_, settings_)) return;
  SaveSettingsPart(SettingsPart::kPictureStyle);
  SaveSettingsPart(SettingsPart::kPageSetup);
}

void MainWindow::Zoom(int steps) {
  settings_.view.fontSize =
      steps == 0 ? kDefaultPaneFontSize : ZoomedFontSize(settings_.view.fontSize, steps);
  MakeFonts();
  SaveSettingsPart(SettingsPart::kView);
}

void MainWindow::ToggleVerticalGlyphs() {
  settings_.view.verticalGlyphs = !settings_.view.verticalGlyphs;
  output_->SetVerticalGlyphs(settings_.view.verticalGlyphs);
  SaveSettingsPart(SettingsPart::kView);
}

void MainWindow::OnDpiChanged(UINT /*dpi*/, const RECT& suggested) {
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  MakeFonts();
  LayOutPanes();
}

void MainWindow::KeepDraft() {
  KillTimer(window_, kDraftTimer);
  if (draftFile_.empty()) return;
  const std::u16string text = WindowText(input_);
  // A text its file holds, or nothing typed, needs no keeping.
  if (!modified_ || text.empty()) {
    std::error_code error;
    if (draftOwned_) std::filesystem::remove(WideOf(draftFile_), error);
    return;
  }
  const std::string folder =
      Utf8Of(std::filesystem::path(WideOf(draftFile_)).parent_path().wstring());
  if (const IoStatus made = MakeFolders(folder); made.failed()) {
    Report(u"入力を残せませんでした: " + JapaneseReason(made.error()));
    return;
  }
  if (const IoStatus kept =
          ReplaceFileAtomically(draftFile_, DraftBytes(Draft{text, path_, encoding_}));
      kept.failed()) {
    Report(u"入力を残せませんでした: " + JapaneseReason(kept.error()));
    return;
  }
  draftOwned_ = true;
}

void MainWindow::OfferKeptText() {
  if (draftFile_.empty()) return;
  IoResult<std::string> bytes = ReadFileBytes(draftFile_);
  if (!bytes) return;
  const std::optional<Draft> draft = ParseDraft(bytes.value());
  if (!draft) return;
  if (GetWindowTextLengthW(input_) != 0) {
    Report(u"前回保存されなかった入力が残っています。ファイルを指定せずに起動すると戻ります。");
    return;
  }
  draftOwned_ = true;
  path_ = draft->path;
  encoding_ = draft->encoding;
  ReplaceInput(draft->text);
  modified_ = true;
  ShowTitle();
  Report(u"前回保存されなかった入力を戻しました。元に戻す (Ctrl+Z) で消せます。");
}

void MainWindow::OnClose() {
  // Nothing typed is lost: what no file holds is on disk before the window
  // goes, for the next start to give back.
  KeepDraft();
  DestroyWindow(window_);
}

}  // namespace mirotabe::win32
