// The standard controls other than the edit box, drawn in Kestrune's own
// flat look: the combo box (a drop-down list of a parameter's items), the
// vertical trackbar, the push button, the browse button that chooses a file
// and the up-down arrows beside an edit box. Each writes its parameter
// through the panel's values (PanelValues) and follows it when it changes
// elsewhere.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/visual/edit_box.h"
#include "gui/visual/visual_ob.h"

namespace kr {

class generic_parameter;

// A drop-down list of the parameter's items; choosing one sets the
// parameter to that item's value. With the focus, the arrow keys step
// through the items and Space opens the list.
class CMyCombobox : public CVisualOb {
 public:
  explicit CMyCombobox(generic_parameter& parameter);
  kr::gui::Size GetPreferredSize() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  void Refresh() override;
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  void OnKeyUp(int key, int repeat, std::uint32_t flags) override;
  // Opens the list under the box.
  void DropDown();

 private:
  struct Item {
    std::string label;
    int value;
  };
  std::vector<Item> Items() const;
  int CurrentIndex(const std::vector<Item>& items);
  generic_parameter& parameter_;
  std::string shown_;
};

// A vertical trackbar: positions 0 (top) .. 100, the parameter at
// (100 - position) x 0.01. A drag moves the thumb; a press beside it pages
// by 10 towards the press; Up/Left and Down/Right step by 1, Page Up and
// Page Down by 10, Home and End go to the ends.
class CMySliderCtrl : public CVisualOb {
 public:
  explicit CMySliderCtrl(generic_parameter& parameter);
  kr::gui::Size GetPreferredSize() override { return {30, 56}; }
  void Open() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  void Refresh() override;
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnPointerMove(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  int Position() const { return position_; }
  // The thumb's rectangle at the current position.
  kr::gui::Rect Thumb() const;

 private:
  int Travel() const;
  int PositionOfValue();
  void MoveTo(int position);
  generic_parameter& parameter_;
  int position_ = 0;
  int grab_ = 0;  // where in the thumb the drag took it
};

// A push button: pressed (mouse or Space) it sets 1 on its parameter and
// hands 1 to its callback; released, 0.
class CMyButton : public CVisualOb {
 public:
  using Callback = std::function<void(float)>;
  explicit CMyButton(std::string caption, generic_parameter* parameter = nullptr, Callback callback = {});
  kr::gui::Size GetPreferredSize() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  void OnKeyUp(int key, int repeat, std::uint32_t flags) override;
  bool Pressed() const { return pressed_; }

 protected:
  // Pressed (1) and released (0).
  virtual void Set(float value);

 private:
  std::string caption_;
  generic_parameter* parameter_;
  Callback callback_;
  bool pressed_ = false;
};

// "...": a click asks the view for a file of the given extension and
// writes the chosen name where the binding says.
class CMyBrowseButton : public CMyButton {
 public:
  CMyBrowseButton(kr::gui::EditBinding target, std::string extension);
  kr::gui::Size GetPreferredSize() override { return {22, 18}; }

 protected:
  void Set(float value) override;

 private:
  kr::gui::EditBinding target_;
  std::string extension_;
};

// Up and down arrows that step an integer parameter by 1 within its range
// ("range lo,hi", else 1 .. 128): a press on the upper half adds, on the
// lower half takes away; with the focus, Up and Down do the same.
class CMySpinButtonCtrl : public CVisualOb {
 public:
  explicit CMySpinButtonCtrl(generic_parameter& parameter);
  kr::gui::Size GetPreferredSize() override { return {14, 18}; }
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  // The range the arrows keep to.
  int Low() const;
  int High() const;

 private:
  void Step(int by);
  generic_parameter& parameter_;
  int pressed_ = 0;  // +1 up, -1 down
};

}  // namespace kr
