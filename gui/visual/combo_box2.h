// The drop-down list of a list value held by plugs: "List" (the value, its
// items from the item list of whatever the plug is wired to) and "Style"
// (the text style category of the rows). Choosing an item writes its value.
#pragma once

#include <string>
#include <vector>

#include "gui/visual/drop_down.h"

namespace kr {

class CPlug2;

namespace gui {
class PanelValues;
// The items of an item list text, at most kMaxComboItems of them.
struct ComboItems {
  static constexpr std::size_t kMaxComboItems = 4096;
  std::vector<std::string> labels;
  std::vector<int> values;
  static ComboItems Of(const std::string& itemList);
  // The row of a value, -1 when no item has it.
  int RowOf(int value) const;
};
}  // namespace gui

class CMyComboBox2 : public CDropDownList {
 public:
  // Opens over `anchor` (owner's coordinates) the items of itemList, starting
  // on the current value of `list`; null when there is nothing to choose.
  static CMyComboBox2* Open(CVisualOb& owner, const kr::gui::Rect& anchor, CPlug2& list, const CPlug2* style,
                            const std::string& itemList);
  CMyComboBox2(kr::gui::ComboItems items, int current, kr::gui::PanelValues& values, CPlug2& list, const CPlug2* style);
  const SkinFontInfo& RowStyle() override;

 private:
  kr::gui::PanelValues& values_;
  const CPlug2* style_;
};

}  // namespace kr
