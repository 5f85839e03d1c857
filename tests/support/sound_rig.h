// Hand-made graphs for the sound modules: constant inputs from plug-list
// defaults (as the graph builder gives them), streaming and stepping
// sources, a tap on an output, and pitch measurement.
#pragma once

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/engine_modules.h"

using namespace kr;

namespace krtest {

using krtest::StepSource;
using krtest::Tap;
using krtest::TestEngine;

// Streams f(time) from open on.
class FunctionSource : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<FunctionSource>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out);
  }
  void Open() override {
    SetProcessFunction(&FunctionSource::Generate);
    ug_base::Open();
    GetPlug(0)->SetState(clock, ST_RUN);
  }
  void Generate(int offset, int count) {
    for (int i = 0; i < count; ++i) out[offset + i] = f(clock + i);
  }
  float* out = nullptr;
  std::function<float(int)> f = [](int) { return 0.0f; };
};

// Gives every unconnected input of a module its value: the text in
// overrides (by plug index) or the plug list's default.
inline void ApplyInputs(ug_base& module, const std::map<int, std::string>& overrides = {}) {
  InterfaceList list;
  module.ListInterface(list);
  for (int i = 0; i < static_cast<int>(list.size()) && i < module.PlugCount(); ++i) {
    const InterfaceObject& record = list[static_cast<std::size_t>(i)];
    UPlug* plug = module.GetPlug(i);
    if (!plug->IsInput() || plug->type == DT_MIDI || plug->HasConnection()) continue;
    auto it = overrides.find(i);
    plug->ApplyDefault(it != overrides.end() ? it->second : record.defaultText);
  }
}

// The frequency of a signal from its rising zero crossings (interpolated),
// skipping the first `settle` samples.
inline double MeasureHz(const std::vector<float>& s, double sampleRate, std::size_t settle = 64) {
  double first = -1.0, last = -1.0;
  int crossings = 0;
  for (std::size_t i = settle + 1; i < s.size(); ++i) {
    if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
      const double at = static_cast<double>(i - 1) + s[i - 1] / (static_cast<double>(s[i - 1]) - s[i]);
      if (first < 0.0) first = at;
      last = at;
      ++crossings;
    }
  }
  if (crossings < 2) return 0.0;
  return (crossings - 1) * sampleRate / (last - first);
}

inline double Cents(double measured, double expected) { return 1200.0 * std::log2(measured / expected); }

}  // namespace krtest
