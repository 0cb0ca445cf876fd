#include "core/aozora_grid_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/ruby_notation.h"
#include "unicode/utf16.h"

namespace mirotabe {
namespace {

constexpr char16_t kFullWidthSpace = u'\u3000';

// The cells that `text` takes: one a character.
std::size_t Cells(std::u16string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char16_t unit) { return !IsLowSurrogate(unit); }));
}

bool EndsInBaseKanji(std::u16string_view text) {
  if (text.empty()) return false;
  char32_t last = text.back();
  if (IsLowSurrogate(last) && text.size() >= 2 && IsHighSurrogate(text[text.size() - 2])) {
    last = CombineSurrogates(text[text.size() - 2], last);
  }
  return IsRubyBaseKanji(last);
}

bool AllBaseKanji(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = CombineSurrogates(c, text[++i]);
    }
    if (!IsRubyBaseKanji(c)) return false;
  }
  return !text.empty();
}

constexpr std::array<std::u16string_view, kEmphasisKinds> kEmphasisMarks = {
    u"\uFE45", u"\uFE46", u"\u25CF", u"\u25CB", u"\u25B2",
    u"\u25B3", u"\u25CE", u"\u25C9", u"\u00D7"};
// Set turned, as a column sets these: two marks of half a cell fill the
// cell, one leaves a gap above and below it, the dashes of 破線.
constexpr std::array<std::u16string_view, kSideLineKinds> kSideLineMarks = {
    u"\u2500\u2500", u"\uFF1D\uFF1D", u"\u2500\u30FB", u"\u2500", u"\uFF5E\uFF5E"};

// The mark of each unit of the body, as 1 + its index in the marks above
// (side lines after the dots), 0 for none.
std::vector<std::uint8_t> MarksOfUnits(const AozoraBook& book) {
  std::vector<std::uint8_t> marks(book.body.size(), 0);
  for (const AozoraSpan& span : book.spans) {
    const int kind = span.variant % kLeftSide;
    int mark = 0;
    if (span.style == AozoraStyle::kEmphasis && kind < kEmphasisKinds) mark = 1 + kind;
    if (span.style == AozoraStyle::kSideLine && kind < kSideLineKinds) {
      mark = 1 + kEmphasisKinds + kind;
    }
    if (mark == 0) continue;
    std::fill(marks.begin() + static_cast<std::ptrdiff_t>(std::min(span.begin, marks.size())),
              marks.begin() + static_cast<std::ptrdiff_t>(std::min(span.end, marks.size())),
              static_cast<std::uint8_t>(mark));
  }
  return marks;
}

std::u16string_view ReadingOfMark(std::uint8_t mark) {
  return mark <= kEmphasisKinds ? kEmphasisMarks[mark - 1]
                                : kSideLineMarks[mark - 1 - kEmphasisKinds];
}

// Characters that a mark is never set beside: blanks, and those the ruby
// notation would read as its own.
bool TakesNoMark(char16_t unit) {
  return unit == kFullWidthSpace || unit == u' ' || unit == u'｜' || unit == u'《' || unit == u'》';
}

// Punctuation takes no 傍点 (the side line runs on past it).
bool TakesNoDot(char16_t unit) {
  return std::u16string_view(u"、。，．・：；！？「」『』（）〔〕［］〈〉【】…‥").find(unit) !=
         std::u16string_view::npos;
}

// Writes the body's lines into the grid: ruby back in the ruby notation
// (the bar only where the base would not be found without it), and the
// marks, when asked for, as readings of their own.
class GridWriter {
 public:
  GridWriter(const AozoraBook& book, GridMarks marks)
      : book_(book),
        marks_(marks == GridMarks::kBeside ? MarksOfUnits(book) : std::vector<std::uint8_t>{}),
        ruby_(book.spans.cbegin()) {}

