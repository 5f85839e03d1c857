#include "external/parameter_vst.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "external/vst_wrapper.h"
#include "registry/plug_types.h"

namespace kr {

parameter_vst::parameter_vst(VST_Wrapper& wrapper, int index, std::function<void()> bindingChanged)
    : wrapper_(&wrapper), index_(index), bindingChanged_(std::move(bindingChanged)) {
  name_ = wrapper_->GetParamName(index_);
}

bool parameter_vst::CanBeAutomated() const { return wrapper_->CanBeAutomated(index_); }

void parameter_vst::SetMidiController(int controller) {
  controller = std::clamp(controller, -1, 127);
  if (controller_.exchange(controller, std::memory_order_acq_rel) != controller && bindingChanged_) bindingChanged_();
}

void parameter_vst::SetMidiNrpn(int number) {
  number = std::clamp(number, 0, 0x3FFF);
  if (number_.exchange(number, std::memory_order_acq_rel) != number && bindingChanged_) bindingChanged_();
}

float parameter_vst::NormalisedValue() const {
  const float v = wrapper_->GetParameter(index_);
  return std::isnan(v) ? 0.0f : std::clamp(v, 0.0f, 1.0f);
}

void parameter_vst::SetNormalisedValue(float x) {
  wrapper_->SetParameter(index_, std::isnan(x) ? 0.0f : std::clamp(x, 0.0f, 1.0f));
  AnnounceValue();
}

std::string parameter_vst::Label() const { return wrapper_->GetParamLabel(index_); }

std::string parameter_vst::ValueText() const {
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(wrapper_->GetParameter(index_)));
  return text;
}

std::string parameter_vst::DisplayText() const { return wrapper_->GetParamDisplay(index_); }

void parameter_vst::SetValueText(std::string_view text) {
  const std::string copy(text);
  SetNormalisedValue(static_cast<float>(std::strtod(copy.c_str(), nullptr)));
}

void parameter_vst::Refresh() {
  name_ = wrapper_->GetParamName(index_);
  AnnounceValue(generic_parameter::kChangeFromProgram);
}

std::string parameter_vst_xtra::ValueText() const {
  if (kind_ == Kind::Program) return std::to_string(wrapper_->GetProgram());
  return wrapper_->GetProgramName();
}

void parameter_vst_xtra::SetValueText(std::string_view text) {
  if (kind_ == Kind::Program) {
    const int program = ParameterTextToInt(text);
    if (program < 0 || program >= wrapper_->NumPrograms()) return;
    wrapper_->SetProgram(program);
  } else {
    wrapper_->SetProgramName(text);
  }
  AnnounceValue();
}

int parameter_vst_xtra::DataType() const { return kind_ == Kind::Program ? DT_INT : DT_TEXT; }

std::string parameter_vst_xtra::ItemList() const {
  if (kind_ == Kind::Program) return "range 0," + std::to_string(std::max(0, wrapper_->NumPrograms() - 1));
  std::string list;
  for (std::size_t i = 0; i < wrapper_->programNames.size(); ++i) list += (i > 0 ? "," : "") + wrapper_->programNames[i];
  return list;
}

int parameter_vst_xtra::LastItemValue() const { return std::max(0, wrapper_->NumPrograms() - 1); }

}  // namespace kr
