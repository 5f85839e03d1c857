#include "modules/seq/step_sequencer.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "engine/audio_master.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

constexpr int kLastPattern = SequencePatterns::kCount - 1;
constexpr std::int32_t kTimeWanted = vst::kVstTempoValid | vst::kVstPpqPosValid;

}  // namespace

void ug_step_sequencer::ListInterface(InterfaceList& list) {
  legacy_controls::ListControlPlugs(*this, list);
  static constexpr PlugDecl<ug_step_sequencer> kPlugs[] = {
      {.at = PN_CLOCK,
       .name = "Clock",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "With Clock Source 'Gate Input': a step on each rise above 3.3 V",
       .bind = &ug_step_sequencer::clockIn_},
      {.at = PN_RESET,
       .name = "Reset",
       .defaultText = "0",
       .hint = "A rise above 3.3 V starts the pattern again at the next step",
       .bind = &ug_step_sequencer::resetIn_},
      {.at = PN_CLOCK_SOURCE,
       .name = "Clock Source",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "Host Tempo,Gate Input",
       .bind = &ug_step_sequencer::clockSource_},
      {.at = PN_STEP_SIZE,
       .name = "Step Size",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "16",
       .list = "1/4=4,1/8=8,1/16=16,1/32=32",
       .hint = "With Clock Source 'Host Tempo': the note value of one step",
       .bind = &ug_step_sequencer::stepSize_},
      {.at = PN_GATE_OUT, .name = "Gate Out", .direction = DR_OUT, .bind = &ug_step_sequencer::gateOut_},
      {.at = PN_PITCH_OUT,
       .name = "Pitch Out",
       .direction = DR_OUT,
       .hint = "1 Volt per Octave, 5V = Middle A",
       .bind = &ug_step_sequencer::pitchOut_},
      {.at = PN_VELOCITY_OUT,
       .name = "Velocity Out",
       .direction = DR_OUT,
       .hint = "0 to 10 V",
       .bind = &ug_step_sequencer::velocityOut_},
  };
  static_assert(PlugIndicesMatch(kPlugs, legacy_controls::kControlPlugCount) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_step_sequencer::ReceivePatterns(const SequencePatterns& patterns) { patterns_ = patterns; }

int ug_step_sequencer::PatternFromValue(float value) {
  if (!(value > 0.0f)) return 0;  // NaN too
  return value >= static_cast<float>(kLastPattern) ? kLastPattern : static_cast<int>(std::lround(value));
}

void ug_step_sequencer::ApplyValue(int patch, bool) {
  waitingPattern_ = PatternFromValue(std::bit_cast<float>(ProgramValue(patch)));
  if (!started_) pattern_ = waitingPattern_;
}

bool ug_step_sequencer::SetFromMidi(float value) {
  if (!(value >= 0.0f)) return false;
  waitingPattern_ = PatternFromValue(std::min(value, 1.0f) * kLastPattern);
  if (!started_) pattern_ = waitingPattern_;
  return true;
}

float ug_step_sequencer::NormalisedValue() { return static_cast<float>(waitingPattern_) / kLastPattern; }

std::int32_t ug_step_sequencer::CurrentValue() { return std::bit_cast<std::int32_t>(static_cast<float>(waitingPattern_)); }

void ug_step_sequencer::Open() {
  step_ = 0;
  origin_ = 0;
  started_ = false;
  restart_ = false;
  clock_ = {};
  reset_ = {};
  gate_ = 0.0f;
  velocity_ = 0.0f;
  pitch_ = 0.5f;
  // A gate clock settles until its inputs say they stream (their state
  // changes arrive from the open).
  if (clockSource_ == kGateInput)
    StartSettling(&ug_step_sequencer::SettleGateClock);
  else
    SetProcessFunction(&ug_step_sequencer::RunHostTime);
  ug_control::Open();
  pattern_ = waitingPattern_ = PatternFromValue(std::bit_cast<float>(ProgramValue(-1)));
  const PlugState state = clockSource_ == kGateInput ? ST_STATIC : ST_RUN;
  for (int plug : {PN_GATE_OUT, PN_PITCH_OUT, PN_VELOCITY_OUT}) GetPlug(plug)->SetState(clock, state);
}

const SequenceStep* ug_step_sequencer::StepOf(std::int64_t step) const {
  const SequencePattern& p = patterns_.patterns[static_cast<std::size_t>(pattern_)];
  const std::int64_t length = std::clamp(p.length, 0, SequencePattern::kMaxSteps);
  if (length == 0) return nullptr;
  const std::int64_t index = (step % length + length) % length;  // before the song's start too
  return &p.steps[static_cast<std::size_t>(index)];
}

bool ug_step_sequencer::CarriedOn(std::int64_t step) const {
  const SequenceStep* next = StepOf(step + 1);
  return next != nullptr && next->gate == SequenceStep::kTie;
}

void ug_step_sequencer::EnterStep(std::int64_t step) {
  pattern_ = waitingPattern_;
  step_ = step;
  started_ = true;
  const SequenceStep* s = StepOf(step);
  if (s != nullptr && s->gate == SequenceStep::kNote) {
    pitch_ = s->pitch;
    velocity_ = s->velocity;
  }
}

void ug_step_sequencer::Write(int i) {
  gateOut_[i] = gate_;
  pitchOut_[i] = pitch_;
  velocityOut_[i] = velocity_;
}

// --- host time ----------------------------------------------------------------

void ug_step_sequencer::RunHostTime(int offset, int count) {
  const double rate = audioMaster != nullptr && audioMaster->SampleRate() > 0.0 ? audioMaster->SampleRate() : 44100.0;
  const auto info = audioMaster != nullptr ? audioMaster->GetTimeInfo(kTimeWanted) : std::nullopt;
  double tempo = 120.0;
  if (info && (info->flags & vst::kVstTempoValid) != 0 && info->tempo > 0.0 && info->tempo < 1.0e4) tempo = info->tempo;
  const double quartersPerSample = tempo / (60.0 * rate);
  double quarters = PeriodStart() * quartersPerSample;  // no song position: from engine start
  if (info && (info->flags & vst::kVstPpqPosValid) != 0 && std::isfinite(info->ppqPos)) quarters = info->ppqPos;
  const bool playing = !info || (info->flags & vst::kVstTransportPlaying) != 0;
  const double perQuarter = dsp::StepsPerQuarter(stepSize_);
  const double firstStep = quarters * perQuarter;
  const double stepsPerSample = quartersPerSample * perQuarter;

  for (int i = offset; i < offset + count; ++i) {
    if (reset_.Rises(resetIn_[i]) && started_) restart_ = true;
    if (!playing) {
      started_ = false;  // the step where the host starts again plays afresh
      gate_ = 0.0f;
      Write(i);
      continue;
    }
    const dsp::StepPosition at = dsp::StepAt(firstStep, stepsPerSample, i);
    if (!started_ || at.step != step_ + origin_) {
      if (restart_) origin_ = at.step;
      restart_ = false;
      EnterStep(at.step - origin_);
    }
    const SequenceStep* s = StepOf(step_);
    const bool sounding = s != nullptr && s->gate != SequenceStep::kRest;
    gate_ = sounding && dsp::GateOpen(at.fraction, s->length, CarriedOn(step_)) ? kGateLevel : 0.0f;
    Write(i);
  }
}

// --- gate clock ---------------------------------------------------------------

void ug_step_sequencer::AnnounceChanges(int time, float gateBefore, float pitchBefore, float velocityBefore) {
  if (gate_ != gateBefore) GetPlug(PN_GATE_OUT)->SetState(time, ST_STATIC);
  if (pitch_ != pitchBefore) GetPlug(PN_PITCH_OUT)->SetState(time, ST_STATIC);
  if (velocity_ != velocityBefore) GetPlug(PN_VELOCITY_OUT)->SetState(time, ST_STATIC);
}

void ug_step_sequencer::ClockSample(float clock, float reset, int time) {
  if (reset_.Rises(reset)) restart_ = true;
  const float gateBefore = gate_;
  const float pitchBefore = pitch_;
  const float velocityBefore = velocity_;
  if (clock_.Rises(clock)) {
    EnterStep(restart_ || !started_ ? 0 : step_ + 1);
    restart_ = false;
  }
  const SequenceStep* s = started_ ? StepOf(step_) : nullptr;
  const bool sounding = s != nullptr && s->gate != SequenceStep::kRest;
  gate_ = sounding && (clock_.level || CarriedOn(step_)) ? kGateLevel : 0.0f;
  AnnounceChanges(time, gateBefore, pitchBefore, velocityBefore);
}

void ug_step_sequencer::OnPlugStateChange(int time, connector* c, PlugState state) {
  ug_control::OnPlugStateChange(time, c, state);
  if (clockSource_ != kGateInput) return;
  const bool streaming = GetPlug(PN_CLOCK)->state == ST_RUN || GetPlug(PN_RESET)->state == ST_RUN;
  if (c != nullptr && state != ST_RUN && (c->to == GetPlug(PN_CLOCK) || c->to == GetPlug(PN_RESET)))
    ClockSample(SampleAt(*this, clockIn_, time), SampleAt(*this, resetIn_, time), time);
  if (streaming)
    SetProcessFunction(&ug_step_sequencer::RunGateClock);
  else
    StartSettling(&ug_step_sequencer::SettleGateClock);
}

void ug_step_sequencer::RunGateClock(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    ClockSample(clockIn_[i], resetIn_[i], clock + (i - offset));
    Write(i);
  }
}

void ug_step_sequencer::SettleGateClock(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) {
    for (int i = at; i < at + n; ++i) Write(i);
  });
}

}  // namespace kr
