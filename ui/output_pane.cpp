#include "ui/output_pane.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>
#include <algorithm>
#include <string>
#include <utility>

#include "core/code_points.h"
#include "core/glyph_form.h"
#include "core/window_words.h"
#include "ui/layout_mime_data.h"
#include "ui/output_pane_accessible.h"
#include "ui/pane_font.h"

namespace mirotabe {
namespace {

// The space between the frame and the first cell, as a text box leaves it.
constexpr int kMargin = 4;
constexpr int kWheelStep = 120;

QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Floor division, for places left of or above the first cell.
long long FloorDiv(long long a, long long b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

OutputPane::OutputPane(QWidget* parent) : QAbstractScrollArea(parent) {
  InstallOutputPaneAccessibility();
  setFont(PaneFont());
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  UpdateMetrics();
}

// ---- What is shown ----

void OutputPane::SetLayout(VerticalLayout layout) {
  // A clipboard may still hold the layout shown before.
  // The caret keeps its column counted from the right, where the first
  // line stands: a line added or taken away at the end moves no other.
  const std::size_t fromRight =
      takenCaretFromRight_.value_or(Rows() == 0 ? 0 : Columns() - 1 - caret_.column);
  takenCaretFromRight_.reset();
  if (layout_.use_count() > 1) {
    layout_ = std::make_shared<VerticalLayout>(std::move(layout));
  } else {
    *layout_ = std::move(layout);
  }
  columnStarts_.clear();
  if (mark_) viewport()->update(CellRect({mark_->row, mark_->column}));
  mark_.reset();
  const bool hadSelection = HasSelection();
  if (Rows() != 0) caret_.column = Columns() - 1 - std::min(fromRight, Columns() - 1);
  caret_ = Clamped(caret_);
  anchor_ = caret_;
  UpdateScrollBars();
  // Where the layout says which columns changed, only they are painted
  // again: at a keystroke, the column of the line typed in.
  const VerticalLayout::Change& change = layout_->LastChange();
  if (change.whole || hadSelection || !message_.isEmpty()) {
    viewport()->update();
  } else {
    const QRect first = CellRect({0, change.firstColumn});
    viewport()->update(QRect(first.x() - 1, 0, static_cast<int>(change.columns) * cellWidth_ + 2,
                             viewport()->height()));
    viewport()->update(CellRect(caret_).adjusted(-1, 0, 1, 0));
  }
  NotifyTextUpdated();
}

void OutputPane::NotifyTextUpdated() {
  // The whole text is built only for a listening assistive technology.
  if (!QAccessible::isActive()) {
    announcedText_.clear();
    return;
  }
  QString text = Text(Start(), End());
  QAccessibleTextUpdateEvent updated(this, 0, announcedText_, text);
  QAccessible::updateAccessibility(&updated);
  announcedText_ = std::move(text);
}

VerticalLayout OutputPane::TakeLayout() {
  // The caret and the selection are kept for the layout that follows.
  columnStarts_.clear();
  if (Rows() != 0) takenCaretFromRight_ = Columns() - 1 - caret_.column;
  // What a clipboard holds stays as it was copied.
  if (layout_.use_count() > 1) {
    VerticalLayout copy = *layout_;
    layout_ = std::make_shared<VerticalLayout>();
    return copy;
  }
  return std::exchange(*layout_, VerticalLayout{});
}

void OutputPane::SetVerticalGlyphs(bool on) {
  if (on == verticalGlyphs_) return;
  verticalGlyphs_ = on;
  viewport()->update();
}

void OutputPane::SetStale(bool stale) {
  if (stale == stale_) return;
  stale_ = stale;
  const QString older = ToQString(kStaleNameMark);
  QString name = accessibleName();
  if (stale) {
    name += older;
  } else if (name.endsWith(older)) {
    name.chop(older.size());
  }
  setAccessibleName(name);
  viewport()->update();
}

void OutputPane::SetMessage(const QString& message) {
  // The window clears the message at every conversion: painting the whole
  // pane for it would undo the painting of only the changed columns.
  if (message == message_) return;
  message_ = message;
  viewport()->update();
}

void OutputPane::MarkCell(std::optional<CellPosition> cell) {
  if (cell && (cell->row >= Rows() || cell->column >= Columns())) cell.reset();
  if (cell) EnsureVisible(cell->row, cell->column);
  if (cell != mark_) {
    if (mark_) viewport()->update(CellRect({mark_->row, mark_->column}));
    mark_ = cell;
    if (mark_) viewport()->update(CellRect({mark_->row, mark_->column}));
  }
}

std::size_t OutputPane::FirstVisibleRow() const {
  return static_cast<std::size_t>(verticalScrollBar()->value());
}

long long OutputPane::ScrolledX() const {
  const long long width = 2LL * kMargin + static_cast<long long>(Columns()) * cellWidth_;
  return horizontalScrollBar()->value() - std::max(0LL, viewport()->width() - width);
}

std::size_t OutputPane::FirstVisibleColumn() const {
  const long long left = ScrolledX() - kMargin;
  return left <= 0 ? 0 : static_cast<std::size_t>((left + cellWidth_ - 1) / cellWidth_);
}

std::size_t OutputPane::VisibleRows() const {
  return static_cast<std::size_t>(std::max(1, (viewport()->height() - kMargin) / cellHeight_));
}

std::size_t OutputPane::VisibleColumns() const {
  const long long right = ScrolledX() + viewport()->width() - kMargin;
  const long long last = FloorDiv(right, cellWidth_) - 1;
  return static_cast<std::size_t>(
      std::max(1LL, last - static_cast<long long>(FirstVisibleColumn()) + 1));
}

void OutputPane::UpdateMetrics() {
  const QFontMetrics metrics(font());
  cellWidth_ = std::max(1, metrics.horizontalAdvance(QChar(kBlankCell)));
  cellHeight_ = std::max(1, metrics.lineSpacing());
  cells_.reset();
  UpdateScrollBars();
}

void OutputPane::UpdateScrollBars() {
  const auto rows = static_cast<long long>(Rows());
  const auto visible = static_cast<long long>(VisibleRows());
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(std::max(0LL, rows - visible)));
  vertical->setPageStep(static_cast<int>(visible));
  vertical->setSingleStep(1);

  const long long width = 2LL * kMargin + static_cast<long long>(Columns()) * cellWidth_;
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, static_cast<int>(std::max(0LL, width - viewport()->width())));
  horizontal->setPageStep(viewport()->width());
  horizontal->setSingleStep(cellWidth_);
}

QRect OutputPane::CellRect(Position position) const {
  const long long x = kMargin + static_cast<long long>(position.column) * cellWidth_ - ScrolledX();
  const long long y =
      kMargin + (static_cast<long long>(position.row) - verticalScrollBar()->value()) * cellHeight_;
  return QRect(static_cast<int>(x), static_cast<int>(y), cellWidth_, cellHeight_);
}

OutputPane::Position OutputPane::PositionNear(QPoint point) const {
  if (Rows() == 0) return {};
  Position near = CellAt(point);
  // Below the middle of a cell is the place after it.
  const long long y = point.y() - kMargin;
  const long long row =
      verticalScrollBar()->value() + FloorDiv(2 * y + cellHeight_, 2LL * cellHeight_);
  near.row =
      static_cast<std::size_t>(std::clamp<long long>(row, 0, static_cast<long long>(Rows())));
  return near;
}

OutputPane::Position OutputPane::CellAt(QPoint point) const {
  if (Rows() == 0) return {};
  const long long row = verticalScrollBar()->value() + FloorDiv(point.y() - kMargin, cellHeight_);
  const long long x = point.x() + ScrolledX() - kMargin;
  const long long column = FloorDiv(x, cellWidth_);
  return {
      static_cast<std::size_t>(std::clamp<long long>(row, 0, static_cast<long long>(Rows()) - 1)),
      static_cast<std::size_t>(
          std::clamp<long long>(column, 0, static_cast<long long>(Columns()) - 1))};
}

void OutputPane::ScrollTo(Position position) {
  position = Clamped(position);
  if (Rows() != 0) EnsureVisible(std::min(position.row, Rows() - 1), position.column);
}

void OutputPane::EnsureVisible(std::size_t row, std::size_t column) {
  QScrollBar* vertical = verticalScrollBar();
  const auto first = static_cast<std::size_t>(vertical->value());
  if (row < first) {
    vertical->setValue(static_cast<int>(row));
  } else if (row >= first + VisibleRows()) {
    vertical->setValue(static_cast<int>(row - VisibleRows() + 1));
  }

  QScrollBar* horizontal = horizontalScrollBar();
  const long long left = static_cast<long long>(column) * cellWidth_;
  const long long right = left + cellWidth_ + 2LL * kMargin;
  if (left < horizontal->value()) {
    horizontal->setValue(static_cast<int>(left));
  } else if (right > horizontal->value() + viewport()->width()) {
    horizontal->setValue(static_cast<int>(right - viewport()->width()));
  }
}

// ---- Painting ----

void OutputPane::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  if (Rows() == 0) {
    if (!message_.isEmpty()) {
      painter.setPen(palette().color(QPalette::PlaceholderText));
      painter.drawText(viewport()->rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, message_);
    }
  } else {
    PaintCells(painter, event->rect());
    if (caretShown_ && hasFocus()) {
      const QRect cell = CellRect(caret_);
      // Across the column, above the cell it stands before.
      painter.fillRect(QRect(cell.x(), cell.y(), cellWidth_, 1), palette().color(QPalette::Text));
    }
  }

  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = viewport()->rect();
    option.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

void OutputPane::PaintCells(QPainter& painter, const QRect& area) const {
  const long long firstRow = verticalScrollBar()->value();
  const long long scrolledX = ScrolledX();
  const long long rowFrom = firstRow + std::max(0LL, FloorDiv(area.top() - kMargin, cellHeight_));
  const long long rowTo = std::min(static_cast<long long>(Rows()) - 1,
                                   firstRow + FloorDiv(area.bottom() - kMargin, cellHeight_));
  const long long columnFrom =
      std::max(0LL, FloorDiv(area.left() + scrolledX - kMargin, cellWidth_));
  const long long columnTo = std::min(static_cast<long long>(Columns()) - 1,
                                      FloorDiv(area.right() + scrolledX - kMargin, cellWidth_));

  const Position selectionStart = std::min(caret_, anchor_);
  const Position selectionEnd = std::max(caret_, anchor_);
  const QColor text = palette().color(stale_ ? QPalette::PlaceholderText : QPalette::Text);
  const QColor selectedText = palette().color(QPalette::HighlightedText);
  const QColor selection = palette().color(QPalette::Highlight);
  QColor markColour = selection;
  markColour.setAlpha(64);
  painter.setPen(text);
  bool penSelected = false;
  if (!cells_) {
    cells_ = std::make_unique<CellPainter>(font(), CellBox{cellWidth_, cellHeight_});
  }

  for (long long row = rowFrom; row <= rowTo; ++row) {
    for (long long column = columnFrom; column <= columnTo; ++column) {
      const Position at{static_cast<std::size_t>(row), static_cast<std::size_t>(column)};
      const QRect cell = CellRect(at);
      const bool selected = at >= selectionStart && at < selectionEnd;
      if (selected) {
        painter.fillRect(cell, selection);
      } else if (mark_ && mark_->row == at.row && mark_->column == at.column) {
        painter.fillRect(cell, markColour);
      }
      const LayoutCell units = layout_->CellAt(at.row, at.column);
      if (units.text.size() == 1 && units.text[0] == kBlankCell) continue;
      if (selected != penSelected) {
        cells_->Flush(painter);
        painter.setPen(selected ? selectedText : text);
        penSelected = selected;
      }
      cells_->Place(painter, units.text,
                    OrientationOfCell(units.text, verticalGlyphs_, units.fromEntry),
                    cell.topLeft());
    }
  }
  cells_->Flush(painter);
}

void OutputPane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void OutputPane::scrollContentsBy(int, int) {
  viewport()->update();
}

void OutputPane::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateMetrics();
}

