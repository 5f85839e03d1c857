// The program an audio "Patch Select" module shows, as the document side
// reaches it. The GUI side stores a new program here and then posts the
// module a notification of kind kNotifyProgram; the panel reads it back at
// refresh. Atomic because both threads touch it without a lock.
#pragma once

#include <atomic>
#include <cstdint>

namespace kr {

class PatchSelectProgram {
 public:
  static constexpr int kNotifyProgram = 5;
  virtual ~PatchSelectProgram() = default;
  // Posts the audio module its kNotifyProgram notification (GUI thread).
  virtual void PostProgramNotify(int program) = 0;
  std::atomic<std::int32_t> shownProgram{-1};
};

}  // namespace kr
