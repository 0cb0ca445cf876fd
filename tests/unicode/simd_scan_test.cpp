#include "unicode/simd_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "unicode/utf16.h"

namespace mirotabe {
namespace {

// Lengths around the eight-unit blocks of the vector forms, each with the
// unit that ends the search or the run at every position (and at none).
constexpr std::size_t kLengths[] = {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 47};

struct Stop {
  const char* name;
  char16_t filler;  // what the text is made of
  char16_t stop;    // the one unit that ends it
};

// `length` units of `filler`, with `stop` at `at` (none when at == length).
std::u16string TextWith(const Stop& s, std::size_t length, std::size_t at) {
  std::u16string text(length, s.filler);
  if (at < length) text[at] = s.stop;
  return text;
}

TEST(SimdScan, FindUnitAndRunStopWhereTheScalarFormsStop) {
  for (const std::size_t length : kLengths) {
    for (std::size_t at = 0; at <= length; ++at) {
      const std::u16string text = TextWith({"", u'a', u'x'}, length, at);
      SCOPED_TRACE(testing::Message() << "length " << length << ", at " << at);
      for (const std::size_t from : {std::size_t{0}, std::size_t{1}}) {
        const std::size_t expected = at < from ? length : at;
        if (from > length) continue;
        EXPECT_EQ(scan_scalar::FindUnit(text, u'x', from), expected);
        EXPECT_EQ(scan::FindUnit(text, u'x', from), expected);
      }
      EXPECT_EQ(scan_scalar::RunOfUnit(text, u'a'), at);
      EXPECT_EQ(scan::RunOfUnit(text, u'a'), at);
      // Further hits in the same block: the first one counts.
      std::u16string hitsFromAt = text;
      std::fill(hitsFromAt.begin() + static_cast<std::ptrdiff_t>(at), hitsFromAt.end(), u'x');
      EXPECT_EQ(scan::FindUnit(hitsFromAt, u'x', 0), at);
      EXPECT_EQ(scan::CountUnit(hitsFromAt, u'x'), length - at);
      EXPECT_EQ(scan::CountUnit(text, u'x'), at < length ? 1U : 0U);
    }
  }
}

// Each of eight units, alone or beside others, is marked where it is one of
// the units looked for: the unit alone, among others, as the last of as
// many as are looked for; and no other unit.
TEST(SimdScan, AnyUnitsMarksTheUnitsLookedForAsTheScalarFormDoes) {
  for (const std::u16string_view units : {u"x", u"qx", u"qrstuvwx"}) {
    const scan_scalar::AnyUnits scalar(units);
    const scan::AnyUnits vector(units);
    for (unsigned pattern = 0; pattern < 256; ++pattern) {
      std::u16string eight(8, u'a');
      for (unsigned k = 0; k < 8; ++k) {
        if ((pattern >> k & 1) != 0) eight[k] = k % 2 == 0 ? u'x' : units.front();
      }
      EXPECT_EQ(scalar.Mask8(eight.data()), pattern) << units.size();
      EXPECT_EQ(vector.Mask8(eight.data()), pattern) << units.size();
    }
  }
}

TEST(SimdScan, CountUnitCountsPastWhatALaneHolds) {
  // More hits per lane than 16 bits hold, and a tail after the blocks.
  const std::u16string text(8 * 70000 + 5, u'\n');
  EXPECT_EQ(scan::CountUnit(text, u'\n'), text.size());
  EXPECT_EQ(scan::CountUnit(text, u'\r'), 0U);
}

template <typename ForEach>
std::vector<std::size_t> Visited(std::u16string_view text, ForEach forEach) {
  std::vector<std::size_t> visited;
  forEach(text, [&visited](std::size_t i) { visited.push_back(i); });
  return visited;
}

const auto kScalarVisits = [](std::u16string_view text, auto visit) {
  scan_scalar::ForEachCrOrHighSurrogate(text, visit);
};
const auto kVectorVisits = [](std::u16string_view text, auto visit) {
  scan::ForEachCrOrHighSurrogate(text, visit);
};

TEST(SimdScan, ForEachCrOrHighSurrogateVisitsEitherOnly) {
  const Stop stops[] = {
      {"CR", u'a', u'\r'},
      {"first high surrogate", u'\u3000', 0xD800},
      {"last high surrogate", u'a', 0xDBFF},
      {"low surrogate", u'a', 0xDC00},
      {"LF", u'a', u'\n'},
  };
  // Around the vector form's blocks of 64 units too.
  constexpr std::size_t kLongerLengths[] = {0, 1, 7, 8, 9, 33, 63, 64, 65, 130};
  for (const Stop& s : stops) {
    const bool visits = s.stop == u'\r' || IsHighSurrogate(s.stop);
    for (const std::size_t length : kLongerLengths) {
      for (std::size_t at = 0; at <= length; ++at) {
        SCOPED_TRACE(testing::Message() << s.name << ", length " << length << ", at " << at);
        const std::u16string text = TextWith(s, length, at);
        const std::vector<std::size_t> expected =
            visits && at < length ? std::vector<std::size_t>{at} : std::vector<std::size_t>{};
        EXPECT_EQ(Visited(text, kScalarVisits), expected);
        EXPECT_EQ(Visited(text, kVectorVisits), expected);
      }
    }
  }
}

TEST(SimdScan, ForEachCrOrHighSurrogateVisitsEveryHitInOrder) {
  // Hits side by side, in every block and across the blocks' edges.
  std::u16string text(200, u'a');
  std::vector<std::size_t> expected;
  for (const std::size_t at : {0, 1, 2, 15, 16, 63, 64, 65, 127, 128, 190, 199}) {
    text[at] = at % 2 == 0 ? u'\r' : char16_t{0xD83D};
    expected.push_back(at);
  }
  EXPECT_EQ(Visited(text, kScalarVisits), expected);
  EXPECT_EQ(Visited(text, kVectorVisits), expected);
  const std::u16string all(130, u'\r');
  EXPECT_EQ(Visited(all, kVectorVisits).size(), all.size());
}

TEST(SimdScan, NarrowAsciiRunCopiesUpToTheFirstOtherUnit) {
  const Stop stops[] = {
      {"U+0080", u'~', 0x80}, {"U+3000", u'\0', 0x3000}, {"U+FFFF", u'A', 0xFFFF}};
  for (const Stop& s : stops) {
    for (const std::size_t length : kLengths) {
      for (std::size_t at = 0; at <= length; ++at) {
        SCOPED_TRACE(testing::Message() << s.name << ", length " << length << ", at " << at);
        const std::u16string text = TextWith(s, length, at);
        std::string scalar(length, '#');
        std::string vector(length, '#');
        EXPECT_EQ(scan_scalar::NarrowAsciiRun(text, scalar.data()), at);
        EXPECT_EQ(scan::NarrowAsciiRun(text, vector.data()), at);
        EXPECT_EQ(vector, scalar);
        EXPECT_EQ(scalar,
                  std::string(at, static_cast<char>(s.filler)) + std::string(length - at, '#'));
      }
    }
  }
}

// Every kind of unit WidenAsciiRun takes under kTaken, and what it makes
// of each.
constexpr WidenedUnits kTaken{0xA2, 0x2987, 0xFF61};
const std::vector<std::pair<char16_t, char16_t>> kWidened = {
    {0x01, 0x01},     {u' ', 0x3000},   {u'A', u'Ａ'},   {u'~', u'～'}, {0x2987, 0x2987},
    {0x6F22, 0x6F22}, {0xFF60, 0xFF60}, {0x1F, 0x1F},    {0x21, u'！'}, {0x7F, 0x7F},
    {0xA0, 0xA0},     {0xA1, 0xA1},     {0x3000, 0x3000}};

TEST(SimdScan, WidenAsciiRunMapsUpToTheFirstOtherUnit) {
  for (const char16_t stop : {char16_t{0xA2}, char16_t{0x2986}, char16_t{0xFF61}}) {
    for (const std::size_t length : kLengths) {
      for (std::size_t at = 0; at <= length; ++at) {
        SCOPED_TRACE(testing::Message()
                     << "stop " << int{stop} << ", length " << length << ", at " << at);
        // The kinds in turn, so that each comes at every lane of a block.
        std::u16string text(length, u'\0');
        std::u16string expected(length, u'#');
        for (std::size_t i = 0; i < length; ++i) {
          text[i] = kWidened[i % kWidened.size()].first;
          if (i < at) expected[i] = kWidened[i % kWidened.size()].second;
        }
        if (at < length) text[at] = stop;
        std::u16string scalar(length, u'#');
        std::u16string vector(length, u'#');
        EXPECT_EQ(scan_scalar::WidenAsciiRun(text, kTaken, scalar.data()), at);
        EXPECT_EQ(scan::WidenAsciiRun(text, kTaken, vector.data()), at);
        EXPECT_EQ(scalar, expected);
        EXPECT_EQ(vector, expected);
#if defined(MIROTABE_SCAN_AVX2)
        if (scan_avx2::Available()) {
          std::u16string wide(length, u'#');
          EXPECT_EQ(scan_avx2::WidenAsciiRun(text, kTaken, wide.data()), at);
          EXPECT_EQ(wide, expected);
        }
#endif
      }
    }
  }
}

}  // namespace
}  // namespace mirotabe
