// "Denormal Detector" (5 V where a sample's bit pattern looks denormal) and
// "Denormal Cleaner" (such samples become 0), one input and one output each.
#pragma once

#include <memory>

#include "engine/ug_generic_1_1.h"

namespace kr {

class ug_denormal_detect : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override;
  void BlockFunction(int offset, int count) override;
};

class ug_denormal_stop : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override;
  void BlockFunction(int offset, int count) override;
};

}  // namespace kr
