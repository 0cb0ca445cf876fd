#include "ebook/epub_documents.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <string_view>

#include "ebook/xml_text.h"

namespace mirotabe {
namespace {

constexpr std::array<std::u16string_view, kEmphasisKinds> kEmphasisClasses = {
    u"sesame",         u"white-sesame", u"circle",  u"white-circle", u"triangle",
    u"white-triangle", u"bullseye",     u"fisheye", u"saltire"};
constexpr std::array<std::u16string_view, kSideLineKinds> kSideLineClasses = {
    u"solid", u"double", u"dotted", u"dashed", u"wavy"};

std::u16string Number(long value) {
  const std::string digits = std::to_string(value);
  return {digits.begin(), digits.end()};
}

// The element and class that set `span`: what opens it.
std::u16string OpenTag(const AozoraSpan& span) {
  const std::u16string side = span.variant >= kLeftSide ? u"-left" : u"";
  switch (span.style) {
    case AozoraStyle::kRuby:
      return u"<ruby>";
    case AozoraStyle::kLeftRuby:
      return u"<ruby class=\"ruby-left\">";
    case AozoraStyle::kAnnotated:
      return u"<ruby class=\"annotation\">";
    case AozoraStyle::kEmphasis:
      return u"<em class=\"em-" +
             std::u16string(kEmphasisClasses[std::min<std::size_t>(span.variant % kLeftSide,
                                                                   kEmphasisKinds - 1)]) +
             side + u"\">";
    case AozoraStyle::kSideLine:
      return u"<em class=\"line-" +
             std::u16string(kSideLineClasses[std::min<std::size_t>(span.variant % kLeftSide,
                                                                   kSideLineKinds - 1)]) +
             side + u"\">";
    case AozoraStyle::kBold:
      return u"<span class=\"bold\">";
    case AozoraStyle::kItalic:
      return u"<span class=\"italic\">";
    case AozoraStyle::kUpright:
      return u"<span class=\"tcy\">";
    case AozoraStyle::kLarger:
      return u"<span class=\"larger-" + Number(std::min<int>(span.variant, 3)) + u"\">";
    case AozoraStyle::kSmaller:
      return u"<span class=\"smaller-" + Number(std::min<int>(span.variant, 3)) + u"\">";
    case AozoraStyle::kBoxed:
      return u"<span class=\"boxed\">";
    case AozoraStyle::kHorizontal:
      return u"<span class=\"horizontal\">";
    case AozoraStyle::kWarichu:
      return u"<span class=\"warichu\">";
    case AozoraStyle::kSmallKana:
      return u"<span class=\"small-kana\">";
    case AozoraStyle::kSuperscript:
      return u"<sup>";
    case AozoraStyle::kSubscript:
      return u"<sub>";
    case AozoraStyle::kKaeriten:
      return u"<sub class=\"kaeriten\">";
    case AozoraStyle::kOkurigana:
      return u"<sup class=\"okurigana\">";
    case AozoraStyle::kCaption:
      return u"<span class=\"caption\">";
    case AozoraStyle::kHeading:
      return u"<span class=\"heading-" + Number(std::clamp(span.variant % 4, 1, 3)) + u"\">";
    case AozoraStyle::kKunojiten:
      return u"<span class=\"kunojiten\">";
  }
  return u"<span>";
}

std::u16string CloseTag(const AozoraSpan& span) {
  switch (span.style) {
    case AozoraStyle::kRuby:
    case AozoraStyle::kLeftRuby:
    case AozoraStyle::kAnnotated: {
      std::u16string tag = u"<rt>";
      AppendXmlText(tag, span.text);
      return tag + u"</rt></ruby>";
    }
    case AozoraStyle::kEmphasis:
    case AozoraStyle::kSideLine:
      return u"</em>";
    case AozoraStyle::kSuperscript:
    case AozoraStyle::kOkurigana:
      return u"</sup>";
    case AozoraStyle::kSubscript:
    case AozoraStyle::kKaeriten:
      return u"</sub>";
    default:
      return u"</span>";
  }
}

bool IsRubyLike(AozoraStyle style) {
  return style == AozoraStyle::kRuby || style == AozoraStyle::kLeftRuby ||
         style == AozoraStyle::kAnnotated;
}

// A span clipped to one line, with its place in the nesting.
struct Piece {
  std::size_t begin;
  std::size_t end;
  const AozoraSpan* span;  // null: the part of a line set against the foot
  int rank;                // on equal extents, the lower rank is outside
};

// The 〳〵 and 〴〵 that vertical text has for the typed ／＼ and ／″＼.
std::u16string_view KunojitenOf(std::u16string_view typed) {
  return typed.size() == 2 ? u"〳〵" : u"〴〵";
}

// Nothing but ruby itself may cut a ruby's base: a span that begins or
// ends inside one takes in the whole base.
void SnapToRubyBases(std::vector<Piece>& pieces) {
  std::vector<std::pair<std::size_t, std::size_t>> bases;
  for (const Piece& piece : pieces) {
    if (piece.span != nullptr && IsRubyLike(piece.span->style)) {
      bases.emplace_back(piece.begin, piece.end);
    }
  }
  std::sort(bases.begin(), bases.end());
  auto baseAround = [&bases](std::size_t at) -> const std::pair<std::size_t, std::size_t>* {
    auto after = std::upper_bound(bases.begin(), bases.end(), std::pair{at, std::size_t{0}});
    if (after == bases.begin()) return nullptr;
    const auto& base = *std::prev(after);
    return base.first < at && at < base.second ? &base : nullptr;
  };
  for (Piece& piece : pieces) {
    if (piece.span != nullptr && IsRubyLike(piece.span->style)) continue;
    if (const auto* base = baseAround(piece.begin)) piece.begin = base->first;
    if (const auto* base = baseAround(piece.end)) piece.end = base->second;
  }
}

class DocumentWriter {
 public:
  DocumentWriter(const AozoraBook& book, const std::u16string& title) : book_(book) {
    title_ = title;
  }

