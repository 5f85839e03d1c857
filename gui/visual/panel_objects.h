// The panel of a container (CMyView: background and children) and the
// framed, titled group box (CPanelBoxWnd).
#pragma once

#include "gui/skin/skin.h"
#include "gui/visual/visual_ob.h"

namespace kr {

class CContainer;
class CPanelBox2;

class CMyView : public CVisualOb {
 public:
  explicit CMyView(CContainer& container);
  kr::gui::Skin* GetSkin() override;
  kr::gui::Size GetPreferredSize() override { return {6000, 6000}; }
  bool IsHitTarget() override { return true; }
  void Open() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  // "About..." when the document has an about text.
  void AddContextMenuItems(kr::gui::ContextMenu& menu, kr::gui::Point p) override;
  void OnCommand(int id, kr::gui::Point p) override;

 private:
  CContainer& container_;
  kr::gui::SkinImagePtr background_;
};

class CPanelBoxWnd : public CVisualOb {
 public:
  explicit CPanelBoxWnd(CPanelBox2& box);
  kr::gui::Size GetPreferredSize() override { return GetRect().GetSize(); }
  void Open() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  // Only the frame is hit: clicks inside reach the objects behind.
  CVisualOb* HitTest(kr::gui::Point p, bool* marker) override;

 private:
  kr::gui::Rect FrameRect();
  int Stroke() const;
  CPanelBox2& box_;
  kr::gui::SkinImagePtr lines_;
};

}  // namespace kr
