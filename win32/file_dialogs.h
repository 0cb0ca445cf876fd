// The system's open and save dialogs for text files, modal to their owner,
// with the text filter selected and an empty name; and the message boxes.
#pragma once

#include <windows.h>

#include <string>

#include "platform/charset.h"
#include "textio/file_types.h"

namespace mirotabe::win32 {

// The chosen file's full path as UTF-8, or "" on cancel. Both dialogs take
// only a folder that exists; the save dialog asks before an existing file
// is replaced.
std::string ShowOpenDialog(HWND owner);

// The save dialog of text, with a type for each encoding and the type of
// `offered` selected: the path chosen ("" on cancel) and the encoding of
// the type selected.
struct TextChoice {
  std::string path;
  Charset charset = Charset::Cp932;
};
TextChoice ShowTextSaveDialog(HWND owner, SavedText text, Charset offered);

// The save dialog of pictures: the path chosen ("" on cancel), and whether
// the PDF type was selected.
struct PictureChoice {
  std::string path;
  bool pdfSelected = false;
};
PictureChoice ShowPictureSaveDialog(HWND owner);

// The save dialog of e-books: the path chosen, "" on cancel.
std::string ShowEbookSaveDialog(HWND owner);

// A question with Yes and No; true for Yes.
bool AskToProceed(HWND owner, const std::u16string& question);
// A message with an OK button.
void ShowMessage(HWND owner, const std::u16string& message);

}  // namespace mirotabe::win32
