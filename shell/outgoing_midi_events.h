// The MIDI events the effect object hands to the host after a block. The
// records and the VstEvents header are owned here and stay valid until the
// next block that sends MIDI; storage grows in steps of 10 records and is
// reused afterwards, so steady-state blocks do not allocate.
#pragma once

#include <cstdint>
#include <vector>

#include "vst/vst2.h"

namespace kr {

class OutgoingMidiEvents {
 public:
  static constexpr std::size_t kGrowStep = 10;

  // Forgets the previous block's records (their storage is kept).
  void Clear() { count_ = 0; }
  void Add(std::int32_t deltaFrames, std::uint32_t message);
  std::size_t Count() const { return count_; }
  const vst::VstMidiEvent& At(std::size_t i) const { return records_[i]; }
  // The header for audioMasterProcessEvents, pointing at the current records.
  vst::VstEvents* Header();

 private:
  void Grow();

  std::vector<vst::VstMidiEvent> records_;
  // VstEvents laid out in pointer-sized words: count, reserved, then pointers.
  std::vector<std::uintptr_t> header_;
  std::size_t count_ = 0;
};

}  // namespace kr
