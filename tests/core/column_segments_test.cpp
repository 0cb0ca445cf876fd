#include "core/column_segments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/code_points.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

// The line with a '|' at every cut, so that each row of the tables reads as
// the columns it asks for; the spaces that vanish at a cut are left out.
std::u16string Cut(std::u16string_view line, std::size_t n, Kinsoku kinsoku) {
  std::vector<std::size_t> unitOf;
  for (std::size_t unit = 0; unit < line.size(); unit += CodePointAt(line, unit).units) {
    unitOf.push_back(unit);
  }
  unitOf.push_back(line.size());
  std::u16string out;
  std::size_t next = 0;
  for (const Segment& segment : SegmentLine(line, n, kinsoku)) {
    if (next != 0) out += u'|';
    EXPECT_GE(segment.start, next) << "columns must not overlap";
    for (std::size_t i = next; i < segment.start; ++i) {
      EXPECT_TRUE(IsBlank(CodePointAt(line, unitOf[i]).value)) << "only spaces vanish";
    }
    out.append(line.substr(unitOf[segment.start],
                           unitOf[segment.start + segment.cells] - unitOf[segment.start]));
    next = segment.start + segment.cells;
  }
  for (std::size_t i = next; i + 1 < unitOf.size(); ++i) {
    EXPECT_TRUE(IsBlank(CodePointAt(line, unitOf[i]).value)) << "only spaces vanish";
  }
  return out;
}

struct SegmentCase {
  const char* name;
  std::u16string line;
  std::size_t n;
  Kinsoku kinsoku;
  std::u16string columns;
};

class SegmentLineTest : public testing::TestWithParam<SegmentCase> {};

TEST_P(SegmentLineTest, CutsTheLine) {
  const SegmentCase& c = GetParam();
  EXPECT_EQ(Cut(c.line, c.n, c.kinsoku), c.columns);
}

constexpr Kinsoku kNone = Kinsoku::kNone;
constexpr Kinsoku kHang = Kinsoku::kHang;
constexpr Kinsoku kPush = Kinsoku::kPushOut;

INSTANTIATE_TEST_SUITE_P(
    Plain, SegmentLineTest,
    testing::Values(SegmentCase{"Off", u"あいうえお", 0, kHang, u"あいうえお"},
                    SegmentCase{"EmptyLine", u"", 3, kHang, u""},
                    SegmentCase{"ExactlyN", u"あいう", 3, kHang, u"あいう"},
                    SegmentCase{"OneMoreThanN", u"あいうえ", 3, kNone, u"あいう|え"},
                    SegmentCase{"EvenCuts", u"あいうえおか", 2, kNone, u"あい|うえ|おか"},
                    SegmentCase{"NoneIgnoresTheRules", u"あい。「う", 2, kNone, u"あい|。「|う"},
                    SegmentCase{"NOfOne", u"あいう", 1, kNone, u"あ|い|う"},
                    SegmentCase{"PairIsOneCodePoint", u"😀😀あ", 2, kNone, u"😀😀|あ"},
                    SegmentCase{"PairsAcrossCuts", u"あ😀い😀う", 2, kHang, u"あ😀|い😀|う"}),
    testing_support::CaseName());

// Under kHang only 、。，． hang; every other head-forbidden character, and
// each of them under kPushOut, takes the character before it down.
class HeadForbiddenTest : public testing::TestWithParam<char16_t> {};

TEST_P(HeadForbiddenTest, NeverStartsAColumn) {
  const std::u16string c(1, GetParam());
  const std::u16string line = u"あい" + c + u"う";
  EXPECT_TRUE(IsHeadForbidden(GetParam()));
  EXPECT_FALSE(IsTailForbidden(GetParam()));
  const bool hangs = c == u"、" || c == u"。" || c == u"，" || c == u"．";
  EXPECT_EQ(IsHanging(GetParam()), hangs);
  EXPECT_EQ(Cut(line, 2, kHang), hangs ? u"あい" + c + u"|う" : u"あ|い" + c + u"|う");
  EXPECT_EQ(Cut(line, 2, kPush), u"あ|い" + c + u"|う");
  EXPECT_EQ(Cut(line, 2, kNone), u"あい|" + c + u"う");
}

const std::u16string kHeadForbidden =
    u"、。，．・：；？！゛゜ヽヾゝゞ々〻ー）］｝」』】〕〉》〙〗｠”’»"
    u"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ"
    u"％‰℃°′″￠‼⁇⁈⁉‐–〜゠…‥";

