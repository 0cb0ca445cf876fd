#include "core/window_words.h"

#include <algorithm>

#include "core/decimal_text.h"
#include "platform/io_reasons.h"

namespace mirotabe {

std::vector<int> OfferedCellSizes(int current) {
  std::vector<int> offered(kOfferedCellSizes.begin(), kOfferedCellSizes.end());
  if (std::find(offered.begin(), offered.end(), current) == offered.end()) {
    offered.insert(std::upper_bound(offered.begin(), offered.end(), current), current);
  }
  return offered;
}

std::u16string CellSizeCaption(int size, int number) {
  return DecimalText(size) + u" ピクセル(&" + DecimalText(number) + u")";
}

std::u16string WindowTitle(std::u16string_view fileName, bool modified) {
  std::u16string title = modified ? u"*" : u"";
  title += fileName.empty() ? kUntitledName : fileName;
  title += u" — ";
  return title += kProgramName;
}

std::u16string EncodingShownText(std::u16string_view encodingName, bool undetermined) {
  std::u16string shown = u"文字コード: ";
  shown += encodingName;
  if (undetermined) shown += u" (判別できませんでした)";
  return shown;
}

std::u16string StaleText(ConvertTrigger trigger) {
  switch (trigger) {
    case ConvertTrigger::kEnterKey:
      return u"縦書きは古いままです (Enter キーで変換)";
    case ConvertTrigger::kF1Key:
      return u"縦書きは古いままです (F1 キーで変換)";
    default:
      return u"縦書きは古いままです";
  }
}

std::u16string TextSavedText(bool horizontal, Charset charset, std::u16string_view shownPath) {
  std::u16string text = horizontal ? u"横書きを " : u"";
  text += charset == Charset::Cp932 ? u"Shift_JIS" : u"UTF-8";
  return text + u" で保存しました: " + std::u16string(shownPath);
}

std::u16string UnencodableQuestion(std::size_t count, std::u16string_view listed) {
  const std::string digits = std::to_string(count);
  return std::u16string(digits.begin(), digits.end()) +
         u" 文字は Shift_JIS で保存できないため「?」になります: " + std::u16string(listed) +
         u"\r\nこのまま保存しますか?";
}

std::u16string PictureSavedText(std::u16string_view shownPath, bool pdf) {
  return (pdf ? u"PDF で保存しました: " : u"PNG 画像で保存しました: ") + std::u16string(shownPath);
}

std::u16string VersionText(std::u16string_view version, std::u16string_view homePage,
                           std::u16string_view email) {
  std::u16string text = std::u16string(kProgramName) + u" Ver." + std::u16string(version);
  text += u"\r\nBy Orubeni";
  for (const std::u16string_view address : {homePage, email}) {
    if (!address.empty()) (text += u"\r\n") += address;
  }
  return text;
}

namespace {

std::u16string Failure(std::u16string_view what, std::u16string_view shownPath,
                       const IoError& error) {
  std::u16string text(what);
  ((text += u"\r\n") += shownPath) += u"\r\n";
  return text += JapaneseReason(error);
}

}  // namespace

std::u16string NotOpenedText(std::u16string_view shownPath, const IoError& error) {
  return Failure(u"ファイルを開けませんでした。", shownPath, error);
}

std::u16string UnclosedQuoteText(std::u16string_view shownArgument) {
  return u"ファイルを開けませんでした。\r\n" + std::u16string(shownArgument) +
         u"\r\nファイル名が二重引用符だけで、名前がありません。";
}

std::u16string NotSavedText(std::u16string_view shownPath, const IoError& error) {
  return Failure(u"ファイルを保存できませんでした。", shownPath, error);
}

std::u16string EbookNotMadeText(std::u16string_view why) {
  return u"電子書籍として保存できません。\r\n" + std::u16string(why);
}

std::u16string EbookSavedText(std::u16string_view shownPath) {
  return u"電子書籍で保存しました: " + std::u16string(shownPath);
}

std::u16string EbookNotSavedText(std::u16string_view shownPath, const IoError& error) {
  return Failure(u"電子書籍を保存できませんでした。", shownPath, error);
}

std::u16string SettingsNotReadText(std::u16string_view shownPath, const IoError& error) {
  return Failure(u"設定を読み込めませんでした。既定の設定で続けます。", shownPath, error);
}

std::u16string SettingsNotSavedText(std::u16string_view shownPath, const IoError& error) {
  return Failure(u"設定を保存できませんでした。", shownPath, error);
}

}  // namespace mirotabe
