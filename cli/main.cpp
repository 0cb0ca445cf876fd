// mirotabe-convert: the vertical conversion for scripts and batch jobs.
// It reads a text file like the program's open command, converts it under
// the program's settings and writes the bytes its save command would write.
#include <getopt.h>
#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <variant>

#include "cli/layout_options.h"
#include "cli/picture_output.h"
#include "core/picture_style.h"
#include "core/reverse_layout.h"
#include "core/settings.h"
#include "core/vertical_layout.h"
#include "platform/files.h"
#include "textio/text_file.h"

namespace mirotabe {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr const char* kProgram = "mirotabe-convert";

constexpr const char* kUsage =
    "Usage: mirotabe-convert [OPTION]... [FILE|-]\n"
    "Lays the text of FILE (standard input when absent or \"-\") out in vertical\n"
    "writing and writes it to OUT (standard output when absent).\n"
    "\n"
    "  --settings FILE   take the tab width, the replacement table and the layout\n"
    "                    options from FILE\n"
    "                    (default: the settings file of the Mirotabe program)\n"
    "  --column-length N cut lines into columns of N characters (0..999, 0: none)\n"
    "  --kinsoku MODE    line-breaking rule at the cuts: none, hang or push\n"
    "  --gap N           blank columns between columns (0..2)\n"
    "  --reverse         read vertical text back into horizontal lines instead\n"
    "  --from NAME       encoding of the input: auto, cp932, utf-8, utf-16, euc-jp\n"
    "                    or iso-2022-jp (default: auto, which finds it like the\n"
    "                    program's open command; but when only --encoding is given,\n"
    "                    the input is read in that encoding)\n"
    "  --encoding NAME   encoding of the output: cp932 (default) or utf-8\n"
    "  -o, --output OUT  write the result to OUT, replacing it atomically\n"
    "  --format NAME     text (default), or a picture of the columns: png or pdf\n"
    "                    (a PDF is split into pages where a PNG would be too large)\n"
    "  --cell-size PX    width of a character cell in a picture, 8 to 256 pixels\n"
    "                    (default: the program's setting, else 24)\n"
    "  --grid on|off     draw manuscript-paper lines around the cells of a picture\n"
    "                    (default: the program's setting, else off)\n"
    "  --help            show this help\n"
    "  --version         show the version\n"
    "\n"
    "utf-16 follows the input's byte-order mark, little-endian without one.\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written or the\n"
    "result is too large to lay out, 2 on a usage error.\n";

// How the input is read: found from its bytes, or in the named encoding.
enum class InputEncoding { kAuto, kCp932, kUtf8, kUtf16, kEucJp, kIso2022Jp };

struct Options {
  std::optional<std::string> settingsFile;
  LayoutOverrides layout;
  bool reverse = false;
  Charset charset = Charset::Cp932;
  bool encodingGiven = false;
  std::optional<InputEncoding> from;
  std::optional<std::string> outputFile;
  std::string inputFile = "-";
  // Set for the picture formats; the text is written otherwise.
  std::optional<PictureFormat> picture;
  std::optional<int> cellSize;
  std::optional<bool> grid;
};

int UsageError(const std::string& message) {
  std::cerr << kProgram << ": " << message << "\nTry '" << kProgram << " --help'.\n";
  return kExitUsage;
}

int IoFailure(const IoError& error) {
  std::cerr << kProgram << ": " << error.path << ": " << error.Reason() << "\n";
  return kExitFailure;
}

std::optional<InputEncoding> InputEncodingNamed(std::string_view name) {
  if (name == "auto") return InputEncoding::kAuto;
  if (name == "cp932") return InputEncoding::kCp932;
  if (name == "utf-8") return InputEncoding::kUtf8;
  if (name == "utf-16") return InputEncoding::kUtf16;
  if (name == "euc-jp") return InputEncoding::kEucJp;
  if (name == "iso-2022-jp") return InputEncoding::kIso2022Jp;
  return std::nullopt;
}

// The text of the input's bytes, read as `options` say. Without --from,
// --encoding alone names the input's encoding too, as it always has.
std::u16string InputText(const Options& options, std::string_view bytes) {
  InputEncoding from = options.from.value_or(InputEncoding::kAuto);
  if (!options.from && options.encodingGiven) {
    from = options.charset == Charset::Utf8 ? InputEncoding::kUtf8 : InputEncoding::kCp932;
  }
  switch (from) {
    case InputEncoding::kAuto: {
      DetectedText detected = DecodeDetectedTextFile(bytes);
      if (detected.undetermined) {
        std::cerr << kProgram << ": warning: "
                  << (options.inputFile == "-" ? "standard input" : options.inputFile)
                  << ": the encoding could not be determined; read as cp932\n";
      }
      return std::move(detected.text);
    }
    case InputEncoding::kCp932:
      return DecodeTextFile(bytes, TextEncoding::Cp932);
    case InputEncoding::kUtf8:
      return DecodeTextFile(bytes, TextEncoding::Utf8);
    case InputEncoding::kUtf16:
      return DecodeTextFile(
          bytes, bytes.starts_with("\xFE\xFF") ? TextEncoding::Utf16Be : TextEncoding::Utf16Le);
    case InputEncoding::kEucJp:
      return DecodeTextFile(bytes, TextEncoding::EucJp);
    case InputEncoding::kIso2022Jp:
      return DecodeTextFile(bytes, TextEncoding::Iso2022Jp);
  }
  return {};
}

enum PictureOption { kFormatOption = 300, kCellSizeOption, kGridOption };

// Takes the value of --format, --cell-size or --grid.
std::optional<int> ParsePictureOption(int option, const std::string& value, Options& options) {
  switch (option) {
    case kFormatOption:
      if (value == "text") {
        options.picture.reset();
      } else if (value == "png") {
        options.picture = PictureFormat::Png;
      } else if (value == "pdf") {
        options.picture = PictureFormat::Pdf;
      } else {
        return UsageError("--format: unknown format '" + value + "' (use text, png or pdf)");
      }
      return std::nullopt;
    case kCellSizeOption:
      options.cellSize = ParseCellSize(value);
      if (!options.cellSize) {
        return UsageError("--cell-size: '" + value + "' is not a whole number from " +
                          std::to_string(kMinCellSize) + " to " + std::to_string(kMaxCellSize));
      }
      return std::nullopt;
    default:
      if (value != "on" && value != "off") {
        return UsageError("--grid: '" + value + "' is neither on nor off");
      }
      options.grid = value == "on";
      return std::nullopt;
  }
}

// Fills `options`; returns an exit status when the run ends here.
std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  enum { kSettings = 256, kFrom, kEncoding, kHelp, kVersion, kLayoutOption, kReverse };
  static const option kLongOptions[] = {
      {"settings", required_argument, nullptr, kSettings},
      {"from", required_argument, nullptr, kFrom},
      {"encoding", required_argument, nullptr, kEncoding},
      {"output", required_argument, nullptr, 'o'},
      {"column-length", required_argument, nullptr, kLayoutOption},
      {"kinsoku", required_argument, nullptr, kLayoutOption},
      {"gap", required_argument, nullptr, kLayoutOption},
      {"reverse", no_argument, nullptr, kReverse},
      {"format", required_argument, nullptr, kFormatOption},
      {"cell-size", required_argument, nullptr, kCellSizeOption},
      {"grid", required_argument, nullptr, kGridOption},
      {"help", no_argument, nullptr, kHelp},
      {"version", no_argument, nullptr, kVersion},
      {nullptr, 0, nullptr, 0},
  };
  opterr = 0;
  for (;;) {
    const int previous = optind;
    int index = -1;
    const int option = getopt_long(argc, argv, ":o:", kLongOptions, &index);
    if (option == -1) break;
    switch (option) {
      case kSettings:
        options.settingsFile = optarg;
        break;
      case kFrom: {
        const std::optional<InputEncoding> from = InputEncodingNamed(optarg);
        if (!from) {
          return UsageError(std::string("unknown input encoding '") + optarg +
                            "' (use auto, cp932, utf-8, utf-16, euc-jp or iso-2022-jp)");
        }
        options.from = from;
        break;
      }
      case kEncoding: {
        options.encodingGiven = true;
        const std::string name = optarg;
        if (name == "cp932") {
          options.charset = Charset::Cp932;
        } else if (name == "utf-8") {
          options.charset = Charset::Utf8;
        } else {
          return UsageError("unknown encoding '" + name + "' (use cp932 or utf-8)");
        }
        break;
      }
      case 'o':
        options.outputFile = optarg;
        break;
      case kLayoutOption:
        if (auto invalid = ParseLayoutOption(kLongOptions[index].name, optarg, options.layout)) {
          return UsageError(*invalid);
        }
        break;
      case kReverse:
        options.reverse = true;
        break;
      case kFormatOption:
      case kCellSizeOption:
      case kGridOption:
        if (auto status = ParsePictureOption(option, optarg, options)) return status;
        break;
      case kHelp:
        std::cout << kUsage;
        return kExitOk;
      case kVersion:
        std::cout << kProgram << " " << MIROTABE_VERSION << "\n";
        return kExitOk;
      case ':':
        return UsageError(std::string("option '") + argv[previous] + "' needs a value");
      default:
        return UsageError(std::string("unknown option '") + argv[previous] + "'");
    }
  }
  if (argc - optind > 1) return UsageError("only one input file can be given");
  if (optind < argc) options.inputFile = argv[optind];
  if (options.picture && options.reverse) {
    return UsageError(
        "--reverse gives horizontal text: it cannot be drawn with --format png or pdf");
  }
  if (options.picture && !options.outputFile && isatty(STDOUT_FILENO)) {
    return UsageError(
        "a picture is not written to a terminal: give -o FILE or redirect the output");
  }
  return std::nullopt;
}