INSTANTIATE_TEST_SUITE_P(All, HeadForbiddenTest, testing::ValuesIn(kHeadForbidden),
                         [](const auto& info) { return "U" + std::to_string(info.param); });

class TailForbiddenTest : public testing::TestWithParam<char16_t> {};

TEST_P(TailForbiddenTest, NeverEndsAColumn) {
  const std::u16string line = std::u16string(u"あ") + GetParam() + u"いう";
  EXPECT_TRUE(IsTailForbidden(GetParam()));
  EXPECT_FALSE(IsHeadForbidden(GetParam()));
  for (const Kinsoku kinsoku : {kHang, kPush}) {
    EXPECT_EQ(Cut(line, 2, kinsoku), std::u16string(u"あ|") + GetParam() + u"い|う");
  }
  EXPECT_EQ(Cut(line, 2, kNone), std::u16string(u"あ") + GetParam() + u"|いう");
}

const std::u16string kTailForbidden = u"（［｛「『【〔〈《〘〖｟“‘«＄￥￡";

INSTANTIATE_TEST_SUITE_P(All, TailForbiddenTest, testing::ValuesIn(kTailForbidden),
                         [](const auto& info) { return "U" + std::to_string(info.param); });

TEST(ForbiddenSetsTest, OrdinaryCharactersAreFree) {
  for (const char32_t c : {U'あ', U'ア', U'漢', U'ａ', U'　', U'😀', U'"', U'('}) {
    EXPECT_FALSE(IsHeadForbidden(c)) << static_cast<unsigned>(c);
    EXPECT_FALSE(IsTailForbidden(c)) << static_cast<unsigned>(c);
  }
}

// Words that a cut must not split, and runs of brackets that move as one.
INSTANTIATE_TEST_SUITE_P(
    Rules, SegmentLineTest,
    testing::Values(
        SegmentCase{"StopHangs", u"あいう。え", 3, kHang, u"あいう。|え"},
        SegmentCase{"OneStopHangsTheOtherIsPushed", u"あいう。。え", 3, kHang, u"あい|う。。|え"},
        SegmentCase{"BracketIsPushedUnderHang", u"あいう」え", 3, kHang, u"あい|う」え"},
        SegmentCase{"Fo", u"あいうフォー", 5, kHang, u"あいう|フォー"},
        SegmentCase{"Ti", u"あいうえティー", 6, kPush, u"あいうえ|ティー"},
        SegmentCase{"Computer", u"あいうえおコンピュータ", 9, kHang, u"あいうえおコン|ピュータ"},
        SegmentCase{"ClosingRun", u"あいうえ」）お", 4, kPush, u"あいう|え」）お"},
        SegmentCase{"ClosingRunUnderHang", u"あいうえ」）お", 4, kHang, u"あいう|え」）お"},
        SegmentCase{"OpeningRun", u"あいう（「えお", 4, kHang, u"あいう|（「えお"},
        SegmentCase{"OpeningRunAtTheCut", u"あいう（「えお", 5, kPush, u"あいう|（「えお"},
        SegmentCase{"StopThenBracket", u"あいう。）え", 3, kHang, u"あい|う。）|え"},
        SegmentCase{"StopThenBracketPushed", u"あいう。）え", 3, kPush, u"あい|う。）|え"},
        SegmentCase{"DashesStayTogether", u"あいう――え", 4, kPush, u"あいう|――え"},
        SegmentCase{"PercentFollowsItsNumber", u"あいう１０％", 5, kHang, u"あいう|１０％"},
        SegmentCase{"DollarPrecedesItsNumber", u"あい＄５", 3, kPush, u"あい|＄５"},
        // At most half the column moves; past that the cut stays after N.
        SegmentCase{"TooFarStaysAtN", u"あ」」」」い", 2, kPush, u"あ」|」」|」い"},
        SegmentCase{"HalfMoves", u"あいうえお」」」」か", 8, kPush, u"あいうえ|お」」」」か"},
        SegmentCase{"MoreThanHalf", u"あいうお」」」」」か", 8, kPush, u"あいうお」」」」|」か"},
        SegmentCase{"PushBeforeIsForbiddenToo", u"あー。う", 2, kPush, u"あー|。う"},
        SegmentCase{"PushLeavesTailForbidden", u"「い。う", 2, kPush, u"「い|。う"},
        SegmentCase{"TailThenHeadAcrossTheCut", u"あ「」い", 2, kHang, u"あ|「」|い"},
        SegmentCase{"TailThenHeadPushed", u"あ「」い", 2, kPush, u"あ|「」|い"},
        SegmentCase{"HangsAtTheEnd", u"あい。", 2, kHang, u"あい。"},
        SegmentCase{"PushesAtTheEnd", u"あい。", 2, kPush, u"あ|い。"},
        SegmentCase{"EachCutOnItsOwn", u"あい。うえ、お", 2, kHang, u"あい。|うえ、|お"},
        SegmentCase{"PushedColumnsInARow", u"あい。うえ、お", 2, kPush, u"あ|い。|う|え、|お"},
        SegmentCase{"HangMayLeaveOne", u"あい。う", 2, kHang, u"あい。|う"},
        // N = 1: pushing or moving down would leave a column empty; hanging may not.
        SegmentCase{"OneHangs", u"あ。い", 1, kHang, u"あ。|い"},
        SegmentCase{"OneCannotPush", u"あ。い", 1, kPush, u"あ|。|い"},
        SegmentCase{"OneCannotMoveTail", u"「あ", 1, kHang, u"「|あ"},
        SegmentCase{"HangRunAtTheStart", u"。。。。", 2, kHang, u"。。|。。"},
        SegmentCase{"TwoTailAtTheStart", u"「あい", 2, kHang, u"「あ|い"},
        SegmentCase{"OneTailWouldEmpty", u"あ「い", 1, kPush, u"あ|「|い"},
        SegmentCase{"PairBeforeHead", u"あ😀。い", 2, kPush, u"あ|😀。|い"},
        SegmentCase{"PairAfterTail", u"あ「😀い", 2, kHang, u"あ|「😀|い"},
        SegmentCase{"HalfWidthCommaIsForbiddenToo", u"あい,う", 2, kHang, u"あ|い,|う"}),
    testing_support::CaseName());

