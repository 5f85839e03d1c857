// Note distribution: which voice a note on takes, and how note offs, the
// sustain pedal and program changes reach the voices.
#include "engine/voice_list.h"

#include "engine/ug_base.h"

namespace kr {

int VoiceList::NoteOn(int time, int channel, int note, int velocity, int request) {
  int index = 0;
  if (request >= 0) {
    index = request < VoiceCount() ? request : 0;
  } else {
    index = ChooseVoice(time, channel, note);
  }
  voices[static_cast<std::size_t>(index)]->NoteOn(time, channel, note, velocity);
  return index;
}

int VoiceList::ChooseVoice(int time, int channel, int note) {
  // Voice 0 is taken without a search until it has played; testing its
  // note field against 0 instead would let a held note 0 be stolen while
  // other voices are free.
  if (!FirstVoice().played) return 0;
  int oldestRelease = -1;
  int oldestNoteOn = -1;
  for (int i = VoiceCount() - 1; i >= 0; --i) {
    Voice& v = *voices[static_cast<std::size_t>(i)];
    if (v.played && v.channel == channel && v.note == note && !v.restruck) v.Restrike(time, channel, note, 64);
    // Strictly smaller wins: among equal values the highest index stays.
    if (oldestRelease < 0 || v.releaseTime < voices[static_cast<std::size_t>(oldestRelease)]->releaseTime)
      oldestRelease = i;
    if (oldestNoteOn < 0 || v.noteOnTime < voices[static_cast<std::size_t>(oldestNoteOn)]->noteOnTime)
      oldestNoteOn = i;
  }
  // Voices are all made when the graph is built, so none is added here.
  if (voices[static_cast<std::size_t>(oldestRelease)]->Held()) return oldestNoteOn;
  return oldestRelease;
}

int VoiceList::NoteOff(int time, int channel, int note, int velocity) {
  if (note < 0) {
    // All notes off: every voice is released.
    for (int i = VoiceCount() - 1; i >= 0; --i) voices[static_cast<std::size_t>(i)]->NoteOff(time, channel, -1, velocity);
    return -1;
  }
  const int index = FindHeld(channel, note);
  if (index >= 0) voices[static_cast<std::size_t>(index)]->NoteOff(time, channel, note, velocity);
  return index;
}

void VoiceList::Hold(int /*time*/, int channel, int note) {
  const int index = FindHeld(channel, note);
  if (index >= 0) voices[static_cast<std::size_t>(index)]->pedalHeld = true;
}

void VoiceList::PedalUp(int time, int channel) {
  for (int i = VoiceCount() - 1; i >= 0; --i) {
    Voice& v = *voices[static_cast<std::size_t>(i)];
    if (v.pedalHeld && v.channel == channel) v.NoteOff(time, v.channel, v.note, 64);
  }
}

int VoiceList::FindHeld(int channel, int note) const {
  for (int i = VoiceCount() - 1; i >= 0; --i) {
    const Voice& v = *voices[static_cast<std::size_t>(i)];
    if (v.channel == channel && v.note == note && v.Held() && !v.pedalHeld) return i;
  }
  return -1;
}

void VoiceList::ProgramChange(int time, int program, const void* automation) {
  for (int i = VoiceCount() - 1; i >= 0; --i) {
    Voice& v = *voices[static_cast<std::size_t>(i)];
    if (!v.open) continue;
    for (ug_base* m : v.modules)
      if (m->automation == automation) m->QueueProgramChange(time, program);
  }
}

void VoiceList::OpenVoices(KrAudioMaster* master) {
  for (auto& v : voices) v->Open(master);
}

void VoiceList::CloseVoices() {
  for (auto it = voices.rbegin(); it != voices.rend(); ++it) (*it)->Close();
}

void VoiceList::DestroyVoiceCopies() {
  voices.resize(1);
  while (!copies_.empty()) copies_.pop_back();
}

VoiceNoteSource* VoiceList::NoteSourceOfVoice(int voiceTag) {
  const int index = voiceTag > 0 && voiceTag < VoiceCount() ? voiceTag : 0;
  return dynamic_cast<VoiceNoteSource*>(voices[static_cast<std::size_t>(index)]->noteReceiver);
}

void VoiceNoteSource::AttachEnvelope(ug_base& envelope) {
  for (int i = 0; i < envelopeCount_; ++i)
    if (envelopes_[static_cast<std::size_t>(i)] == &envelope) return;
  if (envelopeCount_ < kMaxEnvelopes) envelopes_[static_cast<std::size_t>(envelopeCount_++)] = &envelope;
}

void VoiceNoteSource::DetachEnvelope(ug_base& envelope) {
  for (int i = 0; i < envelopeCount_; ++i) {
    if (envelopes_[static_cast<std::size_t>(i)] != &envelope) continue;
    envelopes_[static_cast<std::size_t>(i)] = envelopes_[static_cast<std::size_t>(--envelopeCount_)];
    return;
  }
}

}  // namespace kr
