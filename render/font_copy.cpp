#include "render/font_copy.h"

#include <hb.h>

#include <array>
#include <vector>

namespace mirotabe {
namespace {

// The tables a TrueType or OpenType font may hold that drawing, hinting,
// vertical metrics and embedding use; the character map and the names are
// written anew.
constexpr std::array<const char*, 25> kCopiedTables = {
    "head", "hhea", "hmtx", "maxp", "OS/2", "post", "glyf", "loca", "cvt ",
    "fpgm", "prep", "gasp", "vhea", "vmtx", "GSUB", "GPOS", "GDEF", "BASE",
    "kern", "CFF ", "VORG", "EBDT", "EBLC", "EBSC", "hdmx"};

void Put16(QByteArray& out, std::uint32_t value) {
  out.append(static_cast<char>((value >> 8) & 0xFF));
  out.append(static_cast<char>(value & 0xFF));
}

void Put32(QByteArray& out, std::uint32_t value) {
  Put16(out, value >> 16);
  Put16(out, value & 0xFFFF);
}

// A format 12 map (segments of consecutive characters to consecutive
// glyphs) under the Unicode and the Windows Unicode encodings.
QByteArray CharacterMapTable(const CharacterMap& map) {
  struct Group {
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t glyph;
  };
  std::vector<Group> groups;
  for (const auto& [c, glyph] : map) {
    if (!groups.empty() && groups.back().last + 1 == c &&
        groups.back().glyph + (groups.back().last - groups.back().first) + 1 == glyph) {
      groups.back().last = c;
    } else {
      groups.push_back(Group{c, c, glyph});
    }
  }
  constexpr std::uint32_t kRecords = 3;
  constexpr std::uint32_t kSubtableAt = 4 + 8 * kRecords;
  QByteArray table;
  Put16(table, 0);
  Put16(table, kRecords);
  // Unicode full repertoire, Windows BMP and Windows full repertoire.
  constexpr std::uint32_t kEncodings[kRecords][2] = {{0, 4}, {3, 1}, {3, 10}};
  for (const auto& encoding : kEncodings) {
    Put16(table, encoding[0]);
    Put16(table, encoding[1]);
    Put32(table, kSubtableAt);
  }
  Put16(table, 12);
  Put16(table, 0);
  Put32(table, static_cast<std::uint32_t>(16 + 12 * groups.size()));
  Put32(table, 0);
  Put32(table, static_cast<std::uint32_t>(groups.size()));
  for (const Group& group : groups) {
    Put32(table, group.first);
    Put32(table, group.last);
    Put32(table, group.glyph);
  }
  return table;
}

// Family, style, unique, full and PostScript names, in Windows' Unicode.
QByteArray NameTable(const QString& family) {
  QString postScript = family;
  postScript.remove(QChar(u' '));
  const QString names[] = {family, QStringLiteral("Regular"), family, family, postScript};
  constexpr std::uint32_t kIds[] = {1, 2, 3, 4, 6};
  constexpr std::uint32_t kCount = 5;
  QByteArray strings;
  QByteArray table;
  Put16(table, 0);
  Put16(table, kCount);
  Put16(table, 6 + 12 * kCount);
  for (std::uint32_t n = 0; n < kCount; ++n) {
    Put16(table, 3);
    Put16(table, 1);
    Put16(table, 0x409);
    Put16(table, kIds[n]);
    Put16(table, static_cast<std::uint32_t>(names[n].size() * 2));
    Put16(table, static_cast<std::uint32_t>(strings.size()));
    for (const QChar unit : names[n]) Put16(strings, unit.unicode());
  }
  return table + strings;
}

// The font file of `tables`: HarfBuzz's face builder writes the table
// directory, the checksums and the padding.
QByteArray FontFile(const FontTables& tables) {
  hb_face_t* builder = hb_face_builder_create();
  for (const auto& [tag, table] : tables) {
    // The blobs borrow the tables' bytes, which outlive the builder.
    hb_blob_t* blob = hb_blob_create(table.constData(), static_cast<unsigned>(table.size()),
                                     HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_builder_add_table(builder, hb_tag_from_string(tag.constData(), 4), blob);
    hb_blob_destroy(blob);
  }
  hb_blob_t* file = hb_face_reference_blob(builder);
  unsigned length = 0;
  const char* data = hb_blob_get_data(file, &length);
  QByteArray bytes(data, static_cast<qsizetype>(length));
  hb_blob_destroy(file);
  hb_face_destroy(builder);
  return bytes;
}

}  // namespace

QByteArray FontCopy(const QRawFont& font, CharacterMap characterMap, const QString& family) {
  FontTables tables;
  for (const char* tag : kCopiedTables) {
    QByteArray table = font.fontTable(tag);
    if (!table.isEmpty()) tables.emplace(QByteArray(tag, 4), std::move(table));
  }
  if (!tables.contains("head") || !tables.contains("maxp")) return {};
  // A CFF font keeps its shared glyphs: its outlines are one indexed
  // structure (CharStrings, charset, FDSelect) that a copy would have to
  // rebuild. The fonts the panes ask for are TrueType.
  UnshareGlyphs(tables, characterMap);
  tables.insert_or_assign(QByteArray("cmap"), CharacterMapTable(characterMap));
  tables.insert_or_assign(QByteArray("name"), NameTable(family));
  return FontFile(tables);
}

}  // namespace mirotabe
