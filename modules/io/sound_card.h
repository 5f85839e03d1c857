// "Sound In" and "Sound Out", the sound-card modules of a stand-alone
// synthesizer. Inside a plug-in the host owns the audio device, so they
// never open one: "Sound In" passes silence and "Sound Out" takes its inputs
// nowhere; each says so once per sound start (never for a voice copy). Our
// choice: silence rather than the host's channels, which "VST Input" and
// "VST Output" already carry.
#pragma once

#include <memory>

#include "engine/ug_base.h"

namespace kr {

// The one message of the modules that would open the sound card; the
// module's name goes first.
inline constexpr const char* kHostOwnsSoundCard =
    "Inside a plug-in the host owns the sound card: this module passes silence";
// Sends it, unless the module is a voice copy.
void TellHostOwnsSoundCard(ug_base& module);

class ug_soundcard_in : public ug_base {
 public:
  enum PlugIndex { PN_LEFT, PN_RIGHT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_soundcard_in>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;

 private:
  float* left_ = nullptr;
  float* right_ = nullptr;
};

class ug_soundcard_out : public ug_base {
 public:
  enum PlugIndex { PN_LEFT, PN_RIGHT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_soundcard_out>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;

 private:
  float* left_ = nullptr;
  float* right_ = nullptr;
};

}  // namespace kr
