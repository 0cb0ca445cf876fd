#include "render/font_chain.h"

#include <utility>

namespace mirotabe {

FontChain::FontChain(std::vector<FontSource> sources) {
  faces_.reserve(sources.size());
  for (FontSource& source : sources) faces_.push_back(Slot{std::move(source), false, nullptr});
}

const FontFace* FontChain::Face(std::size_t n) {
  if (n >= faces_.size()) return nullptr;
  Slot& slot = faces_[n];
  if (!slot.tried) {
    slot.tried = true;
    if (slot.source.load) slot.face = FontFace::FromBytes(slot.source.load(), slot.source.index);
  }
  return slot.face.get();
}

std::optional<std::size_t> FontChain::PrimaryIndex() {
  for (std::size_t n = 0; n < faces_.size(); ++n) {
    if (Face(n) != nullptr) return n;
  }
  return std::nullopt;
}

const FontFace* FontChain::Primary() {
  const std::optional<std::size_t> n = PrimaryIndex();
  return n ? Face(*n) : nullptr;
}

std::optional<std::size_t> FontChain::FaceWith(char32_t c) {
  for (std::size_t n = 0; n < faces_.size(); ++n) {
    const FontFace* face = Face(n);
    if (face != nullptr && face->GlyphOf(c)) return n;
  }
  return std::nullopt;
}

}  // namespace mirotabe
