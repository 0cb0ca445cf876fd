#include "core/column_segments.h"

#include <gtest/gtest.h>

#include <string>

#include "core/code_points.h"
#include "tests/support/case_name.h"

namespace mirotabe {
namespace {

// The line with a '|' at every cut, so that each row of the tables reads as
// the columns it asks for.
std::u16string Cut(std::u16string_view line, std::size_t n, Kinsoku kinsoku) {
  std::u16string out;
  std::size_t unit = 0;
  bool first = true;
  for (const std::size_t cells : SegmentLine(line, n, kinsoku)) {
    if (!first) out += u'|';
    first = false;
    for (std::size_t i = 0; i < cells; ++i) {
      const std::size_t units = CodePointAt(line, unit).units;
      out.append(line.substr(unit, units));
      unit += units;
    }
  }
  EXPECT_EQ(unit, line.size()) << "the segments must cover the line";
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
        SegmentCase{"PercentFollowsItsNumber", u"あいう１０％", 5, kHang, u"あいう１|０％"},
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
        SegmentCase{"HalfWidthIsNotForbidden", u"あい,う", 2, kHang, u"あい|,う"}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
