// How the layout is drawn as a picture (PNG or PDF): the size of a cell,
// the space between the columns, whether the manuscript-paper lines are
// drawn, and whether ruby is set. The settings file keeps them (see
// core/settings.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/notation.h"

namespace mirotabe {

enum class PictureFormat { Png, Pdf };

// The face that pictures and pages are drawn in: a Mincho, the face of
// books, or a Gothic, even-stroked, that reads well on a screen and small.
enum class Typeface : std::uint8_t { kMincho = 0, kGothic = 1 };
inline constexpr int kMaxTypeface = static_cast<int>(Typeface::kGothic);

// "mincho", "gothic".
std::optional<Typeface> TypefaceNamed(std::string_view name);

inline constexpr int kDefaultCellSize = 24;
inline constexpr int kMinCellSize = 8;
inline constexpr int kMaxCellSize = 256;

// The space between columns, in ems of the characters: from half an em to
// one, as books set them. Columns that touch read as one block of text.
inline constexpr double kMinColumnSpacing = 0.5;
inline constexpr double kMaxColumnSpacing = 1;
inline constexpr double kDefaultColumnSpacing = 0.5;

struct PictureStyle {
  // The width of a cell in pixels: one full-width character of the pane font.
  int cellSize = kDefaultCellSize;
  // Lines around every cell, as on manuscript paper.
  bool grid = false;
  // The font's vertical forms of the glyphs (ー as a vertical stroke,
  // brackets turned, 、。 at the top right); upright glyphs when off.
  bool verticalGlyphs = true;
  // Ruby written as ｜base《reading》 or 漢字《よみ》 set beside its base.
  // Unset, pages set it, as books do, and pictures show the marks as
  // typed: a picture for posting shows what its writer typed.
  std::optional<bool> ruby = std::nullopt;
  // The space between two columns, in ems; not the text's blank columns
  // (LayoutSettings::columnGap), which stand in the text itself.
  double columnSpacing = kDefaultColumnSpacing;
  // The notation texts are read in; unset, each output's own (see
  // NotationFor).
  std::optional<Notation> notation = std::nullopt;

  friend bool operator==(const PictureStyle&, const PictureStyle&) = default;
};

inline bool RubyInPictures(const PictureStyle& style) {
  return style.ruby.value_or(false);
}
inline bool RubyInPages(const PictureStyle& style) {
  return style.ruby.value_or(true);
}

inline bool IsValidCellSize(long long size) {
  return size >= kMinCellSize && size <= kMaxCellSize;
}

inline bool IsValidColumnSpacing(double em) {
  return em >= kMinColumnSpacing && em <= kMaxColumnSpacing;
}

}  // namespace mirotabe
