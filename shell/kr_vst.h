// The effect object: one plug-in instance. It owns the application (which
// owns the document and the engine), the host-visible parameters and the
// editor, and answers every host call.
//
// Threads: construction, destruction and the dispatcher (except
// effProcessEvents) run on the host's GUI thread; process/processReplacing
// run on its audio thread. The two meet only through running/inProcess.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "shell/audio_effect_x.h"
#include "shell/host_io_modules.h"
#include "shell/host_parameter.h"
#include "shell/kr_application.h"
#include "shell/outgoing_midi_events.h"
#include "shell/param_watcher.h"

class KrVst : public AudioEffectX, public ParamWatcher, public HostIoEndpoint {
 public:
  // Sets constructionFailed when the application cannot load its document or
  // the document has no top-level container; the flag is never cleared.
  KrVst(vst::audioMasterCallback audioMaster, std::atomic<bool>& constructionFailed,
        std::unique_ptr<KrApplication> application);
  ~KrVst() override;

  // --- host calls -----------------------------------------------------------
  void setParameter(vst::VstInt32 index, float value) override;
  float getParameter(vst::VstInt32 index) override;
  void process(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
  void processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
  void setProgram(vst::VstInt32 program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  void getParameterLabel(vst::VstInt32 index, char* label) override;
  void getParameterDisplay(vst::VstInt32 index, char* text) override;
  void getParameterName(vst::VstInt32 index, char* text) override;
  vst::VstInt32 getChunk(void** data, bool isPreset) override;
  vst::VstInt32 setChunk(void* data, vst::VstInt32 byteSize, bool isPreset) override;
  void setSampleRate(float rate) override;
  void setBlockSize(vst::VstInt32 size) override;
  void suspend() override;
  void resume() override;
  vst::VstInt32 processEvents(vst::VstEvents* events) override;
  bool canParameterBeAutomated(vst::VstInt32 index) override;
  bool getProgramNameIndexed(vst::VstInt32 category, vst::VstInt32 index, char* text) override;
  bool copyProgram(vst::VstInt32 destination) override;
  bool getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  vst::VstInt32 getVendorVersion() override { return 1; }
  vst::VstInt32 canDo(const char* text) override;
  vst::VstInt32 fxIdle() override;
  bool setBlockSizeAndSampleRate(vst::VstInt32 size, float rate) override;

  // The "Program" parameter changed inside the plug-in: the host's current program follows.
  void OnWatchedValueChanged() override;

  // --- for the parts of the plug-in --------------------------------------------
  // A host parameter reports a change made inside the plug-in (audioMasterAutomate).
  void ReportAutomation(int hostIndex, float value);
  // The host I/O modules register themselves when they open and pass null when they close.
  void SetHostInput(HostInputModule* module) override;
  void SetHostOutput(HostOutputModule* module) override;
  // Read by the output module in its first processing call after the engine starts.
  bool Replacing() const override { return replacing.load(std::memory_order_acquire); }
  bool Running() const { return running.load(std::memory_order_acquire); }
  KrApplication& Application() { return *app; }
  TopContainer* GetTopContainer() const { return topContainer; }
  HostParameter* Parameter(int index) const;

 private:
  bool Construct();
  void CollectParameters();
  void CountPlugs();
  void ApplyFlags();
  void WaitForAudioThread();
  void DeliverHostMidi();
  void CollectOutgoingMidi(vst::VstInt32 sampleFrames);
  std::uint32_t PluginFlags() const;

  std::atomic<HostInputModule*> vstIn{nullptr};
  std::atomic<HostOutputModule*> vstOut{nullptr};
  std::unique_ptr<KrApplication> app;
  TopContainer* topContainer = nullptr;
  std::atomic<vst::VstEvents*> pendingEvents{nullptr};
  // running and inProcess form a two-flag hand-over (each side stores its own
  // flag, then loads the other's), which needs sequentially consistent order.
  std::atomic<bool> running{false};
  std::atomic<bool> inProcess{false};
  std::atomic<bool> replacing{true};
  std::vector<std::unique_ptr<HostParameter>> parameters;
  OutgoingMidiEvents outEvents;
  int outReadPos = 0;
};
