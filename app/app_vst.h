// The plug-in's application: start-up with the stored document, the top
// container and document settings handed to the effect object, and the
// sound engine's start and stop.
#pragma once

#include <memory>
#include <optional>

#include "app/app_base.h"
#include "app/kr_application.h"
#include "app/top_container_adapter.h"
#include "engine/gui_pump.h"
#include "graph/sound_engine.h"
#include "patch/patch_memory.h"

namespace kr {

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

  void SetHost(kr::HostServices* host) override { host_ = host; }
  kr::HostServices* Host() const { return host_; }
  bool Initialise() override;
  std::uint32_t GuiThreadId() const override { return GuiThread(); }

  const DocumentSettings* Settings() const override;
  TopContainer* FindTopContainer() override;
  void WireHostIo(TopContainer& top) override;
  // The document's panel editor; none without a document.
  std::unique_ptr<ShellEditor> CreateEditor(kr::HostServices&) override;
  void DeleteDocument() override;

  void SetSampleRate(float rate) override { engine_.SetSampleRate(rate); }
  // Builds the graph of the document root; an engine error is shown and
  // leaves sound stopped.
  void StartSound(int blockSize) override;
  void StopSound() override;
  bool SoundRunning() const override { return engine_.Running(); }
  void ProcessBlock(kr::HostBlock& block) override;
  // The DSP-to-GUI messages, then the hosted plug-ins' idle.
  void PumpGuiMessages() override;

 private:
  kr::HostServices* host_ = nullptr;
  std::vector<std::unique_ptr<kr::PatchMemory>> patchMemories_;  // before the adapter that uses them
  std::optional<HeaderSettingsView> settings_;
  std::unique_ptr<TopContainerAdapter> top_;
  GuiPump gui_;
  SoundEngine engine_{gui_};  // after the pump it posts to
};

}  // namespace kr
