#include "ui/recent_menu.h"

#include <QAction>
#include <QMenu>

#include "core/recent_files.h"
#include "ui/local_path.h"
#include "ui/window_state.h"

namespace mirotabe {

RecentMenu::RecentMenu(QObject* parent, WindowState& state) : QObject(parent), state_(state) {}

void RecentMenu::AddTo(QMenu* menu) {
  menu_ = menu->addMenu(QString::fromStdU16String(std::u16string(kRecentMenuCaption)));
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
    QAction* action = menu_->addAction(QString::fromStdU16String(
        RecentFileCaption(static_cast<std::size_t>(number), ShownPath(file).toStdU16String())));
    action->setObjectName(QStringLiteral("Menu_File_Recent_%1").arg(number));
    connect(action, &QAction::triggered, this, [this, file] { emit openRequested(file); });
  }
  if (files.empty()) {
    menu_->addAction(QString::fromStdU16String(std::u16string(kNoRecentFilesCaption)))
        ->setEnabled(false);
    return;
  }
  menu_->addSeparator();
  QAction* clear = menu_->addAction(QString::fromStdU16String(std::u16string(kClearRecentCaption)));
  clear->setObjectName(QStringLiteral("Menu_File_Recent_Clear"));
  connect(clear, &QAction::triggered, this, [this] { state_.ClearRecentFiles(); });
}

}  // namespace mirotabe
