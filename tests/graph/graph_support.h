// Documents built in code for the graph tests, a fake effect endpoint, and
// small registered test modules.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/container.h"
#include "document/plug2.h"
#include "engine/gui_pump.h"
#include "graph/sound_engine.h"
#include "support/engine_blocks.h"

using namespace kr;

namespace krtest {

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

// A sound engine driven like the effect object drives it.
struct Rig {
  GuiPump gui;
  SoundEngine engine{gui};
  std::vector<std::vector<float>> inputs, outputs;
  krtest::EngineBlocks blocks;
  bool& replacing = blocks.replacing;
  OutgoingMidiRing& midiOut = blocks.midiOut;

  bool Start(Patch& patch, int blockSize, int ins, int outs);
  // Host MIDI for the next block, at an offset from its start.
  void Midi(std::int32_t offset, std::uint32_t message) { blocks.Midi(offset, message); }
  // Engine time of the next block's first sample.
  std::uint32_t NextBlockStart();
  // One host block; inputs[c] is read from `at`, outputs written from 0.
  void Block(int frames, int at = 0);
};

}  // namespace krtest
