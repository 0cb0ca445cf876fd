#include "ui/reopen_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <array>

#include "textio/encoding_names.h"

namespace mirotabe {
namespace {

constexpr std::array<TextEncoding, 6> kOffered = {TextEncoding::Cp932,   TextEncoding::Utf8,
                                                  TextEncoding::EucJp,   TextEncoding::Iso2022Jp,
                                                  TextEncoding::Utf16Le, TextEncoding::Utf16Be};
// The key of each, a letter of its name.
constexpr std::array<char, 6> kKeys = {'S', 'U', 'E', 'J', 'L', 'B'};

}  // namespace

ReopenMenu::ReopenMenu(QObject* parent) : QObject(parent) {}

void ReopenMenu::AddTo(QMenu* menu) {
  menu_ = menu->addMenu(QStringLiteral("エンコーディングを指定して開き直す(&E)"));
  menu_->setObjectName(QStringLiteral("Menu_File_Reopen"));
  menu_->setEnabled(false);
  auto* group = new QActionGroup(menu_);
  for (std::size_t i = 0; i < kOffered.size(); ++i) {
    const TextEncoding encoding = kOffered[i];
    const QString name = QString::fromLatin1(EncodingName(encoding));
    QAction* action =
        menu_->addAction(name + QStringLiteral("(&") + QChar::fromLatin1(kKeys[i]) + QChar(u')'));
    action->setObjectName(QStringLiteral("Menu_File_Reopen_") + name);
    action->setCheckable(true);
    group->addAction(action);
    connect(action, &QAction::triggered, this,
            [this, encoding] { emit reopenRequested(encoding); });
    actions_.push_back(action);
  }
}

void ReopenMenu::ShowRead(std::optional<TextEncoding> encoding) {
  menu_->setEnabled(encoding.has_value());
  for (std::size_t i = 0; i < kOffered.size(); ++i) {
    actions_[i]->setChecked(kOffered[i] == encoding);
  }
}

}  // namespace mirotabe
