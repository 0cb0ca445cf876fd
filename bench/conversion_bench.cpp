// The vertical conversion of a large text, against the physical floor of
// copying its output.
#include <benchmark/benchmark.h>

#include <cstring>
#include <variant>

#include "bench/bench_texts.h"
#include "core/vertical_layout.h"
#include "textio/text_stream.h"

namespace mirotabe::bench {
namespace {

using enum SwapKind;

// The as-is text sixteen times over: what a keystroke in a 16 MB text
// rebuilds.
const TextShape& SixteenTimes() {
  static const TextShape shape = [] {
    TextShape repeated{{}, 0, ReferenceAsIs().longestLine};
    for (int i = 0; i < 16; ++i) {
      if (i != 0) repeated.text += u"\r\n";
      repeated.text += ReferenceAsIs().text;
    }
    repeated.lines = ReferenceAsIs().lines * 16;
    return repeated;
  }();
  return shape;
}

const TextShape& Shape(const benchmark::State& state) {
  switch (state.range(0)) {
    case 0:
      return ReferenceAsIs();
    case 1:
      return ReferenceParagraphs();
    default:
      return SixteenTimes();
  }
}

// Replacement entries of both kinds, as a user's table would hold them.
const SwapTable& TypicalTable() {
  static const SwapTable table = [] {
    SwapTable t;
    t.Append({u"ー", u"｜", kCell});
    t.Append({u"（", u"︵", kCell});
    t.Append({u"）", u"︶", kCell});
    t.Append({u"...", u"…", kWholeText});
    return t;
  }();
  return table;
}

const SwapTable& TableFor(const benchmark::State& state) {
  static const SwapTable empty;
  return state.range(1) == 0 ? empty : TypicalTable();
}

void Describe(benchmark::State& state, std::size_t outputUnits) {
  const TextShape& shape = Shape(state);
  state.counters["lines"] = static_cast<double>(shape.lines);
  state.counters["longest"] = static_cast<double>(shape.longestLine);
  state.counters["cells"] = static_cast<double>(shape.lines * shape.longestLine);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * outputUnits * 2));
}

void BM_ConvertToLayout(benchmark::State& state) {
  const TextShape& shape = Shape(state);
  for (auto _ : state) {
    LayoutResult layout = BuildVerticalLayout(shape.text, {4, TableFor(state), {}});
    benchmark::DoNotOptimize(layout);
  }
  const LayoutResult layout = BuildVerticalLayout(shape.text, {4, TableFor(state), {}});
  Describe(state, std::get<VerticalLayout>(layout).Text().size());
}

// Laid out again in the memory of the layout before, as at each keystroke
// of the window.
void BM_RebuildLayout(benchmark::State& state) {
  const TextShape& shape = Shape(state);
  LayoutResult layout = BuildVerticalLayout(shape.text, {4, TableFor(state), {}});
  for (auto _ : state) {
    layout = RebuildVerticalLayout(std::move(std::get<VerticalLayout>(layout)), shape.text,
                                   {4, TableFor(state), LayoutSettings{}});
    benchmark::DoNotOptimize(layout);
  }
  Describe(state, std::get<VerticalLayout>(layout).Text().size());
}

void BM_ConvertToText(benchmark::State& state) {
  const TextShape& shape = Shape(state);
  std::size_t units = 0;
  for (auto _ : state) {
    const LayoutResult layout = BuildVerticalLayout(shape.text, {4, TableFor(state), {}});
    std::u16string text = std::get<VerticalLayout>(layout).Text();
    units = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  Describe(state, units);
}

// Copying the output's bytes once, into memory that is already there.
void BM_CopyOutputBytes(benchmark::State& state) {
  const LayoutResult layout = BuildVerticalLayout(Shape(state).text, {4, TableFor(state), {}});
  const std::u16string source = std::get<VerticalLayout>(layout).Text();
  std::u16string target(source.size(), u'\0');
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size() * sizeof(char16_t));
    benchmark::ClobberMemory();
  }
  Describe(state, source.size());
}

// What saving costs without the disk: the rows streamed through the code
// page 932 encoder into a sink that keeps nothing.
void BM_StreamEncodedBytes(benchmark::State& state) {
  const LayoutResult result = BuildVerticalLayout(Shape(state).text, {4, TableFor(state), {}});
  const auto& layout = std::get<VerticalLayout>(result);
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    EncodingWriter writer(Charset::Cp932, [&bytes](std::string_view block) -> IoStatus {
      bytes += block.size();
      benchmark::DoNotOptimize(block.data());
      return std::nullopt;
    });
    layout.ForEachTextPiece(
        [&writer](std::u16string_view piece) { return writer.Write(piece).ok(); });
    benchmark::DoNotOptimize(writer.Finish());
  }
  Describe(state, layout.Text().size());
  state.counters["bytes"] = static_cast<double>(bytes);
}

// A few lines under a table: what each input of a fuzzer costs.
void BM_ConvertSmallText(benchmark::State& state) {
  const std::u16string text = u"縦書き（テスト）\r\nラーメン...\r\nabc\tdef";
  for (auto _ : state) {
    const LayoutResult layout = BuildVerticalLayout(text, {4, TypicalTable(), {}});
    std::u16string out = std::get<VerticalLayout>(layout).Text();
    benchmark::DoNotOptimize(out.data());
  }
}

// Arguments: {shape: 0 as it is, 1 paragraphs, 2 as it is ×16; table: 0
// empty, 1 typical}.
void Shapes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"paragraphs", "table"});
  for (const int shape : {0, 1, 2}) {
    for (const int table : {0, 1}) b->Args({shape, table});
  }
  b->Unit(benchmark::kMillisecond);
}

// Columns of 20 characters under the hanging rule, one blank column between
// them: every line of the text as it is becomes about two columns.
void BM_ConvertToColumns(benchmark::State& state) {
  const TextShape& shape = Shape(state);
  const LayoutSettings layout{20, Kinsoku::kHang, 1};
  for (auto _ : state) {
    LayoutResult result = BuildVerticalLayout(shape.text, {4, TableFor(state), layout});
    benchmark::DoNotOptimize(result);
  }
  const LayoutResult result = BuildVerticalLayout(shape.text, {4, TableFor(state), layout});
  Describe(state, std::get<VerticalLayout>(result).Text().size());
}

BENCHMARK(BM_ConvertToLayout)->Apply(Shapes);
BENCHMARK(BM_RebuildLayout)->Apply(Shapes);
BENCHMARK(BM_ConvertToColumns)->Apply(Shapes);
BENCHMARK(BM_ConvertToText)->Apply(Shapes);
BENCHMARK(BM_CopyOutputBytes)->Apply(Shapes);
BENCHMARK(BM_StreamEncodedBytes)->Apply(Shapes);
BENCHMARK(BM_ConvertSmallText);

}  // namespace
}  // namespace mirotabe::bench
