#include "core/aozora_annotation.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace mirotabe {
namespace {

using Kind = AozoraCommand::Kind;

struct Named {
  std::u16string_view name;
  std::uint8_t variant;
};

constexpr std::array<Named, kEmphasisKinds> kEmphasisNames = {{
    {u"傍点", kSesame},
    {u"白ゴマ傍点", kWhiteSesame},
    {u"丸傍点", kBlackCircle},
    {u"白丸傍点", kWhiteCircle},
    {u"黒三角傍点", kBlackTriangle},
    {u"白三角傍点", kWhiteTriangle},
    {u"二重丸傍点", kBullseye},
    {u"蛇の目傍点", kFisheye},
    {u"ばつ傍点", kSaltire},
}};

constexpr std::array<Named, kSideLineKinds> kSideLineNames = {{
    {u"傍線", kSolid},
    {u"二重傍線", kDouble},
    {u"鎖線", kChain},
    {u"破線", kDashed},
    {u"波線", kWavy},
}};

struct NamedStyle {
  std::u16string_view name;
  AozoraStyle style;
};

// The list's names first, then the names that transcribers write for the
// same styles.
constexpr std::array<NamedStyle, 24> kPlainStyles = {{
    {u"太字", AozoraStyle::kBold},
    {u"斜体", AozoraStyle::kItalic},
    {u"縦中横", AozoraStyle::kUpright},
    {u"罫囲み", AozoraStyle::kBoxed},
    {u"横組み", AozoraStyle::kHorizontal},
    {u"ゴシック体", AozoraStyle::kBold},
    {u"太ゴシック体", AozoraStyle::kBold},
    {u"イタリック体", AozoraStyle::kItalic},
    {u"横１文字", AozoraStyle::kUpright},
    {u"枠囲い", AozoraStyle::kBoxed},
    {u"横書き", AozoraStyle::kHorizontal},
    {u"分数", AozoraStyle::kHorizontal},
    {u"上付き", AozoraStyle::kSuperscript},
    {u"注釈番号", AozoraStyle::kSuperscript},
    {u"下付き", AozoraStyle::kSubscript},
    {u"小文字", AozoraStyle::kSmallKana},
    {u"割り注", AozoraStyle::kWarichu},
    {u"小書き", AozoraStyle::kSmallKana},
    {u"行右小書き", AozoraStyle::kSuperscript},
    {u"上付き小文字", AozoraStyle::kSuperscript},
    {u"行左小書き", AozoraStyle::kSubscript},
    {u"下付き小文字", AozoraStyle::kSubscript},
    {u"キャプション", AozoraStyle::kCaption},
}};

constexpr std::array<std::u16string_view, 3> kHeadingLevels = {u"大見出し", u"中見出し",
                                                               u"小見出し"};

struct StyleName {
  AozoraStyle style;
  std::uint8_t variant;
  std::u16string key;
};

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'０' && c <= u'９') return c - u'０';
  constexpr std::u16string_view kKanji = u"〇一二三四五六七八九";
  const std::size_t kanji = kKanji.find(c);
  return kanji == std::u16string_view::npos ? -1 : static_cast<int>(kanji);
}

// The number that starts `text` (digits, full-width or not, or kanji
// numerals with 十), and what follows it.
std::optional<std::pair<int, std::u16string_view>> LeadingNumber(std::u16string_view text) {
  int value = 0;
  bool afterTen = false;
  std::size_t pos = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] == u'十') {
      value = (value == 0 ? 1 : value) * 10;
      afterTen = true;
    } else if (const int digit = DigitValue(text[pos]); digit >= 0) {
      value = afterTen ? value + digit : value * 10 + digit;
      afterTen = false;
    } else {
      break;
    }
    value = std::min(value, kMaxAozoraIndent);
  }
  if (pos == 0) return std::nullopt;
  return std::pair{value, text.substr(pos)};
}

// The number N of "N<suffix>" exactly, if `text` is that.
std::optional<int> NumberBefore(std::u16string_view text, std::u16string_view suffix) {
  const auto number = LeadingNumber(text);
  if (!number || number->second != suffix) return std::nullopt;
  return number->first;
}

