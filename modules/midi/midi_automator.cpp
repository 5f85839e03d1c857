#include "modules/midi/midi_automator.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "engine/control_automation.h"
#include "engine/ug_container.h"
#include "modules/midi/midi_channel_lists.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

enum AutomatorPlug { kChannel = 0, kMidiIn = 1, kMidiOut = 2 };
enum OutputPlug { kOutMidiOut = 2 };

}  // namespace

ug_midi_automator::ug_midi_automator() { flags |= UGF_SORT_EARLY; }

void ug_midi_automator::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_automator> kPlugs[] = {
      {.name = "Channel",
       .type = DT_ENUM,
       .defaultText = "-1",
       .list = midi_lists::kChannelOrAll,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel selection",
       .bind = &ug_midi_automator::channel_},
      {.name = "MIDI In",
       .type = DT_MIDI,
       .defaultText = "0",
       .hint = "Use this to automate the controls from a MIDI sequence",
       .bind = &ug_midi_automator::midiIn_},
      {.name = "MIDI Out",
       .direction = DR_OUT,
       .type = DT_MIDI,
       .hint = "Sends MIDI controller messages when control is changed",
       .bind = &ug_midi_automator::midiOut_},
      {.name = "Hidden Output",
       .direction = DR_OUT,
       .type = DT_MIDI,
       .defaultText = "0",
       .flags = PF_HIDDEN,
       .hint = "Allows routing setup to position this ug correctly in sortorder",
       .bind = &ug_midi_automator::hiddenOut_},
      {.name = "Send All On Patch Change",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Sends all MIDI Controllers when patch changes, usefull when using KR as a front-end for imbedded VSTs",
       .bind = &ug_midi_automator::sendAll_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_midi_automator::Open() {
  registers_.fill(0);
  rpn_ = kNoParameter;
  nrpn_ = kNoParameter;
  midiIn_.channel = channel_;
  ug_midi_device::Open();
  QueueSendAll();
}

void ug_midi_automator::QueueSendAll() {
  if (serving_ && sendAll_) QueueCall(clock + BlockLength(), &ug_midi_automator::SendAllCall);
}

void ug_midi_automator::SendAllCall(ug_base& module) {
  if (module.automation != nullptr) module.automation->SendAllControls(module.clock);
}

void ug_midi_automator::HandleEvent(ug_event* event) {
  if (event->type == UET_PROG_CHANGE) {
    QueueSendAll();
    return;
  }
  ug_midi_device::HandleEvent(event);
}

void ug_midi_automator::OnPlugStateChange(int, connector* c, PlugState) {
  if (c != nullptr && c->to == GetPlug(kChannel)) midiIn_.channel = channel_;
}

void ug_midi_automator::AttachOutput(ug_base* output) {
  auto* out = dynamic_cast<ug_midi_automator_out*>(output);
  serving_ = out != nullptr;
  if (out == nullptr) return;
  out->Serve(this);
  // Wires drawn from the automator's "MIDI Out" leave from the output module.
  if (UPlug* mine = GetPlug(kMidiOut); mine != nullptr) mine->redirect = out->MidiOutPlug();
}

void ug_midi_automator::OnMidi(int time, std::uint32_t message) {
  if (!serving_ || (message & 0xF0u) != 0xB0u) return;
  const auto d = static_cast<int>((message >> 8) & 0xFFu);
  const auto v = static_cast<std::uint16_t>((message >> 16) & 0xFFu);
  if (d > 127 || v > 127) return;  // not a MIDI data byte
  int controller = d;
  int value = 0;
  if (d < 32) {
    std::uint16_t& r = registers_[static_cast<std::size_t>(d)];
    r = static_cast<std::uint16_t>((v << 7) | (r & 0x7F));
    value = r;
  } else if (d < 64) {
    std::uint16_t& r = registers_[static_cast<std::size_t>(d - 32)];
    r = static_cast<std::uint16_t>((r & 0x3F80) + v);
    value = r;
    controller = d - 32;
  } else if (d == 98 || d == 99 || d == 100 || d == 101) {
    // A parameter number selection: no value yet. An NRPN selection
    // cancels the RPN one and the reverse.
    std::uint16_t& selected = d < 100 ? nrpn_ : rpn_;
    selected = (d & 1) != 0 ? static_cast<std::uint16_t>((v << 7) | (selected & 0x7F))
                            : static_cast<std::uint16_t>((selected & 0x3F80) + v);
    (d < 100 ? rpn_ : nrpn_) = kNoParameter;
    return;
  } else {
    value = v << 7;
  }
  const float normalised = static_cast<float>(std::min(value, midi_id::kScale)) / static_cast<float>(midi_id::kScale);

  std::int32_t identifier = midi_id::kController + controller;
  if (controller == 6) {
    if (rpn_ != kNoParameter)
      identifier = midi_id::kRpn + rpn_;
    else if (nrpn_ != kNoParameter)
      identifier = midi_id::kNrpn + nrpn_;
  }
  if (automation != nullptr) automation->DispatchToControls(time, controller, rpn_, nrpn_, normalised);
  auto* owner = dynamic_cast<ug_container*>(patchOwner);
  if (owner != nullptr && owner->parameterAutomation != nullptr)
    owner->parameterAutomation->DispatchToParameters(time, identifier, normalised);
}

ug_midi_automator_out::ug_midi_automator_out() { SetProcessFunction(&ug_base::SleepCheck); }

void ug_midi_automator_out::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_automator_out> kPlugs[] = {
      {.name = "Channel",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = midi_lists::kChannelOrAll,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel selection",
       .bind = &ug_midi_automator_out::channel_},
      {.name = "Hidden Input", .type = DT_MIDI, .defaultText = "0", .bind = &ug_midi_automator_out::hiddenIn_},
      {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .bind = &ug_midi_automator_out::midiOut_},
      {.name = "Hidden Output",
       .direction = DR_OUT,
       .type = DT_MIDI,
       .defaultText = "0",
       .flags = PF_HIDDEN,
       .bind = &ug_midi_automator_out::hiddenOut_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

UPlug* ug_midi_automator_out::MidiOutPlug() { return GetPlug(kOutMidiOut); }

void ug_midi_automator_out::Open() {
  lastSent_ = 0;
  ug_base::Open();
}

void ug_midi_automator_out::SendParameterValue(float value, std::int32_t identifier, bool patchChange) {
  if (automator_ == nullptr) return;
  if (patchChange && !automator_->SendsAllOnPatchChange()) return;
  int controller = -1;
  int number = 0;
  switch (identifier >> 24) {
    case 2: controller = identifier & 0xFF; break;
    case 3: controller = 101; number = identifier & 0x3FFF; break;
    case 4: controller = 99; number = identifier & 0x3FFF; break;
    default: return;
  }
  if (controller > 127) return;
  Wake();
  SendController(std::max(clock, audioMaster != nullptr ? audioMaster->now : clock), controller, number, value);
}

void ug_midi_automator_out::SendController(int time, int controller, int number, float value) {
  UPlug* out = MidiOutPlug();
  if (controller < 0 || out == nullptr || !out->HasConnection() || (flags & UGF_OPEN) == 0) return;
  Wake();
  if (static_cast<unsigned>(time) < static_cast<unsigned>(lastSent_) ||
      static_cast<unsigned>(time) < static_cast<unsigned>(clock))
    return;
  lastSent_ = time;
  if (controller == 99 || controller == 101) {
    SendMessage(time, controller, std::clamp(number, 0, 16383));
    controller = 6;
  }
  const float f = value >= 0.0f ? std::min(value, 1.0f) : 0.0f;  // NaN too: the bytes stay MIDI data
  SendMessage(time, controller, static_cast<int>(f * static_cast<float>(midi_id::kScale) + 0.5f));
  out->SetState(clock, ST_STATIC);
  out->WakeReceivers();
}

void ug_midi_automator_out::SendMessage(int time, int controller, int value) {
  const auto channel = static_cast<std::uint32_t>(automator_->OutputChannel());
  auto send = [&](int cc, int data) {
    MidiOutPlug()->SendMidi(time, 0xB0u | channel | static_cast<std::uint32_t>(cc & 0x7F) << 8 |
                                      static_cast<std::uint32_t>(data & 0x7F) << 16);
  };
  send(controller, value >> 7);
  if (controller < 32)
    send(controller + 32, value);
  else if (controller == 99)
    send(98, value);
  else if (controller == 101)
    send(100, value);
}

}  // namespace kr
