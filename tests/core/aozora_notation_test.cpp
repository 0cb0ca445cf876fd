#include "core/aozora_notation.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/aozora_gaiji.h"
#include "core/aozora_grid_text.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

std::u16string StyleName(const AozoraSpan& span) {
  switch (span.style) {
    case AozoraStyle::kRuby:
      return u"ruby";
    case AozoraStyle::kLeftRuby:
      return u"leftruby";
    case AozoraStyle::kAnnotated:
      return u"annotated";
    case AozoraStyle::kEmphasis:
      return u"dots" + std::u16string(1, u'0' + span.variant % 16) +
             (span.variant >= kLeftSide ? u"L" : u"");
    case AozoraStyle::kSideLine:
      return u"line" + std::u16string(1, u'0' + span.variant % 16) +
             (span.variant >= kLeftSide ? u"L" : u"");
    case AozoraStyle::kBold:
      return u"bold";
    case AozoraStyle::kItalic:
      return u"italic";
    case AozoraStyle::kUpright:
      return u"tcy";
    case AozoraStyle::kLarger:
      return u"larger" + std::u16string(1, u'0' + span.variant);
    case AozoraStyle::kSmaller:
      return u"smaller" + std::u16string(1, u'0' + span.variant);
    case AozoraStyle::kBoxed:
      return u"boxed";
    case AozoraStyle::kHorizontal:
      return u"horizontal";
    case AozoraStyle::kWarichu:
      return u"warichu";
    case AozoraStyle::kSmallKana:
      return u"small";
    case AozoraStyle::kSuperscript:
      return u"sup";
    case AozoraStyle::kSubscript:
      return u"sub";
    case AozoraStyle::kKaeriten:
      return u"kaeriten";
    case AozoraStyle::kOkurigana:
      return u"okurigana";
    case AozoraStyle::kCaption:
      return u"caption";
    case AozoraStyle::kHeading:
      return u"h" + std::u16string(1, u'0' + span.variant % 4) +
             std::u16string(1, u'0' + span.variant / 4);
    case AozoraStyle::kKunojiten:
      return u"kunoji";
  }
  return u"?";
}

// The marks of a book, one word each, in order: spans, then each line's
// layout that is not the default, then notes and counts.
std::u16string MarksOf(const AozoraBook& book) {
  std::u16string marks;
  auto add = [&marks](const std::u16string& word) {
    if (!marks.empty()) marks += u' ';
    marks += word;
  };
  for (const AozoraSpan& span : book.spans) {
    std::u16string word =
        StyleName(span) + u"「" + book.body.substr(span.begin, span.end - span.begin) + u"」";
    if (!span.text.empty()) word += u"=" + span.text;
    add(word);
  }
  for (std::size_t i = 0; i < book.lines.size(); ++i) {
    const AozoraLine& line = book.lines[i];
    const std::u16string n(1, u'0' + static_cast<char16_t>(i));
    if (line.indent != 0 || line.wrapIndent != 0) {
      add(n + u":indent" + std::u16string(1, u'0' + line.indent) + u"/" +
          std::u16string(1, u'0' + line.wrapIndent));
    }
    if (line.bottomFrom != kNoBottom) {
      add(n + u":bottom@" + std::u16string(1, u'0' + line.bottomFrom) + u"+" +
          std::u16string(1, u'0' + line.raise));
    }
    if (line.breakBefore != AozoraBreak::kNone) {
      add(n + u":break" + std::u16string(1, u'0' + static_cast<int>(line.breakBefore)));
    }
    if (line.centredPage) add(n + u":centred");
  }
  for (const AozoraNote& note : book.notes) add(u"note「" + note.target + u"」" + note.text);
  if (book.unknownAnnotations != 0)
    add(u"unknown" + std::u16string(1, u'0' + book.unknownAnnotations));
  if (book.unnamedCharacters != 0)
    add(u"unnamed" + std::u16string(1, u'0' + book.unnamedCharacters));
  return marks;
}

