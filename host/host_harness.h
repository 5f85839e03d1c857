// A small VST 2 host for tests and the command-line program: it loads a
// plug-in file like a DAW does, calls its entry with a recording audio-master
// callback, and drives the dispatcher, the parameters and audio blocks of any
// size with MIDI events at chosen offsets. It does not link the plug-in's code.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/host_call.h"
#include "vst/vst2.h"

namespace kr {

using PluginEntry = vst::AEffect*(VSTCALLBACK*)(vst::audioMasterCallback);

// A MIDI message placed in a block: up to three bytes at a sample offset.
struct MidiAt {
  std::int32_t offset = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

enum class ProcessMode { Replacing, Accumulating };

class HostHarness {
 public:
  static constexpr vst::VstIntPtr kHostVersion = 2400;

  HostHarness();
  ~HostHarness();
  HostHarness(const HostHarness&) = delete;
  HostHarness& operator=(const HostHarness&) = delete;

  // Loads a plug-in file and finds its entry ("main", else "VSTPluginMain").
  bool Load(const std::string& path);
  // Uses an entry function that is already in this process.
  void UseEntry(PluginEntry entry);
  const std::string& Error() const { return error_; }
  bool HasEntry() const { return entry_ != nullptr; }

  // What audioMasterVersion answers (2400 unless changed; 0 plays an old host).
  void SetVersionAnswer(vst::VstIntPtr version) { versionAnswer_ = version; }
  // What audioMasterGetTime points to; nothing gives a null answer.
  void SetTimeInfo(std::optional<vst::VstTimeInfo> info) { timeInfo_ = info; }
  // What audioMasterGetSampleRate answers (44100 unless changed).
  void SetSampleRateAnswer(vst::VstIntPtr rate) { sampleRateAnswer_ = rate; }

  // Calls the entry. The first effect it gives is the one the calls below
  // drive; further ones are only closed with the harness.
  vst::AEffect* CallMain();
  vst::AEffect* Effect() const { return effect_; }

  vst::VstIntPtr Dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);
  // effClose; the effect is gone afterwards. Returns the dispatcher's result.
  vst::VstIntPtr Close();
  void SetParameter(vst::VstInt32 index, float value);
  float GetParameter(vst::VstInt32 index);
  std::string ParameterText(vst::VstInt32 opcode, vst::VstInt32 index);  // name, display or label
  std::string TextCall(vst::VstInt32 opcode, vst::VstInt32 index = 0, std::size_t bufferSize = 256);

  // Sizes the host buffers (numInputs/numOutputs channels) and zeroes them.
  void PrepareBlock(int frames);
  std::span<float> Input(int channel);
  std::span<float> Output(int channel);
  // Sends the events through effProcessEvents, then runs one block of the
  // prepared size; buffer contents are left as they are before the call.
  void RunBlock(std::span<const MidiAt> midi = {}, ProcessMode mode = ProcessMode::Replacing);

  // Off: calls are answered but not kept (long runs).
  void SetRecordingCalls(bool on) { recordingCalls_ = on; }

  // Read these when the plug-in's threads are quiet.
  const std::vector<HostCall>& Calls() const { return calls_; }
  std::vector<HostCall> CallsWithOpcode(vst::VstInt32 opcode) const;
  void ClearCalls();

 private:
  static vst::VstIntPtr VSTCALLBACK AudioMaster(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                                vst::VstIntPtr value, void* ptr, float opt);
  vst::VstIntPtr Answer(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                        void* ptr, float opt);

  void* library_ = nullptr;
  PluginEntry entry_ = nullptr;
  vst::AEffect* effect_ = nullptr;
  std::vector<vst::AEffect*> others_;  // further instances from repeated CallMain
  std::string error_;
  vst::VstIntPtr versionAnswer_ = kHostVersion;
  std::optional<vst::VstTimeInfo> timeInfo_;
  vst::VstIntPtr sampleRateAnswer_ = 44100;
  vst::VstTimeInfo timeAnswer_{};
  std::mutex callsMutex_;  // a plug-in may call back from its audio and GUI threads at once
  std::vector<HostCall> calls_;
  bool recordingCalls_ = true;

  int frames_ = 0;
  std::vector<std::vector<float>> inputs_;
  std::vector<std::vector<float>> outputs_;
  std::vector<float*> inputPtrs_;
  std::vector<float*> outputPtrs_;
  std::vector<vst::VstMidiEvent> blockEvents_;
  std::vector<std::uintptr_t> blockHeader_;
};

}  // namespace kr
