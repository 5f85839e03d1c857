#include "modules/io/midi_out.h"

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_midi_out::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_out> kPlugs[] = {
      {.at = PN_MIDI_IN, .name = "MIDI In", .type = DT_MIDI, .hint = "MIDI sent to the host", .bind = &ug_midi_out::midiIn_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_midi_out::OnMidi(int time, std::uint32_t message) {
  if (OutgoingMidiRing* ring = audioMaster != nullptr ? audioMaster->HostMidiOut() : nullptr)
    ring->Write(static_cast<std::uint32_t>(time), message);
}

}  // namespace kr
