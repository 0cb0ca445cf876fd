// Answers the windows' dialogs and questions in the user's place, from a
// script the test sets up, and records what was shown.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "ui/ui_services.h"

namespace mirotabe::testing_ui {

struct ShownMessage {
  MessageIcon icon;
  QString title;
  QString text;
};

struct DialogCall {
  QWidget* owner;
  QStringList filters;
  QString folder;
  QString selectedFilter;  // the save dialog's
};

class ScriptedUiServices : public UiServices {
 public:
  // Answers for the next dialogs and questions, in order. A dialog or a
  // question with no answer left cancels.
  std::deque<QString> openAnswers;
  std::deque<QString> saveAnswers;
  // The filters the user selects in the next save dialogs; with none left,
  // the one selected first is kept.
  std::deque<QString> saveFilterAnswers;
  std::deque<bool> proceedAnswers;

  std::vector<DialogCall> openCalls;
  std::vector<DialogCall> saveCalls;
  std::vector<ShownMessage> messages;
  std::vector<QString> questions;
  std::vector<QString> aboutDetails;  // what the version box says below its summary
  std::vector<QString> openedUrls;

  QString ShowOpenDialog(QWidget* owner, const QStringList& filters,
                         const QString& folder) override {
    openCalls.push_back({owner, filters, folder, {}});
    return Next(openAnswers, QString());
  }
  SaveDialogAnswer ShowSaveDialog(QWidget* owner, const QStringList& filters, const QString& folder,
                                  const QString& selectedFilter) override {
    saveCalls.push_back({owner, filters, folder, selectedFilter});
    QString path = Next(saveAnswers, QString());
    QString filter = Next(saveFilterAnswers, selectedFilter);
    return {std::move(path), std::move(filter)};
  }
  void ShowMessage(QWidget*, MessageIcon icon, const QString& title, const QString& text) override {
    messages.push_back({icon, title, text});
  }
  void ShowAbout(QWidget*, const QString& title, const QString& summary,
                 const QString& details) override {
    messages.push_back({MessageIcon::Information, title, summary});
    aboutDetails.push_back(details);
  }
  bool AskToProceed(QWidget*, const QString&, const QString& text) override {
    questions.push_back(text);
    return Next(proceedAnswers, false);
  }
  void OpenUrl(const QString& url) override { openedUrls.push_back(url); }

 private:
  template <typename T>
  static T Next(std::deque<T>& answers, T cancel) {
    if (answers.empty()) return cancel;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace mirotabe::testing_ui
