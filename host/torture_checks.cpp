#include "host/torture_checks.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <random>
#include <sstream>
#include <thread>

#include "host/audio_call.h"
#include "host/torture_instance.h"

namespace kr {

using namespace vst;

namespace torture {

namespace {

constexpr float kBaseRate = 44100.0f;
// No patch output comes near this; the rig fills output buffers with more.
constexpr float kWildPeak = 1000.0f;
// Below this RMS a stretch of output counts as silence.
constexpr double kSilent = 1e-6;

std::int64_t FramesFor(double seconds, float rate) { return static_cast<std::int64_t>(seconds * rate); }

std::string Number(double value) {
  std::ostringstream s;
  s.precision(9);
  s << value;
  return s.str();
}

// The verdict for output that must be finite and in range.
bool Sound(const OutputStats& stats, Verdict& verdict, const std::string& where) {
  if (!stats.Finite()) {
    verdict.ok = false;
    verdict.detail = std::to_string(stats.nonFinite) + " non-finite output samples " + where;
    return false;
  }
  if (stats.peak >= kWildPeak) {
    verdict.ok = false;
    verdict.detail = "output unwritten or out of range (peak " + Number(stats.peak) + ") " + where;
    return false;
  }
  return true;
}

bool Opened(Instance& instance, const std::string& plugin, Verdict& verdict) {
  std::string error;
  if (instance.Open(plugin, error)) return true;
  verdict.ok = false;
  verdict.detail = error;
  return false;
}

std::string Bytes(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::string text;
  for (std::size_t i = at; i < bytes.size() && i < at + 24; ++i) {
    const std::uint8_t b = bytes[i];
    static constexpr char kHex[] = "0123456789abcdef";
    text += (b >= 32 && b < 127 && b != '\\') ? std::string(1, static_cast<char>(b))
                                               : std::string{'\\', 'x', kHex[b >> 4], kHex[b & 15]};
  }
  return "\"" + text + "\"";
}

std::string FirstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  const std::size_t common = std::min(a.size(), b.size());
  const auto at = static_cast<std::size_t>(std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(common),
                                                         b.begin()).first - a.begin());
  return std::to_string(a.size()) + " bytes became " + std::to_string(b.size()) + ", from byte " +
         std::to_string(at) + ": " + Bytes(a, at) + " became " + Bytes(b, at);
}

// Runs `frames` of audio on a thread of its own while `work` runs on this one
// until the audio is done.
template <typename Work>
OutputStats AudioWhile(Instance& instance, std::int64_t frames, int blockSize, Work work) {
  std::atomic<bool> done{false};
  OutputStats stats;
  std::thread audio([&] {
    stats = instance.RunFor(frames, blockSize);
    done.store(true, std::memory_order_release);
  });
  while (!done.load(std::memory_order_acquire)) work();
  audio.join();
  return stats;
}

std::vector<float> Parameters(Instance& instance) {
  std::vector<float> values;
  for (VstInt32 i = 0; i < instance.Effect().numParams; ++i) values.push_back(instance.Host().GetParameter(i));
  return values;
}

void Pause() { std::this_thread::sleep_for(std::chrono::microseconds(200)); }

// --- the checks --------------------------------------------------------------

Verdict BlockSizes(const std::string& plugin, const Options& options) {
  Verdict v{"block sizes", true, {}, 0};
  Instance in;
  if (!Opened(in, plugin, v)) return v;
  std::mt19937 random(options.seed * 7919u + 1u);
  std::uniform_real_distribution<double> logSize(0.0, std::log(8192.0));
  OutputStats stats;
  int blocks = 0, empty = 0, largest = 0;
  // First as announced (8192 at most), then with blocks longer than the announced 64.
  for (const int announced : {8192, 64}) {
    in.Start(kBaseRate, announced);
    const std::int64_t total = FramesFor(options.seconds / 2.0, kBaseRate);
    for (std::int64_t done = 0; done < total;) {
      int frames = 0;
      if (random() % 16 != 0)
        frames = std::clamp(static_cast<int>(std::lround(std::exp(logSize(random)))), 1, 8192);
      stats.Add(in.Run(frames));
      done += frames;
      ++blocks;
      empty += frames == 0 ? 1 : 0;
      largest = std::max(largest, frames);
      if (!Sound(stats, v, "in a block of " + std::to_string(frames) + " frames (announced " +
                               std::to_string(announced) + ")"))
        return v;
    }
  }
  v.detail = std::to_string(blocks) + " blocks of 0.." + std::to_string(largest) + " frames (" +
             std::to_string(empty) + " of 0 frames), also longer than announced";
  return v;
}

Verdict SampleRates(const std::string& plugin, const Options& options) {
  Verdict v{"sample rates", true, {}, 0};
  Instance in;
  if (!Opened(in, plugin, v)) return v;
  const std::vector<std::uint8_t> before = in.HasChunks() ? in.Chunk(false) : std::vector<std::uint8_t>{};
  static constexpr float kRates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
  std::mt19937 random(options.seed * 104729u + 3u);
  constexpr int kSwitches = 12;
  const double segment = std::max(options.seconds / kSwitches, 0.3);
  in.Start(kBaseRate, 512);
  const OutputStats first = in.RunFor(FramesFor(segment, kBaseRate), 512);
  if (!Sound(first, v, "at 44100 Hz")) return v;
  for (int i = 0; i < kSwitches; ++i) {
    const float rate = kRates[random() % std::size(kRates)];
    const std::string where = "at " + Number(rate) + " Hz";
    if (i % 2 == 0) {
      in.Start(rate, 512);  // suspend, set the rate, resume
    } else {
      in.Host().SetSampleRateAnswer(static_cast<VstIntPtr>(rate));
      in.Host().Dispatch(effSetSampleRate, 0, 0, nullptr, rate);  // while running
      in.Start(rate, 512);
    }
    const OutputStats stats = in.RunFor(FramesFor(segment, rate), 512);
    if (!Sound(stats, v, where)) return v;
    if (first.Rms() > 1e-4 && stats.Rms() < kSilent) {
      v.ok = false;
      v.detail = "silent " + where + " (RMS " + Number(first.Rms()) + " at 44100 Hz)";
      return v;
    }
  }
  if (in.HasChunks() && in.Chunk(false) != before) {
    v.ok = false;
    v.detail = "the bank chunk changed across rate switches: " + FirstDifference(before, in.Chunk(false));
    return v;
  }
  v.detail = std::to_string(kSwitches) + " switches over 22050..192000 Hz, sound at each, state kept";
  return v;
}

Verdict SuspendResume(const std::string& plugin, const Options& options) {
  Verdict v{"suspend/resume", true, {}, 0};
  Instance in;
  if (!Opened(in, plugin, v)) return v;
  const std::vector<std::uint8_t> before = in.HasChunks() ? in.Chunk(false) : std::vector<std::uint8_t>{};
  std::mt19937 random(options.seed * 15485863u + 5u);
  OutputStats stats;
  for (int i = 0; i < options.cycles; ++i) {
    in.Start(kBaseRate, 512);
    stats.Add(in.Run(1 + static_cast<int>(random() % 512)));
    if (!Sound(stats, v, "after " + std::to_string(i + 1) + " resumes")) return v;
  }
  in.Stop();
  if (in.HasChunks() && in.Chunk(false) != before) {
    v.ok = false;
    v.detail = "the bank chunk changed: " + FirstDifference(before, in.Chunk(false));
    return v;
  }
  v.detail = std::to_string(options.cycles) + " cycles, state kept";
  return v;
}

Verdict Instances(const std::string& plugin, const Options& options) {
  Verdict v{"instances", true, {}, 0};
  std::mt19937 random(options.seed * 32452843u + 7u);
  constexpr int kTogether = 10;
  int opened = 0;
  while (opened < options.instances) {
    std::vector<std::unique_ptr<Instance>> group;
    for (int i = 0; i < kTogether && opened < options.instances; ++i, ++opened) {
      group.push_back(std::make_unique<Instance>());
      if (!Opened(*group.back(), plugin, v)) return v;
      group.back()->Start(kBaseRate, 256);
      if (!Sound(group.back()->RunFor(512, 256), v, "in instance " + std::to_string(opened + 1))) return v;
    }
    std::shuffle(group.begin(), group.end(), random);
    group.clear();  // closed in a shuffled order
  }
  v.detail = std::to_string(opened) + " opened and closed, up to " + std::to_string(kTogether) + " open at a time";
  return v;
}

Verdict TwoThreads(const std::string& plugin, const Options& options) {
  Verdict v{"two instances on two threads", true, {}, 0};
  Instance alone, a, b;
  if (!Opened(alone, plugin, v) || !Opened(a, plugin, v) || !Opened(b, plugin, v)) return v;
  const std::int64_t frames = FramesFor(options.seconds, kBaseRate);
  alone.Start(kBaseRate, 256);
  alone.RunFor(frames, 256);
  alone.Close();
  a.Start(kBaseRate, 256);
  b.Start(kBaseRate, 256);
  OutputStats sa, sb;
  std::thread ta([&] { sa = a.RunFor(frames, 256); });
  std::thread tb([&] { sb = b.RunFor(frames, 256); });
  ta.join();
  tb.join();
  if (!Sound(sa, v, "in the first instance") || !Sound(sb, v, "in the second instance")) return v;
  if (a.OutputDigest() != alone.OutputDigest() || b.OutputDigest() != alone.OutputDigest()) {
    v.ok = false;
    v.detail = "instances side by side play differently from one alone (shared state between instances)";
    return v;
  }
  v.detail = Number(options.seconds) + " s each, output identical to an instance alone";
  return v;
}

Verdict ParametersFromThreads(const std::string& plugin, const Options& options) {
  Verdict v{"setParameter from two threads", true, {}, 0};
  Instance in;
  if (!Opened(in, plugin, v)) return v;
  const VstInt32 count = in.Effect().numParams;
  in.Start(kBaseRate, 256);
  std::atomic<bool> done{false};
  std::atomic<std::int64_t> calls{0};
  auto automate = [&](std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int i = 0; !done.load(std::memory_order_acquire); ++i) {
      if (count > 0) {
        in.Host().SetParameter(static_cast<VstInt32>(random() % static_cast<std::uint32_t>(count)), value(random));
        calls.fetch_add(1, std::memory_order_relaxed);
      }
      if (i % 16 == 0) Pause();
    }
  };
  std::thread first(automate, options.seed * 3u + 11u);
  std::thread second(automate, options.seed * 5u + 13u);
  const OutputStats stats = in.RunFor(FramesFor(options.seconds, kBaseRate), 256);
  done.store(true, std::memory_order_release);
  first.join();
  second.join();
  if (!Sound(stats, v, "while parameters changed")) return v;
  v.detail = std::to_string(calls.load()) + " calls over " + std::to_string(count) + " parameters";
  return v;
}

