// The one question a save asks about the file it will write. The file
// dialogs ask nothing themselves: the name chosen in them may still take a
// suffix, and the user is asked about the file that is really written.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace mirotabe {

class UiServices;

// Whether a save may write `target` (the system's bytes): when a file is
// there the user is asked, in the words every save of the window uses;
// otherwise yes.
bool MayWrite(UiServices& services, QWidget* owner, const std::string& target);

// The title of the save questions and of their dialogs.
inline const QString& SaveTitle() {
  static const QString title = QStringLiteral("ファイルの保存");
  return title;
}

}  // namespace mirotabe
