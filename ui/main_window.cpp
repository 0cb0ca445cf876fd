#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <system_error>
#include <variant>

#include "core/caret_cell.h"
#include "core/command_line.h"
#include "core/reverse_layout.h"
#include "core/too_large_text.h"
#include "core/vertical_layout.h"
#include "core/window_words.h"
#include "platform/charset.h"
#include "platform/files.h"
#include "textio/encoding_names.h"
#include "textio/text_file.h"
#include "textio/undecodable_warning.h"
#include "ui/dialog_folder.h"
#include "ui/draft_keeper.h"
#include "ui/edit_menu.h"
#include "ui/help_menu.h"
#include "ui/image_export.h"
#include "ui/input_pane.h"
#include "ui/io_messages.h"
#include "ui/local_path.h"
#include "ui/out_of_memory.h"
#include "ui/output_pane.h"
#include "ui/pane_font.h"
#include "ui/pane_text.h"
#include "ui/recent_menu.h"
#include "ui/reopen_menu.h"
#include "ui/replace_question.h"
#include "ui/save_format.h"
#include "ui/save_output.h"
#include "ui/save_path.h"
#include "ui/settings_dialog.h"
#include "ui/splitter.h"
#include "ui/twips.h"
#include "ui/ui_services.h"
#include "ui/view_menu.h"
#include "ui/window_state.h"

namespace mirotabe {
namespace {

constexpr int kShownUnencodable = 5;

const QString kTitle = QString::fromStdU16String(std::u16string(kProgramName));
const QString kNothingSaved = QStringLiteral("保存しませんでした。");

// The trigger that releasing `qtKey` fires, if any.
std::optional<ConvertTrigger> TriggerOfKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return ConvertTrigger::kEnterKey;
    case Qt::Key_F1:
      return ConvertTrigger::kF1Key;
    default:
      return std::nullopt;
  }
}

// Texts longer than this are not laid out in the window. The input pane,
// its copy of the text and the layout each hold the whole text, and the
// output pane draws only the cells in view, so the window's memory grows
// with the text and not with the cells, which only a whole grid (a save,
// a copy, a picture) holds.
constexpr std::size_t kMaxShownUnits = std::size_t{32} * 1024 * 1024;

QString TooLongText(std::size_t units, std::size_t bound) {
  return QStringLiteral(
             "縦書きにするには大きすぎるため表示できません。\r\n"
             "%1 文字は、上限の %2 文字を超えています。")
      .arg(units)
      .arg(bound);
}

QString NotShownText(const LayoutTooLarge& tooLarge) {
  return ToQString(TooLargeText(tooLarge)).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString Listed(const std::vector<char32_t>& characters) {
  QString listed;
  for (const char32_t c : characters) {
    if (!listed.isEmpty()) listed += QStringLiteral("、");
    listed += QString::fromUcs4(&c, 1);
  }
  return listed;
}

}  // namespace

