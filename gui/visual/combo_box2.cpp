#include "gui/visual/combo_box2.h"

#include <algorithm>

#include "document/generic_parameter.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/widgets.h"
#include "registry/item_list.h"

namespace kr {

using namespace kr::gui;

ComboItems ComboItems::Of(const std::string& itemList) {
  ComboItems items;
  EnumListIterator it(itemList);
  for (it.First(); !it.IsDone() && items.labels.size() < kMaxComboItems; it.Next()) {
    items.labels.push_back(it.CurrentLabel());
    items.values.push_back(it.CurrentValue());
  }
  return items;
}

int ComboItems::RowOf(int value) const {
  const auto at = std::find(values.begin(), values.end(), value);
  return at == values.end() ? -1 : static_cast<int>(at - values.begin());
}

CMyComboBox2::CMyComboBox2(ComboItems items, int current, PanelValues& values, CPlug2& list, const CPlug2* style)
    : CDropDownList(std::move(items.labels), current,
                    [&values, &list, itemValues = std::move(items.values)](int row) {
                      if (row < 0 || static_cast<std::size_t>(row) >= itemValues.size()) return;
                      values.SetPlugValue(list, std::to_string(itemValues[static_cast<std::size_t>(row)]));
                    }),
      values_(values),
      style_(style) {}

CMyComboBox2* CMyComboBox2::Open(CVisualOb& owner, const Rect& anchor, CPlug2& list, const CPlug2* style,
                                 const std::string& itemList) {
  PanelValues& values = ValuesOf(owner);
  ComboItems items = ComboItems::Of(itemList);
  const int current = items.RowOf(ParameterTextToInt(values.PlugValue(list)));
  return static_cast<CMyComboBox2*>(
      Place(owner, anchor, std::make_unique<CMyComboBox2>(std::move(items), current, values, list, style)));
}

const SkinFontInfo& CMyComboBox2::RowStyle() {
  Skin* s = GetSkin();
  if (!s) return Skin::DefaultStyle();
  return style_ ? s->GetStyle(ParameterTextToInt(values_.PlugValue(*style_))) : CDropDownList::RowStyle();
}

}  // namespace kr
