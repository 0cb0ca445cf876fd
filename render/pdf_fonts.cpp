#include "render/pdf_fonts.h"

#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <array>

#include "render/font_face_harfbuzz.h"

namespace mirotabe {
namespace {

// More CIDs than two bytes hold cannot be drawn; past them a glyph keeps
// the CID it first took.
constexpr std::size_t kMaxCids = 0xFFFF;

void AppendHex(std::string& out, std::uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    out.push_back(kDigits[(value >> shift) & 0xF]);
  }
}

std::string Reference(int object) {
  return std::to_string(object) + " 0 R";
}

// The six capitals that mark a font as a subset, from what it holds, so
// that the same subset has the same name on every run.
std::string SubsetTag(const std::string& name, const std::vector<std::uint32_t>& glyphs) {
  std::uint64_t hash = 1469598103934665603ULL;
  const auto mix = [&](std::uint64_t byte) {
    hash ^= byte;
    hash *= 1099511628211ULL;
  };
  for (const char c : name) mix(static_cast<unsigned char>(c));
  for (const std::uint32_t glyph : glyphs) {
    for (int shift = 0; shift < 32; shift += 8) mix((glyph >> shift) & 0xFF);
  }
  std::string tag;
  for (int i = 0; i < 6; ++i) {
    tag.push_back(static_cast<char>('A' + hash % 26));
    hash /= 26;
  }
  return tag;
}

// The font's box of every glyph, from its header, in font units.
std::array<int, 4> FontBox(const FontFace& face) {
  hb_blob_t* head = hb_face_reference_table(face.harfBuzz().face, HB_TAG('h', 'e', 'a', 'd'));
  unsigned length = 0;
  const char* data = hb_blob_get_data(head, &length);
  std::array<int, 4> box{0, -static_cast<int>(face.Descent()), static_cast<int>(face.UnitsPerEm()),
                         static_cast<int>(face.Ascent())};
  if (length >= 44) {
    for (int i = 0; i < 4; ++i) {
      const auto high = static_cast<unsigned char>(data[36 + 2 * i]);
      const auto low = static_cast<unsigned char>(data[37 + 2 * i]);
      box[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(high << 8 | low);
    }
  }
  hb_blob_destroy(head);
  return box;
}

// The subset of `face` holding `glyphs`, and where each glyph went in it;
// empty where the subsetter fails.
std::string Subset(const FontFace& face, const std::vector<std::uint32_t>& glyphs,
                   std::vector<std::uint32_t>& newGlyphs) {
  hb_subset_input_t* input = hb_subset_input_create_or_fail();
  if (input == nullptr) return {};
  hb_set_t* kept = hb_subset_input_glyph_set(input);
  for (const std::uint32_t glyph : glyphs) hb_set_add(kept, glyph);
  // A PDF's viewer draws the glyphs it is given: the tables that choose
  // glyphs, and the hints of the outlines at small sizes, are of no use.
  hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_NO_HINTING);
  hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (const hb_tag_t tag :
       {HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'), HB_TAG('G', 'D', 'E', 'F'),
        HB_TAG('B', 'A', 'S', 'E'), HB_TAG('J', 'S', 'T', 'F'), HB_TAG('v', 'h', 'e', 'a'),
        HB_TAG('v', 'm', 't', 'x'), HB_TAG('V', 'O', 'R', 'G'), HB_TAG('D', 'S', 'I', 'G'),
        HB_TAG('h', 'd', 'm', 'x'), HB_TAG('V', 'D', 'M', 'X'), HB_TAG('L', 'T', 'S', 'H')}) {
    hb_set_add(dropped, tag);
  }
  hb_subset_plan_t* plan = hb_subset_plan_create_or_fail(face.harfBuzz().face, input);
  hb_subset_input_destroy(input);
  if (plan == nullptr) return {};
  const hb_map_t* map = hb_subset_plan_old_to_new_glyph_mapping(plan);
  newGlyphs.clear();
  for (const std::uint32_t glyph : glyphs) {
    const hb_codepoint_t moved = hb_map_get(map, glyph);
    newGlyphs.push_back(moved == HB_MAP_VALUE_INVALID ? 0 : moved);
  }
  hb_face_t* subset = hb_subset_plan_execute_or_fail(plan);
  hb_subset_plan_destroy(plan);
  if (subset == nullptr) return {};
  hb_blob_t* blob = hb_face_reference_blob(subset);
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob, &length);
  std::string bytes(data, length);
  hb_blob_destroy(blob);
  hb_face_destroy(subset);
  return bytes;
}

std::string ToUnicodeMap(const std::vector<std::u16string>& texts) {
  std::string map =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo <</Registry (Adobe) /Ordering (UCS) /Supplement 0>> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::size_t> named;
  for (std::size_t cid = 0; cid < texts.size(); ++cid) {
    if (!texts[cid].empty()) named.push_back(cid);
  }
  // At most a hundred entries to a block, as the CMap format has it.
  for (std::size_t at = 0; at < named.size(); at += 100) {
    const std::size_t count = std::min<std::size_t>(100, named.size() - at);
    map += std::to_string(count) + " beginbfchar\n";
    for (std::size_t i = at; i < at + count; ++i) {
      map += '<';
      AppendHex(map, static_cast<std::uint32_t>(named[i]), 4);
      map += "> <";
      for (const char16_t unit : texts[named[i]]) AppendHex(map, unit, 4);
      map += ">\n";
    }
    map += "endbfchar\n";
  }
  map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  return map;
}

}  // namespace

