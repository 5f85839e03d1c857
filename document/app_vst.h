// The plug-in's application: start-up with the stored document, the top
// container and document settings handed to the effect object, and the
// engine's start and stop.
#pragma once

#include <memory>
#include <optional>

#include "document/app_base.h"
#include "document/top_container_adapter.h"
#include "shell/kr_application.h"

// The document's header settings as the shell reads them.
class HeaderSettingsView final : public DocumentSettings {
 public:
  explicit HeaderSettingsView(const HeaderSettings& settings) : s_(settings) {}
  int ProgramCount() const override { return s_.programCount; }
  std::uint32_t PluginFlags() const override { return static_cast<std::uint32_t>(s_.pluginFlags); }
  std::string VendorText() const override { return s_.vendor; }
  std::string ProductText() const override { return s_.product; }
  std::string PluginIdText() const override { return s_.uniqueId; }
  bool MonoCapable() const override { return s_.monoCapable; }

 private:
  const HeaderSettings& s_;
};

class CKestruneAppVST final : public CKestruneAppBase, public KrApplication {
 public:
  CKestruneAppVST();
  ~CKestruneAppVST() override;

  void SetEffect(KrVst* effect) override { effect_ = effect; }
  KrVst* Effect() const { return effect_; }
  bool Initialise() override;
  std::uint32_t GuiThreadId() const override { return GuiThread(); }

  const DocumentSettings* Settings() const override;
  TopContainer* FindTopContainer() override;
  void WireHostIo(TopContainer& top) override;
  // The panel editor arrives with the editor code.
  std::unique_ptr<ShellEditor> CreateEditor(KrVst& effect) override { return nullptr; }
  void DeleteDocument() override;

  void SetSampleRate(float rate) override { sampleRate_ = rate; }
  float SampleRate() const { return sampleRate_; }
  // Building the engine from the document is the graph builder's work; until
  // it is linked in, sound stays stopped and blocks leave the host buffers
  // to the effect object.
  void StartSound(int blockSize) override;
  void StopSound() override { soundRunning_ = false; }
  bool SoundRunning() const override { return soundRunning_; }
  void RunAudioMaster(int sampleFrames) override {}
  void PumpGuiMessages() override {}

 private:
  KrVst* effect_ = nullptr;
  std::optional<HeaderSettingsView> settings_;
  std::unique_ptr<TopContainerAdapter> top_;
  float sampleRate_ = 44100.0f;
  bool soundRunning_ = false;
};