// ---- Caret and selection ----

OutputPane::Position OutputPane::Start() const {
  return Rows() == 0 ? Position{} : Position{0, Columns() - 1};
}

OutputPane::Position OutputPane::End() const {
  return Rows() == 0 ? Position{} : Position{Rows(), 0};
}

OutputPane::Position OutputPane::Clamped(Position position) const {
  if (Rows() == 0) return {};
  return {std::min(position.row, Rows()), std::min(position.column, Columns() - 1)};
}

void OutputPane::SetSelection(Position anchor, Position caret) {
  anchor_ = Clamped(anchor);
  MoveCaret(caret, true);
}

void OutputPane::SelectAll() {
  anchor_ = Start();
  caret_ = End();
  viewport()->update();
  NotifyCaretMoved();
  OfferToPrimarySelection();
}

void OutputPane::MoveCaret(Position to, bool extend) {
  const Position before = caret_;
  const bool hadSelection = HasSelection();
  caret_ = Clamped(to);
  if (!extend) anchor_ = caret_;
  ScrollTo(caret_);
  RestartBlink();
  if (hadSelection || HasSelection()) {
    viewport()->update();
  } else {
    viewport()->update(CellRect(before).adjusted(0, -1, 0, 1));
    viewport()->update(CellRect(caret_).adjusted(0, -1, 0, 1));
  }
  NotifyCaretMoved();
}

