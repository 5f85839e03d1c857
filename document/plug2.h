// Plugs of document modules: the CPlug2 family. A plug's direction, data type
// and flags come from its definition in the owner's plug list, except for the
// classes that store their own (container boundary plugs and feature plugs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/generic_parameter.h"
#include "document/value_holders.h"
#include "formats/archive/runtime_class.h"
#include "registry/interface_object.h"

namespace kr {

class CUG;
class CLine2;

// A plug is also a named parameter: its value text, typed by its definition.
class CPlug2 : public CObject, public generic_parameter {
 public:
  static const RuntimeClass kClass;
  CPlug2() = default;
  explicit CPlug2(int definitionIndex) : definitionIndex_(static_cast<std::int16_t>(definitionIndex)) {}

  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  // The definition in the owner's plug list; an empty definition when the
  // index lies beyond it or the plug has no owner or entry.
  virtual const InterfaceObject& Definition() const;
  static const InterfaceObject& EmptyDefinition();
  virtual PlugDirection Direction() const { return Definition().direction; }
  int DataType() const override { return Definition().dataType; }
  virtual std::uint32_t Flags() const { return Definition().flags; }
  std::string Name() const override { return Definition().name; }
  std::string ListText() const { return Definition().listText; }
  bool IsGuiPlug() const { return (Flags() & PF_GUI) != 0; }

  int DefinitionIndex() const { return definitionIndex_; }
  void SetDefinitionIndex(int index) { definitionIndex_ = static_cast<std::int16_t>(index); }
  // Through the bound holder when there is one, so the text follows the
  // holder's type ("%d", "%.3f", text as itself).
  std::string ValueText() const override { return bound_ ? bound_->GetText() : valueText_; }
  // Observers hear a change (code 31, no mark).
  void SetValueText(std::string_view text) override;
  // The plug's own item list when it has one (a GUI-side module's feature,
  // a list taken from a wired plug), else its definition's.
  std::string ItemList() const override { return itemList_.empty() ? ListText() : itemList_; }
  // Observers hear NC_ITEM_LIST when it changes.
  void SetItemList(std::string list);
  generic_variable* BoundVariable() const { return bound_; }
  // Binds the plug to a module property and hands it the current value text.
  void Bind(generic_variable* variable);
  bool Option() const { return option_; }
  void SetOption(bool option) { option_ = option; }

  CUG* Owner() const { return owner_; }
  void SetOwner(CUG* owner) { owner_ = owner; }

  const std::vector<CLine2*>& Wires() const { return wires_; }
  // Appends a wire once and tells the owner; a PF_OUTPUT_VALUE plug takes the
  // value text of the wire's input end with its first wire.
  void AttachWire(CLine2* wire);
  void DetachWire(CLine2* wire);
  bool HasWire(const CLine2* wire) const;

  // Can this plug be joined to another? On refusal, message says why.
  bool CanConnect(const CPlug2& other, std::string& message) const;
  // A receiving plug of a single-wire type that already has its wire.
  bool CannotTakeAnotherWire() const;
  bool IsConnectedTo(const CPlug2& other) const;

  // Runs after a load or build; the patch-memory code hooks in here to give
  // plugs their patch parameters.
  virtual void Initialise();
  using InitialiseHook = void (*)(CPlug2& plug);
  static void SetInitialiseHook(InitialiseHook hook);

 protected:
  void LoadPlugPart(ArchiveReader& ar);
  void StorePlugPart(ArchiveWriter& ar) const;

 private:
  std::int16_t definitionIndex_ = 0;
  std::string valueText_;
  std::string itemList_;
  bool option_ = false;
  CUG* owner_ = nullptr;
  generic_variable* bound_ = nullptr;
  std::vector<CLine2*> wires_;
};

class CPlugNameable : public CPlug2 {
 public:
  static const RuntimeClass kClass;
  using CPlug2::CPlug2;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::string Name() const override { return userName_.empty() ? CPlug2::Name() : userName_; }
  const std::string& UserName() const { return userName_; }
  void SetUserName(std::string name);

 private:
  std::string userName_;
};

// Binding to a panel control; the integers and text are kept as stored.
class CPlugControled : public CPlugNameable {
 public:
  static const RuntimeClass kClass;
  using CPlugNameable::CPlugNameable;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::int32_t bindingA = 0;
  std::int32_t bindingB = 0;
  std::string bindingText;
};

// A plug on a container boundary, paired with the plug on the other side.
class CPlugIO2 : public CPlugNameable {
 public:
  static const RuntimeClass kClass;
  static constexpr int kUnknownType = -1;
  CPlugIO2() : dataType_(kUnknownType) {}  // made for loading
  explicit CPlugIO2(int definitionIndex) : CPlugNameable(definitionIndex) {}
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  PlugDirection Direction() const override { return direction_; }
  int DataType() const override { return dataType_; }
  void SetDirection(PlugDirection d) { direction_ = d; }
  void SetDataType(int t) { dataType_ = t; }
  CPlugIO2* Partner() const { return partner_; }
  void SetPartner(CPlugIO2* p) { partner_ = p; }

 private:
  PlugDirection direction_ = DR_CONTAINER_IO;
  int dataType_ = DT_AUDIO;
  CPlugIO2* partner_ = nullptr;
};

// A plug that exposes one of its owner's properties.
class CPlugFeature : public CPlug2 {
 public:
  static const RuntimeClass kClass;
  CPlugFeature() = default;
  explicit CPlugFeature(const RuntimeClass& cls) : class_(&cls) { SetDefinitionIndex(-1); }
  CPlugFeature(const RuntimeClass& cls, int definitionIndex) : CPlug2(definitionIndex), class_(&cls) {}
  const RuntimeClass& Class() const override { return *class_; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  PlugDirection Direction() const override { return direction_; }
  int DataType() const override { return dataType_; }
  std::uint32_t Flags() const override;
  std::string Name() const override { return name_; }

  // Fills the stored fields from a PF_GUI definition (feature index -1).
  void CopyDefinition(const InterfaceObject& def);

  PlugDirection direction_ = DR_IN;
  std::int32_t dataType_ = DT_FLOAT;
  std::int32_t featureIndex = -1;
  std::string name_;
  std::string secondText;
  std::uint32_t storedFlags = 0;

 private:
  bool HasDefinition() const;
  const RuntimeClass* class_ = &kClass;
};

class CPlugFeature3 : public CPlugFeature {
 public:
  static const RuntimeClass kClass;
  CPlugFeature3() : CPlugFeature(kClass) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  bool extraOption = false;
};

extern const RuntimeClass kClassCPlugFeature2;
extern const RuntimeClass kClassCPlugFeature4;

// A plug from the entry's list of GUI plug definitions.
class CPlugGui : public CPlug2 {
 public:
  static const RuntimeClass kClass;
  using CPlug2::CPlug2;
  const RuntimeClass& Class() const override { return kClass; }
  const InterfaceObject& Definition() const override;
  std::uint32_t Flags() const override { return Definition().flags | PF_GUI; }
};

}  // namespace kr