// A column filled by advance rather than by cells: half-width letters take
// one unit, everything else two, and the same rules cut the line.
TEST(FittedSegmentTest, ColumnsHoldWhatFitsByAdvance) {
  const auto width = [](char32_t c) -> std::size_t { return c < 0x80 ? 1 : 2; };
  const struct {
    std::u32string line;
    std::size_t room;
    std::vector<Segment> segments;
  } cases[] = {
      {U"あいうえお", 6, {{0, 3}, {3, 2}}},
      {U"あAspellい", 6, {{0, 1}, {1, 6}, {7, 1}}},
      {U"ab cd ef", 4, {{0, 3}, {3, 3}, {6, 2}}},
      {U"あい。う", 4, {{0, 1}, {1, 2}, {3, 1}}},
      // The quoted word that fits stays whole, though Unicode's rules bind
      // its quotes to the stop and the kana.
      {U"あい。\"abcd\"う", 6, {{0, 3}, {3, 6}, {9, 1}}},
      {U"漢", 1, {{0, 1}}},
  };
  for (const auto& c : cases) {
    std::vector<Segment> got;
    ForEachFittedSegment(
        c.line.size(), AdvanceFit<decltype(width)>{c.room, width}, Kinsoku::kPushOut,
        [&c](std::size_t i) { return c.line[i]; },
        [&got](const Segment& segment) { got.push_back(segment); });
    EXPECT_EQ(got, c.segments) << c.line.size() << " code points in " << c.room;
  }
}

