// The main window: the input pane on the left, the vertical output pane on
// the right, and the splitter strip between them; the menus lead to the
// file commands, the conversions, the settings and the help.
//
// When the conversion runs depends on the settings' trigger, read at each
// event: 0 when Enter is released in the input pane, 1 when F1 is, 2 after
// every committed change of the input pane's text (typing, pasting,
// opening, dropping, the file of the command line), at once and on its own.
// An input method's pre-edit is not a change. Under the other triggers an
// output older than the input is drawn dimmed and said so in the status
// bar, and the commands that take the output (save, copy, picture) convert
// first: they always take what the input pane shows.
//
// Whenever the output is rebuilt or the input caret moves, the output pane
// scrolls to the cell of the caret's character and marks it.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/pane_layout.h"
#include "core/settings.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "textio/draft_file.h"
#include "ui/input_origin.h"
#include "ui/save_format.h"

class QLabel;
class QPushButton;

namespace mirotabe {

class ClientArea;
class DraftKeeper;
class InputPane;
class OutputPane;
class ReopenMenu;
class Splitter;
class UiServices;
class WindowState;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // What the window remembers between runs is kept in `state`.
  MainWindow(AppSettings& settings, UiServices& services, WindowState& state,
             QWidget* parent = nullptr);
  // Writes what is to be kept while the panes are still there.
  ~MainWindow() override;

  // Loads the file named by the command line's arguments (those after the
  // program's name, as the system's bytes) into the input pane. A name that
  // cannot be read is reported, and the input pane stays empty.
  void LoadStartupFile(const std::vector<std::string>& arguments);

  // Offers back the newest text a window that is gone kept: into an empty
  // input pane it comes back at once, as an edit that undo takes back;
  // beside a text it waits for the user's word. Either way a bar above the
  // panes says so, and lets the user throw it away.
  void OfferKeptText();
  // Writes the text to keep now, and waits until it is on disk.
  void Flush();

  // Tells the user that the settings file exists but could not be read, so
  // the window runs with the default settings.
  void ReportUnreadSettings(const IoError& error);

  // Tells the user that memory ran out in a command, which was dropped.
  void ReportOutOfMemory();

  // Rebuilds the output pane's layout from the input pane and the settings.
  // Memory that runs out on the way leaves the output pane saying so.
  void Convert();

  const PaneGeometry& geometryInTwips() const { return geometry_; }

  InputPane* inputPane() const { return inputPane_; }
  OutputPane* outputPane() const { return outputPane_; }

  // Outputs of more cells than this are shown, but neither saved, copied
  // nor drawn as pictures (see BuildVerticalLayout).
  void SetMaxLayoutCells(std::size_t cells) { maxLayoutCells_ = cells; }
  // Texts longer than this are not laid out; one that is opened is put into
  // the input pane only if the user says so, to be cut down there.
  void SetMaxShownUnits(std::size_t units) { maxShownUnits_ = units; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildPanes();
  void BuildMenus();
  void BuildConvertMenu();

  void LayOutPanes();
  void ApplyGeometry();
  void OnInputChanged();
  // Shows whether the output pane is older than the input pane's text.
  void ShowStale(bool stale);
  // Converts when it is, so that a command takes what the input shows.
  void ConvertIfStale();
  void OnInputKeyReleased(int qtKey);
  // Convert() and FollowInputCaret() without the catch for memory.
  void LayOutInput();
  void MarkInputCaret();
  // Scrolls the output pane to the input caret's cell and marks it.
  void FollowInputCaret();
  void OnSplitterPressed(qreal x);
  void OnSplitterMoved(qreal x);
  void OnSplitterReleased();
  // Moves the splitter by `steps` twentieths of the room it moves in.
  void OnSplitterStepped(int steps);
  // Puts the splitter at `share` of its room, and keeps that for the next
  // start.
  void KeepSplit(double share);

  void OpenFile();
  // Saves the input pane's text as it was typed: 横書きを保存.
  void SaveInput();
  // Reads a file of the recent files' list; one that is gone leaves it.
  void OpenRecent(const std::string& path);
  void SaveOutput();
  void Exit();
  // Reads the input pane as vertical text and puts the horizontal lines in
  // its place, as one edit that undo takes back.
  void ReverseInput();
  void EditSettings();

  // Reads the file named by the bytes `path` into the input pane, as one
  // edit that undo takes back, in the encoding it is found to be in; or
  // tells why it cannot.
  void LoadInput(const std::string& path);
  // Reads the file last read again, in `encoding`.
  void ReopenInput(TextEncoding encoding);
  void Load(const std::string& path, std::optional<TextEncoding> encoding);
  // The input's undo step: how many steps undo can take back.
  std::size_t UndoStep() const;
  // Shows the origin of the input's current step: the title with its name
  // and a mark while the text differs from that file, the encoding in the
  // status bar, the reopen menu's tick.
  void ShowOrigin();
  // The text to keep for the next start, if it needs keeping.
  std::optional<Draft> TextToKeep() const;

  struct SavedFile {
    std::string target;
    Charset charset;
    bool device;
  };
  using FindLost = std::function<UnencodableReport(Charset)>;
  using WriteText = std::function<IoStatus(const std::string&, Charset, OtherTargets)>;
  // A save of text: asks for the file and the encoding, warns of what the
  // encoding cannot hold (found by `lost`), asks before replacing a file,
  // has `write` write it and tells of a failure. What was written, if
  // anything.
  std::optional<SavedFile> SaveText(SavedText text, Charset offered, const FindLost& lost,
                                    const WriteText& write);
  QString DialogFolder() const;
  // Says in the status bar what a command did; "" clears what was said.
  void Report(const QString& text);
  void ShowError(const QString& text);

  AppSettings& settings_;
  UiServices& services_;
  WindowState& state_;

  ClientArea* clientArea_ = nullptr;
  InputPane* inputPane_ = nullptr;
  Splitter* splitter_ = nullptr;
  OutputPane* outputPane_ = nullptr;

  PaneGeometry geometry_;
  SplitterDrag drag_;
  std::size_t maxLayoutCells_;
  std::size_t maxShownUnits_;
  // Set while the output pane's layout is too large for a whole grid, or
  // while it shows why there is none; the save command then refuses with
  // this reason.
  QString outputTooLarge_;
  // Where the input's text came from, at each step of its undo history.
  OriginHistory origins_;
  ReopenMenu* reopenMenu_ = nullptr;
  // Names the encoding that file was read in.
  QLabel* encodingShown_ = nullptr;
  QLabel* staleShown_ = nullptr;
  DraftKeeper* drafts_ = nullptr;
  QWidget* keptBar_ = nullptr;
  QLabel* keptText_ = nullptr;
  QPushButton* keptYes_ = nullptr;
  QPushButton* keptNo_ = nullptr;
};

}  // namespace mirotabe
