// A wire between two plugs: the output end first, the input end second.
#pragma once

#include "document/doc_ob.h"

namespace kr {

class CPlug2;

class CLine2 : public CDocOb {
 public:
  static const RuntimeClass kClass;
  CLine2() = default;  // made for loading
  // Orders the ends (output first) and attaches itself to both plugs.
  CLine2(CPlug2& a, CPlug2& b);
  ~CLine2() override = default;

  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  CPlug2* From() const { return from_; }  // output end
  CPlug2* To() const { return to_; }      // input end
  // Sets both ends without attaching (old documents attach after the load).
  void SetEnds(CPlug2* from, CPlug2* to) {
    from_ = from;
    to_ = to;
  }
  // Swaps the ends unless the first is a plausible output end.
  void OrderEnds();
  // Adds the wire to both plugs' wire lists (once).
  void AttachToPlugs();
  void DetachFromPlugs();

  DocRect GetRect(int) const override { return rect_; }
  void SetRect(int viewKind, const DocRect& rect) override {
    rect_ = rect;
    CDocOb::SetRect(viewKind, rect);
  }

 private:
  CPlug2* from_ = nullptr;
  CPlug2* to_ = nullptr;
  DocRect rect_{};
};

}  // namespace kr
