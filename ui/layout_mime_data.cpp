#include "ui/layout_mime_data.h"

#include <QByteArray>
#include <QStringView>

namespace mirotabe {
namespace {

const QString kPlainText = QStringLiteral("text/plain");
const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");

}  // namespace

void ForEachReadingPiece(const VerticalLayout& layout, LayoutPlace from, LayoutPlace to,
                         const std::function<void(std::u16string_view)>& sink) {
  const std::size_t rows = layout.RowCount();
  if (rows == 0 || from.column < to.column) return;
  std::u16string piece;
  for (std::size_t column = from.column + 1; column-- > to.column;) {
    piece.clear();
    const std::size_t first = column == from.column ? from.row : 0;
    const std::size_t last = column == to.column ? to.row : rows;
    for (std::size_t row = first; row < last; ++row) piece.append(layout.Cell(row, column));
    if (column != to.column) piece.push_back(u'\n');
    sink(piece);
  }
}

void ForEachCopiedPiece(const VerticalLayout& layout, LayoutPlace from, LayoutPlace to,
                        const std::function<void(std::u16string_view)>& sink) {
  const std::size_t columns = layout.ColumnCount();
  const bool whole = columns != 0 && from.row == 0 && from.column + 1 == columns &&
                     to.row == layout.RowCount() && to.column == 0;
  if (!whole) {
    ForEachReadingPiece(layout, from, to, sink);
    return;
  }
  // The whole layout streams in pieces of many rows, whose CR LF become LF.
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
    ForEachCopiedPiece(*layout_, from_, to_, [&](std::u16string_view piece) {
      bytes.append(QStringView(piece.data(), static_cast<qsizetype>(piece.size())).toUtf8());
    });
    return bytes;
  }
  QString text;
  ForEachCopiedPiece(*layout_, from_, to_, [&](std::u16string_view piece) {
    text.append(QStringView(piece.data(), static_cast<qsizetype>(piece.size())));
  });
  return text;
}

}  // namespace mirotabe
