// The "KeyBoard" control's panel: a piano keyboard from note 36 at its left
// edge, played with the mouse and with the computer keyboard (it is the
// view's computer-keyboard receiver), whose notes go to its audio module
// as notifications 3 (note on) and 4 (note off) with the note number. A
// press in the top-left 10 x 10 pixels toggles hold: held notes sound until
// pressed again, and turning hold off releases them all.
#pragma once

#include <array>
#include <cstdint>

#include "gui/visual/owner_drawn.h"

namespace kr {

class CUG;

namespace gui {

class KeyboardPanel final : public OwnerDrawn {
 public:
  static constexpr int kNoteOn = 3;
  static constexpr int kNoteOff = 4;
  static constexpr int kLowestNote = 36;

  explicit KeyboardPanel(CUG& module) : module_(module) {}

  // The note under a point of a keyboard `width` pixels wide and `height` high.
  static int NoteAt(Point p, int width, int height);
  // The note a computer key plays (letters either case, digits); -1 for none.
  static int NoteOfKey(int key);
  static int KeyWidth(int width) { return width / 50 + 4; }

  bool Down(int note) const { return note >= 0 && note < 128 && down_[static_cast<std::size_t>(note)]; }
  bool Hold() const { return hold_; }

  Size PreferredSize() override { return {120, 19}; }
  void Draw(CVisualOb& widget, DrawContext& dc) override;
  void MouseDown(CVisualOb& widget, Point p, std::uint32_t flags) override;
  void MouseMove(CVisualOb& widget, Point p, std::uint32_t flags) override;
  void MouseUp(CVisualOb& widget, Point p, std::uint32_t flags) override;
  bool KeyDown(CVisualOb& widget, int key, std::uint32_t flags) override;
  bool KeyUp(CVisualOb& widget, int key, std::uint32_t flags) override;
  // Sound restarted (the audio module is another): no note is down any more.
  bool Refresh(CVisualOb& widget) override;
  void Opened(CVisualOb& widget) override;
  // The panel goes: the notes it holds stop.
  void Closing(CVisualOb& widget) override;

 private:
  void Play(CVisualOb& widget, int note);
  void Release(CVisualOb& widget, int note);
  void ReleaseAll(CVisualOb& widget);

  CUG& module_;
  std::array<bool, 128> down_{};
  int last_ = -1;
  bool hold_ = false;
  const void* audio_ = nullptr;  // the audio object the notes went to
};

}  // namespace gui

}  // namespace kr
