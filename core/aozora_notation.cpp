#include "core/aozora_notation.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/aozora_gaiji.h"
#include "core/ruby_notation.h"

namespace mirotabe {
namespace {

using Kind = AozoraCommand::Kind;

// Stands in the text, through the search for ruby, for a character that a
// 外字 note named and that the ruby notation would read as its own (｜《》):
// a noncharacter, which no text holds once ReadAozoraText has replaced it.
constexpr char16_t kHeldUnit = 0xFFFF;
constexpr char16_t kReplacementCharacter = 0xFFFD;

struct Annotation {
  std::size_t at = 0;  // in the line's text
  AozoraCommand command;
};

// One line with its notation read: the text, its ruby and 訓点 spans (in
// units of the line), and its annotations where they stood.
struct LineReading {
  std::u16string text;
  std::vector<AozoraSpan> spans;
  std::vector<Annotation> annotations;
  std::size_t unnamed = 0;
  bool hadNotation = false;
};

// The ］ that closes the ［＃ at `open`, counting the ［ ］ pairs inside it.
std::size_t ClosingBracket(std::u16string_view line, std::size_t open) {
  int depth = 0;
  for (std::size_t pos = open; pos < line.size(); ++pos) {
    if (line[pos] == u'［') ++depth;
    if (line[pos] == u'］' && --depth == 0) return pos;
  }
  return std::u16string_view::npos;
}

bool IsRubyMarkUnit(char16_t c) {
  return c == u'｜' || c == u'|' || c == u'《' || c == u'》';
}

// Positions of the text before ruby was taken out, in the text after.
struct PositionMap {
  const std::vector<std::size_t>& removed;
  std::size_t operator()(std::size_t pos) const {
    return pos - static_cast<std::size_t>(std::lower_bound(removed.begin(), removed.end(), pos) -
                                          removed.begin());
  }
  bool Removed(std::size_t pos) const {
    return std::binary_search(removed.begin(), removed.end(), pos);
  }
};

void MarkKunojiten(LineReading& line) {
  for (const std::u16string_view mark : {u"／＼", u"／″＼", u"／゛＼"}) {
    for (std::size_t pos = line.text.find(mark); pos != std::u16string::npos;
         pos = line.text.find(mark, pos + mark.size())) {
      line.spans.push_back({pos, pos + mark.size(), AozoraStyle::kKunojiten, 0, {}});
    }
  }
}

using HeldUnits = std::vector<std::pair<std::size_t, char16_t>>;

// Appends the character of the 外字 note `content` in place of the ※ that
// ends `text`, holding back the units the ruby notation would read; false
// when it is no such note.
bool AppendGaiji(std::u16string_view content, std::u16string& text, HeldUnits& held,
                 std::size_t& unnamed) {
  const std::optional<GaijiNote> note = ReadGaijiNote(content);
  if (!note) return false;
  text.pop_back();
  if (note->character.empty()) {
    text += kUnnamedCharacter;
    ++unnamed;
  }
  for (const char16_t unit : note->character) {
    if (IsRubyMarkUnit(unit)) held.emplace_back(text.size(), unit);
    text += IsRubyMarkUnit(unit) ? kHeldUnit : unit;
  }
  return true;
}

// Puts the held units back where the search for ruby left them: in the
// text, or in a reading.
void RestoreHeld(const HeldUnits& held, const PositionMap& map, std::u16string& text,
                 std::u16string& readings) {
  std::size_t readingHeld = 0;
  for (const auto& [pos, unit] : held) {
    if (!map.Removed(pos)) {
      text[map(pos)] = unit;
      continue;
    }
    readingHeld = readings.find(kHeldUnit, readingHeld);
    if (readingHeld != std::u16string::npos) readings[readingHeld++] = unit;
  }
}

LineReading ReadLine(std::u16string_view raw) {
  LineReading line;
  std::u16string text;
  HeldUnits held;
  std::vector<std::pair<std::size_t, std::size_t>> kunten;  // [begin, end) before ruby
  std::vector<std::size_t> kuntenAnnotation;
  for (std::size_t pos = 0; pos < raw.size();) {
    const std::size_t close =
        raw.substr(pos).starts_with(u"［＃") ? ClosingBracket(raw, pos) : std::u16string_view::npos;
    if (close == std::u16string_view::npos) {
      text += raw[pos++];
      continue;
    }
    line.hadNotation = true;
    const std::size_t open = pos;
    const std::u16string_view content = raw.substr(open + 2, close - open - 2);
    pos = close + 1;
    if (open > 0 && raw[open - 1] == u'※' && !text.empty() && text.back() == u'※' &&
        AppendGaiji(content, text, held, line.unnamed)) {
      continue;
    }
    Annotation annotation{text.size(), ReadAnnotation(content)};
    if (annotation.command.kind == Kind::kText) {
      kunten.emplace_back(text.size(), text.size() + annotation.command.text.size());
      kuntenAnnotation.push_back(line.annotations.size());
      text += annotation.command.text;
    }
    line.annotations.push_back(std::move(annotation));
  }
  RubyReadings ruby = TakeOutRubyMarks(text);
  const PositionMap map{ruby.removed};
  RestoreHeld(held, map, text, ruby.readings);
  for (Annotation& annotation : line.annotations) annotation.at = map(annotation.at);
  for (const RubySpan& span : ruby.spans) {
    line.spans.push_back(
        {span.baseBegin, span.baseEnd, AozoraStyle::kRuby, 0,
         ruby.readings.substr(span.readingBegin, span.readingEnd - span.readingBegin)});
  }
  for (std::size_t i = 0; i < kunten.size(); ++i) {
    const AozoraCommand& command = line.annotations[kuntenAnnotation[i]].command;
    line.spans.push_back(
        {map(kunten[i].first), map(kunten[i].second), command.style, 0, std::u16string()});
  }
  line.text = std::move(text);
  MarkKunojiten(line);
  return line;
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find(u'\n');
    std::u16string_view line = text.substr(0, end);
    if (line.ends_with(u'\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::u16string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool IsRule(std::u16string_view line) {
  return line.size() >= 20 &&
         std::all_of(line.begin(), line.end(), [](char16_t c) { return c == u'-'; });
}

// Where the body starts and the colophon starts, and the header's lines.
struct Frame {
  std::size_t bodyBegin = 0;
  std::size_t colophon = 0;
  std::vector<std::u16string_view> header;
};

Frame FrameOf(const std::vector<std::u16string_view>& lines) {
  Frame frame;
  frame.colophon = lines.size();
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (lines[i].starts_with(u"底本：")) {
      frame.colophon = i;
      break;
    }
  }
  // The block that explains the notation, between two rules, after the
  // title and the author.
  constexpr std::size_t kHeaderReach = 50;
  constexpr std::size_t kBlockReach = 400;
  for (std::size_t first = 0; first < std::min(lines.size(), kHeaderReach); ++first) {
    if (!IsRule(lines[first])) continue;
    for (std::size_t second = first + 1; second < std::min(lines.size(), first + kBlockReach);
         ++second) {
      if (!IsRule(lines[second])) continue;
      const bool explains = std::any_of(
          std::next(lines.begin(), static_cast<std::ptrdiff_t>(first)),
          std::next(lines.begin(), static_cast<std::ptrdiff_t>(second)), [](auto l) {
            return l.find(u"テキスト中に現れる記号について") != std::u16string_view::npos;
          });
      if (!explains) break;
      for (std::size_t i = 0; i < first; ++i) {
        if (!lines[i].empty()) frame.header.push_back(lines[i]);
      }
      frame.bodyBegin = second + 1;
      return frame;
    }
    break;
  }
  // A text of the archive without the block: the lines before the first
  // blank line, when there are few and a colophon ends the text.
  constexpr std::size_t kMostHeaderLines = 4;
  if (frame.colophon < lines.size()) {
    const auto blank = std::find_if(lines.begin(), lines.end(), [](auto l) { return l.empty(); });
    const auto count = static_cast<std::size_t>(blank - lines.begin());
    if (count >= 2 && count <= kMostHeaderLines && count < frame.colophon) {
      frame.header.assign(lines.begin(), blank);
      frame.bodyBegin = count;
    }
  }
  return frame;
}

bool IsTranslatorLine(std::u16string_view line) {
  return line.ends_with(u"訳") || line.ends_with(u"編") || line.ends_with(u"校訂");
}

struct OpenSpan {
  std::u16string key;
  AozoraStyle style;
  std::uint8_t variant;
  std::size_t begin;
};

// How many ranges, and blocks, may be open at once: more is no text's
// markup but a fault of its typing, and each open one is carried through
// every line it reaches over.
constexpr std::size_t kMostOpen = 256;

// The open span of `key` nearest the top of `open`, taken off it.
std::optional<OpenSpan> TakeOpen(std::vector<OpenSpan>& open, const std::u16string& key) {
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    if (it->key == key) {
      OpenSpan found = std::move(*it);
      open.erase(std::next(it).base());
      return found;
    }
  }
  return std::nullopt;
}

// Reads the body's lines one after another, keeping the blocks and ranges
// that reach over lines.
class BodyReader {
 public:
  explicit BodyReader(AozoraBook& book) : book_(book) {}

