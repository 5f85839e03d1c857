#include "modules/mix/ug_adder_midi.h"

#include "registry/plug_declaration.h"

namespace kr {

void ug_adder_midi::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_adder_midi> kPlugs[] = {
      {.name = "Out", .direction = DR_OUT, .type = DT_MIDI},
      {.name = "In", .type = DT_MIDI, .flags = PF_SUM},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_adder_midi::OnMidi(int time, std::uint32_t message) { GetPlug(0)->SendMidi(time, message); }

}  // namespace kr
