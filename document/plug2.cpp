#include "document/plug2.h"

#include <algorithm>

#include "document/cug.h"
#include "document/line2.h"
#include "document/patch_manager.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "registry/module_info.h"

namespace kr {

const RuntimeClass CPlug2::kClass{"CPlug2", 2, true, nullptr, &MakePlain<CPlug2>};

namespace {
CPlug2::InitialiseHook g_initialiseHook = nullptr;

constexpr char kSameDirection[] =
    "Can't connect. An output must go to an input (plugs on the left = Inputs, right = Outputs";
constexpr char kDifferentTypes[] = "Can't connect different plug types (eg you can't connect a voltage p_to a filename)";
constexpr char kGuiMismatch[] = "Can't connect different plug types";
constexpr char kOnlyOneOutput[] = "This type of plug accepts only one output";
constexpr char kOnlyOneInput[] = "This type of plug accepts only one input";
constexpr char kListsDiffer[] = "These plug's lists are not compatible";
constexpr char kAlreadyConnected[] = "These two plugs are already connected";

bool CarriesItemList(const CPlug2& p) { return p.DataType() == DT_ENUM && !p.ListText().empty(); }
}  // namespace

const InterfaceObject& CPlug2::EmptyDefinition() {
  static const InterfaceObject empty(nullptr, nullptr, "", DR_IN, DT_ENUM);
  return empty;
}

const InterfaceObject& CPlug2::Definition() const {
  if (!owner_ || !owner_->Entry() || definitionIndex_ < 0) return EmptyDefinition();
  const InterfaceList& list = owner_->Entry()->plugs;
  if (static_cast<std::size_t>(definitionIndex_) >= list.size()) return EmptyDefinition();
  return list[static_cast<std::size_t>(definitionIndex_)];
}

void CPlug2::LoadPlugPart(ArchiveReader& ar) {
  definitionIndex_ = ar.ReadInt16();
  valueText_ = ar.ReadText();
  if (ar.Version() >= 36) {
    const std::uint32_t n = ar.ReadCount();
    if (n > ar.Remaining()) throw ArchiveError("wire list runs past the end");
    for (std::uint32_t i = 0; i < n; ++i) {
      CLine2* wire = ar.ReadObjectOf<CLine2>();
      if (wire && !HasWire(wire)) wires_.push_back(wire);
    }
  }
}

void CPlug2::StorePlugPart(ArchiveWriter& ar) const {
  ar.WriteInt16(definitionIndex_);
  ar.WriteText(ValueText());
  if (ar.Version() >= 36) {
    ar.WriteCount(static_cast<std::uint32_t>(wires_.size()));
    for (const CLine2* w : wires_) ar.WriteObject(w);
  }
}

void CPlug2::SetValueText(std::string_view text) {
  const std::string before = ValueText();
  std::string value(text);
  if (bound_) {
    bound_->SetText(value);
    value = bound_->GetText();
  }
  valueText_ = std::move(value);
  if (valueText_ != before) AnnounceValue();
}

void CPlug2::SetItemList(std::string list) {
  if (list == itemList_) return;
  itemList_ = std::move(list);
  Notify(NC_ITEM_LIST);
}

void CPlug2::Bind(generic_variable* variable) {
  bound_ = variable;
  if (bound_) SetValueText(valueText_);
}

void CPlug2::Load(ArchiveReader& ar) { LoadPlugPart(ar); }
void CPlug2::Store(ArchiveWriter& ar) const { StorePlugPart(ar); }

bool CPlug2::HasWire(const CLine2* wire) const { return std::find(wires_.begin(), wires_.end(), wire) != wires_.end(); }

void CPlug2::AttachWire(CLine2* wire) {
  if (!wire || HasWire(wire)) return;
  wires_.push_back(wire);
  if ((Flags() & PF_OUTPUT_VALUE) && wires_.size() == 1 && wire->To() && wire->To() != this)
    valueText_ = wire->To()->ValueText();
  if (owner_) owner_->PlugWiresChanged(*this);
}

void CPlug2::DetachWire(CLine2* wire) {
  if (std::erase(wires_, wire) > 0 && owner_) owner_->PlugWiresChanged(*this);
}

bool CPlug2::CannotTakeAnotherWire() const {
  const bool gui = IsGuiPlug();
  const bool receiving = (Direction() == DR_IN && !gui) || (Direction() == DR_OUT && gui);
  const int type = DataType();
  return receiving && type != DT_MIDI && type != DT_AUDIO && !wires_.empty();
}

bool CPlug2::IsConnectedTo(const CPlug2& other) const {
  for (const CLine2* w : wires_)
    if ((w->From() == this && w->To() == &other) || (w->From() == &other && w->To() == this)) return true;
  return false;
}

bool CPlug2::CanConnect(const CPlug2& other, std::string& message) const {
  message.clear();
  if (this == &other) return false;
  if (Direction() == other.Direction()) {
    message = kSameDirection;
    return false;
  }
  if (Direction() != DR_CONTAINER_IO && other.Direction() != DR_CONTAINER_IO) {
    if (DataType() != other.DataType()) {
      message = kDifferentTypes;
      return false;
    }
    if (IsGuiPlug() != other.IsGuiPlug()) {
      message = kGuiMismatch;
      return false;
    }
  }
  if (CannotTakeAnotherWire()) {
    message = kOnlyOneOutput;
    return false;
  }
  if (other.CannotTakeAnotherWire()) {
    message = kOnlyOneInput;
    return false;
  }
  // A container's boundary plug passes on whatever list crosses it.
  const bool mineAny = (Definition().flags & PF_ANY_LIST) != 0 || DynamicKind<CPlugIO2>(this) != nullptr;
  const bool theirsAny = (other.Definition().flags & PF_ANY_LIST) != 0 || DynamicKind<CPlugIO2>(&other) != nullptr;
  if ((CarriesItemList(other) && !mineAny && ListText() != other.ListText()) ||
      (CarriesItemList(*this) && !theirsAny && ListText() != other.ListText())) {
    message = kListsDiffer;
    return false;
  }
  if (IsConnectedTo(other)) {
    message = kAlreadyConnected;
    return false;
  }
  return true;
}

void CPlug2::Initialise() {
  // A plug that holds a patch value gets its entry in the patch memory of
  // its module's nearest container that has one (the entry a document
  // stored for it, or a new one).
  if (HoldsPatchValue(*this) && owner_ != nullptr)
    if (CPatchManager* memory = owner_->NearestPatchMemory()) memory->ParameterForPlug(*this);
  if (g_initialiseHook) g_initialiseHook(*this);
}

void CPlug2::SetInitialiseHook(InitialiseHook hook) { g_initialiseHook = hook; }

}  // namespace kr
