// The CPlug2 subclasses: named, control-bound, container boundary, feature
// and GUI plugs.
#include "document/cug.h"
#include "document/plug2.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "registry/module_info.h"

namespace kr {

const RuntimeClass CPlugNameable::kClass{"CPlugNameable", 1, false, &CPlug2::kClass, &MakePlain<CPlugNameable>};
const RuntimeClass CPlugControled::kClass{"CPlugControled", 1, false, &CPlugNameable::kClass,
                                          &MakePlain<CPlugControled>};
const RuntimeClass CPlugIO2::kClass{"CPlugIO2", 1, false, &CPlugNameable::kClass, &MakePlain<CPlugIO2>};
const RuntimeClass CPlugFeature::kClass{"CPlugFeature", 1, false, &CPlug2::kClass, &MakePlain<CPlugFeature>};
const RuntimeClass kClassCPlugFeature2{"CPlugFeature2", 1, false, &CPlugFeature::kClass,
                                       &MakeGeneric<CPlugFeature, &kClassCPlugFeature2>};
const RuntimeClass kClassCPlugFeature4{"CPlugFeature4", 1, false, &CPlugFeature::kClass,
                                       &MakeGeneric<CPlugFeature, &kClassCPlugFeature4>};
const RuntimeClass CPlugFeature3::kClass{"CPlugFeature3", 1, false, &CPlugFeature::kClass,
                                         &MakePlain<CPlugFeature3>};
const RuntimeClass CPlugGui::kClass{"CPlugGui", 1, false, &CPlug2::kClass, &MakePlain<CPlugGui>};

void CPlugNameable::SetUserName(std::string name) {
  if (name == userName_) return;
  userName_ = std::move(name);
  Notify(NC_PLUG_NAME);
}

void CPlugNameable::Load(ArchiveReader& ar) {
  LoadPlugPart(ar);
  userName_ = ar.ReadText();
}

void CPlugNameable::Store(ArchiveWriter& ar) const {
  StorePlugPart(ar);
  ar.WriteText(userName_);
}

void CPlugControled::Load(ArchiveReader& ar) {
  CPlugNameable::Load(ar);
  bindingA = ar.ReadInt32();
  bindingB = ar.ReadInt32();
  bindingText = ar.ReadText();
}

void CPlugControled::Store(ArchiveWriter& ar) const {
  CPlugNameable::Store(ar);
  ar.WriteInt32(bindingA);
  ar.WriteInt32(bindingB);
  ar.WriteText(bindingText);
}

void CPlugIO2::Load(ArchiveReader& ar) {
  CPlugNameable::Load(ar);
  direction_ = static_cast<PlugDirection>(ar.ReadUInt16());
  partner_ = ar.ReadObjectOf<CPlugIO2>();
  // Older documents store no data type; it stays unknown (-1) until the
  // loader resolves it from what the plug connects to.
  if (ar.Version() >= 94962) dataType_ = ar.ReadUInt16();
}

void CPlugIO2::Store(ArchiveWriter& ar) const {
  CPlugNameable::Store(ar);
  ar.WriteUInt16(static_cast<std::uint16_t>(direction_));
  ar.WriteObject(partner_);
  if (ar.Version() >= 94962) ar.WriteUInt16(static_cast<std::uint16_t>(dataType_));
}

bool CPlugFeature::HasDefinition() const {
  const CUG* owner = Owner();
  return DefinitionIndex() >= 0 && owner && owner->Entry() &&
         static_cast<std::size_t>(DefinitionIndex()) < owner->Entry()->plugs.size();
}

std::uint32_t CPlugFeature::Flags() const {
  if (HasDefinition()) return Definition().flags;
  std::uint32_t flags = storedFlags | PF_GUI;
  if (dataType_ == DT_TEXT && !ValueText().empty()) flags |= PF_FILENAME;
  return flags;
}

void CPlugFeature::CopyDefinition(const InterfaceObject& def) {
  featureIndex = -1;
  name_ = def.name;
  secondText = def.listText;
  direction_ = def.direction;
  dataType_ = def.dataType;
  storedFlags = def.flags;
  SetValueText(def.defaultText);
}

void CPlugFeature::Load(ArchiveReader& ar) {
  LoadPlugPart(ar);
  direction_ = static_cast<PlugDirection>(ar.ReadInt32());
  dataType_ = ar.ReadInt32();
  featureIndex = ar.ReadInt32();
  name_ = ar.ReadText();
  secondText = ar.ReadText();
  if (ar.Version() >= 95162) storedFlags = ar.ReadUInt32();
}

void CPlugFeature::Store(ArchiveWriter& ar) const {
  StorePlugPart(ar);
  ar.WriteInt32(direction_);
  ar.WriteInt32(dataType_);
  ar.WriteInt32(featureIndex);
  ar.WriteText(name_);
  ar.WriteText(secondText);
  if (ar.Version() >= 95162) ar.WriteUInt32(storedFlags);
}

void CPlugFeature3::Load(ArchiveReader& ar) {
  CPlugFeature::Load(ar);
  extraOption = ar.ReadBool();
}

void CPlugFeature3::Store(ArchiveWriter& ar) const {
  CPlugFeature::Store(ar);
  ar.WriteBool(extraOption);
}

const InterfaceObject& CPlugGui::Definition() const {
  const CUG* owner = Owner();
  const auto* entry = owner ? dynamic_cast<const Module_Info2*>(owner->Entry()) : nullptr;
  if (entry && DefinitionIndex() >= 0 && static_cast<std::size_t>(DefinitionIndex()) < entry->guiPlugs.size())
    return entry->guiPlugs[static_cast<std::size_t>(DefinitionIndex())];
  return EmptyDefinition();
}

}  // namespace kr
