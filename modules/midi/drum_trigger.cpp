#include "modules/midi/drum_trigger.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
constexpr int kFixedNotes[11] = {35, 38, 42, 56, 45, 47, 50, 39, 49, 54, 51};
constexpr const char* kSlotNames[ug_drum_trigger::kSlots] = {
    "Kick Trig", "Snare Trig", "Hi Hat Trig", "Cow Bell Trig", "Tom1 Trig",  "Tom2 Trig",  "Tom3 Trig", "Clap Trig",
    "Crash Trig", "Tamb Trig", "Ride Trig",   "User1 Trig",    "User2 Trig", "User3 Trig", "User4 Trig"};
constexpr int kHatSlot = 2;
constexpr int kFirstUserSlot = 11;
constexpr int kHatDecayPlug = 11;

// Plug index of a slot's trigger output (its velocity follows it).
int TriggerPlug(int slot) {
  if (slot < kHatSlot + 1) return 5 + 2 * slot;
  if (slot < 13) return 12 + 2 * (slot - 3);
  return 36 + 2 * (slot - 13);
}

int MapNote(int note) {
  switch (note) {
    case 36: return 35;
    case 40: return 38;
    case 41: case 43: return 45;
    case 44: case 46: return 42;
    case 48: return 47;
    case 57: return 49;
    default: return note < 58 ? note : -1;
  }
}

}  // namespace

ug_drum_trigger::ug_drum_trigger() {
  for (auto& t : triggers_) t.Init(OutputSmoother::kStep, 1);
  for (auto& v : velocities_) v.Init(OutputSmoother::kLinear, 4);
  hatDecay_.Init(OutputSmoother::kStep, 1);
}

void ug_drum_trigger::ListInterface(InterfaceList& list) {
  ug_notesource::ListInterface(list);
  ListPlug(
      list,
      PlugDecl<ug_drum_trigger>{.name = "Open HH Decay",
                                .defaultText = "5",
                                .hint = "Three different MIDI notes can trigger a hi-hat, but each one will vary the "
                                        "'Hi Hat Decay' output, which you can connect to an envelope generator"},
      hatDecayIn_[0]);
  ListPlug(list, PlugDecl<ug_drum_trigger>{.name = "Pedal HH Decay", .defaultText = "3.5"}, hatDecayIn_[1]);
  ListPlug(list, PlugDecl<ug_drum_trigger>{.name = "Close HH Decay", .defaultText = "2.5"}, hatDecayIn_[2]);
  std::size_t out = 0;
  for (int slot = 0; slot < 13; ++slot) {
    ListPlug(list, PlugDecl<ug_drum_trigger>{.name = kSlotNames[slot], .direction = DR_OUT, .defaultText = "0"},
             outs_[out++]);
    ListPlug(list, PlugDecl<ug_drum_trigger>{.name = "Vel", .direction = DR_OUT, .defaultText = "0"}, outs_[out++]);
    if (slot == kHatSlot)
      ListPlug(list, PlugDecl<ug_drum_trigger>{.name = "Hi Hat Decay", .direction = DR_OUT, .defaultText = "0"},
               outs_[out++]);
  }
  const char* userNames[4] = {"User1 Note #", "User2 Note #", "User3 Note #", "User4 Note #"};
  const char* userDefaults[4] = {"62", "64", "70", "37"};
  for (int u = 0; u < 4; ++u)
    ListPlug(list,
             PlugDecl<ug_drum_trigger>{
                 .name = userNames[u],
                 .direction = DR_PARAMETER,
                 .type = DT_ENUM,
                 .defaultText = userDefaults[u],
                 .list = "range 0,127",
                 .hint = u == 1 ? "" : "Set this to the MIDI note number of the percussion you want to use"},
             userNotes_[static_cast<std::size_t>(u)]);
  for (int slot = 13; slot < kSlots; ++slot) {
    ListPlug(list, PlugDecl<ug_drum_trigger>{.name = kSlotNames[slot], .direction = DR_OUT, .defaultText = "0"},
             outs_[out++]);
    ListPlug(list, PlugDecl<ug_drum_trigger>{.name = "Vel", .direction = DR_OUT, .defaultText = "0"}, outs_[out++]);
  }
}

int ug_drum_trigger::SlotNote(int slot) const {
  return slot < kFirstUserSlot ? kFixedNotes[slot] : userNotes_[static_cast<std::size_t>(slot - kFirstUserSlot)];
}

int ug_drum_trigger::SlotForNote(int note) const {
  for (int u = 0; u < 4; ++u)
    if (userNotes_[static_cast<std::size_t>(u)] == note) return kFirstUserSlot + u;
  const int mapped = MapNote(note);
  for (int slot = 0; slot < kFirstUserSlot; ++slot)
    if (kFixedNotes[slot] == mapped) return slot;
  return -1;
}