  EpubDocuments Write() {
    if (!book_.header.empty()) WriteTitlePage();
    std::size_t next = 0;
    for (std::size_t i = 0; i < book_.colophonLine && i < book_.lines.size(); ++i) {
      const AozoraLine& line = book_.lines[i];
      if (!body_.empty() &&
          (line.breakBefore != AozoraBreak::kNone || bytes_ > kMaxDocumentBytes)) {
        Flush(u"");
      }
      if (body_.empty()) {
        startsWith_ = line.breakBefore;
        centred_ = line.centredPage;
      }
      WriteLine(line, next);
    }
    Flush(u"");
    if (book_.colophonLine < book_.lines.size()) {
      for (std::size_t i = book_.colophonLine; i < book_.lines.size(); ++i) {
        WriteLine(book_.lines[i], next);
      }
      Flush(u"colophon");
    }
    if (!book_.notes.empty()) WriteNotes();
    if (result_.documents.empty()) {
      // A text of nothing still makes a book of one (blank) page.
      body_ = u"<p><br/></p>\n";
      Flush(u"");
    }
    return std::move(result_);
  }

 private:
  std::string NextName() const {
    char name[32];
    std::snprintf(name, sizeof name, "text-%04zu.xhtml", result_.documents.size() + 1);
    return name;
  }

  void WriteTitlePage() {
    body_ += u"<h1 class=\"title\" id=\"title\">";
    AppendXmlText(body_, book_.header.front());
    body_ += u"</h1>\n";
    for (std::size_t i = 1; i < book_.header.size(); ++i) {
      body_ += u"<p class=\"byline\">";
      AppendXmlText(body_, book_.header[i]);
      body_ += u"</p>\n";
    }
    result_.headings.push_back({1, book_.header.front(), NextName() + "#title"});
    Flush(u"title-page");
  }

  void WriteNotes() {
    body_ += u"<h2 class=\"notes-heading\">注記</h2>\n";
    for (const AozoraNote& note : book_.notes) {
      body_ += u"<p class=\"note\">";
      if (!note.target.empty()) {
        body_ += u"「";
        AppendXmlText(body_, note.target);
        body_ += u"」　";
      }
      AppendXmlText(body_, note.text);
      body_ += u"</p>\n";
    }
    Flush(u"notes");
  }

