// The real file dialogs, driven by keys: the file types they start with
// and return, their captions as written, and the files each type lists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <set>

#include "tests/support/case_name.h"
#include "tests/support/temp_folder.h"
#include "ui/qt_translation.h"
#include "ui/save_format.h"
#include "ui/ui_services.h"

namespace mirotabe {
namespace {

struct SaveDialogCase {
  const char* name;
  Charset offered;
  Qt::Key typeKey;  // pressed in the file-type box; Qt::Key_unknown for none
  Charset chosen;
  bool there = false;  // out.txt exists: the dialog still asks nothing (the save does)
};

class QtSaveDialogTest : public testing::TestWithParam<SaveDialogCase> {};

TEST_P(QtSaveDialogTest, StartsWithTheOfferedTypeAndReturnsTheChosenOne) {
  const SaveDialogCase& c = GetParam();
  testing_support::TempFolder folder;
  if (c.there) testing_support::WriteFile(folder.PathOf("out.txt"), "old");
  const QString start = QString::fromStdString(folder.path());
  QWidget owner;
  owner.show();
  QString shownFolder;
  QString shownFilter;
  bool asked = false;
  QTimer::singleShot(0, &owner, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shownFolder = dialog->directory().absolutePath();
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    shownFilter = types->currentText();
    if (c.typeKey != Qt::Key_unknown) QTest::keyClick(types, c.typeKey);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    QTest::keyClicks(name, QStringLiteral("out.txt"));
    QTimer::singleShot(0, &owner, [&] {
      if (auto* question = QApplication::activeModalWidget(); question != dialog) {
        asked = true;
        question->close();
        dialog->reject();
      }
    });
    QTest::keyClick(name, Qt::Key_Return);
  });
  QtUiServices services;
  const SaveDialogAnswer answer =
      services.ShowSaveDialog(&owner, SaveFileFilters(), start, SaveFileFilter(c.offered));
  EXPECT_EQ(shownFolder, start);
  EXPECT_EQ(shownFilter, SaveFileFilter(c.offered));
  EXPECT_FALSE(asked);
  EXPECT_EQ(answer.path, start + QStringLiteral("/out.txt"));
  EXPECT_EQ(SaveFileCharset(answer.filter), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Types, QtSaveDialogTest,
    testing::Values(
        SaveDialogCase{"KeepsShiftJis", Charset::Cp932, Qt::Key_unknown, Charset::Cp932},
        SaveDialogCase{"ChoosesUtf8", Charset::Cp932, Qt::Key_Down, Charset::Utf8},
        SaveDialogCase{"KeepsUtf8", Charset::Utf8, Qt::Key_unknown, Charset::Utf8},
        SaveDialogCase{"BackToShiftJis", Charset::Utf8, Qt::Key_Up, Charset::Cp932},
        SaveDialogCase{"OverAFileThere", Charset::Cp932, Qt::Key_unknown, Charset::Cp932, true}),
    testing_support::CaseName());

using testing_support::TempFolder;
using testing_support::WriteFile;

struct FilterCase {
  const char* name;
  int downPresses;  // Down keys pressed in the filter box
  std::set<QString> listed;
};

void PrintTo(const FilterCase& c, std::ostream* out) {
  *out << c.name;
}

class QtFileDialogTest : public testing::TestWithParam<FilterCase> {};

// The names that the dialog's list shows for its folder, once the folder
// has been read (in the background) and a moment more, so that a wrong
// listing shows itself too.
std::set<QString> Listed(QFileDialog& dialog, std::size_t expected) {
  auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  const auto names = [view] {
    std::set<QString> shown;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row) {
      shown.insert(view->model()->index(row, 0, root).data().toString());
    }
    return shown;
  };
  static_cast<void>(QTest::qWaitFor([&] { return names().size() == expected; }, 5000));
  QTest::qWait(50);
  return names();
}

TEST_P(QtFileDialogTest, ShowsTheCaptionsAndListsTheFilterFiles) {
  TempFolder folder;
  for (const char* name : {"README", "notes.txt", "data.csv"}) WriteFile(folder.PathOf(name), "x");
  QWidget owner;
  owner.show();
  QStringList captions;
  std::set<QString> listed;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* filter = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; i < filter->count(); ++i) captions.push_back(filter->itemText(i));
    filter->setFocus();
    for (int i = 0; i < GetParam().downPresses; ++i) QTest::keyClick(filter, Qt::Key_Down);
    listed = Listed(*dialog, GetParam().listed.size());
    dialog->reject();
  });
  QtUiServices services;
  EXPECT_EQ(
      services.ShowOpenDialog(&owner, TextFileFilters(), QString::fromStdString(folder.path())),
      QString());
  EXPECT_EQ(captions, TextFileFilters());
  EXPECT_EQ(listed, GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(, QtFileDialogTest,
                         testing::Values(FilterCase{"TextFirst", 0, {"notes.txt"}},
                                         // Names without a dot are files too.
                                         FilterCase{
                                             "AllFiles", 1, {"README", "notes.txt", "data.csv"}}),
                         testing_support::CaseName());

// Under LANG=C.UTF-8 Qt's own model writes sizes and dates in English
// ("6 bytes", "9 Dec 2026") beside Japanese column names.
TEST(QtFileDialogLocaleTest, TheDetailsSpeakJapaneseWhateverTheSystemLocale) {
  QTranslator* translator = InstallQtJapanese(*QApplication::instance());
  ASSERT_NE(translator, nullptr);
  TempFolder folder;
  WriteFile(folder.PathOf("six.txt"), "sixsix");
  QWidget owner;
  owner.show();
  QStringList details;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Listed(*dialog, 1), std::set<QString>{QStringLiteral("six.txt")});
    auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    for (int column = 1; column < view->model()->columnCount(view->rootIndex()); ++column) {
      details.push_back(view->model()->index(0, column, view->rootIndex()).data().toString());
    }
    dialog->reject();
  });
  QtUiServices services;
  static_cast<void>(
      services.ShowOpenDialog(&owner, TextFileFilters(), QString::fromStdString(folder.path())));
  QLocale::setDefault(QLocale::c());
  QApplication::removeTranslator(translator);
  delete translator;

  ASSERT_EQ(details.size(), 3);
  EXPECT_EQ(details[0], QStringLiteral("6 バイト"));
  EXPECT_EQ(details[1], QStringLiteral("平文テキストドキュメント"));
  // 2026/12/09 9:15: the year first, as Japanese dates are written.
  EXPECT_TRUE(
      QRegularExpression(QStringLiteral("^\\d{4}/\\d{2}/\\d{2} ")).match(details[2]).hasMatch())
      << details[2].toStdString();
}

}  // namespace
}  // namespace mirotabe
