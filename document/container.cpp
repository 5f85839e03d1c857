#include "document/container.h"

#include "document/load_context.h"

#include <algorithm>
#include <cstdlib>

#include "document/controls.h"
#include "document/line2.h"
#include "document/old_graphics.h"
#include "document/panel_objects.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "registry/module_info.h"
#include "registry/module_registry.h"

namespace kr {

const RuntimeClass CContainer::kClass{"CContainer", 95, true, &CUG_with_patches::kClass, &MakePlain<CContainer>};

namespace {

// The modules stored as a panel control: the legacy controls (the module is
// its own parameter, with a value per program), the drawn envelope (the
// control keeps the shape) and the SoundFont modules (its text is the file).
const RuntimeClass* ControlClassOf(std::string_view name) {
  using namespace control_classes;
  static const std::pair<std::string_view, const RuntimeClass*> table[] = {
      {"Slider", &kSlider},         {"List Entry", &kCombo},    {"Text Entry", &kText},
      {"Button", &kPushButton},     {"LED Indicator", &kLED},   {"Peak Meter", &kPeakMeter},
      {"Volt Meter", &kVoltMeter},  {"Multistage Env", &kEnvEdit},
      {"Soundfont Oscillator", &kOscSf}, {"Soundfont Player", &kSamplePlay2}};
  for (const auto& [n, cls] : table)
    if (n == name) return cls;
  return nullptr;
}

// The sequencers keep their patterns in their panel control; "GenProg"
// is an integer control.
std::unique_ptr<CControl> MakeSequencerControl(Module_Info& entry) {
  std::unique_ptr<CControl> control;
  if (entry.name == "Step Sequencer") control = std::make_unique<CStepSeq2>();
  if (entry.name == "Drum Sequencer") control = std::make_unique<CDrumSeq>();
  if (entry.name == "GenProg") control = std::make_unique<CControl>(control_classes::kGenProg);
  if (control == nullptr) return nullptr;
  control->SetEntry(&entry);
  control->SetTitle(entry.name);
  control->CreatePlugs();
  return control;
}

}  // namespace

std::unique_ptr<CUG> MakeDocumentObject(Module_Info& entry) {
  if (entry.documentFactory) return entry.documentFactory(&entry);
  // Built-in kinds whose document class lives here.
  if (entry.name == "Container") return std::make_unique<CContainer>(&entry);
  if (entry.name == "Patch Select") return std::make_unique<Ctl_PatchSel>(&entry);
  if (entry.name == "KeyBoard") {
    // The on-screen keyboard keeps a panel rectangle of its own: at first
    // its picture's size (120 x 19) and a title row.
    auto keyboard = std::make_unique<CUG2>(plain_classes::kCtlKeyboard2, &entry);
    keyboard->panelRect = {0, 0, 120, 35};
    return keyboard;
  }
  if (auto sequencer = MakeSequencerControl(entry)) return sequencer;
  if (const RuntimeClass* cls = ControlClassOf(entry.name)) {
    auto control = std::make_unique<CControl>(*cls);
    control->SetEntry(&entry);
    control->SetTitle(entry.name);
    control->CreatePlugs();
    return control;
  }
  if (auto ob = MakePanelObject(entry)) return ob;
  if (dynamic_cast<Module_Info2*>(&entry)) return std::make_unique<CUG2>(&entry);
  auto module = std::make_unique<CUG>(&entry);
  module->StartGuiSideLogic();
  return module;
}

std::unique_ptr<CUG> MakeDocumentObjectByName(std::string_view name) {
  Module_Info* entry = FindModuleEntry(name);
  return entry ? MakeDocumentObject(*entry) : nullptr;
}

CContainer::CContainer() { MakeContainerParameters(); }
CContainer::CContainer(Module_Info* entry) : CUG_with_patches(entry) { MakeContainerParameters(); }

void CContainer::MakeContainerParameters() {
  for (auto index : {parameter_cug_xtra::kSkin, parameter_cug_xtra::kProgram, parameter_cug_xtra::kProgramName})
    containerParameters_[static_cast<std::size_t>(index)] =
        static_cast<parameter_cug_xtra*>(&AddParameter(std::make_unique<parameter_cug_xtra>(*this, index)));
}
CContainer::~CContainer() = default;

// --- children ------------------------------------------------------------------

CDocOb& CContainer::AddChild(std::unique_ptr<CDocOb> child) {
  CDocOb& added = *child;
  if (DynamicKind<CLine2>(child.get())) {
    children_.push_back(std::move(child));
  } else {
    children_.insert(children_.begin(), std::move(child));
  }
  added.SetParent(this);
  Notify(NC_CHILD_ADDED, &added);
  return added;
}

bool CContainer::HasChild(const CDocOb* child) const {
  return std::any_of(children_.begin(), children_.end(), [&](const auto& c) { return c.get() == child; });
}

std::unique_ptr<CDocOb> CContainer::TakeChild(CDocOb* child) {
  auto it = std::find_if(children_.begin(), children_.end(), [&](const auto& c) { return c.get() == child; });
  if (it == children_.end()) return nullptr;
  std::unique_ptr<CDocOb> taken = std::move(*it);
  children_.erase(it);
  taken->Notify(NC_REMOVED);
  return taken;
}

void CContainer::RemoveChild(CDocOb* child) {
  if (!HasChild(child)) return;
  if (auto* wire = DynamicKind<CLine2>(child)) {
    wire->DetachFromPlugs();
  } else if (auto* module = DynamicKind<CUG>(child)) {
    // Wires must not outlive the plugs they join.
    for (const auto& plug : module->Plugs()) {
      const std::vector<CLine2*> wires = plug->Wires();
      for (CLine2* w : wires) {
        w->DetachFromPlugs();
        if (CContainer* owner = w->Parent(); owner && owner->HasChild(w)) owner->TakeChild(w);
      }
    }
  }
  TakeChild(child);
}

CUG* CContainer::FindIOModule() const {
  for (const auto& c : children_) {
    auto* module = DynamicKind<CUG>(c.get());
    if (module && module->Entry() && (module->Entry()->flags & MF_IO_MODULE)) return module;
  }
  return nullptr;
}

CUG* CContainer::FindOrCreateIOModule() {
  if (CUG* io = FindIOModule()) return io;
  std::unique_ptr<CUG> io = MakeDocumentObjectByName("IO Mod");
  if (!io) return nullptr;
  DocRect r = io->GetRect(kStructureView);
  r.left += 20;
  r.right += 20;
  r.top += 20;
  r.bottom += 20;
  io->SetRect(kStructureView, r);
  return static_cast<CUG*>(&AddChild(std::move(io)));
}

CLine2& CContainer::MakeWire(CPlug2& a, CPlug2& b) {
  return static_cast<CLine2&>(AddChild(std::make_unique<CLine2>(a, b)));
}

// --- patch memory --------------------------------------------------------------

CPatchManager& CContainer::EnsurePatchMemory() {
  if (!patchMemory_) SetPatchMemory(std::make_unique<CPatchManager>());
  return *patchMemory_;
}

void CContainer::SetPatchMemory(std::unique_ptr<CPatchManager> memory) {
  patchMemory_ = std::move(memory);
  if (patchMemory_) patchMemory_->SetContainer(this);
}

CPatchManager* CContainer::NearestPatchMemory() const {
  for (const CContainer* c = this; c; c = c->Parent())
    if (c->patchMemory_) return c->patchMemory_.get();
  return nullptr;
}

bool CContainer::NeedsPatchMemory() const {
  if (!Parent()) return true;
  for (const auto& c : children_)
    if (c->Entry() && c->Entry()->name == "Patch Select") return true;
  return false;
}

const CContainer::FeatureInfo& CContainer::Feature(int index) {
  static const FeatureInfo features[kFeatureCount] = {{"Controls on Parent", PF_SHOW_WHEN_OPEN},
                                                      {"Controls on Module", PF_HIDDEN2},
                                                      {"Ignore Program Change", PF_HIDDEN2}};
  return features[index < 0 || index >= kFeatureCount ? 0 : index];
}

CPlugFeature* CContainer::FeaturePlug(int featureIndex) const {
  for (const auto& p : Plugs())
    if (auto* f = DynamicKind<CPlugFeature>(p.get()); f && f->featureIndex == featureIndex) return f;
  return nullptr;
}

bool CContainer::FeatureValue(int featureIndex) const {
  const CPlugFeature* f = FeaturePlug(featureIndex);
  return f && std::atoi(f->ValueText().c_str()) != 0;
}

void CContainer::SetFeatureValue(int featureIndex, bool value) {
  if (featureIndex < 0 || featureIndex >= kFeatureCount) return;
  CPlugFeature* f = FeaturePlug(featureIndex);
  if (!f) {
    auto plug = std::make_unique<CPlugFeature>(CPlugFeature::kClass);
    plug->featureIndex = featureIndex;
    plug->name_ = Feature(featureIndex).name;
    plug->dataType_ = DT_BOOL;
    plug->storedFlags = Feature(featureIndex).flags;
    f = static_cast<CPlugFeature*>(&AddPlug(std::move(plug)));
  }
  f->SetValueText(value ? "1" : "0");
}

void CContainer::SetSpareOption(bool option) {
  if (spareOption_ == option) return;
  spareOption_ = option;
  if (CPlug2* spare = FindPlug("Spare")) spare->SetOption(option);
  Notify(NC_SPARE_OPTION);
}

DocRect CContainer::GetRect(int viewKind) const {
  return viewKind == kPanelView ? panelRect : CUG::GetRect(viewKind);
}

void CContainer::SetRect(int viewKind, const DocRect& rect) {
  if (viewKind == kPanelView) {
    panelRect = rect;
    CDocOb::SetRect(viewKind, rect);
  } else {
    CUG::SetRect(viewKind, rect);
  }
}

void CContainer::PlugAdded(CPlug2& plug) {
  if (plug.Name() == "Spare") plug.SetOption(spareOption_);
}

void CContainer::AttachToParent(CContainer* parent) {
  SetParent(parent);
  if (patchMemory_) patchMemory_->SetContainer(this);
  for (auto& c : children_) c->AttachToParent(this);
}

void CContainer::PostLoadInit() {
  if (!patchMemory_ && NeedsPatchMemory()) EnsurePatchMemory();
  for (const auto& p : Plugs()) p->Initialise();
  if (CPlug2* spare = FindPlug("Spare")) spare->SetOption(spareOption_);
  for (auto& c : children_) c->PostLoadInit();
}

// --- loading -------------------------------------------------------------------

void CContainer::AddLoadedChild(ArchiveReader& ar, CObject* ob, bool convertOldLines) {
  if (!ob) return;
  if (auto* line = DynamicKind<CLine>(ob); line && convertOldLines) {
    auto wire = std::make_unique<CLine2>();
    wire->SetEntryByName("Line");
    wire->SetEnds(line->first, line->second);
    CLine2* raw = wire.get();
    AddChild(std::move(wire));
    LoadContextOf(ar).convertedWires.push_back(raw);
    LoadContextOf(ar).wiresToAttach.push_back(raw);
    return;
  }
  if (auto* box = DynamicKind<CPanelBox>(ob); box && ar.Version() <= 9) {
    AddChild(std::make_unique<CPanelBox2>(FindModuleEntry("Panel Group"), box->caption, box->rect));
    return;
  }
  if (!DynamicKind<CDocOb>(ob)) return;  // other classes are dropped
  // A child already owned elsewhere (or this container itself) is not taken twice.
  if (auto owned = ar.ClaimAs(static_cast<CDocOb*>(ob))) AddChild(std::move(owned));
}

void CContainer::LoadOldGraphics(ArchiveReader& ar) {
  const std::uint32_t n = ar.ReadCount();
  if (n > ar.Remaining()) throw ArchiveError("object list runs past the end");
  for (std::uint32_t i = 0; i < n; ++i) AddLoadedChild(ar, ar.ReadObject(), true);
}

void CContainer::Load(ArchiveReader& ar) {
  LoadCugPart(ar);
  const int v = ar.Version();
  if (v <= 9) {
    LoadOldGraphics(ar);
  } else {
    if (v >= 95270) {
      if (auto* memory = ar.ReadObjectOf<CPatchManager>()) {
        if (auto owned = ar.ClaimAs(memory)) SetPatchMemory(std::move(owned));
      }
    }
    if (v < 95321) {
      const std::int32_t count = ar.ReadInt32();
      for (std::int32_t i = 0; i < count; ++i) {
        CObject* ob = ar.ReadObject();
        if (!ob) break;
        AddLoadedChild(ar, ob, v <= 44);
      }
    } else {
      while (CObject* ob = ar.ReadObject()) AddLoadedChild(ar, ob, false);
    }
  }
  if (v > 94950) panelRect = ar.ReadRect();
  windowRects[0] = ar.ReadRect();
  windowRects[1] = ar.ReadRect();
  if (v >= 28) {
    scrollPositions[0] = ar.ReadPoint();
    scrollPositions[1] = ar.ReadPoint();
  }
  if (v >= 9) flags = ar.ReadInt32();
  skinName = v >= 48 ? ar.ReadText() : std::string("default");
  if (v >= 50 && v <= 95269) {
    std::vector<std::string> names = ar.ReadTextList();
    const std::int32_t current = ar.ReadInt32();
    CPatchManager& memory = EnsurePatchMemory();
    for (auto& name : names) memory.AddPatchName(std::move(name));
    memory.SelectPatch(current);
  }
  if (v > 94950) spareOption_ = ar.ReadBool();
  if (v < 94811) SetEntryByName("Container");
}

// Modules and other non-wires were each put at the front of the list, so the
// stream holds them in reverse list order; wires follow in list order.
std::vector<const CObject*> CContainer::ChildrenInStreamOrder(ArchiveWriter& ar) const {
  std::vector<const CObject*> order;
  const bool oldStyle = ar.Version() <= 9;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    if (DynamicKind<CLine2>(it->get())) continue;
    const auto* box = DynamicKind<CPanelBox2>(it->get());
    if (oldStyle && box) {
      auto old = std::make_unique<CPanelBox>();
      old->caption = box->caption;
      old->rect = box->rect;
      order.push_back(ar.KeepAlive(std::move(old)));
    } else {
      order.push_back(it->get());
    }
  }
  for (const auto& c : children_) {
    const auto* wire = DynamicKind<CLine2>(c.get());
    if (!wire) continue;
    if (oldStyle) {
      auto old = std::make_unique<CLine>();
      old->first = wire->From();
      old->second = wire->To();
      order.push_back(ar.KeepAlive(std::move(old)));
    } else {
      order.push_back(wire);
    }
  }
  return order;
}

