// The MIDI item lists, for the MIDI modules (they live in registry/, since
// the panel offers them too).
#pragma once

#include "registry/midi_lists.h"
