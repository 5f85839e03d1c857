#include "modules/analyse/freq_response.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

// --- the writer: measures, and makes what the reader sends next period -----------

void UFreqResp::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<UFreqResp> kPlugs[] = {
      {.at = PN_SIGNAL_IN,
       .name = "Signal In",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "What the patch returns",
       .bind = &UFreqResp::in_},
      {.at = PN_SIGNAL_OUT, .name = "Signal Out", .direction = DR_OUT, .hint = "The test sweep, 5 V"},
      {.at = PN_LOW,
       .name = "Low Freq",
       .direction = DR_PARAMETER,
       .type = DT_FLOAT,
       .defaultText = "20",
       .hint = "Lowest frequency of the sweep, Hz",
       .bind = &UFreqResp::low_},
      {.at = PN_HIGH,
       .name = "High Freq",
       .direction = DR_PARAMETER,
       .type = DT_FLOAT,
       .defaultText = "20000",
       .hint = "Highest frequency of the sweep, Hz",
       .bind = &UFreqResp::high_},
      {.at = PN_POINTS,
       .name = "Points",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "32",
       .list = "8=8,16=16,32=32,64=64",
       .hint = "Frequencies measured per sweep",
       .bind = &UFreqResp::points_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

std::unique_ptr<ug_base> UFreqResp::MakeReader() {
  auto reader = MakePairReader<UFreqRespOut>(*this);
  Link(*reader);
  return reader;
}

void UFreqResp::Link(UFreqRespOut& reader) {
  reader_ = &reader;
  reader.writer_ = this;
  // Wires drawn from "Signal Out" leave from the reader's.
  if (PN_SIGNAL_OUT < PlugCount() && UFreqRespOut::PN_SIGNAL_OUT < reader.PlugCount())
    GetPlug(PN_SIGNAL_OUT)->redirect = reader.GetPlug(UFreqRespOut::PN_SIGNAL_OUT);
}

ug_base* UFreqResp::PairPartner() const { return reader_; }

void UFreqResp::ConnectClone(ug_base& prototype, int voice) {
  ug_base::ConnectClone(prototype, voice);
  if (auto* copy = VoiceCopyOf(static_cast<UFreqResp&>(prototype).reader_)) Link(*copy);
}

void UFreqResp::Open() {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  plan_ = dsp::sweep::Checked({rate, low_, high_, points_});
  state_ = {};
  taken_ = {};
  handOn_ = reader_ != nullptr ? reader_->HandOnBlock() : nullptr;
  SetProcessFunction(&UFreqResp::Measure);
  ug_base::Open();
}

void UFreqResp::Measure(int offset, int count) {
  if (handOn_ == nullptr) return;
  for (int i = offset; i < offset + count; ++i) {
    dsp::sweep::Sent& slot = handOn_[i];
    // What the reader sent this period, and what came back.
    dsp::sweep::Take(plan_, taken_, slot, in_[i] / kAmplitude);
    // Each measured point redraws the panel's curve.
    if (slot.lastOfPoint && audioMaster != nullptr && (flags & UGF_CLONE) == 0)
      audioMaster->Host().PostCurve(*this, taken_.gainDb.data(), plan_.points);
    slot = dsp::sweep::Next(plan_, state_);
  }
}

float UFreqResp::GainDb(int point) const {
  if (point < 0 || point >= plan_.points) return 0.0f;
  return taken_.gainDb[static_cast<std::size_t>(point)];
}

// --- the reader: sends -----------------------------------------------------------

void UFreqRespOut::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<UFreqRespOut> kPlugs[] = {
      {.at = PN_UNUSED, .name = "", .type = DT_ENUM, .defaultText = "0", .bind = &UFreqRespOut::unused_},
      {.at = PN_SIGNAL_OUT, .name = "Signal Out", .direction = DR_OUT, .bind = &UFreqRespOut::out_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

ug_base* UFreqRespOut::PairPartner() const { return writer_; }

dsp::sweep::Sent* UFreqRespOut::HandOnBlock() {
  // The first period sends silence (weight 0: nothing measured).
  if (handOn_.empty()) handOn_.assign(static_cast<std::size_t>(BlockLength()), dsp::sweep::Sent{});
  return handOn_.data();
}

void UFreqRespOut::Open() {
  HandOnBlock();
  SetProcessFunction(&UFreqRespOut::Send);
  ug_base::Open();
  GetPlug(PN_SIGNAL_OUT)->SetState(clock, ST_RUN);
}

void UFreqRespOut::Send(int offset, int count) {
  for (int i = offset; i < offset + count; ++i)
    out_[i] = handOn_[static_cast<std::size_t>(i)].sine * UFreqResp::kAmplitude;
}

}  // namespace kr
