#include "document/old_graphics.h"

#include "document/container.h"
#include "document/plug2.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"

namespace kr {

const RuntimeClass CGraphicObject::kClass{"CGraphicObject", 1, false, nullptr, &MakePlain<CGraphicObject>};
const RuntimeClass CPanelBox::kClass{"CPanelBox", 1, false, &CGraphicObject::kClass, &MakePlain<CPanelBox>};
const RuntimeClass CLine::kClass{"CLine", 1, false, &CGraphicObject::kClass, &MakePlain<CLine>};

void CGraphicObject::Load(ArchiveReader& ar) {
  if (ar.Version() >= 8) number = ar.ReadInt32();
  ar.ReadObject(&CContainer::kClass);  // former parent link
  rect = ar.ReadRect();
}

void CGraphicObject::Store(ArchiveWriter& ar) const {
  if (ar.Version() >= 8) ar.WriteInt32(number);
  ar.WriteObject(nullptr);
  ar.WriteRect(rect);
}

void CPanelBox::Load(ArchiveReader& ar) {
  CGraphicObject::Load(ar);
  caption = ar.ReadText();
}

void CPanelBox::Store(ArchiveWriter& ar) const {
  CGraphicObject::Store(ar);
  ar.WriteText(caption);
}

void CLine::Load(ArchiveReader& ar) {
  CGraphicObject::Load(ar);
  first = ar.ReadObjectOf<CPlug2>();
  second = ar.ReadObjectOf<CPlug2>();
}

void CLine::Store(ArchiveWriter& ar) const {
  CGraphicObject::Store(ar);
  ar.WriteObject(first);
  ar.WriteObject(second);
}

}  // namespace kr
