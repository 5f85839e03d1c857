// "Notesource": the base of the note sources. The master (the object that
// receives MIDI) parses notes, the sustain pedal, pitch-bend range by RPN,
// pitch bend, aftertouch and all-notes-off, and hands notes to its
// container's voice list; each voice's copy then receives that voice's note
// events. Audio thread only, except Open/Close.
#pragma once

#include <array>
#include <cstdint>

#include "engine/ug_base.h"
#include "engine/voice_list.h"
#include "registry/midi_link.h"

namespace kr {

class ug_notesource : public ug_base, public VoiceNoteSource {
 public:
  struct ChannelBend {
    float bend = 0.0f;   // -1 .. +1
    float range = 2.0f;  // semitones, set by RPN 0
  };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_notesource>(); }
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void HandleEvent(ug_event* event) override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  // A copy hears its notes from the voice list, never MIDI directly.
  void ConnectClone(ug_base& prototype, int voice) override;

  bool IsMaster() const { return master_ == nullptr; }
  const ChannelBend& Bend(int channel) const { return BendTable()[static_cast<std::size_t>(channel & 15)]; }
  int PlayingChannel() const { return playingChannel_; }
  int PlayingNote() const { return playingNote_; }
  bool Sustained(int channel) const { return sustain_[static_cast<std::size_t>(channel & 15)] != 0; }

 protected:
  // The MIDI handler of the master; note handling is replaceable.
  virtual void OnMidi(int time, std::uint32_t message);
  virtual void OnNoteOn(int time, int channel, int note, int velocity);
  virtual void OnNoteOff(int time, int channel, int note, int velocity);
  // Voice-side handlers of the events the voice list and master send.
  virtual void VoiceNoteOn(int time, int channel, int note, int velocity);
  virtual void VoiceNoteOff(int time, int channel, int note, int velocity) {}
  virtual void VoiceBend(int time, float bend) {}
  virtual void VoiceAftertouch(int time, float pressure) {}
  // Voice request for a note on: -1 lets the list choose.
  virtual int VoiceRequest() const { return -1; }

  // The normal release of a note: held by the pedal, or a note off.
  void Release(int time, int channel, int note, int velocity);
  // Sends an event to every voice's note source currently playing on channel.
  void SendToPlayingVoices(int time, int type, int value, int channel);
  std::array<ChannelBend, 16>& BendTable() { return master_ != nullptr ? master_->bendTable_ : bendTable_; }
  const std::array<ChannelBend, 16>& BendTable() const {
    return master_ != nullptr ? master_->bendTable_ : bendTable_;
  }
  ug_notesource* Master() { return master_ != nullptr ? master_ : this; }

  MidiInEndpoint midiIn_;
  std::int16_t channel_ = -1;
  int playingChannel_ = -1;
  int playingNote_ = -1;

 private:
  void OnControlChange(int time, int channel, int controller, int value);

  ug_notesource* master_ = nullptr;  // null on the master itself
  std::array<ChannelBend, 16> bendTable_{};
  std::array<std::uint8_t, 16> sustain_{};
  std::int16_t rpn_ = 0;
  std::int16_t dataEntry_ = 0;
  bool opened_ = false;
};

}  // namespace kr
