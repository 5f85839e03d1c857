#include "modules/osc/oscillator.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/audio_master.h"
#include "modules/render_table.h"
#include "registry/plug_declaration.h"

namespace kr {

std::unique_ptr<ug_base> ug_oscillator2::CreateSame() { return std::make_unique<ug_oscillator2>(); }

std::unique_ptr<ug_base> ug_oscillator2::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_oscillator2&>(*copy).pitchConv_ = pitchConv_;
  return copy;
}

void ug_oscillator2::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_oscillator2> kPlugs[] = {
      {.at = PN_PITCH,
       .name = "Pitch",
       .defaultText = "5",
       .list = "100, 0, 10, 0",
       .flags = PF_CONTROL,
       .hint = "1 Volt per Octave, 5V = Middle A",
       .bind = &ug_oscillator2::pitch_},
      {.at = PN_PULSE_WIDTH,
       .name = "Pulse Width",
       .defaultText = "5",
       .flags = PF_CONTROL,
       .hint = "Width of rectangular pulse. -10 to 10 Volts = 0 to 100%",
       .bind = &ug_oscillator2::pulseWidth_},
      {.at = PN_WAVEFORM,
       .name = "Waveform",
       .type = DT_ENUM,
       .defaultText = "1",
       .list = "Sine, Saw, Ramp, Triangle, Pulse,White Noise,Pink Noise",
       .flags = PF_CONTROL,
       .hint = "Selects different wave shapes",
       .bind = &ug_oscillator2::waveform_},
      {.at = PN_OUT, .name = "Audio Out", .direction = DR_OUT, .defaultText = "0", .bind = &ug_oscillator2::out_},
      {.at = PN_SYNC,
       .name = "Sync",
       .defaultText = "0",
       .list = "100, 0, 5, -5",
       .flags = PF_CONTROL,
       .hint = "Syncs this Oscillator to an external signal, usually another oscillator to produce a gnarly sound.",
       .bind = &ug_oscillator2::sync_},
      {.at = PN_PHASE_MOD,
       .name = "Phase Mod",
       .defaultText = "0",
       .list = "100, 0, 10, 0",
       .flags = PF_CONTROL,
       .hint = "Varies the phase (-5 to +5 Volts), used for yamaha style frequency modulation.  Don't work on Pulse "
               "waveform.",
       .bind = &ug_oscillator2::phaseMod_},
      {.at = PN_FREQ_SCALE,
       .name = "Freq Scale",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "1 Volt/Octave, 1 Volt/kHz ",
       .hint = "Switches between 1 Volt per Octave or 1 Volt per kHz response.",
       .bind = &ug_oscillator2::freqScale_},
      {.at = PN_PM_DEPTH,
       .name = "PM Depth",
       .defaultText = "5",
       .list = "100, 0, 10, 0",
       .flags = PF_CONTROL,
       .hint = "Varies the phase modulation depth (0 to 10 Volts)",
       .bind = &ug_oscillator2::pmDepth_},
      {.at = PN_SMOOTH,
       .name = "Smooth Peaks (Gibbs Effect)",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "1",
       .hint = "Improves the Wave Appearance by rolling off upper harmonics, reduces wave 'brightness' though.",
       .bind = &ug_oscillator2::smoothPeaks_},
      {.at = PN_SYNC_XFADE,
       .name = "Sync X-Fade (Anti Alias)",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "1",
       .hint = "Reduces Alias noise when Syncing at Audio rates. Can be disabled to provide precise note-on phase sync "
               "(usefull for phase modulation patches)",
       .bind = &ug_oscillator2::syncCrossFade_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_oscillator2::Open() {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  if (!pitchConv_ || pitchConv_->SampleRate() != rate) pitchConv_ = std::make_shared<const kr::dsp::OscPitch>(rate);
  scratch_.assign(static_cast<std::size_t>(BlockLength()) + 8, 0.0f);
  syncScratch_.assign(scratch_.size(), 0.0f);
  ug_base::Open();
  dest_ = out_;
  state_ = {};
  state_.increment = IncrementOf(GetPlug(PN_PITCH)->GetValueNow());
  pulseOffset_ = PulseOffset(GetPlug(PN_PULSE_WIDTH)->GetValueNow());
  // Its wave may change while it plays (a list, a program, automation): the
  // tables of every wave are built now, not on the audio thread then.
  kr::dsp::BuildEveryTableSet();
  SelectTableSet();
  ChooseProcess();
  GetPlug(PN_OUT)->SetState(clock, ST_RUN);
  QueueCall(clock, &ug_oscillator2::InitialPhase);
}

void ug_oscillator2::InitialPhase(ug_base& module) {
  auto& osc = static_cast<ug_oscillator2&>(module);
  osc.state_.pm = PmOffset(osc.GetPlug(PN_PHASE_MOD)->GetValueNow(), osc.GetPlug(PN_PM_DEPTH)->GetValueNow());
  osc.state_.phase = 0u - osc.state_.pm;
  osc.state_.syncPrev = osc.GetPlug(PN_SYNC)->GetValueNow();
}

void ug_oscillator2::Resume() {
  const int stoppedAt = clock;
  ug_base::Resume();
  // Rejoining the active list moves the clock to where rendering resumes. The
  // voice sat silent and its inputs were frozen, so the phase moves on by the
  // constant increment; unsigned arithmetic wraps exactly as sample-by-sample
  // accumulation does.
  if (const int skipped = clock - stoppedAt; skipped > 0) {
    state_.phase += state_.increment * static_cast<std::uint32_t>(skipped);
    if (state_.syncFadeLeft > 0) state_.fadePhase += state_.increment * static_cast<std::uint32_t>(skipped);
  }
}

void ug_oscillator2::OnPlugStateChange(int time, connector* c, PlugState state) {
  const UPlug* plug = c != nullptr ? c->to : nullptr;
  int index = -1;
  for (int i = 0; i < PlugCount(); ++i)
    if (plugs[static_cast<std::size_t>(i)].get() == plug) index = i;
  const bool streaming = state == ST_RUN;
  switch (index) {
    case PN_PITCH:
    case PN_FREQ_SCALE:
      // Streaming or not, the pitch of this instant chooses the table now.
      state_.increment = IncrementOf(GetPlug(PN_PITCH)->GetValueNow());
      SelectTable(state_.increment);
      break;
    case PN_WAVEFORM:
    case PN_SMOOTH:
      SelectTableSet();
      break;
    case PN_PULSE_WIDTH:
      if (!streaming) pulseOffset_ = PulseOffset(GetPlug(PN_PULSE_WIDTH)->GetValueNow());
      break;
    case PN_PHASE_MOD:
    case PN_PM_DEPTH:
      if (!streaming) {
        // A step of the modulation shifts the phase once by the difference.
        const std::uint32_t m =
            PmOffset(GetPlug(PN_PHASE_MOD)->GetValueNow(), GetPlug(PN_PM_DEPTH)->GetValueNow());
        state_.phase += state_.pm - m;
        state_.pm = m;
      }
      break;
    case PN_SYNC:
      if (!streaming) {
        const float level = GetPlug(PN_SYNC)->GetValueNow();
        if (state_.syncPrev <= 0.0f && level > 0.0f) state_.phase = 0u - state_.pm;
        state_.syncPrev = level;
      }
      break;
    default:
      break;
  }
  (void)time;
  ChooseProcess();
}

std::uint32_t ug_oscillator2::IncrementOf(float pitch) const {
  return freqScale_ == 1 ? pitchConv_->VoltsPerKHz(pitch) : pitchConv_->VoltsPerOctave(pitch);
}

std::uint32_t ug_oscillator2::PmOffset(float phaseMod, float depth) { return kr::dsp::OscPmOffset(phaseMod, depth); }

std::uint32_t ug_oscillator2::PulseOffset(float width) { return kr::dsp::OscPulseOffset(width); }

void ug_oscillator2::SelectTableSet() {
  switch (waveform_) {
    case WS_SINE:
      set_ = &kr::dsp::SineTableSet();
      break;
    case WS_TRIANGLE:
      set_ = &kr::dsp::TriangleTableSet();
      break;
    default:
      set_ = &kr::dsp::SawTableSet(smoothPeaks_);
      break;
  }
  // A new wave starts on its own table at once, without a cross-fade.
  tableFadeLeft_ = 0;
  choice_ = kr::dsp::ChooseTable(*set_, state_.increment);
}

void ug_oscillator2::SelectTable(std::uint32_t increment) {
  if (tableFadeLeft_ > 0 || choice_.Holds(increment)) return;
  const kr::dsp::TableChoice next = kr::dsp::ChooseTable(*set_, increment);
  if (next.table != choice_.table && choice_.table != nullptr) {
    oldTable_ = choice_.table;
    tableFadeLeft_ = kTableFadeSamples;
  }
  choice_ = next;
}

void ug_oscillator2::ChooseProcess() {
  if (waveform_ == WS_WHITE_NOISE || waveform_ == WS_PINK_NOISE) {
    if (waveform_ == WS_PINK_NOISE)
      SetProcessFunction(&ug_oscillator2::RunNoise<true>);
    else
      SetProcessFunction(&ug_oscillator2::RunNoise<false>);
    return;
  }
  // Index: the shape, then the pitch, phase modulation, pulse width and kHz flags.
  static constexpr auto kRenders = kr::RenderTable<48>([](auto i) {
    return &ug_oscillator2::Render<static_cast<int>(decltype(i)::value >> 4), kr::Bit<3>(i), kr::Bit<2>(i),
                                   kr::Bit<1>(i), kr::Bit<0>(i)>;
  });
  const int shape = waveform_ == WS_RAMP ? kr::dsp::kOscRamp : waveform_ == WS_PULSE ? kr::dsp::kOscPulse : kr::dsp::kOscTable;
  pitchStreams_ = GetPlug(PN_PITCH)->state == ST_RUN;
  const bool pmStreams = GetPlug(PN_PHASE_MOD)->state == ST_RUN || GetPlug(PN_PM_DEPTH)->state == ST_RUN;
  const bool pwStreams = shape == kr::dsp::kOscPulse && GetPlug(PN_PULSE_WIDTH)->state == ST_RUN;
  const bool khz = pitchStreams_ && freqScale_ == 1;
  syncStreams_ = GetPlug(PN_SYNC)->state == ST_RUN;
  render_ = kRenders[static_cast<std::size_t>(shape) * 16 + kr::RunBits(pitchStreams_, pmStreams, pwStreams, khz)];
  SetProcessFunction(&ug_oscillator2::Run);
}

template <int Shape, bool PitchRun, bool PmRun, bool PwRun, bool KHz>
void ug_oscillator2::Render(int offset, int count) {
  const kr::dsp::OscInputs in{pitch_ + offset, pulseWidth_ + offset, phaseMod_ + offset, pmDepth_ + offset, pulseOffset_};
  kr::dsp::OscRender<Shape, PitchRun, PmRun, PwRun, KHz>(state_, in, *pitchConv_, *choice_.table, dest_ + offset, count);
}

template <bool Pink>
void ug_oscillator2::RunNoise(int offset, int count) {
  std::atomic<std::uint32_t>& shared = kr::dsp::noise::SharedState();
  std::uint32_t s = shared.load(std::memory_order_relaxed);
  float* out = out_ + offset;
  for (int i = 0; i < count; ++i) {
    s = kr::dsp::noise::Next(s);
    const float white = kr::dsp::noise::White(s);
    if constexpr (Pink) {
      out[i] = pink_(white);
    } else {
      out[i] = white;
    }
  }
  shared.store(s, std::memory_order_relaxed);
}

void ug_oscillator2::Run(int offset, int count) {
  while (count > 0) {
    int n = count;
    if (pitchStreams_) {
      // A streaming pitch picks its table on a grid of engine time, so the
      // choice never depends on where the host cut its blocks.
      const int intoGrid = static_cast<int>(static_cast<unsigned>(PeriodStart() + offset) % kTableCheckInterval);
      if (intoGrid == 0) SelectTable(IncrementOf(pitch_[offset]));
      n = std::min(n, kTableCheckInterval - intoGrid);
    }
    if (tableFadeLeft_ > 0) {
      n = std::min(n, tableFadeLeft_);
      TableFade(offset, n);
      if (tableFadeLeft_ == 0) SelectTable(state_.increment);
    } else {
      Chain(offset, n);
    }
    offset += n;
    count -= n;
  }
}

void ug_oscillator2::Chain(int offset, int count) {
  if (syncStreams_ || state_.syncFadeLeft > 0) {
    SyncScan(offset, count);
  } else {
    (this->*render_)(offset, count);
  }
}

void ug_oscillator2::TableFade(int offset, int count) {
  const RenderState saved = state_;
  const kr::dsp::TableChoice fresh = choice_;
  choice_.table = oldTable_;
  dest_ = scratch_.data();
  Chain(offset, count);
  state_ = saved;
  choice_ = fresh;
  dest_ = out_;
  Chain(offset, count);
  // The old table's share falls by 1/21 a sample from 1, counted from the
  // fade's start so that a fade cut by a block boundary mixes the same.
  const int done = kTableFadeSamples - tableFadeLeft_;
  const float* old = scratch_.data() + offset;
  float* out = out_ + offset;
  for (int i = 0; i < count; ++i) {
    const float x = 1.0f - static_cast<float>(done + i + 1) * (1.0f / 21.0f);
    out[i] = (1.0f - x) * out[i] + x * old[i];
  }
  tableFadeLeft_ -= count;
}

void ug_oscillator2::ApplySyncEdge(float previous, float current) {
  // The crossing lies current / (current - previous) of a sample back.
  const double fraction = static_cast<double>(current) / (static_cast<double>(current) - previous);
  // Infinite samples make 0/0: such an edge counts as lying on the sample.
  const double within = fraction >= 0.0 && fraction <= 1.0 ? fraction : (fraction > 1.0 ? 1.0 : 0.0);
  const auto advanced = static_cast<std::uint32_t>(within * state_.increment);
  if (syncCrossFade_) {
    state_.fadePhase = state_.phase;
    state_.fadePm = state_.pm;
    state_.syncFadeLeft = kSyncFadeSamples;
    state_.syncX = 1.0f;
  }
  state_.phase = advanced - state_.pm;
}

void ug_oscillator2::SyncScan(int offset, int count) {
  const int end = offset + count;
  int i = offset;
  while (i < end) {
    if (state_.syncFadeLeft > 0) {
      const float s = sync_[i];
      if (syncStreams_ && state_.syncPrev <= 0.0f && s > 0.0f) ApplySyncEdge(state_.syncPrev, s);
      if (syncStreams_) state_.syncPrev = s;
      SyncFadeSample(i);
      ++i;
      continue;
    }
    int j = i;
    if (syncStreams_) {
      float prev = state_.syncPrev;
      while (j < end && !(prev <= 0.0f && sync_[j] > 0.0f)) prev = sync_[j++];
      state_.syncPrev = prev;
    } else {
      j = end;
    }
    if (j > i) (this->*render_)(i, j - i);
    if (j == end) return;
    ApplySyncEdge(state_.syncPrev, sync_[j]);
    state_.syncPrev = sync_[j];
    if (state_.syncFadeLeft == 0) {
      (this->*render_)(j, 1);
      ++j;
    }
    i = j;
  }
}

void ug_oscillator2::SyncFadeSample(int i) {
  // One sample twice: the continuing phase into scratch, the synced one out.
  const std::uint32_t syncedPhase = state_.phase;
  const std::uint32_t syncedPm = state_.pm;
  float* target = dest_;
  state_.phase = state_.fadePhase;
  state_.pm = state_.fadePm;
  dest_ = syncScratch_.data();
  (this->*render_)(i, 1);
  const float old = syncScratch_[static_cast<std::size_t>(i)];
  state_.fadePhase = state_.phase;
  state_.fadePm = state_.pm;
  state_.phase = syncedPhase;
  state_.pm = syncedPm;
  dest_ = target;
  (this->*render_)(i, 1);
  state_.syncX -= 0.2f;
  dest_[i] = state_.syncX * old + (1.0f - state_.syncX) * dest_[i];
  --state_.syncFadeLeft;
}

}  // namespace kr