Verdict Programs(const std::string& plugin, const Options& options) {
  Verdict v{"program switches", true, {}, 0};
  Instance in;
  if (!Opened(in, plugin, v)) return v;
  const VstInt32 programs = std::max(in.Effect().numPrograms, 1);
  std::vector<std::vector<float>> kept;
  for (VstInt32 p = 0; p < programs; ++p) {
    in.Host().Dispatch(effSetProgram, 0, p);
    kept.push_back(Parameters(in));
  }
  in.Start(kBaseRate, 256);
  std::mt19937 random(options.seed * 49979687u + 17u);
  int switches = 0;
  std::string wrong;
  const OutputStats stats = AudioWhile(in, FramesFor(options.seconds, kBaseRate), 256, [&] {
    const auto p = static_cast<VstInt32>(random() % static_cast<std::uint32_t>(programs));
    in.Host().Dispatch(effSetProgram, 0, p);
    ++switches;
    const VstIntPtr now = in.Host().Dispatch(effGetProgram);
    if (now != p && wrong.empty())
      wrong = "effGetProgram answered " + std::to_string(now) + " after switching to " + std::to_string(p);
    Pause();
  });
  if (!Sound(stats, v, "while programs switched")) return v;
  if (!wrong.empty()) {
    v.ok = false;
    v.detail = wrong;
    return v;
  }
  for (VstInt32 p = 0; p < programs; ++p) {
    in.Host().Dispatch(effSetProgram, 0, p);
    const std::vector<float> now = Parameters(in);
    for (std::size_t i = 0; i < now.size(); ++i) {
      if (now[i] == kept[static_cast<std::size_t>(p)][i]) continue;
      v.ok = false;
      v.detail = "program " + std::to_string(p) + " lost parameter " + std::to_string(i) + " (" +
                 Number(kept[static_cast<std::size_t>(p)][i]) + " became " + Number(now[i]) + ")";
      return v;
    }
  }
  v.detail = std::to_string(switches) + " switches over " + std::to_string(programs) +
             " programs while playing, every program kept";
  return v;
}

