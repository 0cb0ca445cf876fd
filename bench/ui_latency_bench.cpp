// The window's latencies under the every-change trigger, on the reference
// text: a keystroke until the output pane has painted (as-is, paragraphs,
// and the as-is text sixteen times over, 16 MB), one scroll step, a repaint
// with nothing changed, select all then copy in the output pane, and the
// first paint of a text just under the layout's size bound; the keystroke
// also under columns of a fixed length with gaps, and with 縦組み表示. Run
// it on the offscreen platform and under a real X server: scripts/bench.sh
// does both.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <fstream>
#include <memory>
#include <string>

#include "bench/bench_texts.h"
#include "core/vertical_layout.h"
#include "ui/input_pane.h"
#include "ui/main_window.h"
#include "ui/output_pane.h"
#include "ui/pane_text.h"
#include "ui/ui_services.h"
#include "ui/window_state.h"

namespace mirotabe::bench {
namespace {

// The text a measurement starts from, put in with no undo history, which
// would only keep a copy of what it replaces.
void PutText(QPlainTextEdit& pane, std::u16string_view text) {
  pane.document()->setUndoRedoEnabled(false);
  QTextCursor cursor(pane.document());
  cursor.select(QTextCursor::Document);
  InsertProgramText(cursor, text);
  pane.document()->setUndoRedoEnabled(true);
  pane.setTextCursor(QTextCursor(pane.document()));
}

// Nothing in this measurement asks the user anything.
class SilentUiServices : public UiServices {
 public:
  QString ShowOpenDialog(QWidget*, const QStringList&, const QString&) override { return {}; }
  SaveDialogAnswer ShowSaveDialog(QWidget*, const QStringList&, const QString&,
                                  const QString&) override {
    return {};
  }
  void ShowMessage(QWidget*, MessageIcon, const QString&, const QString&) override {}
  void ShowAbout(QWidget*, const QString&, const QString&, const QString&) override {}
  bool AskToProceed(QWidget*, const QString&, const QString&) override { return false; }
  void OpenUrl(const QString&) override {}
};

// The resident memory of this process, in MB.
double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  }
  return 0;
}

TextShape Repeated(const TextShape& shape, int times) {
  TextShape repeated{{}, 0, shape.longestLine};
  for (int i = 0; i < times; ++i) {
    if (i != 0) repeated.text += u"\r\n";
    repeated.text += shape.text;
  }
  repeated.lines = shape.lines * static_cast<std::size_t>(times);
  return repeated;
}

