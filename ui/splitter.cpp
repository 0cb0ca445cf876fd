#include "ui/splitter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mirotabe {

Splitter::Splitter(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Image1"));
  setCursor(Qt::SizeHorCursor);
  setFocusPolicy(Qt::TabFocus);
  setAccessibleName(QStringLiteral("区切り"));
  setAccessibleDescription(QStringLiteral("左右の矢印キーで入力と縦書きの幅を変えます。"));
}

void Splitter::paintEvent(QPaintEvent*) {
  // Transparent unless it has the focus, which it shows by its colour.
  if (!hasFocus()) return;
  QPainter(this).fillRect(rect(), palette().color(QPalette::Highlight));
}

void Splitter::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      emit stepped(-1);
      return;
    case Qt::Key_Right:
      emit stepped(1);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void Splitter::mousePressEvent(QMouseEvent* event) {
  emit dragStarted(event->position().x());
}

void Splitter::mouseMoveEvent(QMouseEvent* event) {
  emit dragMoved(event->position().x());
}

void Splitter::mouseReleaseEvent(QMouseEvent*) {
  emit dragEnded();
}

}  // namespace mirotabe