  void Read(std::u16string_view raw) {
    LineReading reading = ReadLine(raw);
    book_.unnamedCharacters += reading.unnamed;
    LineContext context{reading, book_.body.size(), false, false, {}};
    context.hasText = !reading.text.empty();
    context.keep = context.hasText || !reading.hadNotation;
    AozoraLine& line = context.line;
    line.indent = indent_;
    line.wrapIndent = wrapIndent_;
    line.lineLength = lineLength_;
    if (bottom_) {
      line.bottomFrom = 0;
      line.raise = raise_;
    }
    for (const Annotation& annotation : reading.annotations) Apply(annotation, context);
    const std::size_t lineBegin = context.lineBegin;
    const bool keep = context.keep;
    if (keep) {
      Break(line);
      line.centredPage = std::exchange(centre_, false);
      line.begin = lineBegin;
      book_.body += reading.text;
      line.end = book_.body.size();
      book_.body += u'\n';
      for (AozoraSpan& span : reading.spans) {
        span.begin += lineBegin;
        span.end += lineBegin;
        book_.spans.push_back(std::move(span));
      }
      book_.lines.push_back(line);
      contentSinceBreak_ = true;
    }
    pendingBreak_ = std::max(pendingBreak_, context.breakAfter);
    if (context.closeIndent) indent_ = wrapIndent_ = 0;
    if (context.closeBottom) bottom_ = false;
    if (context.closeLength) lineLength_ = 0;
  }