std::optional<StyleName> StyleNamed(std::u16string_view phrase) {
  std::uint8_t side = 0;
  if (phrase.starts_with(u"左に")) {
    side = kLeftSide;
    phrase.remove_prefix(2);
  }
  const std::u16string key = std::u16string(side != 0 ? u"左に" : u"") + std::u16string(phrase);
  for (const Named& named : kEmphasisNames) {
    if (phrase == named.name) {
      return StyleName{AozoraStyle::kEmphasis, static_cast<std::uint8_t>(named.variant + side),
                       key};
    }
  }
  for (const Named& named : kSideLineNames) {
    if (phrase == named.name) {
      return StyleName{AozoraStyle::kSideLine, static_cast<std::uint8_t>(named.variant + side),
                       key};
    }
  }
  if (side != 0) return std::nullopt;
  for (const NamedStyle& named : kPlainStyles) {
    if (phrase == named.name) return StyleName{named.style, 0, key};
  }
  std::uint8_t form = kOwnLines;
  std::u16string_view heading = phrase;
  if (heading.starts_with(u"同行")) {
    form = kRunIn;
    heading.remove_prefix(2);
  } else if (heading.starts_with(u"窓")) {
    form = kWindow;
    heading.remove_prefix(1);
  }
  for (std::size_t level = 0; level < kHeadingLevels.size(); ++level) {
    if (heading == kHeadingLevels[level]) {
      return StyleName{AozoraStyle::kHeading,
                       static_cast<std::uint8_t>(level + 1 + std::size_t{4} * form), key};
    }
  }
  if (const auto steps = NumberBefore(phrase, u"段階大きな文字")) {
    return StyleName{AozoraStyle::kLarger, static_cast<std::uint8_t>(std::max(*steps, 1)),
                     u"大きな文字"};
  }
  if (const auto steps = NumberBefore(phrase, u"段階小さな文字")) {
    return StyleName{AozoraStyle::kSmaller, static_cast<std::uint8_t>(std::max(*steps, 1)),
                     u"小さな文字"};
  }
  return std::nullopt;
}

// The Y of 「Y」<suffix>, if `text` is that.
std::optional<std::u16string> QuotedBefore(std::u16string_view text, std::u16string_view suffix) {
  if (!text.starts_with(u"「") || !text.ends_with(std::u16string(u"」") + std::u16string(suffix))) {
    return std::nullopt;
  }
  return std::u16string(text.substr(1, text.size() - 2 - suffix.size()));
}

// 「X」は…、1-13-22: a description of a character that stands in the text
// (ローマ数字, 小書き片仮名ム), which ends in its plane, row and cell.
bool DescribesByCode(std::u16string_view content) {
  const std::size_t comma = content.rfind(u'、');
  if (!content.starts_with(u"「") || comma == std::u16string_view::npos) return false;
  int dashes = 0;
  bool digit = false;
  for (const char16_t c : content.substr(comma + 1)) {
    if (c == u'-') {
      if (!digit) return false;
      ++dashes;
      digit = false;
    } else if (c >= u'0' && c <= u'9') {
      digit = true;
    } else {
      return false;
    }
  }
  return dashes == 2 && digit;
}

// 「X」は底本では「Y」 and its kin: what the book (底本) had there, or the
// first printing (初出), another edition (初版, 親本) or its ruby
// (ルビの「X」は…); what it lacked (欠落) or got wrong (誤記).
bool IsTranscribersNote(std::u16string_view content) {
  for (const std::u16string_view word : {u"底本", u"では「", u"ママ", u"誤記", u"欠落"}) {
    if (content.find(word) != std::u16string_view::npos) return true;
  }
  return DescribesByCode(content);
}

// Where the 」 that closes the 「 at the front of `text` stands, quotes
// nested inside counted; npos when none does.
std::size_t ClosingQuote(std::u16string_view text) {
  int depth = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == u'「') ++depth;
    if (text[at] == u'」' && --depth == 0) return at;
  }
  return std::u16string_view::npos;
}

AozoraCommand Styled(Kind kind, const StyleName& name) {
  AozoraCommand command;
  command.kind = kind;
  command.style = name.style;
  command.variant = name.variant;
  command.key = name.key;
  return command;
}