MainWindow::MainWindow(AppSettings& settings, UiServices& services, WindowState& state,
                       QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      services_(services),
      state_(state),
      maxLayoutCells_(kMaxLayoutCells),
      maxShownUnits_(kMaxShownUnits) {
  QIcon icon;
  for (const int size : {16, 32, 48}) {
    icon.addFile(QStringLiteral(":/icons/mirotabe-%1.png").arg(size), QSize(size, size));
  }
  setWindowIcon(icon);
  BuildPanes();
  BuildMenus();
  // Names the encoding of the file read, and says when it was a guess.
  statusBar()->setSizeGripEnabled(false);
  encodingShown_ = new QLabel(statusBar());
  encodingShown_->setObjectName(QStringLiteral("EncodingShown"));
  statusBar()->addPermanentWidget(encodingShown_);
  // Says, under the Enter and F1 triggers, that the output is older than
  // the input.
  staleShown_ = new QLabel(statusBar());
  staleShown_->setObjectName(QStringLiteral("StaleShown"));
  staleShown_->hide();
  statusBar()->addPermanentWidget(staleShown_);
  drafts_ = new DraftKeeper(this, state_.Folder(), [this] { return TextToKeep(); });
  ShowOrigin();
  const double dpi = LogicalDpi(this);
  resize(TwipsToPixels(kInitialClientWidth, dpi), TwipsToPixels(kInitialClientHeight, dpi) +
                                                      menuBar()->sizeHint().height() +
                                                      statusBar()->sizeHint().height());
  // Where the window and the splitter stood when it was last closed.
  if (const QByteArray kept = state_.Geometry(); !kept.isEmpty()) restoreGeometry(kept);
  if (const std::optional<double> split = state_.Split()) geometry_.split = *split;
}

MainWindow::~MainWindow() {
  delete drafts_;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Nothing typed is lost: what was not saved is on disk before the window
  // goes, for the next start to give back.
  drafts_->Flush();
  state_.SetGeometry(saveGeometry());
  QMainWindow::closeEvent(event);
}

void MainWindow::BuildPanes() {
  // The bar that offers back a text a closed window kept stands above the
  // panes while it has something to say.
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  keptBar_ = new QWidget(central);
  keptBar_->setObjectName(QStringLiteral("KeptBar"));
  auto* row = new QHBoxLayout(keptBar_);
  keptText_ = new QLabel(keptBar_);
  keptText_->setWordWrap(true);
  keptYes_ = new QPushButton(keptBar_);
  keptYes_->setObjectName(QStringLiteral("KeptYes"));
  keptNo_ = new QPushButton(keptBar_);
  keptNo_->setObjectName(QStringLiteral("KeptNo"));
  row->addWidget(keptText_, 1);
  row->addWidget(keptYes_);
  row->addWidget(keptNo_);
  keptBar_->hide();
  column->addWidget(keptBar_);
  clientArea_ = new ClientArea(central);
  column->addWidget(clientArea_, 1);
  setCentralWidget(central);

  inputPane_ = new InputPane(clientArea_);
  // Both panes are text boxes to assistive technology: only their names
  // tell the typed text from its vertical layout.
  inputPane_->setAccessibleName(ToQString(kInputPaneName));
  inputPane_->setAccessibleDescription(QStringLiteral("横書きの文章。縦書きに変換されます。"));
  connect(inputPane_, &InputPane::committedTextChanged, this, &MainWindow::OnInputChanged);
  // A new undo step; one that undo had taken back is gone for good.
  connect(inputPane_->document(), &QTextDocument::undoCommandAdded, this,
          [this] { origins_.Edited(UndoStep()); });
  connect(inputPane_, &InputPane::keyReleased, this, &MainWindow::OnInputKeyReleased);
  connect(inputPane_, &InputPane::fileDropped, this, &MainWindow::LoadInput);
  connect(inputPane_, &QPlainTextEdit::cursorPositionChanged, this, &MainWindow::FollowInputCaret);

  splitter_ = new Splitter(clientArea_);
  connect(splitter_, &Splitter::dragStarted, this, &MainWindow::OnSplitterPressed);
  connect(splitter_, &Splitter::dragMoved, this, &MainWindow::OnSplitterMoved);
  connect(splitter_, &Splitter::dragEnded, this, &MainWindow::OnSplitterReleased);
  connect(splitter_, &Splitter::stepped, this, &MainWindow::OnSplitterStepped);

  outputPane_ = new OutputPane(clientArea_);
  outputPane_->setObjectName(QStringLiteral("Text2"));
  outputPane_->setAccessibleName(ToQString(kOutputPaneName));
  outputPane_->setAccessibleDescription(
      QStringLiteral("入力の文章を縦書きにしたもの。右の列から読みます。"));

  setTabOrder(inputPane_, splitter_);
  setTabOrder(splitter_, outputPane_);
  // Tab types a tab in the input pane: F6 and Ctrl+Tab go from pane to
  // pane, either way, as in other programs of two panes.
  for (const QKeySequence& keys :
       {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6),
        QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] {
      if (outputPane_->hasFocus()) {
        inputPane_->setFocus(Qt::ShortcutFocusReason);
      } else {
        outputPane_->setFocus(Qt::ShortcutFocusReason);
      }
    });
  }
  inputPane_->setFocus();
  // Only now that the panes exist can a resize lay them out.
  connect(clientArea_, &ClientArea::resized, this, &MainWindow::LayOutPanes);
}

