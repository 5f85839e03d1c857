// "Soundfont Oscillator": a rising "Gate" starts the zone that "Pitch" and
// "Velocity" choose from the channel-1 preset ("Bank", "Patch"); "Pitch"
// bends the note while it plays; loop mode 3 loops while the gate is high.
#pragma once

#include <memory>
#include <string>

#include "dsp/lookup_tables.h"
#include "engine/document_text.h"
#include "engine/ug_base.h"
#include "modules/soundfont/font_state.h"
#include "modules/soundfont/zone_voice.h"

namespace kr {

class ug_osc_sf : public ug_base, public DocumentTextTaker {
 public:
  enum PlugIndex { PN_FILE, PN_BANK, PN_PATCH, PN_GATE, PN_PITCH, PN_VELOCITY, PN_LEFT, PN_RIGHT, PN_IGNORE_PC };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_osc_sf>(); }
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void TakeDocumentText(std::string text) override { documentText_ = std::move(text); }

  // The note "Pitch" p (sample units) chooses: floor((p - 0.5) × 120 + 69.5) in 0 ... 127.
  static int NoteFor(float pitch);
  bool HasFont() const { return shared_ && shared_->font != nullptr; }
  bool MissingSample() const { return missingSample_; }

 private:
  template <bool GateRuns, bool PitchRuns, bool Stereo>
  void Play(int offset, int count);
  void Idle(int offset, int count);
  void ChooseProcess();
  bool StartNote(int time, float pitch, float velocity);
  void EndNote(int time);
  std::uint32_t IncrementFor(float pitch) const;

  std::string fileName_;
  std::int16_t bank_ = 0;
  std::int16_t patch_ = 0;
  float* gate_ = nullptr;
  float* pitch_ = nullptr;
  float* velocity_ = nullptr;
  float* left_ = nullptr;
  float* right_ = nullptr;
  bool ignoreProgramChange_ = true;
  std::string documentText_;

  std::shared_ptr<soundfont::SharedFont> shared_;
  std::shared_ptr<const kr::sf2::SoundFont> font_;
  std::shared_ptr<const kr::dsp::ULookup> sinc_;
  soundfont::ChannelPresets presets_;
  soundfont::ZoneVoice voice_;
  double reference_ = 0.0;  // r: the pitch that plays the zone's own sample pitch, less the zone offset
  double engineRate_ = 44100.0;
  float gateValue_ = 0.0f;
  bool gateHigh_ = false;
  bool playing_ = false;
  bool missingSample_ = false;
};

}  // namespace kr