Verdict Chunks(const std::string& plugin, const Options& options) {
  Verdict v{"chunk round trips", true, {}, 0};
  Instance in;
  if (!Opened(in, plugin, v)) return v;
  if (!in.HasChunks()) {
    v.detail = "the plug-in keeps no chunks";
    return v;
  }
  const VstInt32 count = in.Effect().numParams;
  const VstInt32 programs = std::max(in.Effect().numPrograms, 1);
  in.Start(kBaseRate, 256);
  std::mt19937 random(options.seed * 86028121u + 19u);
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  int trips = 0;
  std::string wrong;
  const OutputStats stats = AudioWhile(in, FramesFor(options.seconds, kBaseRate), 256, [&] {
    if (!wrong.empty()) return Pause();
    in.Host().Dispatch(effSetProgram, 0, static_cast<VstInt32>(random() % static_cast<std::uint32_t>(programs)));
    for (int i = 0; count > 0 && i < 4; ++i)
      in.Host().SetParameter(static_cast<VstInt32>(random() % static_cast<std::uint32_t>(count)), value(random));
    for (const bool program : {false, true}) {
      const char* kind = program ? "program" : "bank";
      // The first trip settles values the host set that the plug-in does not
      // keep (a meter's); from then on nothing may change.
      in.SetChunk(in.Chunk(program), program);
      const std::vector<float> parameters = Parameters(in);
      const std::vector<std::uint8_t> before = in.Chunk(program);
      in.SetChunk(before, program);  // the answer means nothing (it is 0)
      const std::vector<std::uint8_t> after = in.Chunk(program);
      ++trips;
      if (after != before) {
        wrong = std::string(kind) + " chunk round trip: " + FirstDifference(before, after);
        return;
      }
      const std::vector<float> now = Parameters(in);
      for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] == parameters[i]) continue;
        wrong = std::string(kind) + " chunk round trip changed parameter " + std::to_string(i) + " from " +
                Number(parameters[i]) + " to " + Number(now[i]);
        return;
      }
    }
    Pause();
  });
  if (!Sound(stats, v, "during chunk round trips")) return v;
  if (!wrong.empty()) {
    v.ok = false;
    v.detail = wrong;
    return v;
  }
  v.detail = std::to_string(trips) + " round trips (bank and program) while playing, byte for byte";
  return v;
}

