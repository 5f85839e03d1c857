#include "modules/legacy/control_plugs.h"

#include <iterator>

#include "modules/midi/midi_channel_lists.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace legacy_controls {

namespace {

constexpr PlugDecl<ug_control> kControlPlugs[] = {
    {.name = "Channel",
     .type = DT_ENUM,
     .defaultText = "-1",
     .list = midi_lists::kChannelOrAll,
     .flags = PF_HIDDEN | PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
     .hint = "MIDI Channel",
     .bind = &ug_control::channelSetting},
    {.name = "MIDI In", .type = DT_MIDI, .defaultText = "0", .flags = PF_HIDDEN, .bind = &ug_control::midiIn},
    {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .flags = PF_HIDDEN, .bind = &ug_control::midiOut},
    {.name = "MIDI Controller ID",
     .direction = DR_PARAMETER,
     .type = DT_ENUM,
     .defaultText = "-1",
     .list = midi_lists::kControllers,
     .flags = PF_CONTROL,
     .hint = "Sets which MIDI controller this sends/responds to",
     .bind = &ug_control::controllerNumber},
    {.name = "Ignore Program Change",
     .direction = DR_PARAMETER,
     .type = DT_BOOL,
     .defaultText = "0",
     .hint = "Prevents this control responding to patch changes from 'Patch Select' module",
     .bind = &ug_control::ignoreProgramChange},
    {.name = "MIDI NRPN",
     .direction = DR_PARAMETER,
     .type = DT_ENUM,
     .defaultText = "0",
     .list = "range 0,16255",
     .hint = "Used with Controller 99 and 101 to provide user definable controllers",
     .bind = &ug_control::nrpnNumber},
};
static_assert(std::size(kControlPlugs) == kControlPlugCount && PlugBindingsMatch(kControlPlugs));

constexpr PlugDecl<ug_control> kHiddenMidi[] = {
    {.name = "MIDI In", .type = DT_MIDI, .flags = PF_HIDDEN, .bind = &ug_control::midiIn},
    {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .flags = PF_HIDDEN, .bind = &ug_control::midiOut},
};
static_assert(PlugBindingsMatch(kHiddenMidi));

}  // namespace

void ListControlPlugs(ug_control& c, InterfaceList& list) { ListPlugs(list, c, kControlPlugs); }

void ListShowTitle(bool& member, InterfaceList& list) {
  ListPlug(list,
           PlugDecl<ug_control>{
               .name = "Show Title On Panel", .direction = DR_PARAMETER, .type = DT_BOOL, .defaultText = "1"},
           member);
}

void ListHiddenMidi(ug_control& c, InterfaceList& list) { ListPlugs(list, c, kHiddenMidi); }

}  // namespace legacy_controls

}  // namespace kr
