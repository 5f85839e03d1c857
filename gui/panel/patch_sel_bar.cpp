#include "gui/panel/patch_sel_bar.h"

#include <algorithm>

#include "document/container.h"
#include "gui/panel/default_widgets.h"
#include "gui/panel/mappers.h"
#include "gui/visual/widgets.h"
#include "registry/module_info.h"

namespace kr::gui {

namespace {

// The text buttons' colour (0x00BBGGRR).
constexpr std::uint32_t kButtonText = 0x006464;

}  // namespace

bool HoldsPatchSelect(const CContainer& container) {
  for (const auto& c : container.Children())
    if (auto* m = DynamicKind<CUG>(c.get()); m && m->Entry() && m->Entry()->name == "Patch Select") return true;
  return false;
}

CPatchSelDecorator::CPatchSelDecorator(CContainer& container, std::unique_ptr<CVisualOb> panel)
    : CVisualOb(nullptr, VF_OWNED) {
  generic_parameter& program = container.ContainerParameter(parameter_cug_xtra::kProgram);
  generic_parameter& name = container.ContainerParameter(parameter_cug_xtra::kProgramName);
  auto bar = std::make_unique<CGroup>();
  int column = 0;
  const auto add = [&](std::unique_ptr<CVisualOb> item) {
    item->SetFlags(VF_OWNED);
    item->tabIndex = column + 1;
    bar->AddItem(std::move(item), 0, column++);
  };
  const auto button = [&](const char* image, int mode) {
    return std::make_unique<CMyBmpCtrl>(image, std::make_unique<control_mapper_bmc_menu>(program, &name, mode));
  };
  add(button("arrow_left", control_mapper_bmc_menu::kPrevious));
  add(button("arrow_right", control_mapper_bmc_menu::kNext));
  add(std::make_unique<CMyEdit>(name, 15));
  add(button("drop_down", control_mapper_bmc_menu::kProgramList));
  if (generic_parameter* channel = container.FindParameter("Channel")) {
    auto group = std::make_unique<CGroup>();
    group->AddItem(std::make_unique<CMyTextLabel>("Chan", "control_label", LF_TRANSPARENT), 0, 0);
    if (auto widget = MakeDefaultWidget(*channel)) group->AddItem(std::move(widget), 0, 1);
    add(std::move(group));
  }
  for (const auto& [text, mode] : {std::pair{"FILE", control_mapper_bmc_menu::kFileMenu},
                                   std::pair{" COPY", control_mapper_bmc_menu::kCopy}}) {
    auto textButton = std::make_unique<CMyTextButton>(text, std::make_unique<control_mapper_bmc_menu>(program, &name, mode));
    textButton->colorRef = kButtonText;
    add(std::move(textButton));
  }
  bar_ = static_cast<CGroup*>(&AddChild(std::move(bar)));
  panel_ = &AddChild(std::move(panel));
}

Size CPatchSelDecorator::GetPreferredSize() { return bar_->GetPreferredSize(); }

void CPatchSelDecorator::SetRect(const Rect& r) {
  CVisualOb::SetRect(r);
  const Size bar = bar_->GetPreferredSize();
  bar_->SetRect(Rect::At({0, 0}, bar));
  panel_->SetRect({0, bar.height, r.Width(), std::max(bar.height, r.Height())});
}

void CPatchSelDecorator::Open() {
  SetRect(GetRect());
  CVisualOb::Open();
}

}  // namespace kr::gui
