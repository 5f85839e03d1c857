// "Voltage To List": picks an item of the list that "List Out" is wired to
// (0 V the first item, 10 V the last) and sends its value when the choice
// changes. A voltage near a boundary must cross a band before the choice
// moves back. With an empty list nothing is sent. The graph builder hands
// the list over (engine/item_list_taker.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "dsp/list_chooser.h"
#include "engine/item_list_taker.h"
#include "engine/ug_base.h"

namespace kr {

class ug_voltage_to_enum : public ug_base, public ItemListTaker {
 public:
  enum PlugIndex { PN_IN, PN_LIST_OUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_voltage_to_enum>(); }
  // Voice copies pick from the prototype's list.
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // The item list to choose from (an item list text); none when the module
  // opens without one.
  std::string_view ItemListPlugName() const override { return "List Out"; }
  void UseItemList(std::string_view listText) override;
  int ItemCount() const { return chooser_.count; }
  std::int16_t Value() const { return listOut_; }

 private:
  void Scan(int offset, int count);
  void Choose(float x, int time);

  float* in_ = nullptr;
  std::int16_t listOut_ = 0;
  std::vector<std::int16_t> values_;
  bool listGiven_ = false;
  kr::dsp::ListChooser chooser_;
};

}  // namespace kr