// The first lines of the reference up to about 90,000 characters (270 KB
// in UTF-8), with the first line lengthened so that the layout is as large
// as the bound allows.
const TextShape& NearTheBound() {
  static const TextShape shape = [] {
    const std::u16string& all = ReferenceAsIs().text;
    std::size_t end = all.find(u"\r\n", 90'000);
    std::u16string text = all.substr(0, end);
    std::size_t lines = 1;
    for (std::size_t at = text.find(u"\r\n"); at != std::u16string::npos;
         at = text.find(u"\r\n", at + 2)) {
      ++lines;
    }
    const std::size_t longest = kMaxLayoutCells / lines;
    const std::size_t firstLine = text.find(u"\r\n");
    text.insert(firstLine, std::u16string(longest - firstLine, u'あ'));
    return TextShape{text, lines, longest};
  }();
  return shape;
}

const TextShape& ShapeFor(std::int64_t which) {
  static const TextShape sixteen = Repeated(ReferenceAsIs(), 16);
  switch (which) {
    case 0:
      return ReferenceAsIs();
    case 1:
      return ReferenceParagraphs();
    default:
      return sixteen;
  }
}

// The main window showing `shape`, with the input caret at its end.
struct Window {
  explicit Window(const TextShape& shape, LayoutSettings layout = {}, bool verticalView = false)
      : window(Configured(settings, layout, verticalView), services, state) {
    window.show();
    input = window.inputPane();
    output = window.outputPane();
    PutText(*input, shape.text);
    input->moveCursor(QTextCursor::End);
    QApplication::processEvents();
  }
  // The settings the window opens with: the view is applied as it opens.
  static AppSettings& Configured(AppSettings& settings, const LayoutSettings& layout,
                                 bool verticalView) {
    settings.rules.columns = layout;
    settings.view.verticalGlyphs = verticalView;
    return settings;
  }
  AppSettings settings;
  SilentUiServices services;
  // Remembers nothing between runs.
  WindowState state{""};
  MainWindow window;
  InputPane* input = nullptr;
  OutputPane* output = nullptr;
};

void Describe(benchmark::State& state, const TextShape& shape) {
  state.counters["lines"] = static_cast<double>(shape.lines);
  state.counters["longest"] = static_cast<double>(shape.longestLine);
}

void BM_KeystrokeToPaintedOutput(benchmark::State& state) {
  const TextShape& shape = ShapeFor(state.range(0));
  // Columns of 20 under the hanging rule with a gap: the most cells per line.
  Window window(shape,
                state.range(1) == 0 ? LayoutSettings{} : LayoutSettings{20, Kinsoku::kHang, 1},
                state.range(2) != 0);
  // Typing at the start moves the most text behind the caret.
  if (state.range(3) != 0) window.input->moveCursor(QTextCursor::Start);
  // Both panes paint what the keystroke marked as changed, as a window
  // on screen does.
  for (auto _ : state) {
    QTest::keyClick(window.input, Qt::Key_A);
    QApplication::processEvents();
    state.PauseTiming();
    QTest::keyClick(window.input, Qt::Key_Backspace);
    QApplication::processEvents();
    state.ResumeTiming();
  }
  Describe(state, shape);
}

BENCHMARK(BM_KeystrokeToPaintedOutput)
    // shape: 0 as-is, 1 paragraphs, 2 as-is ×16; vertical: 縦組み表示;
    // start: typed at the start of the text, not its end
    ->ArgNames({"shape", "columns", "vertical", "start"})
    ->Args({0, 0, 0, 0})
    ->Args({0, 0, 1, 0})
    ->Args({1, 0, 0, 0})
    ->Args({1, 0, 1, 0})
    ->Args({2, 0, 0, 0})
    ->Args({2, 0, 0, 1})
    ->Args({0, 1, 0, 0})
    ->Args({1, 1, 0, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ScrollOutputOneStep(benchmark::State& state) {
  Window window(ShapeFor(state.range(0)));
  QScrollBar* bar = state.range(1) == 0 ? window.output->verticalScrollBar()
                                        : window.output->horizontalScrollBar();
  bar->setValue(bar->maximum() / 2);
  window.output->viewport()->repaint();
  bool forward = true;
  for (auto _ : state) {
    bar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd
                               : QAbstractSlider::SliderSingleStepSub);
    window.output->viewport()->repaint();
    forward = !forward;
  }
  Describe(state, ShapeFor(state.range(0)));
}

BENCHMARK(BM_ScrollOutputOneStep)
    ->ArgNames({"shape", "sideways"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_RepaintOutputWithNoChange(benchmark::State& state) {
  Window window(ShapeFor(state.range(0)));
  for (auto _ : state) window.output->viewport()->repaint();
  Describe(state, ShapeFor(state.range(0)));
}

BENCHMARK(BM_RepaintOutputWithNoChange)
    ->ArgName("shape")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Ctrl+A, then Ctrl+C, in the output pane, each until the pane has
// painted; then what a paste elsewhere reads, which the counters check
// against the whole text, and the process's resident memory.
void BM_SelectAllThenCopy(benchmark::State& state) {
  const TextShape& shape = ShapeFor(state.range(0));
  Window window(shape);
  window.output->setFocus();
  double selectMs = 0;
  double copyMs = 0;
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(window.output, Qt::Key_A, Qt::ControlModifier);
    window.output->viewport()->repaint();
    selectMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    QTest::keyClick(window.output, Qt::Key_C, Qt::ControlModifier);
    window.output->viewport()->repaint();
    copyMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
    state.PauseTiming();
    QTest::keyClick(window.output, Qt::Key_Home, Qt::ControlModifier);
    state.ResumeTiming();
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["select_ms"] = selectMs / runs;
  state.counters["copy_ms"] = copyMs / runs;
  state.counters["rss_mb"] = ResidentMegabytes();
  const QByteArray pasted =
      QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain"));
  state.counters["pasted_mb"] = static_cast<double>(pasted.size()) / 1e6;
  QString whole = QString::fromStdU16String(window.output->layout().Text());
  whole.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (pasted != whole.toUtf8()) state.SkipWithError("the paste lacks some of the text");
  Describe(state, shape);
}

BENCHMARK(BM_SelectAllThenCopy)
    ->ArgName("shape")
    ->Arg(0)
    ->Arg(2)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// From the text put into the input pane (as opening the file does) to the
// output painted; the process's resident memory afterwards.
void BM_FirstPaintNearTheSizeBound(benchmark::State& state) {
  const TextShape& shape = NearTheBound();
  Window window(TextShape{});
  for (auto _ : state) {
    PutText(*window.input, shape.text);
    window.output->viewport()->repaint();
    state.PauseTiming();
    if (window.output->layout().RowCount() == 0) state.SkipWithError("not laid out");
    state.counters["rss_mb"] = ResidentMegabytes();
    window.input->clear();
    state.ResumeTiming();
  }
  Describe(state, shape);
  state.counters["cells"] = static_cast<double>(shape.lines * shape.longestLine);
}

BENCHMARK(BM_FirstPaintNearTheSizeBound)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mirotabe::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