void MainWindow::BuildMenus() {
  const auto addAction = [this](QWidget* menu, const char* name, const QString& text,
                                void (MainWindow::*handler)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] {
      if (!RunWithinMemory([&] { (this->*handler)(); })) ReportOutOfMemory();
    });
    menu->addAction(action);
    return action;
  };

  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file->setObjectName(QStringLiteral("Menu_File"));
  addAction(file, "Menu_File_Open", QStringLiteral("開く(&O)"), &MainWindow::OpenFile)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  auto* recent = new RecentMenu(this, state_);
  recent->AddTo(file);
  connect(recent, &RecentMenu::openRequested, this, &MainWindow::OpenRecent);
  reopenMenu_ = new ReopenMenu(this);
  reopenMenu_->AddTo(file);
  connect(reopenMenu_, &ReopenMenu::reopenRequested, this, &MainWindow::ReopenInput);
  addAction(file, "Menu_File_Save", QStringLiteral("縦書きを保存(&S)"), &MainWindow::SaveOutput)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  addAction(file, "Menu_File_SaveInput", QStringLiteral("横書きを保存(&H)"), &MainWindow::SaveInput)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  file->addSeparator();
  addAction(file, "Menu_File_Exit", QStringLiteral("終了(&X)"), &MainWindow::Exit)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  edit->setObjectName(QStringLiteral("Menu_Edit"));
  (new EditMenu(this, inputPane_, outputPane_))->AddCommands(edit);

  BuildConvertMenu();

  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  view->setObjectName(QStringLiteral("Menu_View"));
  (new ViewMenu(this, services_, settings_, inputPane_, outputPane_))->AddCommands(view);

  addAction(menuBar(), "Menu_Setting", QStringLiteral("設定(&S)"), &MainWindow::EditSettings);

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->setObjectName(QStringLiteral("Menu_Help"));
  (new HelpMenu(this, services_, settings_))->AddCommands(help);
}

void MainWindow::BuildConvertMenu() {
  QMenu* convert = menuBar()->addMenu(QStringLiteral("変換(&C)"));
  convert->setObjectName(QStringLiteral("Menu_Convert"));
  auto* imageExport = new ImageExport(
      this, services_, settings_,
      ExportHooks{[this] {
                    ConvertIfStale();
                    return ShownOutput{outputTooLarge_.isEmpty() ? &outputPane_->layout() : nullptr,
                                       outputTooLarge_, inputPane_->ProgramText()};
                  },
                  [this] { return DialogFolder(); }, [this](const QString& done) { Report(done); },
                  [this](const std::string& file) { state_.SetLastFolder(FolderOf(file)); }});
  imageExport->AddCommands(convert);

  // Last, apart from the rest: it rewrites the input pane.
  convert->addSeparator();
  auto* reverse = new QAction(QStringLiteral("横書きに戻す(&B)"), this);
  reverse->setObjectName(QStringLiteral("Menu_Convert_Reverse"));
  connect(reverse, &QAction::triggered, this, &MainWindow::ReverseInput);
  convert->addAction(reverse);
}

void MainWindow::LoadStartupFile(const std::vector<std::string>& arguments) {
  const StartupFileName file = ParseStartupFileName(arguments);
  switch (file.kind) {
    case StartupFileName::Kind::kNone:
      return;
    case StartupFileName::Kind::kUnclosedQuote:
      ShowError(ToQString(UnclosedQuoteText(ShownPath(arguments.front()).toStdU16String())));
      return;
    case StartupFileName::Kind::kName:
      LoadInput(file.name);
      return;
  }
}

void MainWindow::ReportUnreadSettings(const IoError& error) {
  ShowError(SettingsNotReadText(error));
}

void MainWindow::Convert() {
  if (RunWithinMemory([this] { LayOutInput(); })) return;
  // Whatever layout there was is gone; the input is as it was.
  outputTooLarge_ = OutOfMemoryText(QStringLiteral("縦書きにする"));
  outputPane_->SetLayout({});
  outputPane_->SetMessage(outputTooLarge_);
}

