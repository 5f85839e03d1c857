// The hidden MIDI connections that put a container's MIDI automator before,
// and its output module after, the objects they serve. They carry no MIDI;
// they only fix the sort order.
#pragma once

namespace kr {

class ug_container;

// Plug positions of the modules taking part.
namespace automation_plugs {
inline constexpr int kAutomatorHiddenOutput = 3;  // "Hidden Output" of "MIDI Automator"
inline constexpr int kOutputHiddenInput = 1;      // "Hidden Input" of "MIDI Automator Output"
inline constexpr int kControlMidiIn = 1;          // a control's "MIDI In"
inline constexpr int kControlMidiOut = 2;         // a control's "MIDI Out"
inline constexpr int kHelperMidiIn = 0;           // the patch-parameter setter's and watcher's "MIDI In"
inline constexpr int kHelperMidiOut = 1;          // ... and "MIDI Out"
}  // namespace automation_plugs

// When the container has recorded an automator and its output module, wires
// every object of its first voice list, in list order: a control that
// automation can move and that has a controller number gets the automator's
// "Hidden Output" on its "MIDI In" and its "MIDI Out" on the output module's
// "Hidden Input"; the patch-parameter setter only the first, the watcher only
// the second. A connection whose plug is missing (an object made from a
// damaged document) is left out.
void RouteMidiAutomation(ug_container& container);

}  // namespace kr
