// "Pan" (one input to a stereo pair, with a volume) and "X-Mix" (two inputs
// to one output), each through one of three fade laws. The gains are worked
// out once per change, or per sample while a control streams.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/fade_laws.h"
#include "engine/ug_base.h"

namespace kr {

class ug_pan : public ug_base {
 public:
  enum PlugIndex { PN_INPUT, PN_PAN, PN_LEFT, PN_RIGHT, PN_VOLUME, PN_LAW };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_pan>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  kr::dsp::StereoGains Gains() const { return gains_; }

 protected:
  static constexpr const char* kFadeLawList = "Equal Intensity (0dB), Equal Power(+3dB), Sqr Root";
  static constexpr const char* kFadeLawHint = "Chooses different cross fade laws";

  kr::dsp::FadeTables tables_;
  std::int16_t law_ = kr::dsp::kFadeSinEqualPower;

 private:
  template <bool InRun, bool PanRun, bool VolRun>
  void Render(int offset, int count);
  void Settle(int offset, int count);
  void ChooseProcess(int time);

  float* in_ = nullptr;
  float* pan_ = nullptr;
  float* left_ = nullptr;
  float* right_ = nullptr;
  float* volume_ = nullptr;
  float inValue_ = 0.0f;
  float panValue_ = 0.0f;
  float volumeFactor_ = 0.0f;
  kr::dsp::StereoGains gains_;
  kr::dsp::StereoGains constant_;
};

class ug_cross_fade : public ug_pan {
 public:
  enum PlugIndex { PN_A, PN_B, PN_MIX, PN_OUT, PN_LAW };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_cross_fade>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // Gains of A and B at the last change.
  float GainA() const { return gainA_; }
  float GainB() const { return gainB_; }

 private:
  template <bool ARun, bool BRun, bool MixRun>
  void Render(int offset, int count);
  void Settle(int offset, int count);
  void ChooseProcess(int time);
  void SetGains(float mix);

  float* a_ = nullptr;
  float* b_ = nullptr;
  float* mix_ = nullptr;
  float* out_ = nullptr;
  float aValue_ = 0.0f;
  float bValue_ = 0.0f;
  float gainA_ = 0.0f;
  float gainB_ = 0.0f;
  float mixConstant_ = 0.0f;
};

}  // namespace kr