void MainWindow::LayOutInput() {
  ShowStale(false);
  // The layout follows the edits since the last conversion, line by line
  // where it can.
  const std::optional<TextEdit> edit = inputPane_->TakeEdit();
  const GapText& text = inputPane_->ProgramTextBuffer();
  if (text.size() > maxShownUnits_) {
    outputTooLarge_ = TooLongText(text.size(), maxShownUnits_);
    outputPane_->SetLayout({});
    outputPane_->SetMessage(outputTooLarge_);
    return;
  }
  // Any number of cells is shown; only a whole grid is bounded.
  constexpr std::size_t kAnyCells = static_cast<std::size_t>(-1);
  LayoutResult result = edit ? UpdateVerticalLayout(outputPane_->TakeLayout(), text, *edit,
                                                    settings_.rules, kAnyCells)
                             : RebuildVerticalLayout(outputPane_->TakeLayout(), text.Text(),
                                                     settings_.rules, kAnyCells);
  // Only a text that the replacements would make too long is refused.
  if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
    outputTooLarge_ = NotShownText(*tooLarge);
    outputPane_->SetLayout({});
    outputPane_->SetMessage(outputTooLarge_);
    return;
  }
  auto& layout = std::get<VerticalLayout>(result);
  const std::size_t columns = layout.ColumnCount();
  const std::size_t rows = layout.RowCount();
  outputTooLarge_ = rows != 0 && columns > maxLayoutCells_ / rows
                        ? NotShownText(LayoutTooLarge{columns, rows, maxLayoutCells_})
                        : QString();
  outputPane_->SetMessage({});
  outputPane_->SetLayout(std::move(layout));
  FollowInputCaret();
}

void MainWindow::FollowInputCaret() {
  if (!RunWithinMemory([this] { MarkInputCaret(); })) outputPane_->MarkCell(std::nullopt);
}

void MainWindow::MarkInputCaret() {
  const ProgramTextMirror::Place caret = inputPane_->CaretPlace();
  const std::u16string_view before =
      inputPane_->ProgramTextBuffer().Span(caret.lineStart, caret.offset);
  outputPane_->MarkCell(CaretCell(outputPane_->layout(), caret.line, before, settings_.rules));
}

void MainWindow::LayOutPanes() {
  const double dpi = LogicalDpi(this);
  PlacePanes(geometry_, PixelsToTwips(clientArea_->width(), dpi),
             PixelsToTwips(clientArea_->height(), dpi), drag_.dragging());
  ApplyGeometry();
}

void MainWindow::ApplyGeometry() {
  const double dpi = LogicalDpi(this);
  splitter_->setGeometry(TwipsToPixels(geometry_.splitter, dpi));
  inputPane_->setGeometry(TwipsToPixels(geometry_.input, dpi));
  outputPane_->setGeometry(TwipsToPixels(geometry_.output, dpi));
}

void MainWindow::OnInputChanged() {
  ShowOrigin();
  if (settings_.convertTrigger == ConvertTrigger::kEveryChange) {
    Convert();
  } else {
    ShowStale(true);
  }
}

void MainWindow::ShowStale(bool stale) {
  outputPane_->SetStale(stale);
  staleShown_->setText(stale ? QString::fromStdU16String(StaleText(settings_.convertTrigger))
                             : QString());
  staleShown_->setVisible(stale);
}

void MainWindow::ConvertIfStale() {
  // What a command takes from the output is what the input pane shows.
  if (outputPane_->stale()) Convert();
}

void MainWindow::OnInputKeyReleased(int qtKey) {
  if (TriggerOfKey(qtKey) == settings_.convertTrigger) Convert();
}

void MainWindow::OnSplitterPressed(qreal x) {
  drag_.Press(PixelsToTwips(x, LogicalDpi(this)));
}

void MainWindow::OnSplitterMoved(qreal x) {
  if (drag_.Move(PixelsToTwips(x, LogicalDpi(this)), geometry_.splitter)) LayOutPanes();
}

void MainWindow::OnSplitterReleased() {
  if (!drag_.dragging()) return;
  drag_.Release();
  KeepSplit(SplitShare(geometry_, PixelsToTwips(clientArea_->width(), LogicalDpi(this))));
}

void MainWindow::OnSplitterStepped(int steps) {
  // On a grid of twentieths, whatever share a drag left.
  constexpr double kSteps = 20;
  KeepSplit(std::clamp(std::round(geometry_.split * kSteps + steps) / kSteps, 0.0, 1.0));
}

void MainWindow::KeepSplit(double share) {
  geometry_.split = share;
  LayOutPanes();
  state_.SetSplit(share);
}

