#include "ui/io_messages.h"

#include "core/window_words.h"
#include "platform/io_reasons.h"
#include "ui/local_path.h"
#include "ui/pane_text.h"

namespace mirotabe {

QString ReasonText(const IoError& error) {
  return ToQString(JapaneseReason(error));
}

QString SettingsNotReadText(const IoError& error) {
  return ToQString(mirotabe::SettingsNotReadText(ShownPath(error.path).toStdU16String(), error));
}

QString SettingsNotSavedText(const IoError& error) {
  return ToQString(mirotabe::SettingsNotSavedText(ShownPath(error.path).toStdU16String(), error));
}

}  // namespace mirotabe
