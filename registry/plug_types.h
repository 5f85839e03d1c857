// Vocabulary shared by the document, the engine and the module family:
// plug data types, directions and states.
#pragma once

#include <cstdint>

namespace kr {

enum PlugDataType : std::int32_t {
  DT_ENUM = 0,
  DT_TEXT = 1,
  DT_MIDI = 2,
  DT_DOUBLE = 3,
  DT_BOOL = 4,
  DT_AUDIO = 5,
  DT_FLOAT = 6,
  DT_INT = 8,
};

enum PlugDirection : std::int32_t {
  DR_IN = 0,
  DR_OUT = 1,
  DR_CONTAINER_IO = 2,
  DR_PARAMETER = 3,
};

enum PlugState : std::int32_t {
  ST_STOP = 0,    // constant for a whole sub-block period
  ST_STATIC = 1,  // changed at one instant, constant after it
  ST_RUN = 2,     // may change at every sample
};

}  // namespace kr
