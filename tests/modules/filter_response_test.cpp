// Measured responses through the plug-in's entry: a patch of filters side by
// side, each on its own host output, played a stepped sine sweep by the host
// harness; the complex gain at each frequency comes from Hann-windowed
// single-bin transforms of input and output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <functional>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "dsp/ladder_filter.h"
#include "host/host_harness.h"
#include "support/synth_patch.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using Gain = std::complex<double>;
constexpr double kPi = std::numbers::pi;

double Nominal(double volts) { return 440.0 * std::exp2(volts - 5.0); }
double Db(Gain g) { return 20.0 * std::log10(std::abs(g)); }

// One module under test: its settings and the outputs that go to the host.
struct Probe {
  std::string module;
  std::map<std::string, std::string> values;
  std::vector<std::string> outputs;
};

struct Sweep {
  std::vector<double> hz;
  std::vector<std::vector<Gain>> gains;  // [output][frequency]

  // The frequency where g (over the sweep) first changes sign from below to
  // at-or-above zero, interpolated on a log axis; 0 when it never does.
  double Crossing(int output, const std::function<double(Gain)>& g, double from = 0.0) const {
    const std::vector<Gain>& h = gains[static_cast<std::size_t>(output)];
    for (std::size_t i = 1; i < hz.size(); ++i) {
      if (hz[i - 1] < from) continue;
      const double a = g(h[i - 1]), b = g(h[i]);
      if (a < 0.0 && b >= 0.0) {
        const double t = a / (a - b);
        return std::exp(std::log(hz[i - 1]) + t * (std::log(hz[i]) - std::log(hz[i - 1])));
      }
    }
    return 0.0;
  }
  Gain At(int output, double f) const {
    std::size_t best = 0;
    for (std::size_t i = 0; i < hz.size(); ++i)
      if (std::fabs(std::log(hz[i] / f)) < std::fabs(std::log(hz[best] / f))) best = i;
    return gains[static_cast<std::size_t>(output)][best];
  }
  // dB per octave between two frequencies.
  double Slope(int output, double f1, double f2) const {
    return (Db(At(output, f2)) - Db(At(output, f1))) / std::log2(At2(f2) / At2(f1));
  }
  double At2(double f) const {
    std::size_t best = 0;
    for (std::size_t i = 0; i < hz.size(); ++i)
      if (std::fabs(std::log(hz[i] / f)) < std::fabs(std::log(hz[best] / f))) best = i;
    return hz[best];
  }
  // The frequency of the largest gain (parabola through the top three points on a log axis).
  double PeakHz(int output, double* peakDb = nullptr) const {
    const std::vector<Gain>& h = gains[static_cast<std::size_t>(output)];
    std::size_t top = 1;
    for (std::size_t i = 1; i + 1 < h.size(); ++i)
      if (std::abs(h[i]) > std::abs(h[top])) top = i;
    const double a = Db(h[top - 1]), b = Db(h[top]), c = Db(h[top + 1]);
    const double shift = 0.5 * (a - c) / (a - 2.0 * b + c);
    if (peakDb != nullptr) *peakDb = b - 0.25 * (a - c) * shift;
    const double step = std::log(hz[top + 1] / hz[top]);
    return hz[top] * std::exp(shift * step);
  }
};

class SweepRig {
 public:
  explicit SweepRig(const std::vector<Probe>& probes) {
    krtest::SynthPatch patch;
    CPlug2& in = patch.AddAudioIn();
    int n = 0;
    for (const Probe& probe : probes) {
      CUG& module = patch.Add(probe.module, "Probe " + std::to_string(++n));
      for (const auto& [plug, value] : probe.values) patch.Set(module, plug, value);
      patch.Wire(in, module, "Signal");
      for (const std::string& out : probe.outputs) {
        patch.Wire(module, out, patch.AddAudioOut());
        ++outputs_;
      }
    }
    const std::string name = "Sweep" + std::filesystem::path(KR_PLUGIN_PATH).extension().string();
    loaded_ = krtest::LoadExportedPlugin(host_, dir_.path(), name, patch.Write()) && host_.CallMain() != nullptr;
  }
  ~SweepRig() {
    if (loaded_) host_.Close();
  }
  bool Loaded() const { return loaded_; }

