// The kinds of file the windows' open and save dialogs offer for text, and
// the name a save of text is given, said once for every window.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe {

// A filter of a file dialog: the name shown, and the names it lists.
struct FileType {
  std::u16string_view name;
  std::u16string_view pattern;
};

// Text files first, selected when a dialog opens; then every file.
inline constexpr std::array<FileType, 2> kTextFileTypes{{
    {u"テキスト(*.txt)", u"*.txt"},
    {u"全てのファイル(*.*)", u"*.*"},
}};

// Which text a save of text writes.
enum class SavedText {
  kVertical,    // 縦書きを保存: the output pane's layout
  kHorizontal,  // 横書きを保存: the input pane's text
};

// The types of the save dialogs of text, one for each encoding a text is
// saved in: Shift_JIS (code page 932) first, then UTF-8.
const std::array<FileType, 2>& SaveFileTypes(SavedText text);
// The place among them of the type that saves in `charset`, and back: any
// other place saves in Shift_JIS.
std::size_t SaveFileTypeIndex(Charset charset);
Charset SaveFileTypeCharset(std::size_t index);

// The pictures' kinds: PNG first, selected when a dialog opens; then PDF.
inline constexpr std::array<FileType, 2> kPictureFileTypes{{
    {u"PNG 画像(*.png)", u"*.png"},
    {u"PDF(*.pdf)", u"*.pdf"},
}};

// E-books.
inline constexpr FileType kEbookFileType{u"電子書籍 EPUB(*.epub)", u"*.epub"};

// `path` with ".epub" appended unless it ends so in any letter case.
std::string WithEbookExtension(const std::string& path);

// The name a picture is saved under, and whether it is a PDF: a name's own
// ".png" or ".pdf" (in any letter case) says the type; any other name takes
// the selected type's suffix (a.pdf stays a PDF, a.txt becomes a.txt.png).
struct PictureName {
  std::string path;
  bool pdf = false;
};
PictureName PictureNameOf(const std::string& chosen, bool pdfSelected);

// `path` (UTF-8 or the system's bytes) with ".txt" appended, unless its
// last four characters read ".TXT" in any letter case: memo → memo.txt,
// memo.TXT stays, a.tx → a.tx.txt. Whichever filter the dialog showed, a
// saved text is then found again by the text filter.
std::string WithTextExtension(const std::string& path);

}  // namespace mirotabe
