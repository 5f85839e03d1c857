// The arithmetic of a stepped-sine response measurement: the sweep holds
// each of a number of log-spaced frequencies for a while, first letting the
// patch settle, then correlating what comes back with the sine it sent and
// its quadrature under a Hann window. The amplitude and phase of that
// correlation give the gain at the frequency, whatever delay the patch adds.
#pragma once

#include <array>

namespace kr::dsp::sweep {

inline constexpr int kMaxPoints = 64;

struct Plan {
  double sampleRate = 44100.0;
  double low = 20.0;
  double high = 20000.0;
  int points = 32;
};

// The sine to send at one sample, and how to weigh what comes back.
struct Sent {
  float sine = 0.0f;
  float cosine = 0.0f;
  float weight = 0.0f;  // 0 while the point settles
  int point = 0;
  bool lastOfPoint = false;
};

struct State {
  int point = 0;
  int position = 0;  // sample within the point
  double phase = 0.0;
  // The correlation of the point being measured.
  double inPhase = 0.0;
  double quadrature = 0.0;
  double weights = 0.0;
  std::array<float, kMaxPoints> gainDb{};
  int sweeps = 0;  // completed
};

// A plan made safe: points within [2, kMaxPoints], frequencies within
// (0, Nyquist), low below high.
Plan Checked(Plan plan);
double FrequencyOf(const Plan& plan, int point);
// Samples the patch gets to settle, then samples measured, at a point.
int SettleSamples(const Plan& plan, int point);
int MeasureSamples(const Plan& plan, int point);

// The next sample to send; advances the sweep.
Sent Next(const Plan& plan, State& state);
// Takes the patch's answer to a sent sample (amplitude sent: 1.0); at the
// point's last sample its gain is stored. Returns true when a sweep ends.
bool Take(const Plan& plan, State& state, const Sent& sent, float returned);

}  // namespace kr::dsp::sweep
