// Documents built in code for the graph tests, a fake effect endpoint, and
// small registered test modules.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/container.h"
#include "document/plug2.h"
#include "engine/gui_pump.h"
#include "engine/sound_engine.h"
#include "shell/host_io_modules.h"

namespace graph_test {

// Module names registered by graph_support.cpp.
inline constexpr const char* kPass = "Test Pass";          // "In" (audio) -> "Out" (audio), sample by sample
inline constexpr const char* kNoteSource = "Test Notes";   // a voice and exclusive note source
inline constexpr const char* kMidiThrough = "Test MIDI";   // "MIDI In" -> "MIDI Out"
inline constexpr const char* kMidiPlusOne = "Test MIDI+1"; // the same, first data byte + 1
inline constexpr const char* kLevel = "Test Level";        // "Level" (volts) as a static "Out"

struct Patch {
  std::unique_ptr<CContainer> root;
  CContainer* top = nullptr;
  CUG* io = nullptr;  // the top container's I/O module
  std::vector<CPlugIO2*> audioIn, audioOut;  // outside faces
  CPlugIO2* midiIn = nullptr;
  CPlugIO2* midiOut = nullptr;

  // The inside face of an outside boundary plug.
  static CPlug2& Inside(CPlugIO2* outside) { return *outside->Partner(); }
  CUG& Add(CContainer& where, const char* name, const std::string& title = {});
  CContainer& AddContainer(CContainer& where, const std::string& title);
  void Wire(CContainer& where, CPlug2& a, CPlug2& b);
};

// Root with a top container named "Synth", audio ins/outs and optional MIDI,
// wired to "VST Input" and "VST Output".
Patch MakePatch(int inputs, int outputs, bool midi = false);
void WireHost(Patch& patch);
CPlug2& PlugNamed(CUG& module, const char* name);

struct FakeEndpoint final : HostIoEndpoint {
  void SetHostInput(HostInputModule* m) override { in = m; }
  void SetHostOutput(HostOutputModule* m) override { out = m; }
  bool Replacing() const override { return replacing; }
  HostInputModule* in = nullptr;
  HostOutputModule* out = nullptr;
  bool replacing = true;
};

// A sound engine driven like the effect object drives it.
struct Rig {
  GuiPump gui;
  SoundEngine engine{gui};
  FakeEndpoint endpoint;
  std::vector<std::vector<float>> inputs, outputs;

  bool Start(Patch& patch, int blockSize, int ins, int outs);
  // One host block; inputs[c] is read from `at`, outputs written from 0.
  void Block(int frames, int at = 0);
};

}  // namespace graph_test