PdfFonts::PdfFonts(FontChain& fonts) : fonts_(fonts) {}

int PdfFonts::ObjectOf(std::size_t face, PdfFile& file) {
  if (embedded_.size() <= face) embedded_.resize(face + 1);
  Embedded& font = embedded_[face];
  if (font.object == 0) font.object = file.Reserve();
  return font.object;
}

unsigned PdfFonts::CidOf(std::size_t face, std::uint32_t glyph, std::u16string_view text) {
  if (embedded_.size() <= face) embedded_.resize(face + 1);
  Embedded& font = embedded_[face];
  if (glyph == 0 && text.empty()) return 0;
  std::u16string key;
  key.reserve(2 + text.size());
  key.push_back(static_cast<char16_t>(glyph >> 16));
  key.push_back(static_cast<char16_t>(glyph & 0xFFFF));
  key.append(text);
  const auto found = font.cids.find(key);
  if (found != font.cids.end()) return found->second;
  if (font.glyphs.size() >= kMaxCids) {
    const auto first = std::find(font.glyphs.begin(), font.glyphs.end(), glyph);
    return first == font.glyphs.end() ? 0 : static_cast<unsigned>(first - font.glyphs.begin());
  }
  const auto cid = static_cast<unsigned>(font.glyphs.size());
  font.glyphs.push_back(glyph);
  font.texts.emplace_back(text);
  font.cids.emplace(std::move(key), cid);
  return cid;
}

bool PdfFonts::Write(PdfFile& file) {
  bool written = true;
  for (std::size_t n = 0; n < embedded_.size(); ++n) {
    if (embedded_[n].object == 0) continue;
    const FontFace* face = fonts_.Face(n);
    written = face != nullptr && WriteFont(file, *face, embedded_[n]) && written;
  }
  return written;
}

bool PdfFonts::WriteFont(PdfFile& file, const FontFace& face, const Embedded& font) {
  std::vector<std::uint32_t> glyphs = font.glyphs;
  std::sort(glyphs.begin(), glyphs.end());
  glyphs.erase(std::unique(glyphs.begin(), glyphs.end()), glyphs.end());
  std::vector<std::uint32_t> moved;
  const std::string program = Subset(face, glyphs, moved);
  if (program.empty()) return false;
  const auto newGlyphOf = [&](std::uint32_t glyph) {
    const auto at = std::lower_bound(glyphs.begin(), glyphs.end(), glyph);
    return moved[static_cast<std::size_t>(at - glyphs.begin())];
  };
  const std::string name = SubsetTag(face.PostScriptName(), glyphs) + "+" + face.PostScriptName();
  const int cidFont = file.Reserve();
  const int descriptor = file.Reserve();
  const int fontFile = file.Reserve();
  const int toUnicode = file.Reserve();
  const int cidToGid = file.Reserve();
  const double perMille = 1000.0 / face.UnitsPerEm();
  const auto thousandths = [&](double units) {
    std::string out;
    AppendNumber(out, units * perMille, 0);
    return out;
  };

  file.Object(font.object, "<</Type /Font /Subtype /Type0 /BaseFont /" + name +
                               " /Encoding /Identity-H /DescendantFonts [" + Reference(cidFont) +
                               "] /ToUnicode " + Reference(toUnicode) + ">>");
  std::string widths = "[0 [";
  for (std::size_t cid = 0; cid < font.glyphs.size(); ++cid) {
    if (cid != 0) widths += ' ';
    widths += thousandths(face.AdvanceOf(font.glyphs[cid]));
  }
  widths += "]]";
  file.Object(cidFont, "<</Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                           " /CIDSystemInfo <</Registry (Adobe) /Ordering (Identity) /Supplement "
                           "0>> /FontDescriptor " +
                           Reference(descriptor) + " /DW 1000 /W " + widths + " /CIDToGIDMap " +
                           Reference(cidToGid) + ">>");
  const std::array<int, 4> box = FontBox(face);
  file.Object(descriptor, "<</Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [" +
                              thousandths(box[0]) + " " + thousandths(box[1]) + " " +
                              thousandths(box[2]) + " " + thousandths(box[3]) +
                              "] /ItalicAngle 0 /Ascent " + thousandths(face.Ascent()) +
                              " /Descent -" + thousandths(face.Descent()) + " /CapHeight " +
                              thousandths(face.Ascent()) + " /StemV 80 /FontFile2 " +
                              Reference(fontFile) + ">>");
  file.Stream(fontFile, program, " /Length1 " + std::to_string(program.size()));
  file.Stream(toUnicode, ToUnicodeMap(font.texts));
  std::string map;
  map.reserve(2 * font.glyphs.size());
  for (const std::uint32_t glyph : font.glyphs) {
    const std::uint32_t to = newGlyphOf(glyph);
    map.push_back(static_cast<char>(to >> 8));
    map.push_back(static_cast<char>(to & 0xFF));
  }
  file.Stream(cidToGid, map);
  return true;
}

}  // namespace mirotabe
