#include "ui/help_menu.h"

#include <QAction>
#include <QMenu>
#include <filesystem>
#include <system_error>
#include <utility>

#include "ui/local_path.h"
#include "ui/ui_services.h"

namespace mirotabe {

HelpMenu::HelpMenu(QWidget* window, UiServices& services, const AppSettings& settings,
                   AuthorAddresses author)
    : QObject(window),
      window_(window),
      services_(services),
      settings_(settings),
      author_(std::move(author)) {}

void HelpMenu::AddCommands(QMenu* menu) {
  // No F1: releasing F1 in the input pane may be the conversion's trigger.
  menu->addAction(QStringLiteral("使い方(&U)"), this, &HelpMenu::OpenManual)
      ->setObjectName(QStringLiteral("Menu_Help_Usage"));
  menu->addSeparator();
  menu->addAction(QStringLiteral("バージョン情報(&A)"), this, &HelpMenu::ShowVersion)
      ->setObjectName(QStringLiteral("Menu_Help_Version"));
  if (!author_.homePage.isEmpty()) {
    menu->addAction(QStringLiteral("作者ＨＰ(&E)"), this, &HelpMenu::OpenHomePage)
        ->setObjectName(QStringLiteral("Menu_Help_HP"));
  }
}

void HelpMenu::OpenManual() {
  const std::string manual = ManualPath(settings_.appFolder);
  std::error_code error;
  if (std::filesystem::is_regular_file(manual, error)) {
    services_.OpenUrl(LocalFileUrl(manual));
    return;
  }
  services_.ShowMessage(
      window_, MessageIcon::Error, QStringLiteral("Mirotabe"),
      QStringLiteral("使い方のファイルが見つかりません。\r\n%1").arg(ShownPath(manual)));
}

void HelpMenu::ShowVersion() {
  services_.ShowAbout(window_, QStringLiteral("バージョン情報"), VersionText(author_),
                      AboutDetails());
}

void HelpMenu::OpenHomePage() {
  services_.OpenUrl(author_.homePage);
}

}  // namespace mirotabe
