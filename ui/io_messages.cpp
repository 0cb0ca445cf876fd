#include "ui/io_messages.h"

#include "platform/io_reasons.h"
#include "ui/local_path.h"
#include "ui/pane_text.h"

namespace mirotabe {

QString ReasonText(const IoError& error) {
  return ToQString(JapaneseReason(error));
}

QString SettingsNotReadText(const IoError& error) {
  return QStringLiteral("設定を読み込めませんでした。既定の設定で続けます。\r\n%1\r\n%2")
      .arg(ShownPath(error.path), ReasonText(error));
}

QString SettingsNotSavedText(const IoError& error) {
  return QStringLiteral("設定を保存できませんでした。\r\n%1\r\n%2")
      .arg(ShownPath(error.path), ReasonText(error));
}

}  // namespace mirotabe