  Sweep Run(double rate, double fromHz, double toHz, double stepsPerOctave) {
    Start(rate);
    Sweep sweep;
    sweep.gains.resize(static_cast<std::size_t>(outputs_));
    for (double f = fromHz; f <= toHz; f *= std::exp2(1.0 / stepsPerOctave)) {
      sweep.hz.push_back(f);
      const std::vector<Gain> g = Measure(f, rate);
      for (int o = 0; o < outputs_; ++o) sweep.gains[static_cast<std::size_t>(o)].push_back(g[static_cast<std::size_t>(o)]);
    }
    host_.Dispatch(vst::effMainsChanged, 0, 0);
    return sweep;
  }

 private:
  static constexpr int kBlock = 512;
  // 0.1 V: the ladder's soft clip sits inside its last (slow) stage, where
  // even a small loss per sample adds up; at this level it stays below 0.01 dB.
  static constexpr double kAmplitude = 0.01;

  void Start(double rate) {
    host_.SetSampleRateAnswer(static_cast<vst::VstIntPtr>(rate));
    host_.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    host_.Dispatch(vst::effSetBlockSize, 0, kBlock);
    host_.Dispatch(vst::effMainsChanged, 0, 1);
    host_.PrepareBlock(kBlock);
  }

  // Settles on the frequency, then transforms a window of input and outputs.
  std::vector<Gain> Measure(double hz, double rate) {
    const int settle = static_cast<int>(2048 * rate / 44100.0) / kBlock * kBlock;
    const int window = static_cast<int>(4096 * rate / 44100.0) / kBlock * kBlock;
    const double step = 2.0 * kPi * hz / rate;
    Gain x{};
    std::vector<Gain> y(static_cast<std::size_t>(outputs_));
    for (int start = 0; start < settle + window; start += kBlock) {
      for (int i = 0; i < kBlock; ++i) {
        host_.Input(0)[static_cast<std::size_t>(i)] = static_cast<float>(kAmplitude * std::sin(phase_));
        phase_ = std::fmod(phase_ + step, 2.0 * kPi);
      }
      host_.RunBlock();
      if (start < settle) continue;
      for (int i = 0; i < kBlock; ++i) {
        const int n = start - settle + i;
        const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * n / window);
        const Gain basis = std::polar(w, -step * n);
        x += basis * static_cast<double>(host_.Input(0)[static_cast<std::size_t>(i)]);
        for (int o = 0; o < outputs_; ++o)
          y[static_cast<std::size_t>(o)] += basis * static_cast<double>(host_.Output(o)[static_cast<std::size_t>(i)]);
      }
    }
    for (Gain& g : y) g /= x;
    return y;
  }

  krtest::TempDir dir_;
  HostHarness host_;
  bool loaded_ = false;
  int outputs_ = 0;
  double phase_ = 0.0;
};

// |HP| - |LP| in dB, crossing zero at the SV filter's tuning.
double CrossingOfHighOverLow(const Sweep& s, int low, int high) {
  Sweep ratio = s;
  ratio.gains = {{}};
  for (std::size_t i = 0; i < s.hz.size(); ++i)
    ratio.gains[0].push_back(s.gains[static_cast<std::size_t>(high)][i] / s.gains[static_cast<std::size_t>(low)][i]);
  return ratio.Crossing(0, [](Gain g) { return Db(g); });
}

void ExpectNear(double measured, double expected, double tolerance, const std::string& what) {
  EXPECT_NEAR(measured / expected, 1.0, tolerance) << what << ": measured " << measured << " Hz, expected " << expected;
}

