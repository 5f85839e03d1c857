// One voice: the note calls it receives and how its modules are suspended,
// resumed, opened and closed.
#include "engine/note_events.h"
#include "engine/ug_base.h"
#include "engine/ug_event.h"
#include "engine/voice_list.h"

namespace kr {

namespace {

bool SuspendsWithVoice(const ug_base* m) {
  return (m->flags & UGF_POLYPHONIC) != 0 && (m->flags & UGF_NEVER_SUSPEND_WITH_VOICE) == 0;
}

void SendNote(ug_base* receiver, int type, int time, int channel, int note, int velocity) {
  if (receiver == nullptr) return;
  receiver->AddEvent(receiver->NewEvent(time, type, channel, IntRef(velocity), note), true);
}

}  // namespace

void Voice::NoteOn(int time, int channel_, int note_, int velocity) {
  channel = static_cast<std::int16_t>(channel_);
  note = static_cast<std::int16_t>(note_);
  noteOnTime = 0;
  releaseTime = kHeld;
  restruck = false;
  pedalHeld = false;
  played = true;
  if (suspended) Resume(time);
  if (noteReceiver == nullptr) return;
  noteOnTime = time;
  SendNote(noteReceiver, UET_NOTE_ON, time, channel_, note_, velocity);
}

void Voice::NoteOff(int time, int channel_, int note_, int /*velocity*/) {
  pedalHeld = false;
  releaseTime = time;
  SendNote(noteReceiver, UET_NOTE_OFF, time, channel_, note_, 0);
}

void Voice::Restrike(int time, int channel_, int note_, int velocity) {
  pedalHeld = false;
  restruck = true;
  releaseTime = time;
  SendNote(noteReceiver, UET_NOTE_RESTRIKE, time, channel_, note_, velocity);
}

void Voice::Suspend() {
  if (Held() || suspended) return;
  for (ug_base* m : modules)
    if (SuspendsWithVoice(m)) m->Suspend();
  suspended = true;
  releaseTime = 0;
}

void Voice::Resume(int time) {
  for (ug_base* m : modules) {
    if (!SuspendsWithVoice(m)) continue;
    m->Resume();
    m->VoiceResumed(time);
  }
  suspended = false;
}

void Voice::Open(KrAudioMaster* master) {
  for (ug_base* m : modules) {
    m->audioMaster = master;
    m->voiceTag = number;
    m->Open();
  }
  suspended = false;
  open = true;
}

void Voice::Close() {
  if (!open) return;
  for (ug_base* m : modules) m->Close();
  open = false;
}

}  // namespace kr
