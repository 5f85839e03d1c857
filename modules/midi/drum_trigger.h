// "Drum Trigger": maps percussion notes to fifteen trigger/velocity output
// pairs. Each slot whose outputs are wired gets a voice of its own, so the
// modules it feeds are tagged with that voice when the graph is built.
#pragma once

#include <array>

#include "modules/midi/notesource.h"
#include "modules/midi/output_smoother.h"

namespace kr {

class ug_drum_trigger : public ug_notesource {
 public:
  static constexpr int kSlots = 15;
  static constexpr int kPulseMilliseconds = 20;

  ug_drum_trigger();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_drum_trigger>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void HandleEvent(ug_event* event) override;

  bool PlaysMelodies() const override { return false; }
  void TagDrumVoices() override;

  // The slot a MIDI note plays (-1: none), after the percussion mapping.
  int SlotForNote(int note) const;
  int SlotVoice(int slot) const { return slotVoice_[static_cast<std::size_t>(slot)]; }
  int MinimumPulse() const { return minimumPulse_; }

 protected:
  void OnNoteOn(int time, int channel, int note, int velocity) override;
  void OnNoteOff(int time, int channel, int note, int velocity) override;
  void VoiceNoteOn(int time, int channel, int note, int velocity) override;
  void VoiceNoteOff(int time, int channel, int note, int velocity) override;

 private:
  int SlotNote(int slot) const;
  void Process(int offset, int count);

  std::array<std::int16_t, 4> userNotes_{62, 64, 70, 37};
  float* hatDecayIn_[3] = {};  // open, pedal, closed
  std::array<float*, 2 * kSlots + 1> outs_{};
  std::array<OutputSmoother, kSlots> triggers_;
  std::array<OutputSmoother, kSlots> velocities_;
  OutputSmoother hatDecay_;
  std::array<int, kSlots> noteOnTime_{};
  std::array<int, kSlots> slotVoice_{};
  int minimumPulse_ = 882;
};

}  // namespace kr