struct AnnotationCase {
  const char* name;
  std::u16string_view input;
  // What the marks are, and what a grid of 10 cells holds (lines by '/').
  std::u16string_view marks;
  std::u16string_view grid;
};

class AozoraAnnotations : public testing::TestWithParam<AnnotationCase> {};

TEST_P(AozoraAnnotations, BecomeMarksBesideTheirText) {
  const AnnotationCase& c = GetParam();
  // Each line ends in a line break, as the grid shows with "/".
  const AozoraBook book = ReadAozoraText(std::u16string(c.input) + u"\n");
  EXPECT_EQ(MarksOf(book), c.marks);
  std::u16string grid = AozoraGridText(book, 10);
  for (std::size_t pos = grid.find(u"\r\n"); pos != std::u16string::npos;
       pos = grid.find(u"\r\n", pos)) {
    grid.replace(pos, 2, u"/");
  }
  EXPECT_EQ(grid, c.grid);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AozoraAnnotations,
    testing::Values(
        AnnotationCase{"Ruby", u"｜東京《とうきょう》の漢字《かんじ》",
                       u"ruby「東京」=とうきょう ruby「漢字」=かんじ",
                       u"東京《とうきょう》の漢字《かんじ》/"},
        AnnotationCase{"RubyOverAGaiji", u"※［＃「木＋内」、第3水準1-85-54］《ほぞ》穴",
                       u"ruby「枘」=ほぞ", u"枘《ほぞ》穴/"},
        AnnotationCase{"GaijiOfTwoCodePoints", u"※［＃「半濁点付き平仮名か」、1-4-87］", u"",
                       u"か゚/"},
        AnnotationCase{"GaijiBeyondTheBmp",
                       u"※［＃「てへん＋劣」、第4水準2-1-1］と※［＃「口＋世」、U+546D、12-3］", u"",
                       u"𠂉と呭/"},
        AnnotationCase{"GaijiOfNotationCharacters",
                       u"※［＃始め二重山括弧、1-1-52］本※［＃終わり二重山括弧、1-1-53］", u"",
                       u"《本》/"},
        AnnotationCase{"GaijiNamingNothing", u"※［＃「けものへん＋言」、52-8］", u"unnamed1",
                       u"〓/"},
        AnnotationCase{"BareMarkStaysText", u"※印［＃「印」に傍点］", u"dots0「印」", u"※印/"},
        AnnotationCase{"OneLineIndent", u"［＃３字下げ］本文", u"0:indent3/3", u"　　　本文/"},
        AnnotationCase{
            "BlockIndentAndANewDepth",
            u"［＃ここから２字下げ］\nあ\n［＃ここから１字下げ］\nい\n［＃ここで字下げ終わり］\nう",
            u"0:indent2/2 1:indent1/1", u"　　あ/　い/う/"},
        AnnotationCase{
            "HangingIndent",
            u"［＃ここから改行天付き、折り返して２字下げ］\nあ\n［＃ここで字下げ終わり］",
            u"0:indent0/2", u"あ/"},
        AnnotationCase{"BottomOnItsOwnAndMidLine", u"［＃地付き］了\n名前［＃地から１字上げ］日付",
                       u"0:bottom@0+0 1:bottom@2+1", u"　　　　　　　　　了/名前　　　　　日付/"},
        AnnotationCase{"HeadingForms",
                       u"序［＃「序」は大見出し］\n［＃中見出し］一［＃中見出し終わり］\n［＃ここか"
                       u"ら窓小見出し］\n二\n［＃ここで窓小見出し終わり］",
                       u"h10「序」 h20「一」 h32「二」", u"序/一/二/"},
        AnnotationCase{
            "EmphasisKindsAndSides",
            u"甲乙丙［＃「甲」に白丸傍点］［＃「乙」の左に蛇の目傍点］［＃「丙」の左に波線］",
            u"dots3「甲」 dots7L「乙」 line4L「丙」", u"甲乙丙/"},
        AnnotationCase{"RangeOfEmphasis",
                       u"［＃傍点］青空［＃傍点終わり］と［＃二重傍線］文庫［＃二重傍線終わり］",
                       u"dots0「青空」 line1「文庫」", u"青空と文庫/"},
        AnnotationCase{"TargetQuotedWithRuby",
                       u"｜大阪《おおさか》の道頓堀《どうとんぼり》［＃「大阪の道頓堀」は太字］",
                       u"bold「大阪の道頓堀」 ruby「大阪」=おおさか ruby「道頓堀」=どうとんぼり",
                       u"大阪《おおさか》の道頓堀《どうとんぼり》/"},
        AnnotationCase{"TargetWithRubyInTheQuote",
                       u"大阪｜道頓堀《どうとんぼり》［＃「大阪｜道頓堀《どうとんぼり》」は太字］",
                       u"bold「大阪道頓堀」 ruby「道頓堀」=どうとんぼり",
                       u"大阪｜道頓堀《どうとんぼり》/"},
        AnnotationCase{"SeveralNotesOnOneTargetAndNesting",
                       u"春の海［＃「春の海」は太字］［＃「春の海」に傍点］［＃「海」は縦中横］",
                       u"bold「春の海」 dots0「春の海」 tcy「海」", u"春の海/"},
        AnnotationCase{"BreaksNotAtTheHeadOfAPage",
                       u"［＃改ページ］\n一\n［＃改丁］\n［＃改ページ］\n\n［＃改ページ］\n二",
                       u"1:break3 2:break2", u"一//二/"},
        AnnotationCase{"BreakAfterTextStartsTheNextLinesPage", u"一\n二［＃改ページ］\n三",
                       u"2:break2", u"一/二/三/"},
        AnnotationCase{"SpreadAndCentredPage", u"扉\n［＃改見開き］\n［＃ページの左右中央］\n献辞",
                       u"1:break4 1:centred", u"扉/献辞/"},
        AnnotationCase{"KuntenAreText", u"学［＃二］而時習［＃一レ］之［＃（ヲ）］",
                       u"kaeriten「二」 kaeriten「一レ」 okurigana「ヲ」", u"学二而時習一レ之ヲ/"},
        AnnotationCase{"KunojitenIsOneMark", u"いよ／＼だ／″＼", u"kunoji「／＼」 kunoji「／″＼」",
                       u"いよ／＼だ／″＼/"},
        AnnotationCase{"TranscribersNotes", u"噫［＃「噫」は底本では「嘻」］と［＃ママ］",
                       u"note「噫」「噫」は底本では「嘻」 note「」ママ", u"噫と/"},
        AnnotationCase{
            "AnnotatedAndLeftRuby",
            u"東京［＃「東京」に「ママ」の注記］大阪［＃「大阪」の左に「おおさか」のルビ］",
            u"annotated「東京」=ママ leftruby「大阪」=おおさか", u"東京大阪/"},
        AnnotationCase{"SizeBoxAndHorizontal",
                       u"［＃２段階大きな文字］大［＃大きな文字終わり］［＃罫囲み］囲［＃罫囲み終わ"
                       u"り］ABC［＃「ABC」は横組み］",
                       u"larger2「大」 boxed「囲」 horizontal「ABC」", u"大囲ABC/"},
        AnnotationCase{
            "TranscribersNotesOfOtherEditionsAndDescriptions",
            u"涙［＃「涙」は初出では「泪」］の永劫《えいごふ》［＃ルビの「えいごふ」は初出では"
            u"「えうごふ」］Ⅱ［＃「Ⅱ」はローマ数字、1-13-22］",
            u"ruby「永劫」=えいごふ note「涙」「涙」は初出では「泪」 "
            u"note「」ルビの「えいごふ」は初出では「えうごふ」 "
            u"note「Ⅱ」「Ⅱ」はローマ数字、1-13-22",
            u"涙の永劫《えいごふ》Ⅱ/"},
        AnnotationCase{
            "NoteQuotingAnotherAnnotation",
            u"はつきり［＃「はつきり」に傍点］と［＃「はつきり［＃「はつきり」に傍点］と」は"
            u"底本では「はつきりと」］",
            u"dots0「はつきり」 note「はつきりと」「はつきりと」は底本では「はつきりと」",
            u"はつきりと/"},
        AnnotationCase{
            "NamesTranscribersWriteForStyles",
            u"一　序［＃この行はゴシック体］\nfine［＃「fine」の部分はイタリック体］Ｘ［＃"
            u"「Ｘ」は枠囲い］１／２［＃「１／２」は分数］［＃改頁］\n［＃地より２字上げ］了",
            u"bold「一　序」 italic「fine」 boxed「Ｘ」 horizontal「１／２」 "
            u"2:bottom@0+2 2:break2",
            u"一　序/fineＸ１／２/　　　　　　　了/"},
        AnnotationCase{"UnknownLosesOnlyItself",
                       u"前［＃何かの注記］後［＃「無い」に傍点］［＃太字終わり］", u"unknown3",
                       u"前後/"},
        AnnotationCase{"UnclosedStaysText", u"開き［＃閉じない", u"", u"開き［＃閉じない/"},
        AnnotationCase{"OpenRangeClosesAtTheEnd", u"［＃太字］ずっと\n太字",
                       u"bold「ずっと\n太字」", u"ずっと/太字/"},
        AnnotationCase{"AccentNotationIsText", u"〔e'tiquette〕", u"", u"〔e'tiquette〕/"}),
    testing_support::CaseName());