  void Flush(std::u16string_view bodyClass) {
    if (body_.empty()) return;
    std::u16string classes(bodyClass);
    if (centred_) classes += classes.empty() ? u"centred" : u" centred";
    std::u16string page =
        u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
        u"<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" "
        u"xml:lang=\"ja\" lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\"/>\n<title>";
    AppendXmlText(page, title_);
    page +=
        u"</title>\n<link rel=\"stylesheet\" type=\"text/css\" "
        u"href=\"style.css\"/>\n</head>\n<body";
    if (!classes.empty()) page += u" class=\"" + classes + u"\"";
    page += u">\n<div class=\"main\">\n";
    page += body_;
    page += u"</div>\n</body>\n</html>\n";
    result_.documents.push_back({NextName(), Utf8Of(page), startsWith_});
    body_.clear();
    bytes_ = 0;
    startsWith_ = AozoraBreak::kNone;
    centred_ = false;
  }

  // The pieces of the spans over `line`, clipped to it; `next` is the
  // first span not yet looked at, carry_ those begun on earlier lines.
  std::vector<Piece> PiecesOf(const AozoraLine& line, std::size_t& next,
                              const AozoraSpan*& heading) {
    std::vector<const AozoraSpan*> over;
    std::vector<const AozoraSpan*> carried;
    for (const AozoraSpan* span : carry_) {
      over.push_back(span);
      if (span->end > line.end + 1) carried.push_back(span);
    }
    for (; next < book_.spans.size() && book_.spans[next].begin < line.end + 1; ++next) {
      const AozoraSpan* span = &book_.spans[next];
      over.push_back(span);
      if (span->end > line.end + 1) carried.push_back(span);
    }
    carry_ = std::move(carried);
    std::vector<Piece> pieces;
    heading = nullptr;
    for (const AozoraSpan* span : over) {
      const std::size_t begin = std::max(span->begin, line.begin);
      const std::size_t end = std::min(span->end, line.end);
      if (begin >= end) continue;
      if (span->style == AozoraStyle::kHeading && span->variant / 4 == kOwnLines &&
          begin == line.begin && end == line.end && heading == nullptr) {
        heading = span;
        continue;
      }
      pieces.push_back({begin, end, span, IsRubyLike(span->style) ? 2 : 1});
    }
    if (line.bottomFrom != kNoBottom && line.bottomFrom > 0 &&
        line.begin + line.bottomFrom < line.end) {
      pieces.push_back({line.begin, line.begin + line.bottomFrom, nullptr, 0});
      pieces.push_back({line.begin + line.bottomFrom, line.end, nullptr, 0});
    }
    SnapToRubyBases(pieces);
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
      if (a.begin != b.begin) return a.begin < b.begin;
      if (a.end != b.end) return a.end > b.end;
      return a.rank < b.rank;
    });
    return pieces;
  }

  static std::u16string OpenOf(const Piece& piece) {
    return piece.span != nullptr ? OpenTag(*piece.span) : u"<span>";
  }
  static std::u16string CloseOf(const Piece& piece) {
    return piece.span != nullptr ? CloseTag(*piece.span) : u"</span>";
  }

