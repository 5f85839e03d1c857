// Start sound and stop sound: the application's engine. Owns the audio
// master and the root container object while sound runs, and is the audio
// master's link to the host and the GUI side.
//
// Threads: StartSound, StopSound and the GUI pump run on the GUI thread;
// Process on the audio thread, only between a successful StartSound and the
// next StopSound.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/audio_master.h"
#include "engine/audio_master_host.h"
#include "engine/command_launcher.h"
#include "engine/gui_pump.h"
#include "engine/ug_container.h"
#include "graph/graph_builder.h"
#include "patch/audio_binding.h"

namespace kr {

class CContainer;
class CUG;
class ControlLink;

class SoundEngine final : public AudioMasterHost {
 public:
  // The start of the message shown when building or opening the graph fails
  // for anything but a feedback path or a second note source.
  static constexpr const char* kCannotStartText = "The patch cannot play: ";

  using TimeSource = std::function<const vst::VstTimeInfo*(std::int32_t filter)>;
  using RefreshHandler = std::function<void(CUG&)>;
  using DisplayHandler = std::function<void(CUG&, float)>;

  explicit SoundEngine(GuiPump& gui);
  ~SoundEngine() override;

  void SetSampleRate(double rate) { sampleRate_ = rate; }
  void SetTimeSource(TimeSource source) { timeSource_ = std::move(source); }
  using HostCall = std::function<vst::VstIntPtr(std::int32_t opcode, std::int32_t index, vst::VstIntPtr value,
                                                void* pointer, float option)>;
  void SetHostCall(HostCall call) { hostCall_ = std::move(call); }
  // Called on the GUI thread when a module asks its document object to redraw.
  void SetRefreshHandler(RefreshHandler handler) { refreshHandler_ = std::move(handler); }
  // The application's file lookup for modules (kept, not owned).
  void SetModuleFiles(kr::ModuleFiles* files) { files_ = files; }
  // Called on the GUI thread with each new display value of a meter.
  void SetDisplayHandler(DisplayHandler handler) { displayHandler_ = std::move(handler); }
  // The latest display value a meter sent for a module (GUI thread); none
  // before its first.
  std::optional<float> DisplayValue(const CUG& module) const;
  // The lines a module's audio object printed ("prnt") since the last call,
  // oldest first (GUI thread). At most kPrintedKept wait; older ones go.
  static constexpr std::size_t kPrintedKept = 64;
  std::vector<std::string> TakePrinted(const CUG& module);
  // The curve a module last sent for its panel view (empty: none yet).
  std::vector<float> Curve(const CUG& module) const;
  // Starts the programs of "OS Command" modules (GUI thread).
  CommandLauncher& Launcher() { return launcher_; }

  // Builds the graph of the document root and starts it. An engine error is
  // shown in a message box and leaves sound stopped (false).
  bool StartSound(CContainer& root, int blockSize);
  void StopSound();
  bool Running() const { return master_ != nullptr; }
  // One host block (its frame count, buffers and MIDI).
  void Process(kr::HostBlock& block);
  KrAudioMaster* Master() { return master_.get(); }
  ug_container* Root() { return root_.get(); }

  // AudioMasterHost
  const vst::VstTimeInfo* GetHostTime(std::int32_t filter) override;
  vst::VstIntPtr CallHost(std::int32_t opcode, std::int32_t index, vst::VstIntPtr value, void* pointer,
                          float option) override {
    return hostCall_ ? hostCall_(opcode, index, value, pointer, option) : 0;
  }
  double SampleRate() const override { return sampleRate_; }
  void PostMessageBox(std::string_view text, std::int32_t style) override;
  void PostRefresh(ug_base& module) override;
  kr::ModuleFiles* Files() override { return files_; }
  void PostDisplayValue(ug_base& module, float value) override;
  dsp_to_ui_que* GuiQueue() override { return &gui_.Queue(); }
  void PostCommand(ug_base& module, std::string_view commandLine, bool tooLong) override;
  void PostPlugText(ug_base& module, std::int32_t plug, std::string_view text) override;
  void PostCurve(ug_base& module, const float* values, int count) override;
  void PostPrint(ug_base& module, std::string_view text) override;

 private:
  class ModuleTwin;
  std::int32_t TwinHandle(CUG& module);
  // Names the modules the build left out, each line once per engine object
  // (a host that resumes often is not told again and again).
  void ReportLeftOut(const GraphBuilder& builder);
  // The twin's handle for an audio object's document module; 0 for none.
  std::int32_t HandleOf(const ug_base& module) const;

  GuiPump& gui_;
  double sampleRate_ = 44100.0;
  TimeSource timeSource_;
  HostCall hostCall_;
  RefreshHandler refreshHandler_;
  kr::ModuleFiles* files_ = nullptr;
  DisplayHandler displayHandler_;
  CommandLauncher launcher_{gui_};
  CContainer* document_ = nullptr;
  std::unique_ptr<KrAudioMaster> master_;
  std::unique_ptr<ug_container> root_;
  std::unordered_map<const CUG*, std::unique_ptr<ModuleTwin>> twins_;
  std::set<std::string> reported_;
  kr::PatchBinding patchTwins_;  // while sound runs
  // The legacy controls' links, by document module, while sound runs.
  std::unordered_map<const CUG*, std::unique_ptr<kr::ControlLink>> controlLinks_;
};

}  // namespace kr
