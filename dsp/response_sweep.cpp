#include "dsp/response_sweep.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kr::dsp::sweep {

Plan Checked(Plan plan) {
  if (!(plan.sampleRate > 0.0) || !std::isfinite(plan.sampleRate)) plan.sampleRate = 44100.0;
  const double nyquist = plan.sampleRate / 2.0;
  plan.points = std::clamp(plan.points, 2, kMaxPoints);
  plan.low = std::isfinite(plan.low) ? std::clamp(plan.low, 1.0, nyquist * 0.95) : 20.0;
  plan.high = std::isfinite(plan.high) ? std::clamp(plan.high, 1.0, nyquist * 0.95) : nyquist * 0.9;
  if (plan.high <= plan.low) plan.high = std::min(plan.low * 2.0, nyquist * 0.95);
  if (plan.high <= plan.low) plan.low = plan.high / 2.0;
  return plan;
}

double FrequencyOf(const Plan& plan, int point) {
  const double t = static_cast<double>(point) / (plan.points - 1);
  return plan.low * std::pow(plan.high / plan.low, t);
}

int MeasureSamples(const Plan& plan, int point) {
  // At least 50 ms and at least eight cycles.
  const double cycles = 8.0 * plan.sampleRate / FrequencyOf(plan, point);
  return static_cast<int>(std::ceil(std::max(plan.sampleRate * 0.05, cycles)));
}

int SettleSamples(const Plan& plan, int point) { return MeasureSamples(plan, point) / 2; }

Sent Next(const Plan& plan, State& state) {
  const int settle = SettleSamples(plan, state.point);
  const int measure = MeasureSamples(plan, state.point);
  Sent sent;
  sent.point = state.point;
  sent.sine = static_cast<float>(std::sin(state.phase));
  sent.cosine = static_cast<float>(std::cos(state.phase));
  if (state.position >= settle) {
    const double x = static_cast<double>(state.position - settle) / measure;
    sent.weight = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * x));
  }
  state.phase += 2.0 * std::numbers::pi * FrequencyOf(plan, state.point) / plan.sampleRate;
  if (state.phase > 2.0 * std::numbers::pi) state.phase -= 2.0 * std::numbers::pi;
  if (++state.position >= settle + measure) {
    sent.lastOfPoint = true;
    state.position = 0;
    state.point = state.point + 1 >= plan.points ? 0 : state.point + 1;
  }
  return sent;
}

bool Take(const Plan& plan, State& state, const Sent& sent, float returned) {
  if (!std::isfinite(returned)) returned = 0.0f;
  const double w = sent.weight;
  state.inPhase += w * returned * sent.sine;
  state.quadrature += w * returned * sent.cosine;
  state.weights += w;
  if (!sent.lastOfPoint) return false;
  // A sine of amplitude a correlates to a / 2 per unit of weight.
  const double amplitude =
      state.weights > 0.0 ? 2.0 * std::hypot(state.inPhase, state.quadrature) / state.weights : 0.0;
  if (sent.point >= 0 && sent.point < kMaxPoints)
    state.gainDb[static_cast<std::size_t>(sent.point)] =
        static_cast<float>(20.0 * std::log10(std::max(amplitude, 1e-10)));
  state.inPhase = state.quadrature = state.weights = 0.0;
  if (sent.point != plan.points - 1) return false;
  ++state.sweeps;
  return true;
}

}  // namespace kr::dsp::sweep
