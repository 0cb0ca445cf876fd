#include "render/unshared_glyphs.h"

#include <QtEndian>
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <vector>

namespace mirotabe {
namespace {

// Where the fields that change sit in their tables.
constexpr qsizetype kIndexToLocFormatAt = 50;  // head
constexpr qsizetype kNumGlyphsAt = 4;          // maxp
constexpr qsizetype kLongMetricsAt = 34;       // hhea and vhea
constexpr qsizetype kPostHeaderSize = 32;
constexpr std::uint32_t kPostWithoutNames = 0x00030000;
constexpr std::uint32_t kMaxGlyphs = 0xFFFF;

std::uint32_t Read16(const QByteArray& table, qsizetype at) {
  return qFromBigEndian<quint16>(table.constData() + at);
}

std::uint32_t Read32(const QByteArray& table, qsizetype at) {
  return qFromBigEndian<quint32>(table.constData() + at);
}

void Write16(QByteArray& table, qsizetype at, std::uint32_t value) {
  qToBigEndian<quint16>(static_cast<quint16>(value), table.data() + at);
}

void Append16(QByteArray& out, std::uint32_t value) {
  const std::size_t at = static_cast<std::size_t>(out.size());
  out.resize(out.size() + 2);
  Write16(out, static_cast<qsizetype>(at), value);
}

void Append32(QByteArray& out, std::uint32_t value) {
  Append16(out, value >> 16);
  Append16(out, value & 0xFFFF);
}

// The glyph each copy is made of, the first copy taking the glyph number
// after the font's last; `map` then sends each character to its own glyph.
std::vector<std::uint32_t> AssignCopies(CharacterMap& map, std::uint32_t glyphCount) {
  std::vector<bool> taken(glyphCount, false);
  std::vector<std::uint32_t> sources;
  for (auto& [c, glyph] : map) {
    // The missing glyph stands for no character, however many reach it.
    if (glyph == 0 || glyph >= glyphCount) continue;
    if (!taken[glyph]) {
      taken[glyph] = true;
      continue;
    }
    sources.push_back(glyph);
    glyph = glyphCount + static_cast<std::uint32_t>(sources.size()) - 1;
  }
  return sources;
}

// The start of each glyph's outline in glyf, and the end of the last.
std::optional<std::vector<std::uint32_t>> ReadLocations(const FontTables& tables,
                                                        std::uint32_t glyphCount) {
  const QByteArray& head = tables.at("head");
  const QByteArray& loca = tables.at("loca");
  const bool longOffsets = Read16(head, kIndexToLocFormatAt) != 0;
  const qsizetype entry = longOffsets ? 4 : 2;
  const qsizetype count = static_cast<qsizetype>(glyphCount) + 1;
  if (loca.size() < entry * count) return std::nullopt;
  std::vector<std::uint32_t> locations;
  locations.reserve(static_cast<std::size_t>(count));
  for (qsizetype g = 0; g < count; ++g) {
    locations.push_back(longOffsets ? Read32(loca, 4 * g) : 2 * Read16(loca, 2 * g));
    if (g != 0 && locations.back() < locations[locations.size() - 2]) return std::nullopt;
  }
  if (locations.back() > static_cast<std::uint32_t>(tables.at("glyf").size())) return std::nullopt;
  return locations;
}

// glyf and loca (in its long form) with the copies' outlines appended.
void AppendOutlines(FontTables& tables, std::vector<std::uint32_t> locations,
                    const std::vector<std::uint32_t>& sources) {
  QByteArray& glyf = tables["glyf"];
  glyf.truncate(locations.back());
  for (const std::uint32_t source : sources) {
    const auto from = static_cast<qsizetype>(locations[source]);
    const auto length = static_cast<qsizetype>(locations[source + 1]) - from;
    glyf.append(QByteArray(glyf.constData() + from, length));
    glyf.append((4 - glyf.size() % 4) % 4, '\0');
    locations.push_back(static_cast<std::uint32_t>(glyf.size()));
  }
  QByteArray loca;
  loca.reserve(4 * static_cast<qsizetype>(locations.size()));
  for (const std::uint32_t location : locations) Append32(loca, location);
  tables["loca"] = loca;
  Write16(tables["head"], kIndexToLocFormatAt, 1);
}

// A metrics table (hmtx or vmtx) with an advance and a side bearing for
// every glyph, the copies' after the font's; its header (hhea or vhea)
// says so. False when the tables are too short for the glyph count.
bool WriteLongMetrics(QByteArray& header, QByteArray& metrics, std::uint32_t glyphCount,
                      const std::vector<std::uint32_t>& sources) {
  if (header.size() < kLongMetricsAt + 2) return false;
  const qsizetype longCount = Read16(header, kLongMetricsAt);
  const auto count = static_cast<qsizetype>(glyphCount);
  if (longCount == 0 || longCount > count ||
      metrics.size() < 4 * longCount + 2 * (count - longCount)) {
    return false;
  }
  const auto advance = [&](qsizetype g) { return Read16(metrics, 4 * std::min(g, longCount - 1)); };
  const auto bearing = [&](qsizetype g) {
    return g < longCount ? Read16(metrics, 4 * g + 2)
                         : Read16(metrics, 4 * longCount + 2 * (g - longCount));
  };
  QByteArray out;
  const qsizetype total = count + static_cast<qsizetype>(sources.size());
  out.reserve(4 * total);
  for (qsizetype g = 0; g < total; ++g) {
    const qsizetype source = g < count ? g : sources[static_cast<std::size_t>(g - count)];
    Append16(out, advance(source));
    Append16(out, bearing(source));
  }
  metrics = out;
  Write16(header, kLongMetricsAt, static_cast<std::uint32_t>(total));
  return true;
}

bool HasTables(const FontTables& tables, std::initializer_list<const char*> tags) {
  return std::all_of(tags.begin(), tags.end(),
                     [&](const char* tag) { return tables.contains(tag); });
}

}  // namespace

bool UnshareGlyphs(FontTables& tables, CharacterMap& characterMap) {
  if (!HasTables(tables, {"head", "maxp", "loca", "glyf", "hhea", "hmtx"})) return false;
  if (tables.at("head").size() < kIndexToLocFormatAt + 2 ||
      tables.at("maxp").size() < kNumGlyphsAt + 2) {
    return false;
  }
  const std::uint32_t glyphCount = Read16(tables.at("maxp"), kNumGlyphsAt);
  CharacterMap map = characterMap;
  const std::vector<std::uint32_t> sources = AssignCopies(map, glyphCount);
  if (sources.empty()) return true;
  if (glyphCount + sources.size() > kMaxGlyphs) return false;
  const std::optional<std::vector<std::uint32_t>> locations = ReadLocations(tables, glyphCount);
  if (!locations) return false;

  FontTables out = tables;
  if (!WriteLongMetrics(out["hhea"], out["hmtx"], glyphCount, sources)) return false;
  if (HasTables(out, {"vhea", "vmtx"}) &&
      !WriteLongMetrics(out["vhea"], out["vmtx"], glyphCount, sources)) {
    return false;
  }
  AppendOutlines(out, *locations, sources);
  Write16(out["maxp"], kNumGlyphsAt, static_cast<std::uint32_t>(glyphCount + sources.size()));
  if (QByteArray& post = out["post"]; post.size() >= kPostHeaderSize) {
    post.truncate(kPostHeaderSize);
    qToBigEndian<quint32>(kPostWithoutNames, post.data());
  } else {
    out.erase("post");
  }
  out.erase("hdmx");
  tables = std::move(out);
  characterMap = std::move(map);
  return true;
}

}  // namespace mirotabe
