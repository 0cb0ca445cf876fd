// The real file dialog behind the save command, driven by keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "tests/support/temp_folder.h"
#include "ui/save_format.h"
#include "ui/ui_services.h"

namespace mirotabe {
namespace {

struct SaveDialogCase {
  const char* name;
  Charset offered;
  Qt::Key typeKey;  // pressed in the file-type box; Qt::Key_unknown for none
  Charset chosen;
};

class QtSaveDialogTest : public testing::TestWithParam<SaveDialogCase> {};

TEST_P(QtSaveDialogTest, StartsWithTheOfferedTypeAndReturnsTheChosenOne) {
  const SaveDialogCase& c = GetParam();
  testing_support::TempFolder folder;
  const QString start = QString::fromStdString(folder.path());
  QWidget owner;
  owner.show();
  QString shownFolder;
  QString shownFilter;
  QTimer::singleShot(0, &owner, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shownFolder = dialog->directory().absolutePath();
    shownFilter = dialog->selectedNameFilter();
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    if (c.typeKey != Qt::Key_unknown) QTest::keyClick(types, c.typeKey);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    QTest::keyClicks(name, QStringLiteral("out.txt"));
    QTest::keyClick(name, Qt::Key_Return);
  });
  QtUiServices services;
  const SaveDialogAnswer answer =
      services.ShowSaveDialog(&owner, SaveFileFilters(), start, SaveFileFilter(c.offered));
  EXPECT_EQ(shownFolder, start);
  EXPECT_EQ(shownFilter, SaveFileFilter(c.offered));
  EXPECT_EQ(answer.path, start + QStringLiteral("/out.txt"));
  EXPECT_EQ(SaveFileCharset(answer.filter), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Types, QtSaveDialogTest,
    testing::Values(SaveDialogCase{"KeepsShiftJis", Charset::Cp932, Qt::Key_unknown,
                                   Charset::Cp932},
                    SaveDialogCase{"ChoosesUtf8", Charset::Cp932, Qt::Key_Down, Charset::Utf8},
                    SaveDialogCase{"KeepsUtf8", Charset::Utf8, Qt::Key_unknown, Charset::Utf8},
                    SaveDialogCase{"BackToShiftJis", Charset::Utf8, Qt::Key_Up, Charset::Cp932}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace mirotabe
