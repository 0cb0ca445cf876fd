#include "render/font_face.h"

#include <hb-ot.h>
#include <hb.h>

#include "render/font_face_harfbuzz.h"

namespace mirotabe {
namespace {

constexpr hb_tag_t kVert = HB_TAG('v', 'e', 'r', 't');
constexpr hb_tag_t kVrt2 = HB_TAG('v', 'r', 't', '2');

// Letters, digits and a few marks: what a PDF name and a PostScript name
// share without escapes.
std::string PlainName(const std::string& name) {
  std::string plain;
  for (const char c : name) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (letter || c == '-' || c == '_') plain.push_back(c);
  }
  return plain.empty() ? std::string("Font") : plain;
}

std::string NameOf(hb_face_t* face, hb_ot_name_id_t id) {
  unsigned length = 128;
  char text[128];
  hb_ot_name_get_utf8(face, id, HB_LANGUAGE_INVALID, &length, text);
  return std::string(text, length);
}

}  // namespace

FontFace::HarfBuzz::~HarfBuzz() {
  hb_set_destroy(substituted);
  hb_buffer_destroy(buffer);
  hb_font_destroy(font);
  hb_face_destroy(face);
}

FontFace::FontFace(std::shared_ptr<const std::string> bytes, unsigned index)
    : bytes_(std::move(bytes)), index_(index), hb_(std::make_unique<HarfBuzz>()) {}

FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::FromBytes(const std::shared_ptr<const std::string>& bytes,
                                              unsigned index) {
  if (!bytes || bytes->empty()) return nullptr;
  std::unique_ptr<FontFace> font(new FontFace(bytes, index));
  // The face reads the bytes in place: the FontFace keeps them.
  hb_blob_t* blob = hb_blob_create(bytes->data(), static_cast<unsigned>(bytes->size()),
                                   HB_MEMORY_MODE_READONLY, nullptr, nullptr);
  HarfBuzz& hb = *font->hb_;
  hb.face = hb_face_create(blob, index);
  hb_blob_destroy(blob);
  if (hb_face_get_glyph_count(hb.face) == 0) return nullptr;
  hb.font = hb_font_create(hb.face);
  font->unitsPerEm_ = hb_face_get_upem(hb.face);
  // Unscaled: every metric is in font units.
  hb_font_set_scale(hb.font, static_cast<int>(font->unitsPerEm_),
                    static_cast<int>(font->unitsPerEm_));
  hb_font_extents_t extents{};
  hb_font_get_h_extents(hb.font, &extents);
  font->ascent_ = extents.ascender;
  font->descent_ = -static_cast<double>(extents.descender);
  font->postScriptName_ = PlainName(NameOf(hb.face, HB_OT_NAME_ID_POSTSCRIPT_NAME));
  hb_blob_t* glyf = hb_face_reference_table(hb.face, HB_TAG('g', 'l', 'y', 'f'));
  font->trueType_ = hb_blob_get_length(glyf) != 0;
  hb_blob_destroy(glyf);
  hb.buffer = hb_buffer_create();
  // The glyphs that the vertical substitutions of any script and language
  // replace: a character whose glyph is not among them has no form, and
  // is not shaped.
  hb.substituted = hb_set_create();
  const hb_tag_t features[] = {kVert, kVrt2, HB_TAG_NONE};
  hb_set_t* lookups = hb_set_create();
  hb_ot_layout_collect_lookups(hb.face, HB_OT_TAG_GSUB, nullptr, nullptr, features, lookups);
  for (hb_codepoint_t lookup = HB_SET_VALUE_INVALID; hb_set_next(lookups, &lookup) != 0;) {
    hb_ot_layout_lookup_collect_glyphs(hb.face, HB_OT_TAG_GSUB, lookup, nullptr, hb.substituted,
                                       nullptr, nullptr);
  }
  hb_set_destroy(lookups);
  return font;
}

std::optional<std::uint32_t> FontFace::GlyphOf(char32_t c) const {
  hb_codepoint_t glyph = 0;
  if (hb_font_get_nominal_glyph(hb_->font, c, &glyph) == 0 || glyph == 0) return std::nullopt;
  return glyph;
}

std::optional<std::uint32_t> FontFace::VerticalGlyphOf(char32_t c) const {
  const std::optional<std::uint32_t> nominal = GlyphOf(c);
  if (!nominal || hb_set_has(hb_->substituted, *nominal) == 0) return std::nullopt;
  hb_buffer_t* buffer = hb_->buffer;
  hb_buffer_clear_contents(buffer);
  const auto unit = static_cast<std::uint32_t>(c);
  hb_buffer_add_utf32(buffer, &unit, 1, 0, 1);
  hb_buffer_guess_segment_properties(buffer);
  hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
  hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
  static const hb_feature_t kFeatures[] = {
      {kVert, 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {kVrt2, 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
  };
  hb_shape(hb_->font, buffer, kFeatures, 2);
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
  if (count != 1 || infos[0].codepoint == 0 || infos[0].codepoint == *nominal) return std::nullopt;
  return infos[0].codepoint;
}

double FontFace::AdvanceOf(std::uint32_t glyph) const {
  return hb_font_get_glyph_h_advance(hb_->font, glyph);
}

GlyphInk FontFace::InkOf(std::uint32_t glyph) const {
  hb_glyph_extents_t extents{};
  if (hb_font_get_glyph_extents(hb_->font, glyph, &extents) == 0) return {};
  return GlyphInk{static_cast<double>(extents.x_bearing), static_cast<double>(extents.y_bearing),
                  static_cast<double>(extents.width), -static_cast<double>(extents.height)};
}

}  // namespace mirotabe
