// Compiles the record-size checks of the VST 2 interface into every build,
// including the 32-bit cross-build where nothing can run.
#include "vst/vst2.h"
