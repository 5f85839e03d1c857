#include "document/line2.h"

#include "document/load_context.h"
#include "document/plug2.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"

namespace kr {

const RuntimeClass CLine2::kClass{"CLine2", 1, false, &CDocOb::kClass, &MakePlain<CLine2>};

CLine2::CLine2(CPlug2& a, CPlug2& b) : CDocOb(FindModuleEntry("Line")), from_(&a), to_(&b) {
  OrderEnds();
  AttachToPlugs();
}

void CLine2::OrderEnds() {
  if (!from_ || !to_) return;
  if (!(from_->Direction() != DR_IN && to_->Direction() != DR_OUT)) std::swap(from_, to_);
}

void CLine2::AttachToPlugs() {
  if (from_) from_->AttachWire(this);
  if (to_ && to_ != from_) to_->AttachWire(this);
}

void CLine2::DetachFromPlugs() {
  if (from_) from_->DetachWire(this);
  if (to_) to_->DetachWire(this);
}

void CLine2::Load(ArchiveReader& ar) {
  const int v = ar.Version();
  if (v >= 37) {
    LoadDocObPart(ar);
    if (v < 94811 && !Entry()) SetEntryByName("Line");
  } else {
    SetEntryByName("Line");
  }
  from_ = ar.ReadObjectOf<CPlug2>();
  to_ = ar.ReadObjectOf<CPlug2>();
  if (v <= 36) LoadContextOf(ar).wiresToAttach.push_back(this);
}

void CLine2::Store(ArchiveWriter& ar) const {
  if (ar.Version() >= 37) StoreDocObPart(ar);
  ar.WriteObject(from_);
  ar.WriteObject(to_);
}

}  // namespace kr
