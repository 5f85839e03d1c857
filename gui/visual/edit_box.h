// A single-line edit box (style "control_edit"): it shows a value's text;
// with the focus it edits a copy of it. Enter writes the typed text (and
// goes on editing it), Escape puts the value's text back, and losing the
// focus writes what was typed. Read-only boxes (flag 0x40) only show.
// The in-place kind (CMyEdit2, over a text label) closes itself once the
// editing ends.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "gui/visual/edit_line.h"
#include "gui/visual/visual_ob.h"

namespace kr {

class CPlug2;
class generic_parameter;

namespace gui {
// What an edit box shows and where the typed text goes.
struct EditBinding {
  std::function<std::string(PanelValues&)> read;
  std::function<void(PanelValues&, const std::string&)> write;
  static EditBinding Of(generic_parameter& parameter);
  static EditBinding Of(CPlug2& plug);
};
}  // namespace gui

class CMyEdit : public CVisualOb {
 public:
  // characters: the width the box asks for, in average characters.
  CMyEdit(generic_parameter& parameter, int characters);
  CMyEdit(kr::gui::EditBinding binding, int characters);
  kr::gui::Size GetPreferredSize() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  void Refresh() override;

  bool Editing() const { return editing_; }
  const kr::gui::EditLine& Line() const { return line_; }
  // Editing starts when the box takes the focus (not when it is read-only).
  void SetFocus() override;
  void OnKillFocus() override;
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnPointerMove(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  void OnKeyUp(int key, int repeat, std::uint32_t flags) override;
  void OnChar(int ch, int repeat, std::uint32_t flags) override;

 protected:
  // Editing ended (Enter, Escape or the focus gone); the in-place box closes.
  virtual void EditEnded() {}
  void Commit();
  // Ends the editing without writing (the shown text is the value's again).
  void StopEditing();

 private:
  void Begin();
  std::string Shown();
  // The byte offset of the character boundary nearest to x (box coordinates).
  std::size_t OffsetAt(int x);
  int TextLeft() const { return 3 - scroll_; }
  void KeepCaretVisible();

  kr::gui::EditBinding binding_;
  int characters_;
  kr::gui::EditLine line_;
  std::string started_;  // the value's text when the editing began
  bool editing_ = false;
  int scroll_ = 0;  // pixels of text scrolled out at the left
  std::string shown_;
};

// The edit box a text label opens over itself to edit its "Text".
class CMyEdit2 : public CMyEdit {
 public:
  explicit CMyEdit2(CPlug2& text);
  // Enter and losing the focus write the text and close the box; Escape
  // closes it without writing.
  void OnChar(int ch, int repeat, std::uint32_t flags) override;

 protected:
  void EditEnded() override;
};

}  // namespace kr
