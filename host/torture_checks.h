// The torture checks: each drives fresh instances of one plug-in file the
// way hosts do at their worst and answers one line's worth of verdict.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kr {

namespace torture {

struct Options {
  double seconds = 5.0;     // audio per timed check
  std::uint32_t seed = 1;   // every random choice follows from it
  int cycles = 1000;        // suspend/resume cycles
  int instances = 100;      // instances opened and closed in turn
};

struct Verdict {
  std::string check;
  bool ok = false;
  std::string detail;
  std::int64_t allocations = 0;  // on the audio thread in steady state, when a hook counts them
};

using CheckFunction = Verdict (*)(const std::string& plugin, const Options& options);

struct Check {
  const char* name;
  CheckFunction run;
};

// Every check, in the order a run takes them.
const std::vector<Check>& Checks();

// Runs one check, timing its allocations; a check that throws fails.
Verdict RunCheck(const Check& check, const std::string& plugin, const Options& options);

}  // namespace torture

}  // namespace kr
