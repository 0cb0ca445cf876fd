// The PDFs of the painter, read back with poppler's tools and checked with
// qpdf: their pages, their text in reading order, their tags and fonts,
// and the same bytes from the same layout.
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "render/pictures.h"
#include "render/saved_pictures.h"
#include "render/typeface_fonts.h"
#include "tests/support/case_name.h"
#include "tests/support/program_lines.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::RunProgram;
using testing_support::TempFolder;

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = text[at++];
    if (c >= 0xD800 && c < 0xDC00 && at < text.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (text[at++] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
              static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

// `text` without blanks of any width (and digits, with `digits`), NFKC
// folded where pages set Latin and digits full-width.
std::string Squeezed(const std::string& text, bool digits = false) {
  std::string out = std::regex_replace(text, std::regex(digits ? "[\\s0-9]" : "\\s"), "");
  for (const std::string space : {"\u3000"}) {
    for (std::size_t at; (at = out.find(space)) != std::string::npos;) out.erase(at, space.size());
  }
  return out;
}

// A PDF's file in `folder`, and what poppler reads from it.
struct ReadBack {
  std::string text;        // pdftotext -raw, squeezed
  std::string textErrors;  // what pdftotext said on standard error
  std::vector<std::string> paragraphs;
  std::string info;
  std::string fonts;
  int qpdfStatus = -1;
};

ReadBack ReadPdf(const TempFolder& folder, const std::string& pdf, bool digits = false) {
  const std::string path = folder.PathOf("read.pdf");
  testing_support::WriteFile(path, pdf);
  ReadBack back;
  const auto text = RunProgram(folder, "pdftotext", {"-raw", path, "-"});
  back.text = Squeezed(text.out, digits);
  back.textErrors = text.err;
  back.info = RunProgram(folder, "pdfinfo", {path}).out;
  back.fonts = RunProgram(folder, "pdffonts", {path}).out;
  back.qpdfStatus = RunProgram(folder, "qpdf", {"--check", path}).status;
  // The texts of the paragraphs of the structure tree, in its order, as
  // poppler reads them from the marked content their MCIDs name.
  const std::string tree = RunProgram(folder, "pdfinfo", {"-struct-text", path}).out;
  std::size_t at = 0;
  while (at < tree.size()) {
    std::size_t end = tree.find('\n', at);
    if (end == std::string::npos) end = tree.size();
    std::string line = tree.substr(at, end - at);
    at = end + 1;
    line = std::regex_replace(line, std::regex("^\\s+|\\s+$"), "");
    if (line == "P (block)") {
      back.paragraphs.emplace_back();
    } else if (line.size() >= 2 && line.front() == '"' && !back.paragraphs.empty()) {
      back.paragraphs.back() += Squeezed(line.substr(1, line.size() - 2));
    }
  }
  return back;
}

std::string PagesOf(const VerticalLayout& layout, const PictureStyle& style, const PageSetup& setup,
                    Typeface face = Typeface::kMincho) {
  FontChain fonts(TypefaceFonts(face));
  std::string bytes;
  const IoStatus written = WritePages(layout, style, setup, fonts, [&](std::string_view block) {
    bytes.append(block);
    return true;
  });
  EXPECT_TRUE(written.ok());
  return bytes;
}

std::string PicturePdfOf(const VerticalLayout& layout, const PictureStyle& style) {
  FontChain fonts(TypefaceFonts(Typeface::kGothic));
  IoResult<std::string> pdf = PictureFile(layout, style, PictureFormat::Pdf, fonts);
  EXPECT_TRUE(pdf.ok());
  return pdf.ok() ? pdf.value() : std::string();
}

// Pages of two columns of five: the text reads back in the order of the
// columns, right to left, page after page, vertical forms included. The
// last line holds characters that IPA's fonts draw with a glyph another
// character shares (〜 ～, — ―, ‾ ￣, ¢ ￠, £ ￡, ¥ ￥, ¬ ￢); each reads
// back as itself, in the text and in the tags.
TEST(PainterPagesTest, TheTextReadsBackInReadingOrderAcrossPages) {
  for (const bool vertical : {true, false}) {
    PageSetup setup{true, Paper::kA6};
    setup.columnLength = 5;
    setup.columns = 2;
    setup.pageNumbers = true;
    const std::u16string text =
        u"ラーメン「です。」\r\nちょっと、待って\r\nはい\r\n～〜―—￠‾￡￥￣￢";
    const auto layout = std::get<VerticalLayout>(BuildVerticalLayout(
        text,
        {4, SwapTable(),
         PageLayoutSettings(LayoutSettings{0, Kinsoku::kHang, 0}, setup, PageGeometryOf(setup))}));
    PictureStyle style;
    style.verticalGlyphs = vertical;
    TempFolder folder;
    const ReadBack back = ReadPdf(folder, PagesOf(layout, style, setup), true);
    SCOPED_TRACE(vertical);
    EXPECT_NE(back.info.find("Pages:           4\n"), std::string::npos) << back.info;
    EXPECT_NE(back.info.find("297.64 x 419.53 pts"), std::string::npos) << back.info;
    EXPECT_EQ(back.text,
              Squeezed(Utf8(u"ラーメン「です。」ちょっと、待ってはい～〜―—￠‾￡￥￣￢")));
    // Each line one paragraph of the tags, its columns on two pages too;
    // the page numbers are no part of them.
    EXPECT_EQ(back.paragraphs,
              (std::vector<std::string>{Utf8(u"ラーメン「です。」"), Utf8(u"ちょっと、待って"),
                                        Utf8(u"はい"), Utf8(u"～〜―—￠‾￡￥￣￢")}));
    EXPECT_NE(back.fonts.find("Identity-H"), std::string::npos);
  }
}

struct TextLayerCase {
  const char* name;
  std::u16string text;
  bool pages;  // pages, or a picture's PDF
  // Laid out with ruby, the text reads back as this, without the marks
  // and the readings, which are drawn beside it but are no part of it.
  std::u16string withRuby = {};
  Paper paper = Paper::kA6;
};

// No installed font has it: it is drawn as the missing-glyph box.
constexpr char16_t kNoFontHas[] = u"𠮷";

class PainterTextLayerTest : public testing::TestWithParam<TextLayerCase> {};

// Every character reads back, those beyond the first 65,536 and those no
// font has included; the document says it is Japanese, is tagged, passes
// qpdf's check, and each font is an embedded subset with a text map.
TEST_P(PainterTextLayerTest, EveryCharacterReadsBack) {
  const TextLayerCase& c = GetParam();
  const PageSetup setup{true, c.paper};
  // Pages set numbers and Latin as books do; a picture keeps them in cells.
  LayoutSettings settings =
      c.pages ? PageLayoutSettings({}, setup, PageGeometryOf(setup)) : LayoutSettings{};
  settings.ruby = !c.withRuby.empty();
  const auto layout =
      std::get<VerticalLayout>(BuildVerticalLayout(c.text, {4, SwapTable(), settings}));
  const std::string pdf = c.pages ? PagesOf(layout, {}, setup) : PicturePdfOf(layout, {});
  EXPECT_NE(pdf.find("/Lang (ja)"), std::string::npos);
  TempFolder folder;
  const ReadBack back = ReadPdf(folder, pdf);
  EXPECT_EQ(back.textErrors, "");
  const std::u16string expected = settings.ruby ? c.withRuby : c.text;
  // 原稿用紙 sets Latin full-width, a letter to a cell: poppler reads what
  // was drawn, compared here without NFKC, so those cases say it typed.
  EXPECT_EQ(back.text, Squeezed(Utf8(expected)));
  EXPECT_NE(back.info.find("Tagged:          yes"), std::string::npos);
  // Each line a paragraph of the structure tree, in order. Poppler's
  // structure text takes no ActualText, so a character no font has is
  // missing there.
  std::vector<std::string> lines;
  std::u16string rest = expected;
  for (std::size_t at; (at = rest.find(kNoFontHas)) != std::u16string::npos;) rest.erase(at, 2);
  for (std::size_t at = 0;;) {
    const std::size_t end = rest.find(u"\r\n", at);
    lines.push_back(Squeezed(Utf8(rest.substr(at, end - at))));
    if (end == std::u16string::npos) break;
    at = end + 2;
  }
  EXPECT_EQ(back.paragraphs, lines);
  EXPECT_EQ(back.qpdfStatus, 0);
  const std::regex font("^[A-Z]{6}\\+\\S+ +CID TrueType +Identity-H +yes yes yes ");
  std::size_t fonts = 0;
  for (std::size_t at = back.fonts.find('\n', back.fonts.find('\n') + 1) + 1;
       at < back.fonts.size();) {
    const std::size_t end = back.fonts.find('\n', at);
    const std::string line = back.fonts.substr(at, end - at);
    EXPECT_TRUE(std::regex_search(line, font)) << line;
    ++fonts;
    at = end + 1;
  }
  EXPECT_NE(fonts, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PainterTextLayerTest,
    testing::Values(TextLayerCase{"PagesBeyondTheFirstPlane", u"野家で😀を見た\r\n🂡と😊", true},
                    TextLayerCase{"PictureBeyondTheFirstPlane", u"😀を見た\r\n𝖠", false},
                    TextLayerCase{"PagesOfACharacterNoFontHas", u"𠮷野家で😀を見た", true},
                    TextLayerCase{"PictureOfACharacterNoFontHas", u"雨の駅で\r\n𠮷を見た", false},
                    TextLayerCase{"ManuscriptPaperWithRuby", u"雨の｜駅《えき》で𠮷を見た\r\nはい",
                                  true, u"雨の駅で𠮷を見た\r\nはい", Paper::kGenkou},
                    TextLayerCase{"PagesOfVerticalFormsAndSharedGlyphs",
                                  u"「ラーメン」です。\r\n～〜―—", true},
                    TextLayerCase{"PagesWithRuby",
                                  u"｜東京《とうきょう》の漢字《かんじ》\r\n吉野《よしの》家《ー》",
                                  true, u"東京の漢字\r\n吉野家"},
                    TextLayerCase{"PictureWithRuby", u"漢字《かんじ》を見た", false, u"漢字を見た"},
                    // 縦中横 of one to three digits and marks, and sideways Latin cut
                    // across columns, read as typed.
                    TextLayerCase{"PagesOfNumbersAndLatin",
                                  u"第3章は12月24日、500円!?\r\nmirotabe 1.5 reads "
                                  u"http://example.com/a/long/path/that/is/cut.html で2023年",
                                  true}),
    testing_support::CaseName());

TEST(PainterPicturePdfTest, HasOnePagePerSheetAndItsCharactersAsText) {
  // 600 columns of "国語" at 24 points a cell: two sheets, the first with
  // the 399 rightmost columns, that is the first 399 lines.
  const VerticalLayout layout = std::get<VerticalLayout>(
      BuildVerticalLayout(testing_support::Lines(599, u"国語") + u"\r\n終", {4, SwapTable(), {}}));
  TempFolder folder;
  const std::string path = folder.PathOf("sheets.pdf");
  testing_support::WriteFile(path, PicturePdfOf(layout, {24, true}));
  EXPECT_NE(RunProgram(folder, "pdfinfo", {path}).out.find("Pages:           2\n"),
            std::string::npos);
  struct Page {
    const char* number;
    std::size_t kokugo;  // how many "国" and "語" the page holds
    bool last;           // whether it holds "終"
  };
  for (const Page page : {Page{"1", 399, false}, Page{"2", 200, true}}) {
    const std::string text = Squeezed(
        RunProgram(folder, "pdftotext", {"-f", page.number, "-l", page.number, path, "-"}).out);
    SCOPED_TRACE(page.number);
    for (const char16_t* character : {u"国", u"語"}) {
      std::size_t count = 0;
      const std::string wanted = Utf8(character);
      for (std::size_t at = 0; (at = text.find(wanted, at)) != std::string::npos; ++at) ++count;
      EXPECT_EQ(count, page.kokugo);
    }
    EXPECT_EQ(text.find(Utf8(u"終")) != std::string::npos, page.last);
  }
}

struct SameBytesCase {
  const char* name;
  PictureFormat format;
  bool pages;
};

class PainterSameBytesTest : public testing::TestWithParam<SameBytesCase> {};

// Nothing of the moment nor of the run goes into a file: two drawings of
// one layout, each with fonts read afresh, are the same bytes.
TEST_P(PainterSameBytesTest, TheSameLayoutGivesTheSameBytes) {
  const SameBytesCase& c = GetParam();
  const auto layout = std::get<VerticalLayout>(
      BuildVerticalLayout(u"漢字《かんじ》の「縦書き」\r\nmirotabe 12月😀", {4, SwapTable(), {}}));
  const auto draw = [&] {
    if (c.pages) return PagesOf(layout, {}, PageSetup{true, Paper::kA5});
    FontChain fonts(TypefaceFonts(Typeface::kGothic));
    IoResult<std::string> bytes = PictureFile(layout, {}, c.format, fonts);
    return bytes.ok() ? bytes.value() : std::string();
  };
  const std::string first = draw();
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(draw(), first);
  EXPECT_EQ(first.find("CreationDate"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Formats, PainterSameBytesTest,
                         testing::Values(SameBytesCase{"Png", PictureFormat::Png, false},
                                         SameBytesCase{"PicturePdf", PictureFormat::Pdf, false},
                                         SameBytesCase{"Pages", PictureFormat::Pdf, true}),
                         testing_support::CaseName());

// A sink that refuses the bytes ends the writing with an error of its own,
// which its owner reports.
TEST(PainterPagesTest, BytesTheSinkRefusesAreAnError) {
  const auto layout = std::get<VerticalLayout>(
      BuildVerticalLayout(testing_support::Lines(4000, u"縦書きの行"), {4, SwapTable(), {}}));
  FontChain fonts(TypefaceFonts(Typeface::kMincho));
  int blocks = 0;
  const IoStatus written = WritePages(layout, {}, PageSetup{true, Paper::kA6}, fonts,
                                      [&](std::string_view) { return ++blocks < 2; });
  ASSERT_TRUE(written.failed());
  EXPECT_EQ(written.error().code, std::make_error_code(std::errc::io_error));
  EXPECT_EQ(blocks, 2);
}

// The pages the windows save read the notation the settings name: by
// default Aozora Bunko's, whose 改ページ starts a page and whose marks leave
// the text; plain keeps every mark as typed.
TEST(SavedPagesTest, ReadTheNotationTheSettingsName) {
  const std::u16string input = u"一行目［＃「一行」に傍点］\r\n［＃改ページ］\r\n二ページ目";
  const std::tuple<std::optional<Notation>, const char*, std::u16string> cases[] = {
      {std::nullopt, "Pages:           2\n", u"一行目二ページ目"},
      {Notation::kPlain, "Pages:           1\n", input}};
  for (const auto& [notation, pages, text] : cases) {
    AppSettings settings;
    settings.page = PageSetup{true, Paper::kA6};
    settings.picture.notation = notation;
    const IoResult<std::string> pdf = SavedPages(input, settings);
    ASSERT_TRUE(pdf.ok());
    TempFolder folder;
    const ReadBack back = ReadPdf(folder, pdf.value());
    EXPECT_NE(back.info.find(pages), std::string::npos) << back.info;
    EXPECT_EQ(back.text, Squeezed(Utf8(text)));
  }
}

// 傍点 and 傍線 are drawn beside their characters, outside the text that a
// search or a copy finds; a mark meant for the left is drawn too.
TEST(SavedPagesTest, DrawEmphasisAndSideLinesBesideTheTextOutsideIt) {
  AppSettings settings;
  settings.page = PageSetup{true, Paper::kA6};
  TempFolder folder;
  const auto page = [&](std::u16string_view input) {
    const IoResult<std::string> pdf = SavedPages(input, settings);
    EXPECT_TRUE(pdf.ok());
    const ReadBack back = ReadPdf(folder, pdf.ok() ? pdf.value() : std::string());
    RunProgram(
        folder, "pdftoppm",
        {"-r", "40", "-gray", "-singlefile", folder.PathOf("read.pdf"), folder.PathOf("page")});
    return std::pair{back.text, testing_support::ReadFile(folder.PathOf("page.pgm"))};
  };
  const auto plain = page(u"春の海、ひねもす");
  ASSERT_FALSE(plain.second.empty());
  for (const std::u16string_view marked : {u"春の海、ひねもす［＃「春の海、ひねもす」に傍点］",
                                           u"［＃波線］春の海、ひねもす［＃波線終わり］",
                                           u"春の海、ひねもす［＃「ひねもす」の左に白丸傍点］"}) {
    const auto drawn = page(marked);
    EXPECT_EQ(drawn.first, plain.first);
    EXPECT_NE(drawn.second, plain.second) << "no mark drawn";
  }
}

}  // namespace
}  // namespace mirotabe
