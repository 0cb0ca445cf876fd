#include "render/pdf_tags.h"

#include <zlib.h>

#include <QPainter>
#include <QRectF>
#include <QRegularExpression>
#include <optional>
#include <utility>

#include "render/pdf_objects.h"
#include "render/pdf_text_layer.h"

namespace mirotabe {
namespace {

// Marks stand at this x, left of the page, mark n at y = -(n + 1): no
// drawing of a page lies there, and the painter writes the square as a
// rectangle of its own, "-7 -(n + 1) 1 1 re" and a fill.
constexpr int kMarkX = -7;
constexpr char kMarkStart[] = "\n-7 -";
constexpr char kMarkEnd[] = " 1 1 re\nf\n";
// The pages' contents are compressed again once tagged: the fastest of
// zlib's levels that keeps them near the size Qt's compression gives.
constexpr int kDeflateLevel = 3;

// The text of a content stream, or none when it cannot be inflated.
std::optional<QByteArray> Inflated(QByteArrayView data) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  QByteArray out(std::max<qsizetype>(4096, data.size() * 4), Qt::Uninitialized);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  int status = Z_OK;
  while (status == Z_OK) {
    if (z.total_out == static_cast<uLong>(out.size())) out.resize(out.size() * 2);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + z.total_out);
    z.avail_out = static_cast<uInt>(out.size() - static_cast<qsizetype>(z.total_out));
    status = inflate(&z, Z_NO_FLUSH);
  }
  out.truncate(static_cast<qsizetype>(z.total_out));
  inflateEnd(&z);
  if (status != Z_STREAM_END) return std::nullopt;
  return out;
}

QByteArray Deflated(QByteArrayView text) {
  uLongf length = compressBound(static_cast<uLong>(text.size()));
  QByteArray out(static_cast<qsizetype>(length), Qt::Uninitialized);
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &length,
                reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()),
                kDeflateLevel) != Z_OK) {
    return {};
  }
  out.truncate(static_cast<qsizetype>(length));
  return out;
}

// A PDF string of `text`: UTF-16BE with its byte order mark, in hex.
QByteArray HexString(std::u16string_view text) {
  QByteArray hex("<FEFF");
  for (const char16_t unit : text) {
    hex += QByteArray::number(static_cast<uint>(unit), 16).rightJustified(4, '0').toUpper();
  }
  return hex + ">";
}

QByteArray Ref(int number) {
  return QByteArray::number(number) + " 0 R";
}

// Where a paragraph's parts stand: each page and the MCID there.
struct Part {
  std::size_t page = 0;
  int mcid = 0;
};

// What the marks of a document become, page by page, before it is
// changed: nothing is written until every page's marks have been found.
class Tagger {
 public:
  explicit Tagger(const std::vector<ContentMarks::Mark>& marks) : marks_(marks) {}

  // The content of the next page with its marks turned into marked
  // content; none when they are not the ones recorded next.
  std::optional<QByteArray> Page(const QByteArray& content) {
    QByteArray out;
    out.reserve(content.size());
    // What each open mark is; a text's mark inside a paragraph's splits
    // it (see Operator).
    std::vector<Open> open;
    int mcid = 0;
    qsizetype copied = 0;
    for (qsizetype at = content.indexOf(kMarkStart); at >= 0;
         at = content.indexOf(kMarkStart, at + 1)) {
      const qsizetype digits = at + static_cast<qsizetype>(sizeof kMarkStart) - 1;
      qsizetype end = digits;
      while (end < content.size() && content[end] >= '0' && content[end] <= '9') ++end;
      if (end == digits || !QByteArrayView(content).sliced(end).startsWith(kMarkEnd)) continue;
      bool ok = false;
      const qsizetype number = content.mid(digits, end - digits).toLongLong(&ok) - 1;
      if (!ok || number != static_cast<qsizetype>(next_) || next_ >= marks_.size()) {
        return std::nullopt;
      }
      const ContentMarks::Mark& mark = marks_[next_++];
      out += QByteArrayView(content).sliced(copied, at + 1 - copied);
      copied = end + static_cast<qsizetype>(sizeof kMarkEnd) - 1;
      if (!mark.end) {
        const Open within = open.empty() ? Open::kOther : open.back();
        open.push_back(Begun(mark, within, mcid, out));
        continue;
      }
      if (open.empty()) return std::nullopt;
      out += "EMC\n";
      // The paragraph goes on after a text inside it.
      if (open.back() == Open::kTextInParagraph) out += ParagraphPart(mcid);
      open.pop_back();
    }
    if (!open.empty()) return std::nullopt;
    out += QByteArrayView(content).sliced(copied);
    parents_.emplace_back(std::move(pageParents_));
    pageParents_.clear();
    return out;
  }