void ug_drum_trigger::TagDrumVoices() {
  int next = 1;
  for (int slot = 0; slot < kSlots; ++slot) {
    slotVoice_[static_cast<std::size_t>(slot)] = 0;
    const int first = TriggerPlug(slot);
    const int last = first + (slot == kHatSlot ? 2 : 1);
    bool used = false;
    for (int p = first; p <= last; ++p) used = used || GetPlug(p)->HasConnection();
    if (!used) continue;
    const int voice = next++;
    slotVoice_[static_cast<std::size_t>(slot)] = voice;
    for (int p = first; p <= last; ++p)
      for (connector* c : GetPlug(p)->connections)
        if (c->from == GetPlug(p) && c->to != nullptr && c->to->owner != nullptr)
          c->to->owner->PropagateVoiceDown(voice);
  }
}

void ug_drum_trigger::Open() {
  const int rate = audioMaster != nullptr ? static_cast<int>(audioMaster->SampleRate()) : 44100;
  minimumPulse_ = (kPulseMilliseconds / 1000) * rate + ((kPulseMilliseconds % 1000) * rate) / 1000;
  noteOnTime_.fill(0);
  SetProcessFunction(&ug_drum_trigger::Process);
  ug_notesource::Open();
  const int length = BlockLength();
  for (int slot = 0; slot < kSlots; ++slot) {
    triggers_[static_cast<std::size_t>(slot)].Bind(GetPlug(TriggerPlug(slot)), length);
    velocities_[static_cast<std::size_t>(slot)].Bind(GetPlug(TriggerPlug(slot) + 1), length);
  }
  hatDecay_.Bind(GetPlug(kHatDecayPlug), length);
}

void ug_drum_trigger::OnNoteOn(int time, int channel, int note, int velocity) {
  const int slot = SlotForNote(note);
  if (slot < 0 || voiceList == nullptr) return;
  if (note == 42 || note == 44 || note == 46) {
    // Closed, pedal or open hi-hat: the decay the envelope should use.
    const int input = note == 42 ? 2 : note == 44 ? 1 : 0;
    const int index = std::clamp(time - PeriodStart(), 0, BlockLength() - 1);
    SetProcessFunction(&ug_drum_trigger::Process);
    hatDecay_.Jump(time, hatDecayIn_[input][index]);
  }
  voiceList->NoteOn(time, channel, SlotNote(slot), velocity, slotVoice_[static_cast<std::size_t>(slot)]);
}

void ug_drum_trigger::OnNoteOff(int time, int channel, int note, int velocity) {
  const int slot = SlotForNote(note);
  if (slot >= 0) Release(time, channel, SlotNote(slot), velocity);
}

void ug_drum_trigger::VoiceNoteOn(int time, int channel, int note, int velocity) {
  const int slot = SlotForNote(note);
  if (slot < 0) return;
  const auto s = static_cast<std::size_t>(slot);
  SetProcessFunction(&ug_drum_trigger::Process);
  triggers_[s].Jump(time, 0.0f);
  velocities_[s].Set(time, static_cast<float>(velocity) / 127.0f);
  noteOnTime_[s] = time;
  AddEvent(NewEvent(time + 3, UET_DRUM_LEVEL, slot, nullptr, 1), true);
}

void ug_drum_trigger::VoiceNoteOff(int time, int channel, int note, int velocity) {
  const int slot = SlotForNote(note);
  if (slot < 0) return;
  const auto earliest = static_cast<std::uint32_t>(noteOnTime_[static_cast<std::size_t>(slot)] + minimumPulse_);
  const auto fall = std::max(static_cast<std::uint32_t>(time + 3), earliest);
  AddEvent(NewEvent(static_cast<int>(fall), UET_DRUM_LEVEL, slot, nullptr, 0), true);
}

void ug_drum_trigger::HandleEvent(ug_event* event) {
  if (event->type != UET_DRUM_LEVEL) return ug_notesource::HandleEvent(event);
  const int slot = event->value;
  if (slot < 0 || slot >= kSlots) return;
  const auto s = static_cast<std::size_t>(slot);
  // A newer note on of the slot voids a pending fall.
  if (event->extra == 0 && clock - minimumPulse_ < noteOnTime_[s]) return;
  SetProcessFunction(&ug_drum_trigger::Process);
  triggers_[s].Jump(clock, event->extra != 0 ? 1.0f : 0.0f);
}

void ug_drum_trigger::Process(int offset, int count) {
  bool finished = true;
  for (std::size_t s = 0; s < triggers_.size(); ++s) {
    triggers_[s].Process(clock, offset, count);
    velocities_[s].Process(clock, offset, count);
    finished = finished && triggers_[s].Finished() && velocities_[s].Finished();
  }
  hatDecay_.Process(clock, offset, count);
  // The drum trigger hears every note: it stays in the run (see Midi to CV).
  if (finished && hatDecay_.Finished()) SetProcessFunction(&ug_base::DoNothing);
}

}  // namespace kr
