// A text in Aozora Bunko's notation, read once into text plus marks that
// every output consumes: the body's text with the notation taken out, its
// lines' layout (字下げ, 地付き, breaks), the spans set in a style (ruby,
// 傍点, 傍線, 見出し, 縦中横, …), the transcribers' notes, and the header
// and colophon that stand apart from the body.
//
// Nothing of the text is lost: an annotation that is not known loses only
// its own ［＃…］ and is counted; the text between the markers of a range
// stays whatever becomes of the markers. 外字 notes become the character
// they name; one that names none becomes 〓 and is counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/aozora_annotation.h"

namespace mirotabe {

// A span of the body [begin, end) set in `style`.
struct AozoraSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  AozoraStyle style = AozoraStyle::kBold;
  std::uint8_t variant = 0;
  // The reading of ruby, the note of 注記付き.
  std::u16string text;
  friend bool operator==(const AozoraSpan&, const AozoraSpan&) = default;
};

inline constexpr std::size_t kNoBottom = static_cast<std::size_t>(-1);

// One line of the body: units [begin, end) of the body's text.
struct AozoraLine {
  std::size_t begin = 0;
  std::size_t end = 0;
  // 字下げ in cells: of the line's first column, and of the columns it
  // wraps into.
  int indent = 0;
  int wrapIndent = 0;
  // Units of the line from which it is set against the foot (地付き), or
  // kNoBottom; `raise` cells above the foot (地から N 字上げ).
  std::size_t bottomFrom = kNoBottom;
  int raise = 0;
  // The most characters of its columns (字詰め), 0 for the page's.
  int lineLength = 0;
  AozoraBreak breakBefore = AozoraBreak::kNone;
  // The page that starts here is set in the middle of the page.
  bool centredPage = false;
  friend bool operator==(const AozoraLine&, const AozoraLine&) = default;
};

// A transcriber's note (ママ, 「X」は底本では「Y」, an illustration left
// out): kept out of the typeset text, kept beside it.
struct AozoraNote {
  std::size_t at = 0;  // in the body, after its target
  std::u16string target;
  std::u16string text;
  friend bool operator==(const AozoraNote&, const AozoraNote&) = default;
};

struct AozoraBook {
  // The header's lines before its notation block, notation taken out:
  // the title first, the author (and translator) last.
  std::vector<std::u16string> header;
  std::u16string title;
  std::u16string author;
  // The body's text, each line followed by '\n'.
  std::u16string body;
  std::vector<AozoraLine> lines;
  // In order of their beginnings; a span that begins where another does
  // and ends no later lies inside it.
  std::vector<AozoraSpan> spans;
  std::vector<AozoraNote> notes;
  // The lines from this one on are the colophon (底本: …); lines.size()
  // when there is none.
  std::size_t colophonLine = 0;
  // Whether the text's last line ended in a line break.
  bool finalLineBreak = false;
  // Annotations not known (or a close with no open), which lost their
  // ［＃…］; 外字 notes that name no character, which became 〓.
  std::size_t unknownAnnotations = 0;
  std::size_t unnamedCharacters = 0;
};

// Reads `text` (lines ended by LF or CR LF).
AozoraBook ReadAozoraText(std::u16string_view text);

// A text without the notation as a book of its lines, and nothing else.
AozoraBook PlainTextBook(std::u16string_view text);

// The text of `target` as the body holds it: 外字 notes as their
// characters, ruby marks and annotations out.
std::u16string AozoraPlainText(std::u16string_view target);

}  // namespace mirotabe
