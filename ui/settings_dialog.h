// The settings dialog: the replacement table, the tab width, the
// conversion trigger and the layout options.
//
// The dialog edits a copy of the table and keeps the tab width, the
// trigger and the layout options in its controls; only OK stores them into
// the settings and writes the settings file. Cancel and the close box drop
// every edit.
// Neither button is a default or cancel button: Esc does nothing, and Enter
// presses only the button that has the focus.
//
// Values the controls cannot show (a tab width above 8, a trigger above 2,
// an entry kind other than 0 and 1) are shown as well as they can be and
// kept as they are unless the user changes them.
#pragma once

#include <QDialog>
#include <cstdint>

#include "core/settings.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace mirotabe {

class LayoutBox;
class UiServices;

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // Modal to `owner` when run with exec(), centred over it, with its icon.
  SettingsDialog(AppSettings& settings, UiServices& services, QWidget* owner);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Makes the controls, each with the object name that tools and
  // accessibility know it by ("Text1_0", "Command1_1", ...), and wires them
  // to the handlers.
  void BuildControls();
  // The replacement table's frame, with the tab width above the table.
  void BuildTableFrame();
  // The frame of the conversion triggers.
  void BuildTriggerFrame();
  void SetTabOrder();
  void BuildLayoutBox();
  // Shows the stored settings in the controls.
  void ShowSettings();

  // "追加": appends the entry in the boxes.
  void AddEntry();
  // "削除": removes the selected entry.
  void DeleteSelectedEntry();
  // A row was selected: its entry goes into the boxes.
  void PickEntry();
  // "OK": stores the edits into the settings and writes the settings file.
  void SaveAndClose();
  // "キャンセル": drops every edit.
  void CancelAndClose();
  // The From box keeps one full-width character, the To box what fits.
  void OnFromEdited();
  void OnToEdited();
  void OnTabWidthSpun();
  // Adds the entries of preset `index` that the table does not have yet.
  void AddPreset(int index);

  void RemoveEntry(int row);
  void ClearEntryBoxes();
  // The kind the kind box shows; its items are in SwapKind's order.
  SwapKind ChosenKind() const;
  // The row of the selected entry, or -1 when no row is selected.
  int SelectedRow() const;
  void AppendRow(const SwapEntry& entry);
  // "追加" is refused once the table holds all the entries the file can.
  void UpdateAddButton();

  AppSettings& settings_;
  UiServices& services_;

  SwapTable workingTable_;
  // The width OK stores: the stored one until the spinner moves, so that a
  // width the spinner cannot show survives.
  std::uint8_t tabSpace_ = 0;

  QListWidget* entryList_ = nullptr;
  QLineEdit* fromBox_ = nullptr;
  QLineEdit* toBox_ = nullptr;
  QComboBox* kindBox_ = nullptr;
  QPushButton* addButton_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QLineEdit* tabWidthBox_ = nullptr;
  QScrollBar* tabWidthSpinner_ = nullptr;
  // One button per trigger, its id the trigger's value.
  QButtonGroup* triggerButtons_ = nullptr;
  LayoutBox* layoutBox_ = nullptr;
};

}  // namespace mirotabe