  // Closes what the text left open, at its end.
  void Finish() {
    const std::size_t end = LastLineEnd();
    for (const OpenSpan& open : ranges_) {
      if (end > open.begin) book_.spans.push_back({open.begin, end, open.style, open.variant, {}});
    }
    for (const OpenSpan& open : blocks_) {
      if (end > open.begin) book_.spans.push_back({open.begin, end, open.style, open.variant, {}});
    }
    std::stable_sort(book_.spans.begin(), book_.spans.end(),
                     [](const AozoraSpan& a, const AozoraSpan& b) {
                       if (a.begin != b.begin) return a.begin < b.begin;
                       if (a.end != b.end) return a.end > b.end;
                       return a.style != AozoraStyle::kRuby && b.style == AozoraStyle::kRuby;
                     });
  }

 private:
  // A line as its annotations are applied.
  struct LineContext {
    const LineReading& reading;
    std::size_t lineBegin;
    bool hasText = false;
    bool keep = false;
    AozoraLine line;
    // Blocks of line layout that end after this line.
    bool closeIndent = false;
    bool closeBottom = false;
    bool closeLength = false;
    AozoraBreak breakAfter = AozoraBreak::kNone;
  };

  void Apply(const Annotation& annotation, LineContext& context) {
    const AozoraCommand& command = annotation.command;
    const std::size_t at = context.lineBegin + annotation.at;
    AozoraLine& line = context.line;
    switch (command.kind) {
      case Kind::kTargeted:
        Target(context.reading.text, context.lineBegin, annotation.at, command);
        break;
      case Kind::kNote:
        book_.notes.push_back({at, AozoraPlainText(command.target), AozoraPlainText(command.text)});
        break;
      case Kind::kRangeOpen:
        if (ranges_.size() == kMostOpen) {
          ++book_.unknownAnnotations;
        } else {
          ranges_.push_back({command.key, command.style, command.variant, at});
        }
        break;
      case Kind::kRangeClose:
        if (auto open = TakeOpen(ranges_, command.key)) {
          book_.spans.push_back({open->begin, at, open->style, open->variant, command.text});
        } else {
          ++book_.unknownAnnotations;
        }
        break;
      case Kind::kBlockOpen:
        OpenBlock(command, context);
        break;
      case Kind::kBlockClose:
        CloseBlock(command, context);
        break;
      case Kind::kIndent:
        line.indent = command.indent;
        line.wrapIndent = command.wrapIndent;
        break;
      case Kind::kBottom:
        line.bottomFrom = annotation.at;
        line.raise = command.raise;
        break;
      case Kind::kBreak:
        // A break after text starts the page of the next line; a break at
        // the head of a page starts no other page.
        if (context.hasText && annotation.at > 0) {
          context.breakAfter = std::max(context.breakAfter, command.breakKind);
        } else if (contentSinceBreak_) {
          pendingBreak_ = std::max(pendingBreak_, command.breakKind);
          if (context.hasText && context.keep) Break(line);
        }
        break;
      case Kind::kPageCentre:
        centre_ = true;
        break;
      case Kind::kText:
      case Kind::kIgnored:
        break;
      case Kind::kUnknown:
        ++book_.unknownAnnotations;
        break;
    }
  }

  void OpenBlock(const AozoraCommand& command, LineContext& context) {
    AozoraLine& line = context.line;
    if (!command.layout && blocks_.size() == kMostOpen) {
      ++book_.unknownAnnotations;
    } else if (!command.layout) {
      blocks_.push_back({command.key, command.style, command.variant, context.lineBegin});
    } else if (command.bottom) {
      bottom_ = true;
      raise_ = command.raise;
      line.bottomFrom = 0;
      line.raise = raise_;
    } else if (command.lineLength != 0) {
      line.lineLength = lineLength_ = command.lineLength;
    } else {
      line.indent = indent_ = command.indent;
      line.wrapIndent = wrapIndent_ = command.wrapIndent;
    }
  }

