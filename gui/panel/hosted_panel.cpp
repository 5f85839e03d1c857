#include "gui/panel/hosted_panel.h"

#include "document/hosted_modules.h"
#include "gui/panel/default_widgets.h"
#include "gui/panel/patch_sel_bar.h"
#include "gui/visual/widgets.h"

namespace kr::gui {

CControlClient_vst2::CControlClient_vst2(Ctl_VST_Plugin& module) : CVisualOb(&module, VF_OWNED), module_(module) {}

Size CControlClient_vst2::GetPreferredSize() {
  const auto [width, height] = module_.HostedEditorSize();
  return {width, height};
}

void CControlClient_vst2::Open() {
  CVisualOb::Open();
  if (void* window = NativeWindow()) {
    const Point at = RootPosition();
    editorOpen_ = module_.OpenHostedEditor(window, at.x, at.y);
  }
}

void CControlClient_vst2::Close() {
  if (editorOpen_) module_.CloseHostedEditor();
  editorOpen_ = false;
  CVisualOb::Close();
}

std::unique_ptr<CGroup> MakeHostedParameterGrid(Ctl_VST_Plugin& module) {
  auto grid = std::make_unique<CGroup>();
  int column = 0;
  for (const char* heading : {"Name", "Value", "Units"})
    grid->AddItem(std::make_unique<CMyTextLabel>(heading), 0, column++).SetFlags(VF_OWNED);
  int row = 1;
  for (int i = 0; i < module.ParameterCount(); ++i) {
    generic_parameter* p = module.ParameterAt(i);
    if (p == nullptr || p->DataType() != kHostedParameterType) continue;
    grid->AddItem(std::make_unique<CMyTextLabel>(p->Name()), row, 0).SetFlags(VF_OWNED);
    if (std::unique_ptr<CVisualOb> widget = MakeDefaultWidget(*p)) {
      widget->tabIndex = row - 1;
      grid->AddItem(std::move(widget), row, 1);
    }
    grid->AddItem(std::make_unique<CMyTextLabel>(p->Label()), row, 2).SetFlags(VF_OWNED);
    ++row;
  }
  return grid;
}

std::unique_ptr<CVisualOb> MakeHostedPluginPanel(Ctl_VST_Plugin& module) {
  std::unique_ptr<CVisualOb> content;
  if (module.HasHostedEditor())
    content = std::make_unique<CControlClient_vst2>(module);
  else
    content = MakeHostedParameterGrid(module);
  generic_parameter* program = module.FindParameter("Program");
  generic_parameter* name = module.FindParameter("Program Name");
  if (program == nullptr || name == nullptr) return content;
  return std::make_unique<CPatchSelDecorator>(*program, *name, module.FindParameter("Channel"), std::move(content),
                                              [&module](int command) { return module.RunFileCommand(command); });
}

}  // namespace kr::gui
