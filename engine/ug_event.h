// One time-stamped event for a module (or the audio master). Events come from
// an EventPool and are owned by the event list they sit in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kr {

class ug_base;
class EventPool;

enum UgEventType : std::int32_t {
  UET_STAT_CHANGE = 0,    // value = state, ref = connector, extra = value snapshot
  UET_SUSPEND = 1,        // ref = voice
  UET_MIDI = 2,           // value = MIDI word, ref = input plug
  UET_RUN_FUNCTION = 3,
  UET_IO_FUNC = 4,
  UET_UI_NOTIFY = 5,      // value = kind, extra = argument
  UET_PROG_CHANGE = 6,    // value = program
  UET_NOTE_ON = 7,
  UET_NOTE_OFF = 8,
  UET_NOTE_RESTRIKE = 9,
  UET_PITCH_BEND = 10,
  UET_AFTERTOUCH = 11,
  UET_GLIDE = 12,
  UET_DRUM_LEVEL = 14,
  UET_CONTROL_VALUE = 15,
  UET_PARTNER_STATE = 19, // value = state the partner sets on its output
  UET_SET_PLUG_VALUE = 20,// ref = plug, extra or attached text = value
  UET_CALL = 21,          // call = function called with the module
};

// Diagnostic name of an event type: names for 0-6, "UnKnowen" otherwise.
std::string_view EventTypeName(int type);

using EventCall = void (*)(ug_base& module);

struct ug_event {
  std::int32_t time = 0;    // absolute engine time (compared unsigned in lists)
  std::int32_t type = 0;
  std::int32_t value = 0;
  void* ref = nullptr;
  std::int32_t extra = 0;
  // The text a UET_SET_PLUG_VALUE carries to a text plug. The sender keeps
  // it (a preallocated buffer that outlives the event), so no event owns
  // heap data and the audio thread never frees any.
  const std::string* attached = nullptr;
  EventCall call = nullptr;  // UET_CALL only

  // Intrusive list links: the event list needs no separate nodes.
  ug_event* prev = nullptr;
  ug_event* next = nullptr;
  EventPool* home = nullptr;  // pool to return to; null = heap event

  void Reset() {
    time = type = value = extra = 0;
    ref = nullptr;
    attached = nullptr;
    call = nullptr;
    prev = next = nullptr;
  }
};

}  // namespace kr
