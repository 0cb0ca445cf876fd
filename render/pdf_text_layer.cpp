#include "render/pdf_text_layer.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <optional>

#include "render/pdf_objects.h"

namespace mirotabe {
namespace {

// Letters and digits only: Qt and the font may write the same name with
// spaces or underscores between its words.
std::string Normalised(std::string_view name) {
  std::string kept;
  for (const char c : name) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) kept += c;
  }
  return kept;
}

std::uint32_t Read16(const QByteArray& bytes, qsizetype at) {
  if (at + 2 > bytes.size()) return 0;
  return (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 8) |
         static_cast<unsigned char>(bytes[at + 1]);
}

// The PostScript name (name 6) of the font's naming table, or its family.
std::string PostScriptName(const QRawFont& font) {
  const QByteArray table = font.fontTable("name");
  const std::uint32_t count = Read16(table, 2);
  const std::uint32_t strings = Read16(table, 4);
  for (std::uint32_t n = 0; n < count; ++n) {
    const qsizetype record = 6 + 12 * static_cast<qsizetype>(n);
    if (Read16(table, record + 6) != 6) continue;
    const std::uint32_t platform = Read16(table, record);
    const qsizetype length = Read16(table, record + 8);
    const qsizetype at = strings + Read16(table, record + 10);
    if (at + length > table.size()) continue;
    std::string name;
    if (platform == 1) {
      name.assign(table.constData() + at, static_cast<std::size_t>(length));
    } else {
      for (qsizetype i = 0; i + 1 < length; i += 2) {
        const std::uint32_t unit = Read16(table, at + i);
        if (unit < 0x80) name += static_cast<char>(unit);
      }
    }
    if (!name.empty()) return Normalised(name);
  }
  return Normalised(font.familyName().toStdString());
}

std::string Hex(std::u16string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const char16_t unit : text) {
    for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(unit >> shift) & 0xF];
  }
  return hex;
}

using Entries = std::map<std::uint32_t, std::string>;

// The entries of the bfrange lines of `block`: a run of glyphs to a run of
// characters, or to a list of texts.
void AddRanges(const QString& block, Entries& entries) {
  static const QRegularExpression kRange(QStringLiteral(
      "<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(?:<([0-9A-Fa-f]+)>|\\[([^\\]]*)\\])"));
  static const QRegularExpression kItem(QStringLiteral("<([0-9A-Fa-f]+)>"));
  for (const QRegularExpressionMatch& m : kRange.globalMatch(block)) {
    const std::uint32_t first = m.captured(1).toUInt(nullptr, 16);
    const std::uint32_t last = m.captured(2).toUInt(nullptr, 16);
    if (last < first || last - first > 0xFFFF) continue;
    if (m.captured(3).isEmpty()) {
      std::uint32_t g = first;
      for (const QRegularExpressionMatch& item : kItem.globalMatch(m.captured(4))) {
        entries[g++] = item.captured(1).toUpper().toStdString();
      }
      continue;
    }
    const std::uint32_t start = m.captured(3).toUInt(nullptr, 16);
    for (std::uint32_t g = first; g <= last; ++g) {
      entries[g] = Hex(std::u16string(1, static_cast<char16_t>(start + (g - first))));
    }
  }
}

