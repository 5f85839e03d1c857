// Host blocks for a sound engine, made the way the effect object makes them:
// buffers, a host event list and the outgoing MIDI ring. Header-only, so the
// benchmarks use it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "engine/host_block.h"
#include "engine/outgoing_midi_ring.h"
#include "graph/sound_engine.h"
#include "vst/vst2.h"

using namespace kr;

namespace krtest {

class EngineBlocks {
 public:
  bool replacing = true;     // what the next blocks say
  OutgoingMidiRing midiOut;  // the patch's MIDI, as the effect object collects it

  // Host MIDI for the next block, at an offset from its start.
  void Midi(std::int32_t offset, std::uint32_t message) {
    vst::VstMidiEvent e{};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof e;
    e.deltaFrames = offset;
    for (int i = 0; i < 3; ++i) e.midiData[i] = static_cast<char>((message >> (8 * i)) & 0xFF);
    midi_.push_back(e);
    slots_.push_back(reinterpret_cast<vst::VstEvent*>(&midi_.back()));
  }
  // Any event record (or null) for the next block's list, as a host may send it.
  void Raw(vst::VstEvent* event) { slots_.push_back(event); }

  // One block; the MIDI queued so far goes with it.
  void Run(SoundEngine& engine, std::span<float* const> inputs, std::span<float* const> outputs, int frames) {
    // A host event list: the count, a reserved word, then the pointers.
    list_.assign(2 + slots_.size(), 0);
    auto* events = reinterpret_cast<vst::VstEvents*>(list_.data());
    events->numEvents = static_cast<vst::VstInt32>(slots_.size());
    for (std::size_t i = 0; i < slots_.size(); ++i) list_[2 + i] = reinterpret_cast<std::uintptr_t>(slots_[i]);
    kr::HostBlock block;
    block.inputs = inputs.data();
    block.inputCount = static_cast<int>(inputs.size());
    block.outputs = outputs.data();
    block.outputCount = static_cast<int>(outputs.size());
    block.frames = frames;
    block.replacing = replacing;
    block.midiIn = slots_.empty() ? nullptr : events;
    block.midiOut = &midiOut;
    engine.Process(block);
    midi_.clear();
    slots_.clear();
  }

 private:
  std::deque<vst::VstMidiEvent> midi_;  // stable addresses for the list
  std::vector<vst::VstEvent*> slots_;
  std::vector<std::uintptr_t> list_;
};

}  // namespace krtest
