#include "modules/midi/midi_to_cv.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "engine/audio_master.h"
#include "engine/note_events.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
enum Plug { kGate = 3, kPitch = 4, kVelocity = 5, kAftertouch = 6, kPortamento = 9 };

constexpr int kGateDelay = 3;  // the gate rises this many samples after the note

int Round(double samples) { return std::max(1, static_cast<int>(std::floor(samples + 0.5))); }

}  // namespace

ug_midi_to_cv::ug_midi_to_cv() {
  gate_.Init(OutputSmoother::kStep, 4);
  velocity_.Init(OutputSmoother::kSmoothstep, 8);
  aftertouch_.Init(OutputSmoother::kLinear, 4);
  history_.fill(-1);
}

void ug_midi_to_cv::ListInterface(InterfaceList& list) {
  ug_notesource::ListInterface(list);
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Bend Range",
                                   .type = DT_ENUM,
                                   .defaultText = "12",
                                   .list = "range 0,12",
                                   .hint = "Maximum MIDI bender range in semitones",
                                   .bind = &ug_midi_to_cv::bendRange_});
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Gate",
                                   .direction = DR_OUT,
                                   .defaultText = "0",
                                   .hint = "Use this to control an envelope (ADSR)",
                                   .bind = &ug_midi_to_cv::gateOut_});
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Pitch",
                                   .direction = DR_OUT,
                                   .defaultText = "0",
                                   .hint = "Use this to control an Oscillator or Filter Pitch",
                                   .bind = &ug_midi_to_cv::pitchOut_});
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Velocity",
                                   .direction = DR_OUT,
                                   .defaultText = "0",
                                   .hint = "Provides MIDI velocity level (How fast you hit the key)",
                                   .bind = &ug_midi_to_cv::velocityOut_});
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Aftertouch",
                                   .direction = DR_OUT,
                                   .defaultText = "0",
                                   .hint = "Provides MIDI Aftertouch level",
                                   .bind = &ug_midi_to_cv::aftertouchOut_});
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Mono Mode",
                                   .type = DT_ENUM,
                                   .defaultText = "0",
                                   .list = "On=1,Off=0",
                                   .flags = PF_KEEP_ON_PATCH_CHANGE,
                                   .hint = "Limit sound to one voice. Enables the Retrigger option",
                                   .bind = &ug_midi_to_cv::monoMode_});
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Retrigger",
                                   .type = DT_ENUM,
                                   .defaultText = "1",
                                   .list = "On=1,Off=0",
                                   .flags = PF_KEEP_ON_PATCH_CHANGE,
                                   .hint = "Retrigger Envelopes when playing legato (you hit a note before releasing "
                                           "previous). Used with Mono Mode.",
                                   .bind = &ug_midi_to_cv::retrigger_});
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Portamento Time",
                                   .defaultText = "0",
                                   .flags = PF_SIGNAL | PF_KEEP_ON_PATCH_CHANGE,
                                   .hint = "Time for pitch to slide to a new note (When you play legato)",
                                   .bind = &ug_midi_to_cv::portamentoIn_});
  ListPlug(list, *this,
           PlugDecl<ug_midi_to_cv>{.name = "Mono Note Priority",
                                   .type = DT_ENUM,
                                   .defaultText = "3",
                                   .list = "Off,Low,High,Last",
                                   .flags = PF_KEEP_ON_PATCH_CHANGE,
                                   .bind = &ug_midi_to_cv::priority_});
}

double ug_midi_to_cv::GlideSeconds(float portamento) {
  return std::exp2(((10.0 * portamento - 2.0) * 12000.0 * 0.1 - 8000.0) / 1200.0);
}

float ug_midi_to_cv::Tracker::At(int time) const {
  if (step == 0.0f) return target;
  const double v = static_cast<double>(from) + static_cast<double>(step) * static_cast<double>(time - start);
  if ((step > 0.0f && v >= target) || (step < 0.0f && v <= target)) return target;
  return static_cast<float>(v);
}

void ug_midi_to_cv::Open() {
  if (IsMaster()) {
    keyDown_.fill(0);
    keyVelocity_.fill(0);
    history_.fill(-1);
    writeIndex_ = -1;
    lastNote_ = -1;
    tracker_ = Tracker{};
  }
  SetProcessFunction(&ug_midi_to_cv::Process);
  ug_notesource::Open();
  const int length = BlockLength();
  gate_.Bind(GetPlug(kGate), length);
  velocity_.Bind(GetPlug(kVelocity), length);
  aftertouch_.Bind(GetPlug(kAftertouch), length);
  pitchSettle_ = length;
}

