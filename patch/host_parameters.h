// The host's parameters over the document: one over each patch parameter of
// the top container's patch memory (param_info_new) and one over each legacy
// panel control (param_info). Each reports changes made inside the plug-in
// to the host as automation, never what the host itself set.
#pragma once

#include <cstdint>
#include <string>

#include "document/notifier.h"
#include "patch/host_parameter.h"
#include "patch/host_value_inbox.h"
#include "patch/patch_parameter.h"

namespace kr {

class CControl;

// What both kinds share: the cached value and the route from another thread
// (the value waits in the parameter's inbox slot, then goes to the audio-side
// target as a value).
class DocumentHostParameter : public HostParameter {
 public:
  float Value() const override { return cached_; }
  void BindAudioSide() override { slot_.Bind(AudioSide()); }
  void UnbindAudioSide() override { slot_.Bind(nullptr); }

 protected:
  explicit DocumentHostParameter(HostValueSlot& slot) : slot_(slot) {}
  void SetValueThroughAudioSide(float normalised) override;
  // GUI thread, sound running: what a waiting value goes to (nullptr: none).
  virtual HostValueTarget* AudioSide() const = 0;

  HostServices* host_ = nullptr;
  int index_ = -1;
  float cached_ = 0.0f;

 private:
  HostValueSlot& slot_;
};

class param_info_new final : public DocumentHostParameter, public PatchValueObserver {
 public:
  param_info_new(PatchParameter& parameter, HostValueSlot& slot);
  ~param_info_new() override;

  std::string Name() const override { return parameter_ != nullptr ? parameter_->Name() : std::string(); }
  std::string Display() const override { return parameter_ != nullptr ? parameter_->DisplayText() : std::string(); }
  std::string Label() const override { return {}; }
  bool CanBeAutomated() const override { return true; }
  std::uint8_t Kind() const override { return 0; }
  void Attach(HostServices& host, int hostIndex) override;

  void OnPatchValueChanged(bool report) override;
  void OnPatchParameterGone() override { parameter_ = nullptr; }

 protected:
  void SetValue(float normalised) override;
  HostValueTarget* AudioSide() const override;

 private:
  PatchParameter* parameter_;
};

class param_info final : public DocumentHostParameter, public Notifiable {
 public:
  param_info(CControl& control, HostValueSlot& slot);
  ~param_info() override;

  std::string Name() const override;
  std::string Display() const override;
  std::string Label() const override;
  bool CanBeAutomated() const override;
  std::uint8_t Kind() const override;
  void Attach(HostServices& host, int hostIndex) override;

  void OnNotify(Notifier* source, int code, void* data) override;

 protected:
  void SetValue(float normalised) override;
  HostValueTarget* AudioSide() const override;

 private:
  CControl* control_;
  bool setByHost_ = false;
};

}  // namespace kr
