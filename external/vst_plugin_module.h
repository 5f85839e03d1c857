// The "VST Plugin" document module: hosts another VST 2 plug-in inside a
// patch. It owns the wrapper (the loaded plug-in), exposes the plug-in's
// parameters and programs as its own parameters, keeps the plug-in's state
// in the document, reads and writes bank and program files, shows the
// plug-in's editor in a child window of ours, and hands the plug-in to its
// audio object while sound runs.
//
// GUI thread, except the host-callback operations (VST_HostApp), which the
// plug-in may call from any thread: those only mark work that GuiIdle, on
// the GUI thread, does later, or pass audio-thread calls to the audio object.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/hosted_modules.h"
#include "external/vst_host_app.h"
#include "external/vst_wrapper.h"
#include "platform/editor_window.h"

namespace kr {

class CContainer;

class parameter_vst;
class parameter_vst_xtra;
class ug_vst_plugin;

class VstPluginModule final : public Ctl_VST_Plugin, public VST_HostApp {
 public:
  VstPluginModule();                              // for documents being read
  explicit VstPluginModule(Module_Info* entry);   // a new module of the entry
  ~VstPluginModule() override;

  void Load(ArchiveReader& ar) override;
  void PostLoadInit() override;
  // "Title", then the exposed parameters (empty slots answer null), then
  // "Program Name" and "Program".
  int ParameterCount() const override;
  generic_parameter* ParameterAt(int index) const override;
  bool RunFileCommand(int command) override;

  // A new plug-in file (folders separated by "/" or "\"): the sound stops
  // first (through stopSound) when it runs; false when it runs and there is
  // no way to stop it. The file is looked for as LoadByName does.
  bool SetPluginFile(std::string_view text, const std::function<void()>& stopSound = {});
  // Loads the file at path: true when the plug-in is loaded afterwards.
  bool LoadPlugin(const std::string& path);
  // Finds the plug-in a document names and loads it: the module library
  // paths the registry holds (the embedded files start-up wrote out), the
  // folder of this plug-in, each folder of VST_PATH, ~/.vst, then the
  // stored path itself. Compared by file name without regard to case.
  bool LoadByName(std::string_view stored);
  std::optional<std::string> FindPluginFile(std::string_view stored) const;
  // After the plug-in file changed on disk: stops the sound, unloads and
  // loads it again. True when it reloaded.
  bool ReloadIfChanged(const std::function<void()>& stopSound);
  // What the module's face shows: "LOAD ERROR", "CREATED h:mm" after a
  // reload, else nothing.
  std::string FaceText() const;

  // Bank and program files, as the panel's commands read and write them.
  bool SaveProgramsFile(const std::string& path, bool programOnly);
  bool LoadProgramsFile(const std::string& path, bool programOnly);

  // The hosted editor in a child window of ours inside parentWindow at
  // (x, y), the plug-in's editor inside that; false when there is none.
  bool HasHostedEditor() const override { return wrapper_->Loaded() && wrapper_->HasEditor(); }
  std::pair<int, int> HostedEditorSize() const override;
  bool OpenHostedEditor(void* parentWindow, int x, int y) override;
  void CloseHostedEditor() override;
  platform::ChildWindow* EditorWindow() const { return editorWindow_.get(); }

  VST_Wrapper& Wrapper() { return *wrapper_; }
  const VST_Wrapper& Wrapper() const { return *wrapper_; }
  int ExposedCount() const { return exposedCount_; }
  // The exposed parameter of hosted index i; null for a slot left empty.
  parameter_vst* Exposed(int index) const;
  const std::vector<parameter_vst*>& AutomatableParameters() const { return automatable_; }
  bool MidiOutHidden() const { return midiOutHidden_; }

  // The audio object while sound runs (its Open and Close, GUI thread).
  void AttachAudio(ug_vst_plugin* audio, double sampleRate);
  // The audio object changed hosted parameters by MIDI (audio thread).
  void NoteAutomation() { automationDirty_.store(true, std::memory_order_release); }
  // What the audio thread shows when the plug-in throws while playing.
  const std::string& BrokenText() const { return brokenText_; }

  // GUI thread, from the application's idle: the plug-in's idle and what
  // its calls from other threads left to do.
  void GuiIdle();

  // VST_HostApp
  void RequestIdle() override { idleWanted_.store(true, std::memory_order_release); }
  void StopIdle() override { idleWanted_.store(false, std::memory_order_release); }
  void OnPluginEvents(const vst::VstEvents* events) override;
  vst::VstIntPtr OnPluginSetTime(vst::VstTimeInfo* info) override;
  const vst::VstTimeInfo* GetTime(std::int32_t filter) override;
  int GetSampleRate() override { return sampleRate_.load(std::memory_order_acquire); }
  std::optional<std::string> SelectFile(bool open, const std::string& initial) override;
  void OnAutomated(int index, float value) override;
  void OnUpdateDisplay() override { displayDirty_.store(true, std::memory_order_release); }
  bool OnSizeWindow(int width, int height) override;
  void OnIoChanged() override { ioChanged_.store(true, std::memory_order_release); }

 protected:
  HostedPluginState StateToStore() const override;

 private:
  bool OnGuiThread() const;
  void Unload();
  void BuildExposedParameters();
  void FitPlugsToPlugin();
  void ApplyStoredState(int version);
  void ApplyCompatibilitySettings();
  bool ProbeReplacing();
  void BindingsChanged();
  void RefreshExposed();

  std::unique_ptr<VST_Wrapper> wrapper_;
  std::vector<std::unique_ptr<generic_parameter>> exposed_;  // count + 2 slots
  std::vector<parameter_vst*> automatable_;
  int exposedCount_ = 0;
  parameter_vst_xtra* programName_ = nullptr;
  parameter_vst_xtra* program_ = nullptr;
  std::string resolvedPath_;
  std::optional<std::int64_t> fileTime_;
  int reloadHour_ = -1, reloadMinute_ = -1;
  bool midiOutHidden_ = false;
  std::string brokenText_;
  std::uint32_t guiThread_ = 0;
  std::unique_ptr<platform::ChildWindow> editorWindow_;

  std::atomic<ug_vst_plugin*> audio_{nullptr};
  std::atomic<int> sampleRate_{44100};
  std::atomic<bool> idleWanted_{false};
  std::atomic<bool> displayDirty_{false};
  std::atomic<bool> automationDirty_{false};
  std::atomic<bool> ioChanged_{false};
  std::atomic<bool> sizeWanted_{false};
  std::atomic<int> wantedWidth_{0}, wantedHeight_{0};
  int editorX_ = 0, editorY_ = 0;
};

// The registry entry of "VST Plugin" and the class documents make for a
// stored Ctl_VST_Plugin. Once per process (RegisterExternalModules).
void RegisterHostedPluginModule();

// Every hosted plug-in module in a tree, for the application's idle.
void IdleHostedPlugins(CContainer& root);

}  // namespace kr
