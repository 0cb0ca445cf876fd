#include "command/convert.h"

#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "command/terminal_text.h"
#include "core/aozora_grid_text.h"
#include "core/aozora_notation.h"
#include "core/layout_cp932.h"
#include "core/layout_options.h"
#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/reverse_layout.h"
#include "core/settings.h"
#include "core/vertical_layout.h"
#include "ebook/epub_book.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/program_folder.h"
#include "textio/encoding_options.h"
#include "textio/layout_text.h"
#include "textio/text_file.h"
#include "textio/text_stream.h"
#include "textio/undecodable_warning.h"

namespace mirotabe {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr const char* kProgram = "mirotabe-convert";

constexpr const char* kUsage =
    "Usage: mirotabe-convert [OPTION]... [FILE|-]\n"
    "  or:  mirotabe-convert --format epub --output-dir DIR [OPTION]... FILE...\n"
    "Lays the text of FILE (standard input when absent or \"-\") out in vertical\n"
    "writing and writes it to OUT (standard output when absent).\n"
    "\n"
    "  --settings FILE   take the tab width, the replacement table and the layout\n"
    "                    options from FILE\n"
    "                    (default: the settings file of the Mirotabe program)\n"
    "  --column-length N cut lines into columns of N characters (0..999, 0: none)\n"
    "  --kinsoku MODE    line-breaking rule at the cuts: none, hang or push; words\n"
    "                    and numbers stay whole under hang and push (pages: push\n"
    "                    unless the settings say otherwise)\n"
    "  --gap N           blank columns between columns (0..2)\n"
    "  --ruby on|off     set ruby typed as ｜base《reading》 or 漢字《よみ》 beside\n"
    "                    its base; the marks and readings leave the text (default:\n"
    "                    the program's setting for pages and pictures, else on\n"
    "                    for --page and off otherwise)\n"
    "  --tcy N           in pictures and pages, set numbers of up to N half-width\n"
    "                    digits (and !? ?? !! ?! from 2) upright in one cell\n"
    "                    (縦中横), 0..3 (pages: 2, pictures: 0, unless the\n"
    "                    settings say otherwise)\n"
    "  --latin MODE      in pictures and pages, set half-width Latin a letter to a\n"
    "                    cell (cells) or turned, at its own widths (sideways)\n"
    "                    (pages: sideways but genkou, pictures: cells, unless the\n"
    "                    settings say otherwise)\n"
    "  --notation NAME   how the text is read: aozora, in Aozora Bunko's notation\n"
    "                    (ruby, ［＃…］ annotations, 外字 notes, its header and\n"
    "                    colophon), or plain, as it stands (default: the program's\n"
    "                    setting, else aozora for pictures, pages and e-books, and\n"
    "                    plain for text; aozora text is what the columns hold:\n"
    "                    字下げ as spaces, 外字 as characters, other marks out)\n"
    "  --reverse         read vertical text back into horizontal lines instead\n"
    "  --from NAME       encoding of the input: auto (default), which finds it like\n"
    "                    the program's open command, or cp932, utf-8, utf-16,\n"
    "                    euc-jp or iso-2022-jp\n"
    "  --encoding NAME   encoding of the output: cp932 (default) or utf-8; it does\n"
    "                    not name the input's\n"
    "  -o, --output OUT  write the result to OUT, replacing a file atomically;\n"
    "                    a device or a FIFO (/dev/stdout) is written into;\n"
    "                    - is standard output\n"
    "  --format NAME     text (default), or a picture of the columns: png or pdf\n"
    "                    (a PDF is split into pages where a PNG would be too large),\n"
    "                    or epub, a vertical e-book (EPUB 3)\n"
    "  --title TEXT      the e-book's title (default: the text's header's, else the\n"
    "                    input's name)\n"
    "  --author TEXT     the e-book's author (default: the text's header's)\n"
    "  --output-dir DIR  make one e-book of each FILE, named after it, in DIR (the\n"
    "                    files are converted side by side on the machine's cores)\n"
    "  --cell-size PX    width of a character cell in a picture, 8 to 256 pixels\n"
    "                    (default: the program's setting, else 24)\n"
    "  --grid on|off     draw manuscript-paper lines around the cells of a picture\n"
    "                    (default: the program's setting, else off)\n"
    "  --column-spacing EM  space between the columns of a picture or of pages, in\n"
    "                    characters: 0.5 to 1 (default: the program's setting,\n"
    "                    else 0.5 in pictures and the paper's design on pages);\n"
    "                    not --gap, which puts blank columns into the text\n"
    "  --width PX        the cell size that makes the picture PX pixels wide\n"
    "                    (at most: cells are 8 to 256 pixels)\n"
    "  --vertical-glyphs on|off  the font's vertical forms (ー as a vertical stroke,\n"
    "                    brackets turned, 、。 at the top right) in a picture\n"
    "                    (default: the program's setting, else on)\n"
    "  --page PAPER      a PDF of pages for print: a4, b5, a5, b6, a6 (bunko),\n"
    "                    letter, or genkou (400-character manuscript paper, A4\n"
    "                    landscape); the other page options are the program's\n"
    "                    (変換 → ページ設定…); implies --format pdf\n"
    "  --landscape       the paper of --page turned sideways\n"
    "  --font FACE       the face of a picture or of pages: mincho, gothic, or a\n"
    "                    font file (.ttf, .otf, .ttc) (default: pages in the\n"
    "                    program's setting, else mincho; pictures in gothic)\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "Encoding names may be in any letter case, and the usual aliases serve:\n"
    "Shift_JIS, SJIS, MS932 and Windows-31J for cp932, utf8 for utf-8, eucjp.\n"
    "utf-16 follows the input's byte-order mark, little-endian without one;\n"
    "utf-16le and utf-16be name the byte order.\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written or the\n"
    "result is too large to lay out, 2 on a usage error.\n";

struct Options {
  std::optional<std::string> settingsFile;
  LayoutOverrides layout;
  bool reverse = false;
  Charset charset = Charset::Cp932;
  InputEncoding from;
  std::optional<std::string> outputFile;
  std::string inputFile = "-";
  // Set for the picture formats; the text is written otherwise.
  std::optional<PictureFormat> picture;
  std::optional<int> cellSize;
  std::optional<bool> grid;
  std::optional<long long> width;
  std::optional<bool> verticalGlyphs;
  std::optional<double> columnSpacing;
  std::optional<Paper> page;
  bool landscape = false;
  std::optional<std::string> font;
  // --format epub.
  bool ebook = false;
  std::optional<std::string> title;
  std::optional<std::string> author;
  std::optional<std::string> outputDir;
  // With --output-dir; else inputFile alone.
  std::vector<std::string> inputs;
};

int UsageError(std::ostream& err, const std::string& message) {
  err << kProgram << ": " << TerminalText(message) << "\nTry '" << kProgram << " --help'.\n";
  return kExitUsage;
}

int IoFailure(std::ostream& err, const IoError& error) {
  err << kProgram << ": " << TerminalText(error.path) << ": " << error.Reason() << "\n";
  return kExitFailure;
}

// A settings file the user names must exist: a mistyped name would
// otherwise convert with the defaults, unnoticed.
IoStatus LoadNamedSettings(AppSettings& settings, const std::string& file) {
  const IoResult<std::string> bytes = ReadFileBytes(file, ProfileFile::kMaxBytes);
  if (!bytes) return bytes.error();
  ReadSettings(settings, ProfileFile::FromBytes(file, bytes.value()));
  return std::nullopt;
}

std::string InputName(const std::string& file) {
  return file == "-" ? std::string("standard input") : TerminalText(file);
}

// The text of the bytes of input `file`, read as --from says.
std::u16string InputText(const Options& options, const std::string& file, std::string_view bytes,
                         std::ostream& err) {
  DetectedText read = ReadInput(bytes, options.from);
  if (read.undetermined) {
    err << kProgram << ": warning: " << InputName(file)
        << ": the encoding could not be determined; read as cp932\n";
  }
  if (read.undecodable.count != 0) {
    err << kProgram << ": warning: " << UndecodableWarning(read.undecodable, read.encoding) << "\n";
  }
  return std::move(read.text);
}

// Says what the notation of `file` could not carry into the output.
void ReportNotation(const AozoraBook& book, const std::string& file, std::ostream& err) {
  if (const std::size_t count = book.unknownAnnotations; count != 0) {
    err << kProgram << ": warning: " << InputName(file) << ": " << count
        << (count == 1 ? " annotation is" : " annotations are")
        << " not known and left out (their text stays)\n";
  }
  if (const std::size_t count = book.unnamedCharacters; count != 0) {
    err << kProgram << ": warning: " << InputName(file) << ": " << count
        << (count == 1 ? " 外字 note names" : " 外字 notes name")
        << " no character and became 〓\n";
  }
}

OutputKind OutputOf(const Options& options) {
  if (options.ebook) return OutputKind::kEbook;
  if (options.page) return OutputKind::kPage;
  return options.picture ? OutputKind::kPicture : OutputKind::kText;
}

Notation NotationOf(const Options& options, const AppSettings& settings) {
  return NotationFor(options.layout.notation ? options.layout.notation : settings.picture.notation,
                     OutputOf(options));
}

enum PictureOption {
  kFormatOption = 300,
  kCellSizeOption,
  kGridOption,
  kWidthOption,
  kVerticalGlyphsOption,
  kPageOption,
  kLandscapeOption,
  kColumnSpacingOption,
  kFontOption,
  kTitleOption,
  kAuthorOption,
  kOutputDirOption
};

// Takes the value of --width, --vertical-glyphs, --column-spacing, --page or
// --landscape.
std::optional<int> ParsePageOption(int option, const std::string& value, Options& options,
                                   std::ostream& err) {
  switch (option) {
    case kWidthOption: {
      long long width = 0;
      const char* end = value.data() + value.size();
      const auto [stop, failed] = std::from_chars(value.data(), end, width);
      if (value.empty() || failed != std::errc() || stop != end || width < 1) {
        return UsageError(err, "--width: '" + value + "' is not a whole number of pixels");
      }
      options.width = width;
      return std::nullopt;
    }
    case kVerticalGlyphsOption:
      if (value != "on" && value != "off") {
        return UsageError(err, "--vertical-glyphs: '" + value + "' is neither on nor off");
      }
      options.verticalGlyphs = value == "on";
      return std::nullopt;
    case kColumnSpacingOption:
      options.columnSpacing = ParseColumnSpacing(value);
      if (!options.columnSpacing) {
        return UsageError(err, "--column-spacing: '" + value + "' is not a number from 0.5 to 1");
      }
      return std::nullopt;
    case kFontOption:
      if (value.empty()) return UsageError(err, "--font: give mincho, gothic or a font file");
      options.font = value;
      return std::nullopt;
    case kPageOption:
      options.page = PaperNamed(value);
      if (!options.page) {
        return UsageError(err, "--page: unknown paper '" + value +
                                   "' (use a4, b5, a5, b6, a6, letter or genkou)");
      }
      return std::nullopt;
    default:
      options.landscape = true;
      return std::nullopt;
  }
}

// Takes the value of --format, --cell-size or --grid.
std::optional<int> ParsePictureOption(int option, const std::string& value, Options& options,
                                      std::ostream& err) {
  switch (option) {
    case kFormatOption:
      options.picture.reset();
      options.ebook = false;
      if (value == "png") {
        options.picture = PictureFormat::Png;
      } else if (value == "pdf") {
        options.picture = PictureFormat::Pdf;
      } else if (value == "epub") {
        options.ebook = true;
      } else if (value != "text") {
        return UsageError(err,
                          "--format: unknown format '" + value + "' (use text, png, pdf or epub)");
      }
      return std::nullopt;
    case kCellSizeOption:
      options.cellSize = ParseCellSize(value);
      if (!options.cellSize) {
        return UsageError(err, "--cell-size: '" + value + "' is not a whole number from " +
                                   std::to_string(kMinCellSize) + " to " +
                                   std::to_string(kMaxCellSize));
      }
      return std::nullopt;
    default:
      if (value != "on" && value != "off") {
        return UsageError(err, "--grid: '" + value + "' is neither on nor off");
      }
      options.grid = value == "on";
      return std::nullopt;
  }
}

enum OptionId { kSettings = 256, kFrom, kEncoding, kHelp, kVersion, kLayoutOption, kReverse };

const option kLongOptions[] = {
    {"settings", required_argument, nullptr, kSettings},
    {"from", required_argument, nullptr, kFrom},
    {"encoding", required_argument, nullptr, kEncoding},
    {"output", required_argument, nullptr, 'o'},
    {"column-length", required_argument, nullptr, kLayoutOption},
    {"kinsoku", required_argument, nullptr, kLayoutOption},
    {"gap", required_argument, nullptr, kLayoutOption},
    {"ruby", required_argument, nullptr, kLayoutOption},
    {"tcy", required_argument, nullptr, kLayoutOption},
    {"latin", required_argument, nullptr, kLayoutOption},
    {"notation", required_argument, nullptr, kLayoutOption},
    {"title", required_argument, nullptr, kTitleOption},
    {"author", required_argument, nullptr, kAuthorOption},
    {"output-dir", required_argument, nullptr, kOutputDirOption},
    {"reverse", no_argument, nullptr, kReverse},
    {"format", required_argument, nullptr, kFormatOption},
    {"cell-size", required_argument, nullptr, kCellSizeOption},
    {"grid", required_argument, nullptr, kGridOption},
    {"width", required_argument, nullptr, kWidthOption},
    {"vertical-glyphs", required_argument, nullptr, kVerticalGlyphsOption},
    {"column-spacing", required_argument, nullptr, kColumnSpacingOption},
    {"page", required_argument, nullptr, kPageOption},
    {"landscape", no_argument, nullptr, kLandscapeOption},
    {"font", required_argument, nullptr, kFontOption},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// Takes the value of --encoding: an encoding that can be written.
std::optional<int> ParseEncodingOption(const std::string& name, Options& options,
                                       std::ostream& err) {
  std::variant<Charset, std::string> charset = OutputCharsetNamed(name);
  if (const auto* refused = std::get_if<std::string>(&charset)) {
    return UsageError(err, "--encoding: " + *refused);
  }
  options.charset = std::get<Charset>(charset);
  return std::nullopt;
}

// Takes option `option` (getopt's answer, `index` into kLongOptions for a
// long one) with its value `value`; `given` is the argument as written.
std::optional<int> ParseOption(int option, int index, const char* value, const char* given,
                               Options& options, std::ostream& out, std::ostream& err) {
  switch (option) {
    case kSettings:
      options.settingsFile = value;
      return std::nullopt;
    case kFrom:
      if (const std::optional<InputEncoding> from = InputEncodingNamed(value)) {
        options.from = *from;
        return std::nullopt;
      }
      return UsageError(err, UnknownInputEncoding(value));
    case kEncoding:
      return ParseEncodingOption(value, options, err);
    case 'o':
      // "-" is standard output, as it is standard input for the input; a
      // file of that name is "./-".
      if (std::string_view(value) == "-") {
        options.outputFile.reset();
      } else {
        options.outputFile = value;
      }
      return std::nullopt;
    case kLayoutOption:
      if (auto invalid = ParseLayoutOption(kLongOptions[index].name, value, options.layout)) {
        return UsageError(err, *invalid);
      }
      return std::nullopt;
    case kReverse:
      options.reverse = true;
      return std::nullopt;
    case kTitleOption:
      options.title = value;
      return std::nullopt;
    case kAuthorOption:
      options.author = value;
      return std::nullopt;
    case kOutputDirOption:
      options.outputDir = value;
      return std::nullopt;
    case kFormatOption:
    case kCellSizeOption:
    case kGridOption:
      return ParsePictureOption(option, value, options, err);
    case kWidthOption:
    case kVerticalGlyphsOption:
    case kColumnSpacingOption:
    case kFontOption:
    case kPageOption:
    case kLandscapeOption:
      return ParsePageOption(option, value == nullptr ? "" : value, options, err);
    case kHelp:
      out << kUsage;
      return kExitOk;
    case kVersion:
      out << kProgram << " " << MIROTABE_VERSION << "\n";
      return kExitOk;
    case ':':
      return UsageError(err, std::string("option '") + given + "' needs a value");
    default:
      return UsageError(err, std::string("unknown option '") + given + "'");
  }
}

// The combinations of --format epub's options that cannot work together.
std::optional<int> CheckEbookOptions(const Options& options, std::ostream& err) {
  if (options.ebook && options.page) {
    return UsageError(err, "--page makes the pages of a PDF: it cannot be used with --format epub");
  }
  if (options.ebook && options.reverse) {
    return UsageError(err, "--reverse gives horizontal text: it cannot be made an e-book");
  }
  if ((options.title || options.author) && !options.ebook) {
    return UsageError(err, "--title and --author name an e-book: give --format epub");
  }
  if (options.outputDir && !options.ebook) {
    return UsageError(err, "--output-dir makes one e-book of each input: give --format epub");
  }
  if (options.outputDir && options.outputFile) {
    return UsageError(err,
                      "--output-dir names the outputs after the inputs: it cannot be given "
                      "with -o");
  }
  if (options.outputDir &&
      std::find(options.inputs.begin(), options.inputs.end(), "-") != options.inputs.end()) {
    return UsageError(err,
                      "--output-dir names the outputs after the inputs: standard input has "
                      "no name");
  }
  return std::nullopt;
}

// The combinations of options that cannot work together.
std::optional<int> CheckOptions(Options& options, std::ostream& err) {
  if (options.page && !options.picture) options.picture = PictureFormat::Pdf;
  if (options.page && options.picture == PictureFormat::Png) {
    return UsageError(err, "--page makes the pages of a PDF: it cannot be used with --format png");
  }
  if (options.landscape && !options.page) {
    return UsageError(err, "--landscape turns the paper of --page: give --page too");
  }
  if (options.font && !options.picture) {
    return UsageError(err,
                      "--font sets the face of a picture or of pages: give --format png or "
                      "pdf, or --page");
  }
  if (options.width && options.cellSize) {
    return UsageError(err, "--width picks the cell size: it cannot be given with --cell-size");
  }
  if (options.picture && options.reverse) {
    return UsageError(
        err, "--reverse gives horizontal text: it cannot be drawn with --format png or pdf");
  }
  if (auto refused = CheckEbookOptions(options, err)) return refused;
  if ((options.picture || options.ebook) && !options.outputFile && !options.outputDir &&
      isatty(STDOUT_FILENO) != 0) {
    return UsageError(
        err, "a picture is not written to a terminal: give -o FILE or redirect the output");
  }
  return std::nullopt;
}

// Fills `options`; returns an exit status when the run ends here.
std::optional<int> ParseOptions(int argc, char** argv, Options& options, std::ostream& out,
                                std::ostream& err) {
  opterr = 0;
  // Starts getopt afresh, for a second run in the same process.
  optind = 0;
  for (;;) {
    const int previous = std::max(optind, 1);
    int index = -1;
    const int option = getopt_long(argc, argv, ":o:", kLongOptions, &index);
    if (option == -1) break;
    if (auto status = ParseOption(option, index, optarg, argv[previous], options, out, err)) {
      return status;
    }
  }
  if (argc - optind > 1 && !options.outputDir) {
    return UsageError(err, "only one input file can be given");
  }
  if (optind < argc) options.inputFile = argv[optind];
  options.inputs.assign(argv + optind, argv + argc);
  if (options.outputDir && options.inputs.empty()) {
    return UsageError(err, "--output-dir needs the files to convert");
  }
  return CheckOptions(options, err);
}

// The pages of --page: the settings file's page options on that paper.
std::optional<PageSetup> PagesOf(const Options& options, const AppSettings& settings) {
  if (!options.page) return std::nullopt;
  PageSetup page = settings.page;
  page.enabled = true;
  page.paper = *options.page;
  page.landscape = options.landscape;
  if (options.layout.kinsoku) page.kinsoku = options.layout.kinsoku;
  if (options.columnSpacing) page.columnSpacing = options.columnSpacing;
  if (const std::optional<Typeface> face = TypefaceNamed(options.font.value_or(""))) {
    page.face = *face;
  }
  return page;
}

// Whether ruby is set: as the command line says, else as the settings say
// for pages and pictures; the text keeps the marks as typed.
bool RubyOf(const Options& options, const AppSettings& settings) {
  if (options.layout.ruby) return *options.layout.ruby;
  if (options.page) return RubyInPages(settings.picture);
  return options.picture && RubyInPictures(settings.picture);
}

// The picture's style: the settings file's, under the command line's.
PictureRequest PictureRequestOf(const Options& options, const AppSettings& settings,
                                const VerticalLayout& layout) {
  PictureRequest request;
  request.format = *options.picture;
  request.style = settings.picture;
  if (options.columnSpacing) request.style.columnSpacing = *options.columnSpacing;
  if (options.cellSize) request.style.cellSize = *options.cellSize;
  if (options.width) {
    request.style.cellSize =
        CellSizeForWidth(*options.width, layout.ColumnCount(), request.style.columnSpacing);
  }
  if (options.grid) request.style.grid = *options.grid;
  if (options.verticalGlyphs) request.style.verticalGlyphs = *options.verticalGlyphs;
  request.page = PagesOf(options, settings);
  request.font = options.font;
  request.outputFile = options.outputFile;
  return request;
}

// What writes `layout`'s text in `charset`, a few rows at a time. Code
// page 932 is written as the grid is filled where every cell takes two
// bytes: the output is never gone over twice.
TextProducer LayoutProducer(VerticalLayout& layout, Charset charset) {
  return [&layout, charset](EncodingWriter& writer) {
    IoStatus failed;
    if (charset == Charset::Cp932 && ForEachCp932Piece(layout, [&](std::string_view bytes) {
                                       failed = writer.WriteEncoded(bytes);
                                       return failed.ok();
                                     }) != Cp932Pieces::kNotTwoBytes) {
      return failed;
    }
    return LayoutTextProducer(layout)(writer);
  };
}

// The settings a layout is built with: the named file's, or the program's
// own (the defaults, with a warning, where it cannot be read), under the
// options; the exit status when the named file cannot be read.
std::optional<int> PrepareSettings(const Options& options, const PictureSupport& pictures,
                                   std::ostream& err, AppSettings& settings) {
  if (options.settingsFile) {
    if (IoStatus status = LoadNamedSettings(settings, *options.settingsFile); status.failed()) {
      return IoFailure(err, status.error());
    }
  } else if (IoStatus unread = LoadStartupSettings(settings, pictures.programFolder);
             unread.failed()) {
    // The program's own file, which the user did not name: the defaults
    // serve, as they do when it is missing, but not without a word.
    err << kProgram << ": warning: " << TerminalText(unread.error().path) << ": "
        << unread.error().Reason() << "; converting with the default settings\n";
  }
  options.layout.ApplyTo(settings.rules.columns);
  settings.rules.columns.ruby = RubyOf(options, settings);
  // Pages cut the columns to the characters a page's column holds.
  if (const std::optional<PageSetup> page = PagesOf(options, settings)) {
    settings.rules.columns =
        PageLayoutSettings(settings.rules.columns, *page, PageGeometryOf(*page));
  } else if (options.picture) {
    settings.rules.columns.typesetting = PictureTypesetting(settings.rules.columns);
  }
  if (settings.rules.columns.typesetting.latin == LatinSetting::kSideways &&
      pictures.latinAdvances != nullptr) {
    settings.rules.columns.typesetting.advances = pictures.latinAdvances();
  }
  return std::nullopt;
}

void ReportTooLargeToLayOut(const LayoutTooLarge& tooLarge, std::ostream& err) {
  err << kProgram << ": the result is too large to lay out: ";
  if (tooLarge.units != 0) {
    err << "the replacements make the text at least " << tooLarge.units
        << " characters long, more than the " << PreparedUnitsBound(tooLarge.bound) << " that "
        << tooLarge.bound << " cells can take\n";
  } else {
    err << tooLarge.lines << " columns × " << tooLarge.longestLine << " characters exceed "
        << tooLarge.bound << " cells\n";
  }
}

// The name of `file` without its folder and its extension.
std::string StemOf(const std::string& file) {
  std::string name = file.substr(file.find_last_of("/\\") + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) {
    name.resize(dot);
  }
  return name;
}

// Makes the e-book of `file` and writes it to `output` (standard output
// when none).
int ConvertEbook(const Options& options, const AppSettings& settings, const std::string& file,
                 const std::optional<std::string>& output, std::ostream& err) {
  IoResult<std::string> input =
      file == "-" ? ReadDescriptorBytes(STDIN_FILENO, "standard input") : ReadStreamBytes(file);
  if (!input) return IoFailure(err, input.error());
  const std::u16string text = InputText(options, file, input.value(), err);
  std::string().swap(input.value());
  AozoraBook book;
  if (NotationOf(options, settings) == Notation::kAozora) {
    book = ReadAozoraText(text);
    ReportNotation(book, file, err);
  } else {
    book = PlainTextBook(text);
  }
  EpubMetadata metadata;
  metadata.title = Decode(options.title.value_or(""), Charset::Utf8);
  metadata.author = Decode(options.author.value_or(""), Charset::Utf8);
  metadata.fallbackTitle = file == "-" ? u"" : Decode(StemOf(file), Charset::Utf8);
  const std::string bytes = MakeEpub(book, metadata);
  const IoStatus written = output
                               ? ReplaceFileAtomically(*output, bytes, OtherTargets::kWriteThrough)
                               : WriteDescriptorBytes(STDOUT_FILENO, bytes, "standard output");
  if (written.failed()) return IoFailure(err, written.error());
  return kExitOk;
}

// Each input's e-book into --output-dir, as many at once as there are
// cores; the messages come out in the inputs' order.
int ConvertEbooks(const Options& options, const AppSettings& settings, std::ostream& err) {
  if (IoStatus made = MakeFolders(*options.outputDir); made.failed()) {
    return IoFailure(err, made.error());
  }
  const std::size_t count = options.inputs.size();
  std::vector<int> statuses(count, kExitOk);
  std::vector<std::string> messages(count);
  std::atomic<std::size_t> next = 0;
  auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      std::ostringstream said;
      const std::string& file = options.inputs[i];
      try {
        statuses[i] = ConvertEbook(options, settings, file,
                                   *options.outputDir + "/" + StemOf(file) + ".epub", said);
      } catch (const std::bad_alloc&) {
        said << kProgram << ": " << InputName(file)
             << ": the text is too large for the memory available\n";
        statuses[i] = kExitFailure;
      }
      messages[i] = said.str();
    }
  };
  const std::size_t workers =
      std::min<std::size_t>(count, std::max(1U, std::thread::hardware_concurrency()));
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < workers; ++i) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();
  int status = kExitOk;
  for (std::size_t i = 0; i < count; ++i) {
    err << messages[i];
    status = std::max(status, statuses[i]);
  }
  return status;
}

