#include "render/pdf_objects.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace mirotabe {
namespace {

// One object of the file: where it starts and ends.
struct Span {
  int number = 0;
  qsizetype from = 0;
  qsizetype to = 0;
};

// The objects of a file whose cross-reference table lists them, in the
// order they stand; none when the table cannot be read.
std::vector<Span> ObjectsOf(const QByteArray& pdf, qsizetype& xref) {
  xref = pdf.lastIndexOf("\nxref\n");
  if (xref < 0) return {};
  ++xref;
  static const QRegularExpression kHeader(QStringLiteral("^xref\\n0 (\\d+)\\n"));
  const QRegularExpressionMatch header = kHeader.match(QString::fromLatin1(pdf.mid(xref, 32)));
  if (!header.hasMatch()) return {};
  const int count = header.captured(1).toInt();
  qsizetype at = xref + header.capturedLength(0);
  std::vector<Span> spans;
  for (int n = 0; n < count; ++n, at += 20) {
    if (at + 20 > pdf.size()) return {};
    if (pdf[at + 17] != 'n') continue;
    bool ok = false;
    const qsizetype offset = pdf.mid(at, 10).toLongLong(&ok);
    if (!ok || offset <= 0 || offset >= xref) return {};
    spans.push_back(Span{n, offset, 0});
  }
  std::sort(spans.begin(), spans.end(),
            [](const Span& a, const Span& b) { return a.from < b.from; });
  for (std::size_t k = 0; k < spans.size(); ++k) {
    spans[k].to = k + 1 < spans.size() ? spans[k + 1].from : xref;
  }
  return spans;
}

}  // namespace

std::optional<PdfObjects> PdfObjects::Read(const QByteArray& pdf) {
  qsizetype xref = 0;
  const std::vector<Span> spans = ObjectsOf(pdf, xref);
  const qsizetype trailer = pdf.indexOf("trailer", xref);
  const qsizetype startxref = trailer < 0 ? -1 : pdf.indexOf("startxref", trailer);
  if (spans.empty() || startxref < 0) return std::nullopt;
  PdfObjects file;
  file.header = pdf.left(spans.front().from);
  for (const Span& span : spans)
    file.objects[span.number] = pdf.mid(span.from, span.to - span.from);
  file.trailer = pdf.mid(trailer, startxref - trailer);
  return file;
}

QByteArray PdfObjects::Written() const {
  qsizetype length = header.size() + trailer.size() + 64;
  for (const auto& [number, object] : objects) length += object.size() + 20;
  QByteArray out;
  out.reserve(length);
  out += header;
  std::map<int, qsizetype> offsets;
  for (const auto& [number, object] : objects) {
    offsets[number] = out.size();
    out += object;
  }
  const int size = NextNumber();
  const qsizetype table = out.size();
  out += "xref\n0 " + QByteArray::number(size) + "\n0000000000 65535 f \n";
  for (int n = 1; n < size; ++n) {
    const auto found = offsets.find(n);
    out += found == offsets.end()
               ? QByteArray("0000000000 00000 f \n")
               : QByteArray::number(found->second).rightJustified(10, '0') + " 00000 n \n";
  }
  static const QRegularExpression kSize(QStringLiteral("/Size\\s+\\d+"));
  out +=
      QString::fromLatin1(trailer).replace(kSize, QStringLiteral("/Size %1").arg(size)).toLatin1();
  out += "startxref\n" + QByteArray::number(table) + "\n%%EOF\n";
  return out;
}

std::optional<int> ReferenceIn(const QByteArray& object, const char* key) {
  const QRegularExpression pattern(
      QStringLiteral("/%1\\s+(\\d+)\\s+0\\s+R").arg(QLatin1String(key)));
  const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(object));
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(1).toInt();
}

QByteArray StreamObject(int number, QByteArrayView content, QByteArrayView entries) {
  QByteArray object = QByteArray::number(number) + " 0 obj\n<< ";
  if (!entries.isEmpty()) {
    object += entries;
    object += ' ';
  }
  object += "/Length " + QByteArray::number(content.size()) + " >>\nstream\n";
  object += content;
  object += "\nendstream\nendobj\n";
  return object;
}

}  // namespace mirotabe
