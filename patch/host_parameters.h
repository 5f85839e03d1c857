// The host's parameters over the document: one over each patch parameter of
// the top container's patch memory (param_info_new) and one over each legacy
// panel control (param_info). Each reports changes made inside the plug-in
// to the host as automation, never what the host itself set.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/notifier.h"
#include "patch/host_parameter.h"
#include "patch/patch_parameter.h"

class CControl;
class ug_control;

namespace kr {

// A value a host thread left for the audio thread: the latest one wins.
class PendingValue {
 public:
  void Store(float value, std::atomic<bool>& anyPending) {
    bits_.store(std::bit_cast<std::uint32_t>(value), std::memory_order_relaxed);
    pending_.store(true, std::memory_order_release);
    anyPending.store(true, std::memory_order_release);
  }
  bool Take(float& value) {
    if (!pending_.exchange(false, std::memory_order_acq_rel)) return false;
    value = std::bit_cast<float>(bits_.load(std::memory_order_relaxed));
    return true;
  }

 private:
  std::atomic<std::uint32_t> bits_{0};
  std::atomic<bool> pending_{false};
};

class param_info_new final : public HostParameter, public PatchValueObserver {
 public:
  // anyPending: set whenever a value is left for the audio thread.
  param_info_new(PatchParameter& parameter, std::atomic<bool>& anyPending);
  ~param_info_new() override;

  std::string Name() const override { return parameter_ != nullptr ? parameter_->Name() : std::string(); }
  std::string Display() const override { return parameter_ != nullptr ? parameter_->DisplayText() : std::string(); }
  std::string Label() const override { return {}; }
  float Value() const override { return cached_; }
  void SetValue(float normalised) override;
  void SetValueThroughAudioSide(float normalised) override;
  void ApplyPending() override;
  void BindAudioSide() override;
  void UnbindAudioSide() override { twin_.store(nullptr, std::memory_order_release); }
  bool CanBeAutomated() const override { return true; }
  std::uint8_t Kind() const override { return 0; }
  void Attach(HostServices& host, int hostIndex) override;

  void OnPatchValueChanged(bool report) override;
  void OnPatchParameterGone() override { parameter_ = nullptr; }

 private:
  PatchParameter* parameter_;
  std::atomic<bool>& anyPending_;
  PendingValue pending_;
  std::atomic<dsp_patch_parameter*> twin_{nullptr};  // while sound runs
  HostServices* host_ = nullptr;
  int index_ = -1;
  float cached_ = 0.0f;
};

class param_info final : public HostParameter, public Notifiable {
 public:
  param_info(CControl& control, std::atomic<bool>& anyPending);
  ~param_info() override;

  std::string Name() const override;
  std::string Display() const override;
  std::string Label() const override;
  float Value() const override { return cached_; }
  void SetValue(float normalised) override;
  void SetValueThroughAudioSide(float normalised) override;
  void ApplyPending() override;
  void BindAudioSide() override;
  void UnbindAudioSide() override { audio_.store(nullptr, std::memory_order_release); }
  bool CanBeAutomated() const override;
  std::uint8_t Kind() const override;
  void Attach(HostServices& host, int hostIndex) override;

  void OnNotify(Notifier* source, int code, void* data) override;

 private:
  CControl* control_;
  std::atomic<bool>& anyPending_;
  PendingValue pending_;
  std::atomic<ug_control*> audio_{nullptr};  // the control's audio object, while sound runs
  HostServices* host_ = nullptr;
  int index_ = -1;
  float cached_ = 0.0f;
  bool setByHost_ = false;
};

}  // namespace kr
