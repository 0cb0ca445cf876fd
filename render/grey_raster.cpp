#include "render/grey_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <new>

namespace mirotabe {
namespace {

// Where the spans of one outline go, and in what grey.
struct Target {
  GreyImage* image = nullptr;
  int ink = 0;
};

// FreeType's rows count up from the baseline of its outline space, which is
// the image's turned upside down: row y of the outline is image row -y - 1.
void BlendSpans(int y, int count, const FT_Span* spans, void* user) {
  const Target& target = *static_cast<const Target*>(user);
  GreyImage& image = *target.image;
  const int row = -y - 1;
  if (row < 0 || row >= image.height) return;
  std::uint8_t* line =
      image.pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(image.width);
  for (int i = 0; i < count; ++i) {
    const int begin = std::max(0, static_cast<int>(spans[i].x));
    const int end = std::min(image.width, spans[i].x + static_cast<int>(spans[i].len));
    const int coverage = spans[i].coverage;
    for (int x = begin; x < end; ++x) {
      const int was = line[x];
      line[x] = static_cast<std::uint8_t>(was + ((target.ink - was) * coverage + 127) / 255);
    }
  }
}

FT_Pos Fixed26(double v) {
  return static_cast<FT_Pos>(std::lround(v * 64));
}

FT_Fixed Fixed16(double v) {
  return static_cast<FT_Fixed>(std::lround(v * 65536));
}

// Fills the polygon of `points` (x, y pairs in image pixels, y down).
void FillPolygon(FT_Library library, GreyImage& image, int ink,
                 std::initializer_list<double> points) {
  FT_Vector vectors[8];
  char tags[8];
  short ends[1];
  short n = 0;
  for (const auto* it = points.begin(); it != points.end() && n < 8; it += 2, ++n) {
    vectors[n].x = Fixed26(*it);
    vectors[n].y = -Fixed26(*(it + 1));
    tags[n] = FT_CURVE_TAG_ON;
  }
  ends[0] = static_cast<short>(n - 1);
  FT_Outline outline{};
  outline.n_contours = 1;
  outline.n_points = n;
  outline.points = vectors;
  outline.tags = tags;
  outline.contours = ends;
  Target target{&image, ink};
  FT_Raster_Params params{};
  params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
  params.gray_spans = BlendSpans;
  params.user = &target;
  params.clip_box = {0, -image.height, image.width, 0};
  FT_Outline_Render(library, &outline, &params);
}

void FillRectangle(FT_Library library, GreyImage& image, int ink, double x0, double y0, double x1,
                   double y1) {
  if (x1 <= x0 || y1 <= y0) return;
  FillPolygon(library, image, ink, {x0, y0, x1, y0, x1, y1, x0, y1});
}

// A line with square ends. One that runs along the pixels is set on whole
// pixels, so that a grid of lines a pixel wide stays sharp: the pixels to
// the right of and below its coordinates.
void DrawLine(FT_Library library, GreyImage& image, int ink, double pen, double x1, double y1,
              double x2, double y2) {
  const double half = std::max(pen, 1.0) / 2;
  const auto snap = [](double v) { return std::round(v + 0.5); };
  if (x1 == x2 || y1 == y2) {
    const double left = std::min(x1, x2) - half;
    const double right = std::max(x1, x2) + half;
    const double top = std::min(y1, y2) - half;
    const double bottom = std::max(y1, y2) + half;
    const double l = snap(left);
    const double t = snap(top);
    FillRectangle(library, image, ink, l, t, std::max(l + 1, snap(right)),
                  std::max(t + 1, snap(bottom)));
    return;
  }
  const double length = std::hypot(x2 - x1, y2 - y1);
  const double dx = (x2 - x1) / length * half;
  const double dy = (y2 - y1) / length * half;
  FillPolygon(library, image, ink,
              {x1 - dx + dy, y1 - dy - dx, x2 + dx + dy, y2 + dy - dx, x2 + dx - dy, y2 + dy + dx,
               x1 - dx - dy, y1 - dy + dx});
}

}  // namespace

std::uint8_t GreyOf(Rgb colour) {
  const unsigned r = (colour >> 16) & 0xFF;
  const unsigned g = (colour >> 8) & 0xFF;
  const unsigned b = colour & 0xFF;
  return static_cast<std::uint8_t>((r * 299 + g * 587 + b * 114 + 500) / 1000);
}

struct GreyRaster::FreeType {
  FontChain& fonts;
  FT_Library library = nullptr;
  // The FreeType face of each font of the chain, opened when first drawn.
  std::vector<FT_Face> faces;

