// "Switch (1->Many)" (also the audio object of the legacy "Z-Filter
// obsolete") routes its input to the chosen one of its outputs; "Switch
// (Many->1)" passes the chosen one of its inputs. The outputs and inputs are
// growing lists: one plug per wired document plug. A choice beyond the list
// takes its last plug.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/ug_base.h"

namespace kr {

class ug_switch : public ug_base {
 public:
  enum PlugIndex { PN_CHOICE, PN_INPUT, PN_FIRST_OUTPUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_switch>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  int Chosen() const { return chosen_; }

 private:
  void Route(int offset, int count);
  void Update(int time);

  std::int16_t choice_ = 0;
  float* in_ = nullptr;
  std::vector<float*> outs_;
  int chosen_ = -1;
  int zeroFill_ = 0;  // samples of silence still owed to the outputs not chosen
  bool inputRuns_ = false;
};

class ug_switch2 : public ug_base {
 public:
  enum PlugIndex { PN_CHOICE, PN_OUTPUT, PN_FIRST_INPUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_switch2>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  int Chosen() const { return chosen_; }

 private:
  void Pass(int offset, int count);
  void Update(int time);

  std::int16_t choice_ = 0;
  float* out_ = nullptr;
  std::vector<float*> ins_;
  int chosen_ = -1;
  bool inputRuns_ = false;
};

}  // namespace kr
