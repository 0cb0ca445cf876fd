// Drawing and encoding the pictures of the layout, as the image command
// and the converter's picture formats do, on the as-is reference text.
// The whole text is 19,000-odd columns, far wider than a PNG may be, so
// the PNG is measured on a part of it as tall as the whole: as many lines
// as make an image about 19,000 pixels wide, and as many as the widest PNG
// allowed holds. The PDF takes the whole text.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <algorithm>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bench/bench_texts.h"
#include "core/vertical_layout.h"
#include "render/layout_picture.h"

namespace mirotabe::bench {
namespace {

// `count` lines of `text` from the one where its longest line falls in
// their middle, so that the picture is as tall as the whole text's.
std::u16string LinesAroundLongest(const std::u16string& text, std::size_t count) {
  std::vector<std::u16string_view> lines;
  std::size_t longest = 0;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(u"\r\n", start);
    lines.push_back(std::u16string_view(text).substr(start, end - start));
    if (lines.back().size() > lines[longest].size()) longest = lines.size() - 1;
    if (end == std::u16string::npos) break;
    start = end + 2;
  }
  const std::size_t first = std::min(longest - std::min(longest, count / 2),
                                     lines.size() - std::min(lines.size(), count));
  std::u16string joined;
  for (std::size_t n = first; n < std::min(lines.size(), first + count); ++n) {
    if (n != first) joined += u"\r\n";
    joined += lines[n];
  }
  return joined;
}

VerticalLayout LayoutOf(std::u16string_view text) {
  return std::get<VerticalLayout>(BuildVerticalLayout(text, {4, SwapTable(), {}}));
}

void Report(benchmark::State& state, const VerticalLayout& layout, std::size_t bytes) {
  const PictureSize size = ImageSize(layout, PictureStyle{});
  state.counters["columns"] = static_cast<double>(layout.ColumnCount());
  state.counters["width"] = static_cast<double>(size.width);
  state.counters["height"] = static_cast<double>(size.height);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_PngOfLines(benchmark::State& state) {
  const VerticalLayout layout =
      LayoutOf(LinesAroundLongest(ReferenceAsIs().text, static_cast<std::size_t>(state.range(0))));
  std::size_t bytes = 0;
  for (auto _ : state) {
    const IoResult<QByteArray> png = DrawPicture(layout, PictureStyle{}, PictureFormat::Png);
    if (!png) state.SkipWithError("the PNG was not drawn");
    bytes = png ? static_cast<std::size_t>(png.value().size()) : 0;
  }
  Report(state, layout, bytes);
}
// 790 columns and their margins make 19,008 pixels at 24 a cell; 1,363
// make 32,760, the most a PNG side may have.
void BM_ImageWithoutEncoding(benchmark::State& state) {
  const VerticalLayout layout = LayoutOf(LinesAroundLongest(ReferenceAsIs().text, 790));
  for (auto _ : state) {
    const QImage image = DrawImage(layout, PictureStyle{});
    benchmark::DoNotOptimize(image.constBits());
  }
  Report(state, layout, 0);
}
BENCHMARK(BM_ImageWithoutEncoding)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_PngOfLines)
    ->ArgName("lines")
    ->Arg(790)
    ->Arg(1363)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PdfOfWholeText(benchmark::State& state) {
  const VerticalLayout layout = LayoutOf(ReferenceAsIs().text);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const IoResult<QByteArray> pdf = DrawPicture(layout, PictureStyle{}, PictureFormat::Pdf);
    if (!pdf) state.SkipWithError("the PDF was not drawn");
    bytes = pdf ? static_cast<std::size_t>(pdf.value().size()) : 0;
  }
  Report(state, layout, bytes);
  state.counters["pages"] = static_cast<double>(PdfSheets(layout, PictureStyle{}).size());
}
BENCHMARK(BM_PdfOfWholeText)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace mirotabe::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
