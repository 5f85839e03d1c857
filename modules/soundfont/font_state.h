// What the SoundFont modules share: the font, read once at Open for a
// module and its voice copies, and the preset chosen for each MIDI channel
// (a pointer into the font's prepared zone lists, so choosing one on the
// audio thread allocates nothing).
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "formats/soundfont/soundfont.h"

namespace kr {

class ug_base;

namespace soundfont {

struct SharedFont {
  bool tried = false;
  std::string name;
  std::shared_ptr<const kr::sf2::SoundFont> font;
};

// Reads the named font into shared once; a failure is shown once.
void LoadOnce(ug_base& module, SharedFont& shared, std::string_view name);

class ChannelPresets {
 public:
  struct Channel {
    int bank = 255;     // 255: none chosen
    int program = 255;
    bool enabled = true;
    const kr::sf2::Preset* preset = nullptr;
  };

  // Every channel on bank 0 (channel 10 on bank 128), program 0.
  void Reset(const kr::sf2::SoundFont* font);
  // Nothing happens when the channel already has this choice.
  void Select(int channel, int bank, int program);
  void SelectBank(int channel, int bank) { Select(channel, bank, At(channel).program); }
  void SelectProgram(int channel, int program) { Select(channel, At(channel).bank, program); }
  const Channel& At(int channel) const { return channels_[static_cast<std::size_t>(channel & 15)]; }
  // The zone for key and velocity on the channel, or null.
  const kr::sf2::Zone* FindZone(int channel, int key, int velocity) const;

 private:
  const kr::sf2::SoundFont* font_ = nullptr;
  std::array<Channel, 16> channels_{};
};

}  // namespace soundfont

}  // namespace kr
