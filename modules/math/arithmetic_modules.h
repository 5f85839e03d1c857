// The two- and three-input arithmetic modules: products, quotient,
// difference, comparator, clipper and quantiser (sample units: 1.0 = 10 V).
#pragma once

#include <memory>

#include "dsp/arithmetic.h"
#include "modules/math/math_base.h"

namespace kr {

// "Level Adj" and "Ring Modulator": A * B (5 V times 2 V gives 1 V).
class ug_multiplier : public ug_math_base<ug_multiplier, 2> {
 public:
  static constexpr int kInputPlugs[2] = {0, 1};
  static constexpr int kOutputPlug = 2;
  static constexpr bool kAbsorbsZero = true;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_multiplier>(); }
  void ListInterface(InterfaceList& list) override;
  float Compute(const std::array<float, 2>& v) const { return kr::dsp::RingProduct(v[0], v[1]); }
};

// "Multiply": the product in volts (5 V times 2 V gives 10 V).
class ug_math_mult : public ug_math_base<ug_math_mult, 2> {
 public:
  static constexpr int kInputPlugs[2] = {0, 1};
  static constexpr int kOutputPlug = 2;
  static constexpr bool kAbsorbsZero = true;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_math_mult>(); }
  void ListInterface(InterfaceList& list) override;
  float Compute(const std::array<float, 2>& v) const { return kr::dsp::VoltProduct(v[0], v[1]); }
};

// "Divide": the quotient in volts; 0 where it has none.
class ug_math_div : public ug_math_base<ug_math_div, 2> {
 public:
  static constexpr int kInputPlugs[2] = {0, 1};
  static constexpr int kOutputPlug = 2;
  static constexpr bool kAbsorbsZero = false;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_math_div>(); }
  void ListInterface(InterfaceList& list) override;
  float Compute(const std::array<float, 2>& v) const { return kr::dsp::VoltQuotient(v[0], v[1]); }
};

// "Subtract": A - B.
class ug_math_sub : public ug_math_base<ug_math_sub, 2> {
 public:
  static constexpr int kInputPlugs[2] = {0, 1};
  static constexpr int kOutputPlug = 2;
  static constexpr bool kAbsorbsZero = false;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_math_sub>(); }
  void ListInterface(InterfaceList& list) override;
  float Compute(const std::array<float, 2>& v) const { return kr::dsp::Difference(v[0], v[1]); }
};

// "Comparator": "Hi Out Val" while A > B, else "Lo Out Val" (volts).
class ug_comparator : public ug_math_base<ug_comparator, 2> {
 public:
  static constexpr int kInputPlugs[2] = {0, 1};
  static constexpr int kOutputPlug = 2;
  static constexpr bool kAbsorbsZero = false;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_comparator>(); }
  void ListInterface(InterfaceList& list) override;
  void Prepare();
  float Compute(const std::array<float, 2>& v) const { return kr::dsp::Compare(v[0], v[1], hi_, lo_); }

 private:
  double hiVolts_ = 5.0;
  double loVolts_ = -5.0;
  float hi_ = 0.5f;
  float lo_ = -0.5f;
};

// "Clipper": the signal kept between "Lo Limit" and "Hi Limit".
class ug_clipper : public ug_math_base<ug_clipper, 3> {
 public:
  static constexpr int kInputPlugs[3] = {0, 1, 2};
  static constexpr int kOutputPlug = 3;
  static constexpr bool kAbsorbsZero = false;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_clipper>(); }
  void ListInterface(InterfaceList& list) override;
  float Compute(const std::array<float, 3>& v) const { return kr::dsp::Clip(v[0], v[1], v[2]); }
};

// "Quantiser": the signal in steps of "Step Size".
class ug_quantiser : public ug_math_base<ug_quantiser, 2> {
 public:
  static constexpr int kInputPlugs[2] = {0, 1};
  static constexpr int kOutputPlug = 2;
  static constexpr bool kAbsorbsZero = false;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_quantiser>(); }
  void ListInterface(InterfaceList& list) override;
  float Compute(const std::array<float, 2>& v) const { return kr::dsp::Quantise(v[0], v[1]); }
};

}  // namespace kr
