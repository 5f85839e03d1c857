#include "patch/host_parameters.h"

#include <algorithm>
#include <cmath>

#include "document/controls.h"
#include "patch/dsp_patch_parameter.h"

namespace kr {

namespace {
float Clamped(float n) { return std::clamp(n, 0.0f, 1.0f); }
}  // namespace

void DocumentHostParameter::SetValueThroughAudioSide(float normalised) {
  if (std::isnan(normalised)) return;
  cached_ = Clamped(normalised);
  // Sliders and list entries apply it and send it back to the GUI side,
  // where it is stored for the program playing; other controls ignore it.
  // A patch parameter's twin pushes it into the engine and sends it back,
  // marked as set by the host, where the parameter stores it.
  slot_.Leave(cached_);
}

// --- patch parameters ------------------------------------------------------------

param_info_new::param_info_new(PatchParameter& parameter, HostValueSlot& slot)
    : DocumentHostParameter(slot), parameter_(&parameter) {
  cached_ = parameter.Normalised();
  parameter_->SetObserver(this);
}

param_info_new::~param_info_new() {
  if (parameter_ != nullptr) parameter_->SetObserver(nullptr);
}

void param_info_new::Attach(HostServices& host, int hostIndex) {
  host_ = &host;
  index_ = hostIndex;
  if (parameter_ != nullptr) cached_ = parameter_->Normalised();
}

void param_info_new::SetValue(float normalised) {
  if (std::isnan(normalised) || parameter_ == nullptr) return;  // not a value, or no parameter any more
  cached_ = Clamped(normalised);
  parameter_->SetNormalised(cached_);
}

HostValueTarget* param_info_new::AudioSide() const { return parameter_ != nullptr ? parameter_->Twin() : nullptr; }

void param_info_new::OnPatchValueChanged(bool report) {
  if (parameter_ == nullptr) return;
  const float n = parameter_->Normalised();
  if (n == cached_) return;
  cached_ = n;
  if (report && host_ != nullptr) host_->Automate(index_, n);
}

// --- legacy panel controls -----------------------------------------------------

param_info::param_info(CControl& control, HostValueSlot& slot) : DocumentHostParameter(slot), control_(&control) {}

param_info::~param_info() {
  if (control_ != nullptr) control_->Parameter().RemoveObserver(this);
}

std::string param_info::Name() const { return control_ != nullptr ? control_->Parameter().Name() : std::string(); }
std::string param_info::Display() const {
  return control_ != nullptr ? control_->Parameter().DisplayTextFor(cached_) : std::string();
}
std::string param_info::Label() const { return control_ != nullptr ? control_->Parameter().Label() : std::string(); }
bool param_info::CanBeAutomated() const { return control_ != nullptr && control_->CanBeAutomated(); }
std::uint8_t param_info::Kind() const { return control_ != nullptr ? control_->KindByte() : 0; }

void param_info::Attach(HostServices& host, int hostIndex) {
  host_ = &host;
  index_ = hostIndex;
  if (control_ == nullptr) return;
  control_->Parameter().AddObserver(this);
  cached_ = control_->Parameter().NormalisedValue();
}

void param_info::SetValue(float normalised) {
  if (std::isnan(normalised) || control_ == nullptr) return;
  cached_ = Clamped(normalised);
  // The control's link hands the value to its audio object through the queue.
  setByHost_ = true;
  control_->Parameter().SetNormalisedValue(cached_);
  setByHost_ = false;
}

HostValueTarget* param_info::AudioSide() const {
  return control_ != nullptr ? control_->HostTarget() : nullptr;
}

void param_info::OnNotify(Notifier* source, int code, void* data) {
  if (code == NC_PARAMETER_GONE) {
    control_ = nullptr;
    return;
  }
  if (code != NC_PARAMETER_VALUE || control_ == nullptr) return;
  const float n = control_->Parameter().NormalisedValue();
  if (n == cached_) return;
  cached_ = n;
  if (host_ == nullptr) return;
  // Meters and LEDs report every change; other controls only edits made
  // inside the plug-in that the host can automate.
  const bool quiet = control_->KindByte() == 0 &&
                     (data == generic_parameter::kChangeFromProgram || data == generic_parameter::kChangeFromAudio || setByHost_ || !control_->CanBeAutomated());
  if (!quiet) host_->Automate(index_, n);
}

}  // namespace kr
