// Compiles the record-layout checks of the VST 2 interface into every build.
// The 32-bit Windows layout is the one hosts of the original target expect;
// nothing 32-bit can run on the build machines, so the i686 cross-build proves
// it at compile time, field by field.
#include <cstddef>

#include "vst/vst2.h"

namespace kr {

namespace vst {

#if defined(_WIN32) && defined(__i386__)
static_assert(sizeof(void*) == 4 && sizeof(long) == 4 && alignof(double) == 8);

static_assert(sizeof(AEffect) == 144);
static_assert(offsetof(AEffect, dispatcher) == 4 && offsetof(AEffect, process) == 8);
static_assert(offsetof(AEffect, setParameter) == 12 && offsetof(AEffect, getParameter) == 16);
static_assert(offsetof(AEffect, numPrograms) == 20 && offsetof(AEffect, numParams) == 24);
static_assert(offsetof(AEffect, numInputs) == 28 && offsetof(AEffect, numOutputs) == 32);
static_assert(offsetof(AEffect, flags) == 36 && offsetof(AEffect, resvd1) == 40 && offsetof(AEffect, resvd2) == 44);
static_assert(offsetof(AEffect, initialDelay) == 48 && offsetof(AEffect, ioRatio) == 60);
static_assert(offsetof(AEffect, object) == 64 && offsetof(AEffect, user) == 68);
static_assert(offsetof(AEffect, uniqueID) == 72 && offsetof(AEffect, version) == 76);
static_assert(offsetof(AEffect, processReplacing) == 80 && offsetof(AEffect, processDoubleReplacing) == 84);
static_assert(offsetof(AEffect, future) == 88);

static_assert(sizeof(VstEvent) == 32 && offsetof(VstEvent, data) == 16);
static_assert(sizeof(VstEvents) == 16);
static_assert(offsetof(VstEvents, reserved) == 4 && offsetof(VstEvents, events) == 8);

static_assert(sizeof(VstMidiEvent) == 32);
static_assert(offsetof(VstMidiEvent, byteSize) == 4 && offsetof(VstMidiEvent, deltaFrames) == 8);
static_assert(offsetof(VstMidiEvent, flags) == 12 && offsetof(VstMidiEvent, noteLength) == 16);
static_assert(offsetof(VstMidiEvent, noteOffset) == 20 && offsetof(VstMidiEvent, midiData) == 24);
static_assert(offsetof(VstMidiEvent, detune) == 28 && offsetof(VstMidiEvent, noteOffVelocity) == 29);
static_assert(offsetof(VstMidiEvent, reserved1) == 30 && offsetof(VstMidiEvent, reserved2) == 31);

static_assert(sizeof(VstTimeInfo) == 88);
static_assert(offsetof(VstTimeInfo, sampleRate) == 8 && offsetof(VstTimeInfo, nanoSeconds) == 16);
static_assert(offsetof(VstTimeInfo, ppqPos) == 24 && offsetof(VstTimeInfo, tempo) == 32);
static_assert(offsetof(VstTimeInfo, barStartPos) == 40 && offsetof(VstTimeInfo, cycleStartPos) == 48);
static_assert(offsetof(VstTimeInfo, cycleEndPos) == 56 && offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, timeSigDenominator) == 68 && offsetof(VstTimeInfo, smpteOffset) == 72);
static_assert(offsetof(VstTimeInfo, smpteFrameRate) == 76 && offsetof(VstTimeInfo, samplesToNextClock) == 80);
static_assert(offsetof(VstTimeInfo, flags) == 84);

static_assert(sizeof(VstPinProperties) == 128);
static_assert(offsetof(VstPinProperties, flags) == 64 && offsetof(VstPinProperties, arrangementType) == 68);
static_assert(offsetof(VstPinProperties, shortLabel) == 72 && offsetof(VstPinProperties, future) == 80);

static_assert(sizeof(VstKeyCode) == 8 && offsetof(VstKeyCode, virt) == 4 && offsetof(VstKeyCode, modifier) == 5);
static_assert(sizeof(ERect) == 8 && offsetof(ERect, left) == 2 && offsetof(ERect, bottom) == 4);
#endif

}  // namespace vst

}  // namespace kr
