// The editor through the plug-in entry: the real application over a
// document compiled from a patch text (written as the ".dat" beside a plug-in
// file of the test's own), driven by the host harness in this process, so
// that a test can reach the editor's view behind the AEffect.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_vst.h"
#include "document/document_file.h"
#include "gui/editor/panel_editor.h"
#include "host/host_harness.h"
#include "patchtext/patch_compiler.h"
#include "shell/audio_effect.h"
#include "shell/plugin_entry.h"
#include "support/frame_skin.h"
#include "support/temp_dir.h"

using namespace kr;

namespace krtest {

using krtest::FrameColour;

// "Level" (0..10, 5 to start) drives the output as Level / 10; an image on
// the panel (a 64-frame vertical-drag knob) shows and sets it.
inline const char* kLevelPanel = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrEd", "panel_size": [120, 80], "instrument": true },
  "skins": [ { "name": "editor", "path": "skins/editor" } ],
  "root": { "skin": "editor", "modules": [ {
    "module": "Container", "id": "synth", "title": "Synth", "skin": "editor",
    "plugs": [ {"name": "Left", "direction": "out", "type": "audio"} ],
    "modules": [
      { "module": "PatchMemFloatIn", "id": "level", "title": "Level", "values": {"Value": "5"} },
      { "module": "FloatToVolts", "id": "volts", "values": {"Smoothing": "0"} },
      { "module": "Image", "id": "knob", "panel_rect": [40, 20, 60, 40], "values": {"Filename": "knob_big"} }
    ],
    "wires": [
      {"from": "level.Value Out", "to": "volts.Float In"},
      {"from": "volts.Volts Out", "to": "io.Left"},
      {"from": "knob.Animation Position", "to": "level.Animation Position"}
    ]
  } ] }
})";

inline std::string& PluginPath() {
  static std::string path;
  return path;
}

inline std::unique_ptr<KrApplication> MakeApplication() {
  auto app = std::make_unique<CKestruneAppVST>();
  app->SetPluginPath(PluginPath());
  return app;
}

inline vst::AEffect* VSTCALLBACK Entry(vst::audioMasterCallback master) {
  static std::atomic<bool> failed{false};
  failed.store(false);
  return CreateEffect(master, failed, &MakeApplication);
}

class EditorPlugin : public ::testing::Test {
 protected:
  // Compiles the patch (skins from this test's folder) and opens it.
  bool Open(const std::string& json) {
    const auto skin = dir.path() / "skins" / "editor";
    std::filesystem::create_directories(skin);
    krtest::WriteFrameKnob(skin, "knob_big", 20, 64, "vertical");
    auto document = patchtext::CompilePatchText(json, dir.path());
    if (!document) return false;
    const auto bytes = WriteDocument(*document);
    std::ofstream(dir.path() / "Editor.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::ofstream(dir.path() / "Editor.so", std::ios::binary) << "\x7f" "ELF";
    PluginPath() = (dir.path() / "Editor.so").string();
    host.UseEntry(&Entry);
    return host.CallMain() != nullptr && Editor() != nullptr;
  }
  kr::gui::PanelEditor* Editor() {
    auto* effect = AudioEffect::FromAeffect(host.Effect());
    return effect ? dynamic_cast<kr::gui::PanelEditor*>(effect->getEditor()) : nullptr;
  }
  void Resume() {
    host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(vst::effSetBlockSize, 0, 64);
    host.Dispatch(vst::effMainsChanged, 0, 1);
    host.PrepareBlock(64);
  }

  krtest::TempDir dir;
  HostHarness host;
};

}  // namespace krtest
