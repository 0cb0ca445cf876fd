// The system's open and save dialogs for text files, modal to their owner,
// with the text filter selected and an empty name; and the message boxes.
#pragma once

#include <windows.h>

#include <string>

namespace mirotabe::win32 {

// The chosen file's full path as UTF-8, or "" on cancel. Both dialogs take
// only a folder that exists; the save dialog asks before an existing file
// is replaced.
std::string ShowOpenDialog(HWND owner);
std::string ShowSaveDialog(HWND owner);

// The save dialog of pictures: the path chosen ("" on cancel), and whether
// the PDF type was selected.
struct PictureChoice {
  std::string path;
  bool pdfSelected = false;
};
PictureChoice ShowPictureSaveDialog(HWND owner);

// A question with Yes and No; true for Yes.
bool AskToProceed(HWND owner, const std::u16string& question);
// A message with an OK button.
void ShowMessage(HWND owner, const std::u16string& message);

}  // namespace mirotabe::win32
