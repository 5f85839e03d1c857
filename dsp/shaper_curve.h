// The wave shapers' transfer curve: 514 floats in sample units, entry j for
// the input -0.5 + j / 512 (-5 V ... +5 V), read with linear interpolation.
// Built from 11 points ("WaveShaper") or from a formula in x ("WaveShaper2").
#pragma once

#include <array>
#include <cmath>
#include <string_view>

namespace kr {

class Evaluator;

namespace dsp {

using ShaperTable = std::array<float, 514>;

// The 11 points in display units (0 ... 100): x = (input volts + 5) * 10,
// y = (5 - output volts) * 10.
struct ShapePoints {
  static constexpr int kCount = 11;
  std::array<float, kCount> x{};
  std::array<float, kCount> y{};
};

// The straight line the editor starts from.
constexpr std::string_view kDefaultShapeText =
    "(-5.0,-5.0)(-4.0,-4.0)(-3.0,-3.0)(-2.0,-2.0)(-1.0,-1.0)(0.0,0.0)(1.0,1.0)(2.0,2.0)(3.0,3.0)(4.0,4.0)(5.0,5.0)";
constexpr std::string_view kDefaultFormula = "5 * sin(x/PI)";

// Parenthesised (input volts, output volts) pairs in order, the first 11;
// points missing from a short text are those of the straight line; numbers that are not numbers read as 0. An
// empty text is the straight line.
ShapePoints ParseShapePoints(std::string_view text);

// Segment by segment between the points; entries no segment writes keep
// their values. Entry 512 continues the last slope, entry 513 repeats 512,
// and anything non-finite becomes 0.
void BuildPointCurve(const ShapePoints& points, ShaperTable& table);

// Entry j = the formula at x = (j / 512 - 0.5) * 10 volts, times 0.1; NaN
// and infinite results become 0; entry 513 repeats 512. The evaluator's
// variables persist between entries, as they do between formulas.
void BuildFormulaCurve(std::string_view formula, Evaluator& evaluator, ShaperTable& table);

// The curve at an input sample: below -5 V entry 0, from +5 V on entry 512,
// NaN and infinite inputs as 0 V.
inline float ShapeLookup(const ShaperTable& t, float input) {
  if (!std::isfinite(input)) input = 0.0f;
  const float f = (input + 0.5f) * 512.0f;
  if (!(f > 0.0f)) return t[0];
  if (f >= 512.0f) return t[512];
  const int g = static_cast<int>(f);
  const float r = f - static_cast<float>(g);
  return t[static_cast<std::size_t>(g)] + r * (t[static_cast<std::size_t>(g) + 1] - t[static_cast<std::size_t>(g)]);
}

}  // namespace dsp

}  // namespace kr
