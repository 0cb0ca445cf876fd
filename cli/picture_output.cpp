#include "cli/picture_output.h"

#include <unistd.h>

#include <QFile>
#include <QGuiApplication>
#include <QIODevice>
#include <iostream>
#include <string_view>
#include <system_error>
#include <variant>

#include "cli/convert.h"
#include "cli/terminal_text.h"
#include "platform/files.h"
#include "render/cell_font.h"
#include "render/layout_picture.h"
#include "render/page_pdf.h"
#include "render/pane_font_families.h"
#include "render/typefaces.h"

namespace mirotabe {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
// A --font that names no font is the caller's mistake, as a mistyped
// option is.
constexpr int kExitUsage = 2;

std::string_view Bytes(const QByteArray& bytes) {
  return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void ReportSeriousQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::cerr << TerminalText(message.toLocal8Bit().toStdString()) << "\n";
  }
}

// The font families that `request` draws with: --font's face or file, else
// the Gothic for pictures and the setup's face for pages. A file that
// cannot serve is refused with the reason, in Japanese as the program's
// own messages are.
std::variant<QStringList, int> FamiliesOf(const PictureRequest& request, const char* program) {
  if (!request.font) {
    return request.page ? TypefaceFamilies(request.page->face) : PaneFontFamilies();
  }
  if (const std::optional<Typeface> face = TypefaceNamed(*request.font)) {
    return TypefaceFamilies(*face);
  }
  auto families = FontFileFamilies(*request.font);
  if (const auto* refusal = std::get_if<std::u16string>(&families)) {
    std::cerr << program << ": " << TerminalText(*request.font) << ": "
              << QString::fromStdU16String(*refusal).toLocal8Bit().toStdString() << "\n";
    return kExitUsage;
  }
  return std::get<QStringList>(std::move(families));
}

// Hands what Qt writes to an AtomicFileWriter, so that pages stream into
// their file page by page, and a device or a FIFO named by -o is written
// into: Qt's own QSaveFile renames its temporary file over whatever stands
// at the name wherever it may write the folder, /dev/null included.
class AtomicFileDevice final : public QIODevice {
 public:
  explicit AtomicFileDevice(AtomicFileWriter& writer) : writer_(writer) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }

  // The first write that failed, if any.
  const IoStatus& status() const { return status_; }

 protected:
  qint64 readData(char* /*data*/, qint64 /*size*/) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    if (status_.ok()) {
      status_ = writer_.Write(std::string_view(data, static_cast<std::size_t>(size)));
    }
    return status_.ok() ? size : -1;
  }

 private:
  AtomicFileWriter& writer_;
  IoStatus status_;
};

// Pages go straight to their file (replaced atomically where it is a
// regular file, written into where it is a device or a FIFO) or to
// standard output, page by page.
int WritePages(const VerticalLayout& layout, const PictureRequest& request,
               const QStringList& families, const char* program) {
  // The file size limit is an error, not a signal that ends the program.
  const FileSizeLimitAsError limit;
  if (!request.outputFile) {
    QFile out;
    IoStatus drawn;
    const bool opened = out.open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    if (opened) drawn = WritePagedPdf(layout, request.style, *request.page, out, families);
    if (!opened || drawn.failed() || !out.flush()) {
      std::cerr << program << ": standard output: "
                << (drawn.failed() ? drawn.error().Reason()
                                   : out.errorString().toLocal8Bit().toStdString())
                << "\n";
      return kExitFailure;
    }
    return kExitOk;
  }
  IoResult<AtomicFileWriter> writer =
      AtomicFileWriter::Begin(*request.outputFile, OtherTargets::kWriteThrough);
  IoStatus failed = writer ? IoStatus() : IoStatus(writer.error());
  if (failed.ok()) {
    AtomicFileDevice device(writer.value());
    const IoStatus drawn = WritePagedPdf(layout, request.style, *request.page, device, families);
    // A write the file refused says why; a writer left uncommitted keeps
    // the old file whole.
    failed = device.status();
    if (failed.ok() && drawn.failed()) failed = IoError{*request.outputFile, drawn.error().code};
    if (failed.ok()) failed = writer.value().Commit();
  }
  if (failed.failed()) {
    std::cerr << program << ": " << TerminalText(failed.error().path) << ": "
              << failed.error().Reason() << "\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int WritePicture(const VerticalLayout& layout, const PictureRequest& request, const char* program) {
  const std::variant<QStringList, int> families = FamiliesOf(request, program);
  if (const int* status = std::get_if<int>(&families)) return *status;
  if (request.page) return WritePages(layout, request, std::get<QStringList>(families), program);

  const IoResult<QByteArray> picture =
      DrawPicture(layout, request.style, request.format, std::get<QStringList>(families));
  // A PNG too large to draw is refused by the drawing, which sets its
  // columns to learn its height; they are set again only to say it.
  if (!picture && request.format == PictureFormat::Png &&
      picture.error().code == std::errc::file_too_large) {
    const PictureSize size = ImageSize(layout, request.style);
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
          ? ReplaceFileAtomically(*request.outputFile, Bytes(picture.value()),
                                  OtherTargets::kWriteThrough)
          : WriteDescriptorBytes(STDOUT_FILENO, Bytes(picture.value()), "standard output");
  if (failed.failed()) {
    std::cerr << program << ": " << TerminalText(failed.error().path) << ": "
              << failed.error().Reason() << "\n";
    return kExitFailure;
  }
  return kExitOk;
}

LatinAdvances PictureLatinAdvances() {
  return LatinAdvancesOfCellFont();
}

int RunPictureConverter(int argc, char** argv, const std::string& programFolder) {
  // Fonts and painting need Qt's application object, and the layout asks
  // the font for its Latin advances before anything is drawn; the offscreen
  // platform gives them without a display unless another platform is asked
  // for. Qt sees none of the converter's own arguments, and its notes about
  // the desktop session are no concern of a converter's user.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(ReportSeriousQtMessages);
  int qtArgc = 1;
  char name[] = "mirotabe-convert";
  char* qtArgv[] = {name, nullptr};
  const QGuiApplication application(qtArgc, qtArgv);
  return RunConvert(argc, argv, std::cout, std::cerr,
                    {.write = WritePicture,
                     .latinAdvances = PictureLatinAdvances,
                     .programFolder = programFolder});
}

}  // namespace mirotabe
