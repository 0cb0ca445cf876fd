// Pages for print: the paper, its margins and how many characters and
// columns each page holds, and the geometry that follows from them.
//
// The columns of a page stand right to left from the right margin, each a
// column of square cells set solid, top to bottom from the top margin, and
// continue on the next page. Characters per column and columns per page
// are as many as fit unless given. 原稿用紙 is A4 landscape with 20 × 20
// squares in two halves of 10 columns, the centre band (柱) between them;
// each column has a narrow strip to its right, where a writer puts the
// readings of its words, and the frame and the band are ruled half a strip
// clear of the squares and strips beside them.
// All lengths are in PDF points (1/72 inch).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/layout_settings.h"
#include "core/picture_style.h"

namespace mirotabe {

enum class Paper : std::uint8_t { kA4, kB5, kA5, kB6, kA6, kLetter, kGenkou };
inline constexpr int kMaxPaper = static_cast<int>(Paper::kGenkou);

inline constexpr double kDefaultCharacterPoints = 10.5;
inline constexpr double kMinCharacterPoints = 4;
inline constexpr double kMaxCharacterPoints = 72;
inline constexpr int kDefaultMarginMm = 15;
inline constexpr int kMaxMarginMm = 50;
inline constexpr int kGenkouSquares = 20;
// The most columns a page can be asked to hold.
inline constexpr std::size_t kMaxPageColumns = 999;
// A page number stands at least this far inside the paper's edge, clear of
// where printers cut and cannot print.
inline constexpr double kPageNumberInsetMm = 8;

struct PageSetup {
  // Off: a PDF is cut into sheets as large as the picture, as without pages.
  bool enabled = false;
  Paper paper = Paper::kA4;
  bool landscape = false;
  int marginMm = kDefaultMarginMm;
  // The side of a character's square.
  double characterPoints = kDefaultCharacterPoints;
  // 0: as many as fit.
  std::size_t columnLength = 0;
  std::size_t columns = 0;
  bool pageNumbers = false;
  // The line-breaking rule of pages. Unset, pages push out (追い出し), as a
  // book's page is set, unless the layout's own rule is on: settings
  // written before pages had a rule of their own then keep their pages.
  std::optional<Kinsoku> kinsoku = std::nullopt;
  // The space between columns in ems (kMinColumnSpacing..kMaxColumnSpacing);
  // unset, the paper's own design (see PageColumnSpacing). 原稿用紙 keeps
  // its printed ruling whatever this says.
  std::optional<double> columnSpacing = std::nullopt;
  // Pages are set in the face of books unless the user asks otherwise.
  Typeface face = Typeface::kMincho;

  friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

struct PageGeometry {
  double width = 0;
  double height = 0;
  double cell = 0;         // the side of a square
  double columnPitch = 0;  // from one column's left edge to the next one's
  std::size_t cellsPerColumn = 0;
  std::size_t columnsPerPage = 0;
  double top = 0;    // the top of the first square
  double right = 0;  // the right edge of the first column
  bool genkou = false;
  double bandWidth = 0;  // 原稿用紙: the centre band between its lines
  // The size of the characters, centred in their squares: on 原稿用紙 a
  // little smaller than the square, so that no stroke meets its lines.
  double character = 0;
  // The band below the text that the page number is centred in; its bottom
  // is kPageNumberInsetMm inside the paper's edge.
  double footTop = 0;
  double footBottom = 0;

  // The left edge of the page's column `k`, 0 being the rightmost.
  double ColumnLeft(std::size_t k) const;
};

PageGeometry PageGeometryOf(const PageSetup& setup);

// The space between the columns of `setup`'s pages, in ems of a square.
double PageColumnSpacing(const PageSetup& setup);

// The size of a page number's characters: a little smaller than the
// text's, and no larger than the band below the text.
double PageNumberSize(const PageGeometry& geometry);

// The line-breaking rule of pages under `setup`, the layout's own rule
// being `layout`.
Kinsoku PageKinsoku(const PageSetup& setup, Kinsoku layout);

// How pages under `setup` set the half-width digits and Latin: as
// `layout` chooses, else as a book does, two-digit numbers in one cell
// (縦中横) and Latin sideways, but 原稿用紙, which writes a letter to a
// square. Bases with long readings are spaced out but on 原稿用紙. The
// advances are the half-width forms' until a painter measures its font's.
Typesetting PageTypesetting(const LayoutSettings& layout, const PageSetup& setup);

// The same for pictures, which keep a character to a cell unless `layout`
// chooses otherwise. Bases with long readings are spaced out too: by whole
// cells where the cells keep their grid.
Typesetting PictureTypesetting(const LayoutSettings& layout);

// The layout settings a picture in `style` needs of its own: `layout`'s,
// with ruby as the style chooses and the pictures' typesetting; nothing
// when neither is on, and the layout the text is shown in serves.
std::optional<LayoutSettings> PictureLayoutSettings(const LayoutSettings& layout,
                                                    const PictureStyle& style);

// The layout settings for pages: `layout`'s own, with columns no longer
// than a page's, the line-breaking rule of `setup` and its typesetting.
LayoutSettings PageLayoutSettings(const LayoutSettings& layout, const PageSetup& setup,
                                  const PageGeometry& geometry);

// The pages `columns` columns take, at least one.
std::size_t PageCount(std::size_t columns, const PageGeometry& geometry);

// The name the page setup dialogs give `paper`, in UTF-8.
std::string_view PaperLabel(Paper paper);

// "a4", "b5", "a5", "b6", "a6", "letter", "genkou".
std::optional<Paper> PaperNamed(std::string_view name);

}  // namespace mirotabe
