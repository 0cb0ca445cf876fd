// Ruby (furigana) as writers type it in plain text, the way Aozora Bunko
// and web-novel sites mark it:
// - ｜base《reading》 (or |base《reading》): the bar says where the base
//   starts;
// - 漢字《よみ》 without a bar: the base is the run of kanji (with 々〆〇ヶ,
//   which stand for kanji) just before 《.
// What is not a whole mark stays text as it stands: a 《 with no 》 on its
// line, a 《 after no base, an empty reading, a reading holding 《 (the
// later 《 may start a mark of its own), and 《《…》》, which some sites
// use for emphasis dots. A mark never reaches past its line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirotabe {

// A mark found in a text, in units of that text.
struct RubyMark {
  // The bar, or kNoBar.
  std::size_t bar = 0;
  // The base is [baseBegin, baseEnd); 《 stands at baseEnd.
  std::size_t baseBegin = 0;
  std::size_t baseEnd = 0;
  // The reading is [readingBegin, readingEnd); 》 stands at readingEnd.
  std::size_t readingBegin = 0;
  std::size_t readingEnd = 0;

  static constexpr std::size_t kNoBar = static_cast<std::size_t>(-1);
  friend bool operator==(const RubyMark&, const RubyMark&) = default;
};

// Whether `c` can be a base without a bar: a kanji, or 々〆〇ヶ.
bool IsRubyBaseKanji(char32_t c);

// The marks of `text`, in order; they never overlap.
std::vector<RubyMark> FindRubyMarks(std::u16string_view text);

// A base and its reading once the marks are taken out: the base is units
// [baseBegin, baseEnd) of the text left, the reading units
// [readingBegin, readingEnd) of the readings.
struct RubySpan {
  std::size_t baseBegin = 0;
  std::size_t baseEnd = 0;
  std::size_t readingBegin = 0;
  std::size_t readingEnd = 0;
  friend bool operator==(const RubySpan&, const RubySpan&) = default;
};

struct RubyReadings {
  std::vector<RubySpan> spans;  // in order of their bases
  std::u16string readings;      // every reading, one after another
  // The units of the text before that left it (bars, 《, readings, 》), in
  // ascending order, so that what follows the text's units can follow
  // them.
  std::vector<std::size_t> removed;
};

// Takes the marks out of `text`, in its own memory: the bases stay, the
// bars, 《》 and the readings leave it, and the readings are returned
// beside it.
RubyReadings TakeOutRubyMarks(std::u16string& text);

}  // namespace mirotabe
