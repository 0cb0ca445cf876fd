#include "render/vertical_forms.h"

#include <hb-ot.h>
#include <hb.h>

#include <QByteArray>

#include "core/glyph_form.h"

namespace mirotabe {
namespace {

// HarfBuzz asks for the font's tables one at a time; Qt hands out copies.
hb_blob_t* ReferenceTable(hb_face_t*, hb_tag_t tag, void* font) {
  char name[4];
  hb_tag_to_string(tag, name);
  auto* table = new QByteArray(static_cast<const QRawFont*>(font)->fontTable(name));
  if (table->isEmpty()) {
    delete table;
    return nullptr;
  }
  return hb_blob_create(table->constData(), static_cast<unsigned>(table->size()),
                        HB_MEMORY_MODE_READONLY, table,
                        [](void* bytes) { delete static_cast<QByteArray*>(bytes); });
}

constexpr hb_tag_t kVert = HB_TAG('v', 'e', 'r', 't');
constexpr hb_tag_t kVrt2 = HB_TAG('v', 'r', 't', '2');

}  // namespace

struct VerticalForms::HarfBuzz {
  QRawFont font;
  hb_face_t* face = nullptr;
  hb_font_t* hbFont = nullptr;
  hb_buffer_t* buffer = nullptr;
  // The glyphs that the vertical substitutions of any script and language
  // replace: a character whose glyph is not among them has no form, and
  // is not shaped.
  hb_set_t* substituted = nullptr;

  ~HarfBuzz() {
    hb_set_destroy(substituted);
    hb_buffer_destroy(buffer);
    hb_font_destroy(hbFont);
    hb_face_destroy(face);
  }
};

VerticalForms::VerticalForms(const QRawFont& font) : hb_(std::make_unique<HarfBuzz>()) {
  hb_->font = font;
  // The face keeps a pointer to the copy of the font held in hb_, which
  // outlives it.
  hb_->face = hb_face_create_for_tables(ReferenceTable, &hb_->font, nullptr);
  hb_->hbFont = hb_font_create(hb_->face);
  hb_->buffer = hb_buffer_create();
  hb_->substituted = hb_set_create();
  const hb_tag_t features[] = {kVert, kVrt2, HB_TAG_NONE};
  hb_set_t* lookups = hb_set_create();
  hb_ot_layout_collect_lookups(hb_->face, HB_OT_TAG_GSUB, nullptr, nullptr, features, lookups);
  for (hb_codepoint_t lookup = HB_SET_VALUE_INVALID; hb_set_next(lookups, &lookup) != 0;) {
    hb_ot_layout_lookup_collect_glyphs(hb_->face, HB_OT_TAG_GSUB, lookup, nullptr, hb_->substituted,
                                       nullptr, nullptr);
  }
  hb_set_destroy(lookups);
}

VerticalForms::~VerticalForms() = default;

std::optional<std::uint32_t> VerticalForms::VerticalGlyphOf(char32_t c) const {
  hb_codepoint_t nominal = 0;
  if (hb_font_get_nominal_glyph(hb_->hbFont, c, &nominal) == 0 ||
      hb_set_has(hb_->substituted, nominal) == 0) {
    return std::nullopt;
  }
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
  hb_shape(hb_->hbFont, buffer, kFeatures, 2);
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
  if (count != 1 || infos[0].codepoint == 0 || infos[0].codepoint == nominal) return std::nullopt;
  return infos[0].codepoint;
}

std::map<char32_t, std::uint32_t> VerticalForms::CharacterMap() const {
  std::map<char32_t, std::uint32_t> map;
  hb_set_t* characters = hb_set_create();
  hb_face_collect_unicodes(hb_->face, characters);
  for (hb_codepoint_t c = HB_SET_VALUE_INVALID; hb_set_next(characters, &c) != 0;) {
    hb_codepoint_t glyph = 0;
    if (hb_font_get_nominal_glyph(hb_->hbFont, c, &glyph) != 0) map[c] = glyph;
  }
  hb_set_destroy(characters);
  return map;
}

std::map<char32_t, std::uint32_t> VerticalForms::VerticalCharacterMap() const {
  std::map<char32_t, std::uint32_t> map = CharacterMap();
  for (auto& [c, glyph] : map) {
    const CellOrientation orientation = OrientationOfCharacter(c);
    if (orientation == CellOrientation::kTurned) continue;
    if (const auto vertical = VerticalGlyphOf(c)) glyph = *vertical;
  }
  return map;
}

}  // namespace mirotabe
