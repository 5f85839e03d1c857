// Patches with patch parameters for the program, automation and chunk tests,
// and a fixture that loads them through the exported plug-in's `main`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/host_harness.h"
#include "support/synth_patch.h"
#include "support/temp_dir.h"

using namespace kr;

namespace krtest {

// "Level" (PatchMemFloatIn, 0..10, 5 V) drives the first output as Level/10
// through "FloatToVolts"; "Shape" (PatchMemListIn2) picks an oscillator's
// wave. A "Patch Select" gives the host the document's 16 programs.
inline std::vector<std::uint8_t> LevelPatch(std::string uniqueId = "KsP1") {
  krtest::SynthPatch patch(std::move(uniqueId));
  CPlug2& out = patch.AddAudioOut();
  patch.Add("Patch Select", "Programs");
  CUG& level = patch.Add("PatchMemFloatIn", "Level");
  patch.Set(level, "Value", "5");
  CUG& volts = patch.Add("FloatToVolts", "Volts");
  patch.Set(volts, "Smoothing", "0");
  patch.Wire(level, "Value Out", volts, "Float In");
  patch.Wire(volts, "Volts Out", out);
  CUG& shape = patch.Add("PatchMemListIn2", "Shape");
  patch.Set(shape, "Value", "0");
  CUG& osc = patch.Add("Oscillator", "Osc");
  patch.Wire(shape, "List Out", osc, "Waveform");
  return patch.Write();
}

class Programs : public ::testing::Test {
 protected:
  bool Open(const std::vector<std::uint8_t>& document, HostHarness& into) {
    const std::string name = "Programs" + std::to_string(++opened_) +
                             std::filesystem::path(KR_PLUGIN_PATH).extension().string();
    return krtest::LoadExportedPlugin(into, dir.path(), name, document) && into.CallMain() != nullptr;
  }
  bool Open(const std::vector<std::uint8_t>& document) { return Open(document, host); }
  static void Resume(HostHarness& h) {
    h.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    h.Dispatch(vst::effSetBlockSize, 0, 64);
    h.Dispatch(vst::effMainsChanged, 0, 1);
    h.PrepareBlock(64);
  }
  void Resume() { Resume(host); }

  static std::vector<std::uint8_t> GetChunk(HostHarness& h, bool program) {
    void* data = nullptr;
    const auto size = h.Dispatch(vst::effGetChunk, program ? 1 : 0, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
  }
  static void SetChunk(HostHarness& h, std::vector<std::uint8_t> bytes, bool program) {
    h.Dispatch(vst::effSetChunk, program ? 1 : 0, static_cast<vst::VstIntPtr>(bytes.size()), bytes.data());
  }
  std::vector<std::uint8_t> GetChunk(bool program = false) { return GetChunk(host, program); }
  void SetChunk(std::vector<std::uint8_t> bytes, bool program = false) { SetChunk(host, std::move(bytes), program); }

  krtest::TempDir dir;
  HostHarness host;
  int opened_ = 0;
};

// The controller messages a plug-in sent to its host, as (controller, value).
inline std::vector<std::pair<int, int>> SentControllersOf(const HostHarness& h) {
  std::vector<std::pair<int, int>> sent;
  for (const HostCall& call : h.CallsWithOpcode(vst::audioMasterProcessEvents))
    for (const vst::VstMidiEvent& e : call.events)
      if ((static_cast<std::uint8_t>(e.midiData[0]) & 0xF0) == 0xB0)
        sent.emplace_back(static_cast<std::uint8_t>(e.midiData[1]), static_cast<std::uint8_t>(e.midiData[2]));
  return sent;
}

// A patch playing through the exported plug-in's `main` in blocks of 64, its
// host parameters known by name; what it sent is cleared after its first block.
class PlayingPatch : public Programs {
 protected:
  // Closes the patch playing, if any, and plays this one.
  void Play(const std::vector<std::uint8_t>& document) {
    if (host.Effect() != nullptr) host.Close();
    names.clear();
    ASSERT_TRUE(Open(document));
    for (int i = 0; i < host.Effect()->numParams; ++i) names.push_back(host.ParameterText(vst::effGetParamName, i));
    Resume();
    host.RunBlock();
    host.Dispatch(vst::effIdle);
    host.ClearCalls();
  }
  void TearDown() override { host.Close(); }
  int Index(const std::string& name) const {
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return static_cast<int>(i);
    ADD_FAILURE() << "no parameter " << name;
    return 0;
  }
  std::vector<std::pair<int, int>> SentControllers() const { return SentControllersOf(host); }
  std::vector<std::string> names;
};

}  // namespace krtest
