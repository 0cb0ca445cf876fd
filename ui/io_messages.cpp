#include "ui/io_messages.h"

#include "ui/local_path.h"

namespace mirotabe {

QString ReasonText(const IoError& error) {
  if (error.code == MakeErrorCode(FileError::kTooLarge)) {
    return QStringLiteral("ファイルが大きすぎて読み込めません (%L1 バイト)。")
        .arg(static_cast<qulonglong>(error.size));
  }
  if (error.code == MakeErrorCode(FileError::kNotRegularFile)) {
    return QStringLiteral(
        "通常のファイルではありません (デバイスや FIFO は開くことも保存することもできません)。");
  }
  return QString::fromLocal8Bit(error.Reason());
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
