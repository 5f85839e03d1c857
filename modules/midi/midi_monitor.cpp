#include "modules/midi/midi_monitor.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_midi_monitor::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_monitor> kPlugs[] = {
      {.name = "MIDI In", .type = DT_MIDI, .hint = "MIDI Input Plug", .bind = &ug_midi_monitor::midiIn_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

std::size_t ug_midi_monitor::Describe(std::uint32_t message, char* out, std::size_t size) {
  const unsigned status = message & 0xFFu, d1 = (message >> 8) & 0x7Fu, d2 = (message >> 16) & 0x7Fu;
  const unsigned channel = (status & 0x0Fu) + 1;
  int n = 0;
  switch (status & 0xF0u) {
    case 0x80: n = std::snprintf(out, size, "Ch %u Note Off %u", channel, d1); break;
    case 0x90:
      n = d2 == 0 ? std::snprintf(out, size, "Ch %u Note Off %u", channel, d1)
                  : std::snprintf(out, size, "Ch %u Note On %u vel %u", channel, d1, d2);
      break;
    case 0xA0: n = std::snprintf(out, size, "Ch %u Aftertouch %u = %u", channel, d1, d2); break;
    case 0xB0: n = std::snprintf(out, size, "Ch %u Control %u = %u", channel, d1, d2); break;
    case 0xC0: n = std::snprintf(out, size, "Ch %u Program %u", channel, d1); break;
    case 0xD0: n = std::snprintf(out, size, "Ch %u Pressure %u", channel, d1); break;
    case 0xE0: n = std::snprintf(out, size, "Ch %u Pitch Bend %u", channel, d1 | d2 << 7); break;
    default: n = std::snprintf(out, size, "System %02X %u %u", status, d1, d2); break;
  }
  return n < 0 ? 0 : std::min(static_cast<std::size_t>(n), size - 1);
}

void ug_midi_monitor::OnMidi(int, std::uint32_t message) {
  if (audioMaster == nullptr) return;
  char line[48];
  const std::size_t n = Describe(message, line, sizeof line);
  audioMaster->Host().PostPrint(*this, std::string_view(line, n));
}

}  // namespace kr
