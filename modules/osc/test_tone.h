// "1 KHz Tone": a 1 kHz sine at 5 V peak, for checking levels and routing.
#pragma once

#include <memory>

#include "engine/ug_base.h"

namespace kr {

class ug_test_tone : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;

 private:
  void Generate(int offset, int count);

  float* out_ = nullptr;
  double angle_ = 0.0;
  double step_ = 0.0;
};

}  // namespace kr
