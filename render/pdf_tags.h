// Tags for the PDFs that Qt's PDF writer draws, which has none: marked
// content in the pages and a structure tree in reading order, so that a
// screen reader reads the text as paragraphs and passes over what is
// drawn around it, and text for the glyphs that cannot tell their own.
//
// While the pages are drawn, ContentMarks records what each stretch of the
// drawing is, and leaves a mark in the drawing where it begins and where it
// ends: a filled square one device unit on a side, off the page, whose
// place numbers the mark. The painter writes it into the page's content as
// a rectangle of its own, at a place no drawing of the page takes.
// TagContent then finds the marks in each page's content, in order, and
// turns them into marked content:
// - a paragraph: `/P <</MCID n>> BDC`, one structure element of a
//   `/Document` for each paragraph, its parts on each page in order
//   (a paragraph goes on across columns and pages);
// - drawing that is no part of the text (the ruling, the readings of
//   ruby): `/Artifact BMC`; the page number: a pagination artifact;
// - glyphs that stand for a text they cannot tell (a character no font
//   has, drawn as the missing-glyph box): a span whose `/ActualText` is
//   that text, which is what a search or a copy finds there.
// The catalogue says the document is marked, each page names its entry in
// the structure tree's parent tree. Where the marks found do not match
// those recorded, one for one and properly nested on each page, the file is
// returned as it is.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QPainter;

namespace mirotabe {

class GlyphTextLog;
struct PdfObjects;

class ContentMarks {
 public:
  enum class Kind : std::uint8_t {
    kParagraph,        // a paragraph of the text begins
    kParagraphGoesOn,  // the paragraph of the column before goes on
    kArtifact,         // drawing that is no part of the text
    kPageNumber,       // the page number: no part of the text either
    kReplacedText,     // glyphs that stand for a text they cannot tell
  };
  struct Mark {
    Kind kind = Kind::kArtifact;
    bool end = false;
    // The text of kReplacedText.
    std::u16string text;
  };

  // Marks where a stretch of `kind` begins in the drawing of `painter`;
  // `text` is what glyphs of kReplacedText stand for. Each Begin is ended
  // by an End on the same page; stretches nest.
  void Begin(QPainter& painter, Kind kind, std::u16string_view text = {});
  void End(QPainter& painter);

  const std::vector<Mark>& marks() const { return marks_; }

 private:
  void Draw(QPainter& painter);

  std::vector<Mark> marks_;
};

// `pdf` (as QPdfWriter writes it, with the marks of `marks` drawn into its
// pages) with marked content and a structure tree in place of the marks;
// `pdf` as it is when the marks cannot all be found.
QByteArray TagContent(const QByteArray& pdf, const ContentMarks& marks);
// The same on the objects of a file, which are changed only where every
// mark is found: whether they were.
bool TagContent(PdfObjects& file, const ContentMarks& marks);

// `pdf` with its text layer completed from `log` (see CompleteTextLayer)
// and tagged from `marks`: the file is read into its objects once, and its
// bytes let go of before it is written anew.
QByteArray CompletedPdf(QByteArray pdf, const GlyphTextLog& log, const ContentMarks& marks);

}  // namespace mirotabe
