// The "Multistage Env" box: the envelope picture (time and level scales,
// the points, the zoom button) and the segment fields below it. Both share
// one session, which keeps the editor and acts on what its gestures change:
// repaints, hands the shape to the audio module (which takes it over
// without locks) and stores the text in the control.
#pragma once

#include <memory>
#include <string>

#include "gui/panel/envelope_editor.h"
#include "gui/visual/owner_drawn.h"

namespace kr {

class CControl;

namespace gui {

class EnvelopeSession {
 public:
  explicit EnvelopeSession(CControl& control);
  EnvelopeEditor& Editor() { return editor_; }
  // Repaints, hands over the shape and stores the text, as change asks.
  void Apply(unsigned change);
  // The stored text changed elsewhere (a program, the host): the points
  // follow it, except during a drag. A shape the audio module could not
  // take yet is handed over again. True when the picture changed.
  bool Follow();
  // The picture shown, or null while the box is closed.
  void SetPicture(CVisualOb* picture) { picture_ = picture; }

 private:
  void HandOver();

  CControl& control_;
  EnvelopeEditor editor_;
  std::string seen_;  // the stored text the points were read from
  bool shapeWaiting_ = false;
  CVisualOb* picture_ = nullptr;
};

class EnvelopePanel final : public OwnerDrawn {
 public:
  explicit EnvelopePanel(std::shared_ptr<EnvelopeSession> session) : session_(std::move(session)) {}
  EnvelopeEditor& Editor() { return session_->Editor(); }

  Size PreferredSize() override { return {100, 50}; }
  void Draw(CVisualOb& widget, DrawContext& dc) override;
  void MouseDown(CVisualOb& widget, Point p, std::uint32_t flags) override;
  void MouseMove(CVisualOb& widget, Point p, std::uint32_t flags) override;
  void MouseUp(CVisualOb& widget, Point p, std::uint32_t flags) override;
  bool KeyDown(CVisualOb& widget, int key, std::uint32_t flags) override;
  // Tab selects points (on key down), so its character stays here.
  bool Char(CVisualOb&, int ch, std::uint32_t) override { return ch == '\t'; }
  void AddMenuItems(CVisualOb& widget, ContextMenu& menu, Point p) override;
  bool Command(CVisualOb& widget, int id) override;
  // Steps a held zoom or edge scroll, and follows the stored text.
  bool Refresh(CVisualOb& widget) override;
  void Opened(CVisualOb& widget) override { session_->SetPicture(&widget); }
  void Closing(CVisualOb& widget) override;

 private:
  EnvelopeEditor& Sized(CVisualOb& widget);
  std::shared_ptr<EnvelopeSession> session_;
};

// The grid under the picture: "Cur Segment" (column 2), "T", "Segment Rate",
// "L", "Segment Level" (columns 3 to 6), tab indexes 1 to 3.
std::unique_ptr<CVisualOb> MakeEnvelopeFields(std::shared_ptr<EnvelopeSession> session);

}  // namespace gui

}  // namespace kr
