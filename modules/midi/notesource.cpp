#include "modules/midi/notesource.h"

#include "engine/note_events.h"
#include "modules/midi/midi_channel_lists.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
constexpr const char* kChannelList = midi_lists::kChannelOrAll;
constexpr int kChannelPlug = 1;
}  // namespace

std::unique_ptr<ug_base> ug_notesource::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  if (auto* source = dynamic_cast<ug_notesource*>(copy.get())) source->master_ = Master();
  return copy;
}

void ug_notesource::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_notesource> kPlugs[] = {
      {.name = "MIDI In", .type = DT_MIDI, .bind = &ug_notesource::midiIn_},
      {.name = "Channel",
       .type = DT_ENUM,
       .defaultText = "-1",
       .list = kChannelList,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel",
       .bind = &ug_notesource::channel_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_notesource::Open() {
  if (IsMaster()) {
    bendTable_.fill(ChannelBend{});
    sustain_.fill(0);
  }
  midiIn_.channel = channel_;
  ug_base::Open();
  opened_ = true;
}

void ug_notesource::ConnectClone(ug_base& prototype, int voice) {
  ug_base::ConnectClone(prototype, voice);
  UPlug* midi = GetPlug(0);
  while (!midi->connections.empty()) Disconnect(midi->connections.back());
}

void ug_notesource::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c == nullptr || c->to != GetPlug(kChannelPlug)) return;
  if (midiIn_.channel == channel_) return;
  midiIn_.channel = channel_;
  // Notes begun on the old channel would never hear their note offs.
  if (IsMaster() && voiceList != nullptr) voiceList->NoteOff(time, -1, -1, 0);
}

void ug_notesource::HandleEvent(ug_event* event) {
  const int t = event->time;
  switch (event->type) {
    case UET_MIDI:
      if (IsMaster()) OnMidi(t, static_cast<std::uint32_t>(event->value));
      break;
    case UET_NOTE_ON:
      VoiceNoteOn(t, event->value, event->extra, RefInt(event->ref));
      break;
    case UET_NOTE_OFF:
      VoiceNoteOff(t, event->value, event->extra, RefInt(event->ref));
      break;
    case UET_NOTE_RESTRIKE:
      VoiceNoteOff(t, event->value, event->extra, RefInt(event->ref));
      // The voice's envelopes fall to 0 before its next note starts.
      for (ug_base* envelope : Envelopes())
        envelope->AddEvent(envelope->NewEvent(t, UET_NOTE_RESTRIKE, event->value, event->ref, event->extra), true);
      break;
    case UET_PITCH_BEND:
      VoiceBend(t, static_cast<float>(event->value) * (1.0f / 8192.0f));
      break;
    case UET_AFTERTOUCH:
      VoiceAftertouch(t, static_cast<float>(event->value) * (1.0f / 127.0f));
      break;
    case UET_SUSPEND:
      if (voiceList != nullptr && event->ref != nullptr) voiceList->Suspend(*static_cast<Voice*>(event->ref));
      break;
    default:
      ug_base::HandleEvent(event);
      break;
  }
}

void ug_notesource::OnMidi(int time, std::uint32_t message) {
  int status = static_cast<int>(message & 0xF0u);
  const int channel = static_cast<int>(message & 0x0Fu);
  const int d1 = static_cast<int>((message >> 8) & 0x7Fu);
  const int d2 = static_cast<int>((message >> 16) & 0x7Fu);
  if ((message & 0xFFu) >= 0xF0u) return;  // system messages
  if (status == 0x90 && d2 == 0) status = 0x80;
  switch (status) {
    case 0x80:
      OnNoteOff(time, channel, d1, d2);
      break;
    case 0x90:
      OnNoteOn(time, channel, d1, d2);
      break;
    case 0xB0:
      OnControlChange(time, channel, d1, d2);
      break;
    case 0xD0:
      SendToPlayingVoices(time, UET_AFTERTOUCH, d1, channel);
      break;
    case 0xE0: {
      const int bend = d1 + 128 * d2 - 8192;
      BendTable()[static_cast<std::size_t>(channel)].bend = static_cast<float>(bend) / 8192.0f;
      SendToPlayingVoices(time, UET_PITCH_BEND, bend, channel);
      break;
    }
    default:
      break;  // program change: no hook in these modules
  }
}

void ug_notesource::OnNoteOn(int time, int channel, int note, int velocity) {
  if (voiceList != nullptr) voiceList->NoteOn(time, channel, note, velocity, VoiceRequest());
}

void ug_notesource::OnNoteOff(int time, int channel, int note, int velocity) {
  Release(time, channel, note, velocity);
}

void ug_notesource::Release(int time, int channel, int note, int velocity) {
  if (voiceList == nullptr) return;
  if (Sustained(channel)) {
    voiceList->Hold(time, channel, note);
  } else {
    voiceList->NoteOff(time, channel, note, velocity);
  }
}

void ug_notesource::OnControlChange(int time, int channel, int controller, int value) {
  const auto ch = static_cast<std::size_t>(channel);
  switch (controller) {
    case 6:
      if (rpn_ != 0) break;
      dataEntry_ = static_cast<std::int16_t>((value << 7) | (dataEntry_ & 0x7F));
      BendTable()[ch].range = static_cast<float>(dataEntry_) / 128.0f;
      break;
    case 38:
      if (rpn_ != 0) break;
      dataEntry_ = static_cast<std::int16_t>((dataEntry_ & 0x3F80) + value);
      BendTable()[ch].range = static_cast<float>(dataEntry_) / 128.0f;
      break;
    case 64:
    case 69:
      if (value > 63) {
        sustain_[ch] = 1;
      } else if (sustain_[ch] != 0) {
        sustain_[ch] = 0;
        if (voiceList != nullptr) voiceList->PedalUp(time, channel);
      }
      break;
    case 98:
    case 99:
      rpn_ = -1;
      break;
    case 100:
      rpn_ = static_cast<std::int16_t>((rpn_ & 0x3F80) + value);
      break;
    case 101:
      rpn_ = static_cast<std::int16_t>((value << 7) | (rpn_ & 0x7F));
      break;
    case 120:
    case 123:
      if (voiceList != nullptr) voiceList->NoteOff(time, channel, -1, 64);
      break;
    default:
      break;  // bank select reaches a hook that does nothing here
  }
}

void ug_notesource::SendToPlayingVoices(int time, int type, int value, int channel) {
  if (voiceList == nullptr) return;
  for (auto& voice : voiceList->voices) {
    // A suspended voice takes the channel's bend at its next note on; events
    // queued on it meanwhile would only pile up.
    if (voice->suspended) continue;
    auto* source = dynamic_cast<ug_notesource*>(voice->noteReceiver);
    if (source == nullptr || source->playingChannel_ != channel) continue;
    source->AddEvent(source->NewEvent(time, type, value), true);
  }
}

void ug_notesource::VoiceNoteOn(int time, int channel, int note, int velocity) {
  playingChannel_ = channel;
  playingNote_ = note;
}

}  // namespace kr
