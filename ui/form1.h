// The main window: the input pane on the left, the vertical output pane on
// the right, and the splitter strip between them; the menus lead to the
// file commands, the conversions, the settings and the help.
//
// When the conversion runs depends on the settings' trigger, read at each
// event: 0 when Enter is released in the input pane, 1 when F1 is, 2 after
// every change of the input pane's text (typing, pasting, opening,
// dropping, the file of the command line).
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <string>
#include <vector>

#include "core/settings.h"
#include "ui/form_layout.h"

class QPlainTextEdit;
class QDropEvent;

namespace mirotabe {

class UiServices;

class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  Form1(AppSettings& settings, UiServices& services, QWidget* parent = nullptr);

  // Loads the file named by the command line's arguments (those after the
  // program's name, as the system's bytes) into the input pane. A name that
  // cannot be read is reported, and the input pane stays empty.
  void LoadStartupFile(const std::vector<std::string>& arguments);

  // Rebuilds the whole output pane from the input pane and the settings.
  void ConvertMirotabe();

  const FormGeometry& geometryInTwips() const { return geometry_; }

  // Outputs of more cells than this are not laid out (see BuildVerticalLayout).
  void SetMaxLayoutCells(std::size_t cells) { maxLayoutCells_ = cells; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildPanes();
  void BuildMenus();
  void BuildConvertMenu();

  void Form_Resize();
  void ApplyGeometry();
  void Text1_Change();
  void Text1_KeyUp(int keyCode);
  void Image1_MouseDown(float x);
  void Image1_MouseMove(float x);
  void Image1_MouseUp();
  bool Text1_OLEDragDrop(QDropEvent* event);

  void Menu_File_Open_Click();
  void Menu_File_Save_Click();
  void Menu_File_Exit_Click();
  // Reads the input pane as vertical text and puts the horizontal lines in
  // its place, as one edit that undo takes back.
  void Menu_Convert_Reverse_Click();
  void Menu_Setting_Click();
  void Menu_Help_Version_Click();
  void Menu_Help_HP_Click();

  // Reads the file named by the bytes `path` into the input pane, or tells
  // why it cannot.
  void LoadInput(const std::string& path);
  QString DialogFolder() const;
  void ShowError(const QString& text);

  AppSettings& settings_;
  UiServices& services_;

  QWidget* client_ = nullptr;
  QPlainTextEdit* text1_ = nullptr;
  QWidget* image1_ = nullptr;
  QPlainTextEdit* text2_ = nullptr;

  FormGeometry geometry_;
  SplitterDrag drag_;
  std::size_t maxLayoutCells_;
  // Set while the output pane shows why the layout was not built; the save
  // command then refuses with this reason.
  QString outputTooLarge_;
  // The file last opened or saved, where the dialogs may start.
  QString lastFile_;
};

}  // namespace mirotabe
