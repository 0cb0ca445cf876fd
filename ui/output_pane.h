// The output pane: a read-only text box that shows a VerticalLayout by
// drawing the cells in view straight from it, so that a layout of millions
// of cells paints as fast as a small one.
//
// The cells stand on a fixed grid: each is one full-width advance of the
// pane's font wide and one line high, and each glyph is centred in its
// cell, so a character without a full-width form does not move the ones
// after it. The cells are drawn by the pictures' own CellPainter, set by
// the pictures' own rule when asked (縦組み表示: see core/glyph_form.h).
// A layout narrower than the pane stands at its right edge, where vertical
// text begins.
//
// The text the pane stands for is read as vertical text is: column by
// column from the right, each from top to bottom, a line break between
// columns. The caret, the keys, the selection and the accessible text (with
// offsets in UTF-16 units) all follow that order, so that a screen reader
// reads the columns as the lines they were typed as. A copy of the whole
// pane is the vertical text as it is saved, row by row (see
// LayoutMimeData); a copy of a part is the characters selected, as read.
//
// As a text box does, the pane has a caret and a selection (mouse: press
// and drag, Shift+click, double-click for a run of one kind of character;
// keys: Down/Up to the next and the previous character, Left/Right to the
// next and the previous column, Home/End to the column's top and bottom,
// PgUp/PgDn, Ctrl+Home/End, Shift to extend, Ctrl+A), copies with Ctrl+C and
// Ctrl+Insert, offers the selection to the X11 primary selection, and has a
// context menu. It never changes the text.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPainter>
#include <QString>
#include <compare>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "core/caret_cell.h"
#include "core/vertical_layout.h"
#include "render/cell_painter.h"

class QMimeData;

namespace mirotabe {

class OutputPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // A place between the cells of one column: before cell `row` of
  // `column`, or after its last cell where `row` is RowCount(). Places
  // compare in reading order: the columns from the right, then the rows.
  struct Position {
    std::size_t row = 0;
    std::size_t column = 0;
    bool operator==(const Position&) const = default;
    std::strong_ordering operator<=>(const Position& other) const {
      if (column != other.column) return other.column <=> column;
      return row <=> other.row;
    }
  };

  explicit OutputPane(QWidget* parent = nullptr);

  // Shows `layout`. The caret stays where it was as far as the new layout
  // reaches; the selection and the mark are cleared, since the cells they
  // covered may now hold other characters.
  void SetLayout(VerticalLayout layout);
  // Gives up the layout, whose memory the next one can reuse; SetLayout
  // must follow before the pane is shown again.
  VerticalLayout TakeLayout();
  const VerticalLayout& layout() const { return *layout_; }

  // Sets the cells with the font's vertical forms, or upright glyphs.
  void SetVerticalGlyphs(bool on);
  bool verticalGlyphs() const { return verticalGlyphs_; }

  // Draws the cells dimmed while the layout is older than the text it was
  // made from, and names the pane so to assistive technology.
  void SetStale(bool stale);
  bool stale() const { return stale_; }

  // Shows `message` in place of an empty layout ("" for none).
  void SetMessage(const QString& message);
  const QString& message() const { return message_; }

  // Marks `cell` with a light highlight and scrolls just enough to show it;
  // none clears the mark.
  void MarkCell(std::optional<CellPosition> cell);
  std::optional<CellPosition> markedCell() const { return mark_; }

  // The first visible row and the leftmost visible column, and how many of
  // each are wholly in view (at least one).
  std::size_t FirstVisibleRow() const;
  std::size_t FirstVisibleColumn() const;
  std::size_t VisibleRows() const;
  std::size_t VisibleColumns() const;

  // ---- The text the pane stands for ----
  Position caret() const { return caret_; }
  Position anchor() const { return anchor_; }
  bool HasSelection() const { return caret_ != anchor_; }
  QString SelectedText() const;
  void SetSelection(Position anchor, Position caret);
  void SelectAll();
  void CopySelection() const;

  // UTF-16 offsets into the text, and back.
  qsizetype TextLength() const;
  qsizetype OffsetOf(Position position) const;
  Position PositionAt(qsizetype offset) const;
  QString Text(Position from, Position to) const;

  // Scrolls just enough to show the cell after `position`.
  void ScrollTo(Position position);

  // The rectangle of the cell at `position` in viewport coordinates.
  QRect CellRect(Position position) const;
  // The place between cells nearest to `point` (viewport coordinates), and
  // the place before the cell that holds it.
  Position PositionNear(QPoint point) const;
  Position CellAt(QPoint point) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  std::size_t Rows() const { return layout_->RowCount(); }
  std::size_t Columns() const { return layout_->ColumnCount(); }
  // The top of the rightmost column, and the bottom of the leftmost.
  Position Start() const;
  Position End() const;
  Position Clamped(Position position) const;
  void MoveCaret(Position to, bool extend);
  void EnsureVisible(std::size_t row, std::size_t column);
  void UpdateScrollBars();
  void UpdateMetrics();
  void RestartBlink();
  void OfferToPrimarySelection() const;
  // The selection for a clipboard, made into text when it is read.
  QMimeData* SelectionData() const;
  void NotifyCaretMoved();
  void NotifyTextUpdated();
  // The UTF-16 offset at which each column starts, in reading order (the
  // rightmost first), built when first needed.
  const std::vector<qsizetype>& ColumnStarts() const;
  // The horizontal scroll position less the room left of a layout that
  // stands at the right edge: the layout's x at the viewport's left edge.
  long long ScrolledX() const;
  // The cells in `area` (viewport coordinates), with the selection and the
  // mark.
  void PaintCells(QPainter& painter, const QRect& area) const;
  void SelectRunAt(Position cell);

  // Shared with what the clipboard holds (see LayoutMimeData).
  std::shared_ptr<VerticalLayout> layout_ = std::make_shared<VerticalLayout>();
  QString message_;
  // The text that assistive technology was last told of.
  QString announcedText_;
  Position caret_;
  Position anchor_;
  std::optional<CellPosition> mark_;
  bool dragging_ = false;
  bool caretShown_ = false;
  QBasicTimer blink_;
  int cellWidth_ = 1;
  int cellHeight_ = 1;
  mutable std::vector<qsizetype> columnStarts_;
  // The caret's column counted from the right, kept by TakeLayout for the
  // layout that follows.
  std::optional<std::size_t> takenCaretFromRight_;
  bool verticalGlyphs_ = false;
  bool stale_ = false;
  // Built for the font and the glyph forms; each cell's glyphs are looked
  // up once and kept.
  mutable std::unique_ptr<CellPainter> cells_;
};

}  // namespace mirotabe
