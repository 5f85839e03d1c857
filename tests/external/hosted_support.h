// Shared by the hosting tests: our test plug-ins and their logs, Debian's
// plug-ins, patches that host a plug-in, and an application that plays such
// a patch in this process (so its modules and message boxes can be seen).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/app_vst.h"
#include "engine/outgoing_midi_ring.h"
#include "document/iterators.h"
#include "external/vst_plugin_module.h"
#include "host/host_harness.h"
#include "support/environment_override.h"
#include "support/temp_dir.h"

using namespace kr;

namespace krtest {

namespace fs = std::filesystem;

// One of our test plug-ins as the build made it ("TestVst", "TestVstNull", ...).
fs::path TestVst(const std::string& name);

// A Debian plug-in ("Kars"): its path, empty when it is not installed (and
// on Windows, where Debian's Linux plug-ins cannot load).
fs::path DebianPlugin(const std::string& name);

// What a test plug-in logged and counted (the copy loaded in this process).
class VstLog {
 public:
  explicit VstLog(const fs::path& plugin);
  ~VstLog();
  VstLog(const VstLog&) = delete;
  VstLog& operator=(const VstLog&) = delete;
  std::vector<std::string> Lines() const;
  bool Has(const std::string& line) const;
  long long Stat(const char* name) const;
  void Clear() const;

 private:
  void* library_;
};

// A patch with a top container "Synth" (MIDI in, Left In, Left/Right Out)
// holding one "VST Plugin" (id "vst") with the given fields after "module",
// and the given wires (JSON array text).
std::string HostingPatch(const std::string& pluginFields, const std::string& wires);
// The usual wiring: MIDI in and Left In to the plug-in, its first two outputs out.
std::string HostingPatch(const std::string& pluginFields);

// Sets VST_PATH while it lives.
class VstPathOverride : public krtest::EnvironmentOverride {
 public:
  explicit VstPathOverride(const std::string& value) : EnvironmentOverride("VST_PATH", value) {}
};

// The plug-in application of a patch, in this process: its document is a
// ".dat" beside a plug-in path in a folder of its own.
class HostedRig {
 public:
  explicit HostedRig(const std::string& patchJson, double sampleRate = 44100.0);
  // A stored document (the archive bytes) instead of a patch text.
  explicit HostedRig(const std::vector<std::uint8_t>& document, double sampleRate = 44100.0);
  ~HostedRig();

  bool ok() const { return ok_; }
  CKestruneAppVST& App() { return app_; }
  CContainer& Root() { return *app_.Document()->Root(); }
  kr::VstPluginModule* Module(const std::string& title = "VST Plugin") const;
  const fs::path& Folder() const { return dir_.path(); }

  void Start(int blockSize);
  void Stop() { app_.StopSound(); }
  // One block of frames: input channel 0 from in (zeros when shorter), MIDI
  // at offsets; the GUI side pumped afterwards. Answers both outputs.
  struct Block {
    std::vector<float> left, right;
    std::vector<std::uint32_t> midiOut;  // messages the patch sent the host
  };
  // allocations: when given, what the block's processing allocated on this thread.
  Block Run(int frames, std::span<const MidiAt> midi = {}, std::span<const float> in = {}, bool pump = true,
            int* allocations = nullptr);

 private:
  // The host: time information at 120 beats a minute, nothing else.
  class FakeHost final : public kr::HostServices {
   public:
    const vst::VstTimeInfo* TimeInfo(std::int32_t) override { return &info; }
    void Automate(int, float) override {}
    void UpdateDisplay() override {}
    void RequestIdle() override {}
    vst::VstTimeInfo info{};
  };
  void Open(const std::vector<std::uint8_t>& document, double sampleRate);

  krtest::TempDir dir_;
  FakeHost host_;
  CKestruneAppVST app_;
  OutgoingMidiRing midiOut_;
  bool ok_ = false;
};

// The index of the first sample whose magnitude exceeds threshold; -1 when none.
int FirstSound(std::span<const float> samples, float threshold = 1e-6f);
// The root-mean-square level.
double Rms(std::span<const float> samples);
// The fundamental frequency by autocorrelation, looked for between low and high Hz.
double Pitch(std::span<const float> samples, double sampleRate, double low, double high);

}  // namespace krtest