  bool AllFound() const { return next_ == marks_.size(); }

  // Objects `first`, `first` + 1…: the structure tree's root, the
  // document, the parent tree and the paragraphs, for `pages`.
  std::map<int, QByteArray> Tree(int first, const std::vector<int>& pages) const {
    const int root = first;
    const int document = first + 1;
    const int parentTree = first + 2;
    const auto element = [&](std::size_t n) { return first + 3 + static_cast<int>(n); };
    std::map<int, QByteArray> objects;
    const auto add = [&](int number, const QByteArray& body) {
      objects[number] = QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
    };
    add(root, "<< /Type /StructTreeRoot /K " + Ref(document) + " /ParentTree " + Ref(parentTree) +
                  " /ParentTreeNextKey " + QByteArray::number(pages.size()) + " >>");
    QByteArray kids = "<< /Type /StructElem /S /Document /P " + Ref(root) + " /K [";
    for (std::size_t n = 0; n < paragraphs_.size(); ++n) kids += " " + Ref(element(n));
    add(document, kids + " ] >>");
    QByteArray nums = "<< /Nums [";
    for (std::size_t page = 0; page < parents_.size(); ++page) {
      nums += "\n" + QByteArray::number(page) + " [";
      for (const std::size_t n : parents_[page]) nums += " " + Ref(element(n));
      nums += " ]";
    }
    add(parentTree, nums + " ] >>");
    for (std::size_t n = 0; n < paragraphs_.size(); ++n) {
      const std::vector<Part>& parts = paragraphs_[n];
      const int page = pages[parts.front().page];
      QByteArray body =
          "<< /Type /StructElem /S /P /P " + Ref(document) + " /Pg " + Ref(page) + " /K [";
      for (const Part& part : parts) {
        body += pages[part.page] == page ? " " + QByteArray::number(part.mcid)
                                         : " << /Type /MCR /Pg " + Ref(pages[part.page]) +
                                               " /MCID " + QByteArray::number(part.mcid) + " >>";
      }
      add(element(n), body + " ] >>");
    }
    return objects;
  }

 private:
  enum class Open : std::uint8_t { kParagraph, kTextInParagraph, kOther };

  // The next MCID of the page, `mcid`, given to a part of the last
  // paragraph.
  QByteArray PartOfParagraph(int& mcid) {
    paragraphs_.back().push_back(Part{parents_.size(), mcid});
    pageParents_.push_back(paragraphs_.size() - 1);
    return QByteArray::number(mcid++);
  }

  QByteArray ParagraphPart(int& mcid) { return "/P <</MCID " + PartOfParagraph(mcid) + ">> BDC\n"; }

  // Writes the start of `mark`'s marked content, opened `within`, to `out`.
  Open Begun(const ContentMarks::Mark& mark, Open within, int& mcid, QByteArray& out) {
    using Kind = ContentMarks::Kind;
    switch (mark.kind) {
      case Kind::kParagraph:
      case Kind::kParagraphGoesOn:
        if (mark.kind == Kind::kParagraph || paragraphs_.empty()) paragraphs_.emplace_back();
        out += ParagraphPart(mcid);
        return Open::kParagraph;
      case Kind::kArtifact:
        out += "/Artifact BMC\n";
        return Open::kOther;
      case Kind::kPageNumber:
        out += "/Artifact <</Type /Pagination>> BDC\n";
        return Open::kOther;
      case Kind::kReplacedText:
        break;
    }
    if (within != Open::kParagraph) {
      out += "/Span <</ActualText " + HexString(mark.text) + ">> BDC\n";
      return Open::kOther;
    }
    // A reader that collects a paragraph's text by its MCIDs may stop at
    // the end of marked content nested in it (Poppler does), so the
    // paragraph's part ends here and the text is a part of its own.
    out += "EMC\n/Span <</MCID " + PartOfParagraph(mcid) + " /ActualText " + HexString(mark.text) +
           ">> BDC\n";
    return Open::kTextInParagraph;
  }

  const std::vector<ContentMarks::Mark>& marks_;
  std::size_t next_ = 0;
  // The parts of each paragraph, and the paragraph of each MCID of each
  // page (the parent tree).
  std::vector<std::vector<Part>> paragraphs_;
  std::vector<std::vector<std::size_t>> parents_;
  std::vector<std::size_t> pageParents_;
};

// The body of stream `object`: from after "stream" to "endstream".
QByteArrayView StreamBody(const QByteArray& object) {
  const qsizetype begin = object.indexOf("stream\n");
  const qsizetype end = object.lastIndexOf("endstream");
  if (begin < 0 || end < begin + 7) return {};
  return QByteArrayView(object).sliced(begin + 7, end - begin - 7);
}

