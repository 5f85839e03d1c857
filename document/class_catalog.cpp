// Every class a document may name in a class record.
#include "document/class_catalog.h"

#include <array>
#include <cstring>
#include <string_view>

#include "document/container.h"
#include "document/controls.h"
#include "document/cug.h"
#include "document/hosted_modules.h"
#include "document/imbedded_file.h"
#include "document/line2.h"
#include "document/load_context.h"
#include "document/old_graphics.h"
#include "document/panel_objects.h"
#include "document/patch_manager.h"
#include "document/plug2.h"
#include "formats/skin/skin_records.h"

namespace kr {

namespace {

const RuntimeClass* const kSingles[] = {
    &CDocOb::kClass,        &CContainer::kClass,     &CLine2::kClass,        &CPlug2::kClass,
    &CPlugNameable::kClass, &CPlugControled::kClass, &CPlugIO2::kClass,      &CPlugFeature::kClass,
    &kClassCPlugFeature2,   &kClassCPlugFeature4,    &CPlugFeature3::kClass, &CPlugGui::kClass,
    &imbedded_file::kClass, &CPatchManager::kClass,  &CGraphicObject::kClass, &CLine::kClass,
    &CPanelBox::kClass,     &CPlugin::kClass,        &CPlugin2::kClass,      &Ctl_VST_Plugin::kClass,
    &SkinInfo::kClass,      &CSkinBitmap::kClass,    &CAnimBitmap::kClass,   &SkinFontInfo::kClass};

const RuntimeClass* FindIn(std::span<const RuntimeClass* const> list, std::string_view name) {
  for (const RuntimeClass* c : list)
    if (name == c->name) return c;
  return nullptr;
}

}  // namespace

const RuntimeClass* FindRuntimeClass(std::string_view name) {
  if (const RuntimeClass* c = FindIn(kSingles, name)) return c;
  if (const RuntimeClass* c = FindIn(plain_classes::All(), name)) return c;
  if (const RuntimeClass* c = FindIn(control_classes::All(), name)) return c;
  return FindIn(panel_classes::All(), name);
}

LoadContext& LoadContextOf(ArchiveReader& ar) {
  auto* context = dynamic_cast<LoadContext*>(ar.Context());
  if (context == nullptr) throw ArchiveError("document objects read outside a document load");
  return *context;
}

}  // namespace kr
