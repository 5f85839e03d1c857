// "Oscillator": sine, saw, ramp, triangle and pulse from band-limited
// wavetables, white and pink noise, hard sync with sub-sample timing and
// phase modulation. The inner loop is chosen by the input states.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/noise.h"
#include "dsp/osc_pitch.h"
#include "dsp/osc_render.h"
#include "dsp/wavetable_sets.h"
#include "engine/ug_base.h"

namespace kr {

class ug_oscillator2 : public ug_base {
 public:
  enum PlugIndex {
    PN_PITCH, PN_PULSE_WIDTH, PN_WAVEFORM, PN_OUT, PN_SYNC, PN_PHASE_MOD,
    PN_FREQ_SCALE, PN_PM_DEPTH, PN_SMOOTH, PN_SYNC_XFADE,
  };
  enum Waveform : std::int16_t { WS_SINE, WS_SAW, WS_RAMP, WS_TRIANGLE, WS_PULSE, WS_WHITE_NOISE, WS_PINK_NOISE };
  static constexpr int kTableFadeSamples = 20;
  static constexpr int kSyncFadeSamples = 4;
  static constexpr int kTableCheckInterval = 32;  // samples between table choices of a streaming pitch

  std::unique_ptr<ug_base> CreateSame() override;
  // Copies share the prototype's pitch table (voices are made and opened on the GUI thread, engine stopped).
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  // Advances the phase over the samples spent suspended, as if it had kept
  // running: when its voice was suspended must not change how it sounds.
  void Resume() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // What the oscillator plays now (for tests and meters).
  std::uint32_t Increment() const { return state_.increment; }
  const kr::dsp::Uwavetable* CurrentTable() const { return choice_.table; }
  int TableFadeLeft() const { return tableFadeLeft_; }
  std::uint32_t Phase() const { return state_.phase; }

 private:
  using RenderFn = void (ug_oscillator2::*)(int offset, int count);

  // Everything a render advances (the kernel's phase and the sync fade's
  // state): saved and restored around cross-fades.
  struct RenderState : kr::dsp::OscPhase {
    float syncPrev = 0.0f;
    int syncFadeLeft = 0;
    float syncX = 0.0f;
    std::uint32_t fadePhase = 0;  // the continuing (old) phase during a sync fade
    std::uint32_t fadePm = 0;
  };

  template <int Shape, bool PitchRun, bool PmRun, bool PwRun, bool KHz>
  void Render(int offset, int count);
  template <bool Pink>
  void RunNoise(int offset, int count);

  void Run(int offset, int count);
  void Chain(int offset, int count);
  void TableFade(int offset, int count);
  void SyncScan(int offset, int count);
  void SyncFadeSample(int i);
  void ApplySyncEdge(float previous, float current);

  void ChooseProcess();
  void SelectTableSet();
  void SelectTable(std::uint32_t increment);
  std::uint32_t IncrementOf(float pitch) const;
  static std::uint32_t PmOffset(float phaseMod, float depth);
  static std::uint32_t PulseOffset(float width);
  static void InitialPhase(ug_base& module);

  float* pitch_ = nullptr;
  float* pulseWidth_ = nullptr;
  float* out_ = nullptr;
  float* sync_ = nullptr;
  float* phaseMod_ = nullptr;
  float* pmDepth_ = nullptr;
  std::int16_t waveform_ = WS_SAW;
  std::int16_t freqScale_ = 0;
  bool smoothPeaks_ = true;
  bool syncCrossFade_ = true;

  std::shared_ptr<const kr::dsp::OscPitch> pitchConv_;
  const kr::dsp::WaveTableSet* set_ = nullptr;
  kr::dsp::TableChoice choice_;
  const kr::dsp::Uwavetable* oldTable_ = nullptr;
  int tableFadeLeft_ = 0;
  RenderState state_;
  std::uint32_t pulseOffset_ = 0x80000000u;
  RenderFn render_ = nullptr;
  bool pitchStreams_ = false;
  bool syncStreams_ = false;
  float* dest_ = nullptr;         // where renders write: the output, or scratch
  std::vector<float> scratch_;      // the old table's render during a table cross-fade
  std::vector<float> syncScratch_;  // the continuing phase's sample during a sync fade
  kr::dsp::noise::PinkFilter pink_;
};

}  // namespace kr
