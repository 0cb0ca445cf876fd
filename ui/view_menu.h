// The 表示 menu: 縦組み表示 (Ctrl+T), which sets the output pane's cells with the
// font's vertical forms, and the zoom of both panes (拡大 Ctrl+plus, 縮小
// Ctrl+minus, 元の大きさ Ctrl+0, and Ctrl with the mouse wheel over either
// pane). The choices are kept in the settings file the moment they change
// and applied when the window opens.
#pragma once

#include <QObject>

#include "core/settings.h"

class QMenu;
class QPlainTextEdit;
class QWidget;

namespace mirotabe {

class OutputPane;
class UiServices;

class ViewMenu : public QObject {
  Q_OBJECT

 public:
  ViewMenu(QWidget* window, UiServices& services, AppSettings& settings, QPlainTextEdit* input,
           OutputPane* output);

  // Appends the commands to `menu`.
  void AddCommands(QMenu* menu);

  // Zooms both panes by `steps` font sizes (negative: smaller).
  void Zoom(int steps);
  // Back to the panes' first size.
  void ResetZoom();
  void SetVerticalGlyphs(bool on);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetFontSize(int points);
  void Apply();
  void Keep();

  QWidget* window_;
  UiServices& services_;
  AppSettings& settings_;
  QPlainTextEdit* input_;
  OutputPane* output_;
  // Wheel angles below one notch, kept for the next event.
  int wheelRest_ = 0;
};

}  // namespace mirotabe
