#include "render/pdf_document.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

namespace mirotabe {
namespace {

using Kind = DrawingMark::Kind;

std::string Reference(int object) {
  return std::to_string(object) + " 0 R";
}

void AppendColour(std::string& out, Rgb colour, const char* op) {
  for (const int shift : {16, 8, 0}) {
    AppendNumber(out, static_cast<double>((colour >> shift) & 0xFF) / 255.0, 3);
    out += ' ';
  }
  out += op;
  out += '\n';
}

void AppendCid(std::string& out, unsigned cid) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += '<';
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kDigits[(cid >> shift) & 0xF]);
  out += "> Tj\n";
}

// The operators of one page, y turned up as PDF has it, the text state
// kept so that each is said only when it changes.
class PageContent {
 public:
  PageContent(double height, PdfFonts& fonts, PdfFile& file)
      : height_(height), fonts_(fonts), file_(file) {}

  std::string& out() { return out_; }
  const std::map<std::size_t, int>& fontsUsed() const { return fontsUsed_; }

  void EndText() {
    if (!inText_) return;
    out_ += "ET\n";
    inText_ = false;
  }

  void Step(const PaintStep& step) {
    EndText();
    const std::vector<double>& at = step.coordinates;
    if (step.kind == PaintStep::Kind::kLines) {
      AppendColour(out_, step.colour, "RG");
      AppendNumber(out_, step.penWidth);
      // Square ends, as the grid's corners meet.
      out_ += " w 2 J\n";
      for (std::size_t i = 0; i + 3 < at.size(); i += 4) {
        Point(at[i], at[i + 1]);
        out_ += " m ";
        Point(at[i + 2], at[i + 3]);
        out_ += " l\n";
      }
      out_ += "S\n";
      return;
    }
    AppendColour(out_, step.colour, "rg");
    fill_.reset();
    for (std::size_t i = 0; i + 3 < at.size(); i += 4) {
      Point(at[i], at[i + 1] + at[i + 3]);
      out_ += ' ';
      AppendNumber(out_, at[i + 2]);
      out_ += ' ';
      AppendNumber(out_, at[i + 3]);
      out_ += " re\n";
    }
    out_ += "f\n";
  }

  void Run(const GlyphRun& run) {
    if (run.glyphs.empty()) return;
    if (!inText_) {
      out_ += "BT\n";
      inText_ = true;
      lineX_ = 0;
      lineY_ = 0;
      plain_ = true;
    }
    if (fill_ != run.colour) {
      AppendColour(out_, run.colour, "rg");
      fill_ = run.colour;
    }
    const int object = fonts_.ObjectOf(run.face, file_);
    fontsUsed_.emplace(run.face, object);
    if (font_ != run.face || size_ != run.size) {
      out_ += "/F" + std::to_string(run.face) + ' ';
      AppendNumber(out_, run.size, 3);
      out_ += " Tf\n";
      font_ = run.face;
      size_ = run.size;
    }
    const bool plain = !run.turned && run.narrow == 1;
    for (const DrawnGlyph& glyph : run.glyphs) {
      const double x = glyph.x;
      const double y = height_ - glyph.y;
      if (plain && plain_) {
        // Each glyph from the one before: the moves down a column are
        // short and alike, and compress well.
        AppendNumber(out_, x - lineX_);
        out_ += ' ';
        AppendNumber(out_, y - lineY_);
        out_ += " Td ";
      } else {
        // Turned a quarter turn clockwise, the glyph's up is the page's
        // right; narrowed, it is scaled across.
        out_ += run.turned ? "0 -1 1 0 " : plain ? "1 0 0 1 " : "";
        if (!run.turned && !plain) {
          AppendNumber(out_, run.narrow, 4);
          out_ += " 0 0 1 ";
        }
        AppendNumber(out_, x);
        out_ += ' ';
        AppendNumber(out_, y);
        out_ += " Tm ";
        plain_ = plain;
      }
      // The origin as the numbers written put it, so that rounding never
      // adds up along a column.
      lineX_ = Rounded(x);
      lineY_ = Rounded(y);
      AppendCid(out_, fonts_.CidOf(run.face, glyph.glyph, glyph.text));
    }
  }

 private:
  static double Rounded(double v) { return std::round(v * 100) / 100; }

  void Point(double x, double y) {
    AppendNumber(out_, x);
    out_ += ' ';
    AppendNumber(out_, height_ - y);
  }

  double height_;
  PdfFonts& fonts_;
  PdfFile& file_;
  std::string out_;
  std::map<std::size_t, int> fontsUsed_;
  bool inText_ = false;
  std::optional<Rgb> fill_;
  std::size_t font_ = static_cast<std::size_t>(-1);
  double size_ = 0;
  double lineX_ = 0;
  double lineY_ = 0;
  // Whether the text matrix is the page's own, moved only.
  bool plain_ = true;
};

// The objects that one page's dictionary names.
struct PageObjects {
  int page = 0;
  int content = 0;
  int parent = 0;
};

void WritePageObject(PdfFile& file, const PageObjects& objects, std::size_t index,
                     const std::map<std::size_t, int>& fontsUsed, const SheetDrawing& drawing) {
  std::string fonts;
  for (const auto& [face, object] : fontsUsed) {
    fonts += "/F" + std::to_string(face) + ' ' + Reference(object) + ' ';
  }
  std::string box;
  AppendNumber(box, drawing.width);
  box += ' ';
  AppendNumber(box, drawing.height);
  file.Object(objects.page, "<</Type /Page /Parent " + Reference(objects.parent) +
                                " /MediaBox [0 0 " + box + "] /Contents " +
                                Reference(objects.content) + " /Resources <</Font <<" + fonts +
                                ">>>> /StructParents " + std::to_string(index) + " /Tabs /S>>");
}

}  // namespace

