// The latency of one keystroke under the every-change trigger: from a
// character typed into the input pane to the output pane rebuilt and
// painted, on the two shapes of the reference text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <memory>

#include "bench/bench_texts.h"
#include "ui/form1.h"
#include "ui/pane_text.h"
#include "ui/ui_services.h"

namespace mirotabe::bench {
namespace {

// Nothing in this measurement asks the user anything.
class SilentUiServices : public UiServices {
 public:
  QString ShowOpenDialog(QWidget*, const QStringList&, const QString&) override { return {}; }
  SaveDialogAnswer ShowSaveDialog(QWidget*, const QStringList&, const QString&,
                                  const QString&) override {
    return {};
  }
  void ShowMessage(QWidget*, MessageIcon, const QString&, const QString&) override {}
  bool AskToProceed(QWidget*, const QString&, const QString&) override { return false; }
  void OpenUrl(const QString&) override {}
};

void BM_KeystrokeToPaintedOutput(benchmark::State& state) {
  const TextShape& shape = state.range(0) == 0 ? ReferenceAsIs() : ReferenceParagraphs();
  AppSettings settings;
  // Columns of 20 under the hanging rule with a gap: the most cells per line.
  if (state.range(1) != 0) settings.Layout = {20, Kinsoku::kHang, 1};
  SilentUiServices services;
  Form1 form(settings, services);
  form.show();
  auto* input = form.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
  auto* output = form.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
  SetProgramText(*input, shape.text);
  input->moveCursor(QTextCursor::End);
  QApplication::processEvents();

  for (auto _ : state) {
    QTest::keyClick(input, Qt::Key_A);
    output->viewport()->repaint();
    state.PauseTiming();
    QTest::keyClick(input, Qt::Key_Backspace);
    output->viewport()->repaint();
    state.ResumeTiming();
  }
  state.counters["lines"] = static_cast<double>(shape.lines);
  state.counters["longest"] = static_cast<double>(shape.longestLine);
}

BENCHMARK(BM_KeystrokeToPaintedOutput)
    ->ArgNames({"paragraphs", "columns"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
