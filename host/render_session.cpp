#include "host/render_session.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "host/held_notes.h"

namespace kr {

using namespace vst;

namespace {

constexpr int kMaxRenderedOutputs = 256;

// The largest magnitude among n samples; NaN is passed over, as std::max does.
float Peak(const float* x, int n) {
  float peak = 0.0f;
  int i = 0;
#if defined(__SSE2__)
  const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
  __m128 top = _mm_setzero_ps();
  for (; i + 4 <= n; i += 4) top = _mm_max_ps(_mm_and_ps(_mm_loadu_ps(x + i), magnitude), top);
  alignas(16) float lanes[4];
  _mm_store_ps(lanes, top);
  for (float v : lanes) peak = std::max(peak, v);
#endif
  for (; i < n; ++i) peak = std::max(peak, std::fabs(x[i]));
  return peak;
}

VstTimeInfo TimeAt(const Score& score, std::int64_t sample, double sampleRate) {
  VstTimeInfo info{};
  const double seconds = static_cast<double>(sample) / sampleRate;
  info.samplePos = static_cast<double>(sample);
  info.sampleRate = sampleRate;
  info.nanoSeconds = seconds * 1e9;
  info.ppqPos = score.QuartersAt(seconds);
  info.tempo = score.BpmAt(seconds);
  info.barStartPos = std::floor(info.ppqPos / 4.0) * 4.0;  // bars of 4/4
  info.timeSigNumerator = 4;
  info.timeSigDenominator = 4;
  info.flags = kVstTransportPlaying | kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
               kVstTimeSigValid;
  return info;
}

}  // namespace

RenderOutcome RenderScore(HostHarness& host, const Score& score, const RenderSettings& settings, AudioSink& sink,
                          const RenderProgress& progress) {
  RenderOutcome outcome;
  AEffect* effect = host.Effect();
  if (effect == nullptr) {
    outcome.error = "the plug-in gave no effect to render with";
    return outcome;
  }
  if (!(settings.sampleRate >= 1.0) || settings.blockSize < 1) {
    outcome.error = "the sample rate and block size must be positive";
    return outcome;
  }
  if (effect->numOutputs <= 0 || effect->numOutputs > kMaxRenderedOutputs) {
    outcome.error = effect->numOutputs <= 0 ? "the plug-in has no audio outputs"
                                            : "the plug-in declares " + std::to_string(effect->numOutputs) +
                                                  " outputs; at most " + std::to_string(kMaxRenderedOutputs) +
                                                  " can be rendered";
    host.Close();
    return outcome;
  }
  const auto started = std::chrono::steady_clock::now();
  const double rate = settings.sampleRate;
  const int block = settings.blockSize;
  const int channels = effect->numOutputs;
  const std::int64_t tail = static_cast<std::int64_t>(std::llround(std::max(0.0, settings.tailSeconds) * rate));
  const std::int64_t total = score.endSample + tail;
  const std::int64_t silenceFrames =
      std::max<std::int64_t>(1, static_cast<std::int64_t>(std::llround(settings.silenceSeconds * rate)));

  host.SetSampleRateAnswer(static_cast<VstIntPtr>(std::llround(rate)));
  host.Dispatch(effOpen);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  host.Dispatch(effSetBlockSize, 0, block);
  host.Dispatch(effMainsChanged, 0, 1);
  host.PrepareBlock(block);

  HeldNotes held;
  std::vector<MidiAt> midi;
  std::vector<const float*> outputs(static_cast<std::size_t>(channels));
  std::size_t next = 0;
  std::int64_t silentRun = 0;
  std::int64_t start = 0;
  bool writing = true;
  while (start < total && writing) {
    midi.clear();
    while (next < score.events.size() && score.events[next].sample < start + block) {
      const ScoreEvent& e = score.events[next++];
      midi.push_back({static_cast<std::int32_t>(e.sample - start), e.status, e.data1, e.data2});
      held.Apply(e.status, e.data1, e.data2);
    }
    host.SetTimeInfo(TimeAt(score, start, rate));
    host.RunBlock(midi);
    host.ClearCalls();  // a long render would otherwise keep every callback

    int frames = static_cast<int>(std::min<std::int64_t>(block, total - start));
    for (int c = 0; c < channels; ++c) outputs[static_cast<std::size_t>(c)] = host.Output(c).data();
    // Before the score's end only the peak counts: channel by channel.
    const int beforeEnd = static_cast<int>(std::clamp<std::int64_t>(score.endSample - start, 0, frames));
    for (const float* channel : outputs) outcome.stats.peak = std::max(outcome.stats.peak, Peak(channel, beforeEnd));
    for (int i = beforeEnd; i < frames; ++i) {
      float loudest = 0.0f;
      for (const float* channel : outputs) loudest = std::max(loudest, std::fabs(channel[i]));
      outcome.stats.peak = std::max(outcome.stats.peak, loudest);
      silentRun = loudest < settings.silenceLevel ? silentRun + 1 : 0;
      if (silentRun >= silenceFrames) {
        frames = i + 1;
        outcome.stats.endedOnSilence = start + frames < total;
        writing = false;
        break;
      }
    }
    if (sink.Write(outputs, frames)) {
      outcome.stats.frames += frames;
    } else {
      outcome.error = "the audio could not be written";
      writing = false;
    }
    start += block;
    if (progress) progress(std::min(start, total), total);
  }

  host.Dispatch(effMainsChanged, 0, 0);
  host.Close();
  outcome.stats.channels = channels;
  outcome.stats.mostNotesHeld = held.Most();
  outcome.stats.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  outcome.ok = outcome.error.empty();
  return outcome;
}

}  // namespace kr
