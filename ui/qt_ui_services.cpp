#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/file_list_model.h"
#include "ui/ui_services.h"

namespace mirotabe {
namespace {

// The filter Qt is given for one caption. Qt takes the patterns from the
// last parentheses, and reads "*.*" as "names with a dot", where the desktop
// the captions come from lists every file. So the caption is followed by
// the patterns Qt is to use, which HideNameFilterDetails keeps out of
// sight: "全てのファイル(*.*)" is shown as it is and lists every file.
QString QtNameFilter(const QString& caption) {
  const qsizetype open = caption.lastIndexOf(QChar(u'('));
  const qsizetype close = caption.lastIndexOf(QChar(u')'));
  if (open < 0 || close < open) return caption;
  QStringList patterns =
      caption.mid(open + 1, close - open - 1).split(QChar(u' '), Qt::SkipEmptyParts);
  for (QString& pattern : patterns) {
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
  }
  return caption + QStringLiteral(" (") + patterns.join(QChar(u' ')) + QStringLiteral(")");
}

// Qt's own dialog, not the desktop's: it behaves the same everywhere and
// is modal to the window that asks.
SaveDialogAnswer ShowFileDialog(QWidget* owner, const QString& title, QFileDialog::AcceptMode mode,
                                QFileDialog::FileMode fileMode, const QStringList& captions,
                                const QString& folder, const QString& selectedCaption) {
  QStringList filters;
  for (const QString& caption : captions) filters.push_back(QtNameFilter(caption));
  QFileDialog dialog(owner, title, folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  // The caller asks about the file it really writes, which may be the
  // chosen name with a suffix.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setProxyModel(new LocaleFileListModel(&dialog));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(fileMode);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(QtNameFilter(selectedCaption));
  dialog.setWindowModality(Qt::WindowModal);
  if (dialog.exec() != QDialog::Accepted) return {};
  // Qt answers with the whole filter or, as its details are hidden, with
  // the caption shown.
  const QString chosen = dialog.selectedNameFilter();
  const qsizetype index = filters.indexOf(chosen);
  return {dialog.selectedFiles().value(0), index >= 0 ? captions.value(index) : chosen};
}

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString QtUiServices::ShowOpenDialog(QWidget* owner, const QStringList& filters,
                                     const QString& folder) {
  return ShowFileDialog(owner, QStringLiteral("ファイルを開く"), QFileDialog::AcceptOpen,
                        QFileDialog::ExistingFile, filters, folder, filters.value(0))
      .path;
}

SaveDialogAnswer QtUiServices::ShowSaveDialog(QWidget* owner, const QStringList& filters,
                                              const QString& folder,
                                              const QString& selectedFilter) {
  return ShowFileDialog(owner, QStringLiteral("ファイルの保存"), QFileDialog::AcceptSave,
                        QFileDialog::AnyFile, filters, folder, selectedFilter);
}

void QtUiServices::ShowMessage(QWidget* owner, MessageIcon icon, const QString& title,
                               const QString& text) {
  // The texts' lines end in CR LF; a label shows only the LF as a break.
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(ToQt(icon), title, shown, QMessageBox::Ok, owner);
  box.exec();
}

void QtUiServices::ShowAbout(QWidget* owner, const QString& title, const QString& summary,
                             const QString& details) {
  const auto lines = [](QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  };
  QMessageBox box(QMessageBox::NoIcon, title, lines(summary), QMessageBox::Ok, owner);
  constexpr int kIconSide = 48;
  if (owner != nullptr) box.setIconPixmap(owner->windowIcon().pixmap(kIconSide, kIconSide));
  box.setInformativeText(lines(details));
  box.exec();
}

bool QtUiServices::AskToProceed(QWidget* owner, const QString& title, const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::Question, title, shown, QMessageBox::Ok | QMessageBox::Cancel,
                  owner);
  box.setDefaultButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

void QtUiServices::OpenUrl(const QString& url) {
  QDesktopServices::openUrl(QUrl(url));
}

}  // namespace mirotabe
