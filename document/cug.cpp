#include "document/cug.h"

#include <algorithm>
#include <array>

#include "document/container.h"
#include "document/module_parameters.h"
#include "document/line2.h"
#include "document/ui/gui_side_logic.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "registry/module_info.h"

namespace kr {

const RuntimeClass CUG::kClass{"CUG", 1, false, &CDocOb::kClass, &MakePlain<CUG>};
const RuntimeClass CUG_with_patches::kClass{"CUG_with_patches", 1, false, &CUG::kClass,
                                            &MakePlain<CUG_with_patches>};
const RuntimeClass CUG2::kClass{"CUG2", 1, false, &CUG::kClass, &MakePlain<CUG2>};
const RuntimeClass ui_bools_to_enum::kClass{"ui_bools_to_enum", 1, false, &CUG::kClass,
                                            &MakePlain<ui_bools_to_enum>};

namespace plain_classes {
#define KR_PLAIN(ident, text) \
  extern const RuntimeClass ident; \
  const RuntimeClass ident{text, 1, false, &CUG::kClass, &MakeGeneric<CUGPlain, &ident>};
KR_PLAIN(kCSwitch, "CSwitch")
KR_PLAIN(kCControlPlugs, "CControlPlugs")
KR_PLAIN(kCFeedbackDelay, "CFeedbackDelay")
KR_PLAIN(kCMidiAutomator, "CMidiAutomator")
KR_PLAIN(kCUG_ui, "CUG_ui")
KR_PLAIN(kAnimationScalerDb, "ui_animation_scaler_db")
KR_PLAIN(kBitmapFrame, "ui_bitmap_frame")
KR_PLAIN(kBoolSplitter, "ui_bool_splitter")
KR_PLAIN(kEnumToBools, "ui_enum_to_bools")
KR_PLAIN(kFloatScaler, "ui_float_scaler")
KR_PLAIN(kFloatToBool, "ui_float_to_bool")
KR_PLAIN(kIncrementor, "ui_incrementor")
KR_PLAIN(kIncrementor2, "ui_incrementor2")
KR_PLAIN(kIntToList, "ui_int_to_list")
KR_PLAIN(kParamEnumIn2, "ui_param_enum_in2")
KR_PLAIN(kParamEnumInB, "ui_param_enum_in_B")
KR_PLAIN(kParamFloatIn2, "ui_param_float_in2")
KR_PLAIN(kParamFloatOut2, "ui_param_float_out2")
KR_PLAIN(kParamFloatOutB, "ui_param_float_out_b")
KR_PLAIN(kParamTextIn, "ui_param_text_in")
KR_PLAIN(kSpring, "ui_spring")
KR_PLAIN(kSystemCommand, "ui_system_command")
KR_PLAIN(kTextToFloat, "ui_text_to_float")
#undef KR_PLAIN

const RuntimeClass kCtlKeyboard2{"Ctl_Keyboard2", 1, false, &CUG2::kClass, &MakeGeneric<CUG2, &kCtlKeyboard2>};
const RuntimeClass kCtlSelfDrawing2{"Ctl_SelfDrawing2", 1, false, &CUG2::kClass,
                                    &MakeGeneric<CUG2, &kCtlSelfDrawing2>};
const RuntimeClass kCtlWaveShape{"Ctl_WaveShape", 1, false, &CUG::kClass, &MakeGeneric<CUG2, &kCtlWaveShape>};
const RuntimeClass kCtlWaveShape2{"Ctl_WaveShape2", 1, false, &CUG::kClass, &MakeGeneric<CUG2, &kCtlWaveShape2>};

std::span<const RuntimeClass* const> All() {
  static const RuntimeClass* const all[] = {
      &CUG::kClass,        &CUG_with_patches::kClass, &CUG2::kClass,      &ui_bools_to_enum::kClass,
      &kCSwitch,           &kCControlPlugs,           &kCFeedbackDelay,   &kCMidiAutomator,
      &kCUG_ui,            &kAnimationScalerDb,       &kBitmapFrame,      &kBoolSplitter,
      &kEnumToBools,       &kFloatScaler,             &kFloatToBool,      &kIncrementor,
      &kIncrementor2,      &kIntToList,               &kParamEnumIn2,     &kParamEnumInB,
      &kParamFloatIn2,     &kParamFloatOut2,          &kParamFloatOutB,   &kParamTextIn,
      &kSpring,            &kSystemCommand,           &kTextToFloat,      &kCtlKeyboard2,
      &kCtlSelfDrawing2,   &kCtlWaveShape,            &kCtlWaveShape2};
  return all;
}
}  // namespace plain_classes

CUG::CUG() {
  titleParameter_ = static_cast<parameter_cug_xtra2*>(&AddParameter(std::make_unique<parameter_cug_xtra2>(*this)));
}

CUG::CUG(Module_Info* entry) : CUG() {
  SetEntry(entry);
  if (entry) title_ = entry->name;
  CreatePlugs();
}

void CUG::SetTitle(std::string title) {
  if (title == title_) return;
  title_ = std::move(title);
  titleParameter_->TitleChanged();
}

generic_parameter& CUG::AddParameter(std::unique_ptr<generic_parameter> parameter) {
  parameters_.push_back(std::move(parameter));
  return *parameters_.back();
}

generic_parameter* CUG::ParameterAt(int index) const {
  return index >= 0 && index < ParameterCount() ? parameters_[static_cast<std::size_t>(index)].get() : nullptr;
}

CUG::~CUG() = default;

void CUG::CreatePlugs() {
  Module_Info* entry = Entry();
  if (!entry) return;
  if (const auto* entry2 = dynamic_cast<const Module_Info2*>(entry)) {
    for (std::size_t i = 0; i < entry2->guiPlugs.size(); ++i) {
      auto plug = std::make_unique<CPlugGui>(static_cast<int>(i));
      plug->SetValueText(entry2->guiPlugs[i].defaultText);
      AddPlug(std::move(plug));
    }
  }
  for (std::size_t i = 0; i < entry->plugs.size(); ++i) {
    const InterfaceObject& def = entry->plugs[i];
    const int index = static_cast<int>(i);
    std::unique_ptr<CPlug2> plug;
    if (def.direction == DR_CONTAINER_IO) {
      plug = std::make_unique<CPlugIO2>(index);
    } else if (def.flags & PF_GUI) {
      auto feature = std::make_unique<CPlugFeature>(kClassCPlugFeature4, index);
      feature->CopyDefinition(def);
      plug = std::move(feature);
    } else if (def.flags & PF_RENAME) {
      plug = std::make_unique<CPlugNameable>(index);
    } else {
      plug = std::make_unique<CPlug2>(index);
    }
    if (!plug->BoundVariable() && plug->ValueText().empty()) plug->SetValueText(def.defaultText);
    AddPlug(std::move(plug));
  }
}

CPlug2& CUG::AddPlug(std::unique_ptr<CPlug2> plug) {
  plug->SetOwner(this);
  plugs_.push_back(std::move(plug));
  CPlug2& added = *plugs_.back();
  PlugAdded(added);
  if (guiSide_) guiSide_->PlugsChanged();
  if (Parent()) Parent()->Notify(NC_PLUG_ADDED, &added);
  return added;
}

void CUG::RemovePlug(CPlug2& plug) {
  auto it = std::find_if(plugs_.begin(), plugs_.end(), [&](const auto& p) { return p.get() == &plug; });
  if (it == plugs_.end()) return;
  const std::vector<CLine2*> wires = plug.Wires();
  for (CLine2* w : wires) {
    w->DetachFromPlugs();
    if (CContainer* owner = w->Parent(); owner && owner->HasChild(w)) owner->TakeChild(w);
  }
  std::unique_ptr<CPlug2> removed = std::move(*it);
  plugs_.erase(it);
  removed.reset();
  if (guiSide_) guiSide_->PlugsChanged();
}

void CUG::PlugWiresChanged(CPlug2& plug) {
  if (guiSide_) guiSide_->WiresChanged(plug);
}

CPlug2* CUG::FindPlug(std::string_view name) const {
  for (const auto& p : plugs_)
    if (p->Name() == name) return p.get();
  return nullptr;
}

void CUG::SetDisabled(bool disabled) {
  if (disabled_ == disabled) return;
  disabled_ = disabled;
  Notify(NC_DISABLED);
}

DocRect CUG::GetRect(int) const { return rect_; }

void CUG::SetRect(int viewKind, const DocRect& rect) {
  rect_ = rect;
  CDocOb::SetRect(viewKind, rect);
}

void CUG::PostLoadInit() {
  for (auto& p : plugs_) p->Initialise();
  StartGuiSideLogic();
}

void CUG::StartGuiSideLogic() {
  if (!guiSide_) guiSide_ = kr::ui::MakeGuiSideLogic(*this);
  if (guiSide_) guiSide_->Start();
}

void CUG::LoadCugPart(ArchiveReader& ar) {
  const int v = ar.Version();
  if (v >= 37) LoadDocObPart(ar);
  const std::uint32_t n = ar.ReadCount();
  if (n > ar.Remaining()) throw ArchiveError("plug list runs past the end");
  for (std::uint32_t i = 0; i < n; ++i) {
    CPlug2* plug = ar.ReadObjectOf<CPlug2>();
    // A plug already owned by another module stays there.
    if (auto owned = ar.ClaimAs(plug)) plugs_.push_back(std::move(owned));
  }
  for (auto& p : plugs_) p->SetOwner(this);
  title_ = ar.ReadText();
  if (v <= 7) SetEntry(FindModuleEntryByNumber(ar.ReadInt32()));
  disabled_ = ar.ReadInt16() != 0;
  if (v >= 37) rect_ = ar.ReadRect();
  // Versions 8 to 36 store no module identity. A module's title starts as
  // its registry name, so an untouched title still names the entry.
  if (v >= 8 && v <= 36 && !Entry()) SetEntry(FindModuleEntry(title_));
}

void CUG::StoreCugPart(ArchiveWriter& ar) const {
  const int v = ar.Version();
  if (v >= 37) StoreDocObPart(ar);
  ar.WriteCount(static_cast<std::uint32_t>(plugs_.size()));
  for (const auto& p : plugs_) ar.WriteObject(p.get());
  ar.WriteText(title_);
  if (v <= 7) ar.WriteInt32(Entry() ? Entry()->moduleNumber : -1);
  ar.WriteInt16(disabled_ ? 1 : 0);
  if (v >= 37) ar.WriteRect(rect_);
}

bool CUG2::StoresPanelRect(int version) const {
  if (class_ == &plain_classes::kCtlWaveShape || class_ == &plain_classes::kCtlWaveShape2) return version >= 95271;
  return true;
}

void CUG2::Load(ArchiveReader& ar) {
  LoadCugPart(ar);
  if (StoresPanelRect(ar.Version())) panelRect = ar.ReadRect();
}

void CUG2::Store(ArchiveWriter& ar) const {
  StoreCugPart(ar);
  if (StoresPanelRect(ar.Version())) ar.WriteRect(panelRect);
}

DocRect CUG2::GetRect(int viewKind) const { return viewKind == kPanelView ? panelRect : CUG::GetRect(viewKind); }

void CUG2::SetRect(int viewKind, const DocRect& rect) {
  if (viewKind == kPanelView) {
    panelRect = rect;
    CDocOb::SetRect(viewKind, rect);
  } else {
    CUG::SetRect(viewKind, rect);
  }
}

}  // namespace kr
