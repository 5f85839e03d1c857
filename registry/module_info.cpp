#include "registry/module_info.h"

#include <utility>

namespace kr {

InterfaceList MakeInterfaceList(std::span<const PlugDescriptor> plugs) {
  InterfaceList list;
  list.reserve(plugs.size());
  for (const PlugDescriptor& p : plugs) ListPlug(list, p);
  return list;
}

Module_Info::Module_Info(std::string name_, std::string groupText_, std::int32_t displayNameId_,
                         std::int32_t groupId_, DocumentFactory documentFactory_, AudioFactory audioFactory_,
                         std::int32_t flags_, std::string secondText_, std::int32_t moduleNumber_)
    : documentFactory(documentFactory_),
      audioFactory(audioFactory_),
      name(std::move(name_)),
      secondText(std::move(secondText_)),
      groupText(std::move(groupText_)),
      displayNameId(displayNameId_),
      groupId(groupId_),
      flags(flags_ | MF_LISTED_BY_CLASS),
      moduleNumber(moduleNumber_) {
  ListPlugsFromAudioClass();
}

Module_Info::Module_Info(const ModuleDescriptor& d)
    : documentFactory(d.documentFactory),
      audioFactory(d.audioFactory),
      name(d.name != nullptr ? d.name : ""),
      plugs(MakeInterfaceList(d.plugs)),
      displayNameId(d.displayNameId),
      groupId(d.groupId),
      flags(d.flags) {}

Module_Info::~Module_Info() = default;

Module_Info2::Module_Info2(std::string name_, std::string groupText_, std::int32_t displayNameId_,
                           std::int32_t groupId_, DocumentFactory documentFactory_, AudioFactory audioFactory_,
                           std::int32_t flags_, std::span<const PlugDescriptor> guiPlugs_,
                           VisualFactory visualFactory_, std::string secondText_, std::int32_t moduleNumber_)
    : Module_Info(std::move(name_), std::move(groupText_), displayNameId_, groupId_, documentFactory_,
                  audioFactory_, flags_, std::move(secondText_), moduleNumber_),
      guiPlugs(MakeInterfaceList(guiPlugs_)),
      visualFactory(visualFactory_) {}

void Module_Info::ListPlugsFromAudioClass() {
  if (audioFactory.listPlugs == nullptr) return;
  audioFactory.listPlugs(plugs);
  // The bindings pointed into the temporary object, which is gone; a live
  // module lists its own plugs when the engine needs bindings.
  for (InterfaceObject& plug : plugs) {
    plug.valueBinding = nullptr;
    plug.bufferBinding = nullptr;
  }
}

}  // namespace kr
