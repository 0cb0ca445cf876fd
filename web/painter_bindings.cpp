// The painter's JavaScript face (embind), a WebAssembly module of its own
// (mirotabe-painter.mjs): the pictures, pages and e-books that the module's
// convert() and the page make, by the converter's own command and the
// windows' own saved pictures, in fonts handed in as bytes. The page loads
// it with its first picture, so that a first visit carries neither the
// painter nor a font.
#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

#include "command/convert.h"
#include "command/picture_output.h"
#include "core/drawing_plan.h"
#include "core/picture_style.h"
#include "core/settings.h"
#include "core/vertical_layout.h"
#include "ebook/epub_book.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "platform/font_files.h"
#include "platform/io_reasons.h"
#include "render/saved_pictures.h"
#include "textio/file_types.h"
#include "web/engine.h"
#include "web/js_values.h"

namespace mirotabe::web {
namespace {

using emscripten::val;

// Where a conversion's files live in the module's memory file system while
// the command runs.
constexpr const char* kInputFile = "/convert/input";
constexpr const char* kOutputFile = "/convert/output";
constexpr const char* kSettingsFile = "/convert/Setting.ini";
constexpr const char* kFontFile = "/convert/font";
// The folder whose Setting.ini applies when none is handed in: none is.
constexpr const char* kProgramFolder = "/convert/program";
constexpr std::string_view kProgram = "mirotabe-convert: ";
constexpr std::string_view kWarning = "warning: ";

// The module's options that name one of the converter's, and how each
// takes its value: a text, a number, a switch that is there or not, or on
// and off.
enum class ValueKind { kText, kNumber, kSwitch, kOnOff };
struct OptionFlag {
  const char* name;
  const char* flag;
  ValueKind kind;
};
constexpr OptionFlag kOptionFlags[] = {
    {"from", "--from", ValueKind::kText},
    {"encoding", "--encoding", ValueKind::kText},
    {"columnLength", "--column-length", ValueKind::kNumber},
    {"kinsoku", "--kinsoku", ValueKind::kText},
    {"gap", "--gap", ValueKind::kNumber},
    {"ruby", "--ruby", ValueKind::kText},
    {"tcy", "--tcy", ValueKind::kNumber},
    {"latin", "--latin", ValueKind::kText},
    {"notation", "--notation", ValueKind::kText},
    {"reverse", "--reverse", ValueKind::kSwitch},
    {"format", "--format", ValueKind::kText},
    {"page", "--page", ValueKind::kText},
    {"landscape", "--landscape", ValueKind::kSwitch},
    {"cellSize", "--cell-size", ValueKind::kNumber},
    {"grid", "--grid", ValueKind::kOnOff},
    {"columnSpacing", "--column-spacing", ValueKind::kNumber},
    {"width", "--width", ValueKind::kNumber},
    {"verticalGlyphs", "--vertical-glyphs", ValueKind::kOnOff},
    {"title", "--title", ValueKind::kText},
    {"author", "--author", ValueKind::kText},
};

val Refused(const std::string& why) {
  val result = val::object();
  result.set("error", why);
  return result;
}

std::optional<std::string> Written(const std::string& path, std::string_view bytes) {
  if (const IoStatus status = ReplaceFileAtomically(path, bytes); status.failed()) {
    return path + ": " + status.error().Reason();
  }
  return std::nullopt;
}

const OptionFlag* OptionNamed(const std::string& name) {
  for (const OptionFlag& option : kOptionFlags) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

// Appends option `name`'s flag and its value; why not, where the value is
// not of the option's kind.
std::optional<std::string> AppendOption(std::vector<std::string>& arguments,
                                        const OptionFlag& option, const std::string& name,
                                        const val& value) {
  switch (option.kind) {
    case ValueKind::kText:
      if (!value.isString()) return name + " must be a string";
      arguments.insert(arguments.end(), {option.flag, value.as<std::string>()});
      return std::nullopt;
    case ValueKind::kNumber:
      if (!value.isNumber()) return name + " must be a number";
      arguments.insert(arguments.end(), {option.flag, value.call<std::string>("toString")});
      return std::nullopt;
    case ValueKind::kSwitch:
    case ValueKind::kOnOff:
      break;
  }
  if (!value.isTrue() && !value.isFalse()) return name + " must be true or false";
  if (option.kind == ValueKind::kOnOff) {
    arguments.insert(arguments.end(), {option.flag, value.isTrue() ? "on" : "off"});
  } else if (value.isTrue()) {
    arguments.emplace_back(option.flag);
  }
  return std::nullopt;
}

// Whether `options` ask for a picture or pages, which need a font.
bool DrawsWithAFont(const val& options) {
  const val format = options["format"];
  return !options["page"].isUndefined() ||
         (format.isString() &&
          (format.as<std::string>() == "png" || format.as<std::string>() == "pdf"));
}

// The converter's arguments for `options`, or why one is refused. The
// font is the one handed in: the module reads no font of a system.
std::variant<std::vector<std::string>, std::string> Arguments(const val& options, bool fontGiven) {
  std::vector<std::string> arguments{"mirotabe-convert"};
  const val names = val::global("Object").call<val>("keys", options);
  const auto count = names["length"].as<std::size_t>();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = names[i].as<std::string>();
    const val value = options[name];
    if (value.isUndefined() || name == "settings" || name == "fontData") continue;
    if (name == "font") {
      if (!value.isString() || !TypefaceNamed(value.as<std::string>())) {
        return "font names the face, mincho or gothic, whose font fontData holds; the module "
               "reads no font files";
      }
      continue;
    }
    const OptionFlag* option = OptionNamed(name);
    if (option == nullptr) return "unknown option '" + name + "'";
    if (auto refused = AppendOption(arguments, *option, name, value)) return std::move(*refused);
  }
  if (DrawsWithAFont(options) && !fontGiven) {
    return "fontData must hold the bytes of the font to draw in (.ttf, .otf or .ttc): the "
           "module has no fonts of its own";
  }
  if (fontGiven) arguments.insert(arguments.end(), {"--font", kFontFile});
  arguments.insert(arguments.end(), {"-o", kOutputFile, "-"});
  return arguments;
}

// Standard input read from `path` while the command runs, as a pipe would
// hand it over: the converter then names it as it names piped input.
class InputFromFile {
 public:
  explicit InputFromFile(const char* path)
      : saved_(dup(STDIN_FILENO)), file_(open(path, O_RDONLY)) {
    if (file_ >= 0) dup2(file_, STDIN_FILENO);
  }
  ~InputFromFile() {
    if (saved_ >= 0) dup2(saved_, STDIN_FILENO);
    if (saved_ >= 0) close(saved_);
    if (file_ >= 0) close(file_);
  }
  InputFromFile(const InputFromFile&) = delete;
  InputFromFile& operator=(const InputFromFile&) = delete;
  bool ok() const { return file_ >= 0; }

