// One hosted VST 2 plug-in: its loaded library and effect record, and the
// dispatcher calls the rest of Kestrune makes on it. Every operation that
// needs the plug-in does nothing (and answers 0, false or an empty text)
// while none is loaded. A plug-in that throws out of a call is marked
// broken: it is not called again, and its library stays loaded (its code
// may still run somewhere), so the process lives on without it.
//
// Threads: loading, unloading, texts, programs, chunks, the editor and idle
// on the GUI thread; Dispatch of effProcessEvents and the record's process
// entries on the audio thread (by the audio module).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "external/vst_host_app.h"
#include "platform/platform.h"
#include "vst/vst2.h"

namespace kr {

// Limits on what a plug-in's record may say; beyond them it is refused.
inline constexpr int kMaxHostedChannels = 256;
inline constexpr int kMaxHostedParameters = 65536;
inline constexpr int kMaxHostedPrograms = 65536;

struct EditorRectangle {
  int left = 0, top = 0, right = 20, bottom = 20;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

class VST_Wrapper {
 public:
  explicit VST_Wrapper(VST_HostApp* host) : host_(host) {}
  ~VST_Wrapper();
  VST_Wrapper(const VST_Wrapper&) = delete;
  VST_Wrapper& operator=(const VST_Wrapper&) = delete;

  // 0 on success; 1 on failure, after telling the user why.
  int Load(const std::string& path);
  void Unload();

  vst::AEffect* Effect() const { return effect_; }
  bool Loaded() const { return effect_ != nullptr; }
  bool Broken() const { return broken_.load(std::memory_order_acquire); }
  VST_HostApp* Host() const { return host_; }
  const std::string& Path() const { return path_; }
  // What audioMasterGetDirectory answers: this wrapper's own copy of its
  // path (at most 299 characters), unchanged while the plug-in is loaded.
  const char* DirectoryText() const { return directory_.data(); }

  // A dispatcher call; 0 without a plug-in or after it broke.
  vst::VstIntPtr Dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);
  void SetParameter(int index, float value);
  float GetParameter(int index);
  // The record's processing entries, replacing or accumulating (audio
  // thread); false when the plug-in broke (now or before).
  bool Process(bool replacing, float** inputs, float** outputs, int frames);

  void SetSampleRate(float rate) { Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate); }
  void SetBlockSize(int frames) { Dispatch(vst::effSetBlockSize, 0, frames); }
  void Resume() { Dispatch(vst::effMainsChanged, 0, 1); }
  void Suspend() { Dispatch(vst::effMainsChanged, 0, 0); }
  void SetProgram(int program) { Dispatch(vst::effSetProgram, 0, program); }
  int GetProgram() { return static_cast<int>(Dispatch(vst::effGetProgram)); }
  std::string GetProgramName();
  void SetProgramName(std::string_view name);
  std::string GetParamName(int index);
  std::string GetParamDisplay(int index);
  std::string GetParamLabel(int index);
  bool CanBeAutomated(int index) { return Dispatch(vst::effCanBeAutomated, index) == 1; }
  // The plug-in's chunk (it keeps the bytes until its next call); empty when it has none.
  std::span<const std::uint8_t> GetChunk(bool isPreset);
  vst::VstIntPtr SetChunk(std::span<const std::uint8_t> data, bool isPreset);
  bool CanDo(std::string_view text);
  int GetVstVersion() { return static_cast<int>(Dispatch(vst::effGetVstVersion)); }
  EditorRectangle EditorRect();
  void OpenEditor(void* parentWindow);
  void CloseEditor();
  void EditorTop() { Dispatch(vst::effEditTop); }
  void EditorSleep() { Dispatch(vst::effEditSleep); }
  bool Idle();
  vst::VstIntPtr VendorSpecific(vst::VstInt32 a, vst::VstIntPtr b, void* c, float d) {
    return Dispatch(vst::effVendorSpecific, a, b, c, d);
  }

  int NumPrograms() const { return effect_ != nullptr ? effect_->numPrograms : 0; }
  int NumParams() const { return effect_ != nullptr ? effect_->numParams : 0; }
  int NumInputs() const { return effect_ != nullptr ? effect_->numInputs : 0; }
  int NumOutputs() const { return effect_ != nullptr ? effect_->numOutputs : 0; }
  std::int32_t Flags() const { return effect_ != nullptr ? effect_->flags : 0; }
  std::int32_t UniqueId() const { return effect_ != nullptr ? effect_->uniqueID : 0; }
  std::int32_t Version() const { return effect_ != nullptr ? effect_->version : 0; }
  bool CanReplace() const { return (Flags() & vst::effFlagsCanReplacing) != 0; }
  bool HasEditor() const { return (Flags() & vst::effFlagsHasEditor) != 0; }
  bool ProgramsAreChunks() const { return (Flags() & vst::effFlagsProgramChunks) != 0; }
  // Program names read again (the plug-in said they changed).
  void RefreshProgramNames() { ReadProgramNames(); }
  std::string ProductName();
  int ExposedParameterCount();
  bool EditorOpen() const { return editorOpen_; }

  // Program names, by program number; read at load, kept by renames.
  std::vector<std::string> programNames;
  // The plug-in asked for idle calls (audioMasterNeedIdle; any thread).
  std::atomic<bool> needIdle{false};

 private:
  // Called when a call into the plug-in threw: no call reaches it again.
  void MarkBroken();
  void ReadProgramNames();
  std::string TextCall(vst::VstInt32 opcode, vst::VstInt32 index);
  void Fail(const std::string& message);

  VST_HostApp* host_;
  std::string path_;
  vst::AEffect* effect_ = nullptr;
  platform::LibraryHandle library_ = nullptr;
  bool listed_ = false;
  bool editorOpen_ = false;
  std::atomic<bool> broken_{false};
  std::array<char, 300> directory_{};
};

// The wrapper whose plug-in's entry is running on this thread (null when none).
VST_Wrapper* WrapperLoadingOnThisThread();

// The callback every hosted plug-in is given.
vst::VstIntPtr VSTCALLBACK HostCallback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                        vst::VstIntPtr value, void* ptr, float opt);

// Marks the calling thread as the audio thread calling a hosted plug-in's
// processing, for as long as it lives (audioMasterGetCurrentProcessLevel).
class HostedProcessingScope {
 public:
  HostedProcessingScope();
  ~HostedProcessingScope();
  HostedProcessingScope(const HostedProcessingScope&) = delete;
  HostedProcessingScope& operator=(const HostedProcessingScope&) = delete;
  static bool Inside();

 private:
  bool outer_;
};

}  // namespace kr