void ug_midi_to_cv::HandleEvent(ug_event* event) {
  if (event->type == UET_GLIDE) {
    bend_ = bendTarget_ = std::bit_cast<float>(RefInt(event->ref)) * static_cast<float>(bendRange_) / 120.0f;
    bendStep_ = 0.0f;
    bendSteps_ = 0;
    StartGlide(event->time, std::bit_cast<float>(event->value), std::bit_cast<float>(event->extra));
    return;
  }
  ug_notesource::HandleEvent(event);
}

void ug_midi_to_cv::Activate() { SetProcessFunction(&ug_midi_to_cv::Process); }

// Master side.

void ug_midi_to_cv::OnNoteOn(int time, int channel, int note, int velocity) {
  keyDown_[static_cast<std::size_t>(note)] = 1;
  keyVelocity_[static_cast<std::size_t>(note)] = static_cast<std::uint8_t>(velocity);
  writeIndex_ = (writeIndex_ + 1) & 15;
  history_[static_cast<std::size_t>(writeIndex_)] = static_cast<std::int8_t>(note);
  PlayNote(time, channel, note, velocity);
}

void ug_midi_to_cv::PlayNote(int time, int channel, int note, int velocity) {
  if (monoMode_ != 0) {
    const auto down = [this](int k) { return keyDown_[static_cast<std::size_t>(k)] != 0; };
    if (priority_ == kPriorityLow)
      for (int k = 0; k < note; ++k)
        if (down(k)) return;  // remembered, not played
    if (priority_ == kPriorityHigh)
      for (int k = note + 1; k < 128; ++k)
        if (down(k)) return;
  }
  const float target = NotePitch(note);
  const float current = tracker_.At(time);
  const float portamento = lastNote_ == -1 ? 0.0f : GetPlug(kPortamento)->GetValueNow();
  if (portamento == 0.0f) {
    tracker_ = Tracker{target, target, 0.0f, time};
  } else {
    const double samples = GlideSeconds(portamento) * audioMaster->SampleRate();
    tracker_ = Tracker{current, target, static_cast<float>((target - current) / samples), time};
  }
  lastNote_ = note;
  if (voiceList == nullptr) return;
  const int index = voiceList->NoteOn(time, channel, note, velocity, VoiceRequest());
  if (index < 0 || index >= voiceList->VoiceCount()) return;
  ug_base* receiver = voiceList->voices[static_cast<std::size_t>(index)]->noteReceiver;
  if (receiver == nullptr) return;
  // The channel's bend travels with the glide: the voice copy may run after
  // the master has already taken later bends of this sub-block.
  const float bend = BendTable()[static_cast<std::size_t>(channel & 15)].bend;
  receiver->AddEvent(receiver->NewEvent(time, UET_GLIDE, std::bit_cast<int>(tracker_.from),
                                        IntRef(std::bit_cast<int>(bend)), std::bit_cast<int>(target)),
                     true);
}

void ug_midi_to_cv::Replay(int time, int channel, int releasedNote, int note) {
  lastNote_ = releasedNote;  // so that the re-played note glides
  OnNoteOn(time, channel, note, keyVelocity_[static_cast<std::size_t>(note)]);
}

void ug_midi_to_cv::OnNoteOff(int time, int channel, int note, int velocity) {
  if (lastNote_ == note) lastNote_ = -1;
  keyDown_[static_cast<std::size_t>(note)] = 0;
  if (monoMode_ != 0) {
    if (priority_ == kPriorityLow) {
      int lowest = -1;
      for (int k = 0; k < 128 && lowest < 0; ++k)
        if (keyDown_[static_cast<std::size_t>(k)] != 0) lowest = k;
      if (lowest > note) return Replay(time, channel, note, lowest);
    } else if (priority_ == kPriorityHigh) {
      int highest = -1;
      for (int k = 127; k >= 1 && highest < 0; --k)
        if (keyDown_[static_cast<std::size_t>(k)] != 0) highest = k;
      if (highest >= 0 && highest < note) return Replay(time, channel, note, highest);
    } else if (priority_ == kPriorityLast && writeIndex_ >= 0 &&
               history_[static_cast<std::size_t>(writeIndex_)] == note) {
      int index = writeIndex_;
      history_[static_cast<std::size_t>(index)] = -1;
      for (int n = 0; n < 15; ++n) {
        index = (index + 15) & 15;
        const int entry = history_[static_cast<std::size_t>(index)];
        history_[static_cast<std::size_t>(index)] = -1;
        if (entry < 0) break;
        if (keyDown_[static_cast<std::size_t>(entry)] != 0) {
          writeIndex_ = (index + 15) & 15;  // the re-play writes into the same place
          return Replay(time, channel, note, entry);
        }
      }
    }
  }
  Release(time, channel, note, velocity);
}