TEST(AozoraText, KeepsTheHeaderAndItsNotationBlockOutOfTheBodyAndTheColophonAtTheEnd) {
  const AozoraBook book = ReadAozoraText(
      u"羅生門\r\n芥川龍之介\r\n\r\n"
      u"-------------------------------------------------------\r\n"
      u"【テキスト中に現れる記号について】\r\n《》：ルビ\r\n"
      u"-------------------------------------------------------\r\n"
      u"　ある日の暮方の事である。\r\n\r\n底本：「芥川龍之介全集」\r\n入力：誰か\r\n");
  EXPECT_EQ(book.title, u"羅生門");
  EXPECT_EQ(book.author, u"芥川龍之介");
  EXPECT_EQ(book.body, u"　ある日の暮方の事である。\n\n底本：「芥川龍之介全集」\n入力：誰か\n");
  EXPECT_EQ(book.colophonLine, 2U);
  EXPECT_EQ(AozoraGridText(book, 0),
            u"羅生門\r\n芥川龍之介\r\n\r\n　ある日の暮方の事である。\r\n\r\n底本：「芥川龍之介全集"
            u"」\r\n入力：誰か\r\n");
}

TEST(AozoraText, BreaksPagesBeforeTheLinesOfTheGridTextThatFollowTheirAnnotations) {
  const AozoraBook book = ReadAozoraText(
      u"題\r\n著者\r\n\r\n-------\r\n【テキスト中に現れる記号について】\r\n-------\r\n"
      u"一\r\n［＃改ページ］\r\n二\r\n［＃改丁］\r\n三\r\n［＃改見開き］\r\n四\r\n");
  std::vector<std::u16string> lines;
  const std::u16string grid = AozoraGridText(book, 0);
  for (std::size_t at = 0; at < grid.size();) {
    const std::size_t end = std::min(grid.find(u"\r\n", at), grid.size());
    lines.emplace_back(grid, at, end - at);
    at = end + 2;
  }
  const std::vector<PageBreak> breaks = AozoraPageBreaks(book);
  const std::vector<std::pair<std::u16string, PageBreak::Side>> expected = {
      {u"二", PageBreak::Side::kNext},
      {u"三", PageBreak::Side::kOdd},
      {u"四", PageBreak::Side::kEven}};
  ASSERT_EQ(breaks.size(), expected.size());
  for (std::size_t i = 0; i < breaks.size(); ++i) {
    ASSERT_LT(breaks[i].line, lines.size());
    EXPECT_EQ(lines[breaks[i].line], expected[i].first);
    EXPECT_EQ(breaks[i].side, expected[i].second);
  }
}

