#include "modules/mix/pan.h"

#include <algorithm>

#include "modules/render_table.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

// --- Pan -------------------------------------------------------------------------

void ug_pan::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_pan> kPlugs[] = {
      {.at = PN_INPUT,
       .name = "Input",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "Audio signal input",
       .bind = &ug_pan::in_},
      {.at = PN_PAN,
       .name = "Pan",
       .defaultText = "0",
       .list = "5,-5,5,-5",
       .flags = PF_CONTROL,
       .hint = "-5V = Left, +5V = Right",
       .bind = &ug_pan::pan_},
      {.at = PN_LEFT, .name = "Left Out", .direction = DR_OUT, .defaultText = "5", .bind = &ug_pan::left_},
      {.at = PN_RIGHT, .name = "Right Out", .direction = DR_OUT, .defaultText = "5", .bind = &ug_pan::right_},
      {.at = PN_VOLUME,
       .name = "Volume",
       .defaultText = "8",
       .flags = PF_CONTROL,
       .hint = "Controls the Volume of the input signal. 10 V = original volume, 0 V = silence",
       .bind = &ug_pan::volume_},
      {.at = PN_LAW,
       .name = "Fade Law",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "1",
       .list = kFadeLawList,
       .hint = kFadeLawHint,
       .bind = &ug_pan::law_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
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
  static constexpr PlugDecl<ug_cross_fade> kPlugs[] = {
      {.at = PN_A, .name = "Input A", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_cross_fade::a_},
      {.at = PN_B, .name = "Input B", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_cross_fade::b_},
      {.at = PN_MIX,
       .name = "Mix",
       .defaultText = "0",
       .list = "5,-5,5,-5",
       .flags = PF_CONTROL,
       .hint = "Varies the mix from +5V - Input A, to -5V - Input B",
       .bind = &ug_cross_fade::mix_},
      {.at = PN_OUT, .name = "Signal Out", .direction = DR_OUT, .defaultText = "5", .bind = &ug_cross_fade::out_},
      {.at = PN_LAW,
       .name = "Fade Law",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "1",
       .list = kFadeLawList,
       .hint = kFadeLawHint,
       .bind = &ug_cross_fade::law_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
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

}  // namespace kr