// Words and numbers stay whole unless longer than a column; spaces never
// start one. Half-width text reads as its full-width forms do.
INSTANTIATE_TEST_SUITE_P(
    Words, SegmentLineTest,
    testing::Values(
        SegmentCase{"Price", u"紅茶が500円です", 4, kPush, u"紅茶が|500円|です"},
        SegmentCase{"PriceHangs", u"紅茶が500円です", 4, kHang, u"紅茶が|500円|です"},
        SegmentCase{"Pages", u"あいう300ページ", 4, kPush, u"あいう|300|ページ"},
        SegmentCase{"SpaceStaysAtTheEnd", u"pkcon install", 8, kPush, u"pkcon |install"},
        SegmentCase{"FullWidth", u"ｐｋｃｏｎ　ｉｎｓｔａｌｌ", 8, kHang,
                    u"ｐｋｃｏｎ　|ｉｎｓｔａｌｌ"},
        SegmentCase{"SpaceVanishesAtAFullColumn", u"pkcon install", 5, kHang, u"pkcon|insta|ll"},
        SegmentCase{"SpacesVanish", u"ab   cd", 3, kPush, u"ab |cd"},
        SegmentCase{"IdeographicSpace", u"あいう　えお", 3, kPush, u"あいう|えお"},
        SegmentCase{"TrailingSpaces", u"abc   ", 4, kPush, u"abc "},
        SegmentCase{"WordMovesDown", u"これはAspellです", 7, kPush, u"これは|Aspellで|す"},
        SegmentCase{"WordPastHalf", u"あいうえおかAspell", 10, kPush, u"あいうえおか|Aspell"},
        SegmentCase{"LongWordFillsTheColumn", u"これはAspellです", 5, kPush, u"これはAs|pellで|す"},
        SegmentCase{"Url", u"見てhttps://example.com/a/b", 10, kPush,
                    u"見てhttps://|example.co|m/a/b"},
        SegmentCase{"LongPath", u"パスは/usr/share/docです", 10, kHang,
                    u"パスは/usr/|share/docで|す"},
        SegmentCase{"Separators", u"価格は1,234,567円", 10, kPush, u"価格は|1,234,567円"},
        SegmentCase{"LongNumber", u"価格は1,234,567円", 6, kPush, u"価格は1,2|34,567|円"},
        SegmentCase{"Decimal", u"この値は3.14。次", 7, kHang, u"この値は|3.14。次"},
        SegmentCase{"StopHangsAfterAWord", u"ABCDE。FG", 5, kHang, u"ABCDE。|FG"},
        SegmentCase{"StopNeverStartsAColumn", u"ABCDE。FG", 5, kPush, u"ABCD|E。FG"},
        SegmentCase{"BracketedWord", u"あいう「Aspell」", 8, kPush, u"あいう|「Aspell」"},
        SegmentCase{"BracketedWordTooLong", u"あいう「Aspell」", 6, kPush, u"あいう|「Aspe|ll」"},
        SegmentCase{"QuoteKeepsTheJapaneseRules", u"あ“いう", 2, kPush, u"あ|“い|う"},
        SegmentCase{"NoneCutsWords", u"pkcon install", 8, kNone, u"pkcon in|stall"},
        // A word's own punctuation is left to Unicode's rules: ％ may start
        // a column as "%d", a quoted word keeps its quotes.
        SegmentCase{"PercentStartsAFormat", u"経過時間：　%ld.%02d秒", 10, kPush,
                    u"経過時間：　|%ld.%02d秒"},
        SegmentCase{"QuotesStay", u"テーブル\"%2$s\"の列", 10, kPush, u"テーブ|ル\"%2$s\"の列"},
        // Where Unicode's rules bind a word that fits to what stands beside
        // it, past the column, the cut falls at the word's edge rather than
        // inside it: before the quote a stop binds, the slash a comma binds.
        SegmentCase{"QuotedPathAfterAStop", u"りません。\"/dev/sda\"等の", 10, kHang,
                    u"りません。|\"/dev/sda\"|等の"},
        SegmentCase{"QuotedPathAfterAStopPushed", u"りません。\"/dev/sda\"等の", 10, kPush,
                    u"りません。|\"/dev/sda\"|等の"},
        SegmentCase{"PathAfterAComma", u"適用するには、/etc/group に", 10, kPush,
                    u"適用するには、|/etc/group|に"},
        SegmentCase{"IndentedDotWord", u"  .bashrc を", 8, kHang, u"  |.bashrc |を"},
        SegmentCase{"CurlyQuotedWord", u"mount は“remount”を実装", 10, kPush,
                    u"mount |は“remount”|を実装"},
        // The quote binds the bracket after it, and so the word before.
        SegmentCase{"WordBoundToABracket", u"見る \"halt -h now\" (「停止」を参照", 10, kHang,
                    u"見る \"halt |-h |now\" (「停止」|を参照"},
        // A word just filling the column ends it, though Unicode's rules
        // bind the quote to the kana after it.
        SegmentCase{"WordFillsTheColumn", u"あ\"-c0 /dev/sda\"を実行", 8, kPush,
                    u"あ\"-c0 /|dev/sda\"|を実行"},
        SegmentCase{"WordOneLongerThanTheColumn", u"パスは \"/sbin/init\" です", 10, kHang,
                    u"パスは \"/|sbin/init\"|です"},
        // A colon alone is a sentence's mark, not a word's.
        SegmentCase{"LoneColon", u"エラーが発生しました ： %s", 10, kHang,
                    u"エラーが発生しまし|た ： %s"},
        // A word with the stop after it too long for a column is cut where
        // Unicode's rules allow.
        SegmentCase{"WordAndStopPushed", u"テーブル\"%s.%s.%s\"、ブロック", 10, kPush,
                    u"テーブル|\"%s.%s.|%s\"、ブロック"},
        SegmentCase{"WordAndStopHang", u"テーブル\"%s.%s.%s\"、ブロック", 10, kHang,
                    u"テーブル|\"%s.%s.%s\"、|ブロック"},
        // A bracket the mapping widened still binds to the word before it;
        // a short column is cut where Unicode's rules allow instead.
        SegmentCase{"WidenedBracketPushed", u"apt-get（8）。（古い", 10, kPush,
                    u"apt-|get（8）。（古い"}),
    testing_support::CaseName());

