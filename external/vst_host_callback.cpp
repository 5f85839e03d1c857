// The audio-master callback every hosted plug-in is given: it finds the
// wrapper the call belongs to and answers for Kestrune as the plug-in's host.
// Calls arrive on any thread; what they ask of the owning module only marks
// or reads there (the module does GUI work on the GUI thread, later).
#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "external/vst_wrapper.h"
#include "external/vst_wrapper_list.h"

namespace kr {

namespace {

thread_local bool insideHostedProcessing = false;

constexpr vst::VstIntPtr kHostVstVersion = 2200;
constexpr std::size_t kFileSelectorRoom = 200;
// audioMasterGetCurrentProcessLevel answers.
constexpr vst::VstIntPtr kLevelUser = 1, kLevelRealtime = 2;

// What we do for the plug-ins we host (audioMasterCanDo).
bool HostCanDo(std::string_view what) {
  static constexpr std::string_view kCan[] = {"sendVstEvents",     "sendVstMidiEvent", "sendVstTimeInfo",
                                              "receiveVstEvents",  "receiveVstMidiEvent", "sizeWindow",
                                              "supplyIdle"};
  return std::find(std::begin(kCan), std::end(kCan), what) != std::end(kCan);
}

void CopyText(void* ptr, std::string_view text) {
  if (ptr == nullptr) return;
  std::memcpy(ptr, text.data(), text.size());
  static_cast<char*>(ptr)[text.size()] = '\0';
}

VST_Wrapper* RouteCall(vst::AEffect* effect) {
  VST_Wrapper_List& list = VST_Wrapper_List::Get();
  if (effect != nullptr)
    if (VST_Wrapper* owner = list.Route(effect); owner != nullptr && owner->Effect() == effect) return owner;
  if (VST_Wrapper* loading = WrapperLoadingOnThisThread(); loading != nullptr && loading->Effect() == nullptr)
    return loading;
  return list.Route(effect);
}

}  // namespace

HostedProcessingScope::HostedProcessingScope() : outer_(std::exchange(insideHostedProcessing, true)) {}
HostedProcessingScope::~HostedProcessingScope() { insideHostedProcessing = outer_; }
bool HostedProcessingScope::Inside() { return insideHostedProcessing; }

vst::VstIntPtr VSTCALLBACK HostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                        vst::VstIntPtr value, void* ptr, float opt) {
  // Asked before anything else, even by a plug-in no wrapper holds yet.
  if (opcode == vst::audioMasterVersion) return kHostVstVersion;
  VST_Wrapper* wrapper = RouteCall(effect);
  if (wrapper == nullptr) return 0;
  VST_HostApp* host = wrapper->Host();
  if (host == nullptr) return 0;
  switch (opcode) {
    case vst::audioMasterAutomate:
      host->OnAutomated(index, opt);
      return 0;
    case vst::audioMasterIdle:
      host->RequestIdle();
      return 0;
    case vst::audioMasterWantMidi:
      return 1;
    case vst::audioMasterGetTime:
      return reinterpret_cast<vst::VstIntPtr>(host->GetTime(static_cast<std::int32_t>(value)));
    case vst::audioMasterProcessEvents:
      host->OnPluginEvents(static_cast<const vst::VstEvents*>(ptr));
      return 0;
    case vst::audioMasterSetTime:
      host->OnPluginSetTime(static_cast<vst::VstTimeInfo*>(ptr));
      return 1;
    case vst::audioMasterGetParameterQuantization:
      return 1;
    case vst::audioMasterIOChanged:
      host->OnIoChanged();
      return 1;
    case vst::audioMasterNeedIdle:
      wrapper->needIdle.store(true, std::memory_order_release);
      host->RequestIdle();
      return 0;
    case vst::audioMasterSizeWindow:
      return host->OnSizeWindow(index, static_cast<int>(value)) ? 1 : 0;
    case vst::audioMasterGetSampleRate:
      return host->GetSampleRate();
    case vst::audioMasterGetBlockSize:
      return host->GetBlockSize();
    case vst::audioMasterGetCurrentProcessLevel:
      return HostedProcessingScope::Inside() ? kLevelRealtime : kLevelUser;
    case vst::audioMasterGetVendorString:
      CopyText(ptr, "Harbrook");
      return 0;
    case vst::audioMasterGetProductString:
      CopyText(ptr, "Kestrune");
      return 0;
    case vst::audioMasterGetVendorVersion:
      return 1;
    case vst::audioMasterCanDo:
      if (ptr == nullptr) return 0;
      return HostCanDo(std::string_view(static_cast<const char*>(ptr), strnlen(static_cast<const char*>(ptr), 64)))
                 ? 1
                 : 0;
    case vst::audioMasterGetLanguage:
      return 1;
    case vst::audioMasterGetDirectory:
      return reinterpret_cast<vst::VstIntPtr>(wrapper->DirectoryText());
    case vst::audioMasterUpdateDisplay:
      host->OnUpdateDisplay();
      return 0;
    case vst::audioMasterOpenFileSelector: {
      if (ptr == nullptr) return 0;
      const std::optional<std::string> chosen = host->SelectFile(true, {});
      const std::string path = chosen.value_or(std::string());
      CopyText(ptr, std::string_view(path).substr(0, kFileSelectorRoom - 1));
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace kr
