#include "modules/math/arithmetic_modules.h"

#include <cmath>

void ug_multiplier::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Input 1", DR_IN, DT_AUDIO, "8", "", PF_SIGNAL, "", &in_[0]);
  list.emplace_back(nullptr, nullptr, "Input 2", DR_IN, DT_AUDIO, "8", "", PF_SIGNAL, "", &in_[1]);
  list.emplace_back(nullptr, nullptr, "Output", DR_OUT, DT_AUDIO, "", "", 0, "", &out_);
}

void ug_math_mult::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Input 1", DR_IN, DT_AUDIO, "8", "", 0, "The 2 inputs are Multiplied", &in_[0]);
  list.emplace_back(nullptr, nullptr, "Input 2", DR_IN, DT_AUDIO, "8", "", 0, "", &in_[1]);
  list.emplace_back(nullptr, nullptr, "Output", DR_OUT, DT_AUDIO, "", "", 0, "", &out_);
}

void ug_math_div::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Input 1", DR_IN, DT_AUDIO, "8", "", 0, "Input 1 is Divided by Input 2", &in_[0]);
  list.emplace_back(nullptr, nullptr, "Input 2", DR_IN, DT_AUDIO, "", "", 0, "", &in_[1]);
  list.emplace_back(nullptr, nullptr, "Output", DR_OUT, DT_AUDIO, "", "", 0, "", &out_);
}

void ug_math_sub::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Input 1", DR_IN, DT_AUDIO, "8", "", 0, "Input 2 is Subtracted from Input 1",
                    &in_[0]);
  list.emplace_back(nullptr, nullptr, "Input 2", DR_IN, DT_AUDIO, "", "", 0, "", &in_[1]);
  list.emplace_back(nullptr, nullptr, "Output", DR_OUT, DT_AUDIO, "", "", 0, "", &out_);
}

void ug_comparator::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Input A", DR_IN, DT_AUDIO, "8", "", 0,
                    "The 2 inputs are compared.  The output goes either high or low depending", &in_[0]);
  list.emplace_back(nullptr, nullptr, "Input B", DR_IN, DT_AUDIO, "8", "", 0, "", &in_[1]);
  list.emplace_back(nullptr, nullptr, "Output", DR_OUT, DT_AUDIO, "", "", 0, "", &out_);
  list.emplace_back(&hiVolts_, &typeid(double), "Hi Out Val", DR_IN, DT_DOUBLE, "5");
  list.emplace_back(&loVolts_, &typeid(double), "Lo Out Val", DR_IN, DT_DOUBLE, "-5");
}

void ug_comparator::Prepare() {
  // Output levels that are not numbers (or too large for a float) give 0 V.
  const auto level = [](double volts) {
    const float v = static_cast<float>(volts * 0.1);
    return std::isfinite(v) ? v : 0.0f;
  };
  hi_ = level(hiVolts_);
  lo_ = level(loVolts_);
}

void ug_clipper::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Signal In", DR_IN, DT_AUDIO, "", "", PF_SIGNAL, "", &in_[0]);
  list.emplace_back(nullptr, nullptr, "Hi Limit", DR_IN, DT_AUDIO, "5", "", 0, "Clips any input signal above this voltage",
                    &in_[1]);
  list.emplace_back(nullptr, nullptr, "Lo Limit", DR_IN, DT_AUDIO, "-2", "-100, 0, 0, -10", 0,
                    "Clips any input signal below this voltage", &in_[2]);
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out_);
}

void ug_quantiser::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Signal In", DR_IN, DT_AUDIO, "", "", PF_SIGNAL, "", &in_[0]);
  list.emplace_back(nullptr, nullptr, "Step Size", DR_IN, DT_AUDIO, "1", "", 0, "Quantisation step size in Volts",
                    &in_[1]);
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out_);
}
