// The converter's picture formats, run as a program without a display.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/charset.h"
#include "tests/support/case_name.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::Outcome;
using testing_support::Quoted;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::TempFolder;
using testing_support::WriteFile;

struct PngSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  friend bool operator==(const PngSize&, const PngSize&) = default;
};

// The size in a PNG's header; zero when `bytes` is no PNG.
PngSize SizeOfPng(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      bytes.compare(12, 4, "IHDR") != 0) {
    return {};
  }
  const auto word = [&](std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
      value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  return PngSize{word(16), word(20)};
}

class ConvertPictureCliTest : public testing::Test {
 protected:
  // Runs the converter with no display at all, as on a server, with
  // --settings naming `settings_` unless `binary` is to find its own.
  Outcome Convert(const std::vector<std::string>& arguments, std::string_view input = "",
                  const std::string& binary = MIROTABE_CONVERT_BINARY) {
    // A named settings file must exist; an empty one holds the defaults.
    if (!std::filesystem::exists(settings_)) WriteFile(settings_, "");
    std::vector<std::string> all;
    if (binary == MIROTABE_CONVERT_BINARY) all = {"--settings", settings_};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return RunProgram(folder_, binary, all, input,
                      "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
  }

  static std::string Cp932(std::u16string_view text) { return Encode(text, Charset::Cp932).bytes; }

  TempFolder folder_;
  std::string settings_ = folder_.PathOf("Setting.ini");
};

struct PngCase {
  const char* name;
  const char* settings;  // the settings file's text; nullptr: no file
  std::vector<std::string> arguments;
  PngSize size;
};

class PngCliTest : public ConvertPictureCliTest, public testing::WithParamInterface<PngCase> {};

// "縦書き\r\nです": 2 columns of 3 rows, the space between them (half a
// cell unless asked) and the margin of a cell all round.
TEST_P(PngCliTest, WritesTheImageOfTheLayout) {
  const PngCase& c = GetParam();
  if (c.settings != nullptr) WriteFile(settings_, c.settings);
  std::vector<std::string> arguments = c.arguments;
  arguments.insert(arguments.end(), {"-o", folder_.PathOf("out.png")});
  const Outcome run = Convert(arguments, Cp932(u"縦書き\r\nです"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(SizeOfPng(ReadFile(folder_.PathOf("out.png"))), c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Options, PngCliTest,
    testing::Values(
        PngCase{"Defaults", nullptr, {"--format", "png"}, {108, 120}},
        PngCase{"CellSize", nullptr, {"--format=png", "--cell-size", "8"}, {36, 40}},
        PngCase{"GridKeepsTheSize", nullptr, {"--format", "png", "--grid", "on"}, {108, 120}},
        PngCase{"SettingsFileStyle",
                "[Layout]\r\nImageCellSize=37\r\nImageGrid=1\r\n",
                {"--format", "png"},
                {167, 185}},
        PngCase{"OptionOverridesSettings",
                "[Layout]\r\nImageCellSize=37\r\n",
                {"--format", "png", "--cell-size", "256"},
                {1152, 1280}},
        PngCase{"ColumnSpacing", nullptr, {"--format", "png", "--column-spacing", "1"}, {120, 120}},
        PngCase{"SettingsFileSpacing",
                "[Layout]\r\nImageColumnSpacing=0.75\r\n",
                {"--format", "png"},
                {114, 120}},
        PngCase{"SpacingOptionOverridesSettings",
                "[Layout]\r\nImageColumnSpacing=0.75\r\n",
                {"--format", "png", "--column-spacing=0.5"},
                {108, 120}},
        PngCase{"LastFormatWins", nullptr, {"--format", "pdf", "--format", "png"}, {108, 120}},
        // 1080 / (2 columns + half a cell between + the margins) = 240.
        PngCase{
            "WidthPicksTheCellSize", nullptr, {"--format", "png", "--width", "1080"}, {1080, 1200}},
        PngCase{
            "WidthPicksASmallerCell", nullptr, {"--format", "png", "--width", "130"}, {126, 140}},
        PngCase{"UprightGlyphsKeepTheSize",
                nullptr,
                {"--format", "png", "--vertical-glyphs", "off"},
                {108, 120}}),
    testing_support::CaseName());

TEST_F(ConvertPictureCliTest, WritesThePngToAPipedStandardOutput) {
  const Outcome run = Convert({"--format", "png"}, Cp932(u"縦"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(SizeOfPng(run.out), (PngSize{72, 72}));
}

// As text output does, a device or a FIFO named by -o is written into,
// never replaced: [the options, how the bytes begin]. (Pages were once
// renamed over a FIFO, and over /dev/null when run as root.)
TEST_F(ConvertPictureCliTest, WritesIntoADeviceOrAFifo) {
  const Outcome toNull = Convert({"--format", "pdf", "-o", "/dev/null"}, Cp932(u"縦"));
  EXPECT_EQ(toNull.status, 0) << toNull.err;

  const std::vector<std::pair<std::vector<std::string>, std::string>> outputs = {
      {{"--format", "png"}, "\x89PNG"}, {{"--format", "pdf"}, "%PDF"}, {{"--page", "a6"}, "%PDF"}};
  for (const auto& [options, start] : outputs) {
    const std::string fifo = folder_.PathOf("fifo");
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(fifo); });
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"-o", fifo});
    const Outcome toFifo = Convert(arguments, Cp932(u"縦"));
    // A converter that never opened the FIFO would leave the reader waiting.
    if (const int unblock = open(fifo.c_str(), O_WRONLY | O_NONBLOCK); unblock >= 0) close(unblock);
    reader.join();
    EXPECT_EQ(toFifo.status, 0) << options[1] << ": " << toFifo.err;
    EXPECT_EQ(received.substr(0, start.size()), start) << options[1];
    struct stat info {};
    ASSERT_EQ(stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << options[1];
  }
}

TEST_F(ConvertPictureCliTest, WritesAPdfWhoseTextCanBeRead) {
  const std::string pdf = folder_.PathOf("out.pdf");
  const Outcome run = Convert({"--format", "pdf", "-o", pdf}, Cp932(u"縦書き\r\nです"));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = folder_.PathOf("out.txt");
  ASSERT_EQ(std::system(("pdftotext " + Quoted(pdf) + " " + Quoted(text)).c_str()), 0);
  const std::string extracted = ReadFile(text);
  for (const char* character : {"縦", "書", "き", "で", "す"}) {
    EXPECT_NE(extracted.find(character), std::string::npos) << character;
  }
}

// --page makes a PDF of pages even without --format: the text reads in
// the order of the columns, and the paper is the one asked for.
TEST_F(ConvertPictureCliTest, PagesForPrintAndManuscriptPaper) {
  for (const auto& [paper, size] :
       {std::pair{"a5", "419.53 x 595.28 pts"}, std::pair{"genkou", "841.89 x 595.28 pts"}}) {
    const std::string pdf = folder_.PathOf("pages.pdf");
    const Outcome run =
        Convert({"--page", paper, "-o", pdf}, Cp932(u"ラーメン「です。」\r\nちょっと"));
    ASSERT_EQ(run.status, 0) << run.err;
    const Outcome info = RunProgram(folder_, "pdfinfo", {pdf});
    EXPECT_NE(info.out.find(size), std::string::npos) << info.out;
    const Outcome text = RunProgram(folder_, "pdftotext", {"-raw", pdf, "-"});
    EXPECT_NE(text.out.find("ラ\nー\nメ\nン\n「\nで\nす\n。\n」\nち\nょ\nっ\nと"),
              std::string::npos)
        << text.out;
  }
}

// Pages set 傍点 beside their characters, and the text stays what it was.
TEST_F(ConvertPictureCliTest, PagesDrawEmphasisBesideTheText) {
  std::vector<std::pair<std::string, std::string>> pages;
  for (const std::u16string_view input : {u"春の海", u"春の海［＃「春の海」に傍点］"}) {
    const std::string pdf = folder_.PathOf("pages.pdf");
    const Outcome run = Convert({"--page", "a6", "-o", pdf}, Cp932(input));
    ASSERT_EQ(run.status, 0) << run.err;
    RunProgram(folder_, "pdftoppm",
               {"-r", "40", "-gray", "-singlefile", pdf, folder_.PathOf("page")});
    pages.emplace_back(RunProgram(folder_, "pdftotext", {"-raw", pdf, "-"}).out,
                       ReadFile(folder_.PathOf("page.pgm")));
  }
  EXPECT_EQ(pages[1].first, pages[0].first);
  EXPECT_NE(pages[1].second, pages[0].second) << "no mark drawn";
}

struct FontCase {
  const char* name;
  const char* settings;
  std::vector<std::string> arguments;
  int status;
  // The embedded font pdffonts names, or the start of the message.
  const char* expected;
};

class FontCliTest : public ConvertPictureCliTest, public testing::WithParamInterface<FontCase> {};

// Pages are set in Mincho unless the settings or --font say otherwise,
// pictures in the Gothic; a font file is used as it is, and one that
// cannot serve is refused with the reason.
TEST_P(FontCliTest, DrawsInTheFaceAskedFor) {
  const FontCase& c = GetParam();
  WriteFile(settings_, c.settings);
  WriteFile(folder_.PathOf("not-a-font.ttf"), "[Main]\r\n");
  std::vector<std::string> arguments = c.arguments;
  for (std::string& argument : arguments) {
    if (argument.starts_with("not-a-font")) argument = folder_.PathOf(argument);
  }
  const std::string pdf = folder_.PathOf("out.pdf");
  arguments.insert(arguments.end(), {"-o", pdf});
  const Outcome run = Convert(arguments, Cp932(u"縦書き"));
  ASSERT_EQ(run.status, c.status) << run.err;
  if (c.status != 0) {
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(pdf));
    return;
  }
  const Outcome fonts = RunProgram(folder_, "pdffonts", {pdf});
  EXPECT_NE(fonts.out.find(c.expected), std::string::npos) << fonts.out;
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FontCliTest,
    testing::Values(
        FontCase{"PagesInMincho", "", {"--page", "a6"}, 0, "IPAMincho"},
        FontCase{
            "PagesInTheSettingsFace", "[Page]\r\nFont=1\r\n", {"--page", "a6"}, 0, "IPAGothic"},
        FontCase{"OptionOverridesSettings",
                 "[Page]\r\nFont=1\r\n",
                 {"--page", "a6", "--font", "mincho"},
                 0,
                 "IPAMincho"},
        FontCase{"PicturesInGothic", "", {"--format", "pdf"}, 0, "IPAGothic"},
        FontCase{"PicturesInMincho", "", {"--format", "pdf", "--font", "mincho"}, 0, "IPAMincho"},
        FontCase{"FontFile",
                 "",
                 {"--page", "a6", "--font", "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"},
                 0,
                 "IPAMincho"},
        FontCase{"MissingFile",
                 "",
                 {"--page", "a6", "--font", "not-a-font-either.ttf"},
                 2,
                 "フォントファイルを読めません。"},
        FontCase{"NotAFont",
                 "",
                 {"--format", "png", "--font", "not-a-font.ttf"},
                 2,
                 "フォントではありません。"}),
    testing_support::CaseName());

TEST_F(ConvertPictureCliTest, TextFormatIsTheDefaultOutput) {
  const std::string input = Cp932(u"縦書き\r\nです");
  const Outcome byDefault = Convert({}, input);
  const Outcome text = Convert({"--format", "png", "--format", "text", "--cell-size", "30"}, input);
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out, byDefault.out);
  EXPECT_EQ(text.out, Cp932(u"で縦\r\nす書\r\n　き"));
}

TEST_F(ConvertPictureCliTest, APngTooLargeIsRefusedAndPdfOffered) {
  const std::string out = folder_.PathOf("out.png");
  std::string lines;
  for (int n = 0; n < 1400; ++n) lines += "a\r\n";
  const Outcome run = Convert({"--format", "png", "-o", out}, lines);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("32767"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--format pdf"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  const Outcome pdf = Convert({"--format", "pdf", "-o", folder_.PathOf("out.pdf")}, lines);
  EXPECT_EQ(pdf.status, 0) << pdf.err;
}

// The converter installed under `root` as a package installs it.
std::string Install(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  fs::create_directories(root / "bin");
  fs::copy_file(MIROTABE_CONVERT_BINARY, root / "bin/mirotabe-convert");
  return (root / "bin/mirotabe-convert").string();
}

TEST_F(ConvertPictureCliTest, APictureUsesTheConvertersOwnSettingsFile) {
  const std::string converter = Install(folder_.PathOf("usr"));
  WriteFile(folder_.PathOf("usr/bin/Setting.ini"),
            "[Layout]\r\nImageCellSize=37\r\n[Swap001]\r\nFrom=a\r\nTo=\"bb\"\r\nType=1\r\n");
  const Outcome run = Convert({"--format", "png"}, "a", converter);
  EXPECT_EQ(run.status, 0) << run.err;
  // "bb" in one column of two rows, in cells of 37 pixels.
  EXPECT_EQ(SizeOfPng(run.out), (PngSize{111, 148}));
}

struct UsageCase {
  const char* name;
  std::vector<std::string> arguments;
  const char* message;
};

class PictureUsageTest : public ConvertPictureCliTest,
                         public testing::WithParamInterface<UsageCase> {};

TEST_P(PictureUsageTest, IsAUsageErrorNamingTheOptionAndItsValues) {
  const UsageCase& c = GetParam();
  const Outcome run = Convert(c.arguments, "a");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Values, PictureUsageTest,
    testing::Values(
        UsageCase{"UnknownFormat",
                  {"--format", "jpg"},
                  "--format: unknown format 'jpg' (use text, png, pdf or epub)"},
        UsageCase{"FormatInCapitals", {"--format", "PNG"}, "--format: unknown format 'PNG'"},
        UsageCase{"CellSizeTooSmall",
                  {"--cell-size", "7"},
                  "--cell-size: '7' is not a whole number from 8 to 256"},
        UsageCase{"CellSizeTooLarge",
                  {"--cell-size", "257"},
                  "--cell-size: '257' is not a whole number from 8 to 256"},
        UsageCase{"CellSizeWithUnit", {"--cell-size", "24px"}, "--cell-size: '24px'"},
        UsageCase{"CellSizeNegative", {"--cell-size=-24"}, "--cell-size: '-24'"},
        UsageCase{"CellSizeEmpty", {"--cell-size="}, "--cell-size: ''"},
        UsageCase{"CellSizeHuge", {"--cell-size", "99999999999999999999"}, "from 8 to 256"},
        UsageCase{"GridNeitherOnNorOff", {"--grid", "yes"}, "--grid: 'yes' is neither on nor off"},
        UsageCase{"FormatWithoutValue", {"--format"}, "option '--format' needs a value"},
        UsageCase{"UnknownPaper", {"--page", "a3"}, "--page: unknown paper 'a3'"},
        UsageCase{"PagesAsPng", {"--page", "a4", "--format", "png"}, "--page makes the pages"},
        UsageCase{"LandscapeAlone", {"--landscape"}, "--landscape turns the paper of --page"},
        UsageCase{"ColumnSpacingTooNarrow",
                  {"--column-spacing", "0.4"},
                  "--column-spacing: '0.4' is not a number from 0.5 to 1"},
        UsageCase{"ColumnSpacingTooWide", {"--column-spacing", "1.25"}, "'1.25' is not a number"},
        UsageCase{"ColumnSpacingWithComma", {"--column-spacing", "0,5"}, "'0,5' is not a number"},
        UsageCase{"FontOfText", {"--font", "mincho"}, "--font sets the face of a picture"},
        UsageCase{"WidthNotANumber", {"--width", "wide"}, "--width: 'wide'"},
        UsageCase{"WidthAndCellSize", {"--width", "100", "--cell-size", "8"}, "--width picks"},
        UsageCase{"VerticalGlyphsNeither",
                  {"--vertical-glyphs", "yes"},
                  "--vertical-glyphs: 'yes' is neither on nor off"},
        UsageCase{"ReverseAsPicture",
                  {"--reverse", "--format", "pdf"},
                  "--reverse gives horizontal text"}),
    testing_support::CaseName());

}  // namespace
}  // namespace mirotabe
