// The audio object of a "VST Plugin" module: runs the hosted plug-in that
// its document module loaded, on the audio thread. The module's audio
// inputs feed the plug-in and its outputs take the plug-in's; MIDI into
// "MIDI In" reaches the plug-in at its sample offset, the plug-in's MIDI
// leaves by "MIDI Out", and controllers may automate its parameters.
//
// Two ways of calling it: directly on the module's own sample blocks (no
// copy), or, with "Data Alignment Fix", always in pieces of 32 samples on
// buffers of its own (the plug-in then lags 32 samples behind, and its MIDI
// is queued 32 samples later). Either way it is told the block size it is
// really given. With "ProcessReplacing Fix" (or a plug-in that cannot
// replace) the accumulating entry is used on cleared outputs.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/ug_base.h"
#include "external/vst_event_buffers.h"
#include "registry/midi_link.h"
#include "vst/vst2.h"

namespace kr {

class VST_Wrapper;
class VstPluginModule;
class parameter_vst;

class ug_vst_plugin final : public ug_base {
 public:
  static constexpr int kChunkFrames = 32;  // what the chunked mode passes each call
  static constexpr int kInternalFrames = 2 * kChunkFrames;
  // OnUiNotify kind: a hosted parameter's controller binding changed.
  static constexpr int kBindingsChanged = 8;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_vst_plugin>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;
  void QueueMidi(int time, std::uint32_t message, UPlug* input) override;
  void HandleEvent(ug_event* event) override;
  void OnUiNotify(int kind, int value) override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  bool CanSleep() override { return wrapper_ == nullptr && ug_base::CanSleep(); }

  // From the plug-in, through its document module (any thread; only taken
  // on the audio thread inside a processing call of this object).
  void TakePluginEvents(const vst::VstEvents* events);
  const vst::VstTimeInfo* TimeFor(std::int32_t filter);
  vst::VstIntPtr PassSetTime(vst::VstTimeInfo* info);

  // For tests: whether a plug-in runs here, and the chunked mode's state.
  bool Running() const { return wrapper_ != nullptr; }
  bool Chunked() const { return chunked_; }
  std::size_t DroppedMidi() const { return queue_.Dropped(); }

 private:
  void ChooseProcessFunction();
  void Direct(int offset, int count);
  void Chunked(int offset, int count);
  void Silent(int offset, int count);
  // Events due in [start, start + count) into the list, and sent.
  void BuildEvents(int start, int count);
  void SendEvents();
  // One call of the plug-in's processing; false when it broke.
  bool CallPlugin(float** ins, float** outs, int count);
  void Broke();
  void AutomateController(int controller, int value);
  void BuildControllerLists();
  void TellBlockSize(bool resumed);
  bool InsideOwnCall() const;

  // Plug values.
  MidiInEndpoint midiIn_;
  MidiOutEndpoint midiOut_;
  std::int16_t channel_ = -1;
  bool replacingFix_ = false;
  bool alignmentFix_ = false;
  bool midiAutomation_ = false;

  VstPluginModule* module_ = nullptr;
  VST_Wrapper* wrapper_ = nullptr;
  UPlug* midiOutPlug_ = nullptr;
  std::vector<float*> moduleIns_, moduleOuts_;
  std::vector<float*> pluginIns_, pluginOuts_;
  // Stand-ins where the plug-in has more channels than the module has plugs.
  std::vector<float> silence_;
  std::vector<std::vector<float>> scratch_;
  // The chunked mode's buffers, one per plug-in channel: inputs collect
  // there, the plug-in writes the second half of the outputs.
  std::vector<std::array<float, kInternalFrames>> chunkIns_, chunkOuts_;
  int inFill_ = 0;
  int outRead_ = kInternalFrames / 2;
  bool chunked_ = false;
  bool replacing_ = true;
  bool broken_ = false;

  VstMidiQueue queue_;
  VstEventList eventList_;
  std::int16_t nrpn_ = -1, rpn_ = -1;
  std::array<std::vector<parameter_vst*>, 128> controllerLists_;

  // The processing call under way: its first sample's time and length.
  std::atomic<bool> inCall_{false};
  int callStart_ = 0;
  int callFrames_ = 0;
  vst::VstTimeInfo timeInfo_{};
};

}  // namespace kr
