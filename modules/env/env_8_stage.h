// "8 Stage Env": eight segments, each ramping to its level input at its rate
// input; a chosen segment holds while the gate is on, a chosen one ends.
#pragma once

#include <cstdint>
#include <memory>

#include "modules/env/envelope_base.h"

namespace kr {

class ug_8_stage : public ug_envelope {
 public:
  static constexpr int kStages = 8;
  enum PlugIndex { PN_GATE = 0, PN_FIRST_RATE = 1, PN_OVERALL = 17, PN_OUT = 18, PN_SUS_SEG = 19, PN_END_SEG = 20 };
  static constexpr int RatePlug(int k) { return 1 + 2 * k; }
  static constexpr int LevelPlug(int k) { return 2 + 2 * k; }

  std::unique_ptr<ug_base> CreateSame() override;
  void ListInterface(InterfaceList& list) override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 protected:
  void ConfigureSegments() override;

 private:
  void ReadLayout();

  std::int16_t susSeg_ = 2;
  std::int16_t endSeg_ = 4;
};

}  // namespace kr