void MainWindow::OpenFile() {
  const QString path = services_.ShowOpenDialog(this, TextFileFilters(), DialogFolder());
  if (!path.isEmpty()) LoadInput(LocalPath(path));
}

std::optional<MainWindow::SavedFile> MainWindow::SaveText(SavedText text, Charset offered,
                                                          const FindLost& lost,
                                                          const WriteText& write) {
  const SaveDialogAnswer answer = services_.ShowSaveDialog(
      this, SaveFileFilters(text), DialogFolder(), SaveFileFilter(offered, text));
  if (answer.path.isEmpty()) return std::nullopt;
  const Charset charset = SaveFileCharset(answer.filter);
  if (const IoStatus status = RememberSaveCharset(settings_, charset); status.failed()) {
    ShowError(SettingsNotSavedText(status.error()));
  }

  // UTF-8 holds every character the panes can show.
  const UnencodableReport unencodable =
      charset == Charset::Cp932 ? lost(charset) : UnencodableReport{};
  if (unencodable.count != 0 &&
      !services_.AskToProceed(
          this, SaveTitle(),
          ToQString(UnencodableQuestion(unencodable.count,
                                        Listed(unencodable.first).toStdU16String())))) {
    Report(kNothingSaved);
    return std::nullopt;
  }
  const std::string target = SaveTarget(LocalPath(answer.path));
  if (!MayWrite(services_, this, target)) {
    Report(kNothingSaved);
    return std::nullopt;
  }
  const bool device = IsCharacterDevice(target);
  if (const IoStatus status =
          write(target, charset, device ? OtherTargets::kWriteThrough : OtherTargets::kRefuse);
      status.failed()) {
    ShowError(QStringLiteral("ファイルを保存できませんでした。\r\n%1\r\n%2")
                  .arg(ShownPath(target), ReasonText(status.error())));
    Report(kNothingSaved);
    return std::nullopt;
  }
  if (!device) state_.SetLastFolder(FolderOf(target));
  return SavedFile{target, charset, device};
}

void MainWindow::SaveOutput() {
  statusBar()->clearMessage();
  ConvertIfStale();
  if (!outputTooLarge_.isEmpty()) {
    ShowError(QStringLiteral("縦書きを保存できません。\r\n") + outputTooLarge_);
    return;
  }
  const VerticalLayout& layout = outputPane_->layout();
  const std::optional<SavedFile> saved = SaveText(
      SavedText::kVertical, settings_.saveEncoding,
      [&](Charset charset) { return FindUnencodableCells(layout, charset, kShownUnencodable); },
      [&](const std::string& target, Charset charset, OtherTargets others) {
        return SaveLayout(target, layout, charset, others);
      });
  if (saved) {
    Report(
        ToQString(TextSavedText(false, saved->charset, ShownPath(saved->target).toStdU16String())));
  }
}

void MainWindow::SaveInput() {
  statusBar()->clearMessage();
  // The encoding the text was read in, where it can be written in it.
  const std::optional<TextEncoding> read = origins_.At(UndoStep()).encoding;
  const Charset offered = read == TextEncoding::Utf8    ? Charset::Utf8
                          : read == TextEncoding::Cp932 ? Charset::Cp932
                                                        : settings_.saveEncoding;
  const std::u16string_view text = inputPane_->ProgramText();
  const std::optional<SavedFile> saved = SaveText(
      SavedText::kHorizontal, offered,
      [&](Charset charset) { return FindUnencodable(text, charset, kShownUnencodable); },
      [&](const std::string& target, Charset charset, OtherTargets others) {
        return ReplaceFileAtomically(target, EncodeTextFile(text, charset).bytes, others);
      });
  if (!saved) return;
  if (!saved->device) {
    origins_.Saved(UndoStep(), saved->target, ToTextEncoding(saved->charset));
    state_.AddRecentFile(saved->target);
    ShowOrigin();
  }
  Report(ToQString(TextSavedText(true, saved->charset, ShownPath(saved->target).toStdU16String())));
}

void MainWindow::Exit() {
  close();
}

