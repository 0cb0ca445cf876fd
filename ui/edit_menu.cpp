#include "ui/edit_menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>

#include "ui/input_pane.h"
#include "ui/output_pane.h"

namespace mirotabe {

EditMenu::EditMenu(QWidget* window, InputPane* input, OutputPane* output)
    : QObject(window), window_(window), input_(input), output_(output) {}

void EditMenu::AddCommands(QMenu* menu) {
  const auto add = [&](const char* name, const QString& text, const QList<QKeySequence>& keys,
                       auto onInput, auto onOutput) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, [this, onInput, onOutput] {
      if (OutputFocused()) {
        onOutput();
      } else {
        onInput();
      }
    });
    return action;
  };
  const auto nothing = [] {};
  undo_ = add(
      "Menu_Edit_Undo", QStringLiteral("元に戻す(&U)"), {QKeySequence::Undo},
      [this] { input_->undo(); }, nothing);
  // Ctrl+Y as well as the desktop's own key, as other editors take it.
  redo_ = add(
      "Menu_Edit_Redo", QStringLiteral("やり直し(&R)"),
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
      [this] { input_->redo(); }, nothing);
  menu->addSeparator();
  cut_ = add(
      "Menu_Edit_Cut", QStringLiteral("切り取り(&T)"), {QKeySequence::Cut},
      [this] { input_->cut(); }, nothing);
  copy_ = add(
      "Menu_Edit_Copy", QStringLiteral("コピー(&C)"), {QKeySequence::Copy},
      [this] { input_->copy(); }, [this] { output_->CopySelection(); });
  paste_ = add(
      "Menu_Edit_Paste", QStringLiteral("貼り付け(&P)"), {QKeySequence::Paste},
      [this] { input_->paste(); }, nothing);
  menu->addSeparator();
  selectAll_ = add(
      "Menu_Edit_SelectAll", QStringLiteral("すべて選択(&A)"), {QKeySequence::SelectAll},
      [this] { input_->selectAll(); }, [this] { output_->SelectAll(); });
  connect(menu, &QMenu::aboutToShow, this, &EditMenu::ShowWhatApplies);
  connect(menu, &QMenu::aboutToHide, this, &EditMenu::EnableAll);
}

bool EditMenu::OutputFocused() const {
  const QWidget* focused = window_->focusWidget();
  return focused != nullptr && (focused == output_ || output_->isAncestorOf(focused));
}

void EditMenu::ShowWhatApplies() {
  const bool output = OutputFocused();
  const QTextDocument* document = input_->document();
  const bool inputSelection = input_->textCursor().hasSelection();
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  undo_->setEnabled(!output && document->isUndoAvailable());
  redo_->setEnabled(!output && document->isRedoAvailable());
  cut_->setEnabled(!output && inputSelection);
  copy_->setEnabled(output ? output_->HasSelection() : inputSelection);
  paste_->setEnabled(!output && clipboard != nullptr && clipboard->hasText());
  selectAll_->setEnabled(output ? output_->layout().RowCount() != 0 : !document->isEmpty());
}

void EditMenu::EnableAll() {
  for (QAction* action : {undo_, redo_, cut_, copy_, paste_, selectAll_}) action->setEnabled(true);
}

}  // namespace mirotabe
