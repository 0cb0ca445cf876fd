#include "ebook/epub_book.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "ebook/epub_documents.h"
#include "ebook/epub_style.h"
#include "ebook/xml_text.h"
#include "ebook/zip_writer.h"

namespace mirotabe {
namespace {

constexpr std::string_view kContainer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
    "<rootfiles>\n"
    "<rootfile full-path=\"OEBPS/book.opf\" media-type=\"application/oebps-package+xml\"/>\n"
    "</rootfiles>\n</container>\n";

std::string XmlUtf8(std::u16string_view text) {
  std::u16string escaped;
  AppendXmlText(escaped, text);
  return Utf8Of(escaped);
}

// FNV-1a over the text's units: not a digest for security, only a name
// that the same text always gets and another text almost never does.
std::uint64_t Fnv1a(std::u16string_view text, std::uint64_t hash) {
  for (const char16_t unit : text) {
    hash = (hash ^ static_cast<std::uint64_t>(unit)) * 0x100000001b3ULL;
  }
  return hash;
}

// A UUID made from the book's text (RFC 9562's version 8: made by the
// application's own rule).
std::string IdentifierOf(const AozoraBook& book, std::u16string_view title) {
  std::uint64_t high = Fnv1a(book.body, Fnv1a(title, 0xcbf29ce484222325ULL));
  std::uint64_t low = Fnv1a(book.body, Fnv1a(title, 0x84222325cbf29ce4ULL) ^ 0x5bd1e995ULL);
  high = (high & ~0xF000ULL) | 0x8000ULL;
  low = (low & ~(0xC0ULL << 56)) | (0x80ULL << 56);
  char uuid[64];
  std::snprintf(uuid, sizeof uuid, "urn:uuid:%08x-%04x-%04x-%04x-%012llx",
                static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xFFFF),
                static_cast<unsigned>(high & 0xFFFF), static_cast<unsigned>(low >> 48),
                static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
  return uuid;
}

int DigitOf(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'０' && c <= u'９') return c - u'０';
  return -1;
}

// The number that ends just before `end` in `text`, and where it starts.
int NumberBefore(std::u16string_view text, std::size_t& end) {
  int value = 0;
  int scale = 1;
  std::size_t digits = 0;
  while (end > 0 && DigitOf(text[end - 1]) >= 0 && digits < 4) {
    value += DigitOf(text[--end]) * scale;
    scale *= 10;
    ++digits;
  }
  return digits == 0 ? -1 : value;
}

std::string NavOf(const EpubDocuments& documents, const std::u16string& title) {
  std::string nav =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
      "xml:lang=\"ja\" lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\"/>\n<title>" +
      XmlUtf8(title) +
      "</title>\n</head>\n<body>\n<nav epub:type=\"toc\" id=\"toc\">\n<h1>目次</h1>\n<ol>\n";
  std::vector<EpubHeading> headings = documents.headings;
  if (headings.empty()) headings.push_back({1, title, documents.documents.front().name});
  // A heading goes inside the nearest one before it of a higher level,
  // whatever levels lie between, so that the lists nest whatever order
  // the levels come in.
  std::vector<int> open;
  for (const EpubHeading& heading : headings) {
    if (!open.empty() && heading.level > open.back()) {
      nav += "\n<ol>\n";
    } else if (!open.empty()) {
      nav += "</li>\n";
      open.pop_back();
      while (!open.empty() && open.back() >= heading.level) {
        nav += "</ol>\n</li>\n";
        open.pop_back();
      }
    }
    std::u16string label = heading.label;
    if (label.find_first_not_of(u" \u3000") == std::u16string::npos) label = u"＊";
    nav += "<li><a href=\"" + heading.href + "\">" + XmlUtf8(label) + "</a>";
    open.push_back(heading.level);
  }
  while (!open.empty()) {
    nav += "</li>\n";
    open.pop_back();
    if (!open.empty()) nav += "</ol>\n";
  }
  nav += "</ol>\n</nav>\n</body>\n</html>\n";
  return nav;
}

std::string PackageOf(const AozoraBook& book, const EpubDocuments& documents,
                      const std::u16string& title, const std::u16string& author) {
  std::string opf =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" xml:lang=\"ja\" "
      "unique-identifier=\"book-id\">\n"
      "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
      "<dc:title id=\"title\">" +
      XmlUtf8(title) + "</dc:title>\n";
  if (!author.empty()) opf += "<dc:creator id=\"creator\">" + XmlUtf8(author) + "</dc:creator>\n";
  opf += "<dc:language>ja</dc:language>\n<dc:identifier id=\"book-id\">" +
         IdentifierOf(book, title) + "</dc:identifier>\n<meta property=\"dcterms:modified\">" +
         ModifiedDateOf(book) +
         "</meta>\n<meta property=\"rendition:layout\">reflowable</meta>\n"
         "<meta property=\"rendition:spread\">landscape</meta>\n"
         "<meta name=\"primary-writing-mode\" content=\"vertical-rl\"/>\n</metadata>\n<manifest>\n"
         "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
         "properties=\"nav\"/>\n"
         "<item id=\"style\" href=\"style.css\" media-type=\"text/css\"/>\n";
  for (const EpubDocument& document : documents.documents) {
    const std::string id = document.name.substr(0, document.name.find('.'));
    opf += "<item id=\"" + id + "\" href=\"" + document.name +
           "\" media-type=\"application/xhtml+xml\"/>\n";
  }
  opf += "</manifest>\n<spine page-progression-direction=\"rtl\">\n";
  for (const EpubDocument& document : documents.documents) {
    const std::string id = document.name.substr(0, document.name.find('.'));
    opf += "<itemref idref=\"" + id + "\"";
    // In a book bound on the right, a leaf's front is the left-hand page,
    // and a spread begins on the right-hand one.
    if (document.startsWith == AozoraBreak::kRecto) opf += " properties=\"page-spread-left\"";
    if (document.startsWith == AozoraBreak::kSpread) opf += " properties=\"page-spread-right\"";
    opf += "/>\n";
  }
  opf += "</spine>\n</package>\n";
  return opf;
}

}  // namespace

