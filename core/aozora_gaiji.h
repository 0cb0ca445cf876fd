// 外字 notes of Aozora Bunko's notation: ※ followed by an annotation that
// names a character its texts' encoding cannot hold, by JIS X 0213 plane,
// row and cell (※［＃「弓＋椁のつくり」、第3水準1-84-22］, ※［＃丸1、1-13-1］,
// ※［＃始め二重山括弧、1-1-52］ for a JIS X 0208 character that the notation
// itself uses) or by Unicode code point (※［＃「口＋世」、U+546D、ページ-行］).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mirotabe {

struct GaijiNote {
  // The character named: one or two code points; empty when the note
  // describes a character without naming it.
  std::u16string character;
};

// What the annotation `content` (between ［＃ and ］, after a ※) names; none
// when it is not a 外字 note, and the ※ is then text of its own.
std::optional<GaijiNote> ReadGaijiNote(std::u16string_view content);

// What stands for a character that a note describes without naming it: the
// geta mark, as Japanese typesetting marks a missing character.
inline constexpr char16_t kUnnamedCharacter = u'〓';

}  // namespace mirotabe
