// The main window of a test: opened on a fresh folder that is its program
// folder, with its dialogs answered by script, and the helpers that reach
// its panes, menus and files.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings.h"
#include "platform/charset.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/support/temp_folder.h"
#include "ui/input_pane.h"
#include "ui/main_window.h"
#include "ui/output_pane.h"
#include "ui/window_state.h"

namespace mirotabe::testing_support {

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override { settings_.appFolder = folder_.path() + "/"; }
  void TearDown() override {
    window_.reset();
    state_.reset();
  }

  // Each opening reads what the window remembers afresh, as a new run of
  // the program does.
  MainWindow& Open(ConvertTrigger trigger = ConvertTrigger::kEveryChange) {
    settings_.convertTrigger = trigger;
    window_.reset();
    state_ = std::make_unique<WindowState>(stateFolder_.path() + "/");
    window_ = std::make_unique<MainWindow>(settings_, services_, *state_);
    window_->show();
    return *window_;
  }

  InputPane* Input() const { return window_->inputPane(); }
  OutputPane* Output() const { return window_->outputPane(); }
  // The output pane's layout, rows joined as a copy of the whole joins them.
  QString Shown() const {
    return QString::fromStdU16String(Output()->layout().Text())
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  }
  QString Status() const { return window_->statusBar()->currentMessage(); }
  // What the status bar says of the encoding of the file read.
  QString EncodingShown() const {
    return window_->statusBar()->findChild<QLabel*>(QStringLiteral("EncodingShown"))->text();
  }
  QAction* Action(const char* name) const { return window_->findChild<QAction*>(name); }
  void Trigger(const char* action) const { Action(action)->trigger(); }

  // Types `text` into the input pane key by key; LF is the Enter key.
  void Type(const QString& text) const {
    Input()->setFocus();
    for (const QChar c : text) {
      if (c == QChar(u'\n')) {
        QTest::keyClick(Input(), Qt::Key_Return);
      } else {
        QTest::keyClicks(Input(), QString(c));
      }
    }
  }

  // Text that a keyboard cannot type key by key arrives from the input
  // method as a committed string.
  void TypeCommitted(const QString& text) const {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(Input(), &event);
  }

  // Files of the folder, by name.
  QString PathOf(std::string_view name) const {
    return QString::fromStdString(folder_.PathOf(name));
  }
  void Put(std::string_view name, std::string_view bytes) const {
    std::filesystem::create_directories(std::filesystem::path(folder_.PathOf(name)).parent_path());
    WriteFile(folder_.PathOf(name), bytes);
  }
  std::string Bytes(std::string_view name) const { return ReadFile(folder_.PathOf(name)); }

  // The open and save commands, with `name` chosen in their dialogs.
  void OpenFile(std::string_view name) {
    services_.openAnswers.push_back(PathOf(name));
    Trigger("Menu_File_Open");
  }
  void Save(std::string_view name, const std::optional<QString>& filter = std::nullopt) {
    services_.saveAnswers.push_back(PathOf(name));
    if (filter) services_.saveFilterAnswers.push_back(*filter);
    Trigger("Menu_File_Save");
  }

  static std::string Cp932(std::u16string_view text) { return Encode(text, Charset::Cp932).bytes; }

  TempFolder folder_;
  // The user's state folder (see UserStateFolder).
  TempFolder stateFolder_;
  std::unique_ptr<WindowState> state_;
  AppSettings settings_;
  testing_ui::ScriptedUiServices services_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace mirotabe::testing_support