  explicit FreeType(FontChain& chain) : fonts(chain) { FT_Init_FreeType(&library); }
  ~FreeType() {
    for (FT_Face face : faces) {
      if (face != nullptr) FT_Done_Face(face);
    }
    if (library != nullptr) FT_Done_FreeType(library);
  }
  FreeType(const FreeType&) = delete;
  FreeType& operator=(const FreeType&) = delete;

  FT_Face FaceOf(std::size_t n) {
    if (faces.size() <= n) faces.resize(fonts.size(), nullptr);
    if (faces[n] == nullptr && library != nullptr) {
      const FontFace* font = fonts.Face(n);
      if (font == nullptr) return nullptr;
      const std::string& bytes = font->bytes();
      FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()),
                         static_cast<FT_Long>(bytes.size()), static_cast<FT_Long>(font->index()),
                         &faces[n]);
    }
    return faces[n];
  }

  void DrawRun(GreyImage& image, const GlyphRun& run) {
    FT_Face face = FaceOf(run.face);
    if (face == nullptr) return;
    // Outlines in font units, scaled here: unhinted, they are the same
    // shapes at every size and on every system.
    // Font units to FreeType's 26.6 pixels.
    const double scale = run.size / face->units_per_EM * 64;
    FT_Matrix matrix;
    if (run.turned) {
      matrix = {0, Fixed16(scale), Fixed16(-scale), 0};
    } else {
      matrix = {Fixed16(scale * run.narrow), 0, 0, Fixed16(scale)};
    }
    Target target{&image, GreyOf(run.colour)};
    FT_Raster_Params params{};
    params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
    params.gray_spans = BlendSpans;
    params.user = &target;
    params.clip_box = {0, -image.height, image.width, 0};
    for (const DrawnGlyph& glyph : run.glyphs) {
      if (FT_Load_Glyph(face, glyph.glyph,
                        FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0 ||
          face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        continue;
      }
      FT_Outline& outline = face->glyph->outline;
      FT_Outline_Transform(&outline, &matrix);
      FT_Outline_Translate(&outline, Fixed26(glyph.x), -Fixed26(glyph.y));
      FT_Outline_Render(library, &outline, &params);
    }
  }
};

GreyRaster::GreyRaster(FontChain& fonts) : ft_(std::make_unique<FreeType>(fonts)) {}

GreyRaster::~GreyRaster() = default;

std::optional<GreyImage> GreyRaster::Draw(const SheetDrawing& drawing) {
  GreyImage image;
  image.width = static_cast<int>(std::lround(drawing.width));
  image.height = static_cast<int>(std::lround(drawing.height));
  try {
    image.pixels.assign(
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
        GreyOf(drawing.background.value_or(kPaperColour)));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  FT_Library library = ft_->library;
  if (library == nullptr) return image;
  for (const DrawingItem& item : drawing.items) {
    if (const auto* step = std::get_if<PaintStep>(&item)) {
      const int ink = GreyOf(step->colour);
      const std::vector<double>& at = step->coordinates;
      for (std::size_t i = 0; i + 3 < at.size(); i += 4) {
        if (step->kind == PaintStep::Kind::kLines) {
          DrawLine(library, image, ink, step->penWidth, at[i], at[i + 1], at[i + 2], at[i + 3]);
        } else {
          FillRectangle(library, image, ink, at[i], at[i + 1], at[i] + at[i + 2],
                        at[i + 1] + at[i + 3]);
        }
      }
    } else if (const auto* run = std::get_if<GlyphRun>(&item)) {
      ft_->DrawRun(image, *run);
    }
  }
  return image;
}

}  // namespace mirotabe
