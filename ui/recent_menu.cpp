#include "ui/recent_menu.h"

#include <QAction>
#include <QMenu>

#include "ui/local_path.h"
#include "ui/window_state.h"

namespace mirotabe {

RecentMenu::RecentMenu(QObject* parent, WindowState& state) : QObject(parent), state_(state) {}

void RecentMenu::AddTo(QMenu* menu) {
  menu_ = menu->addMenu(QStringLiteral("最近使ったファイル(&R)"));
  menu_->setObjectName(QStringLiteral("Menu_File_Recent"));
  connect(menu_, &QMenu::aboutToShow, this, &RecentMenu::Fill);
  Fill();
}

void RecentMenu::Fill() {
  menu_->clear();
  const std::vector<std::string> files = state_.RecentFiles();
  int number = 0;
  for (const std::string& file : files) {
    ++number;
    // 1 to 9, then 0 for the tenth: a key for each.
    QString shown = ShownPath(file);
    shown.replace(QChar(u'&'), QStringLiteral("&&"));  // a name's & is no key
    QString text = QStringLiteral("&%1 %2").arg(number % 10).arg(shown);
    QAction* action = menu_->addAction(text);
    action->setObjectName(QStringLiteral("Menu_File_Recent_%1").arg(number));
    connect(action, &QAction::triggered, this, [this, file] { emit openRequested(file); });
  }
  if (files.empty()) {
    menu_->addAction(QStringLiteral("(なし)"))->setEnabled(false);
    return;
  }
  menu_->addSeparator();
  QAction* clear = menu_->addAction(QStringLiteral("履歴を消去(&C)"));
  clear->setObjectName(QStringLiteral("Menu_File_Recent_Clear"));
  connect(clear, &QAction::triggered, this, [this] { state_.ClearRecentFiles(); });
}

}  // namespace mirotabe
