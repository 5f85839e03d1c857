// The shell's own cost per host block: handing MIDI in, running an empty
// engine, and collecting outgoing MIDI for the host.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "shell/kr_vst.h"
#include "shell/plugin_entry.h"

using namespace kr;

using namespace vst;

namespace {

struct NullSettings final : DocumentSettings {
  int ProgramCount() const override { return 1; }
  std::uint32_t PluginFlags() const override { return PLUGIN_IS_SYNTH; }
  std::string VendorText() const override { return {}; }
  std::string ProductText() const override { return {}; }
  std::string PluginIdText() const override { return "Bnch"; }
  bool MonoCapable() const override { return false; }
};

struct NullContainer final : TopContainer {
  std::string Name() const override { return "bench"; }
  std::vector<std::string> AudioInputNames() const override { return {}; }
  std::vector<std::string> AudioOutputNames() const override { return {"L", "R"}; }
  bool HasMidiInput() const override { return true; }
  bool HasMidiOutput() const override { return true; }
  bool GovernedByPatchSelect() const override { return false; }
  void SelectProgram(int) override {}
  std::string ProgramName(int) const override { return {}; }
  void RenameCurrentProgram(std::string_view) override {}
  bool CopyCurrentProgramTo(int) override { return false; }
  std::span<const std::uint8_t> GetChunk(bool) override { return {}; }
  std::intptr_t SetChunk(std::span<const std::uint8_t>, bool) override { return 0; }
  bool WatchProgramParameter(ParamWatcher&) override { return false; }
  std::string ProgramParameterText() const override { return {}; }
  std::vector<std::unique_ptr<HostParameter>> CollectHostParameters() override { return {}; }
};

int outgoingPerBlock = 0;

struct BenchApp final : KrApplication {
  void SetHost(kr::HostServices*) override {}
  bool Initialise() override { return true; }
  std::uint32_t GuiThreadId() const override { return 0; }
  const DocumentSettings* Settings() const override { return &settings; }
  TopContainer* FindTopContainer() override { return &container; }
  void WireHostIo(TopContainer&) override {}
  std::unique_ptr<ShellEditor> CreateEditor(kr::HostServices&) override { return nullptr; }
  void DeleteDocument() override {}
  void SetSampleRate(float) override {}
  void StartSound(int) override { now = 0; }
  void StopSound() override {}
  bool SoundRunning() const override { return true; }
  void ProcessBlock(kr::HostBlock& block) override {
    block.startTime = now;
    if (block.midiIn != nullptr) sum += static_cast<std::uint32_t>(block.midiIn->numEvents);
    for (int i = 0; i < outgoingPerBlock; ++i) block.midiOut->Write(now + static_cast<std::uint32_t>(i), 0x004090);
    now += static_cast<std::uint32_t>(block.frames);
  }
  void PumpGuiMessages() override {}

  NullSettings settings;
  NullContainer container;
  std::uint32_t now = 0;
  std::uint32_t sum = 0;
};

VstIntPtr VSTCALLBACK QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

void BM_HostBlock(benchmark::State& state) {
  constexpr int kFrames = 64;
  const int midiIn = static_cast<int>(state.range(0));
  outgoingPerBlock = static_cast<int>(state.range(1));
  std::atomic<bool> failed{false};
  AEffect* effect = CreateEffect(&QuietHost, failed, []() -> std::unique_ptr<KrApplication> { return std::make_unique<BenchApp>(); });
  if (effect == nullptr) {
    state.SkipWithError("no effect");
    return;
  }
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

  std::vector<VstMidiEvent> events(static_cast<std::size_t>(midiIn));
  std::vector<std::uintptr_t> header(2 + events.size() + 2);
  header[0] = static_cast<std::uintptr_t>(midiIn);
  for (std::size_t i = 0; i < events.size(); ++i) {
    events[i].type = kVstMidiType;
    events[i].deltaFrames = static_cast<VstInt32>(i);
    events[i].midiData[0] = static_cast<char>(0x90);
    header[2 + i] = reinterpret_cast<std::uintptr_t>(&events[i]);
  }
  std::vector<float> left(kFrames), right(kFrames);
  float* outputs[2] = {left.data(), right.data()};
  for (auto _ : state) {
    if (midiIn > 0) effect->dispatcher(effect, effProcessEvents, 0, 0, header.data(), 0.0f);
    effect->processReplacing(effect, nullptr, outputs, kFrames);
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_HostBlock)->Args({0, 0})->Args({8, 0})->Args({0, 8})->Args({8, 8})->Args({64, 64});

}  // namespace