// The numbers of the pages of `file` in order, and of its catalogue.
std::optional<std::pair<int, std::vector<int>>> CatalogueAndPages(const PdfObjects& file) {
  for (const auto& [number, object] : file.objects) {
    if (!object.left(256).contains("/Type /Catalog")) continue;
    const std::optional<int> root = ReferenceIn(object, "Pages");
    if (!root || !file.objects.contains(*root)) return std::nullopt;
    const QByteArray& tree = file.objects.at(*root);
    const qsizetype open = tree.indexOf("/Kids");
    const qsizetype close = tree.indexOf(']', open);
    if (open < 0 || close < 0) return std::nullopt;
    static const QRegularExpression kKid(QStringLiteral("(\\d+) 0 R"));
    std::vector<int> pages;
    for (const QRegularExpressionMatch& kid :
         kKid.globalMatch(QString::fromLatin1(tree.mid(open, close - open)))) {
      const int page = kid.captured(1).toInt();
      // A tree of page trees is not what the painter writes.
      if (!file.objects.contains(page) || !file.objects.at(page).contains("/Type /Page\n")) {
        return std::nullopt;
      }
      pages.push_back(page);
    }
    return std::make_pair(number, std::move(pages));
  }
  return std::nullopt;
}

QByteArray Inserted(QByteArray object, const QByteArray& entries) {
  const qsizetype open = object.indexOf("<<");
  if (open >= 0) object.insert(open + 2, "\n" + entries);
  return object;
}

}  // namespace

void ContentMarks::Begin(QPainter& painter, Kind kind, std::u16string_view text) {
  marks_.push_back(Mark{kind, false, std::u16string(text)});
  Draw(painter);
}

void ContentMarks::End(QPainter& painter) {
  marks_.push_back(Mark{Kind::kArtifact, true, {}});
  Draw(painter);
}

void ContentMarks::Draw(QPainter& painter) {
  const QRectF mark(kMarkX, -static_cast<qreal>(marks_.size()), 1, 1);
  // The painter is seldom turned when a mark is drawn; saving and
  // restoring its state would write that state into the page again.
  if (painter.transform().isIdentity()) {
    painter.fillRect(mark, Qt::black);
    return;
  }
  painter.save();
  painter.resetTransform();
  painter.fillRect(mark, Qt::black);
  painter.restore();
}

bool TagContent(PdfObjects& file, const ContentMarks& marks) {
  if (marks.marks().empty()) return false;
  const auto found = CatalogueAndPages(file);
  if (!found) return false;
  const auto& [catalogue, pages] = *found;
  Tagger tagger(marks.marks());
  std::map<int, QByteArray> changed;
  for (std::size_t n = 0; n < pages.size(); ++n) {
    const QByteArray& page = file.objects.at(pages[n]);
    const std::optional<int> contents = ReferenceIn(page, "Contents");
    if (!contents || !file.objects.contains(*contents)) return false;
    const QByteArray& stream = file.objects.at(*contents);
    if (!stream.left(128).contains("/Filter /FlateDecode")) return false;
    const std::optional<QByteArray> content = Inflated(StreamBody(stream));
    if (!content) return false;
    const std::optional<QByteArray> tagged = tagger.Page(*content);
    if (!tagged) return false;
    changed[*contents] = StreamObject(*contents, Deflated(*tagged), "/Filter /FlateDecode");
    changed[pages[n]] = Inserted(page, "/StructParents " + QByteArray::number(n));
  }
  if (!tagger.AllFound()) return false;
  const int root = file.NextNumber();
  changed[catalogue] = Inserted(file.objects.at(catalogue),
                                "/MarkInfo << /Marked true >>\n/StructTreeRoot " + Ref(root));
  changed.merge(tagger.Tree(root, pages));
  for (auto& [number, object] : changed) file.objects[number] = std::move(object);
  return true;
}

QByteArray TagContent(const QByteArray& pdf, const ContentMarks& marks) {
  std::optional<PdfObjects> file = PdfObjects::Read(pdf);
  if (!file || !TagContent(*file, marks)) return pdf;
  return file->Written();
}

QByteArray CompletedPdf(QByteArray pdf, const GlyphTextLog& log, const ContentMarks& marks) {
  std::optional<PdfObjects> file = PdfObjects::Read(pdf);
  if (!file) return pdf;
  pdf = QByteArray();
  CompleteTextLayer(*file, log);
  TagContent(*file, marks);
  return file->Written();
}

}  // namespace mirotabe