TEST(AozoraText, SetsEmphasisAndSideLinesBesideEachCharacterAsReadingsOfTheirMarks) {
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"甲乙、［＃「甲乙、」に傍点］と𠮷［＃「𠮷」に白丸傍点］",
       u"｜甲《﹅》｜乙《﹅》、と｜𠮷《○》"},
      {u"［＃傍線］文　庫［＃傍線終わり］［＃破線］丙［＃破線終わり］",
       u"｜文《──》　｜庫《──》｜丙《─》"},
      // Ruby keeps its side; the marks take the characters without it.
      {u"｜東京《とうきょう》駅［＃「東京駅」に傍点］", u"東京《とうきょう》｜駅《﹅》"},
  };
  for (const auto& [input, grid] : cases) {
    const AozoraBook book = ReadAozoraText(std::u16string(input) + u"\n");
    EXPECT_EQ(AozoraGridText(book, 0, GridMarks::kBeside), std::u16string(grid) + u"\r\n");
  }
}

TEST(AozoraText, TakesTheTranslatorLineApartFromTheAuthor) {
  const AozoraBook book = ReadAozoraText(
      u"変身\nフランツ・カフカ\n原田義人訳\n\n"
      u"-------------------------------------------------------"
      u"\n【テキスト中に現れる記号について】\n"
      u"-------------------------------------------------------\n本文\n");
  EXPECT_EQ(book.author, u"フランツ・カフカ");
  EXPECT_EQ(book.body, u"本文\n");
}