void MainWindow::ReverseInput() {
  const std::u16string_view vertical = inputPane_->ProgramText();
  const ReverseResult result = ReverseLayout(vertical, maxLayoutCells_);
  if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
    ShowError(QStringLiteral("大きすぎるため横書きに戻せません。\r\n"
                             "%1 行 × 最長 %2 文字は、上限の %3 文字を超えています。")
                  .arg(tooLarge->lines)
                  .arg(tooLarge->longestLine)
                  .arg(tooLarge->bound));
    return;
  }
  const std::u16string& horizontal = std::get<std::u16string>(result);
  if (horizontal == vertical) return;
  // One edit that undo takes back, which reaches the triggers like any
  // typed one.
  ReplaceProgramText(*inputPane_, horizontal);
}

void MainWindow::EditSettings() {
  SettingsDialog dialog(settings_, services_, this);
  const bool changed = dialog.exec() == QDialog::Accepted;
  // Whether OK or Cancel closed it: under the every-change trigger the
  // output follows the settings at once. Under the others it waits, and is
  // older than the settings once they have changed.
  if (settings_.convertTrigger == ConvertTrigger::kEveryChange) {
    Convert();
  } else if (changed) {
    ShowStale(true);
  }
}

void MainWindow::LoadInput(const std::string& path) {
  Load(path, std::nullopt);
}

void MainWindow::ReopenInput(TextEncoding encoding) {
  Load(origins_.At(UndoStep()).path, encoding);
}

void MainWindow::Load(const std::string& path, std::optional<TextEncoding> encoding) {
  const auto failed = [this, &path](const IoError& error) {
    ShowError(QStringLiteral("ファイルを開けませんでした。\r\n%1\r\n%2")
                  .arg(ShownPath(path), ReasonText(error)));
  };
  IoResult<UndecodedTextFile> file = UndecodedTextFile::Read(path, encoding);
  if (!file) {
    failed(file.error());
    return;
  }
  state_.SetLastFolder(FolderOf(path));
  state_.AddRecentFile(path);
  // Said before the text is decoded or goes anywhere: decoding alone would
  // take much memory, and filling the pane long.
  const std::size_t length = file.value().TextLength();
  if (length > maxShownUnits_ &&
      !services_.AskToProceed(
          this, kTitle,
          TooLongText(length, maxShownUnits_) +
              QStringLiteral("\r\n入力欄にだけ開きますか? 縮めると縦書きになります。"))) {
    return;
  }
  std::optional<IoResult<DetectedText>> decoded;
  if (!RunWithinMemory([&] { decoded.emplace(std::move(file.value()).Decode()); })) {
    ShowError(OutOfMemoryText(QStringLiteral("ファイルを開く")));
    return;
  }
  const IoResult<DetectedText>& read = *decoded;
  if (!read) {
    failed(read.error());
    return;
  }
  // A text just read is read from its start. The caret stays there while
  // the pane fills: carried to the end, it would be sought in the last
  // line when the output follows the new text, and that line can be the
  // whole text.
  QTextCursor start(inputPane_->document());
  start.setKeepPositionOnInsert(true);
  inputPane_->setTextCursor(start);
  ReplaceProgramText(*inputPane_, read.value().text);
  // Later insertions at the caret move it again.
  inputPane_->setTextCursor(QTextCursor(inputPane_->document()));
  origins_.Read(UndoStep(),
                InputOrigin{path, read.value().encoding, read.value().undetermined, {}});
  ShowOrigin();
  FollowInputCaret();
  // Bytes that became U+FFFD are said at once, beside the encoding: the
  // reopen menu may read them in another.
  if (const UndecodableBytes& lost = read.value().undecodable; lost.count != 0) {
    const QString name = ShownPath(std::filesystem::path(path).filename().string());
    const std::u16string line =
        UndecodableStatusLine(name.toStdU16String(), lost, read.value().encoding);
    Report(QString::fromStdU16String(line));
  }
}

std::size_t MainWindow::UndoStep() const {
  return static_cast<std::size_t>(inputPane_->document()->availableUndoSteps());
}

