#include "command/picture_output.h"

#include <unistd.h>

#include <iostream>
#include <string_view>
#include <system_error>
#include <variant>

#include "command/terminal_text.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "render/pictures.h"
#include "render/typeface_fonts.h"

namespace mirotabe {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
// A --font that names no font is the caller's mistake, as a mistyped
// option is.
constexpr int kExitUsage = 2;

std::string LocalText(std::u16string_view text) {
  return Encode(text, Charset::Utf8).bytes;
}

// The fonts that `request` draws with: --font's face or file, else the
// Gothic for pictures and the setup's face for pages. A file that cannot
// serve is refused with the reason, in Japanese as the program's own
// messages are.
std::variant<std::vector<FontSource>, int> FontsOf(const PictureRequest& request,
                                                   const char* program) {
  if (!request.font) {
    return TypefaceFonts(request.page ? request.page->face : Typeface::kGothic);
  }
  if (const std::optional<Typeface> face = TypefaceNamed(*request.font)) {
    return TypefaceFonts(*face);
  }
  auto fonts = FontFileFonts(*request.font);
  if (const auto* refusal = std::get_if<std::u16string>(&fonts)) {
    std::cerr << program << ": " << TerminalText(*request.font) << ": " << LocalText(*refusal)
              << "\n";
    return kExitUsage;
  }
  return std::get<std::vector<FontSource>>(std::move(fonts));
}

int Report(const char* program, const IoError& failed) {
  std::cerr << program << ": " << TerminalText(failed.path) << ": " << failed.Reason() << "\n";
  return kExitFailure;
}

// Pages go straight to their file (replaced atomically where it is a
// regular file, written into where it is a device or a FIFO) or to
// standard output, page by page.
int WritePages(const VerticalLayout& layout, const PictureRequest& request, FontChain& fonts,
               const char* program) {
  // The file size limit is an error, not a signal that ends the program.
  const FileSizeLimitAsError limit;
  if (!request.outputFile) {
    IoStatus refused;
    const IoStatus drawn = WritePages(
        layout, request.style, *request.page, fonts,
        [&refused](std::string_view block) {
          refused = WriteDescriptorBytes(STDOUT_FILENO, block, "standard output");
          return refused.ok();
        },
        request.pageBreaks);
    if (refused.failed()) return Report(program, refused.error());
    if (drawn.failed()) {
      std::cerr << program << ": standard output: " << drawn.error().Reason() << "\n";
      return kExitFailure;
    }
    return kExitOk;
  }
  IoResult<AtomicFileWriter> writer =
      AtomicFileWriter::Begin(*request.outputFile, OtherTargets::kWriteThrough);
  if (!writer) return Report(program, writer.error());
  IoStatus refused;
  const IoStatus drawn = WritePages(
      layout, request.style, *request.page, fonts,
      [&](std::string_view block) {
        refused = writer.value().Write(block);
        return refused.ok();
      },
      request.pageBreaks);
  // A write the file refused says why; a writer left uncommitted keeps
  // the old file whole.
  IoStatus failed = refused;
  if (failed.ok() && drawn.failed()) failed = IoError{*request.outputFile, drawn.error().code};
  if (failed.ok()) failed = writer.value().Commit();
  if (failed.failed()) return Report(program, failed.error());
  return kExitOk;
}

}  // namespace

int WritePicture(const VerticalLayout& layout, const PictureRequest& request, const char* program) {
  std::variant<std::vector<FontSource>, int> sources = FontsOf(request, program);
  if (const int* status = std::get_if<int>(&sources)) return *status;
  FontChain fonts(std::get<std::vector<FontSource>>(std::move(sources)));
  if (request.page) return WritePages(layout, request, fonts, program);

  const IoResult<std::string> picture = PictureFile(layout, request.style, request.format, fonts);
  // A PNG too large to draw is refused by the drawing, which sets its
  // columns to learn its height; they are set again only to say it.
  if (!picture && request.format == PictureFormat::Png &&
      picture.error().code == std::errc::file_too_large) {
    const PictureSize size =
        PictureSizeOf(layout, PictureCell(request.style.cellSize, request.style.columnSpacing));
    std::cerr << program << ": the image would be " << size.width << " × " << size.height
              << " pixels; a PNG side can be at most " << kMaxImageSide
              << " pixels. Use --format pdf, which splits it into pages, or a smaller "
                 "--cell-size.\n";
    return kExitFailure;
  }
  if (!picture) {
    std::cerr << program << ": the picture cannot be drawn: " << picture.error().Reason() << "\n";
    return kExitFailure;
  }
  const IoStatus failed =
      request.outputFile
          ? ReplaceFileAtomically(*request.outputFile, picture.value(), OtherTargets::kWriteThrough)
          : WriteDescriptorBytes(STDOUT_FILENO, picture.value(), "standard output");
  if (failed.failed()) return Report(program, failed.error());
  return kExitOk;
}

LatinAdvances PictureLatinAdvances() {
  FontChain fonts(TypefaceFonts(Typeface::kGothic));
  return LatinAdvancesOf(fonts);
}

}  // namespace mirotabe
