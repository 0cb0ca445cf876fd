// What a FontFace holds of HarfBuzz, for the painter's own files that read
// the face further (the PDF's font subsets); no other layer sees it.
#pragma once

#include <hb.h>

#include "render/font_face.h"

namespace mirotabe {

struct FontFace::HarfBuzz {
  hb_face_t* face = nullptr;
  hb_font_t* font = nullptr;
  hb_buffer_t* buffer = nullptr;
  hb_set_t* substituted = nullptr;

  HarfBuzz() = default;
  ~HarfBuzz();
  HarfBuzz(const HarfBuzz&) = delete;
  HarfBuzz& operator=(const HarfBuzz&) = delete;
};

}  // namespace mirotabe
