// What the output pane offers the clipboard and the primary selection: a
// range of a layout, turned into text only when another program (or this
// one) reads it. Selecting and copying a layout of millions of cells then
// costs nothing, and a paste still gets every character.
//
// The text is that of the pane: the layout's rows joined by LF, from the
// place before cell `from` to the place before cell `to` (see
// OutputPane::Position). The layout is shared, never changed: the window
// lays its next text out in a copy while a clipboard holds this one.
#pragma once

#include <QMimeData>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <string>

#include "core/vertical_layout.h"

namespace mirotabe {

// A place between cells: before cell `column` of `row`.
struct LayoutPlace {
  std::size_t row = 0;
  std::size_t column = 0;
};

// Hands the text of [from, to) of `layout` to `sink` in pieces, in order.
void ForEachRangePiece(const VerticalLayout& layout, LayoutPlace from, LayoutPlace to,
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
