#include "ui/view_menu.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWheelEvent>

#include "ui/io_messages.h"
#include "ui/output_pane.h"
#include "ui/pane_font.h"
#include "ui/ui_services.h"

namespace mirotabe {
namespace {

constexpr int kWheelNotch = 120;

}  // namespace

ViewMenu::ViewMenu(QWidget* window, UiServices& services, AppSettings& settings,
                   QPlainTextEdit* input, OutputPane* output)
    : QObject(window),
      window_(window),
      services_(services),
      settings_(settings),
      input_(input),
      output_(output) {
  // The panes would scroll, or the text box zoom on its own, on Ctrl+wheel.
  input_->viewport()->installEventFilter(this);
  output_->viewport()->installEventFilter(this);
  Apply();
}

void ViewMenu::AddCommands(QMenu* menu) {
  auto* vertical = menu->addAction(QStringLiteral("縦組み表示(&T)"));
  vertical->setObjectName(QStringLiteral("Menu_View_Vertical"));
  vertical->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  vertical->setCheckable(true);
  vertical->setChecked(settings_.view.verticalGlyphs);
  connect(vertical, &QAction::toggled, this, &ViewMenu::SetVerticalGlyphs);
  menu->addSeparator();

  auto* zoomIn = menu->addAction(QStringLiteral("拡大(&I)"), this, [this] { Zoom(1); });
  zoomIn->setObjectName(QStringLiteral("Menu_View_ZoomIn"));
  // Ctrl+= too: on most keyboards plus is shifted equals.
  zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus),
                        QKeySequence(Qt::CTRL | Qt::Key_Equal),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)});
  auto* zoomOut = menu->addAction(QStringLiteral("縮小(&O)"), this, [this] { Zoom(-1); });
  zoomOut->setObjectName(QStringLiteral("Menu_View_ZoomOut"));
  zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  auto* reset = menu->addAction(QStringLiteral("元の大きさ(&R)"), this, &ViewMenu::ResetZoom);
  reset->setObjectName(QStringLiteral("Menu_View_ZoomReset"));
  reset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
}

void ViewMenu::Zoom(int steps) {
  SetFontSize(ZoomedFontSize(settings_.view.fontSize, steps));
}

void ViewMenu::ResetZoom() {
  SetFontSize(kDefaultPaneFontSize);
}

void ViewMenu::SetVerticalGlyphs(bool on) {
  if (on == settings_.view.verticalGlyphs) return;
  settings_.view.verticalGlyphs = on;
  Apply();
  Keep();
}

void ViewMenu::SetFontSize(int points) {
  if (points == settings_.view.fontSize) return;
  settings_.view.fontSize = points;
  Apply();
  Keep();
}

void ViewMenu::Apply() {
  const QFont font = PaneFont(settings_.view.fontSize);
  input_->setFont(font);
  output_->setFont(font);
  output_->SetVerticalGlyphs(settings_.view.verticalGlyphs);
}

void ViewMenu::Keep() {
  if (const IoStatus status = SaveSettings(settings_, SettingsFile(settings_), SettingsPart::kView);
      status.failed()) {
    services_.ShowMessage(window_, MessageIcon::Error, QStringLiteral("Mirotabe"),
                          SettingsNotSavedText(status.error()));
  }
}

bool ViewMenu::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
  const auto* wheel = static_cast<QWheelEvent*>(event);
  if (!wheel->modifiers().testFlag(Qt::ControlModifier)) return false;
  wheelRest_ += wheel->angleDelta().y();
  const int steps = wheelRest_ / kWheelNotch;
  wheelRest_ %= kWheelNotch;
  if (steps != 0) Zoom(steps);
  return true;
}

}  // namespace mirotabe
