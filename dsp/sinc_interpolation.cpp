#include "dsp/sinc_interpolation.h"

#include <cmath>
#include <numbers>

namespace kr::dsp::sinc {

namespace {
double Kernel(int j, int p) {
  if (p == 0) return j == 0 ? 1.0 : 0.0;  // whole offsets: exactly the sample
  const double x = static_cast<double>(j) - static_cast<double>(p) / 32.0;
  const double c = std::cos(std::numbers::pi * x / 8.0);
  return c * c * std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}
}  // namespace

void Fill(ULookup& table) {
  for (int p = 0; p < 32; ++p) {
    double row[kTaps];
    double sum = 0.0;
    for (int j = 0; j < kTaps; ++j) sum += row[j] = Kernel(j - kBefore, p);
    for (int j = 0; j < kTaps; ++j) {
      float w = static_cast<float>(row[j] / sum);
      if (std::fpclassify(w) == FP_SUBNORMAL) w = 0.0f;
      table[p * kTaps + j] = w;
    }
  }
  table[32 * kTaps] = 0.0f;
  for (int j = 1; j < kTaps; ++j) table[32 * kTaps + j] = table[j - 1];
  table.ready = true;
}

std::shared_ptr<const ULookup> SharedTable() {
  return SharedLookup("Sine-C Interpolation", -1, [](ULookup& t) {
    if (t.Size() < kRows * kTaps) return;
    Fill(t);
  });
}

}  // namespace kr::dsp::sinc
