// The interface between Kestrune and a module library (".krm", ".krp"): the
// records both sides read and write and the plain functions they call.
// Libraries include this header too (it needs nothing but the C++ standard
// library), so it holds only records, constants and function types.
//
// A module record is a row of words the size of a pointer: on the 32-bit
// build each word is 4 bytes (the layout older libraries were written
// against); on 64-bit builds each is 8, so word k sits at byte 8k. The
// properties and pin records are the platform's natural C structures.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kr::modlib {

using Word = std::intptr_t;

// Every call passes its arguments as these types; values and results that may
// carry a pointer are pointer-sized.
using HostCallback = Word (*)(Word* record, std::int32_t opcode, std::int32_t index, Word value, void* pointer,
                              float option);
using Dispatcher = Word (*)(Word* record, std::int32_t opcode, std::int32_t index, Word value, void* pointer,
                            float option);
using ProcessFunction = void (*)(Word objectWord, std::int32_t bufferOffset, std::int32_t sampleCount);
struct ModuleEvent;
using EventFunction = void (*)(Word objectWord, ModuleEvent* event);

// Exports, looked up by name; any may be missing.
using GetModulePropertiesFunction = std::int32_t (*)(std::int32_t moduleIndex, struct ModuleProperties* properties);
using MakeModuleFunction = Word* (*)(std::int32_t moduleIndex, std::int32_t mode, HostCallback callback, void* context);
using MainFunction = Word* (*)(HostCallback callback);

inline constexpr const char* kGetModulePropertiesExport = "getModuleProperties";
inline constexpr const char* kMakeModuleExport = "makeModule";
inline constexpr const char* kMainExport = "main";

// makeModule's modes.
inline constexpr std::int32_t kMakeAudioSide = 1;
inline constexpr std::int32_t kMakeGuiSide = 2;

// Word 0 of a module record ("KRP{") and of a GUI-side record ("KRPM").
inline constexpr Word kModuleMagic = 0x4B52507B;
inline constexpr Word kGuiMagic = 0x4B52504D;

// Words of a module record, by interface generation.
namespace first {
inline constexpr int kMagic = 0;
inline constexpr int kDispatcher = 1;   // +4 on 32-bit
inline constexpr int kAudioObject = 6;  // +24: written by Kestrune
inline constexpr int kProcess = 11;     // +44
inline constexpr int kWords = 12;
}  // namespace first
namespace second {
inline constexpr int kMagic = 0;
inline constexpr int kContext = 2;        // +8: what makeModule was given
inline constexpr int kObjectWord = 3;     // +12: passed to process and event calls
inline constexpr int kDispatcher = 5;     // +20
inline constexpr int kProcess = 6;        // +24
inline constexpr int kEventFunction = 7;  // +28
inline constexpr int kWords = 8;
}  // namespace second

// Filled by getModuleProperties and by dispatcher opcode 9. Texts are
// zero-terminated and owned by the library.
struct ModuleProperties {
  const char* displayName;
  const char* identifier;  // the registry name; null: not given
  const char* group;
  std::int32_t flags;          // OR-ed into the entry's extra flag word
  std::int32_t registryFlags;  // non-zero: replace the entry's flags (0x1000 is kept)
  std::int32_t version;        // 0: asked for with opcode 11
};

// Pin directions and data types are the plug vocabulary's (DR_IN 0, DR_OUT 1,
// DR_CONTAINER_IO 2, DR_PARAMETER 3; DT_ENUM 0 ... DT_INT 8). The variable a
// pin names is, by data type: audio float* (the samples of the current
// block), text const char* (Kestrune's copy), enum int16, bool bool, float
// float, double double, int int32; MIDI pins have none.
struct PinProperties {
  void* variable;
  std::int32_t direction;
  std::int32_t dataType;
  const char* name;
  const char* defaultText;
  const char* listText;
  std::int32_t flags;
  std::int32_t unused;
};

// One event for the library (opcode 7 or the event function).
struct ModuleEvent {
  std::int32_t time;      // absolute sample time
  std::int32_t type;      // 0 pin state change, 2 MIDI, else the engine's event type
  std::int32_t value;     // the new state (at least 1), or the MIDI word
  std::int32_t index;     // MIDI: the number of the MIDI input among the MIDI inputs
  std::int32_t pinIndex;  // state change: the pin's index
  std::int32_t zero;
};