PdfDocument::PdfDocument(FontChain& fonts, PdfFile::Sink sink)
    : file_(std::move(sink)), pdfFonts_(fonts) {
  catalog_ = file_.Reserve();
  pages_ = file_.Reserve();
  info_ = file_.Reserve();
}

void PdfDocument::AddPage(const SheetDrawing& drawing) {
  const std::size_t index = pageObjects_.size();
  const int page = file_.Reserve();
  const int content = file_.Reserve();
  pageObjects_.push_back(page);
  parentTree_.emplace_back();
  std::vector<std::size_t>& mcids = parentTree_.back();
  PageContent out(drawing.height, pdfFonts_, file_);
  if (drawing.background) {
    out.Step(PaintStep{PaintStep::Kind::kRectangles,
                       *drawing.background,
                       0,
                       {0, 0, drawing.width, drawing.height}});
  }
  // What each open mark is: a paragraph's part, text in a paragraph that
  // stands for other text, or anything else.
  enum class Open : std::uint8_t { kParagraph, kTextInParagraph, kOther };
  std::vector<Open> open;
  const auto part = [&]() {
    const int mcid = static_cast<int>(mcids.size());
    mcids.push_back(paragraphs_.size() - 1);
    paragraphs_.back().parts.emplace_back(index, mcid);
    return std::to_string(mcid);
  };
  for (const DrawingItem& item : drawing.items) {
    if (const auto* step = std::get_if<PaintStep>(&item)) {
      out.Step(*step);
      continue;
    }
    if (const auto* run = std::get_if<GlyphRun>(&item)) {
      out.Run(*run);
      continue;
    }
    const DrawingMark& mark = std::get<DrawingMark>(item);
    out.EndText();
    std::string& ops = out.out();
    if (mark.end) {
      const Open ended = open.empty() ? Open::kOther : open.back();
      if (!open.empty()) open.pop_back();
      ops += "EMC\n";
      // The paragraph goes on in a part of its own.
      if (ended == Open::kTextInParagraph) ops += "/P <</MCID " + part() + ">> BDC\n";
      continue;
    }
    switch (mark.kind) {
      case Kind::kParagraph:
      case Kind::kParagraphGoesOn:
        if (mark.kind == Kind::kParagraph || paragraphs_.empty()) {
          paragraphs_.push_back(Paragraph{file_.Reserve(), {}});
        }
        ops += "/P <</MCID " + part() + ">> BDC\n";
        open.push_back(Open::kParagraph);
        break;
      case Kind::kArtifact:
        ops += "/Artifact BMC\n";
        open.push_back(Open::kOther);
        break;
      case Kind::kPageNumber:
        ops += "/Artifact <</Type /Pagination>> BDC\n";
        open.push_back(Open::kOther);
        break;
      case Kind::kReplacedText:
        if (open.empty() || open.back() != Open::kParagraph) {
          ops += "/Span <</ActualText " + PdfTextString(mark.text) + ">> BDC\n";
          open.push_back(Open::kOther);
          break;
        }
        // A reader that collects a paragraph's text by its MCIDs may stop
        // at the end of marked content nested in it (Poppler does), so the
        // paragraph's part ends here and the text is a part of its own.
        ops += "EMC\n/Span <</MCID " + part() + " /ActualText " + PdfTextString(mark.text) +
               ">> BDC\n";
        open.push_back(Open::kTextInParagraph);
        break;
    }
  }
  out.EndText();
  file_.Stream(content, out.out());
  WritePageObject(file_, PageObjects{page, content, pages_}, index, out.fontsUsed(), drawing);
}

bool PdfDocument::Finish() {
  const int root = file_.Reserve();
  const int document = file_.Reserve();
  const int parentTree = file_.Reserve();
  const bool fonts = pdfFonts_.Write(file_);
  std::string kids;
  for (const Paragraph& paragraph : paragraphs_) {
    std::string parts;
    for (const auto& [page, mcid] : paragraph.parts) {
      parts += "<</Type /MCR /Pg " + Reference(pageObjects_[page]) + " /MCID " +
               std::to_string(mcid) + ">> ";
    }
    file_.Object(paragraph.object,
                 "<</Type /StructElem /S /P /P " + Reference(document) + " /K [" + parts + "]>>");
    kids += Reference(paragraph.object) + ' ';
  }
  file_.Object(document,
               "<</Type /StructElem /S /Document /P " + Reference(root) + " /K [" + kids + "]>>");
  std::string nums;
  for (std::size_t page = 0; page < parentTree_.size(); ++page) {
    nums += std::to_string(page) + " [";
    for (const std::size_t paragraph : parentTree_[page]) {
      nums += Reference(paragraphs_[paragraph].object) + ' ';
    }
    nums += "] ";
  }
  file_.Object(parentTree, "<</Nums [" + nums + "]>>");
  file_.Object(root, "<</Type /StructTreeRoot /K " + Reference(document) + " /ParentTree " +
                         Reference(parentTree) + " /ParentTreeNextKey " +
                         std::to_string(parentTree_.size()) + ">>");
  std::string kidsOfPages;
  for (const int page : pageObjects_) kidsOfPages += Reference(page) + ' ';
  file_.Object(pages_, "<</Type /Pages /Kids [" + kidsOfPages + "] /Count " +
                           std::to_string(pageObjects_.size()) + ">>");
  file_.Object(catalog_, "<</Type /Catalog /Pages " + Reference(pages_) +
                             " /Lang (ja) /MarkInfo <</Marked true>> /StructTreeRoot " +
                             Reference(root) + ">>");
  file_.Object(info_, "<</Producer (Mirotabe) /Creator (Mirotabe)>>");
  return file_.Finish(catalog_, info_) && fonts;
}

}  // namespace mirotabe