  void CloseBlock(const AozoraCommand& command, LineContext& context) {
    if (command.layout) {
      context.closeIndent |= command.key == u"字下げ";
      context.closeBottom |= command.key == u"地付き" || command.key == u"字上げ";
      context.closeLength |= command.key == u"字詰め";
    } else if (auto open = TakeOpen(blocks_, command.key)) {
      const std::size_t end =
          context.hasText ? context.lineBegin + context.reading.text.size() : LastLineEnd();
      if (end > open->begin) {
        book_.spans.push_back({open->begin, end, open->style, open->variant, {}});
      }
    } else {
      ++book_.unknownAnnotations;
    }
  }

  void Break(AozoraLine& line) {
    if (pendingBreak_ == AozoraBreak::kNone) return;
    line.breakBefore = std::exchange(pendingBreak_, AozoraBreak::kNone);
    contentSinceBreak_ = false;
  }

  std::size_t LastLineEnd() const { return book_.lines.empty() ? 0 : book_.lines.back().end; }

  // A style over the target that ends nearest before `at` in the line.
  void Target(const std::u16string& text, std::size_t lineBegin, std::size_t at,
              const AozoraCommand& command) {
    if (command.wholeLine) {
      if (at == 0) {
        ++book_.unknownAnnotations;
      } else {
        book_.spans.push_back({lineBegin, lineBegin + at, command.style, command.variant, {}});
      }
      return;
    }
    const std::u16string target = AozoraPlainText(command.target);
    // The target stands just before its note, but for the readings of
    // ruby and other notes, which are out of the text by now; a little
    // room more, not the whole line, so that a line of many notes whose
    // targets are missing is not searched over and over.
    constexpr std::size_t kRoom = 64;
    std::size_t found = std::u16string::npos;
    if (!target.empty() && target.size() <= at) {
      const std::size_t from = at - std::min(at, target.size() + kRoom);
      found = std::u16string_view(text).substr(from, at - from).rfind(target);
      if (found != std::u16string::npos) found += from;
    }
    if (found == std::u16string::npos) {
      ++book_.unknownAnnotations;
      return;
    }
    book_.spans.push_back({lineBegin + found, lineBegin + found + target.size(), command.style,
                           command.variant, command.text});
  }

  AozoraBook& book_;
  int indent_ = 0;
  int wrapIndent_ = 0;
  bool bottom_ = false;
  int raise_ = 0;
  int lineLength_ = 0;
  bool centre_ = false;
  bool contentSinceBreak_ = false;
  AozoraBreak pendingBreak_ = AozoraBreak::kNone;
  std::vector<OpenSpan> ranges_;
  std::vector<OpenSpan> blocks_;
};

}  // namespace

std::u16string AozoraPlainText(std::u16string_view target) {
  return ReadLine(target).text;
}

AozoraBook PlainTextBook(std::u16string_view text) {
  AozoraBook book;
  for (const std::u16string_view line : SplitLines(text)) {
    AozoraLine read;
    read.begin = book.body.size();
    book.body += line;
    read.end = book.body.size();
    book.body += u'\n';
    book.lines.push_back(read);
  }
  book.colophonLine = book.lines.size();
  book.finalLineBreak = text.ends_with(u'\n');
  return book;
}

AozoraBook ReadAozoraText(std::u16string_view text) {
  std::u16string own(text);
  std::replace(own.begin(), own.end(), kHeldUnit, kReplacementCharacter);
  const std::vector<std::u16string_view> lines = SplitLines(own);
  const Frame frame = FrameOf(lines);
  AozoraBook book;
  for (const std::u16string_view line : frame.header) book.header.push_back(AozoraPlainText(line));
  if (!book.header.empty()) {
    book.title = book.header.front();
    if (book.header.size() >= 2) {
      const std::size_t last = book.header.size() - 1;
      book.author = book.header.size() >= 3 && IsTranslatorLine(book.header[last])
                        ? book.header[last - 1]
                        : book.header[last];
    }
  }
  BodyReader reader(book);
  book.colophonLine = std::u16string::npos;
  for (std::size_t i = frame.bodyBegin; i < lines.size(); ++i) {
    if (i == frame.colophon) book.colophonLine = book.lines.size();
    reader.Read(lines[i]);
  }
  if (book.colophonLine == std::u16string::npos) book.colophonLine = book.lines.size();
  reader.Finish();
  book.finalLineBreak = text.ends_with(u'\n');
  return book;
}

}  // namespace mirotabe
