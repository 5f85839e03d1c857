// "random": each time "Trigger in" is set while true, the output steps to a
// new random value between 0 and 10 V. Every module has its own generator
// (15-bit values), seeded from the clock when sound starts (and apart from
// every other module's).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "dsp/random15.h"
#include "engine/ug_base.h"
#include "modules/midi/output_smoother.h"

namespace kr {

class ug_random : public ug_base {
 public:
  enum PlugIndex { PN_TRIGGER, PN_OUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_random>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // A fixed seed instead of the clock (for comparing two runs).
  void SeedWith(std::uint32_t seed) { seed_ = seed; }

 private:
  void Run(int offset, int count);

  bool trigger_ = true;
  std::optional<std::uint32_t> seed_;
  kr::dsp::Random15 random_;
  OutputSmoother smoother_;
};

}  // namespace kr
