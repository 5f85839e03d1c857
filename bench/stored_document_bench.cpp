// What loading the stored document costs at plug-in start-up: the
// unscrambling walk, and finding and reading the resource in the file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <vector>

#include "formats/image/plugin_export.h"
#include "formats/image/scramble.h"
#include "formats/image/stored_document.h"

using namespace kr;

namespace {

std::vector<std::uint8_t> SomeDocument(std::size_t size) {
  std::mt19937 random(1);
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

void BM_Unscramble(benchmark::State& state) {
  std::vector<std::uint8_t> bytes = SomeDocument(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    kr::Unscramble(bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Unscramble)->Arg(64 << 10)->Arg(4 << 20);

// The whole lookup on an exported copy of the built plug-in.
void BM_ReadStoredDocument(benchmark::State& state) {
  const auto folder = std::filesystem::temp_directory_path() / "kr_bench_stored";
  std::filesystem::create_directories(folder);
  const std::string exported = (folder / "BenchSynth.so").string();
  const auto document = SomeDocument(static_cast<std::size_t>(state.range(0)));
  const auto result =
      kr::packaging::ExportPlugin(KR_PLUGIN_PATH, document, exported, kr::packaging::ExportForm::StoredResource);
  if (!result.ok()) {
    state.SkipWithError(result.error.c_str());
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(kr::ReadStoredDocument(exported));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(exported)));
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadStoredDocument)->Arg(256 << 10)->Unit(benchmark::kMillisecond);

}  // namespace