void CContainer::StoreChildren(ArchiveWriter& ar) const {
  const std::vector<const CObject*> order = ChildrenInStreamOrder(ar);
  const int v = ar.Version();
  if (v <= 9) {
    ar.WriteCount(static_cast<std::uint32_t>(order.size()));
    for (const CObject* ob : order) ar.WriteObject(ob);
    return;
  }
  if (v >= 95270) ar.WriteObject(patchMemory_.get());
  if (v < 95321) {
    ar.WriteInt32(static_cast<std::int32_t>(order.size()));
    for (const CObject* ob : order) ar.WriteObject(ob);
  } else {
    for (const CObject* ob : order) ar.WriteObject(ob);
    ar.WriteObject(nullptr);
  }
}

void CContainer::Store(ArchiveWriter& ar) const {
  StoreCugPart(ar);
  StoreChildren(ar);
  const int v = ar.Version();
  if (v > 94950) ar.WriteRect(panelRect);
  ar.WriteRect(windowRects[0]);
  ar.WriteRect(windowRects[1]);
  if (v >= 28) {
    ar.WritePoint(scrollPositions[0]);
    ar.WritePoint(scrollPositions[1]);
  }
  if (v >= 9) ar.WriteInt32(flags);
  if (v >= 48) ar.WriteText(skinName);
  if (v >= 50 && v <= 95269) {
    std::vector<std::string> names;
    if (patchMemory_)
      for (const auto& [number, name] : patchMemory_->patchNames) names.push_back(name);
    ar.WriteTextList(names);
    ar.WriteInt32(patchMemory_ ? patchMemory_->CurrentPatch() : 0);
  }
  if (v > 94950) ar.WriteBool(spareOption_);
}

}  // namespace kr