TEST(FilterResponse, SvFilterCutoffSlopesAndResonanceAtSeveralRates) {
  std::vector<Probe> probes;
  for (const char* volts : {"3", "5", "7"}) probes.push_back({"SV Filter", {{"Pitch", volts}}, {"Low Pass", "Hi Pass"}});
  probes.push_back({"SV Filter", {{"Pitch", "5"}}, {"Band Pass"}});                            // 6
  probes.push_back({"SV Filter", {{"Pitch", "6"}, {"Resonance", "9"}}, {"Low Pass"}});         // 7
  probes.push_back({"SV Filter", {{"Pitch", "0.5"}, {"Freq Scale", "1"}}, {"Low Pass", "Hi Pass"}});  // 8, 9: 500 Hz
  SweepRig rig(probes);
  ASSERT_TRUE(rig.Loaded());
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    const Sweep s = rig.Run(rate, 25.0, 0.45 * rate, 8.0);
    const std::string at = " at " + std::to_string(static_cast<int>(rate));
    for (int k = 0; k < 3; ++k)
      ExpectNear(CrossingOfHighOverLow(s, 2 * k, 2 * k + 1), Nominal(3.0 + 2 * k), 0.03, "SV cutoff" + at);
    ExpectNear(CrossingOfHighOverLow(s, 8, 9), 500.0, 0.03, "SV 1 V/kHz" + at);
    EXPECT_NEAR(s.Slope(0, 1760.0, 3520.0), -12.0, 1.0) << "low-pass slope" << at;
    EXPECT_NEAR(s.Slope(5, 110.0, 220.0), 12.0, 1.0) << "high-pass slope" << at;
    EXPECT_NEAR(s.Slope(6, 3520.0, 7040.0), -6.0, 1.0) << "band-pass slope above" << at;
    EXPECT_NEAR(s.Slope(6, 55.0, 110.0), 6.0, 1.0) << "band-pass slope below" << at;
    double peakDb = 0.0;
    ExpectNear(s.PeakHz(7, &peakDb), Nominal(6.0), 0.03, "SV resonance peak" + at);
    EXPECT_NEAR(peakDb, 20.0 * std::log10(1.0 / 0.2), 1.0) << "the peak stands 1/q above the pass band" << at;
  }
}

// The ladder's own equation, linearised: with feedback R and the one-sample
// loop delay, G^4 / (1 + R G^4 z^-1), G = p (1 + z^-1) / (1 + k z^-1), from
// k = 3.6 f - 1.6 f^2 - 1, f = 2 fc / fs, p = (k + 1) / 2 and
// R = resonance x exp((1 - p) 1.386249).
Gain LadderPredicted(double volts, double resonance, double rate, double hz) {
  const double f = 2.0 * Nominal(volts) / rate;
  const double k = 3.6 * f - 1.6 * f * f - 1.0;
  const double p = (k + 1.0) / 2.0;
  const double r = resonance / 10.0 * std::exp((1.0 - p) * 1.386249);
  const Gain zi = std::polar(1.0, -2.0 * kPi * hz / rate);
  const Gain g = p * (1.0 + zi) / (1.0 + k * zi);
  const Gain g4 = g * g * g * g;
  return g4 / (1.0 + r * g4 * zi);
}

double LadderPredictedPeak(double volts, double resonance, double rate) {
  double best = 0.0, bestHz = 0.0;
  for (double f = 20.0; f < 0.45 * rate; f *= 1.0005) {
    const double m = std::abs(LadderPredicted(volts, resonance, rate, f));
    if (m > best) best = m, bestHz = f;
  }
  return bestHz;
}

// Where the all-pass's own coefficients turn the phase through -180 degrees:
// a1 = 2 exp(-pi f Q) cos(2 pi f), a2 = exp(-2 pi f Q), f = fc / fs,
// Q = 1.5 x resonance + 0.5 (resonance as a sample, 1.0 = 10 V).
double AllpassPredictedHalfTurn(double volts, double resonance, double rate) {
  const double f = Nominal(volts) / rate;
  const double q = std::clamp(1.5 * resonance / 10.0 + 0.5, 0.5, 4.0);
  const double a1 = 2.0 * std::exp(-kPi * f * q) * std::cos(2.0 * kPi * f), a2 = std::exp(-2.0 * kPi * f * q);
  double previous = 0.0;
  for (double hz = 20.0; hz < 0.5 * rate; hz *= 1.0005) {
    const Gain zi = std::polar(1.0, -2.0 * kPi * hz / rate);
    const Gain h = (a2 - a1 * zi + zi * zi) / (1.0 - a1 * zi + a2 * zi * zi);
    const double g = h.real() < 0.0 ? h.imag() : -1.0;
    if (previous < 0.0 && g >= 0.0) return hz;
    previous = g;
  }
  return 0.0;
}

