#include "modules/mix/pan.h"

#include <algorithm>

#include "modules/render_table.h"
#include "modules/signal_helpers.h"

// --- Pan -------------------------------------------------------------------------

const char* ug_pan::FadeLawList() { return "Equal Intensity (0dB), Equal Power(+3dB), Sqr Root"; }
const char* ug_pan::FadeLawHint() { return "Chooses different cross fade laws"; }

void ug_pan::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Input", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "Audio signal input", &in_);
  list.emplace_back(nullptr, nullptr, "Pan", DR_IN, DT_AUDIO, "0", "5,-5,5,-5", PF_CONTROL, "-5V = Left, +5V = Right",
                    &pan_);
  list.emplace_back(nullptr, nullptr, "Left Out", DR_OUT, DT_AUDIO, "5", "", 0, "", &left_);
  list.emplace_back(nullptr, nullptr, "Right Out", DR_OUT, DT_AUDIO, "5", "", 0, "", &right_);
  list.emplace_back(nullptr, nullptr, "Volume", DR_IN, DT_AUDIO, "8", "", PF_CONTROL,
                    "Controls the Volume of the input signal. 10 V = original volume, 0 V = silence", &volume_);
  list.emplace_back(&law_, &typeid(std::int16_t), "Fade Law", DR_PARAMETER, DT_ENUM, "1", FadeLawList(), 0,
                    FadeLawHint());
}

void ug_pan::Open() {
  if (!tables_.sinPower) tables_ = kr::dsp::ObtainFadeTables();
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
  ChooseProcess(clock);
}

void ug_pan::OnPlugStateChange(int time, connector*, PlugState) { ChooseProcess(time); }

void ug_pan::ChooseProcess(int time) {
  const bool inRun = GetPlug(PN_INPUT)->state == ST_RUN;
  const bool panRun = GetPlug(PN_PAN)->state == ST_RUN;
  const bool volRun = GetPlug(PN_VOLUME)->state == ST_RUN;
  inValue_ = kr::SampleAt(*this, in_, time);
  panValue_ = kr::SampleAt(*this, pan_, time);
  const float volume = kr::SampleAt(*this, volume_, time);
  volumeFactor_ = kr::dsp::PanVolumeFactor(tables_, volume);
  gains_ = kr::dsp::PanGains(tables_, law_, panValue_, volumeFactor_);
  const bool silent = (!inRun && inValue_ == 0.0f) || (!volRun && volume == 0.0f);
  if (silent || (!inRun && !panRun && !volRun)) {
    constant_ = silent ? kr::dsp::StereoGains{} : kr::dsp::StereoGains{gains_.left * inValue_, gains_.right * inValue_};
    StartSettling(&ug_pan::Settle);
    GetPlug(PN_LEFT)->SetState(time, ST_STATIC);
    GetPlug(PN_RIGHT)->SetState(time, ST_STATIC);
    return;
  }
  GetPlug(PN_LEFT)->SetState(time, ST_RUN);
  GetPlug(PN_RIGHT)->SetState(time, ST_RUN);
  static constexpr auto kRenders = kr::RenderTable<8>(
      [](auto i) { return &ug_pan::Render<kr::Bit<2>(i), kr::Bit<1>(i), kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(inRun, panRun, volRun)]);
}

template <bool InRun, bool PanRun, bool VolRun>
void ug_pan::Render(int offset, int count) {
  kr::dsp::StereoGains g = gains_;
  for (int i = offset; i < offset + count; ++i) {
    if constexpr (PanRun || VolRun) {
      const float factor = VolRun ? kr::dsp::PanVolumeFactor(tables_, volume_[i]) : volumeFactor_;
      g = kr::dsp::PanGains(tables_, law_, PanRun ? pan_[i] : panValue_, factor);
    }
    const float x = InRun ? in_[i] : inValue_;
    left_[i] = g.left * x;
    right_[i] = g.right * x;
  }
}

void ug_pan::Settle(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) {
    std::fill_n(left_ + at, n, constant_.left);
    std::fill_n(right_ + at, n, constant_.right);
  });
}

// --- X-Mix -----------------------------------------------------------------------

void ug_cross_fade::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Input A", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "", &a_);
  list.emplace_back(nullptr, nullptr, "Input B", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "", &b_);
  list.emplace_back(nullptr, nullptr, "Mix", DR_IN, DT_AUDIO, "0", "5,-5,5,-5", PF_CONTROL,
                    "Varies the mix from +5V - Input A, to -5V - Input B", &mix_);
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO, "5", "", 0, "", &out_);
  list.emplace_back(&law_, &typeid(std::int16_t), "Fade Law", DR_PARAMETER, DT_ENUM, "1", FadeLawList(), 0,
                    FadeLawHint());
}

void ug_cross_fade::Open() {
  if (!tables_.sinPower) tables_ = kr::dsp::ObtainFadeTables();
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
  ChooseProcess(clock);
}

void ug_cross_fade::OnPlugStateChange(int time, connector*, PlugState) { ChooseProcess(time); }

void ug_cross_fade::SetGains(float mix) {
  const float a = kr::dsp::FadePosition(mix);
  gainA_ = kr::dsp::FadeGain(tables_, law_, 1.0f - a);
  gainB_ = kr::dsp::FadeGain(tables_, law_, a);
}

void ug_cross_fade::ChooseProcess(int time) {
  const bool aRun = GetPlug(PN_A)->state == ST_RUN;
  const bool bRun = GetPlug(PN_B)->state == ST_RUN;
  const bool mixRun = GetPlug(PN_MIX)->state == ST_RUN;
  aValue_ = kr::SampleAt(*this, a_, time);
  bValue_ = kr::SampleAt(*this, b_, time);
  SetGains(kr::SampleAt(*this, mix_, time));
  if (!aRun && !bRun && !mixRun) {
    mixConstant_ = gainA_ * aValue_ + gainB_ * bValue_;
    StartSettling(&ug_cross_fade::Settle);
    GetPlug(PN_OUT)->SetState(time, ST_STATIC);
    return;
  }
  GetPlug(PN_OUT)->SetState(time, ST_RUN);
  static constexpr auto kRenders = kr::RenderTable<8>(
      [](auto i) { return &ug_cross_fade::Render<kr::Bit<2>(i), kr::Bit<1>(i), kr::Bit<0>(i)>; });
  SetProcessFunction(kRenders[kr::RunBits(aRun, bRun, mixRun)]);
}

template <bool ARun, bool BRun, bool MixRun>
void ug_cross_fade::Render(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    if constexpr (MixRun) SetGains(mix_[i]);
    out_[i] = gainA_ * (ARun ? a_[i] : aValue_) + gainB_ * (BRun ? b_[i] : bValue_);
  }
}

void ug_cross_fade::Settle(int offset, int count) { kr::SettleFill(*this, out_, mixConstant_, offset, count); }
