#include "graph/host_io_wiring.h"

#include "document/container.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "registry/module_info.h"

namespace kr {

namespace {

CUG* FindOrMake(CContainer& root, std::string_view name) {
  for (const auto& child : root.Children()) {
    auto* module = DynamicKind<CUG>(child.get());
    if (module != nullptr && module->Entry() != nullptr && module->Entry()->name == name) return module;
  }
  std::unique_ptr<CUG> made = MakeDocumentObjectByName(name);
  if (made == nullptr) return nullptr;
  return static_cast<CUG*>(&root.AddChild(std::move(made)));
}

// The spare of a growing list (its last unwired plug) is used, and a new
// spare takes its place at the end.
CPlug2* TakeNextAudioPlug(CUG& module) {
  CPlug2* spare = nullptr;
  for (const auto& p : module.Plugs())
    if (p->DefinitionIndex() == 1 && p->Wires().empty()) spare = p.get();
  if (spare == nullptr) return nullptr;
  module.AddPlug(std::make_unique<CPlug2>(1));
  return spare;
}

}  // namespace

CPlugIO2* AddBoundaryPlug(CContainer& container, PlugDirection outsideDirection, PlugDataType type) {
  CUG* io = container.FindOrCreateIOModule();
  if (io == nullptr) return nullptr;
  auto outside = std::make_unique<CPlugIO2>(0);
  auto inside = std::make_unique<CPlugIO2>(0);
  outside->SetDirection(outsideDirection);
  inside->SetDirection(outsideDirection == DR_IN ? DR_OUT : DR_IN);
  outside->SetDataType(type);
  inside->SetDataType(type);
  outside->SetPartner(inside.get());
  inside->SetPartner(outside.get());
  auto* result = static_cast<CPlugIO2*>(&container.AddPlug(std::move(outside)));
  io->AddPlug(std::move(inside));
  return result;
}

void WireTopContainer(CContainer& root, CContainer& top) {
  CUG* output = FindOrMake(root, "VST Output");
  CUG* input = FindOrMake(root, "VST Input");
  std::vector<CPlug2*> plugs;
  for (const auto& p : top.Plugs()) plugs.push_back(p.get());
  for (CPlug2* plug : plugs) {
    const auto* io = DynamicKind<CPlugIO2>(plug);
    if (io == nullptr || io->Direction() == DR_CONTAINER_IO) continue;
    const bool toHost = io->Direction() == DR_OUT;
    CUG* hostModule = toHost ? output : input;
    if (hostModule == nullptr) continue;
    CPlug2* partner = nullptr;
    if (io->DataType() == DT_AUDIO) {
      partner = TakeNextAudioPlug(*hostModule);
    } else if (io->DataType() == DT_MIDI) {
      partner = hostModule->PlugAt(0);
    }
    if (partner != nullptr && !plug->IsConnectedTo(*partner)) root.MakeWire(*plug, *partner);
  }
}

HostChannelCounts CountHostChannels(const CContainer& top) {
  HostChannelCounts counts;
  for (const auto& p : top.Plugs()) {
    const auto* io = DynamicKind<CPlugIO2>(p.get());
    if (io == nullptr || io->DataType() != DT_AUDIO) continue;
    if (io->Direction() == DR_IN) ++counts.inputs;
    if (io->Direction() == DR_OUT) ++counts.outputs;
  }
  return counts;
}

}  // namespace kr
