// What a hosted VST 2 plug-in's wrapper asks of the module that owns it
// (the "VST Plugin" document module). The host callback calls these from
// whichever thread the plug-in calls on: the GUI thread, the audio thread
// while it processes, or a thread of the plug-in's own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "vst/vst2.h"

namespace kr {

class VST_HostApp {
 public:
  // Idle calls wanted (audioMasterIdle, audioMasterNeedIdle, an open editor)
  // or no longer wanted. Any thread: they only mark.
  virtual void RequestIdle() = 0;
  virtual void StopIdle() = 0;
  // The plug-in's outgoing MIDI (audioMasterProcessEvents).
  virtual void OnPluginEvents(const vst::VstEvents* events) = 0;
  // audioMasterSetTime, passed on to Kestrune's own host.
  virtual vst::VstIntPtr OnPluginSetTime(vst::VstTimeInfo* info) = 0;
  // audioMasterGetTime: null when there is none to give.
  virtual const vst::VstTimeInfo* GetTime(std::int32_t filter) = 0;
  virtual int GetSampleRate() = 0;
  // What audioMasterGetBlockSize answers.
  virtual int GetBlockSize() { return 96; }
  // audioMasterOpenFileSelector: the chosen path, none when cancelled.
  virtual std::optional<std::string> SelectFile(bool open, const std::string& initial) = 0;
  // audioMasterAutomate: the plug-in changed its parameter index itself.
  virtual void OnAutomated(int index, float value) = 0;
  // audioMasterUpdateDisplay: names or programs changed.
  virtual void OnUpdateDisplay() = 0;
  // audioMasterSizeWindow: the editor wants this size; true when it is given.
  virtual bool OnSizeWindow(int width, int height) = 0;
  // audioMasterIOChanged: the plug-in's input or output count changed.
  virtual void OnIoChanged() = 0;

 protected:
  ~VST_HostApp() = default;
};

}  // namespace kr
