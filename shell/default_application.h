// The application used when no start-up code is linked in: it has no stored
// document, so initialisation fails.
#pragma once

#include "shell/kr_application.h"

class DefaultApplication final : public KrApplication {
 public:
  void SetEffect(KrVst*) override {}
  bool Initialise() override;
  std::uint32_t GuiThreadId() const override { return guiThread_; }
  const DocumentSettings* Settings() const override { return nullptr; }
  TopContainer* FindTopContainer() override { return nullptr; }
  void WireHostIo(TopContainer&) override {}
  std::unique_ptr<ShellEditor> CreateEditor(KrVst&) override { return nullptr; }
  void DeleteDocument() override {}
  void SetSampleRate(float) override {}
  void StartSound(int) override {}
  void StopSound() override {}
  bool SoundRunning() const override { return false; }
  void RunAudioMaster(int) override {}
  void PumpGuiMessages() override {}

 private:
  std::uint32_t guiThread_ = 0;
};