Verdict BadInput(const std::string& plugin, const Options& options, InputKind kind) {
  Verdict v{"input " + std::string(InputName(kind)), true, {}, 0};
  Instance in, reference;
  if (!Opened(in, plugin, v)) return v;
  if (in.Effect().numInputs == 0) {
    v.detail = "no audio inputs";
    return v;
  }
  if (!Opened(reference, plugin, v)) return v;
  constexpr int kBlock = 256;
  const double badSeconds = std::clamp(options.seconds / 4.0, 0.1, 0.5);
  in.Start(kBaseRate, kBlock);
  reference.Start(kBaseRate, kBlock);
  OutputStats stats = in.RunFor(FramesFor(0.5, kBaseRate), kBlock);
  reference.RunFor(FramesFor(0.5, kBaseRate), kBlock);
  stats.Add(in.RunFor(FramesFor(badSeconds, kBaseRate), kBlock, kind));
  reference.RunFor(FramesFor(badSeconds, kBaseRate), kBlock);
  if (!Sound(stats, v, "during " + std::string(InputName(kind)) + " input")) return v;
  // A second to recover, then the output must be the patch's normal sound.
  stats.Add(in.RunFor(FramesFor(1.0, kBaseRate), kBlock));
  reference.RunFor(FramesFor(1.0, kBaseRate), kBlock);
  const OutputStats after = in.RunFor(FramesFor(0.5, kBaseRate), kBlock);
  const OutputStats normal = reference.RunFor(FramesFor(0.5, kBaseRate), kBlock);
  stats.Add(after);
  if (!Sound(stats, v, "after " + std::string(InputName(kind)) + " input ended")) return v;
  if (normal.Rms() > 1e-4 && after.Rms() < 0.1 * normal.Rms()) {
    v.ok = false;
    v.detail = "no recovery: a second after the input ended the output RMS is " + Number(after.Rms()) +
               " where the patch plays " + Number(normal.Rms());
    return v;
  }
  v.detail = "output finite, normal again within a second (RMS " + Number(after.Rms()) + ", normally " +
             Number(normal.Rms()) + ")";
  return v;
}

