#include "ui/reopen_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "core/window_words.h"
#include "textio/encoding_names.h"

namespace mirotabe {

ReopenMenu::ReopenMenu(QObject* parent) : QObject(parent) {}

void ReopenMenu::AddTo(QMenu* menu) {
  menu_ = menu->addMenu(QString::fromStdU16String(std::u16string(kReopenMenuCaption)));
  menu_->setObjectName(QStringLiteral("Menu_File_Reopen"));
  menu_->setEnabled(false);
  auto* group = new QActionGroup(menu_);
  for (const OfferedEncoding& offered : kReopenEncodings) {
    const TextEncoding encoding = offered.encoding;
    const QString name = QString::fromLatin1(EncodingName(encoding));
    QAction* action = menu_->addAction(QString::fromStdU16String(OfferedEncodingCaption(offered)));
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
  for (std::size_t i = 0; i < kReopenEncodings.size(); ++i) {
    actions_[i]->setChecked(kReopenEncodings[i].encoding == encoding);
  }
}

}  // namespace mirotabe