QString OutputPane::Text(Position from, Position to) const {
  from = Clamped(from);
  to = Clamped(to);
  if (to < from) std::swap(from, to);
  QString text;
  ForEachReadingPiece(*layout_, {from.row, from.column}, {to.row, to.column},
                      [&](std::u16string_view piece) { text.append(ToQString(piece)); });
  return text;
}

QMimeData* OutputPane::SelectionData() const {
  const Position from = std::min(caret_, anchor_);
  const Position to = std::max(caret_, anchor_);
  return new LayoutMimeData(layout_, {from.row, from.column}, {to.row, to.column});
}

QString OutputPane::SelectedText() const {
  const Position from = std::min(caret_, anchor_);
  const Position to = std::max(caret_, anchor_);
  QString text;
  ForEachCopiedPiece(*layout_, {from.row, from.column}, {to.row, to.column},
                     [&](std::u16string_view piece) { text.append(ToQString(piece)); });
  return text;
}

void OutputPane::CopySelection() const {
  if (HasSelection()) QGuiApplication::clipboard()->setMimeData(SelectionData());
}

void OutputPane::OfferToPrimarySelection() const {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (HasSelection() && clipboard->supportsSelection()) {
    clipboard->setMimeData(SelectionData(), QClipboard::Selection);
  }
}