// The picture's style: the settings file's, under the command line's.
PictureRequest PictureRequestOf(const Options& options, const AppSettings& settings) {
  PictureRequest request;
  request.format = *options.picture;
  request.style =
      LoadPictureStyle(options.settingsFile ? *options.settingsFile : SettingsFile(settings));
  if (options.cellSize) request.style.cellSize = *options.cellSize;
  if (options.grid) request.style.grid = *options.grid;
  request.outputFile = options.outputFile;
  return request;
}

int Run(const Options& options) {
  const bool fromStdin = options.inputFile == "-";
  IoResult<std::string> input = fromStdin ? ReadDescriptorBytes(STDIN_FILENO, "standard input")
                                          : ReadFileBytes(options.inputFile);
  if (!input) return IoFailure(input.error());

  const std::u16string text = InputText(options, input.value());
  std::u16string converted;
  if (options.reverse) {
    // Reading back needs no settings: the table and the options only shape
    // the way into vertical text.
    ReverseResult result = ReverseLayout(text);
    if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
      std::cerr << kProgram << ": the text is too large to read back: " << tooLarge->lines
                << " rows × " << tooLarge->longestLine << " characters exceed " << tooLarge->bound
                << " cells\n";
      return kExitFailure;
    }
    converted = std::move(std::get<std::u16string>(result));
  } else {
    AppSettings settings;
    if (options.settingsFile) {
      if (IoStatus failed = LoadSettings(settings, *options.settingsFile)) {
        return IoFailure(*failed);
      }
    } else {
      settings = LoadStartupSettings();
    }
    options.layout.ApplyTo(settings.Layout);

    const LayoutResult result =
        BuildVerticalLayout(text, settings.TabSpace, settings.SwapTable, settings.Layout);
    if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
      std::cerr << kProgram << ": the result is too large to lay out: " << tooLarge->lines
                << " columns × " << tooLarge->longestLine << " characters exceed "
                << tooLarge->bound << " cells\n";
      return kExitFailure;
    }
    if (options.picture) {
      return WritePicture(std::get<VerticalLayout>(result), PictureRequestOf(options, settings),
                          kProgram);
    }
    converted = std::get<VerticalLayout>(result).Text();
  }

  const EncodedText output = EncodeTextFile(converted, options.charset);
  if (output.replaced != 0) {
    std::cerr << kProgram << ": warning: " << output.replaced << " character"
              << (output.replaced == 1 ? "" : "s") << " cannot be written in "
              << (options.charset == Charset::Cp932 ? "cp932" : "utf-8") << " and became '?'\n";
  }

  if (options.outputFile) {
    if (IoStatus failed = ReplaceFileAtomically(*options.outputFile, output.bytes)) {
      return IoFailure(*failed);
    }
    return kExitOk;
  }
  if (IoStatus failed = WriteDescriptorBytes(STDOUT_FILENO, output.bytes, "standard output")) {
    return IoFailure(*failed);
  }
  return kExitOk;
}

}  // namespace
}  // namespace mirotabe

int main(int argc, char** argv) {
  mirotabe::Options options;
  if (const auto status = mirotabe::ParseOptions(argc, argv, options)) return *status;
  return mirotabe::Run(options);
}
