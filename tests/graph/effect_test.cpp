// End-to-end through the effect object: a patch played by the shell in the
// host harness, with the real graph builder behind resume and suspend. The
// document is built in code and handed to the application in this process,
// so the threaded checks can run it; the graph cases through the built
// plug-in file's `main` are in the app suite.
#include <gtest/gtest.h>

#include "app/kr_application.h"
#include "graph/host_io_wiring.h"
#include "graph_support.h"
#include "host/host_harness.h"
#include "registry/module_info.h"
#include "shell/kr_vst.h"
#include "shell/plugin_entry.h"

using namespace kr;

using namespace krtest;
using namespace vst;

namespace {

std::unique_ptr<CContainer>& NextDocument() {
  static std::unique_ptr<CContainer> root;
  return root;
}

class StoredSettings final : public DocumentSettings {
 public:
  int ProgramCount() const override { return 1; }
  std::uint32_t PluginFlags() const override { return PLUGIN_IS_SYNTH; }
  std::string VendorText() const override { return "Kestrune"; }
  std::string ProductText() const override { return "Graph"; }
  std::string PluginIdText() const override { return "KrGr"; }
  bool MonoCapable() const override { return true; }
};

class Top final : public TopContainer {
 public:
  explicit Top(CContainer& c) : container(c) {}
  std::string Name() const override { return container.Title(); }
  std::vector<std::string> AudioInputNames() const override {
    return std::vector<std::string>(static_cast<std::size_t>(CountHostChannels(container).inputs), "In");
  }
  std::vector<std::string> AudioOutputNames() const override {
    return std::vector<std::string>(static_cast<std::size_t>(CountHostChannels(container).outputs), "Out");
  }
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
  std::string ProgramParameterText() const override { return "0"; }
  std::vector<std::unique_ptr<HostParameter>> CollectHostParameters() override { return {}; }
  CContainer& container;
};

// The application as start-up will make it: a stored document, its top
// container wired to the host modules, and the sound engine.
class GraphApplication final : public KrApplication {
 public:
  void SetHost(kr::HostServices*) override {}
  bool Initialise() override {
    root_ = std::move(NextDocument());
    if (root_ != nullptr) root_->AttachToParent(nullptr);
    return root_ != nullptr;
  }
  std::uint32_t GuiThreadId() const override { return 0; }
  const DocumentSettings* Settings() const override { return &settings_; }
  TopContainer* FindTopContainer() override {
    for (const auto& child : root_->Children())
      if (auto* c = DynamicKind<CContainer>(child.get()); c != nullptr && !c->Disabled()) {
        top_ = std::make_unique<Top>(*c);
        return top_.get();
      }
    return nullptr;
  }
  void WireHostIo(TopContainer& top) override { WireTopContainer(*root_, static_cast<Top&>(top).container); }
  std::unique_ptr<ShellEditor> CreateEditor(kr::HostServices&) override { return nullptr; }
  void DeleteDocument() override {
    engine_.StopSound();
    top_.reset();
    root_.reset();
  }
  void SetSampleRate(float rate) override { engine_.SetSampleRate(rate); }
  void StartSound(int blockSize) override { engine_.StartSound(*root_, blockSize); }
  void StopSound() override { engine_.StopSound(); }
  bool SoundRunning() const override { return engine_.Running(); }
  void ProcessBlock(kr::HostBlock& block) override { engine_.Process(block); }
  void PumpGuiMessages() override { gui_.Pump(); }

 private:
  StoredSettings settings_;
  std::unique_ptr<CContainer> root_;
  std::unique_ptr<Top> top_;
  GuiPump gui_;
  SoundEngine engine_{gui_};
};

std::unique_ptr<KrApplication> MakeGraphApplication() { return std::make_unique<GraphApplication>(); }

std::atomic<bool>& Failed() {
  static std::atomic<bool> failed{false};
  return failed;
}

AEffect* VSTCALLBACK GraphEntry(audioMasterCallback audioMaster) {
  return CreateEffect(audioMaster, Failed(), &MakeGraphApplication);
}

// Stores the patch, loads it through the entry, and resumes at a block size.
struct Plugin {
  explicit Plugin(Patch patch, int blockSize) {
    NextDocument() = std::move(patch.root);
    host.UseEntry(&GraphEntry);
    effect = host.CallMain();
    if (effect == nullptr) return;
    host.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.Dispatch(effSetBlockSize, 0, blockSize);
    host.Dispatch(effMainsChanged, 0, 1);
  }
  HostHarness host;
  AEffect* effect = nullptr;
};

Patch Unwired(int ins, int outs, bool midi) { return MakePatch(ins, outs, midi); }

}  // namespace

TEST(EffectEndToEnd, StereoPassThroughReturnsTheHostInputSampleExactly) {
  for (int blockSize : {32, 100, 512}) {
    Patch p = Unwired(2, 2, false);
    for (int c = 0; c < 2; ++c) {
      CUG& pass = p.Add(*p.top, kPass);
      p.Wire(*p.top, Patch::Inside(p.audioIn[c]), PlugNamed(pass, "In"));
      p.Wire(*p.top, PlugNamed(pass, "Out"), Patch::Inside(p.audioOut[c]));
    }
    Plugin plugin(std::move(p), blockSize);
    ASSERT_NE(plugin.effect, nullptr);
    EXPECT_EQ(plugin.effect->numInputs, 2);
    EXPECT_EQ(plugin.effect->numOutputs, 2);
    plugin.host.PrepareBlock(blockSize);
    for (int block = 0; block < 4; ++block) {
      for (int c = 0; c < 2; ++c)
        for (int i = 0; i < blockSize; ++i)
          plugin.host.Input(c)[static_cast<std::size_t>(i)] = static_cast<float>((block * blockSize + i) % 97) * (c ? -0.01f : 0.01f);
      plugin.host.RunBlock();
      for (int c = 0; c < 2; ++c)
        for (int i = 0; i < blockSize; ++i)
          ASSERT_EQ(plugin.host.Output(c)[static_cast<std::size_t>(i)], plugin.host.Input(c)[static_cast<std::size_t>(i)]);
    }
    plugin.host.Close();
  }
}
