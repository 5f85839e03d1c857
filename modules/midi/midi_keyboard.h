// "KeyBoard", audio side: the panel keyboard's key presses (GUI notifications
// 3 and 4 with a note number) leave as MIDI note messages on "MIDI Out".
#pragma once

#include <array>
#include <cstdint>

#include "engine/ug_base.h"
#include "registry/midi_link.h"

namespace kr {

class ug_midi_keyboard : public ug_base {
 public:
  static constexpr int kKeyDown = 3;
  static constexpr int kKeyUp = 4;
  static constexpr std::size_t kQueueSize = 64;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_keyboard>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnUiNotify(int kind, int value) override;

 private:
  void Send(int offset, int count);

  std::int16_t channel_ = 0;
  MidiOutEndpoint midiOut_;
  // Messages waiting for the next process call, oldest first; a burst beyond
  // the queue drops the newest rather than allocating.
  std::array<std::uint32_t, kQueueSize> queue_{};
  std::size_t queued_ = 0;
};

}  // namespace kr