 private:
  int saved_;
  int file_;
};

// The converter's messages as the module tells them: its warnings one by
// one, and what made it fail, without the program's name.
struct Told {
  std::vector<std::string> warnings;
  std::string failure;
};

Told ToldOf(const std::string& messages) {
  Told told;
  std::istringstream lines(messages);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Try '", 0) == 0 || line.empty()) continue;
    if (line.rfind(kProgram, 0) == 0) line.erase(0, kProgram.size());
    if (line.rfind(kWarning, 0) == 0) {
      told.warnings.push_back(line.substr(kWarning.size()));
    } else {
      if (!told.failure.empty()) told.failure += "\n";
      told.failure += line;
    }
  }
  return told;
}

// What mirotabe-convert writes for `input` under `options` (its options
// by the module's names), the settings file's bytes and the font's.
val ConvertByCommand(const std::string& input, const val& settings, const val& options) {
  const val font = options["fontData"];
  const bool fontGiven = !font.isUndefined() && !font.isNull();
  std::variant<std::vector<std::string>, std::string> arguments = Arguments(options, fontGiven);
  if (const auto* refused = std::get_if<std::string>(&arguments)) return Refused(*refused);
  std::vector<std::string>& words = std::get<std::vector<std::string>>(arguments);
  if (IoStatus made = MakeFolders(kProgramFolder); made.failed()) {
    return Refused(made.error().Reason());
  }
  std::optional<std::string> failed = Written(kInputFile, input);
  if (!failed && fontGiven) failed = Written(kFontFile, font.as<std::string>());
  if (!failed && !settings.isNull() && !settings.isUndefined()) {
    failed = Written(kSettingsFile, settings.as<std::string>());
    words.insert(words.begin() + 1, {"--settings", kSettingsFile});
  }
  if (failed) return Refused(*failed);

  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::ostringstream said;
  int status = 1;
  {
    const InputFromFile in(kInputFile);
    // The painter tells its own failures on standard error.
    std::streambuf* const cerr = std::cerr.rdbuf(said.rdbuf());
    PictureSupport pictures{&WritePicture, &PictureLatinAdvances, kProgramFolder};
    if (in.ok()) {
      status = RunConvert(static_cast<int>(argv.size() - 1), argv.data(), said, said, pictures);
    }
    std::cerr.rdbuf(cerr);
  }
  const Told told = ToldOf(said.str());
  IoResult<std::string> output = ReadFileBytes(kOutputFile, std::size_t{1} << 31);
  for (const char* file : {kInputFile, kOutputFile, kSettingsFile, kFontFile}) unlink(file);
  if (status != 0) return Refused(told.failure.empty() ? "the conversion failed" : told.failure);
  if (!output) return Refused(output.error().Reason());
  val result = val::object();
  result.set("bytes", Bytes(output.value()));
  val warnings = val::array();
  for (const std::string& warning : told.warnings) warnings.call<void>("push", warning);
  result.set("warnings", warnings);
  return result;
}

// Keeps `bytes` as the font of face `face` (Typeface's number) for the
// pictures and pages that follow; why not, or an empty string.
std::string InstallFont(int face, const std::string& bytes) {
  const char* path =
      face == static_cast<int>(Typeface::kMincho) ? kMinchoInMemory : kGothicInMemory;
  if (IoStatus made = MakeFolders(kFontFolderInMemory); made.failed()) {
    return Encode(JapaneseReason(made.error()), Charset::Utf8).bytes;
  }
  if (const IoStatus status = ReplaceFileAtomically(path, bytes); status.failed()) {
    return Encode(JapaneseReason(status.error()), Charset::Utf8).bytes;
  }
  return {};
}

// The result of a picture or pages drawn: their bytes, or why not.
val Drawn(const IoResult<std::string>& drawn) {
  if (drawn) {
    val result = val::object();
    result.set("bytes", Bytes(drawn.value()));
    return result;
  }
  val result = Refused(Encode(JapaneseReason(drawn.error()), Charset::Utf8).bytes);
  if (drawn.error().code == std::errc::file_too_large) result.set("tooLarge", true);
  return result;
}

// The picture the window saves of the page's text (its units) under the
// settings of the settings file's bytes, as a PNG or (`pdf`) a PDF. A PNG
// too large to be one says its size.
val SavedPictureOf(const val& units, const std::string& settingsFile, bool pdf) {
  const std::u16string input = TextOfUnits(units);
  const AppSettings settings = SettingsOfFile(settingsFile);
  LayoutResult shown = BuildVerticalLayout(input, settings.rules);
  if (std::holds_alternative<LayoutTooLarge>(shown)) {
    return Drawn(IoError{{}, std::make_error_code(std::errc::file_too_large)});
  }
  const auto& layout = std::get<VerticalLayout>(shown);
  if (!pdf) {
    const PictureSize size = PictureSizeOf(
        layout, PictureCell(settings.picture.cellSize, settings.picture.columnSpacing));
    if (!FitsImage(size)) {
      val result = Refused("too large");
      val tooLarge = val::object();
      tooLarge.set("width", size.width);
      tooLarge.set("height", size.height);
      result.set("tooLarge", tooLarge);
      return result;
    }
  }
  return Drawn(
      SavedPicture(input, layout, settings, pdf ? PictureFormat::Pdf : PictureFormat::Png));
}

// The pages of the settings' page setup of the page's text.
val SavedPagesOf(const val& units, const std::string& settingsFile) {
  return Drawn(SavedPages(TextOfUnits(units), SettingsOfFile(settingsFile)));
}

// The e-book the window saves of the page's text under the settings'
// notation, named as typed with ".epub" added where it lacks it, and
// titled by that name where the text's header names no title.
val SavedEbookOf(const val& units, const std::string& settingsFile, const std::string& typed) {
  const std::string name = WithEbookExtension(typed);
  const std::u16string title =
      Decode(std::string_view(name).substr(0, name.size() - 5), Charset::Utf8);
  val result = val::object();
  result.set("name", name);
  result.set("bytes", Bytes(InputEpub(TextOfUnits(units),
                                      SettingsOfFile(settingsFile).picture.notation, title)));
  return result;
}

}  // namespace
}  // namespace mirotabe::web

EMSCRIPTEN_BINDINGS(mirotabe_painter) {
  emscripten::function("savedEbook", &mirotabe::web::SavedEbookOf);
  emscripten::function("convert", &mirotabe::web::ConvertByCommand);
  emscripten::function("installFont", &mirotabe::web::InstallFont);
  emscripten::function("savedPicture", &mirotabe::web::SavedPictureOf);
  emscripten::function("savedPages", &mirotabe::web::SavedPagesOf);
}
