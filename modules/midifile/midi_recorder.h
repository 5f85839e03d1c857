// "MIDI Recorder": writes the channel messages reaching "MIDI In" into a
// single-track Standard MIDI File timed in milliseconds (a time-code
// division of 25 frames of 40 ticks). Messages go through a preallocated
// ring to a writer thread, which keeps the file's chunk sizes right after
// every write; a restart starts a new numbered file.
#pragma once

#include <memory>
#include <string>

#include "engine/ug_base.h"
#include "modules/take_writer.h"
#include "registry/midi_link.h"

namespace kr {

class ug_midi_recorder : public ug_base {
 public:
  enum PlugIndex { PN_FILE, PN_MIDI, PN_CHANNEL };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_recorder>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;
  void HandleEvent(ug_event* event) override;

  const std::string& TakePath() const { return writer_.Path(); }

 private:
  void Record(int time, std::uint32_t word);

  std::string fileName_;
  MidiInEndpoint midiIn_;
  std::int16_t channel_ = -1;
  kr::modules::TakeWriter writer_;
  bool recording_ = false;
  bool reported_ = false;
  std::int64_t lastMs_ = 0;
  std::int64_t rate_ = 44100;
};

}  // namespace kr
