// What the windows ask of the user and of the desktop: file dialogs,
// message boxes, questions, opening an address. The windows never call a
// modal box directly, so that tests can answer in the user's place.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "textio/file_types.h"

namespace mirotabe {

// The filters of the open and save dialogs, text files selected first.
inline const QStringList& TextFileFilters() {
  static const QStringList filters = [] {
    QStringList names;
    for (const FileType& type : kTextFileTypes)
      names << QString::fromStdU16String(std::u16string(type.name));
    return names;
  }();
  return filters;
}

enum class MessageIcon { Information, Warning, Error };

// What the save dialog closed with.
struct SaveDialogAnswer {
  QString path;    // the chosen full path, or "" on cancel
  QString filter;  // the filter selected when it closed
};

class UiServices {
 public:
  virtual ~UiServices() = default;

  // Modal to `owner`, starting in `folder` with an empty name and the first
  // filter selected. The chosen full path, or "" on cancel.
  virtual QString ShowOpenDialog(QWidget* owner, const QStringList& filters,
                                 const QString& folder) = 0;
  // Like ShowOpenDialog, with `selectedFilter` selected first; a new name
  // is accepted, and an existing file is returned without a question (see
  // MayWrite).
  virtual SaveDialogAnswer ShowSaveDialog(QWidget* owner, const QStringList& filters,
                                          const QString& folder, const QString& selectedFilter) = 0;

  // A modal message with a single OK button.
  virtual void ShowMessage(QWidget* owner, MessageIcon icon, const QString& title,
                           const QString& text) = 0;
  // The modal version box: the program's icon (the owner's), `summary` and,
  // below it, `details`, with a single OK button.
  virtual void ShowAbout(QWidget* owner, const QString& title, const QString& summary,
                         const QString& details) = 0;
  // A modal question; true when the user goes ahead.
  virtual bool AskToProceed(QWidget* owner, const QString& title, const QString& text) = 0;

  // Opens `url` in the default browser without waiting; failures are silent.
  virtual void OpenUrl(const QString& url) = 0;
};

// The real dialogs and boxes of Qt.
class QtUiServices : public UiServices {
 public:
  QString ShowOpenDialog(QWidget* owner, const QStringList& filters,
                         const QString& folder) override;
  SaveDialogAnswer ShowSaveDialog(QWidget* owner, const QStringList& filters, const QString& folder,
                                  const QString& selectedFilter) override;
  void ShowMessage(QWidget* owner, MessageIcon icon, const QString& title,
                   const QString& text) override;
  void ShowAbout(QWidget* owner, const QString& title, const QString& summary,
                 const QString& details) override;
  bool AskToProceed(QWidget* owner, const QString& title, const QString& text) override;
  void OpenUrl(const QString& url) override;
};

}  // namespace mirotabe