std::string InputEpub(std::u16string_view input, std::optional<Notation> chosen,
                      std::u16string_view fallbackTitle) {
  const AozoraBook book = NotationFor(chosen, OutputKind::kEbook) == Notation::kAozora
                              ? ReadAozoraText(input)
                              : PlainTextBook(input);
  EpubMetadata metadata;
  metadata.fallbackTitle = std::u16string(fallbackTitle);
  return MakeEpub(book, metadata);
}

std::string ModifiedDateOf(const AozoraBook& book) {
  std::string latest = "2000-01-01T00:00:00Z";
  for (std::size_t i = book.colophonLine; i < book.lines.size(); ++i) {
    const std::u16string_view line(book.body.data() + book.lines[i].begin,
                                   book.lines[i].end - book.lines[i].begin);
    if (!line.ends_with(u"作成") && !line.ends_with(u"修正")) continue;
    std::size_t end = line.size() - 2;
    if (end == 0 || line[end - 1] != u'日') continue;
    --end;
    const int day = NumberBefore(line, end);
    if (day < 1 || day > 31 || end == 0 || line[end - 1] != u'月') continue;
    --end;
    const int month = NumberBefore(line, end);
    if (month < 1 || month > 12 || end == 0 || line[end - 1] != u'年') continue;
    --end;
    const int year = NumberBefore(line, end);
    if (year < 1900 || year > 9999) continue;
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02dT00:00:00Z", year, month, day);
    if (std::string(date) > latest) latest = date;
  }
  return latest;
}

std::string MakeEpub(const AozoraBook& book, const EpubMetadata& metadata) {
  std::u16string title = !metadata.title.empty() ? metadata.title : book.title;
  if (title.empty()) title = metadata.fallbackTitle;
  if (title.empty()) title = u"無題";
  const std::u16string author = !metadata.author.empty() ? metadata.author : book.author;
  const EpubDocuments documents = MakeEpubDocuments(book, title);
  ZipWriter zip;
  // The mimetype comes first and stored, so that the file names its own
  // kind at a fixed place.
  zip.AddStored("mimetype", "application/epub+zip");
  zip.AddDeflated("META-INF/container.xml", kContainer);
  zip.AddDeflated("OEBPS/book.opf", PackageOf(book, documents, title, author));
  zip.AddDeflated("OEBPS/nav.xhtml", NavOf(documents, title));
  zip.AddDeflated("OEBPS/style.css", kEpubStyleSheet);
  for (const EpubDocument& document : documents.documents) {
    zip.AddDeflated("OEBPS/" + document.name, document.bytes);
  }
  return zip.Finish();
}

}  // namespace mirotabe
