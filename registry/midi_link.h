// The MIDI endpoints of DT_MIDI plugs. MIDI itself travels as UET_MIDI events.
#pragma once

#include <cstdint>

namespace kr {

class UPlug;

struct MidiOutEndpoint {
  UPlug* plug = nullptr;  // the output plug itself once connected
};

struct MidiInEndpoint {
  UPlug* plug = nullptr;         // the input plug once connected
  std::int16_t channel = -1;     // channel filter, -1 = all channels
};

}  // namespace kr
