#include "core/aozora_grid_text.h"

#include <algorithm>
#include <string_view>

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

// Units [begin, end) of the body with its ruby written back in the ruby
// notation; the bar only where the base would not be found without it.
std::u16string WithRuby(const AozoraBook& book, std::size_t begin, std::size_t end,
                        std::vector<AozoraSpan>::const_iterator& ruby) {
  std::u16string text;
  std::size_t pos = begin;
  for (; ruby != book.spans.end() && ruby->begin < end; ++ruby) {
    if (ruby->style != AozoraStyle::kRuby || ruby->begin < pos || ruby->end > end) continue;
    text.append(book.body, pos, ruby->begin - pos);
    const std::u16string_view base(book.body.data() + ruby->begin, ruby->end - ruby->begin);
    if (!AllBaseKanji(base) || EndsInBaseKanji(text)) text += u'｜';
    text += base;
    text += u'《';
    text += ruby->text;
    text += u'》';
    pos = ruby->end;
  }
  text.append(book.body, pos, end - pos);
  return text;
}

}  // namespace

std::u16string AozoraGridText(const AozoraBook& book, std::size_t columnLength) {
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
  auto ruby = book.spans.cbegin();
  for (const AozoraLine& line : book.lines) {
    text.append(static_cast<std::size_t>(line.indent), kFullWidthSpace);
    if (line.bottomFrom == kNoBottom) {
      text += WithRuby(book, line.begin, line.end, ruby);
    } else {
      const std::size_t split = line.begin + std::min(line.bottomFrom, line.end - line.begin);
      const std::u16string_view body(book.body);
      const std::size_t used = static_cast<std::size_t>(line.indent) +
                               Cells(body.substr(line.begin, line.end - line.begin)) +
                               static_cast<std::size_t>(line.raise);
      text += WithRuby(book, line.begin, split, ruby);
      if (used < width) text.append(width - used, kFullWidthSpace);
      text += WithRuby(book, split, line.end, ruby);
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
