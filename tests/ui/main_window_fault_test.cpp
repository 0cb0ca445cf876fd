// The main window's file commands when the file system fails them: each
// failure is shown with the file's name and the reason, and neither the
// panes nor the old file change.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>
#include <cstdint>
#include <filesystem>
#include <set>

#include "platform/io_reasons.h"
#include "tests/support/failing_sys_calls.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/support/temp_folder.h"
#include "ui/main_window.h"
#include "ui/output_pane.h"
#include "ui/pane_text.h"

namespace mirotabe {
namespace {

using namespace testing_support;

class MainWindowFaultTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Open();
    QTest::keyClicks(Input(), QStringLiteral("ab"));
  }

  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
};

class MainWindowSaveFaultTest : public MainWindowFaultTest,
                                public testing::WithParamInterface<SaveFaultCase> {};

TEST_P(MainWindowSaveFaultTest, ShowsWhyAndKeepsTheOldFileAndThePanes) {
  const std::string file = folder_.PathOf("out.txt");
  WriteFile(file, "old");
  GiveAway(file);
  const QString expectedOutput = Shown();
  services_.saveAnswers.push_back(PathOf("out.txt"));
  services_.proceedAnswers.push_back(true);  // to replace the old file
  {
    FailingSysCalls failing(GetParam().ToFault());
    Trigger("Menu_File_Save");
    if (GetParam().CallIsMade()) {
      EXPECT_GT(failing.Failures(), 0) << "the call was never made";
    }
  }
  if (GetParam().SaveSucceeds()) {
    EXPECT_TRUE(services_.messages.empty());
    EXPECT_NE(ReadFile(file), "old");
  } else {
    ASSERT_EQ(services_.messages.size(), 1u);
    const QString& text = services_.messages[0].text;
    EXPECT_EQ(services_.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(text.contains(PathOf("out.txt"))) << text.toStdString();
    // In Japanese, whatever the system's language.
    const QString reason = ToQString(
        JapaneseReason(IoError{{}, std::error_code(GetParam().error, std::system_category())}));
    EXPECT_TRUE(text.contains(reason)) << text.toStdString();
    EXPECT_EQ(ReadFile(file), "old");
  }
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("ab"));
  EXPECT_EQ(Shown(), expectedOutput);
  EXPECT_EQ(Names(), std::set<std::string>{"out.txt"});
}

INSTANTIATE_TEST_SUITE_P(, MainWindowSaveFaultTest,
                         testing::ValuesIn(SaveFaultCases(AtomicSaveCalls())), SaveFaultCaseName);

const QString kNotRegular = QStringLiteral("通常のファイルではありません");

// Saving over a FIFO or a device would replace it by a regular file.
// A FIFO without a reader would hold the save, and the window, in open().
TEST_F(MainWindowFaultTest, SaveRefusesAFifo) {
  ASSERT_EQ(mkfifo(folder_.PathOf("pipe.txt").c_str(), 0644), 0);
  const QString expectedOutput = Shown();
  services_.saveAnswers.push_back(PathOf("pipe.txt"));
  Trigger("Menu_File_Save");
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains(PathOf("pipe.txt")));
  EXPECT_TRUE(services_.messages[0].text.contains(kNotRegular));
  struct stat info {};
  ASSERT_EQ(stat(folder_.PathOf("pipe.txt").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(Shown(), expectedOutput);
}

// Opening a FIFO waited in open() for a writer, and froze the window.
TEST_F(MainWindowFaultTest, OpenRefusesAFifoAtOnce) {
  ASSERT_EQ(mkfifo(folder_.PathOf("pipe").c_str(), 0644), 0);
  const QString expectedOutput = Shown();
  services_.openAnswers.push_back(PathOf("pipe"));
  Trigger("Menu_File_Open");
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains(PathOf("pipe")));
  EXPECT_TRUE(services_.messages[0].text.contains(kNotRegular));
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("ab"));
  EXPECT_EQ(Shown(), expectedOutput);
}

// A file manager sends the name's bytes percent-encoded; those that are not
// UTF-8 must reach open() as they are.
TEST_F(MainWindowFaultTest, DroppedNameThatIsNotUtf8Opens) {
  WriteFile(folder_.PathOf("name-\xff.txt"), "xy");
  const QByteArray folder = QUrl::toPercentEncoding(PathOf(""), "/");
  for (const char* name : {"name-%FF.txt", "gone-%FF.txt"}) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), "file://" + folder + name + "\r\n");
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Input()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Input()->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    delete data;
  }
  EXPECT_EQ(Input()->toPlainText(), QStringLiteral("xy"));
  // Messages show the name as well as text can: the lost byte as U+FFFD.
  ASSERT_EQ(services_.messages.size(), 1u);
  EXPECT_TRUE(services_.messages[0].text.contains(PathOf("gone-\uFFFD.txt")))
      << services_.messages[0].text.toStdString();
}

}  // namespace
}  // namespace mirotabe
