// "Audio Out" in its file mode and "Wave Recorder": record the inputs into
// a WAVE file (16-bit PCM or 32-bit float). The audio thread converts each
// stretch into a preallocated ring; a writer thread appends it to the file
// and keeps the header valid. Only the module itself records, never a
// voice copy; "Time Limit" ends the take, not the engine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ug_base.h"
#include "modules/take_writer.h"

namespace kr {

class ug_wave_out : public ug_base {
 public:
  enum PlugIndex { PN_LEFT, PN_RIGHT, PN_FILE, PN_FORMAT, PN_TIME, PN_PLAY, PN_STATS };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_wave_out>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  bool Recording() const { return recording_; }
  const std::string& TakePath() const { return writer_.Path(); }
  std::uint64_t FramesRecorded() const { return frames_; }

 protected:
  // Audio Out: mode 0 records (16 bits); Wave Recorder always records.
  virtual bool RecordsFile() const { return format_ == 0; }
  virtual bool FloatSamples() const { return false; }
  void ListCommonPlugs(InterfaceList& list);
  std::int16_t format_ = 1;
  double timeLimit_ = 4.0;
  bool playWhenDone_ = false;
  bool reportStats_ = false;

 private:
  void Record(int offset, int count);
  void Idle(int offset, int count);
  static void TimeLimitReached(ug_base& module);

  float* left_ = nullptr;
  float* right_ = nullptr;
  std::string fileName_;
  std::string behindText_;  // the message when the writer falls behind

  kr::modules::TakeWriter writer_;
  std::vector<std::uint8_t> scratch_;
  int channels_ = 1;
  bool float_ = false;
  bool recording_ = false;
  bool reported_ = false;
  std::uint64_t frames_ = 0;
  std::uint32_t startMs_ = 0;
  int startClock_ = 0;
};

class ug_wave_recorder : public ug_wave_out {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_wave_recorder>(); }
  void ListInterface(InterfaceList& list) override;

 protected:
  bool RecordsFile() const override { return true; }
  bool FloatSamples() const override { return format_ == 1; }
};

}  // namespace kr
