#include "modules/midi/midi_controllers.h"

#include "engine/audio_master.h"
#include "modules/midi/midi_channel_lists.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
constexpr int kFirstOutput = 6;  // "Aftertouch", then "Bender", then the four controllers
}

void ug_midi_controllers::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_midi_controllers> kPlugs[] = {
      {.name = "MIDI In", .type = DT_MIDI, .bind = &ug_midi_controllers::midiIn_},
      {.name = "Channel",
       .type = DT_ENUM,
       .defaultText = "-1",
       .list = midi_lists::kChannelOrAll,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel",
       .bind = &ug_midi_controllers::channel_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  const char* defaults[kSlots] = {"1", "2", "3", "4"};
  for (int k = 0; k < kSlots; ++k)
    ListPlug(
        list,
        PlugDecl<ug_midi_controllers>{.name = "Type",
                                      .type = DT_ENUM,
                                      .defaultText = defaults[k],
                                      .list = midi_lists::kControllers,
                                      .flags = PF_CONTROL,
                                      .hint = "Choose which MIDI controller you want converted to a Voltage output"},
        types_[static_cast<std::size_t>(k)]);
  ListPlug(list, PlugDecl<ug_midi_controllers>{.name = "Aftertouch", .direction = DR_OUT, .defaultText = "0"},
           outs_[0]);
  ListPlug(list, PlugDecl<ug_midi_controllers>{.name = "Bender", .direction = DR_OUT, .defaultText = "0"}, outs_[1]);
  for (int k = 0; k < kSlots; ++k)
    ListPlug(list, PlugDecl<ug_midi_controllers>{.name = "Controller", .direction = DR_OUT, .defaultText = "0"},
             outs_[static_cast<std::size_t>(2 + k)]);
}

void ug_midi_controllers::Open() {
  SetProcessFunction(&ug_midi_controllers::Process);
  midiIn_.channel = channel_;
  ug_base::Open();
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  const int length = static_cast<int>(rate) / 60;
  for (std::size_t i = 0; i < smoothers_.size(); ++i) {
    smoothers_[i].Init(OutputSmoother::kLinear, length);
    smoothers_[i].Bind(GetPlug(kFirstOutput + static_cast<int>(i)), BlockLength());
  }
}

void ug_midi_controllers::OnPlugStateChange(int, connector* c, PlugState) {
  if (c != nullptr && c->to == GetPlug(1)) midiIn_.channel = channel_;
}

void ug_midi_controllers::HandleEvent(ug_event* event) {
  if (event->type == UET_MIDI) {
    OnMidi(event->time, static_cast<std::uint32_t>(event->value));
    return;
  }
  ug_base::HandleEvent(event);
}

void ug_midi_controllers::OnMidi(int time, std::uint32_t message) {
  const std::uint32_t status = message & 0xF0u;
  const int d1 = static_cast<int>((message >> 8) & 0x7Fu);
  const int d2 = static_cast<int>((message >> 16) & 0x7Fu);
  if ((message & 0xFFu) >= 0xF0u) return;
  SetProcessFunction(&ug_midi_controllers::Process);
  if (status == 0xB0) {
    for (std::size_t k = 0; k < kSlots; ++k) {
      std::int16_t& r = registers_[k];
      if (d1 == types_[k]) {
        r = static_cast<std::int16_t>((d2 << 7) | (r & 0x7F));
      } else if (d1 == types_[k] + 32 && d1 < 64) {
        r = static_cast<std::int16_t>((r & 0x3F80) + d2);
      } else {
        continue;
      }
      smoothers_[2 + k].Set(time, static_cast<float>(r) / 16256.0f);
    }
  } else if (status == 0xD0) {
    smoothers_[0].Set(time, static_cast<float>(d1) / 127.0f);
  } else if (status == 0xE0) {
    smoothers_[1].Set(time, static_cast<float>(d1 + 128 * d2 - 8192) / 8192.0f);
  }
}

void ug_midi_controllers::Process(int offset, int count) {
  bool finished = true;
  for (auto& s : smoothers_) {
    s.Process(clock, offset, count);
    finished = finished && s.Finished();
  }
  if (finished) SetProcessFunction(&ug_base::SleepCheck);
}

}  // namespace kr
