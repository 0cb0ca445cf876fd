// The fonts a drawing is set in, in order of preference: a character is
// drawn from the first that has it. Each font is read only when a
// character first needs it, so that the fonts for what the first lacks
// cost nothing where the text never reaches them.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/font_face.h"

namespace mirotabe {

// Where a font's bytes come from: a loader called at most once, which
// gives nothing when the font cannot be had, and the face of the file.
struct FontSource {
  std::function<std::shared_ptr<const std::string>()> load;
  unsigned index = 0;
};

class FontChain {
 public:
  explicit FontChain(std::vector<FontSource> sources);

  std::size_t size() const { return faces_.size(); }
  // Font `n` of the chain, read when first asked for; null when it cannot
  // be read or holds no font.
  const FontFace* Face(std::size_t n);
  // The first font of the chain that can be read: the one whose metrics
  // set the cells. Null when none can.
  const FontFace* Primary();
  std::optional<std::size_t> PrimaryIndex();
  // The first font that has `c`.
  std::optional<std::size_t> FaceWith(char32_t c);

 private:
  struct Slot {
    FontSource source;
    bool tried = false;
    std::unique_ptr<FontFace> face;
  };
  std::vector<Slot> faces_;
};

}  // namespace mirotabe
