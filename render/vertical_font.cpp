#include "render/vertical_font.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <array>
#include <vector>

#include "render/vertical_forms.h"

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
QByteArray CharacterMapTable(const std::map<char32_t, std::uint32_t>& map) {
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

std::uint32_t CheckSum(const QByteArray& table) {
  std::uint32_t sum = 0;
  for (qsizetype i = 0; i < table.size(); i += 4) {
    std::uint32_t word = 0;
    for (qsizetype k = 0; k < 4; ++k) {
      word = (word << 8) | (i + k < table.size() ? static_cast<std::uint8_t>(table[i + k]) : 0U);
    }
    sum += word;
  }
  return sum;
}

}  // namespace

QByteArray FontWithCharacterMap(const QRawFont& font,
                                const std::map<char32_t, std::uint32_t>& characterMap,
                                const QString& family) {
  std::map<QByteArray, QByteArray> tables;  // sorted by tag, as the directory must be
  for (const char* tag : kCopiedTables) {
    QByteArray table = font.fontTable(tag);
    if (!table.isEmpty()) tables.emplace(QByteArray(tag, 4), std::move(table));
  }
  if (!tables.contains("head") || !tables.contains("maxp")) return {};
  tables.emplace(QByteArray("cmap"), CharacterMapTable(characterMap));
  tables.emplace(QByteArray("name"), NameTable(family));

  const auto count = static_cast<std::uint32_t>(tables.size());
  std::uint32_t power = 1;
  std::uint32_t log = 0;
  while (power * 2 <= count) {
    power *= 2;
    ++log;
  }
  QByteArray out;
  Put32(out, tables.contains("CFF ") ? 0x4F54544F : 0x00010000);
  Put16(out, count);
  Put16(out, power * 16);
  Put16(out, log);
  Put16(out, count * 16 - power * 16);
  auto offset = static_cast<std::uint32_t>(12 + 16 * count);
  for (const auto& [tag, table] : tables) {
    out.append(tag);
    Put32(out, CheckSum(table));
    Put32(out, offset);
    Put32(out, static_cast<std::uint32_t>(table.size()));
    offset += static_cast<std::uint32_t>((table.size() + 3) / 4 * 4);
  }
  for (const auto& [tag, table] : tables) {
    out.append(table);
    out.append(static_cast<char>((4 - table.size() % 4) % 4), '\0');
  }
  return out;
}

QString VerticalFontFamily(const QRawFont& font) {
  static QMutex mutex;
  static QHash<QString, QString> made;
  const QString key = font.familyName() + QChar(u'\n') + font.styleName();
  const QMutexLocker lock(&mutex);
  if (const auto found = made.constFind(key); found != made.constEnd()) return *found;
  const QString family = QStringLiteral("Mirotabe Vertical ") + font.familyName();
  const QByteArray data =
      FontWithCharacterMap(font, VerticalForms(font).VerticalCharacterMap(), family);
  const int id = data.isEmpty() ? -1 : QFontDatabase::addApplicationFontFromData(data);
  const QStringList families = QFontDatabase::applicationFontFamilies(id);
  QString registered = families.contains(family) ? family : QString();
  made.insert(key, registered);
  return registered;
}

}  // namespace mirotabe
