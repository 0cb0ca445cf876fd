// Loading and saving the settings with a full table of 999 entries.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "core/settings.h"

namespace mirotabe::bench {
namespace {

AppSettings FullSettings() {
  AppSettings settings;
  for (std::size_t n = 1; n <= SwapTable::kMaxEntries; ++n) {
    settings.rules.table.Append(
        {u"ー", u"置き換え" + std::u16string(n % 7, u'x'), static_cast<SwapKind>(n % 2)});
  }
  return settings;
}

std::string SettingsPath() {
  return (std::filesystem::temp_directory_path() /
          ("mirotabe-bench-" + std::to_string(::getpid()) + ".ini"))
      .string();
}

void BM_SaveSettings999(benchmark::State& state) {
  const AppSettings settings = FullSettings();
  const std::string path = SettingsPath();
  for (auto _ : state) {
    if (SaveSettings(settings, path).failed()) state.SkipWithError("save failed");
  }
  std::filesystem::remove(path);
}

void BM_LoadSettings999(benchmark::State& state) {
  const std::string path = SettingsPath();
  if (SaveSettings(FullSettings(), path).failed()) state.SkipWithError("save failed");
  for (auto _ : state) {
    AppSettings settings;
    if (LoadSettings(settings, path).failed()) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(settings);
  }
  std::filesystem::remove(path);
}

BENCHMARK(BM_SaveSettings999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSettings999)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirotabe::bench
