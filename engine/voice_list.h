// The voices of a polyphonic container. Voice 0 holds every module of the
// container that is not a per-voice copy; voices 1 .. polyphony - 1 hold the
// copies made when the graph is built. Note sources pick, release and
// suspend voices through the list; everything here runs on the audio thread
// except building, which runs while the engine is stopped.
#pragma once

#include <array>
#include <span>

#include <cstdint>
#include <memory>
#include <vector>

#include "registry/plug_types.h"

namespace kr {

class KrAudioMaster;
class ug_base;
class VoiceList;
struct Voice;

// A note source as the voice list sees it (implemented by the note-source
// modules). The voice list tells each copy which list and voice it serves.
class VoiceNoteSource {
 public:
  virtual ~VoiceNoteSource() = default;
  // Melodic sources get polyphony - 1 copies; the drum trigger tags voices instead.
  virtual bool PlaysMelodies() const { return true; }
  // Drum trigger: tags the modules fed by each used slot with its voice number.
  virtual void TagDrumVoices() {}
  virtual void AttachVoice(VoiceList& list, Voice& voice) {
    voiceList = &list;
    ownVoice = &voice;
  }

  // The envelopes of this source's voice, told when the voice is struck
  // again so they fall to 0 fast. Fixed room, filled as the envelopes open
  // (GUI thread, engine stopped); envelopes beyond it are not told.
  static constexpr int kMaxEnvelopes = 16;
  void AttachEnvelope(ug_base& envelope);
  void DetachEnvelope(ug_base& envelope);
  std::span<ug_base* const> Envelopes() const { return {envelopes_.data(), static_cast<std::size_t>(envelopeCount_)}; }

  VoiceList* voiceList = nullptr;
  Voice* ownVoice = nullptr;

 private:
  std::array<ug_base*, kMaxEnvelopes> envelopes_{};
  int envelopeCount_ = 0;
};

// A module that watches one voice (the voice monitor); told its voice when
// the voice is built.
class VoiceWatcher {
 public:
  virtual ~VoiceWatcher() = default;
  virtual void WatchVoice(Voice& voice) = 0;
};

struct Voice {
  static constexpr int kHeld = 0x7FFFFFFF;

  std::vector<ug_base*> modules;
  ug_base* noteReceiver = nullptr;
  int releaseTime = 0;
  int noteOnTime = 0;
  std::int16_t channel = 0;
  std::int16_t note = 0;
  bool restruck = false;
  int number = 0;
  bool suspended = false;
  bool open = false;
  bool pedalHeld = false;
  bool played = false;  // has had a note on since the engine started

  void NoteOn(int time, int channel, int note, int velocity);
  void NoteOff(int time, int channel, int note, int velocity);
  void Restrike(int time, int channel, int note, int velocity);
  // Nothing while the note is held or already suspended.
  void Suspend();
  // Resumed for a note at time.
  void Resume(int time);
  void Open(KrAudioMaster* master);
  void Close();
  bool Held() const { return releaseTime == kHeld; }
};

class VoiceList {
 public:
  VoiceList() { voices.push_back(std::make_unique<Voice>()); }
  virtual ~VoiceList() = default;

  Voice& FirstVoice() { return *voices.front(); }
  int VoiceCount() const { return static_cast<int>(voices.size()); }
  // The "Polyphony" setting of the owner.
  virtual int MaxVoices() const { return 1; }

  // Note distribution (audio thread). request -1 lets the list choose; an
  // index beyond the last voice means voice 0. Returns the voice index.
  int NoteOn(int time, int channel, int note, int velocity, int request = -1);
  // A note below 0 releases every voice, whatever its channel or state.
  // Returns the voice index or -1.
  int NoteOff(int time, int channel, int note, int velocity);
  void Hold(int time, int channel, int note);
  void PedalUp(int time, int channel);
  int FindHeld(int channel, int note) const;
  // Queues the program on every module of every open voice whose MIDI
  // automation is the given one.
  void ProgramChange(int time, int program, const void* automation);
  void Suspend(Voice& voice) { voice.Suspend(); }
  // The note source of the voice a module plays in (voice 0 for a module
  // that is not per-voice); null when there is none.
  VoiceNoteSource* NoteSourceOfVoice(int voiceTag);

  // Graph building (engine stopped): decides which modules of voice 0 are
  // per-voice, inserting combiners and voice monitors; the container
  // supplies new modules through MakeModule.
  void MarkVoiceModules();
  // After the sort orders are known: orders each voice's modules and makes
  // the voice copies of a melodic note source.
  void BuildVoices();

  void OpenVoices(KrAudioMaster* master);
  void CloseVoices();
  // Destroys the voice copies (before the modules of voice 0 go).
  void DestroyVoiceCopies();

  std::vector<std::unique_ptr<Voice>> voices;

 protected:
  // A new module from the registry, placed in voice 0 of this list (null if
  // the registry has no such entry).
  virtual ug_base* MakeModule(const char* registryName) { return nullptr; }
  // A combiner for a per-voice output feeding a shared input.
  virtual ug_base* MakeCombiner(PlugDataType type) { return nullptr; }
  // Reports a second note source (the module's own message box).
  virtual void ReportSecondNoteSource(ug_base& module);

 private:
  void FindNoteReceiver();
  // Drum trigger: tagged modules move to the voice of their tag.
  void MakeDrumVoices(VoiceNoteSource& source);
  void InsertCombiners(std::vector<ug_base*>& perVoice);
  void InsertVoiceMonitor(const std::vector<ug_base*>& perVoice);
  Voice& CloneVoice(int number);
  int ChooseVoice(int time, int channel, int note);

  std::vector<std::unique_ptr<ug_base>> copies_;
};

}  // namespace kr