Verdict Silence(const std::string& p, const Options& o) { return BadInput(p, o, InputKind::Silence); }
Verdict Noise(const std::string& p, const Options& o) { return BadInput(p, o, InputKind::Noise); }
Verdict Subnormal(const std::string& p, const Options& o) { return BadInput(p, o, InputKind::Subnormal); }
Verdict NaN(const std::string& p, const Options& o) { return BadInput(p, o, InputKind::NaN); }
Verdict PlusInfinity(const std::string& p, const Options& o) { return BadInput(p, o, InputKind::PlusInfinity); }
Verdict MinusInfinity(const std::string& p, const Options& o) { return BadInput(p, o, InputKind::MinusInfinity); }

MidiAt RandomEvent(std::mt19937& random, int frames) {
  MidiAt e;
  const std::uint32_t kind = random() % 10;
  const auto channel = static_cast<std::uint8_t>(random() % 16);
  e.data1 = static_cast<std::uint8_t>(random() % 128);
  e.data2 = static_cast<std::uint8_t>(random() % 128);
  if (kind < 4)
    e.status = static_cast<std::uint8_t>((random() % 2 == 0 ? 0x90 : 0x80) | channel);
  else if (kind < 6)
    e.status = static_cast<std::uint8_t>(0xB0 | channel);
  else if (kind < 7)
    e.status = static_cast<std::uint8_t>((0xA0 + 0x10 * (random() % 5 == 0 ? 2 : random() % 2 == 0 ? 3 : 4)) |
                                         channel);
  else if (kind < 9)
    e.status = static_cast<std::uint8_t>(random() % 128);  // running status with no status before it
  else
    e.status = static_cast<std::uint8_t>(0xF0 | (random() % 16));
  if (random() % 8 == 0) e.data1 = static_cast<std::uint8_t>(random() % 256);  // data bytes with the top bit
  const std::uint32_t where = random() % 10;
  if (where < 7)
    e.offset = frames > 0 ? static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(frames)) : 0;
  else if (where == 7)
    e.offset = -static_cast<std::int32_t>(random() % 100000) - 1;
  else if (where == 8)
    e.offset = frames + static_cast<std::int32_t>(random() % 100000);
  else
    e.offset = random() % 2 == 0 ? 2147483647 : -2147483647 - 1;
  return e;
}

