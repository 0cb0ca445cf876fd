#include "core/ruby_notation.h"

#include "core/code_points.h"
#include "unicode/utf16.h"

namespace mirotabe {
namespace {

constexpr char16_t kOpen = u'《';
constexpr char16_t kClose = u'》';

bool IsBar(char16_t c) {
  return c == u'｜' || c == u'|';
}
bool IsLineEnd(char16_t c) {
  return c == u'\r' || c == u'\n';
}

// The code point that ends just before `end` (> 0).
CodePoint CodePointBefore(std::u16string_view text, std::size_t end) {
  if (end >= 2 && IsLowSurrogate(text[end - 1]) && IsHighSurrogate(text[end - 2])) {
    return CodePointAt(text, end - 2);
  }
  return {text[end - 1], 1};
}

// Where the 》 that closes the 《 at `open` stands; npos where the line
// ends first or another 《 comes first.
std::size_t CloseOf(std::u16string_view text, std::size_t open) {
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == kClose) return i;
    if (text[i] == kOpen || IsLineEnd(text[i])) break;
  }
  return std::u16string_view::npos;
}

// Where the 》》 of an emphasis that opens at `open` ends (after it); npos
// where its line has none.
std::size_t EmphasisEnd(std::u16string_view text, std::size_t open) {
  for (std::size_t i = open + 2; i + 1 < text.size(); ++i) {
    if (IsLineEnd(text[i])) break;
    if (text[i] == kClose && text[i + 1] == kClose) return i + 2;
  }
  return std::u16string_view::npos;
}

}  // namespace

bool IsRubyBaseKanji(char32_t c) {
  return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3134F) || c == U'々' ||
         c == U'〆' || c == U'〇' || c == U'ヶ' || c == U'ヵ';
}

std::vector<RubyMark> FindRubyMarks(std::u16string_view text) {
  std::vector<RubyMark> marks;
  // Neither a base nor its bar reaches back past this: the line's start or
  // the end of the mark before.
  std::size_t floor = 0;
  std::size_t bar = RubyMark::kNoBar;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsLineEnd(c)) {
      floor = i + 1;
      bar = RubyMark::kNoBar;
    } else if (IsBar(c)) {
      bar = i;
    } else if (c == kOpen && i + 1 < text.size() && text[i + 1] == kOpen) {
      // Emphasis is text, bar and all; its own 》》 would otherwise close
      // a reading of 《….
      if (const std::size_t end = EmphasisEnd(text, i); end != std::u16string_view::npos) {
        i = end - 1;
        floor = end;
        bar = RubyMark::kNoBar;
      }
    } else if (c == kOpen) {
      const std::size_t close = CloseOf(text, i);
      if (close == std::u16string_view::npos || close == i + 1) continue;
      RubyMark mark{bar, i, i, i + 1, close};
      if (bar != RubyMark::kNoBar) {
        mark.baseBegin = bar + 1;
      } else {
        while (mark.baseBegin > floor) {
          const CodePoint before = CodePointBefore(text, mark.baseBegin);
          if (!IsRubyBaseKanji(before.value)) break;
          mark.baseBegin -= before.units;
        }
      }
      if (mark.baseBegin == mark.baseEnd) continue;
      marks.push_back(mark);
      i = close;
      floor = close + 1;
      bar = RubyMark::kNoBar;
    }
  }
  return marks;
}

RubyReadings TakeOutRubyMarks(std::u16string& text) {
  const std::vector<RubyMark> marks = FindRubyMarks(text);
  RubyReadings result;
  if (marks.empty()) return result;
  result.spans.reserve(marks.size());
  std::size_t to = 0;
  std::size_t from = 0;
  const auto keep = [&](std::size_t end) {
    for (; from < end; ++from) text[to++] = text[from];
  };
  const auto drop = [&](std::size_t end) {
    for (; from < end; ++from) result.removed.push_back(from);
  };
  for (const RubyMark& mark : marks) {
    if (mark.bar != RubyMark::kNoBar) {
      keep(mark.bar);
      drop(mark.bar + 1);
    }
    keep(mark.baseBegin);
    const std::size_t baseBegin = to;
    keep(mark.baseEnd);
    const std::size_t readingBegin = result.readings.size();
    result.readings.append(text, mark.readingBegin, mark.readingEnd - mark.readingBegin);
    result.spans.push_back(RubySpan{baseBegin, to, readingBegin, result.readings.size()});
    drop(mark.readingEnd + 1);
  }
  keep(text.size());
  text.resize(to);
  return result;
}

}  // namespace mirotabe
