// The effect object: one plug-in instance. It owns the application (which
// owns the document and the engine), the host-visible parameters and the
// editor, and answers every host call.
//
// Threads: construction, destruction and the dispatcher (except
// effProcessEvents) run on the host's GUI thread; process/processReplacing
// run on its audio thread. The two meet only through running/inProcess.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/kr_application.h"
#include "app/param_watcher.h"
#include "engine/host_block.h"
#include "engine/host_services.h"
#include "engine/outgoing_midi_ring.h"
#include "patch/host_parameter.h"
#include "shell/audio_effect_x.h"
#include "shell/outgoing_midi_events.h"

namespace kr {

class KrVst : public AudioEffectX, public ParamWatcher, public kr::HostServices {
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

  // --- the host, as the parts of the plug-in reach it ------------------------------
  const vst::VstTimeInfo* TimeInfo(std::int32_t filter) override;
  // A host parameter reports a change made inside the plug-in.
  void Automate(int hostIndex, float value) override;
  void UpdateDisplay() override { updateDisplay(); }
  void RequestIdle() override { needIdle(); }
  vst::VstIntPtr CallHost(std::int32_t opcode, std::int32_t index, vst::VstIntPtr value, void* pointer,
                          float option) override {
    return callHost(opcode, index, value, pointer, option);
  }

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
  void RunHostBlock(float** inputs, float** outputs, vst::VstInt32 sampleFrames, bool replacingCall);
  void RecordAudioFailure(const char* what);
  void ReportAudioFailure();
  void CollectOutgoingMidi(const kr::HostBlock& block);
  std::uint32_t PluginFlags() const;

  std::unique_ptr<KrApplication> app;
  TopContainer* topContainer = nullptr;
  std::atomic<vst::VstEvents*> pendingEvents{nullptr};
  // running and inProcess form a two-flag hand-over (each side stores its own
  // flag, then loads the other's), which needs sequentially consistent order.
  std::atomic<bool> running{false};
  std::atomic<bool> inProcess{false};
  // Cleared by the first accumulating call after a resume; the output module
  // reads it from the block for its first block.
  std::atomic<bool> replacing{true};
  std::vector<std::unique_ptr<HostParameter>> parameters;
  OutgoingMidiRing outRing;  // the patch's MIDI, written by the engine
  // Set when the engine threw during a block: silence until the next resume;
  // the GUI thread shows the text once.
  std::atomic<bool> audioFailed{false};
  std::array<char, 256> audioFailure{};
  bool audioFailureReported = false;
  OutgoingMidiEvents outEvents;
  int outReadPos = 0;
};

}  // namespace kr
