// Patches for the end-to-end suites: a top container "Synth" with host
// channels and MIDI, modules by registry name, wires between named plugs,
// written by the archive writer; and the built plug-in carrying such a patch,
// loaded by the host harness through its exported `main`.
//
// Header-only: it uses the core and the host harness, which every suite
// links, while the support library links only the platform.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "document/container.h"
#include "document/document_builder.h"
#include "formats/image/plugin_export.h"
#include "host/host_harness.h"

using namespace kr;

namespace krtest {

class SynthPatch {
 public:
  explicit SynthPatch(std::string uniqueId = "KsE2") {
    builder_.Document().settings.uniqueId = std::move(uniqueId);
    top_ = &builder_.AddContainer(builder_.Root());
    top_->SetTitle("Synth");
  }

  CContainer& Top() { return *top_; }
  DocumentBuilder& Builder() { return builder_; }

  // Host channels and MIDI: the container's inside faces, where the patch
  // wires them. Host channel n is the n-th plug added of its direction.
  CPlug2& AddAudioIn() { return Inside(DR_IN, DT_AUDIO, "In " + std::to_string(++ins_)); }
  CPlug2& AddAudioOut() { return Inside(DR_OUT, DT_AUDIO, "Out " + std::to_string(++outs_)); }
  CPlug2& AddMidiIn() { return Inside(DR_IN, DT_MIDI, "MIDI In"); }
  CPlug2& AddMidiOut() { return Inside(DR_OUT, DT_MIDI, "MIDI Out"); }

  CUG& Add(std::string_view registryName, std::string title = {}, CContainer* where = nullptr) {
    CUG& module = builder_.AddModule(where != nullptr ? *where : *top_, registryName);
    if (!title.empty()) module.SetTitle(std::move(title));
    return module;
  }
  CContainer& AddContainer(std::string title, CContainer* where = nullptr) {
    CContainer& c = builder_.AddContainer(where != nullptr ? *where : *top_);
    c.SetTitle(std::move(title));
    return c;
  }
  CPlug2& Plug(const CUG& module, std::string_view name) { return builder_.Plug(module, name); }
  void Set(const CUG& module, std::string_view plug, std::string value) { Plug(module, plug).SetValueText(std::move(value)); }
  void Wire(CPlug2& from, CPlug2& to) { builder_.Connect(from, to); }
  void Wire(const CUG& from, std::string_view out, const CUG& to, std::string_view in) {
    builder_.Connect(Plug(from, out), Plug(to, in));
  }
  void Wire(CPlug2& from, const CUG& to, std::string_view in) { builder_.Connect(from, Plug(to, in)); }
  void Wire(const CUG& from, std::string_view out, CPlug2& to) { builder_.Connect(Plug(from, out), to); }

  // A "VCA" with a linear curve at 10 V: its "Output" is its "Signal".
  CUG& AddUnityVca(std::string title = {}, CContainer* where = nullptr) {
    CUG& vca = Add("VCA", std::move(title), where);
    Set(vca, "Response Curve", "2");  // Linear
    Set(vca, "Volume", "10");
    return vca;
  }

  // The archive bytes; the patch is used up.
  std::vector<std::uint8_t> Write() {
    auto document = builder_.Finish();
    return WriteDocument(*document);
  }

 private:
  CPlug2& Inside(PlugDirection direction, int type, std::string name) {
    return *builder_.AddBoundaryPlug(*top_, direction, type, std::move(name)).second;
  }

  DocumentBuilder builder_;
  CContainer* top_ = nullptr;
  int ins_ = 0;
  int outs_ = 0;
};

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Packs a document into a copy of the built plug-in (folder/name) and loads
// that file in the harness. False (with a test failure) when either fails.
inline bool LoadExportedPlugin(HostHarness& host, const std::filesystem::path& folder, const std::string& name,
                               const std::vector<std::uint8_t>& document,
                               kr::packaging::ExportForm form = kr::packaging::ExportForm::StoredResource) {
  const std::filesystem::path file = folder / name;
  const auto result = kr::packaging::ExportPlugin(KR_PLUGIN_PATH, document, file.string(), form);
  EXPECT_TRUE(result.ok()) << result.error;
  if (!result.ok()) return false;
  const bool loaded = host.Load(file.string());
  EXPECT_TRUE(loaded) << host.Error();
  return loaded;
}

}  // namespace krtest
