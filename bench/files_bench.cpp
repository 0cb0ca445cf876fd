// Reading and writing a large text file in code page 932, and reading it
// (or its UTF-8 form) when its encoding must first be found.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "bench/bench_texts.h"
#include "textio/text_file.h"

namespace mirotabe::bench {
namespace {

std::string BenchFile() {
  return (std::filesystem::temp_directory_path() /
          ("mirotabe-bench-" + std::to_string(::getpid()) + ".txt"))
      .string();
}

void BM_WriteTextFile(benchmark::State& state) {
  const std::u16string& text = ReferenceAsIs().text;
  const std::string path = BenchFile();
  for (auto _ : state) {
    if (WriteTextFile(path, text)) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

void BM_ReadTextFile(benchmark::State& state) {
  const std::string path = BenchFile();
  if (WriteTextFile(path, ReferenceAsIs().text)) state.SkipWithError("write failed");
  for (auto _ : state) {
    IoResult<std::u16string> text = ReadTextFile(path);
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

// Argument 0: the file in code page 932; 1: in UTF-8.
void BM_ReadDetectedTextFile(benchmark::State& state) {
  const std::string path = BenchFile();
  const Charset charset = state.range(0) == 0 ? Charset::Cp932 : Charset::Utf8;
  if (WriteTextFile(path, ReferenceAsIs().text, charset)) state.SkipWithError("write failed");
  for (auto _ : state) {
    IoResult<DetectedText> text = ReadDetectedTextFile(path);
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

BENCHMARK(BM_WriteTextFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTextFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDetectedTextFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirotabe::bench
