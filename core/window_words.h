// What the windows of every platform say in their frames and status bars,
// said once: the title, the encoding read, an output older than its input,
// and the version box's lines.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "platform/io_error.h"

namespace mirotabe {

inline constexpr std::u16string_view kProgramName = u"Mirotabe";
// The name shown for a text that came from no file.
inline constexpr std::u16string_view kUntitledName = u"無題";

// The names that screen readers give the windows' panes and the settings
// dialog's controls that no caption of their own names.
inline constexpr std::u16string_view kInputPaneName = u"入力";
inline constexpr std::u16string_view kOutputPaneName = u"縦書き";
// Added to the output pane's name while it shows an output older than the
// input.
inline constexpr std::u16string_view kStaleNameMark = u"（古い表示）";
// The replacement list is named by the caption of the frame it stands in.
inline constexpr std::u16string_view kEntryListName = u"文字の置き換え";
inline constexpr std::u16string_view kFromBoxName = u"置き換える文字";
inline constexpr std::u16string_view kToBoxName = u"置き換え後の文字";
inline constexpr std::u16string_view kTabWidthName = u"タブ文字はスペース";

// The settings dialog's レイアウト box: the line-breaking rules' captions in
// Kinsoku's order, and what the column length shows for 0, each line kept
// whole.
inline constexpr std::array<std::u16string_view, 3> kKinsokuCaptions{u"なし", u"ぶら下げ",
                                                                     u"追い出し"};
inline constexpr std::u16string_view kWholeLinesCaption = u"なし";

// ページ設定: the command, its dialog's title, and its lists' captions: the
// faces in Typeface's order, and the pictures' ruby (unset, on, off).
inline constexpr std::u16string_view kPageSetupMenuCaption = u"ページ設定(&P)…";
inline constexpr std::u16string_view kPageSetupTitle = u"ページ設定";
inline constexpr std::array<std::u16string_view, 2> kTypefaceCaptions{u"明朝", u"ゴシック"};
inline constexpr std::array<std::u16string_view, 3> kRubyCaptions{u"PDF のページだけ",
                                                                  u"画像とページ", u"使わない"};
// What a page's characters per column and columns per page show for 0.
inline constexpr std::u16string_view kAsManyAsFitCaption = u"入るだけ";

// 変換's choices of the pictures' style: the cell sizes offered, their
// submenu, and the manuscript-paper lines.
inline constexpr std::u16string_view kCellSizeMenuCaption = u"画像の文字の大きさ(&Z)";
inline constexpr std::u16string_view kImageGridMenuCaption = u"原稿用紙の罫線(&G)";
inline constexpr std::array<int, 4> kOfferedCellSizes{16, 24, 32, 48};

// The sizes the submenu offers: kOfferedCellSizes, with `current` among them
// in order when it is none of them (a size the page setup or the file set).
std::vector<int> OfferedCellSizes(int current);
// "24 ピクセル(&2)": numbered from 1 for the keyboard, whatever the sizes are.
std::u16string CellSizeCaption(int size, int number);

// ファイル's submenu that reads the file again in an encoding the user names.
inline constexpr std::u16string_view kReopenMenuCaption = u"エンコーディングを指定して開き直す(&E)";

// "memo.txt — Mirotabe", with a leading '*' while the text differs from
// its file; `fileName` empty for none.
std::u16string WindowTitle(std::u16string_view fileName, bool modified);

// "文字コード: UTF-8", and that it was only a guess where it was.
std::u16string EncodingShownText(std::u16string_view encodingName, bool undetermined);

// The status bar's word that the output is older than the input, naming
// the key that converts under `trigger`.
std::u16string StaleText(ConvertTrigger trigger);

// "Mirotabe Ver." and `version`, "By Orubeni", then the home page and the
// e-mail address where they are not empty: lines joined by CR LF, with no
// break at the end.
std::u16string VersionText(std::u16string_view version, std::u16string_view homePage,
                           std::u16string_view email);

// The status bar's word that a text was saved at `shownPath` in `charset`:
// "UTF-8 で保存しました: …", and for the input as typed "横書きを …".
std::u16string TextSavedText(bool horizontal, Charset charset, std::u16string_view shownPath);

// The question before a save in Shift_JIS that turns `count` characters,
// the first of them `listed`, into "?".
std::u16string UnencodableQuestion(std::size_t count, std::u16string_view listed);

// The status bar's word that a picture was saved at `shownPath`, as a PDF
// or a PNG.
std::u16string PictureSavedText(std::u16string_view shownPath, bool pdf);

// 変換's command that saves the input as a vertical e-book, and what it
// says: that the output is too large for one (`why`), that the book was
// saved at `shownPath`, or that it could not be written there.
inline constexpr std::u16string_view kEbookMenuCaption = u"電子書籍 (EPUB) で保存(&E)…";
std::u16string EbookNotMadeText(std::u16string_view why);
std::u16string EbookSavedText(std::u16string_view shownPath);
std::u16string EbookNotSavedText(std::u16string_view shownPath, const IoError& error);

// The messages of a file that could not be read or written, naming it as
// `shownPath` and saying why in Japanese: a text file, the settings file.
std::u16string NotOpenedText(std::u16string_view shownPath, const IoError& error);
// The start-up file's name was only an opening double quote: `shownArgument`.
std::u16string UnclosedQuoteText(std::u16string_view shownArgument);
std::u16string NotSavedText(std::u16string_view shownPath, const IoError& error);
std::u16string SettingsNotReadText(std::u16string_view shownPath, const IoError& error);
std::u16string SettingsNotSavedText(std::u16string_view shownPath, const IoError& error);

}  // namespace mirotabe