int RunEbooks(const Options& options, const PictureSupport& pictures, std::ostream& err) {
  AppSettings settings;
  if (const std::optional<int> failed = PrepareSettings(options, pictures, err, settings)) {
    return *failed;
  }
  if (options.outputDir) return ConvertEbooks(options, settings, err);
  return ConvertEbook(options, settings, options.inputFile, options.outputFile, err);
}

int Run(const Options& options, const PictureSupport& pictures, std::ostream& err) {
  if (options.ebook) return RunEbooks(options, pictures, err);
  // Scripts hand their input over in pipes and FIFOs ("<(...)", /dev/stdin).
  const bool fromStdin = options.inputFile == "-";
  IoResult<std::string> input = fromStdin ? ReadDescriptorBytes(STDIN_FILENO, "standard input")
                                          : ReadStreamBytes(options.inputFile);
  if (!input) return IoFailure(err, input.error());

  std::u16string text = InputText(options, options.inputFile, input.value(), err);
  std::string().swap(input.value());  // frees the bytes: only the text is needed now

  // The output goes to the encoder and out a few rows at a time: it is
  // never held whole, neither as text nor as bytes.
  TextProducer produce;
  std::u16string readBack;
  LayoutResult result;
  if (options.reverse) {
    // Reading back needs no settings: the table and the options only shape
    // the way into vertical text.
    ReverseResult reversed = ReverseLayout(text);
    if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&reversed)) {
      err << kProgram << ": the text is too large to read back: " << tooLarge->lines << " rows × "
          << tooLarge->longestLine << " characters exceed " << tooLarge->bound << " cells\n";
      return kExitFailure;
    }
    readBack = std::move(std::get<std::u16string>(reversed));
    produce = [&readBack](EncodingWriter& writer) { return writer.Write(readBack); };
  } else {
    AppSettings settings;
    if (const std::optional<int> failed = PrepareSettings(options, pictures, err, settings)) {
      return *failed;
    }
    std::vector<PageBreak> pageBreaks;
    if (NotationOf(options, settings) == Notation::kAozora) {
      const AozoraBook book = ReadAozoraText(text);
      ReportNotation(book, options.inputFile, err);
      // Pictures and pages set 傍点 and 傍線 beside their characters, as
      // they set ruby; the text output has no side to set them on.
      const bool marks = options.picture && settings.rules.columns.ruby;
      text = AozoraGridText(book, settings.rules.columns.columnLength,
                            marks ? GridMarks::kBeside : GridMarks::kNone);
      pageBreaks = AozoraPageBreaks(book);
    }
    result = BuildVerticalLayoutInPlace(std::move(text), settings.rules);
    if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
      ReportTooLargeToLayOut(*tooLarge, err);
      return kExitFailure;
    }
    if (options.picture) {
      const auto& layout = std::get<VerticalLayout>(result);
      PictureRequest request = PictureRequestOf(options, settings, layout);
      if (request.page) request.pageBreaks = std::move(pageBreaks);
      return pictures.write(layout, request, kProgram);
    }
    produce = LayoutProducer(std::get<VerticalLayout>(result), options.charset);
  }

  const IoResult<std::size_t> replaced =
      options.outputFile
          ? WriteTextFilePieces(*options.outputFile, options.charset, produce,
                                OtherTargets::kWriteThrough)
          : WriteDescriptorPieces(STDOUT_FILENO, "standard output", options.charset, produce);
  if (!replaced) return IoFailure(err, replaced.error());
  if (const std::size_t count = replaced.value(); count != 0) {
    err << kProgram << ": warning: " << count << " character" << (count == 1 ? "" : "s")
        << " cannot be written in " << (options.charset == Charset::Cp932 ? "cp932" : "utf-8")
        << " and became '?'\n";
  }
  return kExitOk;
}

}  // namespace

int RunConvert(int argc, char** argv, std::ostream& out, std::ostream& err,
               const PictureSupport& pictures) {
  Options options;
  if (const auto status = ParseOptions(argc, argv, options, out, err)) return *status;
  if (options.picture && pictures.write == nullptr) {
    err << kProgram << ": --format png and pdf are not in this build, which writes text only\n";
    return kExitFailure;
  }
  try {
    return Run(options, pictures, err);
  } catch (const std::bad_alloc&) {
    // The read is bounded; a text within the bound may still need more
    // memory than there is once it is decoded and laid out.
    err << kProgram << ": "
        << (options.inputFile == "-" ? std::string("standard input")
                                     : TerminalText(options.inputFile))
        << ": the text is too large for the memory available\n";
    return kExitFailure;
  }
}

}  // namespace mirotabe
