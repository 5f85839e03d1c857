// "Soundfont Player": a note source whose voices play SoundFont zones. The
// master takes MIDI (notes through the voice list, program changes and
// bank select per channel); each voice copy plays its note's zone with a
// linear volume envelope and hands its voice back when the note is over.
#pragma once

#include <memory>
#include <string>

#include "dsp/lookup_tables.h"
#include "engine/document_text.h"
#include "modules/midi/notesource.h"
#include "modules/soundfont/font_state.h"
#include "modules/soundfont/zone_voice.h"

namespace kr {

class ug_sample_player2 : public ug_notesource, public DocumentTextTaker {
 public:
  enum PlugIndex { PN_MIDI, PN_LEFT, PN_RIGHT, PN_BANK, PN_PATCH };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_sample_player2>(); }
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void TakeDocumentText(std::string text) override { fileName_ = std::move(text); }

  // The file, for tests and the patch tools.
  void SetFileName(std::string name) { fileName_ = std::move(name); }
  bool HasFont() const { return shared_ && shared_->font != nullptr; }
  bool MissingSample() const { return missingSample_; }

 protected:
  void OnMidi(int time, std::uint32_t message) override;
  void VoiceNoteOn(int time, int channel, int note, int velocity) override;
  void VoiceNoteOff(int time, int channel, int note, int velocity) override;
  void VoiceBend(int time, float bend) override;

 private:
  template <bool Stereo>
  void Render(int offset, int count);
  void Quiet(int offset, int count);
  void EndVoice(int time, int offset, int count);
  soundfont::ChannelPresets& Presets() { return static_cast<ug_sample_player2*>(Master())->presets_; }

  float* left_ = nullptr;
  float* right_ = nullptr;
  std::int16_t bank_ = 0;
  std::int16_t patch_ = 0;
  std::string fileName_;

  std::shared_ptr<soundfont::SharedFont> shared_;
  std::shared_ptr<const kr::sf2::SoundFont> font_;  // held while the engine runs
  std::shared_ptr<const kr::dsp::ULookup> sinc_;
  soundfont::ChannelPresets presets_;  // the master's
  soundfont::ZoneVoice voice_;
  kr::dsp::sample_voice::Envelope envelope_;
  bool held_ = false;
  bool missingSample_ = false;
  double engineRate_ = 44100.0;
};

}  // namespace kr
