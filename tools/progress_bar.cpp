#include "tools/progress_bar.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace kr {

namespace {

constexpr auto kDelay = std::chrono::seconds(1);
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr int kWidth = 30;
// The clock is read once per this many frames, not per host block: with
// small blocks the reads would cost more than some of the audio.
constexpr std::int64_t kCheckFrames = 4096;

}  // namespace

ProgressBar::ProgressBar(std::ostream& out, double sampleRate)
    : out_(out), sampleRate_(sampleRate), started_(std::chrono::steady_clock::now()) {}

void ProgressBar::Update(std::int64_t done, std::int64_t total) {
  if (done - lastChecked_ < kCheckFrames && done < total) return;
  lastChecked_ = done;
  const auto now = std::chrono::steady_clock::now();
  if (now - started_ < kDelay || (shown_ && now - lastDrawn_ < kRedraw && done < total)) return;
  shown_ = true;
  lastDrawn_ = now;
  const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
  const int filled = static_cast<int>(fraction * kWidth);
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "] %3d%%  %.1f s of %.1f s", static_cast<int>(fraction * 100.0),
                static_cast<double>(done) / sampleRate_, static_cast<double>(total) / sampleRate_);
  out_ << "\rrendering [" << std::string(static_cast<std::size_t>(filled), '#')
       << std::string(static_cast<std::size_t>(kWidth - filled), '.') << numbers << std::flush;
}

void ProgressBar::Finish() {
  if (shown_) out_ << "\n" << std::flush;
}

}  // namespace kr
