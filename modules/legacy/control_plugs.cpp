#include "modules/legacy/control_plugs.h"

#include "modules/midi/midi_channel_lists.h"

namespace legacy_controls {

void ListControlPlugs(ug_control& c, InterfaceList& list) {
  list.emplace_back(&c.channelSetting, &typeid(std::int16_t), "Channel", DR_IN, DT_ENUM, "-1",
                    midi_lists::kChannelOrAll, PF_HIDDEN | PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE, "MIDI Channel");
  list.emplace_back(&c.midiIn, &typeid(MidiInEndpoint), "MIDI In", DR_IN, DT_MIDI, "0", "", PF_HIDDEN);
  list.emplace_back(&c.midiOut, &typeid(MidiOutEndpoint), "MIDI Out", DR_OUT, DT_MIDI, "", "", PF_HIDDEN);
  list.emplace_back(&c.controllerNumber, &typeid(std::int16_t), "MIDI Controller ID", DR_PARAMETER, DT_ENUM, "-1",
                    midi_lists::kControllers, PF_CONTROL, "Sets which MIDI controller this sends/responds to");
  list.emplace_back(&c.ignoreProgramChange, &typeid(bool), "Ignore Program Change", DR_PARAMETER, DT_BOOL, "0", "", 0,
                    "Prevents this control responding to patch changes from 'Patch Select' module");
  list.emplace_back(&c.nrpnNumber, &typeid(std::int16_t), "MIDI NRPN", DR_PARAMETER, DT_ENUM, "0", "range 0,16255", 0,
                    "Used with Controller 99 and 101 to provide user definable controllers");
}

void ListShowTitle(bool& member, InterfaceList& list) {
  list.emplace_back(&member, &typeid(bool), "Show Title On Panel", DR_PARAMETER, DT_BOOL, "1");
}

void ListHiddenMidi(ug_control& c, InterfaceList& list) {
  list.emplace_back(&c.midiIn, &typeid(MidiInEndpoint), "MIDI In", DR_IN, DT_MIDI, "", "", PF_HIDDEN);
  list.emplace_back(&c.midiOut, &typeid(MidiOutEndpoint), "MIDI Out", DR_OUT, DT_MIDI, "", "", PF_HIDDEN);
}

}  // namespace legacy_controls
