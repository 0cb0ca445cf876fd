#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/ui_services.h"

namespace mirotabe {
namespace {

// Qt's own dialog, not the desktop's: it behaves the same everywhere and
// is modal to the window that asks.
SaveDialogAnswer ShowFileDialog(QWidget* owner, const QString& title, QFileDialog::AcceptMode mode,
                                QFileDialog::FileMode fileMode, const QStringList& filters,
                                const QString& folder, const QString& selectedFilter) {
  QFileDialog dialog(owner, title, folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(fileMode);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(selectedFilter);
  dialog.setWindowModality(Qt::WindowModal);
  if (dialog.exec() != QDialog::Accepted) return {};
  return {dialog.selectedFiles().value(0), dialog.selectedNameFilter()};
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