struct GaijiCase {
  const char* name;
  std::u16string_view content;
  bool isNote;
  std::u16string_view character;
};

class GaijiNotes : public testing::TestWithParam<GaijiCase> {};

TEST_P(GaijiNotes, NameTheirCharacter) {
  const GaijiCase& c = GetParam();
  const auto note = ReadGaijiNote(c.content);
  ASSERT_EQ(note.has_value(), c.isNote);
  if (note) {
    EXPECT_EQ(note->character, c.character);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GaijiNotes,
    testing::Values(
        GaijiCase{"ThirdLevel", u"「木＋内」、第3水準1-85-54", true, u"枘"},
        GaijiCase{"FourthLevel", u"「戈＋晉」、第4水準2-12-85", true, u"戩"},
        GaijiCase{"PlaneTwoBeyondTheBmp", u"「口＋敖」、第4水準2-94-86", true, u"𪚲"},
        GaijiCase{"BareNonKanji", u"丸1、1-13-1", true, u"①"},
        GaijiCase{"JisX0208Escape", u"感嘆符二つ、1-8-75", true, u"‼"},
        GaijiCase{"UnicodeWithPageAndLine", u"「二点しんにょう＋貌」、U+28468、56-3", true, u"𨑨"},
        GaijiCase{"UnicodeLowerCase", u"「口＋世」、u+546d", true, u"呭"},
        GaijiCase{"DescriptionHoldsNoCode", u"「1-2-3の形」、12-3", true, u""},
        GaijiCase{"RowOutOfRange", u"「謎」、第3水準1-95-1", true, u""},
        GaijiCase{"PlaneOutOfRange", u"「謎」、3-1-1", true, u""},
        GaijiCase{"CodePointOutOfRange", u"「謎」、U+110000", true, u""},
        GaijiCase{"DescriptionGoesOnPastItsQuote",
                  u"「插」でつくりの縦棒が下に突き抜けている、第4水準2-13-28", true, u"揷"},
        GaijiCase{"BareDescriptionWithPageAndLine", u"小書き片仮名ヰ、391-6", true, u""},
        GaijiCase{"NotANote", u"「印」に傍点", false, u""},
        GaijiCase{"BareWithoutCode", u"改ページ", false, u""}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
