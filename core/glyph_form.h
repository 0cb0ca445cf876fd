// How the glyph of a cell is set in vertical writing: the one rule that the
// output pane's 縦組み表示, the pictures and the pages draw by.
//
// With glyph forms on, the character's Vertical_Orientation decides. Those
// set on their side in vertical text (R: －, “ ”, dashes, arrows, ＝) are
// turned a quarter turn clockwise. The others take the font's vertical form
// where the font has one (ー as a vertical stroke, brackets turned, 、。 at
// the top right, small kana placed for vertical writing); where it has
// none, they stand upright (U, Tu: kanji, kana, full-width letters and
// digits, 、。) or are turned (Tr: ー, brackets, ：；).
//
// A cell that a replacement entry made is drawn as it stands: the table's
// author chose its characters for how they look, and a vertical form on top
// would turn them a second time (the ｜ that stands for ー, the ┐ └ that
// stand for 「 」). With glyph forms off every cell stands as it is.
//
// Whether a font has a vertical form is the painter's to find out, since
// the fonts differ between the editions; this rule says when to ask and
// what the answer means.
#pragma once

#include <cstdint>
#include <string_view>

namespace mirotabe {

// What a cell asks of the font.
enum class CellOrientation : std::uint8_t {
  kAsItStands,         // its own glyph, upright; the font is not asked
  kVerticalOrUpright,  // the font's vertical form, else its own glyph upright
  kVerticalOrTurned,   // the font's vertical form, else its own glyph turned
  kTurned,             // its own glyph turned; the font is not asked
};

// How the glyph is drawn in the end.
enum class GlyphForm : std::uint8_t {
  kUpright,   // the character's own glyph, as in horizontal text
  kVertical,  // the font's vertical form (OpenType vert/vrt2)
  kTurned,    // the character's own glyph turned 90° clockwise in its cell
};

// The orientation of `c` with glyph forms on, in a cell no entry made.
CellOrientation OrientationOfCharacter(char32_t c);

// The orientation of `cell` (its UTF-16 units): as it stands with glyph
// forms off, for a cell that a replacement entry made (`fromEntry`), and
// for a cell of more than one character, which only an entry makes.
CellOrientation OrientationOfCell(std::u16string_view cell, bool glyphForms, bool fromEntry);

// The form a cell of `orientation` is drawn in, given whether the font has
// a vertical form for its character.
GlyphForm FormOfGlyph(CellOrientation orientation, bool fontHasVerticalForm);

// How a painter that cannot ask its font for vertical forms (the browser's
// output pane, which draws with whatever Japanese font the system has)
// stands in for them, by what those forms are in Japanese fonts: the
// horizontal glyph turned (ー, brackets, ～, ：；), the comma and full stop
// moved to the top right of their cell, and the small kana moved a little
// up and to the right.
enum class StandInForm : std::uint8_t {
  kUpright,
  kTurned,  // a quarter turn clockwise about the cell's centre
  // The glyph moved so that its ink stands where it stood mirrored through
  // the cell's centre: from the bottom left to the top right.
  kMirroredPlace,
  // Moved kSmallKanaShift of the cell right and as much up.
  kSmallKana,
};

inline constexpr double kSmallKanaShift = 0.1;

// How much nearer each other two punctuation marks set one after the other
// down a column stand than two whole cells, in ems of a cell: 0.5 or 0.
// The vertical forms of closing brackets and of 、。，． have their ink in
// the first half of the em and a blank half after it; opening brackets
// have the blank half first. Where a blank half meets the other mark, as
// in 」。 「『 、「 」「, the pair gives up half an em (the Japanese
// typesetter's rule for adjacent punctuation), so that no gap of a whole
// em opens inside a phrase. Both cells must be set in their vertical forms
// (see OrientationOfCell): a glyph that stands as it is has its ink
// elsewhere.
double SharedBlankBetween(char32_t before, char32_t after);

// Whether the vertical form of `c` has its blank half after its ink
// (closing brackets, 、。，．), or before it (opening brackets).
bool HasBlankAfterInk(char32_t c);
bool HasBlankBeforeInk(char32_t c);

// The stand-in form of a cell of `orientation` whose one character is `c`
// (any character for a cell of several, which stands as it is).
StandInForm StandInFormOf(CellOrientation orientation, char32_t c);

}  // namespace mirotabe