// Dispatcher opcodes Kestrune sends.
enum DispatcherOpcode : std::int32_t {
  kOpOpen = 0,  // value 1, after kOpSampleRate and kOpBlockLength
  kOpClose = 1,
  kOpSampleRate = 2,     // option: the sample rate
  kOpBlockLength = 3,    // value: the sub-block length
  kOpIdentifier = 4,     // pointer: a 100-byte buffer for the identifier text
  kOpDisplayName = 5,    // pointer: a 100-byte buffer
  kOpPinProperties = 6,  // index: pin number; pointer: a zeroed PinProperties; non-zero while pins remain
  kOpEvent = 7,          // first interface: pointer to a ModuleEvent
  kOpWake = 8,
  kOpProperties = 9,  // pointer: a zeroed ModuleProperties
  kOpCanSleep = 10,   // 1: the module may sleep
  kOpVersion = 11,
  kOpGuiMessage = 12,  // index: byte count; value: message id; pointer: the bytes
};
inline constexpr std::size_t kTextBufferBytes = 100;

// Host callback opcodes a library may send.
enum HostOpcode : std::int32_t {
  kHostSetPinState = 0,  // index pin, value state, pointer (as a word) the time
  kHostIsConnected = 1,  // index pin
  kHostSetText = 2,      // index pin, value: the text's address
  kHostClock = 3,
  kHostSendMidi = 4,  // index pin, value MIDI word, pointer (as a word) the time
  kHostAudioInputs = 5,
  kHostAudioOutputs = 6,
  kHostSampleBuffer = 7,  // index pin
  kHostPeriodStart = 8,
  kHostTimeInfo = 9,  // value: the filter
  kHostSleep = 10,
  kHostFirstVoiceRecord = 12,  // pointer: where the record's address goes
  kHostNextVoiceRecord = 13,   // pointer: where the record's address (or 0) goes
  kHostPlugCount = 14,
  kHostCallHost = 15,    // pointer: five words (opcode, index, value, pointer, option: a float's bits)
  kHostFileName = 16,    // index pin, value room in characters, pointer the buffer
  kHostGuiMessage = 17,  // value id, index byte count, pointer the bytes
  kHostHandle = 18,
  kHostQueueEvent = 19,  // pointer: five words (time, type, value, reference, extra)
  kHostLookupTable = 20,
  kHostSetTextOutput = 21,  // index pin, value: the text's address
  kHostReadProcess = 22,
  kHostVersion = 24,
};
inline constexpr Word kHostVersionNumber = 95820;

// The 32-bit layouts older libraries were compiled against.
#if INTPTR_MAX == INT32_MAX
static_assert(sizeof(Word) == 4);
static_assert(sizeof(ModuleProperties) == 24);
static_assert(offsetof(ModuleProperties, identifier) == 4);
static_assert(offsetof(ModuleProperties, group) == 8);
static_assert(offsetof(ModuleProperties, flags) == 12);
static_assert(offsetof(ModuleProperties, registryFlags) == 16);
static_assert(offsetof(ModuleProperties, version) == 20);
static_assert(sizeof(PinProperties) == 32);
static_assert(offsetof(PinProperties, direction) == 4);
static_assert(offsetof(PinProperties, dataType) == 8);
static_assert(offsetof(PinProperties, name) == 12);
static_assert(offsetof(PinProperties, defaultText) == 16);
static_assert(offsetof(PinProperties, listText) == 20);
static_assert(offsetof(PinProperties, flags) == 24);
static_assert(first::kDispatcher * sizeof(Word) == 4 && first::kAudioObject * sizeof(Word) == 24 &&
              first::kProcess * sizeof(Word) == 44);
static_assert(second::kContext * sizeof(Word) == 8 && second::kObjectWord * sizeof(Word) == 12 &&
              second::kDispatcher * sizeof(Word) == 20 && second::kProcess * sizeof(Word) == 24 &&
              second::kEventFunction * sizeof(Word) == 28);
#else
static_assert(sizeof(Word) == sizeof(void*));
#endif
static_assert(sizeof(ModuleEvent) == 24);
static_assert(offsetof(ModuleEvent, pinIndex) == 16);

}  // namespace kr::modlib
