#include "modules/env/vca.h"

#include <algorithm>

#include "modules/render_table.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
int CurveIndex(int curve) { return curve >= VC_DECIBEL_OLD && curve <= VC_DECIBEL ? curve : VC_EXPONENTIAL; }
}  // namespace

std::unique_ptr<ug_base> ug_vca::CreateSame() { return std::make_unique<ug_vca>(); }

std::unique_ptr<ug_base> ug_vca::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_vca&>(*copy).tables_ = tables_;
  return copy;
}

void ug_vca::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_vca> kPlugs[] = {
      {.at = PN_SIGNAL,
       .name = "Signal",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "The 2 inputs are Multiplied (Ring Modulated). Then 'normalised' eg 5V multiplied by 2 V = 1V, (5 * 2 ) "
               "/ 10 ",
       .bind = &ug_vca::signal_},
      {.at = PN_VOLUME, .name = "Volume", .defaultText = "8", .flags = PF_CONTROL, .bind = &ug_vca::volume_},
      {.at = PN_OUT, .name = "Output", .direction = DR_OUT, .defaultText = "0", .bind = &ug_vca::out_},
      {.at = PN_CURVE,
       .name = "Response Curve",
       .type = DT_ENUM,
       .defaultText = "1",
       .list = "Exponential=1,Linear,Decibel,Decibel (old)=0",
       .hint = "In db mode: 10V to 2V gives 0 to -40db, 2V to 0v gives -40db to -70db (silence)",
       .bind = &ug_vca::curve_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_vca::Open() {
  for (int curve = 0; curve < 4; ++curve)
    if (!tables_[static_cast<std::size_t>(curve)]) tables_[static_cast<std::size_t>(curve)] = kr::dsp::vca::CurveTable(curve);
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
  ChooseProcess(clock);
}

float ug_vca::ValueAt(const float* buffer, int time) const {
  const int index = std::clamp(time - PeriodStart(), 0, BlockLength() - 1);
  return buffer[index];
}

void ug_vca::OnPlugStateChange(int time, connector*, PlugState) { ChooseProcess(time); }

void ug_vca::ChooseProcess(int time) {
  table_ = tables_[static_cast<std::size_t>(CurveIndex(curve_))].get();
  const bool sigRun = GetPlug(PN_SIGNAL)->state == ST_RUN;
  const bool volRun = GetPlug(PN_VOLUME)->state == ST_RUN;
  signalValue_ = ValueAt(signal_, time);
  const float volume = ValueAt(volume_, time);
  gain_ = kr::dsp::vca::Gain(curve_, volume);
  const bool silentSignal = !sigRun && signalValue_ == 0.0f;
  const bool silentVolume = !volRun && (curve_ == VC_LINEAR ? volume == 0.0f : volume <= 0.0f);
  if ((!sigRun && !volRun) || silentSignal || silentVolume) {
    constant_ = silentSignal || silentVolume ? 0.0f : signalValue_ * gain_;
    StartSettling(&ug_vca::SettleConstant);
    GetPlug(PN_OUT)->SetState(time, ST_STATIC);
    return;
  }
  GetPlug(PN_OUT)->SetState(time, ST_RUN);
  // Index: the curve (two bits), then the signal and volume flags. A static
  // volume is one gain whatever the curve (and then the signal streams).
  static constexpr auto kRenders = kr::RenderTable<16>([](auto i) {
    if constexpr (!kr::Bit<0>(i)) return &ug_vca::Render<true, false, VC_LINEAR>;
    else return &ug_vca::Render<kr::Bit<1>(i), true, static_cast<int>(decltype(i)::value >> 2)>;
  });
  SetProcessFunction(kRenders[static_cast<std::size_t>(CurveIndex(curve_)) * 4 + kr::RunBits(sigRun, volRun)]);
}

template <bool SigRun, bool VolRun, int Curve>
void ug_vca::Render(int offset, int count) {
  const float* signal = signal_ + offset;
  const float* volume = volume_ + offset;
  float* out = out_ + offset;
  for (int i = 0; i < count; ++i) {
    const float s = SigRun ? signal[i] : signalValue_;
    float g = gain_;
    if constexpr (VolRun) {
      const float v = volume[i];
      if constexpr (Curve == VC_LINEAR) {
        g = std::max(v, 0.0f);
      } else {
        g = v <= 1.0f ? table_->Interpolate(v) : kr::dsp::vca::Gain(Curve, v);
      }
    }
    out[i] = s * g;
  }
}

void ug_vca::SettleConstant(int offset, int count) {
  kr::SettleFill(*this, out_, constant_, offset, count);
}

}  // namespace kr