TEST(FilterResponse, LadderOnePoleAllPassAndEqualiser) {
  std::vector<Probe> probes = {
      {"Moog Filter", {{"Pitch", "5"}, {"Resonance", "8"}}, {"Output"}},     // 0
      {"Moog Filter", {{"Pitch", "3"}, {"Resonance", "0"}}, {"Output"}},     // 1
      {"1 Pole LP", {{"Pitch", "5"}}, {"Output"}},                           // 2
      {"1 Pole HP", {{"Pitch", "3"}}, {"Output"}},                           // 3
      {"1 Pole LP", {{"Pitch", "1"}, {"Freq Scale", "1"}}, {"Output"}},      // 4: 1 kHz
      {"All Pass", {{"Pitch", "5"}}, {"Output"}},                            // 5
      {"All Pass", {{"Pitch", "7"}, {"Resonance", "0"}}, {"Output"}},        // 6
      {"Parametric EQ", {{"Pitch", "5"}, {"Resonance", "1"}, {"Boost/Cut", "1"}}, {"Output"}},   // 7
      {"Parametric EQ", {{"Pitch", "6"}, {"Resonance", "2"}, {"Boost/Cut", "-1"}}, {"Output"}},  // 8
  };
  SweepRig rig(probes);
  ASSERT_TRUE(rig.Loaded());
  for (double rate : {44100.0, 96000.0}) {
    const Sweep s = rig.Run(rate, 25.0, 0.45 * rate, 12.0);
    const std::string at = " at " + std::to_string(static_cast<int>(rate));
    ExpectNear(s.PeakHz(0), LadderPredictedPeak(5.0, 8.0, rate), 0.02, "ladder peak" + at);
    EXPECT_NEAR(s.Slope(1, 1760.0, 3520.0), -24.0, 2.0) << "ladder slope" << at;
    EXPECT_NEAR(Db(s.At(1, 50.0)), Db(LadderPredicted(3.0, 0.0, rate, s.At2(50.0))), 0.1) << "ladder pass band" << at;
    EXPECT_NEAR(Db(s.At(0, 1000.0)), Db(LadderPredicted(5.0, 8.0, rate, s.At2(1000.0))), 0.3) << "ladder above the peak" << at;

    const double minus3 = -3.0103;
    ExpectNear(s.Crossing(2, [&](Gain g) { return -(Db(g) - minus3); }), Nominal(5.0), 0.03, "1 pole LP" + at);
    ExpectNear(s.Crossing(3, [&](Gain g) { return Db(g) - minus3; }), Nominal(3.0), 0.03, "1 pole HP" + at);
    ExpectNear(s.Crossing(4, [&](Gain g) { return -(Db(g) - minus3); }), 1000.0, 0.03, "1 pole LP 1 V/kHz" + at);
    EXPECT_NEAR(s.Slope(2, 3520.0, 7040.0), -6.0, 1.0) << "one-pole low-pass slope" << at;
    EXPECT_NEAR(s.Slope(3, 27.0, 54.0), 6.0, 1.0) << "one-pole high-pass slope" << at;

    for (int o : {5, 6}) {
      for (const Gain& g : s.gains[static_cast<std::size_t>(o)]) ASSERT_NEAR(Db(g), 0.0, 0.1) << "all-pass is flat" << at;
    }
    // -180 degrees: the imaginary part turns from negative to positive on the negative real axis.
    const auto halfTurn = [](Gain g) { return g.real() < 0.0 ? g.imag() : -1.0; };
    ExpectNear(s.Crossing(5, halfTurn), AllpassPredictedHalfTurn(5.0, 5.0, rate), 0.02, "all-pass -180 degrees" + at);
    ExpectNear(s.Crossing(6, halfTurn), AllpassPredictedHalfTurn(7.0, 0.0, rate), 0.02, "narrow all-pass" + at);
    ExpectNear(s.Crossing(6, halfTurn), Nominal(7.0), 0.06, "the narrowest all-pass turns near its pitch" + at);

    // The peaking EQ: zero phase and A^2 at the centre, unity far away.
    // A boost leads below the centre and lags above it; a cut the other way round.
    const double boostHz = s.Crossing(7, [](Gain g) { return g.real() > 0.0 ? -g.imag() : -1.0; }, 100.0);
    ExpectNear(boostHz, Nominal(5.0), 0.03, "EQ centre" + at);
    EXPECT_NEAR(Db(s.At(7, Nominal(5.0))), 10.0, 0.5) << at;
    const double cutHz = s.Crossing(8, [](Gain g) { return g.real() > 0.0 ? g.imag() : -1.0; }, 100.0);
    ExpectNear(cutHz, Nominal(6.0), 0.03, "EQ cut centre" + at);
    EXPECT_NEAR(Db(s.At(8, Nominal(6.0))), -10.0, 0.5) << at;
    EXPECT_NEAR(Db(s.At(7, 25.0)), 0.0, 0.5) << at;
    EXPECT_NEAR(Db(s.At(7, 0.4 * rate)), 0.0, 0.5) << at;
  }
}

