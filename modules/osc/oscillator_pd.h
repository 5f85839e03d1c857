// "Phase Dist Osc": phase-distortion synthesis. A piecewise-linear bend of
// the phase (or, for the resonant waves, a faster phase under a window)
// reads a cosine table; two shapes may alternate cycle by cycle.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "dsp/osc_pitch.h"
#include "dsp/wavetable_sets.h"
#include "engine/ug_base.h"

namespace kr {

class ug_oscillator_pd : public ug_base {
 public:
  enum PlugIndex { PN_PITCH, PN_DEPTH, PN_OUT, PN_WAVE1, PN_WAVE2, PN_FREQ_SCALE };
  enum Wave : std::int16_t { PD_SAW, PD_SQUARE, PD_PULSE, PD_DBL_SINE, PD_SAW_PULSE, PD_RESO1, PD_RESO2, PD_RESO3 };
  static constexpr int kWaves = 8;
  static constexpr float kMaxDepth = 0.97f;

  struct Breakpoint {
    float x, y, d;  // at depth D the point sits at x + d * D with output phase y
  };
  struct Shape {
    std::array<Breakpoint, 6> points{};
    int count = 0;
    bool resonant = false;
  };
  static const Shape& ShapeOf(int wave);  // out-of-range waves play the saw

  // The output phase (cycles) of a distorting shape at oscillator phase v.
  static float DistortedPhase(const Shape& shape, float v, float depth, int& segment);
  // The window of a resonant shape at phase v.
  static float Window(const Shape& shape, float v);

  std::unique_ptr<ug_base> CreateSame() override;
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 private:
  template <bool PitchRun, bool DepthRun, bool KHz>
  void Render(int offset, int count);
  void Silence(int offset, int count);
  void ChooseProcess();
  std::uint32_t IncrementOf(float pitch) const;
  float ValueAt(const float* buffer, int time) const;

  float* pitch_ = nullptr;
  float* depth_ = nullptr;
  float* out_ = nullptr;
  std::int16_t wave1_ = PD_SAW;
  std::int16_t wave2_ = PD_SAW;
  std::int16_t freqScale_ = 0;

  std::shared_ptr<const kr::dsp::OscPitch> pitchConv_;
  const kr::dsp::Uwavetable* cosine_ = nullptr;
  std::uint32_t phase_ = 0;
  std::uint32_t increment_ = 0;
  float depthValue_ = 0.0f;
  int segment_ = 0;
  bool secondShape_ = false;  // playing Wave2 this cycle
  float dcTrack_ = 0.0f;
  float dcCoefficient_ = 0.0f;
};

}  // namespace kr