void MainWindow::ShowOrigin() {
  const std::size_t step = UndoStep();
  const InputOrigin& origin = origins_.At(step);
  const bool modified = origin.cleanStep != step;
  // The document merges typing into its last undo step only while it is
  // modified: at a clean step the next keystroke must be a step of its own.
  if (inputPane_->document()->isModified() != modified) {
    inputPane_->document()->setModified(modified);
  }
  const QString name = origin.path.empty()
                           ? QString::fromStdU16String(std::u16string(kUntitledName))
                           : ShownPath(std::filesystem::path(origin.path).filename().string());
  setWindowTitle(QStringLiteral("[*]%1 — %2").arg(name, kTitle));
  setWindowModified(modified);

  if (origin.encoding) {
    const QString encoding = QString::fromLatin1(EncodingName(*origin.encoding));
    encodingShown_->setText(QString::fromStdU16String(
        EncodingShownText(encoding.toStdU16String(), origin.undetermined)));
  } else {
    encodingShown_->clear();
  }
  reopenMenu_->ShowRead(origin.path.empty() ? std::nullopt : origin.encoding);
  drafts_->Changed();
}

void MainWindow::Flush() {
  drafts_->Flush();
}

std::optional<Draft> MainWindow::TextToKeep() const {
  const std::size_t step = UndoStep();
  const InputOrigin& origin = origins_.At(step);
  const GapText& text = inputPane_->ProgramTextBuffer();
  // The file holds it, or it is nothing typed from scratch.
  if (origin.cleanStep == step || (text.empty() && origin.path.empty())) return std::nullopt;
  return Draft{text.Copy(), origin.path, origin.encoding};
}

void MainWindow::OfferKeptText() {
  std::optional<Draft> kept = drafts_->FindLeftBehind();
  if (!kept) return;
  const QString name = kept->path.empty()
                           ? QStringLiteral("無題")
                           : ShownPath(std::filesystem::path(kept->path).filename().string());
  const auto restore = [this, kept = std::move(*kept)] {
    drafts_->AdoptLeftBehind();
    ReplaceProgramText(*inputPane_, kept.text);
    origins_.Restored(UndoStep(), InputOrigin{kept.path, kept.encoding, false, {}});
    ShowOrigin();
  };
  keptYes_->disconnect(this);
  keptNo_->disconnect(this);
  if (inputPane_->document()->isEmpty() && origins_.At(UndoStep()).path.empty()) {
    // Nothing else to show: the kept text comes back at once, as one edit
    // that undo takes back.
    restore();
    keptText_->setText(QStringLiteral("前回保存せずに閉じた文章 (%1) を戻しました。").arg(name));
    keptYes_->setText(QStringLiteral("閉じる(&K)"));
    keptNo_->setText(QStringLiteral("戻した文章を破棄(&D)"));
    connect(keptYes_, &QPushButton::clicked, this, [this] { keptBar_->hide(); });
    connect(keptNo_, &QPushButton::clicked, this, [this] {
      inputPane_->undo();
      keptBar_->hide();
    });
  } else {
    keptText_->setText(QStringLiteral("前回保存せずに閉じた文章 (%1) があります。").arg(name));
    keptYes_->setText(QStringLiteral("戻す(&K)"));
    keptNo_->setText(QStringLiteral("破棄(&D)"));
    connect(keptYes_, &QPushButton::clicked, this, [this, restore] {
      restore();
      keptBar_->hide();
    });
    connect(keptNo_, &QPushButton::clicked, this, [this] {
      drafts_->DropLeftBehind();
      keptBar_->hide();
    });
  }
  keptBar_->show();
  Report(keptText_->text());
}

QString MainWindow::DialogFolder() const {
  return DialogStartFolder(state_.LastFolder());
}

void MainWindow::OpenRecent(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    // Gone since: it leaves the list, and the user is told why.
    state_.RemoveRecentFile(path);
  }
  LoadInput(path);
}

void MainWindow::Report(const QString& text) {
  // Gone after a while, so that it never stands beside a later change.
  constexpr int kShownMilliseconds = 15000;
  if (text.isEmpty()) {
    statusBar()->clearMessage();
  } else {
    statusBar()->showMessage(text, kShownMilliseconds);
  }
}

void MainWindow::ReportOutOfMemory() {
  ShowError(OutOfMemoryText(QStringLiteral("この操作を行う")));
}

void MainWindow::ShowError(const QString& text) {
  services_.ShowMessage(this, MessageIcon::Error, kTitle, text);
}

}  // namespace mirotabe
