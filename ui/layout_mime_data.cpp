#include "ui/layout_mime_data.h"

#include <QByteArray>
#include <QStringView>

namespace mirotabe {
namespace {

const QString kPlainText = QStringLiteral("text/plain");
const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");

}  // namespace

void ForEachRangePiece(const VerticalLayout& layout, LayoutPlace from, LayoutPlace to,
                       const std::function<void(std::u16string_view)>& sink) {
  const std::size_t columns = layout.ColumnCount();
  if (layout.RowCount() == 0) return;
  // The whole layout streams in pieces of many rows, whose CR LF become LF.
  if (from.row == 0 && from.column == 0 && to.row + 1 == layout.RowCount() &&
      to.column == columns) {
    std::u16string piece;
    layout.ForEachTextPiece([&](std::u16string_view rows) {
      piece.clear();
      for (std::size_t at = 0; at < rows.size();) {
        const std::size_t end = std::min(rows.find(u"\r\n", at), rows.size());
        piece.append(rows.substr(at, end - at));
        if (end == rows.size()) break;
        piece.push_back(u'\n');
        at = end + 2;
      }
      sink(piece);
      return true;
    });
    return;
  }
  std::u16string row;
  for (std::size_t r = from.row; r <= to.row; ++r) {
    row.clear();
    const std::size_t first = r == from.row ? from.column : 0;
    const std::size_t last = r == to.row ? to.column : columns;
    if (first == 0 && last == columns) {
      layout.AppendRow(r, row);
    } else {
      for (std::size_t column = first; column < last; ++column) row.append(layout.Cell(r, column));
    }
    if (r != to.row) row.push_back(u'\n');
    sink(row);
  }
}

LayoutMimeData::LayoutMimeData(std::shared_ptr<const VerticalLayout> layout, LayoutPlace from,
                               LayoutPlace to)
    : layout_(std::move(layout)), from_(from), to_(to) {}

QStringList LayoutMimeData::formats() const {
  return {kPlainText, kUtf8Text};
}

bool LayoutMimeData::hasFormat(const QString& mimeType) const {
  return mimeType == kPlainText || mimeType == kUtf8Text;
}

QVariant LayoutMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
  if (!hasFormat(mimeType)) return {};
  // Another program asks for bytes: they are made straight from the
  // pieces, never holding the text twice.
  if (type.id() == QMetaType::QByteArray) {
    QByteArray bytes;
    ForEachRangePiece(*layout_, from_, to_, [&](std::u16string_view piece) {
      bytes.append(QStringView(piece.data(), static_cast<qsizetype>(piece.size())).toUtf8());
    });
    return bytes;
  }
  QString text;
  ForEachRangePiece(*layout_, from_, to_, [&](std::u16string_view piece) {
    text.append(QStringView(piece.data(), static_cast<qsizetype>(piece.size())));
  });
  return text;
}

}  // namespace mirotabe
