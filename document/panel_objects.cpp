#include "document/panel_objects.h"

#include <algorithm>

#include "registry/item_list.h"
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

constexpr const char* kDefaultPageNames = "Page 1,Page 2";

std::unique_ptr<CPlugFeature3> FeaturePlug(const char* name, int dataType, PlugDirection direction, int index) {
  auto plug = std::make_unique<CPlugFeature3>();
  plug->direction_ = direction;
  plug->dataType_ = dataType;
  plug->name_ = name;
  plug->featureIndex = index;
  return plug;
}

// A tab box's page plugs, where it lacks them: on the first page of two.
void AddPagePlugs(CTabBox& box) {
  if (!box.FindPlug("Page")) {
    auto page = FeaturePlug("Page", DT_ENUM, DR_IN, 0);
    page->SetValueText("0");
    box.AddPlug(std::move(page));
  }
  if (!box.FindPlug("Page Names")) {
    auto names = FeaturePlug("Page Names", DT_TEXT, DR_IN, 1);
    names->SetValueText(kDefaultPageNames);
    box.AddPlug(std::move(names));
  }
}

// A tab box starts on its first page of two, 200 x 100.
std::unique_ptr<CUG> MakeTabBox(Module_Info& entry) {
  auto box = std::make_unique<CTabBox>();
  box->SetEntry(&entry);
  box->SetTitle(entry.name);
  box->rect = {0, 0, 200, 100};
  AddPagePlugs(*box);
  box->Watch();
  return box;
}

}  // namespace

std::unique_ptr<CUG> MakePanelObject(Module_Info& entry) {
  if (entry.name == "Paged Group") return MakeTabBox(entry);
  if (entry.name == "Control Group") {
    auto group = std::make_unique<control_group_ob>();
    group->SetEntry(&entry);
    group->SetTitle(entry.name);
    return group;
  }
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
  for (std::size_t i = 0; i < features.size(); ++i)
    ob->AddPlug(FeaturePlug(features[i].name, features[i].dataType, DR_OUT, static_cast<int>(i)));
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
  while (auto* member = ar.ReadObjectOf<control_ob_base>()) {
    // A member listed twice, or one that holds this group, is kept once and
    // not owned twice.
    if (member == this || std::find(members.begin(), members.end(), member) != members.end()) continue;
    if (auto mine = ar.ClaimAs(member)) owned_.push_back(std::move(mine));
    members.push_back(member);
  }
}

// Members the container holds as well hear these from the container.
void control_group_ob::SetParent(CContainer* parent) {
  control_ob_base::SetParent(parent);
  for (auto& m : owned_) m->SetParent(parent);
}

void control_group_ob::AttachToParent(CContainer* parent) {
  control_ob_base::AttachToParent(parent);
  for (auto& m : owned_) m->AttachToParent(parent);
}

void control_group_ob::PostLoadInit() {
  control_ob_base::PostLoadInit();
  for (auto& m : owned_) m->PostLoadInit();
}

control_ob_base& control_group_ob::AddMember(std::unique_ptr<control_ob_base> member) {
  control_ob_base& added = *member;
  added.SetParent(Parent());
  members.push_back(&added);
  owned_.push_back(std::move(member));
  return added;
}

void control_group_ob::Normalise() {
  if (members.empty()) return;
  DocRect all = members.front()->GetRect(kPanelView);
  for (const auto* m : members) {
    const DocRect r = m->GetRect(kPanelView);
    all = {std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
           std::max(all.bottom, r.bottom)};
  }
  for (auto* m : members) {
    const DocRect r = m->GetRect(kPanelView);
    m->SetRect(kPanelView, {r.left - all.left, r.top - all.top, r.right - all.left, r.bottom - all.top});
  }
  SetRect(kPanelView, all);
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

CTabBox::~CTabBox() {
  for (const auto& p : Plugs()) p->RemoveObserver(this);
}

void CTabBox::PostLoadInit() {
  // A document that stored no page plugs still pages, from its first page.
  AddPagePlugs(*this);
  control_ob_base::PostLoadInit();
  Watch();
}

void CTabBox::Watch() {
  for (const char* name : {"Page", "Page Names"})
    if (CPlug2* p = FindPlug(name)) p->AddObserver(this);
  if (CPlug2* names = FindPlug("Page Names"))
    if (CPlug2* page = PagePlug()) page->SetItemList(names->ValueText());
}

void CTabBox::OnNotify(Notifier* source, int code, void*) {
  if (code != NC_PARAMETER_VALUE) return;
  CPlug2* page = PagePlug();
  if (source == static_cast<generic_parameter*>(page)) return Notify(NC_PAGE);
  if (CPlug2* names = FindPlug("Page Names"); page && source == static_cast<generic_parameter*>(names)) {
    page->SetItemList(names->ValueText());
    Notify(NC_PAGE);
  }
}

std::vector<std::string> CTabBox::PageNames() const {
  std::vector<std::string> names;
  const CPlug2* p = FindPlug("Page Names");
  EnumListIterator it(p ? p->ValueText() : std::string(kDefaultPageNames));
  for (it.First(); !it.IsDone() && names.size() < 4096; it.Next()) names.push_back(it.CurrentLabel());
  return names;
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