// The entries of the bfchar lines of `block`.
void AddCharacters(const QString& block, Entries& entries) {
  static const QRegularExpression kChar(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
  for (const QRegularExpressionMatch& m : kChar.globalMatch(block)) {
    entries[m.captured(1).toUInt(nullptr, 16)] = m.captured(2).toUpper().toStdString();
  }
}

// The entries of a ToUnicode map: each glyph number and the hex of its text.
Entries EntriesOf(const QByteArray& cmap) {
  Entries entries;
  const QString text = QString::fromLatin1(cmap);
  qsizetype at = 0;
  while ((at = text.indexOf(QStringLiteral("begin"), at)) >= 0) {
    const qsizetype end = text.indexOf(QStringLiteral("endbf"), at);
    if (end < 0) break;
    const QString block = text.mid(at, end - at);
    if (block.startsWith(QStringLiteral("beginbfrange"))) {
      AddRanges(block, entries);
    } else if (block.startsWith(QStringLiteral("beginbfchar"))) {
      AddCharacters(block, entries);
    } else {
      at += 5;
      continue;
    }
    at = end;
  }
  return entries;
}

// Qt's entries completed from the log, or none when they disagree with it.
std::optional<Entries> Completed(Entries entries, const GlyphTextLog::Font& font) {
  bool added = false;
  for (std::size_t k = 0; k < font.texts.size(); ++k) {
    const auto number = static_cast<std::uint32_t>(k + 1);
    const std::u16string& text = font.texts[k];
    const auto found = entries.find(number);
    if (found != entries.end()) {
      // Qt gives a glyph that stands for no text of its own some other
      // character; an entry for a glyph the log has text for must agree.
      if (!text.empty() && found->second != Hex(text)) return std::nullopt;
      continue;
    }
    if (text.empty()) continue;
    entries[number] = Hex(text);
    added = true;
  }
  if (!added) return std::nullopt;
  return entries;
}

QByteArray CMapOf(const Entries& entries) {
  QByteArray cmap(
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
  // A block holds at most a hundred entries.
  auto at = entries.begin();
  while (at != entries.end()) {
    const std::size_t count =
        std::min<std::size_t>(100, static_cast<std::size_t>(std::distance(at, entries.end())));
    cmap += QByteArray::number(static_cast<qulonglong>(count)) + " beginbfchar\n";
    for (std::size_t k = 0; k < count; ++k, ++at) {
      cmap += "<" +
              QByteArray::fromStdString(Hex(std::u16string(1, static_cast<char16_t>(at->first)))) +
              "> <" + QByteArray::fromStdString(at->second) + ">\n";
    }
    cmap += "endbfchar\n";
  }
  cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  return cmap;
}

// The subset prefix of each font the descriptors name, by the font's name.
std::map<std::string, QByteArray> SubsetPrefixes(const std::map<int, QByteArray>& objects) {
  static const QRegularExpression kSubset(QStringLiteral("/FontName /([A-Z]{6})\\+([^\\s/>]+)"));
  std::map<std::string, QByteArray> prefixes;
  for (const auto& [number, object] : objects) {
    if (!object.contains("/FontDescriptor")) continue;
    const QRegularExpressionMatch m = kSubset.match(QString::fromLatin1(object.left(512)));
    if (m.hasMatch()) prefixes.emplace(m.captured(2).toStdString(), m.captured(1).toLatin1());
  }
  return prefixes;
}

// Names font `object` as its subset and completes its text map from `log`.
void CompleteFont(QByteArray& object, std::map<int, QByteArray>& objects,
                  const std::map<std::string, QByteArray>& prefixes, const GlyphTextLog& log) {
  static const QRegularExpression kBaseFont(QStringLiteral("/BaseFont /([^\\s/>]+)"));
  const QRegularExpressionMatch base = kBaseFont.match(QString::fromLatin1(object));
  if (!base.hasMatch()) return;
  const std::string name = base.captured(1).toStdString();
  if (const auto prefix = prefixes.find(name); prefix != prefixes.end()) {
    object.insert(base.capturedStart(1), prefix->second + "+");
  }
  const std::optional<int> map = ReferenceIn(object, "ToUnicode");
  const auto drawn = log.fonts().find(Normalised(name));
  if (!map || drawn == log.fonts().end() || !objects.contains(*map)) return;
  QByteArray& stream = objects[*map];
  const qsizetype begin = stream.indexOf("stream\n");
  const qsizetype end = stream.lastIndexOf("endstream");
  if (begin < 0 || end < begin || stream.contains("/Filter")) return;
  const auto entries = Completed(EntriesOf(stream.mid(begin + 7, end - begin - 7)), drawn->second);
  if (entries) stream = StreamObject(*map, CMapOf(*entries));
}

}  // namespace

void GlyphTextLog::Font::Record(std::uint32_t glyph, std::u16string_view text) {
  // The missing-glyph box is every font's first glyph in the PDF.
  if (glyph == 0) return;
  if (numbers.emplace(glyph, texts.size()).second) texts.emplace_back(text);
}

GlyphTextLog::Font& GlyphTextLog::FontOf(const QRawFont& font) {
  return fonts_[PostScriptName(font)];
}

void CompleteTextLayer(PdfObjects& file, const GlyphTextLog& log) {
  std::map<int, QByteArray>& objects = file.objects;
  const std::map<std::string, QByteArray> prefixes = SubsetPrefixes(objects);
  for (auto& [number, object] : objects) {
    if (object.contains("/Type /Catalog") && !object.contains("/Lang")) {
      const qsizetype open = object.indexOf("<<");
      if (open >= 0) object.insert(open + 2, "\n/Lang (ja)");
    } else if (object.contains("/Type /Font") && !object.contains("stream")) {
      CompleteFont(object, objects, prefixes, log);
    }
  }
}

QByteArray CompleteTextLayer(const QByteArray& pdf, const GlyphTextLog& log) {
  std::optional<PdfObjects> file = PdfObjects::Read(pdf);
  if (!file) return pdf;
  CompleteTextLayer(*file, log);
  return file->Written();
}

}  // namespace mirotabe
