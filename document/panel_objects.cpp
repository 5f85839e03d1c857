#include "document/panel_objects.h"

#include <algorithm>

#include "registry/module_info.h"
#include "registry/plug_types.h"

#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"

namespace kr {

const RuntimeClass CPanelBox2::kClass{"CPanelBox2", 1, false, &CDocOb::kClass, &MakePlain<CPanelBox2>};
const RuntimeClass CPortal::kClass{"CPortal", 1, false, &CDocOb::kClass, &MakePlain<CPortal>};
const RuntimeClass control_ob_base::kClass{"control_ob_base", 1, false, &CUG::kClass, &MakePlain<control_ob_base>};
const RuntimeClass control_group_ob::kClass{"control_group_ob", 1, false, &control_ob_base::kClass,
                                            &MakePlain<control_group_ob>};
const RuntimeClass CTabBox::kClass{"CTabBox", 1, false, &control_ob_base::kClass, &MakePlain<CTabBox>};

namespace panel_classes {
#define KR_CONTROL_OB(ident, text) \
  extern const RuntimeClass ident; \
  const RuntimeClass ident{text, 1, false, &control_ob_base::kClass, &MakeGeneric<control_ob, &ident>};
KR_CONTROL_OB(kControlOb, "control_ob")
KR_CONTROL_OB(kControlObBitmap, "control_ob_bitmap")
KR_CONTROL_OB(kControlObList, "control_ob_list")
KR_CONTROL_OB(kControlObText, "control_ob_text")
KR_CONTROL_OB(kControlObJoystick, "control_ob_bitmap_joystick")
KR_CONTROL_OB(kControlObTinted, "control_ob_bitmap_tinted")
#undef KR_CONTROL_OB

std::span<const RuntimeClass* const> All() {
  static const RuntimeClass* const all[] = {
      &CPanelBox2::kClass, &CPortal::kClass,   &control_ob_base::kClass, &control_group_ob::kClass,
      &CTabBox::kClass,    &kControlOb,        &kControlObBitmap,        &kControlObList,
      &kControlObText,     &kControlObJoystick, &kControlObTinted};
  return all;
}
}  // namespace panel_classes

namespace {

struct FeatureSpec {
  const char* name;
  int dataType;
};
// The features of the widgets, in order: their plugs link the widget to
// the values it shows.
constexpr FeatureSpec kBitmapFeatures[] = {
    {"Animation Position", DT_FLOAT}, {"Filename", DT_TEXT}, {"Mouse Down", DT_BOOL}, {"Frame Count", DT_INT}};
constexpr FeatureSpec kTextFeatures[] = {
    {"Text", DT_TEXT}, {"Style", DT_ENUM}, {"Mode", DT_ENUM}, {"Multiline", DT_BOOL}};
constexpr FeatureSpec kListFeatures[] = {{"List", DT_ENUM}, {"Style", DT_ENUM}};
constexpr FeatureSpec kJoystickFeatures[] = {{"Animation Position", DT_FLOAT},
                                             {"Position X", DT_FLOAT},
                                             {"Position Y", DT_FLOAT},
                                             {"Filename", DT_TEXT},
                                             {"Mouse Down", DT_BOOL}};
constexpr FeatureSpec kTintedFeatures[] = {
    {"Animation Position", DT_FLOAT}, {"Filename", DT_TEXT},    {"Hue", DT_FLOAT},
    {"Saturation", DT_FLOAT},         {"Brightness", DT_FLOAT}, {"Mouse Down", DT_BOOL}};

}  // namespace

std::unique_ptr<CUG> MakePanelObject(Module_Info& entry) {
  const RuntimeClass* cls = nullptr;
  std::span<const FeatureSpec> features;
  if (entry.name == "Image") {
    cls = &panel_classes::kControlObBitmap;
    features = kBitmapFeatures;
  } else if (entry.name == "Joystick Image") {
    cls = &panel_classes::kControlObJoystick;
    features = kJoystickFeatures;
  } else if (entry.name == "Tinted Image") {
    cls = &panel_classes::kControlObTinted;
    features = kTintedFeatures;
  } else if (entry.name == "Text Entry2") {
    cls = &panel_classes::kControlObText;
    features = kTextFeatures;
  } else if (entry.name == "List Entry2") {
    cls = &panel_classes::kControlObList;
    features = kListFeatures;
  } else {
    return nullptr;
  }
  auto ob = std::make_unique<control_ob>(*cls);
  ob->SetEntry(&entry);
  ob->SetTitle(entry.name);
  for (std::size_t i = 0; i < features.size(); ++i) {
    auto plug = std::make_unique<CPlugFeature3>();
    plug->direction_ = DR_OUT;
    plug->dataType_ = features[i].dataType;
    plug->name_ = features[i].name;
    plug->featureIndex = static_cast<std::int32_t>(i);
    ob->AddPlug(std::move(plug));
  }
  return ob;
}

void CPanelBox2::Load(ArchiveReader& ar) {
  if (ar.Version() >= 41) {
    LoadDocObPart(ar);
  } else {
    SetEntryByName("Panel Group");
  }
  caption = ar.ReadText();
  rect = ar.ReadRect();
}

void CPanelBox2::Store(ArchiveWriter& ar) const {
  if (ar.Version() >= 41) StoreDocObPart(ar);
  ar.WriteText(caption);
  ar.WriteRect(rect);
}

void CPortal::Load(ArchiveReader& ar) {
  LoadDocObPart(ar);
  text = ar.ReadText();
  rect = ar.ReadRect();
  mode = ar.Version() >= 68 ? ar.ReadInt32() : 3;
}

void CPortal::Store(ArchiveWriter& ar) const {
  StoreDocObPart(ar);
  ar.WriteText(text);
  ar.WriteRect(rect);
  if (ar.Version() >= 68) ar.WriteInt32(mode);
}

void control_ob_base::Load(ArchiveReader& ar) {
  LoadCugPart(ar);
  target = ar.ReadObjectOf<CDocOb>();
  rect = ar.ReadRect();
}

void control_ob_base::Store(ArchiveWriter& ar) const {
  StoreCugPart(ar);
  ar.WriteObject(target);
  ar.WriteRect(rect);
}

void control_ob::Load(ArchiveReader& ar) {
  control_ob_base::Load(ar);
  while (ar.ReadInt32() != -1) {
    ar.ReadInt32();
    ar.ReadInt32();
  }
}

void control_ob::Store(ArchiveWriter& ar) const {
  control_ob_base::Store(ar);
  ar.WriteInt32(-1);
}

void control_group_ob::Load(ArchiveReader& ar) {
  control_ob_base::Load(ar);
  while (auto* member = ar.ReadObjectOf<control_ob_base>()) members.push_back(member);
}

void control_group_ob::Store(ArchiveWriter& ar) const {
  control_ob_base::Store(ar);
  for (const auto* m : members) ar.WriteObject(m);
  ar.WriteObject(nullptr);
}

void CTabBox::Load(ArchiveReader& ar) {
  control_ob_base::Load(ar);
  tabRect = ar.ReadRect();
  while (CObject* ob = ar.ReadObject()) {
    auto* docOb = DynamicKind<CDocOb>(ob);
    if (!docOb) continue;
    const std::int32_t tab = ar.ReadInt32();
    const std::pair<CDocOb*, std::int32_t> pair{docOb, tab};
    if (std::find(tabs.begin(), tabs.end(), pair) == tabs.end()) tabs.push_back(pair);
  }
}

void CTabBox::Store(ArchiveWriter& ar) const {
  control_ob_base::Store(ar);
  ar.WriteRect(tabRect);
  for (const auto& [ob, tab] : tabs) {
    ar.WriteObject(ob);
    ar.WriteInt32(tab);
  }
  ar.WriteObject(nullptr);
}

}  // namespace kr
