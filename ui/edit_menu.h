// The 編集 menu: undo, redo, cut, copy, paste and select all, for the pane
// that has the focus, or the input pane while neither has it. The output
// pane is read-only: there only copy and select all do anything.
//
// The commands are enabled for what the focused pane can do while the menu
// is open, and all of them otherwise, so that their shortcuts always reach
// the pane (a command with nothing to do does nothing).
#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace mirotabe {

class InputPane;
class OutputPane;

class EditMenu : public QObject {
  Q_OBJECT

 public:
  EditMenu(QWidget* window, InputPane* input, OutputPane* output);

  // Appends the commands to `menu`.
  void AddCommands(QMenu* menu);

 private:
  bool OutputFocused() const;
  void ShowWhatApplies();
  void EnableAll();

  QWidget* window_;
  InputPane* input_;
  OutputPane* output_;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  QAction* selectAll_ = nullptr;
};

}  // namespace mirotabe
