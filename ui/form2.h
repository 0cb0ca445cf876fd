// The settings dialog: the replacement table, the tab width, the
// conversion trigger and the layout options.
//
// The dialog edits a copy of the table and keeps the tab width, the
// trigger and the layout options in its controls; only OK stores them into
// the settings and writes the settings file, after asking about characters
// that the file cannot hold. Cancel and the close box drop every edit.
// Neither button is a default or cancel button: Esc does nothing, and Enter
// presses only the button that has the focus.
//
// Values the controls cannot show (a tab width above 8, a trigger above 2,
// an entry kind other than 0 and 1) are shown as well as they can be and
// kept as they are unless the user changes them.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "core/settings.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace mirotabe {

class LayoutBox;
class UiServices;

class Form2 : public QDialog {
  Q_OBJECT

 public:
  // Modal to `owner` when run with exec(), centred over it, with its icon.
  Form2(AppSettings& settings, UiServices& services, QWidget* owner);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void BuildLayoutBox();
  void Form_Load();

  void Command1_Click(int index);
  void Command2_Click(int index);
  void List1_Click();
  void Text1_Change(int index);
  void VScroll1_Change();
  void DeleteSwapEntry(int row);
  // Adds the entries of preset `index` that the table does not have yet.
  void AddPreset(int index);
  // Names the entries whose characters code page 932 cannot hold and asks
  // whether to save them with '?'; true when there are none or the user
  // goes ahead.
  bool ConfirmUnencodableEntries();

  // The kind the kind box shows; its items are in SwapKind's order.
  SwapKind ChosenKind() const;
  // The row of the selected entry, or -1 when no row is selected.
  int SelectedRow() const;
  void AppendRow(const SwapEntry& entry);
  // "追加" is refused once the table holds all the entries the file can.
  void UpdateAddButton();

  AppSettings& settings_;
  UiServices& services_;

  SwapTable workSwapTable_;
  // The width OK stores: the stored one until the spinner moves, so that a
  // width the spinner cannot show survives.
  std::uint8_t tabSpace_ = 0;

  QGroupBox* frame1_ = nullptr;
  QGroupBox* frame2_ = nullptr;
  QLabel* label1_ = nullptr;
  std::array<QLabel*, 6> label2_{};
  std::array<QWidget*, 2> line1_{};
  QListWidget* list1_ = nullptr;
  std::array<QLineEdit*, 2> text1_{};
  QLineEdit* text2_ = nullptr;
  QScrollBar* vScroll1_ = nullptr;
  QComboBox* combo1_ = nullptr;
  std::array<QPushButton*, 2> command1_{};
  std::array<QPushButton*, 2> command2_{};
  std::array<QRadioButton*, 3> option1_{};
  QButtonGroup* option1Group_ = nullptr;
  LayoutBox* layoutBox_ = nullptr;
};

}  // namespace mirotabe
