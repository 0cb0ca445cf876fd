// Reading and writing a large text file in code page 932, and reading it
// (or its UTF-8 form) when its encoding must first be found.
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unistd.h>

#include <filesystem>

#include "bench/bench_texts.h"
#include "platform/files.h"
#include "textio/encoding_detection.h"
#include "textio/text_file.h"

namespace mirotabe::bench {
namespace {

std::string BenchFile() {
  return (std::filesystem::temp_directory_path() /
          ("mirotabe-bench-" + std::to_string(::getpid()) + ".txt"))
      .string();
}

// The code page 932 bytes in EUC-JP, as the system's iconv writes them.
std::string EucJpOf(const std::string& cp932) {
  const iconv_t cd = iconv_open("EUC-JP-MS", "CP932");
  std::string out(cp932.size() * 3 / 2 + 16, '\0');
  char* in = const_cast<char*>(cp932.data());
  std::size_t inLeft = cp932.size();
  char* next = out.data();
  std::size_t outLeft = out.size();
  iconv(cd, &in, &inLeft, &next, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

// A whole text written as the program writes it: encoded, then replacing
// the file atomically.
IoStatus WriteWholeText(const std::string& path, std::u16string_view text,
                        Charset charset = Charset::Cp932) {
  return ReplaceFileAtomically(path, EncodeTextFile(text, charset).bytes);
}

void BM_WriteTextFile(benchmark::State& state) {
  const std::u16string& text = ReferenceAsIs().text;
  const std::string path = BenchFile();
  for (auto _ : state) {
    if (WriteWholeText(path, text).failed()) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

void BM_ReadTextFile(benchmark::State& state) {
  const std::string path = BenchFile();
  if (WriteWholeText(path, ReferenceAsIs().text).failed()) state.SkipWithError("write failed");
  for (auto _ : state) {
    IoResult<std::string> bytes = ReadFileBytes(path);
    std::u16string text = DecodeTextFile(bytes.value());
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
  if (WriteWholeText(path, ReferenceAsIs().text, charset).failed())
    state.SkipWithError("write failed");
  for (auto _ : state) {
    IoResult<UndecodedTextFile> file = UndecodedTextFile::Read(path, std::nullopt);
    IoResult<DetectedText> text = std::move(file.value()).Decode();
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

// Finding the encoding alone, on the bytes in memory. Argument 0: the text
// in code page 932; 1: in UTF-8; 2: in EUC-JP, the one that is weighed
// against code page 932.
void BM_DetectEncoding(benchmark::State& state) {
  const std::u16string& text = ReferenceAsIs().text;
  std::string bytes = Encode(text, state.range(0) == 1 ? Charset::Utf8 : Charset::Cp932).bytes;
  if (state.range(0) == 2) bytes = EucJpOf(bytes);
  for (auto _ : state) {
    DetectedEncoding detected = DetectEncoding(bytes);
    benchmark::DoNotOptimize(detected);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK(BM_DetectEncoding)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteTextFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTextFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDetectedTextFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirotabe::bench
