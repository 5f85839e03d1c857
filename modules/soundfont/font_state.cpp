#include "modules/soundfont/font_state.h"

#include "engine/ug_base.h"
#include "modules/module_file_reader.h"

namespace kr {

namespace soundfont {

void LoadOnce(ug_base& module, SharedFont& shared, std::string_view name) {
  if (shared.tried) return;
  shared.tried = true;
  shared.name = std::string(name);
  if (name.empty()) {
    module.MessageBox("No SoundFont file is chosen for " + module.DisplayName());
    return;
  }
  const kr::modules::ModuleFile read = kr::modules::ReadModuleFile(module, name, "sf2");
  if (!read.bytes) {
    module.MessageBox("Can't open: " + std::string(name) +
                      ". Check: filename is correct, check it's a SoundFont (*.sf2) file, check your directory "
                      "settings (Audio/Preferences)");
    return;
  }
  kr::sf2::ReadResult font = kr::sf2::ReadSoundFont(*read.bytes);
  if (!font.font) {
    module.MessageBox("Can't play the SoundFont " + read.path + ": " + font.error);
    return;
  }
  shared.font = std::move(font.font);
}

void ChannelPresets::Reset(const kr::sf2::SoundFont* font) {
  font_ = font;
  channels_ = {};
  for (int c = 0; c < 16; ++c) Select(c, c == 9 ? 128 : 0, 0);
}

void ChannelPresets::Select(int channel, int bank, int program) {
  Channel& ch = channels_[static_cast<std::size_t>(channel & 15)];
  if (ch.bank == bank && ch.program == program) return;
  ch.bank = bank;
  ch.program = program;
  ch.preset = font_ != nullptr ? font_->Find(bank, program) : nullptr;
}

const kr::sf2::Zone* ChannelPresets::FindZone(int channel, int key, int velocity) const {
  const Channel& ch = At(channel);
  if (!ch.enabled || ch.preset == nullptr) return nullptr;
  return kr::sf2::SoundFont::FindZone(*ch.preset, key, velocity);
}

}  // namespace soundfont

}  // namespace kr
