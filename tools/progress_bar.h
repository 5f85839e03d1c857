// A progress bar on stderr: one line redrawn in place with a carriage return.
// It stays hidden for renders that finish within a second of wall time.
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>

namespace kr {

class ProgressBar {
 public:
  explicit ProgressBar(std::ostream& out, double sampleRate);
  void Update(std::int64_t done, std::int64_t total);
  void Finish();  // ends the line when the bar was shown

 private:
  std::ostream& out_;
  double sampleRate_;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastDrawn_;
  std::int64_t lastChecked_ = 0;  // frames done when the clock was last read
  bool shown_ = false;
};

}  // namespace kr