void OutputPane::SelectRunAt(Position cell) {
  if (Rows() == 0) return;
  cell = Clamped(cell);
  cell.row = std::min(cell.row, Rows() - 1);
  const auto kindAt = [&](std::size_t row) {
    return KindOf(CodePointAt(layout_->Cell(row, cell.column), 0).value);
  };
  const CharKind kind = kindAt(cell.row);
  std::size_t first = cell.row;
  while (first > 0 && kindAt(first - 1) == kind) --first;
  std::size_t last = cell.row + 1;
  while (last < Rows() && kindAt(last) == kind) ++last;
  anchor_ = {first, cell.column};
  MoveCaret({last, cell.column}, true);
}

const std::vector<qsizetype>& OutputPane::ColumnStarts() const {
  if (columnStarts_.empty()) {
    columnStarts_.reserve(Columns() + 1);
    qsizetype offset = 0;
    columnStarts_.push_back(0);
    for (std::size_t column = Columns(); column-- > 0;) {
      for (std::size_t row = 0; row < Rows(); ++row) {
        offset += static_cast<qsizetype>(layout_->Cell(row, column).size());
      }
      columnStarts_.push_back(++offset);  // the line break
    }
  }
  return columnStarts_;
}

qsizetype OutputPane::TextLength() const {
  return Rows() == 0 ? 0 : ColumnStarts().back() - 1;
}

qsizetype OutputPane::OffsetOf(Position position) const {
  if (Rows() == 0) return 0;
  position = Clamped(position);
  qsizetype offset = ColumnStarts()[Columns() - 1 - position.column];
  for (std::size_t row = 0; row < position.row; ++row) {
    offset += static_cast<qsizetype>(layout_->Cell(row, position.column).size());
  }
  return offset;
}

OutputPane::Position OutputPane::PositionAt(qsizetype offset) const {
  if (Rows() == 0 || offset <= 0) return Start();
  const std::vector<qsizetype>& starts = ColumnStarts();
  const auto next = std::upper_bound(starts.begin(), starts.end() - 1, offset);
  const auto fromRight = static_cast<std::size_t>(next - starts.begin() - 1);
  const std::size_t column = Columns() - 1 - fromRight;
  qsizetype at = starts[fromRight];
  std::size_t row = 0;
  while (row < Rows()) {
    const auto units = static_cast<qsizetype>(layout_->Cell(row, column).size());
    if (at + units > offset) break;
    at += units;
    ++row;
  }
  return {row, column};
}

void OutputPane::NotifyCaretMoved() {
  if (!QAccessible::isActive()) return;
  QAccessibleTextCursorEvent moved(this, static_cast<int>(OffsetOf(caret_)));
  QAccessible::updateAccessibility(&moved);
  const qsizetype start = OffsetOf(std::min(caret_, anchor_));
  const qsizetype end = OffsetOf(std::max(caret_, anchor_));
  QAccessibleTextSelectionEvent selected(this, static_cast<int>(start), static_cast<int>(end));
  QAccessible::updateAccessibility(&selected);
}

