// The voices of a polyphonic container. Voice 0 holds every module of the
// container that is not a per-voice copy; more voices come with polyphony.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class ug_base;

struct Voice {
  std::vector<ug_base*> modules;
  ug_base* noteReceiver = nullptr;
  int releaseTime = 0;
  int noteOnTime = 0;
  std::int16_t channel = 0;
  std::int16_t note = 0;
  bool restruck = false;
  int number = 0;
  bool suspended = false;
  bool open = false;
  bool pedalHeld = false;
};

class VoiceList {
 public:
  VoiceList() { voices.push_back(std::make_unique<Voice>()); }
  virtual ~VoiceList() = default;

  Voice& FirstVoice() { return *voices.front(); }
  int VoiceCount() const { return static_cast<int>(voices.size()); }

  std::vector<std::unique_ptr<Voice>> voices;
};
