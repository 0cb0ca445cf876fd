#include "ui/output_pane_accessible.h"

#include <QAccessibleWidget>

#include "ui/output_pane.h"

namespace mirotabe {
namespace {

class OutputPaneAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit OutputPaneAccessible(OutputPane* pane)
      : QAccessibleWidget(pane, QAccessible::EditableText) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.editable = false;
    state.multiLine = true;
    state.selectableText = true;
    state.focusable = true;
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // The widget's own text(QAccessible::Text), its name and description,
  // stays beside the text interface's text(start, end).
  using QAccessibleWidget::text;

  // ---- QAccessibleTextInterface ----
  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index != 0 || !Pane()->HasSelection()) return;
    *start = Offset(std::min(Pane()->anchor(), Pane()->caret()));
    *end = Offset(std::max(Pane()->anchor(), Pane()->caret()));
  }
  int selectionCount() const override { return Pane()->HasSelection() ? 1 : 0; }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int index) override {
    if (index == 0) Pane()->SetSelection(Pane()->caret(), Pane()->caret());
  }
  void setSelection(int index, int start, int end) override {
    if (index == 0) Pane()->SetSelection(Pane()->PositionAt(start), Pane()->PositionAt(end));
  }
  int cursorPosition() const override { return Offset(Pane()->caret()); }
  void setCursorPosition(int position) override {
    const OutputPane::Position at = Pane()->PositionAt(position);
    Pane()->SetSelection(at, at);
  }
  QString text(int startOffset, int endOffset) const override {
    return Pane()->Text(Pane()->PositionAt(startOffset), Pane()->PositionAt(endOffset));
  }
  int characterCount() const override { return static_cast<int>(Pane()->TextLength()); }
  QRect characterRect(int offset) const override {
    const QRect cell = Pane()->CellRect(Pane()->PositionAt(offset));
    return QRect(Pane()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    return Offset(Pane()->CellAt(Pane()->viewport()->mapFromGlobal(point)));
  }
  void scrollToSubstring(int startIndex, int) override {
    Pane()->ScrollTo(Pane()->PositionAt(startIndex));
  }
  QString attributes(int offset, int* startOffset, int* endOffset) const override {
    *startOffset = 0;
    *endOffset = characterCount();
    (void)offset;
    return {};
  }

 private:
  OutputPane* Pane() const { return static_cast<OutputPane*>(widget()); }
  int Offset(OutputPane::Position position) const {
    return static_cast<int>(Pane()->OffsetOf(position));
  }
};

QAccessibleInterface* Describe(const QString& className, QObject* object) {
  auto* pane = qobject_cast<OutputPane*>(object);
  if (pane == nullptr || className != QLatin1String(OutputPane::staticMetaObject.className())) {
    return nullptr;
  }
  return new OutputPaneAccessible(pane);
}

}  // namespace

void InstallOutputPaneAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&Describe);
    return true;
  }();
  (void)installed;
}

}  // namespace mirotabe
