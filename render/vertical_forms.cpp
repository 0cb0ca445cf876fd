#include "render/vertical_forms.h"

#include <hb-ot.h>
#include <hb.h>

#include <QByteArray>

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

}  // namespace

struct VerticalForms::HarfBuzz {
  QRawFont font;
  hb_face_t* face = nullptr;
  hb_font_t* hbFont = nullptr;
  hb_buffer_t* buffer = nullptr;

  ~HarfBuzz() {
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
}

VerticalForms::~VerticalForms() = default;

QList<quint32> VerticalForms::GlyphsOf(QStringView text) const {
  hb_buffer_t* buffer = hb_->buffer;
  hb_buffer_clear_contents(buffer);
  hb_buffer_add_utf16(buffer, reinterpret_cast<const std::uint16_t*>(text.utf16()),
                      static_cast<int>(text.size()), 0, static_cast<int>(text.size()));
  hb_buffer_guess_segment_properties(buffer);
  hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
  hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
  static const hb_feature_t kFeatures[] = {
      {HB_TAG('v', 'e', 'r', 't'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {HB_TAG('v', 'r', 't', '2'), 1, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
  };
  hb_shape(hb_->hbFont, buffer, kFeatures, 2);
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
  QList<quint32> glyphs;
  glyphs.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    if (infos[i].codepoint == 0) return {};
    glyphs.push_back(infos[i].codepoint);
  }
  return glyphs;
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
  // Vertical forms are given to punctuation, symbols, kana and the
  // compatibility forms; the ideographs are set upright.
  for (auto& [c, glyph] : map) {
    const bool mayTurn = (c >= 0x2000 && c < 0x3400) || (c >= 0xFE00 && c < 0x10000);
    if (!mayTurn) continue;
    const char16_t unit = static_cast<char16_t>(c);
    const QList<quint32> vertical = GlyphsOf(QStringView(&unit, 1));
    if (vertical.size() == 1) glyph = vertical.front();
  }
  return map;
}

}  // namespace mirotabe
