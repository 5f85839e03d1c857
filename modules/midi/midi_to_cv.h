// "Midi to CV": the main note source. Each voice's copy drives Gate, Pitch,
// Velocity and Aftertouch voltages; the master adds mono mode with note
// priority, retrigger and portamento.
#pragma once

#include <array>

#include "modules/midi/notesource.h"
#include "modules/midi/output_smoother.h"

namespace kr {

class ug_midi_to_cv : public ug_notesource {
 public:
  enum Priority : std::int16_t { kPriorityOff = 0, kPriorityLow = 1, kPriorityHigh = 2, kPriorityLast = 3 };

  ug_midi_to_cv();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_to_cv>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void HandleEvent(ug_event* event) override;

  // The pitch of a MIDI note as a sample value: 5 V (0.5) at note 69.
  static float NotePitch(int note) { return static_cast<float>(note - 69) * (1.0f / 120.0f) + 0.5f; }
  // Glide time in seconds for a "Portamento Time" sample value.
  static double GlideSeconds(float portamento);

 protected:
  void OnNoteOn(int time, int channel, int note, int velocity) override;
  void OnNoteOff(int time, int channel, int note, int velocity) override;
  void VoiceNoteOn(int time, int channel, int note, int velocity) override;
  void VoiceNoteOff(int time, int channel, int note, int velocity) override;
  void VoiceBend(int time, float bend) override;
  void VoiceAftertouch(int time, float pressure) override;
  int VoiceRequest() const override { return monoMode_ != 0 ? 0 : -1; }

 private:
  // The master's portamento tracker, evaluated by time so that the result
  // does not depend on how blocks are cut.
  struct Tracker {
    float from = 0.0f;
    float target = 0.0f;
    float step = 0.0f;  // per sample
    int start = 0;
    float At(int time) const;
  };

  void PlayNote(int time, int channel, int note, int velocity);
  void Replay(int time, int channel, int releasedNote, int note);
  void StartGlide(int time, float from, float to);
  void Activate();
  static void ApplyGate(ug_base& module);
  void Process(int offset, int count);
  void ProcessPitch(int offset, int count);

  // Plug values.
  std::int16_t bendRange_ = 12;
  std::int16_t monoMode_ = 0;
  std::int16_t retrigger_ = 1;
  std::int16_t priority_ = kPriorityLast;
  float* gateOut_ = nullptr;
  float* pitchOut_ = nullptr;
  float* velocityOut_ = nullptr;
  float* aftertouchOut_ = nullptr;
  float* portamentoIn_ = nullptr;

  // Master: keys, velocities, note history and the glide tracker.
  std::array<std::uint8_t, 128> keyDown_{};
  std::array<std::uint8_t, 128> keyVelocity_{};
  std::array<std::int8_t, 16> history_{};
  int writeIndex_ = -1;
  int lastNote_ = -1;
  Tracker tracker_;

  // Voice: pitch and bend glides, and the three smoothed outputs.
  float pitch_ = 0.0f;
  float pitchTarget_ = 0.0f;
  float pitchStep_ = 0.0f;
  int pitchSteps_ = 0;  // samples left in the pitch glide
  float bend_ = 0.0f;
  float bendTarget_ = 0.0f;
  float bendStep_ = 0.0f;
  int bendSteps_ = 0;
  int pitchSettle_ = 0;
  float gateLevel_ = 0.0f;
  OutputSmoother gate_;
  OutputSmoother velocity_;
  OutputSmoother aftertouch_;
};

}  // namespace kr
