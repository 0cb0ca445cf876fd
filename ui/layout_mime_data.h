// What the output pane offers the clipboard and the primary selection: a
// range of a layout, turned into text only when another program (or this
// one) reads it. Selecting and copying a layout of millions of cells then
// costs nothing, and a paste still gets every character.
//
// A range is of the pane's places, in reading order (see
// OutputPane::Position). The whole layout is copied as the vertical text it
// stands for, its rows joined by LF, as it is saved; a part of it as the
// characters selected, in the order they are read: column by column from
// the right, a LF between columns. The layout is shared, never changed: the
// window lays its next text out in a copy while a clipboard holds this one.
#pragma once

#include <QMimeData>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <string>

#include "core/vertical_layout.h"

namespace mirotabe {

// A place between cells of one column: before cell `row` of `column`, or
// after its last cell where `row` is the layout's RowCount().
struct LayoutPlace {
  std::size_t row = 0;
  std::size_t column = 0;
};

// Hands the cells of [from, to) of `layout`, read column by column from the
// right and top to bottom, a LF between columns, to `sink` in pieces, in
// order. `from` comes first in reading order.
void ForEachReadingPiece(const VerticalLayout& layout, LayoutPlace from, LayoutPlace to,
                         const std::function<void(std::u16string_view)>& sink);

// What a copy of [from, to) holds, in pieces: the layout's rows joined by
// LF where the range is the whole layout, else ForEachReadingPiece.
void ForEachCopiedPiece(const VerticalLayout& layout, LayoutPlace from, LayoutPlace to,
                        const std::function<void(std::u16string_view)>& sink);

class LayoutMimeData : public QMimeData {
  Q_OBJECT

 public:
  LayoutMimeData(std::shared_ptr<const VerticalLayout> layout, LayoutPlace from, LayoutPlace to);

  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  std::shared_ptr<const VerticalLayout> layout_;
  LayoutPlace from_;
  LayoutPlace to_;
};

}  // namespace mirotabe
