// Plays a score through a loaded plug-in the way a host does and hands the
// audio to a sink: effOpen, sample rate, block size, resume, blocks with the
// MIDI events at their sample offsets and time information answered from the
// score's tempo map, then suspend and close.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/audio_sink.h"
#include "host/host_harness.h"
#include "host/render_score.h"

namespace kr {

struct RenderSettings {
  double sampleRate = 44100.0;
  int blockSize = 512;
  double tailSeconds = 2.0;     // played after the score's end, unless silence ends it sooner
  double silenceSeconds = 0.1;  // this long below silenceLevel after the end stops the render
  float silenceLevel = 1.0e-5f;  // about -100 dB
};

struct RenderStats {
  std::int64_t frames = 0;  // frames handed to the sink
  int channels = 0;
  float peak = 0.0f;        // largest absolute sample
  int mostNotesHeld = 0;    // from the MIDI: the plug-in does not report its voices
  bool endedOnSilence = false;
  double wallSeconds = 0.0;
};

struct RenderOutcome {
  bool ok = false;
  std::string error;
  RenderStats stats;
};

// Called after every block with the frames done and the most there can be.
using RenderProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// `host` must hold an effect (CallMain gave one); it is closed afterwards.
RenderOutcome RenderScore(HostHarness& host, const Score& score, const RenderSettings& settings, AudioSink& sink,
                          const RenderProgress& progress = {});

}  // namespace kr
