// "MIDI Player": plays a Standard MIDI File read at Open on its MIDI output,
// timed in engine samples (tempo from the file or from "Tempo"), with MIDI
// clock, start and stop. It drives itself with timed calls; the end of the
// file, or a file it cannot play, stops this module only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/ug_base.h"
#include "formats/midifile/sequence_walker.h"
#include "registry/midi_link.h"

namespace kr {

class ug_midi_player : public ug_base {
 public:
  enum PlugIndex { PN_FILE, PN_TEMPO, PN_OUT, PN_IGNORE_TEMPO, PN_LOOP };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_player>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  bool Playing() const { return walker_.has_value() && !walker_->Ended(); }

 private:
  bool Load();
  static void RunStep(ug_base& module);
  double InputBpm();
  void Step();

  std::string fileName_;
  float* tempo_ = nullptr;
  MidiOutEndpoint out_;
  bool ignoreTempo_ = false;
  bool loop_ = false;
  std::optional<kr::midifile::SequenceWalker> walker_;
};

}  // namespace kr
