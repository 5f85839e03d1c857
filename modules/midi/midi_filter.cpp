#include "modules/midi/midi_filter.h"

void ug_midi_filter::ListInterface(InterfaceList& list) {
  list.emplace_back(&midiIn_, &typeid(MidiInEndpoint), "MIDI In", DR_IN, DT_MIDI, "", "", 0, "MIDI Input Plug");
  list.emplace_back(&midiOut_, &typeid(MidiOutEndpoint), "MIDI Out", DR_OUT, DT_MIDI, "", "", 0, "MIDI Output Plug");
  const auto range = [&](std::int16_t* value, const char* name, const char* text, const char* listText, const char* hint) {
    list.emplace_back(value, &typeid(std::int16_t), name, DR_IN, DT_ENUM, text, listText, PF_CONTROL, hint);
  };
  range(&channelLo_, "Channel Lo", "1", "range 1,16", "MIDI Channel Low");
  range(&channelHi_, "Channel Hi", "16", "range 1,16", "MIDI Channel Hi");
  range(&noteLo_, "Note Lo", "0", "range 0,127", "Note Low");
  range(&noteHi_, "Note Hi", "127", "range 0,127", "Note Hi");
  range(&velocityLo_, "Velocity Lo", "0", "range 0,127", "Velocity Low");
  range(&velocityHi_, "Velocity Hi", "127", "range 0,127", "Velocity Hi");
}

bool ug_midi_filter::Passes(std::uint32_t message) const {
  const int status = static_cast<int>(message & 0xFFu);
  if (status >= 0xF0) return true;
  const int channel = (status & 0x0F) + 1;
  if (channel < channelLo_ || channel > channelHi_) return false;
  const int note = static_cast<int>((message >> 8) & 0x7Fu);
  const int velocity = static_cast<int>((message >> 16) & 0x7Fu);
  const bool noteInRange = note >= noteLo_ && note <= noteHi_;
  switch (status & 0xF0) {
    case 0x80:
      return noteInRange;
    case 0x90:
      return noteInRange && velocity >= velocityLo_ && velocity <= velocityHi_;
    default:
      return true;
  }
}

void ug_midi_filter::OnMidi(int time, std::uint32_t message) {
  if (!Passes(message)) return;
  UPlug* out = GetPlug(PN_MIDI_OUT);
  out->SendMidi(time, message);
  out->WakeReceivers();
}
