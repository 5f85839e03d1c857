// libFuzzer target for the formula evaluator and the wave shapers' table
// building: any text must evaluate or give an error with a position inside
// the text, never crash or recurse without bound, and any text (formula or
// point list) must give a table of finite values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dsp/evaluator.h"
#include "dsp/shaper_curve.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Evaluator evaluator;
  const Evaluator::Result r = evaluator.Run(text);
  if (!r.ok()) {
    if (r.position < 0 || r.position > Evaluator::kMaxTextLength) __builtin_trap();
    if (Evaluator::Describe(r).empty()) __builtin_trap();
  }
  if (evaluator.VariableCount() > Evaluator::kMaxVariables) __builtin_trap();
  kr::dsp::ShaperTable table{};
  kr::dsp::BuildFormulaCurve(text, evaluator, table);
  for (float v : table)
    if (!std::isfinite(v)) __builtin_trap();
  kr::dsp::BuildPointCurve(kr::dsp::ParseShapePoints(text), table);
  for (float v : table)
    if (!std::isfinite(v)) __builtin_trap();
  return 0;
}
