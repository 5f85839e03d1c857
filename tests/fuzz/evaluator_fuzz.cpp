// libFuzzer target for the formula evaluator and the wave shapers' table
// building: any text must evaluate or give an error with a position inside
// the text, never crash or recurse without bound, and any text (formula or
// point list) must give a table of finite values.
//
// A formula table is 513 evaluations of the same text that differ only in x,
// so most inputs evaluate it at every 32nd point of the table's x grid
// (-5 to 5, 0 among them) and one in eight, chosen by the text's hash so
// that a finding replays, builds the whole table.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "dsp/evaluator.h"
#include "dsp/shaper_curve.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kr::dsp::Evaluator evaluator;
  const kr::dsp::Evaluator::Result r = evaluator.Run(text);
  if (!r.ok()) {
    if (r.position < 0 || r.position > kr::dsp::Evaluator::kMaxTextLength) __builtin_trap();
    if (kr::dsp::Evaluator::Describe(r).empty()) __builtin_trap();
  }
  if (evaluator.VariableCount() > kr::dsp::Evaluator::kMaxVariables) __builtin_trap();
  kr::dsp::ShaperTable table{};
  if (std::hash<std::string_view>{}(text) % 8 == 0) {
    kr::dsp::BuildFormulaCurve(text, evaluator, table);
    for (float v : table)
      if (!std::isfinite(v)) __builtin_trap();
  } else {
    for (int j = 0; j <= 512; j += 32) evaluator.Evaluate(text, (j * 0.001953125 - 0.5) * 10.0);
  }
  kr::dsp::BuildPointCurve(kr::dsp::ParseShapePoints(text), table);
  for (float v : table)
    if (!std::isfinite(v)) __builtin_trap();
  return 0;
}
