#include "modules/osc/oscillator_pd.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/audio_master.h"
#include "modules/render_table.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

const std::array<ug_oscillator_pd::Shape, ug_oscillator_pd::kWaves> kShapes = {{
    {{{{0, 0, 0}, {0.5f, 0.5f, -0.5f}, {1, 1, 0}}}, 3, false},
    {{{{0, 0, 0}, {0, 0, 0.25f}, {0.5f, 0.5f, -0.25f}, {0.5f, 0.5f, 0.25f}, {1, 1, -0.25f}, {1, 1, 0}}}, 6, false},
    {{{{0, 0, 0}, {0, 0, 0.5f}, {1, 1, -0.5f}, {1, 1, 0}}}, 4, false},
    {{{{0, 0, 0}, {0.5f, 1, -0.5f}, {1, 2, 0}}}, 3, false},
    {{{{0, 0, 0}, {0.5f, 0.5f, 0}, {1, 1, -0.5f}, {1, 1, 0}}}, 4, false},
    // Resonant waves: the window at x = 0, 0.5, 1 (in y).
    {{{{0, 1, 0}, {0.5f, 0.5f, 0}, {1, 0, 0}}}, 3, true},
    {{{{0, 0, 0}, {0.5f, 1, 0}, {1, 0, 0}}}, 3, true},
    {{{{0, 1, 0}, {0.5f, 1, 0}, {1, 0, 0}}}, 3, true},
}};

}  // namespace

const ug_oscillator_pd::Shape& ug_oscillator_pd::ShapeOf(int wave) {
  return kShapes[static_cast<std::size_t>(wave >= 0 && wave < kWaves ? wave : 0)];
}

float ug_oscillator_pd::DistortedPhase(const Shape& shape, float v, float depth, int& segment) {
  auto xAt = [&](int i) {
    const Breakpoint& b = shape.points[static_cast<std::size_t>(i)];
    return b.x + b.d * depth;
  };
  const int last = shape.count - 2;  // segments 0 ... count - 2
  segment = std::clamp(segment, 0, last);
  // Walk from the previous segment; a phase on a breakpoint stays in the earlier one.
  while (segment > 0 && v < xAt(segment)) --segment;
  while (segment < last && v > xAt(segment + 1)) ++segment;
  const Breakpoint& a = shape.points[static_cast<std::size_t>(segment)];
  const Breakpoint& b = shape.points[static_cast<std::size_t>(segment + 1)];
  const float x0 = xAt(segment), x1 = xAt(segment + 1);
  if (x1 <= x0) return b.y;
  return a.y + (v - x0) * (b.y - a.y) / (x1 - x0);
}

float ug_oscillator_pd::Window(const Shape& shape, float v) {
  const Breakpoint* p = shape.points.data();
  return v < 0.5f ? p[0].y + v * 2.0f * (p[1].y - p[0].y) : p[1].y + (v - 0.5f) * 2.0f * (p[2].y - p[1].y);
}

std::unique_ptr<ug_base> ug_oscillator_pd::CreateSame() { return std::make_unique<ug_oscillator_pd>(); }

std::unique_ptr<ug_base> ug_oscillator_pd::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_oscillator_pd&>(*copy).pitchConv_ = pitchConv_;
  return copy;
}