void OutputPane::RestartBlink() {
  caretShown_ = true;
  const int flash = QApplication::cursorFlashTime();
  if (hasFocus() && flash > 0) {
    blink_.start(flash / 2, this);
  } else {
    blink_.stop();
  }
}

void OutputPane::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blink_.timerId()) {
    QAbstractScrollArea::timerEvent(event);
    return;
  }
  caretShown_ = !caretShown_;
  viewport()->update(CellRect(caret_).adjusted(0, -1, 0, 1));
}

void OutputPane::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  RestartBlink();
  viewport()->update();
}

void OutputPane::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  blink_.stop();
  caretShown_ = false;
  viewport()->update();
}

// ---- Keys and mouse ----

void OutputPane::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (event->matches(QKeySequence::Copy) ||
      (event->key() == Qt::Key_Insert && modifiers == Qt::ControlModifier)) {
    CopySelection();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
    return;
  }
  if (Rows() == 0 || (modifiers & ~(Qt::ShiftModifier | Qt::ControlModifier)) != 0) {
    event->ignore();
    return;
  }
  const bool extend = modifiers.testFlag(Qt::ShiftModifier);
  const bool control = modifiers.testFlag(Qt::ControlModifier);
  // Down and Up step through the characters as they are read; at a
  // column's end they cross the line break into the next or the previous
  // column. Left goes on to the next line, Right back to the one before.
  Position to = caret_;
  switch (event->key()) {
    case Qt::Key_Down:
      if (to.row < Rows()) {
        ++to.row;
      } else if (to.column > 0) {
        to = {0, to.column - 1};
      }
      break;
    case Qt::Key_Up:
      if (to.row > 0) {
        --to.row;
      } else if (to.column + 1 < Columns()) {
        to = {Rows(), to.column + 1};
      }
      break;
    case Qt::Key_Left:
      to = to.column > 0 ? Position{to.row, to.column - 1} : End();
      break;
    case Qt::Key_Right:
      to = to.column + 1 < Columns() ? Position{to.row, to.column + 1} : Start();
      break;
    case Qt::Key_Home:
      to = control ? Start() : Position{0, to.column};
      break;
    case Qt::Key_End:
      to = control ? End() : Position{Rows(), to.column};
      break;
    case Qt::Key_PageUp:
      to.row -= std::min(to.row, VisibleRows());
      break;
    case Qt::Key_PageDown:
      to.row = std::min(Rows(), to.row + VisibleRows());
      break;
    default:
      event->ignore();
      return;
  }
  MoveCaret(to, extend);
  if (extend) OfferToPrimarySelection();
}

void OutputPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  MoveCaret(PositionNear(event->position().toPoint()),
            event->modifiers().testFlag(Qt::ShiftModifier));
  dragging_ = true;
}

void OutputPane::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && event->buttons().testFlag(Qt::LeftButton)) {
    MoveCaret(PositionNear(event->position().toPoint()), true);
  }
}

void OutputPane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && dragging_) {
    dragging_ = false;
    OfferToPrimarySelection();
  }
}

void OutputPane::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || Rows() == 0) return;
  SelectRunAt(CellAt(event->position().toPoint()));
  dragging_ = false;
  OfferToPrimarySelection();
}

void OutputPane::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const bool sideways =
      event->modifiers().testFlag(Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
  const int amount = delta.y() != 0 ? delta.y() : delta.x();
  if (amount == 0 || event->modifiers().testFlag(Qt::ControlModifier)) {
    event->ignore();
    return;
  }
  const int lines = QApplication::wheelScrollLines() * amount / kWheelStep;
  const int steps = lines != 0 ? lines : (amount > 0 ? 1 : -1);
  QScrollBar* bar = sideways ? horizontalScrollBar() : verticalScrollBar();
  bar->setValue(bar->value() - steps * bar->singleStep());
  event->accept();
}

void OutputPane::contextMenuEvent(QContextMenuEvent* event) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  QAction* copy = menu->addAction(QStringLiteral("コピー(&C)"), this, &OutputPane::CopySelection);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(HasSelection());
  menu->addSeparator();
  QAction* all = menu->addAction(QStringLiteral("すべて選択(&A)"), this, &OutputPane::SelectAll);
  all->setShortcut(QKeySequence::SelectAll);
  all->setEnabled(Rows() != 0);
  menu->popup(event->globalPos());
}

}  // namespace mirotabe
