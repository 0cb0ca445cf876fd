// The ヘルプ menu: 使い方 opens the manual in the browser, バージョン情報
// shows the version box, and 作者ＨＰ opens the author's home page. A build
// that names no home page has no 作者ＨＰ: there is nothing to open.
#pragma once

#include <QObject>

#include "core/settings.h"
#include "ui/about.h"

class QMenu;
class QWidget;

namespace mirotabe {

class UiServices;

class HelpMenu : public QObject {
  Q_OBJECT

 public:
  // The manual is looked for beside the program in `settings`' folder.
  HelpMenu(QWidget* window, UiServices& services, const AppSettings& settings,
           AuthorAddresses author = ConfiguredAuthorAddresses());

  // Appends the commands to `menu`.
  void AddCommands(QMenu* menu);

 private:
  // Opens the manual, or says where it should have been.
  void OpenManual();
  void ShowVersion();
  void OpenHomePage();

  QWidget* window_;
  UiServices& services_;
  const AppSettings& settings_;
  AuthorAddresses author_;
};

}  // namespace mirotabe
