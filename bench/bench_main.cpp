// The benchmarks' main: the built-in modules are registered first, as the
// plug-in's start-up does.
#include <benchmark/benchmark.h>

#include "modules/builtin_modules.h"

using namespace kr;

int main(int argc, char** argv) {
  kr::RegisterBuiltinModules();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
