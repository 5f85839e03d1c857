// "Monitor": shows the voltage at its input as a line of text on its
// console on the panel ("prnt"), such as "2.500 V", at "Update Rate" times a
// second, and only when the text changes. Our choices: three decimals, the
// sample at the moment of each update (no averaging); it stays awake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/ug_base.h"

namespace kr {

class ug_monitor : public ug_base {
 public:
  enum PlugIndex { PN_SIGNAL, PN_RATE };

  ug_monitor();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_monitor>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  bool CanSleep() override { return false; }

  // The line a sample (1.0 is 10 V) reads as, into the caller's buffer.
  static std::size_t Describe(float sample, char* out, std::size_t size);

 private:
  void Watch(int offset, int count);
  int Period() const;

  float* in_ = nullptr;
  std::int16_t rate_ = 2;
  int untilUpdate_ = 0;
  char last_[32] = {};
  std::size_t lastLength_ = 0;
};

}  // namespace kr
