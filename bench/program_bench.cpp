// Program switches and chunks of a large patch through the plug-in's entry:
// 500 patch parameters ("PatchMemFloatIn") under a "Patch Select" with 128
// programs. A switch is timed with the block that follows it, so the audio
// side's share (every twin taking its new value) is counted too; a bank
// chunk holds all 128 programs of all 500 parameters.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "exported_patch.h"
#include "host/host_harness.h"

using namespace kr;

namespace {

constexpr int kParameters = 500;

std::string LargeProgramPatch() {
  std::ostringstream text;
  text << R"({"settings": {"id": "KrPb", "programs": 128}, "root": {"modules": [{"module": "Container",)"
       << R"( "title": "Programs", "plugs": [{"name": "Out", "direction": "out"}], "modules": [{"module": "Patch Select"})";
  for (int i = 0; i < kParameters; ++i) {
    text << R"(, {"module": "PatchMemFloatIn", "id": "p)" << i << R"(", "title": "P)" << i
         << R"(", "patch_values": {"Value": {"programs": ["1", "2", ")" << (i % 10) << R"("]}}})";
  }
  text << "]}]}}";
  return text.str();
}

// The patch exported into a copy of the plug-in, loaded and resumed once.
class LargeProgramPlugin {
 public:
  LargeProgramPlugin() {
    if (!exported_.ok() || !host_.Load(exported_.Path()) || host_.CallMain() == nullptr) return;
    host_.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host_.Dispatch(vst::effSetBlockSize, 0, 64);
    host_.Dispatch(vst::effMainsChanged, 0, 1);
    host_.PrepareBlock(64);
    host_.RunBlock();
    ok_ = host_.Effect()->numParams == kParameters;
  }
  ~LargeProgramPlugin() {
    if (ok_) host_.Close();
  }
  bool ok() const { return ok_; }
  HostHarness& host() { return host_; }

 private:
  bench_support::ExportedPatch exported_ = bench_support::ExportedPatch::FromText(LargeProgramPatch(), "Programs");
  HostHarness host_;
  bool ok_ = false;
};

LargeProgramPlugin& Plugin() {
  static LargeProgramPlugin plugin;
  return plugin;
}

void BM_ProgramSwitch500Parameters(benchmark::State& state) {
  HostHarness& host = Plugin().host();
  if (!Plugin().ok()) return state.SkipWithError("the patch could not be exported or loaded");
  vst::VstIntPtr program = 0;
  for (auto _ : state) {
    program = (program + 1) % 3;
    host.Dispatch(vst::effSetProgram, 0, program);
    host.RunBlock();
  }
  if (host.GetParameter(1) <= 0.0f && program != 0) state.SkipWithError("the switch did not reach the parameters");
}
BENCHMARK(BM_ProgramSwitch500Parameters)->Unit(benchmark::kMicrosecond);

std::vector<std::uint8_t> BankChunk(HostHarness& host) {
  void* data = nullptr;
  const auto size = host.Dispatch(vst::effGetChunk, 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return {bytes, bytes + size};
}

void BM_GetBankChunk128Programs(benchmark::State& state) {
  HostHarness& host = Plugin().host();
  if (!Plugin().ok()) return state.SkipWithError("the patch could not be exported or loaded");
  std::size_t bytes = 0;
  for (auto _ : state) bytes = BankChunk(host).size();
  state.counters["chunk_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_GetBankChunk128Programs)->Unit(benchmark::kMillisecond);

void BM_SetBankChunk128Programs(benchmark::State& state) {
  HostHarness& host = Plugin().host();
  if (!Plugin().ok()) return state.SkipWithError("the patch could not be exported or loaded");
  std::vector<std::uint8_t> chunk = BankChunk(host);
  for (auto _ : state) {
    host.Dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(chunk.size()), chunk.data());
    host.RunBlock();
  }
  state.counters["chunk_bytes"] = static_cast<double>(chunk.size());
}
BENCHMARK(BM_SetBankChunk128Programs)->Unit(benchmark::kMillisecond);

}  // namespace
