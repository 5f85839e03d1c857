// The meeting points of MIDI automation on the audio side. A patch owner's
// container holds the automator, its output module and the patch
// parameters' controller map; each side sees the others only through these.
// Audio thread, except where a comment says otherwise.
#pragma once

#include <cstdint>

namespace kr {

// Controller identifiers of patch parameters: the top byte is the class.
namespace midi_id {
inline constexpr std::int32_t kNone = -1;
inline constexpr std::int32_t kLearning = -2;
inline constexpr std::int32_t kController = 0x2000000;  // + controller 0..127
inline constexpr std::int32_t kRpn = 0x3000000;         // + parameter number 0..16383
inline constexpr std::int32_t kNrpn = 0x4000000;        // + parameter number 0..16383
// The full 14-bit scale: 127 x 128.
inline constexpr int kScale = 16256;

// An identifier as it may be used: a controller above 127 or a parameter
// number above 16383 is none.
inline std::int32_t Checked(std::int32_t id) {
  if (id == kNone || id == kLearning) return id;
  const std::int32_t cls = id >> 24;
  const std::int32_t number = id & 0xFFFFFF;
  if (cls == 2 && number <= 127) return id;
  if ((cls == 3 || cls == 4) && number <= 16383) return id;
  return kNone;
}
}  // namespace midi_id

// The patch parameters of one patch owner, by controller identifier.
class PatchParameterAutomation {
 public:
  virtual ~PatchParameterAutomation() = default;
  // value: 0..1. A learning parameter takes the identifier first.
  virtual void DispatchToParameters(int time, std::int32_t identifier, float value) = 0;
};

// The automator's output module, as patch parameters reach it.
class MidiAutomationOutput {
 public:
  virtual ~MidiAutomationOutput() = default;
  // value: 0..1; patchChange: the value came with a program change.
  virtual void SendParameterValue(float value, std::int32_t identifier, bool patchChange) = 0;
  // A control's value (0..1) on its controller (99, 101: the parameter
  // number given, by data entry) at time.
  virtual void SendControllerValue(int time, int controller, int number, float value) = 0;
};

// The automator as the graph builder places it (engine stopped): it is
// given the output module it sends through, or none when it cannot serve
// (it then does nothing while sound runs).
class MidiAutomatorLink {
 public:
  virtual ~MidiAutomatorLink() = default;
  virtual void AttachOutput(class ug_base* output) = 0;
};

}  // namespace kr