void ug_oscillator_pd::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_oscillator_pd> kPlugs[] = {
      {.at = PN_PITCH,
       .name = "Pitch",
       .defaultText = "5",
       .list = "100, 0, 10, 0",
       .flags = PF_CONTROL,
       .hint = "1 Volt per Octave, 5V = Middle A",
       .bind = &ug_oscillator_pd::pitch_},
      {.at = PN_DEPTH,
       .name = "Modulation Depth",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Controls Waveshape distortion. 0 to 10 Volts = 0 to 100%",
       .bind = &ug_oscillator_pd::depth_},
      {.at = PN_OUT, .name = "Audio Out", .direction = DR_OUT, .defaultText = "0", .bind = &ug_oscillator_pd::out_},
      {.at = PN_WAVE1,
       .name = "Wave1",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "Saw,Square,Pulse,Dbl Sine,Saw-Pulse,Reso1,Reso2,Reso3",
       .flags = PF_CONTROL,
       .hint = "Selects different wave shapes",
       .bind = &ug_oscillator_pd::wave1_},
      {.at = PN_WAVE2,
       .name = "Wave2",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "None=-1,Saw,Square,Pulse,Dbl Sine,Saw-Pulse,Reso1,Reso2,Reso3",
       .flags = PF_CONTROL,
       .hint = "Selects different wave shapes",
       .bind = &ug_oscillator_pd::wave2_},
      {.at = PN_FREQ_SCALE,
       .name = "Freq Scale",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1 Volt/Octave, 1 Volt/kHz ",
       .hint = "Switches between 1 Volt per Octave or 1 Volt per kHz response.",
       .bind = &ug_oscillator_pd::freqScale_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_oscillator_pd::Open() {
  const double rate = audioMaster != nullptr && audioMaster->SampleRate() > 0.0 ? audioMaster->SampleRate() : 44100.0;
  if (!pitchConv_ || pitchConv_->SampleRate() != rate) pitchConv_ = std::make_shared<const kr::dsp::OscPitch>(rate);
  cosine_ = &kr::dsp::CosineTableSet().front();
  dcCoefficient_ = static_cast<float>(2.0 * std::sin(7.0 * std::numbers::pi / rate));
  ug_base::Open();
  phase_ = 0;
  segment_ = 0;
  secondShape_ = false;
  dcTrack_ = 0.0f;
  increment_ = IncrementOf(ValueAt(pitch_, clock));
  depthValue_ = std::clamp(ValueAt(depth_, clock), 0.0f, kMaxDepth);
  ChooseProcess();
  GetPlug(PN_OUT)->SetState(clock, ST_RUN);
}

float ug_oscillator_pd::ValueAt(const float* buffer, int time) const {
  return buffer[std::clamp(time - PeriodStart(), 0, BlockLength() - 1)];
}

std::uint32_t ug_oscillator_pd::IncrementOf(float pitch) const {
  return freqScale_ == 1 ? pitchConv_->VoltsPerKHz(pitch) : pitchConv_->VoltsPerOctave(pitch);
}

void ug_oscillator_pd::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c != nullptr && c->to == GetPlug(PN_PITCH)) increment_ = IncrementOf(ValueAt(pitch_, time));
  if (c != nullptr && c->to == GetPlug(PN_FREQ_SCALE)) increment_ = IncrementOf(ValueAt(pitch_, time));
  if (c != nullptr && c->to == GetPlug(PN_DEPTH)) {
    const float d = ValueAt(depth_, time);
    depthValue_ = std::isnan(d) ? 0.0f : std::clamp(d, 0.0f, kMaxDepth);
  }
  if (wave2_ < 0) secondShape_ = false;
  (void)state;
  ChooseProcess();
}

void ug_oscillator_pd::ChooseProcess() {
  const bool pitchRun = GetPlug(PN_PITCH)->state == ST_RUN;
  const bool depthRun = GetPlug(PN_DEPTH)->state == ST_RUN;
  if (!pitchRun && increment_ > cosine_->upperBound) {
    SetProcessFunction(&ug_oscillator_pd::Silence);
    return;
  }
  const bool khz = freqScale_ == 1;
  static constexpr auto kRenders = kr::RenderTable<8>(
      [](auto i) { return &ug_oscillator_pd::Render<kr::Bit<2>(i), kr::Bit<1>(i), kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(pitchRun, depthRun, khz)]);
}

void ug_oscillator_pd::Silence(int offset, int count) { std::fill_n(out_ + offset, count, 0.0f); }

template <bool PitchRun, bool DepthRun, bool KHz>
void ug_oscillator_pd::Render(int offset, int count) {
  const kr::dsp::Uwavetable& table = *cosine_;
  const std::uint32_t limit = table.upperBound;
  const Shape* shape = &ShapeOf(secondShape_ ? wave2_ : wave1_);
  float depth = depthValue_;
  std::uint32_t increment = increment_;
  for (int i = offset; i < offset + count; ++i) {
    if constexpr (PitchRun) increment = KHz ? pitchConv_->VoltsPerKHz(pitch_[i]) : pitchConv_->VoltsPerOctave(pitch_[i]);
    if constexpr (DepthRun) depth = std::isnan(depth_[i]) ? 0.0f : std::clamp(depth_[i], 0.0f, kMaxDepth);
    if (PitchRun && increment > limit) {
      out_[i] = 0.0f;
      continue;
    }
    const float v = static_cast<float>(phase_) * (1.0f / 4294967296.0f);
    float value;
    if (shape->resonant) {
      const double fast = static_cast<double>(phase_) * (10.0 * depth + 1.0);
      const float t = table.Read(static_cast<std::uint32_t>(static_cast<std::uint64_t>(fast)));
      const float w = Window(*shape, v);
      value = 0.5f - 0.5f * w + w * t;
    } else {
      const float y = DistortedPhase(*shape, v, depth, segment_);
      value = table.Read(static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<double>(y) * 4294967296.0)));
    }
    out_[i] = value - dcTrack_;
    dcTrack_ -= dcCoefficient_ * (dcTrack_ - value);
    const std::uint32_t next = phase_ + increment;
    if (next < phase_ && wave2_ >= 0) {
      // Each wrap takes the next shape of the pair.
      secondShape_ = !secondShape_;
      shape = &ShapeOf(secondShape_ ? wave2_ : wave1_);
    }
    phase_ = next;
  }
  increment_ = increment;
}

}  // namespace kr
