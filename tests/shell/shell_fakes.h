// Test doubles of what the shell reaches through its interfaces: a fake
// application over a fake document, its host blocks and an editor. One
// FakeWorld holds their state and a log of the calls in order.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/kr_application.h"
#include "host/host_harness.h"
#include "shell/kr_vst.h"

using namespace kr;

namespace krtest {

struct ParameterSetup {
  std::string name;
  std::uint8_t kind = 0;
  bool automatable = true;
  float value = 0.0f;
  std::string display;
  std::string label;
};

inline ParameterSetup Param(std::string name, std::uint8_t kind = 0, bool automatable = true, float value = 0.0f,
                           std::string display = {}, std::string label = {}) {
  return {std::move(name), kind, automatable, value, std::move(display), std::move(label)};
}

struct FakeWorld;

class FakeParameter final : public HostParameter {
 public:
  FakeParameter(FakeWorld& world, ParameterSetup setup) : world_(world), setup_(std::move(setup)) {}
  ~FakeParameter() override;
  std::string Name() const override { return setup_.name; }
  std::string Display() const override { return setup_.display; }
  std::string Label() const override { return setup_.label; }
  float Value() const override { return setup_.value; }
  void SetValue(float v) override;
  void SetValueThroughAudioSide(float v) override;
  bool CanBeAutomated() const override { return setup_.automatable; }
  std::uint8_t Kind() const override { return setup_.kind; }
  void Attach(kr::HostServices& host, int hostIndex) override {
    host_ = &host;
    hostIndex_ = hostIndex;
  }
  kr::HostServices* host_ = nullptr;
  int hostIndex_ = -1;

 private:
  FakeWorld& world_;
  ParameterSetup setup_;
};

class FakeEditor final : public ShellEditor {
 public:
  explicit FakeEditor(FakeWorld& world) : world_(world) {}
  std::intptr_t GetRect(vst::ERect** rect) override;
  std::intptr_t Open(void*) override;
  void Close() override;
  void Idle() override;
  std::intptr_t OnKeyDown(vst::VstKeyCode& key) override;
  std::intptr_t OnKeyUp(vst::VstKeyCode& key) override;
  std::intptr_t SetKnobMode(int mode) override;
  bool IsOpen() const override { return open_; }

 private:
  FakeWorld& world_;
  bool open_ = false;
};

struct FakeSettings final : DocumentSettings {
  int programCount = 16;
  std::uint32_t flags = 0;
  std::string vendor = "Vendor";
  std::string product = "";
  std::string pluginId = "KrSy";
  bool mono = false;
  int ProgramCount() const override { return programCount; }
  std::uint32_t PluginFlags() const override { return flags; }
  std::string VendorText() const override { return vendor; }
  std::string ProductText() const override { return product; }
  std::string PluginIdText() const override { return pluginId; }
  bool MonoCapable() const override { return mono; }
};

class FakeTopContainer final : public TopContainer {
 public:
  explicit FakeTopContainer(FakeWorld& world) : world_(world) {}
  std::string Name() const override;
  std::vector<std::string> AudioInputNames() const override;
  std::vector<std::string> AudioOutputNames() const override;
  bool HasMidiInput() const override;
  bool HasMidiOutput() const override;
  bool GovernedByPatchSelect() const override;
  void SelectProgram(int program) override;
  std::string ProgramName(int program) const override;
  void RenameCurrentProgram(std::string_view name) override;
  bool CopyCurrentProgramTo(int program) override;
  std::span<const std::uint8_t> GetChunk(bool isPreset) override;
  std::intptr_t SetChunk(std::span<const std::uint8_t> data, bool isPreset) override;
  bool WatchProgramParameter(ParamWatcher& watcher) override;
  std::string ProgramParameterText() const override;
  std::vector<std::unique_ptr<HostParameter>> CollectHostParameters() override;

 private:
  FakeWorld& world_;
};

struct FakeWorld {
  // document
  bool initialiseSucceeds = true;
  bool hasTopContainer = true;
  bool makeEditor = true;
  FakeSettings settings;
  std::string name = "Fake Synth";
  std::vector<std::string> audioIns;
  std::vector<std::string> audioOuts = {"Left", "Right"};
  bool midiIn = true;
  bool midiOut = true;
  bool patchSelect = true;
  std::vector<std::string> programNames = std::vector<std::string>(128, "Init");
  int containerProgram = -1;
  bool copyProgramSucceeds = true;
  std::vector<std::uint8_t> chunk = {1, 2, 3, 4, 5};
  std::intptr_t setChunkResult = 1;
  std::vector<std::uint8_t> receivedChunk;
  bool hasProgramParameter = true;
  std::string programParameterText = "0";
  ParamWatcher* watcher = nullptr;
  std::vector<ParameterSetup> parameters;
  std::vector<FakeParameter*> liveParameters;  // in host index order once attached

  // engine and GUI thread
  std::uint32_t guiThread = 0;
  bool soundRunning = false;
  std::uint32_t engineTime = 0;  // from 0 at every engine start, as the engine counts
  int blockCount = 0;
  kr::HostBlock lastBlock;        // as the application got it
  std::size_t hostEventsSeen = 0; // events in the blocks' host lists
  // Runs inside each block, after its start time is set (e.g. to write outgoing MIDI).
  std::function<void(FakeWorld&, kr::HostBlock&)> duringBlock;
  bool logBlocks = true;  // off when another thread logs at the same time
  std::atomic<bool> insideBlock{false};
  std::atomic<int> engineChangedDuringBlock{0};

  kr::HostServices* host = nullptr;
  std::vector<std::string> log;
};

class FakeApplication final : public KrApplication {
 public:
  explicit FakeApplication(FakeWorld& world) : world_(world) {}
  ~FakeApplication() override { world_.log.push_back("~application"); }
  void SetHost(kr::HostServices* host) override { world_.host = host; }
  bool Initialise() override;
  std::uint32_t GuiThreadId() const override { return world_.guiThread; }
  const DocumentSettings* Settings() const override { return documentLoaded_ ? &world_.settings : nullptr; }
  TopContainer* FindTopContainer() override;
  void WireHostIo(TopContainer&) override { world_.log.push_back("WireHostIo"); }
  std::unique_ptr<ShellEditor> CreateEditor(kr::HostServices&) override;
  void DeleteDocument() override;
  void SetSampleRate(float rate) override;
  void StartSound(int blockSize) override;
  void StopSound() override;
  bool SoundRunning() const override { return world_.soundRunning; }
  void ProcessBlock(kr::HostBlock& block) override;
  void PumpGuiMessages() override { world_.log.push_back("PumpGuiMessages"); }

 private:
  FakeWorld& world_;
  bool documentLoaded_ = false;
  std::unique_ptr<FakeTopContainer> container_;
};

// The world the test entry builds its application over.
void SetCurrentWorld(FakeWorld* world);
// A fake application over the current world.
std::unique_ptr<KrApplication> MakeFakeApplication();
// A `main` for the harness: CreateEffect with a fake application over the current world.
vst::AEffect* VSTCALLBACK TestEntry(vst::audioMasterCallback audioMaster);
// The construction-failed flag TestEntry uses; tests reset it.
std::atomic<bool>& TestConstructionFlag();

// A harness driving one KrVst built over a world.
struct ShellFixtureState {
  FakeWorld world;
  HostHarness host;
  KrVst* vst = nullptr;
  // Calls main; returns false when it gave null.
  bool Create();
};

}  // namespace krtest
