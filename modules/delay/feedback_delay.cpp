#include "modules/delay/feedback_delay.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

constexpr const char* kDelayTimeHint = "The delay in milliseconds that this module adds to the signal (OUTPUT ONLY).";

}  // namespace

// --- the writer ----------------------------------------------------------------

void ug_feedback_delay::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_feedback_delay> kPlugs[] = {
      {.at = PN_IN, .name = "Audio In", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_feedback_delay::in_},
      {.at = PN_OUT, .name = "Audio Out", .direction = DR_OUT, .defaultText = "5"},
      {.at = PN_DELAY_TIME, .name = "Delay Time Out", .direction = DR_OUT, .defaultText = "5", .hint = kDelayTimeHint},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

std::unique_ptr<ug_base> ug_feedback_delay::MakeReader() {
  auto reader = MakePairReader<ug_feedback_delay_out>(*this);
  Link(*reader);
  return reader;
}

void ug_feedback_delay::Link(ug_feedback_delay_out& reader) {
  reader_ = &reader;
  reader.writer_ = this;
  // Wires drawn from this module's outputs leave from the reader's.
  for (int i : {PN_OUT, PN_DELAY_TIME})
    if (i < PlugCount() && i < reader.PlugCount()) GetPlug(i)->redirect = reader.GetPlug(i);
}

ug_base* ug_feedback_delay::PairPartner() const { return reader_; }

void ug_feedback_delay::Open() {
  handOn_ = reader_ != nullptr ? reader_->HandOnBlock() : nullptr;
  SetProcessFunction(&ug_base::SleepCheck);
  ug_midi_device::Open();
}

void ug_feedback_delay::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c == nullptr || c->to != GetPlug(PN_IN)) return;
  if (reader_ != nullptr) reader_->AddEvent(reader_->NewEvent(time + BlockLength(), UET_PARTNER_STATE, state), true);
  if (state == ST_RUN) {
    SetProcessFunction(&ug_feedback_delay::Copy);
  } else {
    StartSettling(&ug_feedback_delay::CopySettle);
  }
}

void ug_feedback_delay::Copy(int offset, int count) {
  if (handOn_ != nullptr) std::copy_n(in_ + offset, count, handOn_ + offset);
}

void ug_feedback_delay::CopySettle(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) { Copy(at, n); });
}

void ug_feedback_delay::ConnectClone(ug_base& prototype, int voice) {
  ug_midi_device::ConnectClone(prototype, voice);
  if (auto* copy = VoiceCopyOf(static_cast<ug_feedback_delay&>(prototype).reader_)) Link(*copy);
}

// --- the reader ----------------------------------------------------------------

void ug_feedback_delay_out::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_feedback_delay_out> kPlugs[] = {
      {.at = PN_UNUSED, .name = "", .type = DT_ENUM, .defaultText = "0", .bind = &ug_feedback_delay_out::unused_},
      {.at = PN_OUT,
       .name = "Audio Out",
       .direction = DR_OUT,
       .defaultText = "5",
       .bind = &ug_feedback_delay_out::out_},
      {.at = PN_DELAY_TIME,
       .name = "Delay Time Out",
       .direction = DR_OUT,
       .defaultText = "5",
       .hint = kDelayTimeHint,
       .bind = &ug_feedback_delay_out::delayTimeOut_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

ug_base* ug_feedback_delay_out::PairPartner() const { return writer_; }

float* ug_feedback_delay_out::HandOnBlock() {
  if (handOn_.empty()) handOn_.assign(static_cast<std::size_t>(BlockLength()), 0.0f);
  return handOn_.data();
}

float ug_feedback_delay_out::DelayTimeValue() const {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  return static_cast<float>(BlockLength() / rate * 100.0);
}

void ug_feedback_delay_out::Open() {
  HandOnBlock();
  running_ = false;
  copyCount_ = 0;
  delayTimeCount_ = BlockLength();
  SetProcessFunction(&ug_feedback_delay_out::Run);
  ug_base::Open();
  GetPlug(PN_DELAY_TIME)->SetState(clock, ST_STATIC);
}

void ug_feedback_delay_out::HandleEvent(ug_event* event) {
  if (event->type != UET_PARTNER_STATE) return ug_base::HandleEvent(event);
  const auto state = static_cast<PlugState>(event->value);
  GetPlug(PN_OUT)->SetState(event->time, state);
  running_ = state == ST_RUN;
  // A settled input: one more period carries its last value everywhere.
  if (!running_) copyCount_ = BlockLength();
  SetProcessFunction(&ug_feedback_delay_out::Run);
}

void ug_feedback_delay_out::Run(int offset, int count) {
  if (running_) {
    std::copy_n(handOn_.data() + offset, count, out_ + offset);
  } else if (copyCount_ > 0) {
    const int n = std::min(count, copyCount_);
    std::copy_n(handOn_.data() + offset, n, out_ + offset);
    copyCount_ -= n;
  }
  if (delayTimeCount_ > 0) {
    const int n = std::min(count, delayTimeCount_);
    std::fill_n(delayTimeOut_ + offset, n, DelayTimeValue());
    delayTimeCount_ -= n;
  }
  if (!running_ && copyCount_ <= 0 && delayTimeCount_ <= 0) SetProcessFunction(&ug_base::SleepCheck);
}

}  // namespace kr
