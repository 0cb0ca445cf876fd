// One annotation of Aozora Bunko's notation, ［＃…］, read into what it asks
// for, apart from where it stands: a style over a quoted target
// (［＃「X」に傍点］), the start or end of a range (［＃傍点］…［＃傍点終わり］)
// or of a block of lines (［＃ここから２字下げ］…［＃ここで字下げ終わり］), the
// indent or the bottom alignment of a line, a break, text that the
// annotation stands for (返り点 ［＃二］, 訓点送り仮名 ［＃（ノ）］), or a
// transcriber's note (［＃「X」は底本では「Y」］, ママ). The names are those of
// Aozora Bunko's list of annotations (注記一覧).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirotabe {

// What a span of the text is set in.
enum class AozoraStyle : std::uint8_t {
  kRuby,         // text: the reading
  kLeftRuby,     // text: the reading, on the left of the column
  kAnnotated,    // 注記付き; text: the note set beside the span
  kEmphasis,     // 傍点; variant: AozoraEmphasis, + kLeftSide
  kSideLine,     // 傍線; variant: AozoraSideLine, + kLeftSide
  kBold,         // 太字
  kItalic,       // 斜体
  kUpright,      // 縦中横
  kLarger,       // variant: steps (1..)
  kSmaller,      // variant: steps (1..)
  kBoxed,        // 罫囲み
  kHorizontal,   // 横組み
  kWarichu,      // 割り注
  kSmallKana,    // 小書き
  kSuperscript,  // 行右小書き, 上付き小文字
  kSubscript,    // 行左小書き, 下付き小文字
  kKaeriten,     // 返り点 (their text is in the text)
  kOkurigana,    // 訓点送り仮名 (their text is in the text)
  kCaption,      // キャプション
  kHeading,      // variant: level (1 大, 2 中, 3 小) + 4 × AozoraHeadingForm
  kKunojiten,    // くの字点 ／＼ or ／″＼: one mark over two cells
};

enum AozoraEmphasis : std::uint8_t {
  kSesame,
  kWhiteSesame,
  kBlackCircle,
  kWhiteCircle,
  kBlackTriangle,
  kWhiteTriangle,
  kBullseye,
  kFisheye,
  kSaltire,
  kEmphasisKinds
};
enum AozoraSideLine : std::uint8_t { kSolid, kDouble, kChain, kDashed, kWavy, kSideLineKinds };
// Added to a 傍点 or 傍線 variant set on the left of the column.
inline constexpr std::uint8_t kLeftSide = 16;
// A heading set in its own lines, run into the line that follows it (同行),
// or in a window cut into the lines beside it (窓).
enum AozoraHeadingForm : std::uint8_t { kOwnLines, kRunIn, kWindow };

enum class AozoraBreak : std::uint8_t {
  kNone,
  kColumn,  // 改段
  kPage,    // 改ページ
  kRecto,   // 改丁: the next leaf's front
  kSpread,  // 改見開き: the next spread
};

struct AozoraCommand {
  enum class Kind : std::uint8_t {
    kUnknown,
    kTargeted,    // style over `target`, the text before the annotation
    kNote,        // a transcriber's note (`text`), over `target` when given
    kRangeOpen,   // style from here, until kRangeClose of the same `key`
    kRangeClose,  // `text`: the note of 注記付き / 左にルビ付き, given here
    kBlockOpen,   // ここから: style or line layout for the lines that follow
    kBlockClose,  // ここで…終わり
    kIndent,      // this line: `indent`, wrapped lines at `wrapIndent`
    kBottom,      // from here to the line's end, against the foot, `raise` up
    kBreak,       // `breakKind` before the next line
    kPageCentre,  // this page set in the middle of the page
    kText,        // `text` stands in the text (返り点, 訓点送り仮名) in `style`
    kIgnored,     // known, and nothing to do (本文終わり)
  };
  Kind kind = Kind::kUnknown;
  AozoraStyle style = AozoraStyle::kBold;
  std::uint8_t variant = 0;
  std::u16string target;
  // kTargeted over the line's text before the annotation (この行は…).
  bool wholeLine = false;
  std::u16string text;
  // What a close names to find its open: the style's name, or 字下げ,
  // 地付き, 字上げ, 字詰め for the blocks of line layout.
  std::u16string key;
  // Line layout: a block of 字下げ (indent, wrapIndent), 地付き (bottom,
  // raise) or 字詰め (lineLength).
  bool layout = false;
  int indent = 0;
  int wrapIndent = 0;
  bool bottom = false;
  int raise = 0;
  int lineLength = 0;
  AozoraBreak breakKind = AozoraBreak::kNone;
};

// What the annotation `content` (between ［＃ and ］) asks for.
AozoraCommand ReadAnnotation(std::u16string_view content);

// The deepest indent and raise that are taken as written; deeper ones are
// taken as this (a page has no room for more).
inline constexpr int kMaxAozoraIndent = 99;

}  // namespace mirotabe
