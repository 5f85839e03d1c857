#include "engine/ug_event.h"

#include <array>
#include <cstddef>
#include <type_traits>

namespace kr {

// The 32-bit layout of an event's first 24 bytes (time, type, value, ref,
// extra, attached), checked where it applies; the call and the list links
// come after them.
#if defined(_WIN32) && defined(__i386__)
static_assert(std::is_standard_layout_v<ug_event>);
static_assert(offsetof(ug_event, time) == 0 && offsetof(ug_event, type) == 4 && offsetof(ug_event, value) == 8);
static_assert(offsetof(ug_event, ref) == 12 && offsetof(ug_event, extra) == 16);
static_assert(offsetof(ug_event, attached) == 20 && offsetof(ug_event, call) == 24);
#endif

std::string_view EventTypeName(int type) {
  static constexpr std::array<std::string_view, 7> kNames = {
      "UET_STAT_CHANGE", "UET_SUSPEND", "UET_MIDI", "UET_RUN_FUNCTION",
      "UET_IO_FUNC",     "UET_UI_NOTIFY", "UET_PROG_CHANGE",
  };
  if (type >= 0 && type < static_cast<int>(kNames.size())) return kNames[static_cast<std::size_t>(type)];
  return "UnKnowen";
}

}  // namespace kr
