// How the layout is drawn as a picture (PNG or PDF): the size of a cell and
// whether the manuscript-paper lines are drawn, and where the settings file
// keeps them: section "Layout", keys "ImageCellSize" and "ImageGrid".
#pragma once

#include <string>

#include "platform/io_error.h"

namespace mirotabe {

enum class PictureFormat { Png, Pdf };

inline constexpr int kDefaultCellSize = 24;
inline constexpr int kMinCellSize = 8;
inline constexpr int kMaxCellSize = 256;

struct PictureStyle {
  // The width of a cell in pixels: one full-width character of the pane font.
  int cellSize = kDefaultCellSize;
  // Lines around every cell, as on manuscript paper.
  bool grid = false;

  friend bool operator==(const PictureStyle&, const PictureStyle&) = default;
};

inline bool IsValidCellSize(long long size) {
  return size >= kMinCellSize && size <= kMaxCellSize;
}

// The style kept in the settings file at `file`. A missing file or key, or
// a value out of range, gives that field's default.
PictureStyle LoadPictureStyle(const std::string& file);

// Writes both keys to `file` in one atomic replace; other lines stay.
IoStatus SavePictureStyle(const PictureStyle& style, const std::string& file);

}  // namespace mirotabe
