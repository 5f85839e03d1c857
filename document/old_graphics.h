// Graphic objects of documents up to version 44. Loading converts them:
// a CLine becomes a CLine2, a CPanelBox a CPanelBox2.
#pragma once

#include <string>

#include "formats/archive/geometry.h"
#include "formats/archive/runtime_class.h"

namespace kr {

class CPlug2;

class CGraphicObject : public CObject {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::int32_t number = 0;  // stored from version 8; meaning unknown, kept
  DocRect rect{};
};

class CPanelBox : public CGraphicObject {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  std::string caption;
};

class CLine : public CGraphicObject {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  CPlug2* first = nullptr;
  CPlug2* second = nullptr;
};

}  // namespace kr
