// The commands that take the output elsewhere: "縦書きをコピー" puts the
// whole vertical text on the clipboard, and "画像として保存…" writes a
// picture of it, PNG or PDF by the file type chosen in the save dialog.
//
// The picture's options are two menu entries, the cell size and the
// manuscript-paper lines, shown checked and kept in the settings file the
// moment they change, where the converter finds them too.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "core/vertical_layout.h"

class QActionGroup;
class QMenu;
class QWidget;

namespace mirotabe {

class UiServices;

// What the output pane shows: its layout, or why none was built.
struct ShownOutput {
  const VerticalLayout* layout = nullptr;
  QString whyNone;
  // The input text, which PDF pages lay out again to their column length.
  std::u16string_view input;
};

// What the commands ask of the window.
struct ExportHooks {
  // The output, asked for just before a command uses it.
  std::function<ShownOutput()> shownOutput;
  // Where the save dialog starts.
  std::function<QString()> dialogFolder;
  // What a command did, for the status bar ("" when it starts).
  std::function<void(const QString&)> report;
  // A file was written (the system's bytes).
  std::function<void(const std::string&)> saved;
};

class ImageExport : public QObject {
  Q_OBJECT

 public:
  // The picture's style is `settings.picture`, which a change in the menu
  // updates and keeps in the settings file.
  ImageExport(QWidget* window, UiServices& services, AppSettings& settings, ExportHooks hooks);

  // Appends the commands and the picture's options to `menu`.
  void AddCommands(QMenu* menu);

 private:
  void CopyVertical();
  void SaveAsPicture();
  // A vertical e-book of the input, read in the notation the settings name.
  void SaveAsEbook();
  void SetCellSize(int size);
  void SetGrid(bool on);
  // ページ設定…: the pictures' cell size and glyph forms, and PDF pages.
  void EditPageSetup();

  // Writes the picture of what `shown` shows to `path`; the error, if any.
  // Ruby is set in a layout of its own, laid out again from the input.
  IoStatus WritePicture(const ShownOutput& shown, const QString& path, bool pdf) const;
  // Lays `input` out again for the pages of the settings and writes them to
  // `path` page by page; the error, if any.
  IoStatus WritePages(std::u16string_view input, const QString& path) const;
  // Keeps the picture's style in the settings file, or tells why it cannot.
  void KeepStyle();
  void ShowError(const QString& text);

  QWidget* window_;
  UiServices& services_;
  AppSettings& settings_;
  ExportHooks hooks_;
  QActionGroup* cellSizes_ = nullptr;
};

}  // namespace mirotabe
