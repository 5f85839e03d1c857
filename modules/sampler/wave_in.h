// "Audio In" in its file mode and "Wave Player": play a WAVE file from a
// rising edge of "Gate", at the pitch "Pitch Shift" sets, looping the
// file's "smpl" loop while the gate is high. The file is read at Open (the
// GUI thread) and shared by the module's voice copies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dsp/lookup_tables.h"
#include "dsp/wave_stream.h"
#include "engine/ug_base.h"

namespace kr {

class ug_wave_in : public ug_base {
 public:
  enum PlugIndex { PN_GATE, PN_PITCH, PN_LEFT, PN_RIGHT, PN_FILE, PN_MODE };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_wave_in>(); }
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  bool Loaded() const { return file_ && file_->ok; }

 protected:
  // The plugs both kinds share; the gate's default differs.
  void ListFilePlugs(InterfaceList& list, const char* gateDefault);
  virtual bool PlaysFile() const { return mode_ == 0; }

 private:
  // One file, read once for the module and its voice copies.
  struct SharedFile {
    bool tried = false;
    bool ok = false;
    std::string name;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    kr::dsp::wave_stream::Source source;
    std::uint32_t sampleRate = 44100;
  };

  void Load();
  void Silence(int offset, int count);
  template <bool GateRuns, bool PitchRuns>
  void Play(int offset, int count);
  void ChooseProcess();
  std::uint32_t IncrementFor(float pitch) const;
  void Stop(int time);

  float* gate_ = nullptr;
  float* pitch_ = nullptr;
  float* left_ = nullptr;
  float* right_ = nullptr;
  std::string fileName_;
  std::int16_t mode_ = 1;

  std::shared_ptr<SharedFile> file_;
  std::shared_ptr<const kr::dsp::ULookup> sinc_;
  std::unique_ptr<kr::dsp::wave_stream::State> stream_;
  bool gateHigh_ = false;
  float gateValue_ = 0.0f;  // a static gate's value
  bool running_ = false;  // outputs streaming
  double rateRatio_ = 1.0;  // file rate / engine rate
};

class ug_wave_player : public ug_wave_in {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_wave_player>(); }
  void ListInterface(InterfaceList& list) override;

 protected:
  bool PlaysFile() const override { return true; }
};

}  // namespace kr