  // Appends units [begin, end) of the body to `text`.
  void Append(std::u16string& text, std::size_t begin, std::size_t end) {
    std::size_t pos = begin;
    for (; ruby_ != book_.spans.end() && ruby_->begin < end; ++ruby_) {
      if (ruby_->style != AozoraStyle::kRuby || ruby_->begin < pos || ruby_->end > end) continue;
      AppendMarked(text, pos, ruby_->begin);
      const std::u16string_view base(book_.body.data() + ruby_->begin, ruby_->end - ruby_->begin);
      if (!AllBaseKanji(base) || EndsInBaseKanji(text)) text += u'｜';
      text += base;
      text += u'《';
      text += ruby_->text;
      text += u'》';
      pos = ruby_->end;
    }
    AppendMarked(text, pos, end);
  }

 private:
  void AppendMarked(std::u16string& text, std::size_t begin, std::size_t end) const {
    if (marks_.empty()) {
      text.append(book_.body, begin, end - begin);
      return;
    }
    for (std::size_t at = begin; at < end;) {
      const std::size_t units =
          at + 1 < end && IsHighSurrogate(book_.body[at]) && IsLowSurrogate(book_.body[at + 1]) ? 2
                                                                                                : 1;
      const std::uint8_t mark = marks_[at];
      if (mark == 0 || TakesNoMark(book_.body[at]) ||
          (mark <= kEmphasisKinds && TakesNoDot(book_.body[at]))) {
        text.append(book_.body, at, units);
      } else {
        text += u'｜';
        text.append(book_.body, at, units);
        text += u'《';
        text += ReadingOfMark(mark);
        text += u'》';
      }
      at += units;
    }
  }

  const AozoraBook& book_;
  const std::vector<std::uint8_t> marks_;
  std::vector<AozoraSpan>::const_iterator ruby_;
};

}  // namespace

std::u16string AozoraGridText(const AozoraBook& book, std::size_t columnLength, GridMarks marks) {
  std::size_t width = columnLength;
  if (width == 0) {
    for (const AozoraLine& line : book.lines) {
      width = std::max(width, static_cast<std::size_t>(line.indent) +
                                  Cells(std::u16string_view(book.body).substr(
                                      line.begin, line.end - line.begin)));
    }
  }
  std::u16string text;
  for (const std::u16string& line : book.header) {
    text += line;
    text += u"\r\n";
  }
  if (!book.header.empty()) text += u"\r\n";
  GridWriter writer(book, marks);
  for (const AozoraLine& line : book.lines) {
    text.append(static_cast<std::size_t>(line.indent), kFullWidthSpace);
    if (line.bottomFrom == kNoBottom) {
      writer.Append(text, line.begin, line.end);
    } else {
      const std::size_t split = line.begin + std::min(line.bottomFrom, line.end - line.begin);
      const std::u16string_view body(book.body);
      const std::size_t used = static_cast<std::size_t>(line.indent) +
                               Cells(body.substr(line.begin, line.end - line.begin)) +
                               static_cast<std::size_t>(line.raise);
      writer.Append(text, line.begin, split);
      if (used < width) text.append(width - used, kFullWidthSpace);
      writer.Append(text, split, line.end);
    }
    text += u"\r\n";
  }
  // The last line ends as the text's did: a line break more would be a
  // column more.
  if (!book.finalLineBreak && text.ends_with(u"\r\n")) text.resize(text.size() - 2);
  return text;
}

std::vector<PageBreak> AozoraPageBreaks(const AozoraBook& book) {
  // The header's lines, and the blank line after them, come first.
  const std::size_t first = book.header.empty() ? 0 : book.header.size() + 1;
  std::vector<PageBreak> breaks;
  for (std::size_t i = 0; i < book.lines.size(); ++i) {
    const AozoraBreak kind = book.lines[i].breakBefore;
    if (kind == AozoraBreak::kPage) breaks.push_back({first + i, PageBreak::Side::kNext});
    if (kind == AozoraBreak::kRecto) breaks.push_back({first + i, PageBreak::Side::kOdd});
    if (kind == AozoraBreak::kSpread) breaks.push_back({first + i, PageBreak::Side::kEven});
  }
  return breaks;
}

}  // namespace mirotabe
