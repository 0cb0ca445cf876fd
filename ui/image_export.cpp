#include "ui/image_export.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

#include "core/page_setup.h"
#include "core/window_words.h"
#include "ebook/epub_book.h"
#include "platform/files.h"
#include "render/pictures.h"
#include "render/saved_pictures.h"
#include "textio/file_types.h"
#include "ui/io_messages.h"
#include "ui/local_path.h"
#include "ui/page_setup_dialog.h"
#include "ui/pane_text.h"
#include "ui/replace_question.h"
#include "ui/ui_services.h"

namespace mirotabe {
namespace {

const QString kTitle = QStringLiteral("Mirotabe");
const QString kNothingSaved = QStringLiteral("保存しませんでした。");
const QString kPngFilter = ToQString(kPictureFileTypes[0].name);
const QString kPdfFilter = ToQString(kPictureFileTypes[1].name);
const QString kPdfSuffix = QStringLiteral(".pdf");

// `path` with its last suffix, if any, replaced by `suffix`.
QString WithSuffix(const QString& path, const QString& suffix) {
  const QFileInfo info(path);
  const QString name = info.fileName();
  const qsizetype dot = name.lastIndexOf(QChar(u'.'));
  const QString stem = dot > 0 ? name.left(dot) : name;
  return path.left(path.size() - name.size()) + stem + suffix;
}

// The drawn bytes into the file at `path`, replaced atomically; a failure
// to draw names the file.
IoStatus WriteSaved(const IoResult<std::string>& drawn, const QString& path) {
  if (!drawn) {
    IoError error = drawn.error();
    if (error.path.empty()) error.path = LocalPath(path);
    return error;
  }
  return ReplaceFileAtomically(LocalPath(path), drawn.value());
}

}  // namespace

ImageExport::ImageExport(QWidget* window, UiServices& services, AppSettings& settings,
                         ExportHooks hooks)
    : QObject(window),
      window_(window),
      services_(services),
      settings_(settings),
      hooks_(std::move(hooks)) {}

void ImageExport::AddCommands(QMenu* menu) {
  auto* copy =
      menu->addAction(QStringLiteral("縦書きをコピー(&C)"), this, &ImageExport::CopyVertical);
  copy->setObjectName(QStringLiteral("Menu_Convert_Copy"));
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  auto* save =
      menu->addAction(QStringLiteral("画像として保存(&I)…"), this, &ImageExport::SaveAsPicture);
  save->setObjectName(QStringLiteral("Menu_Convert_SaveImage"));
  auto* ebook = menu->addAction(ToQString(kEbookMenuCaption), this, &ImageExport::SaveAsEbook);
  ebook->setObjectName(QStringLiteral("Menu_Convert_SaveEbook"));

  QMenu* sizes = menu->addMenu(ToQString(kCellSizeMenuCaption));
  sizes->setObjectName(QStringLiteral("Menu_Convert_CellSize"));
  auto* group = new QActionGroup(sizes);
  cellSizes_ = group;
  int number = 0;
  for (const int size : OfferedCellSizes(settings_.picture.cellSize)) {
    auto* action = sizes->addAction(ToQString(CellSizeCaption(size, ++number)));
    action->setObjectName(QStringLiteral("Menu_Convert_CellSize_%1").arg(size));
    action->setCheckable(true);
    action->setData(size);
    action->setChecked(size == settings_.picture.cellSize);
    action->setActionGroup(group);
    connect(action, &QAction::triggered, this, [this, size] { SetCellSize(size); });
  }

  auto* grid = menu->addAction(ToQString(kImageGridMenuCaption));
  grid->setObjectName(QStringLiteral("Menu_Convert_ImageGrid"));
  grid->setCheckable(true);
  grid->setChecked(settings_.picture.grid);
  connect(grid, &QAction::toggled, this, &ImageExport::SetGrid);

  auto* pages =
      menu->addAction(ToQString(kPageSetupMenuCaption), this, &ImageExport::EditPageSetup);
  pages->setObjectName(QStringLiteral("Menu_Convert_PageSetup"));
}

void ImageExport::CopyVertical() {
  hooks_.report({});
  const ShownOutput shown = hooks_.shownOutput();
  if (shown.layout == nullptr) {
    ShowError(QStringLiteral("縦書きをコピーできません。\r\n") + shown.whyNone);
    return;
  }
  // Other programs on this system end lines with LF.
  QString text = ToQString(shown.layout->Text());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QGuiApplication::clipboard()->setText(text);
  hooks_.report(QStringLiteral("縦書きをクリップボードにコピーしました。"));
}

void ImageExport::SaveAsPicture() {
  hooks_.report({});
  const ShownOutput shown = hooks_.shownOutput();
  if (shown.layout == nullptr) {
    ShowError(QStringLiteral("画像として保存できません。\r\n") + shown.whyNone);
    return;
  }
  const SaveDialogAnswer answer = services_.ShowSaveDialog(window_, {kPngFilter, kPdfFilter},
                                                           hooks_.dialogFolder(), kPngFilter);
  const QString& chosen = answer.path;
  if (chosen.isEmpty()) return;

  const PictureName name = PictureNameOf(chosen.toStdString(), answer.filter == kPdfFilter);
  bool pdf = name.pdf;
  QString path = QString::fromStdString(name.path);

  if (!pdf) {
    const PictureSize size = PictureSizeOf(
        *shown.layout, PictureCell(settings_.picture.cellSize, settings_.picture.columnSpacing));
    if (!FitsImage(size)) {
      const QString asPdf = WithSuffix(path, kPdfSuffix);
      if (!services_.AskToProceed(
              window_, SaveTitle(),
              QStringLiteral("画像が大きすぎるため PNG で保存できません。\r\n"
                             "幅 %1 × 高さ %2 ピクセルで、PNG は縦横とも %3 ピクセルまでです。\r\n"
                             "複数のページに分けて PDF (%4) として保存しますか?")
                  .arg(size.width)
                  .arg(size.height)
                  .arg(kMaxImageSide)
                  .arg(asPdf))) {
        hooks_.report(kNothingSaved);
        return;
      }
      path = asPdf;
      pdf = true;
    }
  }
  if (!MayWrite(services_, window_, LocalPath(path))) {
    hooks_.report(kNothingSaved);
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const IoStatus failed = pdf && settings_.page.enabled ? WritePages(shown.input, path)
                                                        : WritePicture(shown, path, pdf);
  QApplication::restoreOverrideCursor();
  if (failed.failed()) {
    ShowError(QStringLiteral("画像を保存できませんでした。\r\n%1\r\n%2")
                  .arg(path, ReasonText(failed.error())));
    hooks_.report(kNothingSaved);
    return;
  }
  hooks_.saved(LocalPath(path));
  hooks_.report(ToQString(PictureSavedText(path.toStdU16String(), pdf)));
}

void ImageExport::SaveAsEbook() {
  hooks_.report({});
  const ShownOutput shown = hooks_.shownOutput();
  if (shown.layout == nullptr) {
    ShowError(ToQString(EbookNotMadeText(shown.whyNone.toStdU16String())));
    return;
  }
  const QString filter = ToQString(kEbookFileType.name);
  const SaveDialogAnswer answer =
      services_.ShowSaveDialog(window_, {filter}, hooks_.dialogFolder(), filter);
  if (answer.path.isEmpty()) return;
  const QString path = QString::fromStdString(WithEbookExtension(answer.path.toStdString()));
  if (!MayWrite(services_, window_, LocalPath(path))) {
    hooks_.report(kNothingSaved);
    return;
  }
  const std::string epub = InputEpub(shown.input, settings_.picture.notation,
                                     QFileInfo(path).completeBaseName().toStdU16String());
  if (const IoStatus status = ReplaceFileAtomically(LocalPath(path), epub); status.failed()) {
    ShowError(ToQString(EbookNotSavedText(path.toStdU16String(), status.error())));
    hooks_.report(kNothingSaved);
    return;
  }
  hooks_.saved(LocalPath(path));
  hooks_.report(ToQString(EbookSavedText(path.toStdU16String())));
}

IoStatus ImageExport::WritePages(std::u16string_view input, const QString& path) const {
  return WriteSaved(SavedPages(input, settings_), path);
}

void ImageExport::EditPageSetup() {
  PageSetupDialog dialog(settings_.picture, settings_.page, settings_.rules.columns.kinsoku,
                         window_);
  if (dialog.exec() != QDialog::Accepted) return;
  settings_.picture = dialog.style();
  settings_.page = dialog.page();
  for (QAction* size : cellSizes_->actions()) {
    size->setChecked(size->data().toInt() == settings_.picture.cellSize);
  }
  KeepStyle();
  if (const IoStatus status =
          SaveSettings(settings_, SettingsFile(settings_), SettingsPart::kPageSetup);
      status.failed()) {
    ShowError(SettingsNotSavedText(status.error()));
  }
}

IoStatus ImageExport::WritePicture(const ShownOutput& shown, const QString& path, bool pdf) const {
  return WriteSaved(SavedPicture(shown.input, *shown.layout, settings_,
                                 pdf ? PictureFormat::Pdf : PictureFormat::Png),
                    path);
}

void ImageExport::SetCellSize(int size) {
  settings_.picture.cellSize = size;
  KeepStyle();
}

void ImageExport::SetGrid(bool on) {
  settings_.picture.grid = on;
  KeepStyle();
}

void ImageExport::KeepStyle() {
  if (const IoStatus status =
          SaveSettings(settings_, SettingsFile(settings_), SettingsPart::kPictureStyle);
      status.failed()) {
    ShowError(SettingsNotSavedText(status.error()));
  }
}

void ImageExport::ShowError(const QString& text) {
  services_.ShowMessage(window_, MessageIcon::Error, kTitle, text);
}

}  // namespace mirotabe