// Voice side.

void ug_midi_to_cv::VoiceNoteOn(int time, int channel, int note, int velocity) {
  ug_notesource::VoiceNoteOn(time, channel, note, velocity);
  Activate();
  // The bend of the channel arrives with the glide that follows.
  if (retrigger_ != 0 || monoMode_ == 0) gate_.Jump(time, 0.0f);
  const float level = static_cast<float>(velocity) / 127.0f;
  if (monoMode_ != 0) {
    const int length = static_cast<int>((std::fabs(level - velocity_.Current()) + 1.0f) * 60.0f);
    velocity_.Set(time, level, length, OutputSmoother::kSmoothstep);
  } else {
    velocity_.Jump(time, level);
  }
  gateLevel_ = 1.0f;
  QueueCall(time + kGateDelay, &ug_midi_to_cv::ApplyGate);
}

void ug_midi_to_cv::VoiceNoteOff(int time, int channel, int note, int velocity) {
  Activate();
  gateLevel_ = 0.0f;
  gate_.Jump(time, 0.0f);
  QueueCall(time + kGateDelay, &ug_midi_to_cv::ApplyGate);
}

void ug_midi_to_cv::ApplyGate(ug_base& module) {
  auto& self = static_cast<ug_midi_to_cv&>(module);
  self.Activate();
  self.gate_.Jump(self.clock, self.gateLevel_);
}

void ug_midi_to_cv::StartGlide(int time, float from, float to) {
  Activate();
  pitch_ = from;
  pitchTarget_ = to;
  pitchStep_ = 0.0f;
  pitchSteps_ = 0;
  if (from != to) {
    const double samples = GlideSeconds(GetPlug(kPortamento)->GetValueNow()) * audioMaster->SampleRate();
    pitchStep_ = static_cast<float>((to - from) / samples);
    pitchSteps_ = Round(samples);
  }
  GetPlug(kPitch)->SetState(time, pitchSteps_ > 0 || bendSteps_ > 0 ? ST_RUN : ST_STATIC);
  pitchSettle_ = BlockLength();
}

void ug_midi_to_cv::VoiceBend(int time, float bend) {
  bendTarget_ = static_cast<float>(bendRange_) * bend / 120.0f;
  if (bendTarget_ == bend_) {
    bendSteps_ = 0;
    return;
  }
  const double samples = audioMaster->SampleRate() / 60.0;
  bendStep_ = static_cast<float>((bendTarget_ - bend_) / samples);
  const bool wasGliding = bendSteps_ > 0 || pitchSteps_ > 0;
  bendSteps_ = Round(samples);
  Activate();
  if (!wasGliding) GetPlug(kPitch)->SetState(time, ST_RUN);
}

void ug_midi_to_cv::VoiceAftertouch(int time, float pressure) {
  Activate();
  aftertouch_.Set(time, pressure);
}

void ug_midi_to_cv::ProcessPitch(int offset, int count) {
  float* out = pitchOut_ + offset;
  int i = 0;
  for (; i < count && (pitchSteps_ > 0 || bendSteps_ > 0); ++i) {
    if (bendSteps_ > 0) bend_ = --bendSteps_ == 0 ? bendTarget_ : bend_ + bendStep_;
    if (pitchSteps_ > 0) pitch_ = --pitchSteps_ == 0 ? pitchTarget_ : pitch_ + pitchStep_;
    out[i] = bend_ + pitch_;
    if (pitchSteps_ == 0 && bendSteps_ == 0) {
      GetPlug(kPitch)->SetState(clock + i + 1, ST_STATIC);
      pitchSettle_ = BlockLength();
    }
  }
  if (i < count && pitchSettle_ > 0) {
    std::fill(out + i, out + count, bend_ + pitch_);
    pitchSettle_ -= count - i;
  }
}

void ug_midi_to_cv::Process(int offset, int count) {
  ProcessPitch(offset, count);
  gate_.Process(clock, offset, count);
  velocity_.Process(clock, offset, count);
  aftertouch_.Process(clock, offset, count);
  const bool moving = pitchSteps_ > 0 || bendSteps_ > 0 || pitchSettle_ > 0;
  if (moving || !gate_.Finished() || !velocity_.Finished() || !aftertouch_.Finished()) return;
  // The master stays in the run: a woken module rejoins behind its equals,
  // and the voice copies must run after the master that sends them notes.
  SetProcessFunction(IsMaster() ? &ug_base::DoNothing : &ug_base::SleepCheck);
}

}  // namespace kr
