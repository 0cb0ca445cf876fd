// The browser module's whole conversion (web::Convert: detection, settings,
// layout, encoding into memory), compiled natively: the in-process figure
// that bench/web/convert_bench.mjs sets the WebAssembly build against.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "web/engine.h"

namespace {

std::string ReferenceBytes() {
  std::ifstream file(MIROTABE_BENCH_TEXT, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void BM_ConvertReferenceInProcess(benchmark::State& state) {
  mirotabe::web::ConvertRequest request;
  request.input = ReferenceBytes();
  request.encoding = state.range(0) == 0 ? "cp932" : "utf-8";
  for (auto _ : state) {
    const mirotabe::web::ConvertOutcome outcome = mirotabe::web::Convert(request);
    benchmark::DoNotOptimize(outcome.bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * request.input.size()));
}
BENCHMARK(BM_ConvertReferenceInProcess)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
