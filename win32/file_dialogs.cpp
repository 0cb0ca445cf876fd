#include "win32/file_dialogs.h"

#include <array>
#include <utility>
#include <vector>

#include "core/window_words.h"
#include "platform/windows_text.h"
#include "textio/file_types.h"
#include "win32/window_text.h"

namespace mirotabe::win32 {
namespace {

// The filters as the dialogs take them: name and pattern, each ended by a
// NUL, and one NUL more at the end.
template <std::size_t N>
std::wstring FilterList(const std::array<FileType, N>& types) {
  std::wstring list;
  for (const FileType& type : types) {
    list += Wide(type.name);
    list += L'\0';
    list += Wide(type.pattern);
    list += L'\0';
  }
  return list;
}

// The path chosen, and the filter selected (from 1).
std::pair<std::string, DWORD> Ask(HWND owner, const wchar_t* title, DWORD flags,
                                  BOOL(WINAPI* show)(LPOPENFILENAMEW), const std::wstring& filters,
                                  DWORD selected = 1) {
  // Long paths too: the buffer is far beyond MAX_PATH.
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = selected;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = title;
  dialog.Flags = flags | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!show(&dialog)) return {};
  return {Utf8Of(file.data()), dialog.nFilterIndex};
}

}  // namespace

std::string ShowOpenDialog(HWND owner) {
  return Ask(owner, L"ファイルを開く", OFN_FILEMUSTEXIST, &GetOpenFileNameW,
             FilterList(kTextFileTypes))
      .first;
}

TextChoice ShowTextSaveDialog(HWND owner, SavedText text, Charset offered) {
  // A new name is taken: the save makes its file.
  const auto [path, filter] =
      Ask(owner, L"ファイルの保存", OFN_OVERWRITEPROMPT, &GetSaveFileNameW,
          FilterList(SaveFileTypes(text)), static_cast<DWORD>(SaveFileTypeIndex(offered) + 1));
  return {path, SaveFileTypeCharset(filter - 1)};
}

PictureChoice ShowPictureSaveDialog(HWND owner) {
  const auto [path, filter] = Ask(owner, L"画像として保存", OFN_OVERWRITEPROMPT, &GetSaveFileNameW,
                                  FilterList(kPictureFileTypes));
  return {path, filter == 2};
}

std::string ShowEbookSaveDialog(HWND owner) {
  return Ask(owner, L"電子書籍 (EPUB) で保存", OFN_OVERWRITEPROMPT, &GetSaveFileNameW,
             FilterList(std::array{kEbookFileType}))
      .first;
}

bool AskToProceed(HWND owner, const std::u16string& question) {
  return MessageBoxW(owner, Wide(question).c_str(), Wide(kProgramName).c_str(),
                     MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowMessage(HWND owner, const std::u16string& message) {
  MessageBoxW(owner, Wide(message).c_str(), Wide(kProgramName).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace mirotabe::win32