// The targeted forms: 「X」に…, 「X」の左に…, 「X」は…, for the target up to
// `close` (the 」 that ends it).
std::optional<AozoraCommand> Targeted(std::u16string_view content, std::size_t close) {
  std::u16string_view rest = content.substr(close + 1);
  std::optional<AozoraCommand> command;
  if (rest.starts_with(u"の左に")) {
    rest.remove_prefix(3);
    if (auto reading = QuotedBefore(rest, u"のルビ")) {
      command.emplace();
      command->style = AozoraStyle::kLeftRuby;
      command->text = std::move(*reading);
    } else if (auto name = StyleNamed(std::u16string(u"左に") + std::u16string(rest))) {
      command = Styled(Kind::kTargeted, *name);
    }
  } else if (rest.starts_with(u"に")) {
    rest.remove_prefix(1);
    auto note = QuotedBefore(rest, u"の注記");
    if (!note) note = QuotedBefore(rest, u"の傍記");
    if (note) {
      command.emplace();
      command->style = AozoraStyle::kAnnotated;
      command->text = std::move(*note);
    } else if (auto name = StyleNamed(rest); name && (name->style == AozoraStyle::kEmphasis ||
                                                      name->style == AozoraStyle::kSideLine)) {
      command = Styled(Kind::kTargeted, *name);
    }
  } else if (rest.starts_with(u"は") || rest.starts_with(u"の部分は")) {
    if (auto name = StyleNamed(rest.substr(rest.find(u'は') + 1));
        name && name->style != AozoraStyle::kEmphasis && name->style != AozoraStyle::kSideLine) {
      command = Styled(Kind::kTargeted, *name);
    }
  }
  if (!command) return std::nullopt;
  command->kind = Kind::kTargeted;
  command->target = std::u16string(content.substr(1, close - 1));
  return command;
}

// 字下げ, 地付き, 字上げ and 字詰め: the lines' layout, for one line or a
// block (`block`: after ここから).
std::optional<AozoraCommand> LineLayout(std::u16string_view phrase, bool block) {
  AozoraCommand command;
  command.layout = true;
  command.kind = block ? Kind::kBlockOpen : Kind::kIndent;
  if (phrase.starts_with(u"天から")) phrase.remove_prefix(3);
  if (phrase == u"地付き") {
    command.kind = block ? Kind::kBlockOpen : Kind::kBottom;
    command.bottom = true;
    command.key = u"地付き";
    return command;
  }
  if (phrase.starts_with(u"地から") || phrase.starts_with(u"地より")) {
    if (const auto raise = NumberBefore(phrase.substr(3), u"字上げ")) {
      command.kind = block ? Kind::kBlockOpen : Kind::kBottom;
      command.bottom = true;
      command.raise = *raise;
      command.key = u"字上げ";
      return command;
    }
    return std::nullopt;
  }
  if (block) {
    if (const auto length = NumberBefore(phrase, u"字詰め")) {
      command.lineLength = *length;
      command.key = u"字詰め";
      return command;
    }
  }
  command.key = u"字下げ";
  std::u16string_view wrap;
  if (const std::size_t comma = phrase.find(u"、折り返して"); comma != std::u16string_view::npos) {
    wrap = phrase.substr(comma + 6);
    phrase = phrase.substr(0, comma);
  }
  if (phrase == u"改行天付き") {
    command.indent = 0;
  } else if (const auto indent = NumberBefore(phrase, u"字下げ")) {
    command.indent = *indent;
  } else {
    return std::nullopt;
  }
  command.wrapIndent = command.indent;
  if (!wrap.empty()) {
    const auto wrapIndent = NumberBefore(wrap, u"字下げ");
    if (!wrapIndent) return std::nullopt;
    command.wrapIndent = *wrapIndent;
  } else if (phrase == u"改行天付き") {
    return std::nullopt;
  }
  return command;
}

// The key a close names: a style's, or the name as it stands.
std::u16string CloseKey(std::u16string_view name) {
  if (const auto style = StyleNamed(name)) return style->key;
  return std::u16string(name);
}

std::optional<AozoraCommand> Close(std::u16string_view content) {
  constexpr std::u16string_view kEnd = u"終わり";
  if (!content.ends_with(kEnd)) return std::nullopt;
  std::u16string_view name = content.substr(0, content.size() - kEnd.size());
  AozoraCommand command;
  if (name.starts_with(u"ここで")) {
    name.remove_prefix(3);
    command.kind = Kind::kBlockClose;
    command.layout =
        name == u"字下げ" || name == u"地付き" || name == u"字上げ" || name == u"字詰め";
    command.key = CloseKey(name);
    return command;
  }
  command.kind = Kind::kRangeClose;
  if (auto note = QuotedBefore(name, u"の注記付き")) {
    command.key = u"注記付き";
    command.text = std::move(*note);
  } else if (name.starts_with(u"左に")) {
    if (auto reading = QuotedBefore(name.substr(2), u"のルビ付き")) {
      command.key = u"左にルビ付き";
      command.text = std::move(*reading);
    } else {
      command.key = CloseKey(name);
    }
  } else {
    command.key = CloseKey(name);
  }
  return command;
}

