#include "host/host_call.h"

#include <array>

namespace kr {

const char* AudioMasterOpcodeName(vst::VstInt32 opcode) {
  static constexpr std::array<const char*, 50> kNames = {
      "audioMasterAutomate", "audioMasterVersion", "audioMasterCurrentId", "audioMasterIdle",
      "audioMasterPinConnected", "(5)", "audioMasterWantMidi", "audioMasterGetTime",
      "audioMasterProcessEvents", "audioMasterSetTime", "audioMasterTempoAt",
      "audioMasterGetNumAutomatableParameters", "audioMasterGetParameterQuantization", "audioMasterIOChanged",
      "audioMasterNeedIdle", "audioMasterSizeWindow", "audioMasterGetSampleRate", "audioMasterGetBlockSize",
      "audioMasterGetInputLatency", "audioMasterGetOutputLatency", "audioMasterGetPreviousPlug",
      "audioMasterGetNextPlug", "audioMasterWillReplaceOrAccumulate", "audioMasterGetCurrentProcessLevel",
      "audioMasterGetAutomationState", "audioMasterOfflineStart", "audioMasterOfflineRead",
      "audioMasterOfflineWrite", "audioMasterOfflineGetCurrentPass", "audioMasterOfflineGetCurrentMetaPass",
      "audioMasterSetOutputSampleRate", "audioMasterGetOutputSpeakerArrangement", "audioMasterGetVendorString",
      "audioMasterGetProductString", "audioMasterGetVendorVersion", "audioMasterVendorSpecific",
      "audioMasterSetIcon", "audioMasterCanDo", "audioMasterGetLanguage", "audioMasterOpenWindow",
      "audioMasterCloseWindow", "audioMasterGetDirectory", "audioMasterUpdateDisplay", "audioMasterBeginEdit",
      "audioMasterEndEdit", "audioMasterOpenFileSelector", "audioMasterCloseFileSelector", "audioMasterEditFile",
      "audioMasterGetChunkFile", "audioMasterGetInputSpeakerArrangement"};
  if (opcode < 0 || static_cast<std::size_t>(opcode) >= kNames.size()) return "(unknown)";
  return kNames[static_cast<std::size_t>(opcode)];
}

}  // namespace kr