Verdict MidiFlood(const std::string& plugin, const Options& options) {
  Verdict v{"MIDI floods", true, {}, 0};
  Instance in;
  if (!Opened(in, plugin, v)) return v;
  in.Start(kBaseRate, 1024);
  std::mt19937 random(options.seed * 122949823u + 23u);
  std::vector<MidiAt> events;
  OutputStats stats;
  std::int64_t sent = 0;
  int blocks = 0;
  // A flood costs a patch far more than audio: a quarter of the time.
  const std::int64_t total = FramesFor(std::max(options.seconds / 4.0, 0.1), kBaseRate);
  for (std::int64_t done = 0; done < total; ++blocks) {
    const int frames = 32 + static_cast<int>(random() % 993);
    events.clear();
    const int count = 1000 + static_cast<int>(random() % 4000);
    for (int i = 0; i < count; ++i) events.push_back(RandomEvent(random, frames));
    sent += count;
    stats.Add(in.Run(frames, InputKind::Silence, events));
    done += frames;
    if (!Sound(stats, v, "in a flood")) return v;
  }
  // All notes and controllers off on every channel, then a second of the phrase.
  events.clear();
  for (std::uint8_t c = 0; c < 16; ++c) {
    events.push_back({0, static_cast<std::uint8_t>(0xB0 | c), 121, 0});
    events.push_back({0, static_cast<std::uint8_t>(0xB0 | c), 123, 0});
  }
  stats.Add(in.Run(256, InputKind::Silence, events));
  stats.Add(in.RunFor(FramesFor(1.0, kBaseRate), 256));
  if (!Sound(stats, v, "after a flood")) return v;
  v.detail = std::to_string(sent) + " events in " + std::to_string(blocks) +
             " blocks (all channels, stray data bytes, offsets outside the block)";
  return v;
}

// A host's GUI thread opens, idles and closes the editor while the audio
// thread plays; the editor gets no parent window (its panel runs headless),
// so the check runs on machines without a display.
Verdict EditorOpenClose(const std::string& plugin, const Options& options) {
  Verdict v{"editor open/close", true, {}, 0};
  Instance in;
  if (!Opened(in, plugin, v)) return v;
  if ((in.Effect().flags & vst::effFlagsHasEditor) == 0) {
    v.detail = "no editor";
    return v;
  }
  in.Start(kBaseRate, 256);
  const std::vector<std::uint8_t> before = in.HasChunks() ? in.Chunk(false) : std::vector<std::uint8_t>{};
  int rounds = 0;
  const OutputStats stats =
      AudioWhile(in, FramesFor(options.seconds, kBaseRate), 256, [&] {
        vst::ERect* rect = nullptr;
        in.Host().Dispatch(vst::effEditGetRect, 0, 0, &rect);
        if (rounds % 4 == 3) in.Host().Dispatch(vst::effEditOpen);  // open while open
        in.Host().Dispatch(vst::effEditOpen);
        for (int i = 0; i < 3; ++i) in.Host().Dispatch(vst::effEditIdle);
        in.Host().Dispatch(vst::effEditClose);
        in.Host().Dispatch(vst::effEditIdle);  // idle after close, as hosts do
        ++rounds;
      });
  if (!Sound(stats, v, "while the editor opened and closed")) return v;
  if (in.HasChunks() && in.Chunk(false) != before) {
    v.ok = false;
    v.detail = "the bank chunk changed: " + FirstDifference(before, in.Chunk(false));
    return v;
  }
  v.detail = std::to_string(rounds) + " rounds while playing, state kept";
  return v;
}

}  // namespace

const std::vector<Check>& Checks() {
  static const std::vector<Check> checks = {
      {"block sizes", &BlockSizes},
      {"sample rates", &SampleRates},
      {"suspend/resume", &SuspendResume},
      {"instances", &Instances},
      {"two threads", &TwoThreads},
      {"parameters", &ParametersFromThreads},
      {"programs", &Programs},
      {"chunks", &Chunks},
      {"silence", &Silence},
      {"noise", &Noise},
      {"subnormals", &Subnormal},
      {"nan", &NaN},
      {"+inf", &PlusInfinity},
      {"-inf", &MinusInfinity},
      {"midi", &MidiFlood},
      {"editor", &EditorOpenClose},
  };
  return checks;
}

Verdict RunCheck(const Check& check, const std::string& plugin, const Options& options) {
  const std::int64_t before = audio_call::Allocations();
  Verdict verdict;
  try {
    verdict = check.run(plugin, options);
  } catch (const std::exception& error) {
    verdict = {check.name, false, std::string("threw: ") + error.what(), 0};
  } catch (...) {
    verdict = {check.name, false, "threw", 0};
  }
  verdict.allocations = audio_call::Allocations() - before;
  return verdict;
}

}  // namespace torture

}  // namespace kr
