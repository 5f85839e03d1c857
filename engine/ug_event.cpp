#include "engine/ug_event.h"

#include <array>

std::string_view EventTypeName(int type) {
  static constexpr std::array<std::string_view, 7> kNames = {
      "UET_STAT_CHANGE", "UET_SUSPEND", "UET_MIDI", "UET_RUN_FUNCTION",
      "UET_IO_FUNC",     "UET_UI_NOTIFY", "UET_PROG_CHANGE",
  };
  if (type >= 0 && type < static_cast<int>(kNames.size())) return kNames[static_cast<std::size_t>(type)];
  return "UnKnowen";
}