// "All Pass" and "Parametric EQ" (+10 dB) in both frequency scales, fed
// 2.5 V noise while the host's first input drives their "Pitch": a slow
// sweep across -10 ... +10 V, then a new pitch every block. The all-pass
// keeps its level and the equaliser never exceeds its boost by much.
TEST(FilterResponse, PhaseFiltersStayBoundedUnderAnyMovingPitch) {
  krtest::SynthPatch patch;
  CPlug2& pitch = patch.AddAudioIn();
  CPlug2& signal = patch.AddAudioIn();
  const char* kModules[] = {"All Pass", "All Pass", "Parametric EQ", "Parametric EQ"};
  for (int n = 0; n < 4; ++n) {
    CUG& filter = patch.Add(kModules[n], "Filter " + std::to_string(n));
    patch.Set(filter, "Freq Scale", n % 2 == 0 ? "0" : "1");
    if (n >= 2) patch.Set(filter, "Boost/Cut", "1");
    patch.Wire(signal, filter, "Signal");
    patch.Wire(pitch, filter, "Pitch");
    patch.Wire(filter, "Output", patch.AddAudioOut());
  }
  krtest::TempDir dir;
  HostHarness host;
  const std::string name = "Bounded" + std::filesystem::path(KR_PLUGIN_PATH).extension().string();
  ASSERT_TRUE(krtest::LoadExportedPlugin(host, dir.path(), name, patch.Write()) && host.CallMain() != nullptr);
  constexpr int kBlock = 64;
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  host.Dispatch(vst::effSetBlockSize, 0, kBlock);
  host.Dispatch(vst::effMainsChanged, 0, 1);
  host.PrepareBlock(kBlock);

  unsigned noise = 12345;
  const auto next = [&noise] {
    noise = noise * 1664525u + 1013904223u;
    return static_cast<float>(noise >> 8) / static_cast<float>(1u << 24) * 2.0f - 1.0f;
  };
  const int sweepBlocks = 3 * 44100 / kBlock, jumpBlocks = 44100 / kBlock;
  float peak[4] = {};
  for (int block = 0; block < sweepBlocks + jumpBlocks; ++block) {
    const float jump = next();
    for (int i = 0; i < kBlock; ++i) {
      const int t = block * kBlock + i;
      host.Input(0)[static_cast<std::size_t>(i)] =
          block < sweepBlocks ? -1.0f + 2.0f * static_cast<float>(t) / static_cast<float>(sweepBlocks * kBlock) : jump;
      host.Input(1)[static_cast<std::size_t>(i)] = 0.25f * next();
    }
    host.RunBlock();
    for (int o = 0; o < 4; ++o)
      for (float v : host.Output(o)) peak[o] = std::max(peak[o], std::isfinite(v) ? std::fabs(v) : 1e30f);
  }
  host.Close();
  EXPECT_LT(peak[0], 1.0f) << "all-pass, 1 V/octave";
  EXPECT_LT(peak[1], 1.0f) << "all-pass, 1 V/kHz";
  EXPECT_LT(peak[2], 2.0f) << "equaliser, 1 V/octave";
  EXPECT_LT(peak[3], 2.0f) << "equaliser, 1 V/kHz";
}

}  // namespace
