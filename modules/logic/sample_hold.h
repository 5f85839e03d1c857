// "Sample and Hold": on each rise of "Hold" above 0 V the current "Audio"
// sample is taken and held; the module re-arms when "Hold" is 0 V or below.
// It starts armed, holding 0.
#pragma once

#include <memory>

#include "engine/ug_base.h"

namespace kr {

class ug_sample_hold : public ug_base {
 public:
  enum PlugIndex { PN_AUDIO, PN_HOLD, PN_OUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_sample_hold>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  float Held() const { return held_; }

 private:
  void Track(int offset, int count);
  void Settle(int offset, int count);
  void Step(float audio, float hold) {
    if (armed_ && hold > 0.0f) {
      held_ = audio;
      armed_ = false;
    } else if (!armed_ && hold <= 0.0f) {
      armed_ = true;
    }
  }

  float* audio_ = nullptr;
  float* hold_ = nullptr;
  float* out_ = nullptr;
  float held_ = 0.0f;
  bool armed_ = true;
};

}  // namespace kr