// 返り点 (［＃二］, ［＃一レ］, ［＃上］) and 訓点送り仮名 (［＃（ノ）］).
std::optional<AozoraCommand> Kunten(std::u16string_view content) {
  constexpr std::u16string_view kMarks = u"一二三四上中下甲乙丙丁天地人レ";
  AozoraCommand command;
  command.kind = Kind::kText;
  if (!content.empty() && content.size() <= 3 &&
      std::all_of(content.begin(), content.end(),
                  [&](char16_t c) { return kMarks.find(c) != std::u16string_view::npos; })) {
    command.style = AozoraStyle::kKaeriten;
    command.text = std::u16string(content);
    return command;
  }
  if (content.size() > 2 && content.front() == u'（' && content.back() == u'）') {
    command.style = AozoraStyle::kOkurigana;
    command.text = std::u16string(content.substr(1, content.size() - 2));
    return command;
  }
  return std::nullopt;
}

// この行は…: a style over the line's text before the annotation.
std::optional<AozoraCommand> LineStyled(std::u16string_view content) {
  if (!content.starts_with(u"この行は")) return std::nullopt;
  const auto name = StyleNamed(content.substr(4));
  if (!name) return std::nullopt;
  AozoraCommand command = Styled(Kind::kTargeted, *name);
  command.wholeLine = true;
  return command;
}

// A transcriber's note, over the quoted target it starts with, if any.
std::optional<AozoraCommand> Note(std::u16string_view content) {
  if (!IsTranscribersNote(content) && !content.ends_with(u"入る")) return std::nullopt;
  AozoraCommand note;
  note.kind = Kind::kNote;
  note.text = std::u16string(content);
  if (content.starts_with(u"「")) {
    if (const std::size_t close = ClosingQuote(content); close != std::u16string_view::npos) {
      note.target = std::u16string(content.substr(1, close - 1));
    }
  }
  return note;
}

}  // namespace

AozoraCommand ReadAnnotation(std::u16string_view content) {
  if (content.starts_with(u"「")) {
    // The target may itself hold 」: each 」 is tried until the rest reads.
    for (std::size_t close = content.find(u'」'); close != std::u16string_view::npos;
         close = content.find(u'」', close + 1)) {
      if (auto command = Targeted(content, close)) return std::move(*command);
    }
  }
  if (auto line = LineStyled(content)) return std::move(*line);
  if (auto note = Note(content)) return std::move(*note);
  constexpr std::array<std::pair<std::u16string_view, AozoraBreak>, 5> kBreaks = {{
      {u"改ページ", AozoraBreak::kPage},
      {u"改頁", AozoraBreak::kPage},
      {u"改丁", AozoraBreak::kRecto},
      {u"改見開き", AozoraBreak::kSpread},
      {u"改段", AozoraBreak::kColumn},
  }};
  for (const auto& [name, kind] : kBreaks) {
    if (content == name) {
      AozoraCommand command;
      command.kind = Kind::kBreak;
      command.breakKind = kind;
      return command;
    }
  }
  AozoraCommand command;
  if (content == u"ページの左右中央") {
    command.kind = Kind::kPageCentre;
    return command;
  }
  // 改行 breaks the two lines of a 割り注, which no output sets in two.
  if (content == u"本文終わり" || content == u"改行") {
    command.kind = Kind::kIgnored;
    return command;
  }
  if (content.starts_with(u"ここから")) {
    const std::u16string_view rest = content.substr(4);
    if (auto layout = LineLayout(rest, true)) return std::move(*layout);
    if (const auto name = StyleNamed(rest)) return Styled(Kind::kBlockOpen, *name);
    return command;
  }
  if (auto close = Close(content)) return std::move(*close);
  if (auto layout = LineLayout(content, false)) return std::move(*layout);
  if (content == u"注記付き") {
    return Styled(Kind::kRangeOpen, {AozoraStyle::kAnnotated, 0, u"注記付き"});
  }
  if (content == u"左にルビ付き") {
    return Styled(Kind::kRangeOpen, {AozoraStyle::kLeftRuby, 0, u"左にルビ付き"});
  }
  if (const auto name = StyleNamed(content)) return Styled(Kind::kRangeOpen, *name);
  if (auto kunten = Kunten(content)) return std::move(*kunten);
  return command;
}

}  // namespace mirotabe
