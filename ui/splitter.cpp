#include "ui/splitter.h"

#include <QMouseEvent>

namespace mirotabe {

Splitter::Splitter(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Image1"));
  setCursor(Qt::SizeHorCursor);
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