// A piece between two places a word may be cut at that fits in a column is
// never cut: the column ends before it. A longer one is cut first at its
// own places (after a hyphen or a slash, between a URL's parts), and where
// it must.
INSTANTIATE_TEST_SUITE_P(
    LongPieces, SegmentLineTest,
    testing::Values(
        SegmentCase{"HyphenatedCommand",
                    u"５．１０．　ｕｐｄａｔｅ－ａｌｔｅｒｎａｔｉｖｅｓ　を使う", 10, kHang,
                    u"５．１０．　|ｕｐｄａｔｅ－|ａｌｔｅｒｎａｔｉｖ|ｅｓ　を使う"},
        SegmentCase{
            "UrlPartFitsTheNextColumn",
            u"詳しくは　ｈｔｔｐｓ：／／ｗｉｋｉ．ｄｅｂｉａｎ．ｏｒｇ／　を見てください。", 20,
            kHang,
            u"詳しくは　ｈｔｔｐｓ：／／|ｗｉｋｉ．ｄｅｂｉａｎ．ｏｒｇ／　を見て|ください。"},
        SegmentCase{
            "UrlInShortColumns",
            u"詳しくは　ｈｔｔｐｓ：／／ｗｉｋｉ．ｄｅｂｉａｎ．ｏｒｇ／　を見てください。", 10,
            kPush,
            u"詳しくは　|ｈｔｔｐｓ：／／|ｗｉｋｉ．ｄｅｂｉａ|ｎ．ｏｒｇ／　を見て|ください。"},
        SegmentCase{"HyphenatedName", u"これは　ｄｅｂｉａｎ－ｒｅｆｅｒｅｎｃｅ　です", 10, kPush,
                    u"これは　|ｄｅｂｉａｎ－|ｒｅｆｅｒｅｎｃｅ　|です"},
        SegmentCase{"OptionName", u"指定は　－－ｃｏｌｕｍｎ－ｌｅｎｇｔｈ＝２０　で", 10, kHang,
                    u"指定は　－－|ｃｏｌｕｍｎ－|ｌｅｎｇｔｈ＝２０　|で"},
        SegmentCase{"OptionNameInFive", u"－－ｃｏｌｕｍｎ－ｌｅｎｇｔｈ", 5, kHang,
                    u"－－|ｃｏｌｕｍ|ｎ－ｌｅｎ|ｇｔｈ"},
        SegmentCase{"PathInTwenty",
                    u"設定は　／ｅｔｃ／ａｐｔ／ｓｏｕｒｃｅｓ．ｌｉｓｔ．ｄ／ｄｅｂｉａｎ．ｓｏｕ"
                    u"ｒｃｅｓ　にある",
                    20, kPush,
                    u"設定は　／ｅｔｃ／ａｐｔ／|ｓｏｕｒｃｅｓ．ｌｉｓｔ．ｄ／|"
                    u"ｄｅｂｉａｎ．ｓｏｕｒｃｅｓ　にある"},
        SegmentCase{"LongWordInFive", u"ａｂｃｄｅｆｇｈｉｊｋｌ", 5, kPush,
                    u"ａｂｃｄｅ|ｆｇｈｉｊ|ｋｌ"},
        SegmentCase{"WordAfterAHyphenFillsTheRest", u"ｘ－ａｂｃｄｅｆｇｈｉｊｋｌ", 5, kHang,
                    u"ｘ－|ａｂｃｄｅ|ｆｇｈｉｊ|ｋｌ"}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