  // The line's text with its pieces as nested elements: a piece that
  // outlasts one inside which it began is closed there and opened again.
  void WriteInline(const AozoraLine& line, const std::vector<Piece>& pieces) {
    std::set<std::size_t> cuts = {line.begin, line.end};
    for (const Piece& piece : pieces) {
      cuts.insert(piece.begin);
      cuts.insert(piece.end);
    }
    std::vector<const Piece*> open;
    // The earliest end among open[0..i], so that whether any open piece
    // has ended is known at once however many are open.
    std::vector<std::size_t> earliestEnd;
    auto push = [&](const Piece* piece) {
      open.push_back(piece);
      earliestEnd.push_back(earliestEnd.empty() ? piece->end
                                                : std::min(earliestEnd.back(), piece->end));
    };
    std::size_t nextPiece = 0;
    std::size_t skipTo = line.begin;
    const std::u16string_view body(book_.body);
    for (auto cut = cuts.begin(); cut != cuts.end(); ++cut) {
      const std::size_t at = *cut;
      std::vector<const Piece*> reopen;
      while (!open.empty() && earliestEnd.back() <= at) {
        const Piece* top = open.back();
        open.pop_back();
        earliestEnd.pop_back();
        body_ += CloseOf(*top);
        if (top->end > at) reopen.push_back(top);
      }
      for (auto it = reopen.rbegin(); it != reopen.rend(); ++it) {
        body_ += OpenOf(**it);
        push(*it);
      }
      for (; nextPiece < pieces.size() && pieces[nextPiece].begin == at; ++nextPiece) {
        const Piece& piece = pieces[nextPiece];
        body_ += OpenOf(piece);
        push(&piece);
        if (piece.span != nullptr && piece.span->style == AozoraStyle::kKunojiten) {
          body_ += KunojitenOf(body.substr(piece.begin, piece.end - piece.begin));
          skipTo = piece.end;
        }
      }
      const auto following = std::next(cut);
      if (following == cuts.end()) break;
      const std::size_t from = std::max(at, skipTo);
      if (from < *following) AppendXmlText(body_, body.substr(from, *following - from));
    }
    while (!open.empty()) {
      body_ += CloseOf(*open.back());
      open.pop_back();
    }
    earliestEnd.clear();
  }

  void WriteLine(const AozoraLine& line, std::size_t& next) {
    const std::size_t before = body_.size();
    const AozoraSpan* heading = nullptr;
    const std::vector<Piece> pieces = PiecesOf(line, next, heading);
    std::u16string style;
    if (line.wrapIndent != 0) style += u"margin-top:" + Number(line.wrapIndent) + u"em;";
    if (line.indent != line.wrapIndent) {
      style += u"text-indent:" + Number(line.indent - line.wrapIndent) + u"em;";
    }
    if (line.raise != 0) style += u"margin-bottom:" + Number(line.raise) + u"em;";
    if (line.lineLength != 0) style += u"max-height:" + Number(line.lineLength) + u"em;";
    std::u16string element = u"p";
    std::u16string classes;
    if (heading != nullptr) {
      const int level = std::clamp(heading->variant % 4, 1, 3);
      element = u"h" + Number(level + 1);
      const std::u16string id = u"h" + Number(static_cast<long>(++headingCount_));
      classes = u"heading";
      body_ += u"<" + element + u" id=\"" + id + u"\"";
      result_.headings.push_back({level, book_.body.substr(line.begin, line.end - line.begin),
                                  NextName() + "#" + Utf8Of(id)});
    } else {
      body_ += u"<" + element;
    }
    if (line.bottomFrom == 0) {
      classes += classes.empty() ? u"bottom" : u" bottom";
    } else if (line.bottomFrom != kNoBottom && line.begin + line.bottomFrom < line.end) {
      classes += classes.empty() ? u"split-bottom" : u" split-bottom";
    }
    if (!classes.empty()) body_ += u" class=\"" + classes + u"\"";
    if (!style.empty()) body_ += u" style=\"" + style + u"\"";
    body_ += u">";
    if (line.begin == line.end) {
      body_ += u"<br/>";
    } else {
      WriteInline(line, pieces);
    }
    body_ += u"</" + element + u">\n";
    // UTF-8 takes about 3 bytes a unit of Japanese text.
    bytes_ += 3 * (body_.size() - before);
  }

  const AozoraBook& book_;
  std::u16string title_;
  EpubDocuments result_;
  std::u16string body_;
  std::size_t bytes_ = 0;
  AozoraBreak startsWith_ = AozoraBreak::kNone;
  bool centred_ = false;
  std::vector<const AozoraSpan*> carry_;
  std::size_t headingCount_ = 0;
};

}  // namespace

EpubDocuments MakeEpubDocuments(const AozoraBook& book, const std::u16string& title) {
  return DocumentWriter(book, title).Write();
}

}  // namespace mirotabe
