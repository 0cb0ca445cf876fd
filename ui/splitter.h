// The strip between the panes. Pressing any mouse button on it and moving
// drags it; it reports the pointer's x in its own pixels and leaves the
// moving of the panes to the window. It takes the keyboard focus too (it
// stands between the panes in the tab order), shows it, and reports the
// Left and Right keys as steps.
#pragma once

#include <QWidget>

namespace mirotabe {

class Splitter : public QWidget {
  Q_OBJECT

 public:
  explicit Splitter(QWidget* parent = nullptr);

 signals:
  void dragStarted(qreal x);
  void dragMoved(qreal x);
  void dragEnded();
  // -1 for Left, +1 for Right.
  void stepped(int steps);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The window's client area: says when its size changes, so that the panes
// can be laid out again.
class ClientArea : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

 signals:
  void resized();

 protected:
  void resizeEvent(QResizeEvent*) override { emit resized(); }
};

}  // namespace mirotabe
