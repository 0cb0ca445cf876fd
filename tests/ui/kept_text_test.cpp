// Nothing typed is lost: the window keeps its unsaved input in the state
// folder, and the next window gives it back, after a close, and after a
// window that was killed.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/case_name.h"
#include "tests/support/child_roles.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/temp_folder.h"
#include "ui/draft_keeper.h"
#include "ui/pane_text.h"

namespace mirotabe {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class KeptTextTest : public testing_support::MainWindowTest {
 protected:
  // A new run of the program: the window opens and offers what was kept.
  void Restart() {
    Open();
    window_->OfferKeptText();
  }
  QWidget* Bar() const { return window_->findChild<QWidget*>(QStringLiteral("KeptBar")); }
  QPushButton* Button(const char* name) const {
    return window_->findChild<QPushButton*>(QString::fromLatin1(name));
  }
};

enum class Left { kClosed, kDestroyed };

struct CloseCase {
  const char* name;
  const char* typed;    // after the file, if any, was read
  bool fileRead;        // in.txt read before typing
  bool startupFile;     // the next run names a file on its command line
  const char* button;   // pressed on the bar, or nullptr
  QString text;         // the input pane of the next run afterwards
  bool undoBringsBack;  // Ctrl+Z then shows what the pane held before the kept text
};

class KeptTextCloseTest : public KeptTextTest, public testing::WithParamInterface<CloseCase> {};

// What a closed window did not save comes back at the next start, named
// and undoable; what it had saved, or nothing typed, leaves nothing kept.
TEST_P(KeptTextCloseTest, TheNextRunGivesBackWhatWasNotSaved) {
  const CloseCase& c = GetParam();
  Put("in.txt", "file");
  Put("other.txt", "other");
  Open();
  if (c.fileRead) OpenFile("in.txt");
  TypeCommitted(QString::fromUtf8(c.typed));
  window_->close();

  Open();
  if (c.startupFile) window_->LoadStartupFile({folder_.PathOf("other.txt")});
  window_->OfferKeptText();
  const bool kept = !Bar()->isHidden();
  if (c.button != nullptr) {
    ASSERT_TRUE(kept);
    QTest::mouseClick(Button(c.button), Qt::LeftButton);
    EXPECT_TRUE(Bar()->isHidden());
  }
  EXPECT_EQ(Input()->toPlainText(), c.text);
  if (c.undoBringsBack) {
    Input()->setFocus();
    QTest::keyClick(Input(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Input()->toPlainText(), c.startupFile ? QStringLiteral("other") : QString());
  }
  // Whatever was decided, a third run offers nothing more unless it was
  // left waiting.
  window_->close();
  const bool waiting = kept && c.startupFile && c.button == nullptr;
  Open();
  window_->LoadStartupFile({folder_.PathOf("other.txt")});
  window_->OfferKeptText();
  EXPECT_EQ(!Bar()->isHidden(), waiting);
}

INSTANTIATE_TEST_SUITE_P(
    Closes, KeptTextCloseTest,
    testing::Values(
        CloseCase{"TypedComesBack", "typed", false, false, nullptr, "typed", true},
        CloseCase{"EditedFileComesBackNamed", "x", true, false, nullptr, "xfile", true},
        CloseCase{"ThrownAwayOnTheBar", "typed", false, false, "KeptNo", "", false},
        CloseCase{"NothingTypedKeepsNothing", "", false, false, nullptr, "", false},
        CloseCase{"BesideAStartupFileItWaits", "typed", false, true, nullptr, "other", false},
        CloseCase{"BesideAStartupFileOnRequest", "typed", false, true, "KeptYes", "typed", true},
        CloseCase{"BesideAStartupFileThrownAway", "typed", false, true, "KeptNo", "other", false}),
    testing_support::CaseName());

// The restored text names its file and is marked as not saved there.
TEST_F(KeptTextTest, TheRestoredTextNamesItsFile) {
  Put("in.txt", "file");
  Open();
  OpenFile("in.txt");
  TypeCommitted(QStringLiteral("x"));
  window_->close();
  Restart();
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("[*]in.txt — Mirotabe"));
  EXPECT_TRUE(window_->isWindowModified());
  EXPECT_TRUE(Action("Menu_File_Reopen_Shift_JIS")->isChecked());
}

// A window that still runs keeps its text to itself.
TEST_F(KeptTextTest, ARunningWindowsTextIsNotTaken) {
  Open();
  TypeCommitted(QStringLiteral("mine"));
  window_->Flush();
  WindowState otherState(stateFolder_.path() + "/");
  MainWindow other(settings_, services_, otherState);
  other.OfferKeptText();
  EXPECT_EQ(other.inputPane()->toPlainText(), QString());
  EXPECT_TRUE(other.findChild<QWidget*>(QStringLiteral("KeptBar"))->isHidden());
}

// ---- A window killed with SIGKILL ----

// The child of KilledWindowLosesAtMostTheLastSecond: a window that types
// one character every 20 ms, noting each with its time, until it is killed.
int TypeUntilKilled() {
  const char* folder = std::getenv("MIROTABE_KEPT_CHILD");
  if (folder == nullptr) return 2;
  AppSettings settings;
  settings.appFolder = std::string(folder) + "/program/";
  fs::create_directories(settings.appFolder);
  testing_ui::ScriptedUiServices services;
  WindowState state(std::string(folder) + "/state/");
  MainWindow window(settings, services, state);
  window.show();
  std::ofstream log(std::string(folder) + "/typed.log");
  window.inputPane()->setFocus();
  for (int i = 0;; ++i) {
    QTest::keyClicks(window.inputPane(), QString(QChar(static_cast<char16_t>(u'a' + i % 26))));
    log << Clock::now().time_since_epoch().count() << std::endl;
    QTest::qWait(20);
  }
}

constexpr const char* kTypistRole = "kept-text-typist";
[[maybe_unused]] const bool kTypistRegistered =
    testing_support::AddChildRole(kTypistRole, TypeUntilKilled);

TEST_F(KeptTextTest, KilledWindowLosesAtMostTheLastSecond) {
  std::mt19937 random(30);
  for (int kill = 0; kill < 3; ++kill) {
    testing_support::TempFolder child;
    std::string variable = "MIROTABE_KEPT_CHILD=" + child.path();
    std::string role = std::string(testing_support::kChildRoleVariable) + "=" + kTypistRole;
    std::string self = fs::read_symlink("/proc/self/exe").string();
    std::vector<char*> environment{variable.data(), role.data()};
    for (char** e = environ; *e != nullptr; ++e) environment.push_back(*e);
    environment.push_back(nullptr);
    char* arguments[] = {self.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, self.c_str(), nullptr, nullptr, arguments, environment.data()), 0);
    // Typing goes on for 1.5 to 3 seconds before the kill.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500 + random() % 1500));
    const Clock::time_point killed = Clock::now();
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));

    std::ifstream log(child.PathOf("typed.log"));
    std::vector<Clock::time_point> typed;
    for (long long ticks = 0; log >> ticks;) {
      typed.emplace_back(Clock::duration(ticks));
    }
    const auto beforeTheLastSecond =
        static_cast<int>(std::count_if(typed.begin(), typed.end(), [&](Clock::time_point at) {
          return at < killed - std::chrono::seconds(1);
        }));
    ASSERT_GT(beforeTheLastSecond, 10) << "the child typed too little to tell";

    WindowState state(child.path() + "/state/");
    MainWindow window(settings_, services_, state);
    window.OfferKeptText();
    const QString text = window.inputPane()->toPlainText();
    EXPECT_GE(text.size(), beforeTheLastSecond) << "kill " << kill;
    EXPECT_LE(text.size(), static_cast<qsizetype>(typed.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
      ASSERT_EQ(text[i], QChar(static_cast<char16_t>(u'a' + i % 26)))
          << "kill " << kill << " at " << i;
    }
  }
}

}  // namespace
}  // namespace mirotabe
