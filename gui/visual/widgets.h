// The widgets on a panel: text labels in skin styles and bitmap controls
// that draw a skin image (knob filmstrip, slider and handle, bar graph,
// button); the standard controls (edit_box.h, standard_controls.h) come
// with them. They show values and turn the mouse and keys into values.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "gui/panel/mappers.h"
#include "gui/skin/skin.h"
#include "gui/visual/edit_box.h"
#include "gui/visual/standard_controls.h"
#include "gui/visual/visual_ob.h"

namespace kr {

class CPlug2;
class generic_parameter;

// Label flags.
enum LabelFlags : std::uint32_t { LF_TRANSPARENT = 0x1, LF_CENTRE = 0x8, LF_RIGHT = 0x10 };

class CMyTextLabel : public CVisualOb {
 public:
  using TextSource = std::function<std::string()>;
  CMyTextLabel(std::string text, std::string styleName = "control_label", std::uint32_t labelFlags = 0);
  // A label that shows what source says when it is drawn (a watched value).
  void SetSource(TextSource source) { source_ = std::move(source); }
  std::string Text() const { return source_ ? source_() : text_; }
  kr::gui::Size GetPreferredSize() override;
  void Open() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  // A label with a source repaints when the text it shows changed.
  void Refresh() override;

  std::uint32_t colorRef = 0xFFFFFF;   // 0xFFFFFF: the style's colour, taken on open
  std::int32_t background = 0xFF0000;  // 0x00BBGGRR
  std::uint32_t labelFlags;

 protected:
  const SkinFontInfo& Style();
  std::string text_;
  std::string styleName_;
  TextSource source_;
  std::string shown_;
};

// A label that acts as a push button: pressed, its mapper gets 1; released, 0.
class CMyTextButton : public CMyTextLabel {
 public:
  CMyTextButton(std::string text, std::unique_ptr<kr::gui::ControlMapper> mapper, std::uint32_t labelFlags = LF_TRANSPARENT);
  bool IsHitTarget() override { return true; }
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;

 private:
  std::unique_ptr<kr::gui::ControlMapper> mapper_;
};

// A module's title on its box: transparent, centred.
class CUGWndTitle : public CMyTextLabel {
 public:
  explicit CUGWndTitle(std::string title) : CMyTextLabel(std::move(title), "control_label", LF_TRANSPARENT | LF_CENTRE) {
    SetFlags(VF_STRETCH_WIDTH);
  }
};

namespace gui {
// The panel's values seen by a control; a detached control sees an empty set.
PanelValues& ValuesOf(CVisualOb& ob);
// A text style of the control's skin (the default style without a skin).
const SkinFontInfo& StyleNamed(CVisualOb& ob, std::string_view name);

// The frame and cell of a skin image (descriptor and padding).
struct ImageCell {
  static Size Of(const SkinImage& image);
};

// A value text read as a number held to 0..1 (NaN, infinities and junk read as 0).
float UnitValue(const std::string& text);
// The text a widget writes to a float plug (the shortest that reads back the same).
std::string PlugFloatText(float v);
}  // namespace gui

// The bitmap control of legacy controls: values 0..100 through a mapper,
// drawn with DrawLinear.
class CMyBmpCtrl : public CVisualOb {
 public:
  CMyBmpCtrl(std::string imageName, std::unique_ptr<kr::gui::ControlMapper> mapper, bool toggle = false);
  kr::gui::Size GetPreferredSize() override;
  void Open() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override;
  std::string GetToolTipText() override;

  float Value() const { return value_; }
  // Held to 0..100; while open the mapper carries it to the parameter. The
  // control repaints only when the frame or handle moves.
  void SetValue(float v);
  // The frame offset or handle position for the current value (pixels).
  int Position() const { return position_; }
  // Set by the rotary-switch look of a list control.
  float rotationOffset = 0, rotationScale = 0;

  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;
  void OnPointerMove(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  void OnKeyUp(int key, int repeat, std::uint32_t flags) override;
  void Refresh() override;
  // "MIDI Learn" for a control bound to a parameter.
  void AddContextMenuItems(kr::gui::ContextMenu& menu, kr::gui::Point p) override;
  void OnCommand(int id, kr::gui::Point p) override;

 private:
  void LoadImage();
  int ComputePosition() const;
  void UpdatePosition();
  int Code() const { return image_ ? image_->descriptor.code : -1; }
  void Press();
  std::string imageName_;
  std::unique_ptr<kr::gui::ControlMapper> mapper_;
  bool toggle_;
  kr::gui::SkinImagePtr image_;
  float value_ = 0;
  int position_ = 0;
  kr::gui::Point last_{};
  float rotary_ = 0;  // > 0: the gesture turns the knob; else it drags
};

// The bitmap widget of panel objects: value 0..1 and image name from its
// plugs ("Animation Position", "Filename"), drawn with DrawGamma. It writes
// "Mouse Down" while the button is held on it and "Frame Count" (frames of
// its image, 0 without one) when it opens.
class CMyBmpCtrl2 : public CVisualOb {
 public:
  struct Plugs {
    CPlug2* position = nullptr;
    CPlug2* fileName = nullptr;
    CPlug2* mouseDown = nullptr;
    CPlug2* frameCount = nullptr;
  };
  explicit CMyBmpCtrl2(const Plugs& plugs);
  CMyBmpCtrl2(CPlug2* position, CPlug2* fileName) : CMyBmpCtrl2(Plugs{position, fileName}) {}
  kr::gui::Size GetPreferredSize() override;
  void Open() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  CVisualOb* HitTest(kr::gui::Point p, bool* marker) override;
  float Value() const { return value_; }
  int FrameOffset() const { return offset_; }
  // Held to 0..1; while open written to "Animation Position".
  void SetValue(float v);

  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;
  void OnPointerMove(std::uint32_t flags, kr::gui::Point p) override;
  void OnKeyDown(int key, int repeat, std::uint32_t flags) override;
  void OnKeyUp(int key, int repeat, std::uint32_t flags) override;
  void Refresh() override;

 protected:
  // How the image is read: colour images here, coverage maps for tinting.
  virtual kr::skin::PixelMode ImageMode() const { return kr::skin::PixelMode::Colour; }
  // Where the top-left of the image's frame is drawn (its padding here).
  virtual kr::gui::Point ImageOrigin();
  // Draws the loaded image (the placeholder stands in without one).
  virtual void DrawImage(kr::gui::DrawContext& dc);
  const kr::gui::SkinImage* Image() const { return image_.get(); }
  int Code() const { return image_ ? image_->descriptor.code : -1; }
  kr::gui::Point last_{};  // the pointer's previous place in a drag

 private:
  void LoadImage();
  std::string FileName();
  // A new "Filename" while open: the old image goes, the new one is loaded
  // and its frames counted again.
  void ReloadIfRenamed();
  void WriteFrameCount();
  int ComputeOffset() const;
  void Show(float v);
  void SetMouseDown(bool down);
  CPlug2* positionPlug_;
  CPlug2* fileNamePlug_;
  CPlug2* mouseDownPlug_;
  CPlug2* frameCountPlug_;
  kr::gui::SkinImagePtr image_;
  bool loaded_ = false;
  std::string loadedName_;
  float value_ = 0;
  int offset_ = 0;
  float rotary_ = 0;
};

// Text from plugs: "Text", "Style" (category), "Multiline", and "Mode"
// ("Normal,Read-Only"): a click on a label that is not read-only opens an
// edit box over it (CMyEdit2) that writes its "Text".
class CMyTextLabel2 : public CVisualOb {
 public:
  CMyTextLabel2(CPlug2* text, const CPlug2* style, const CPlug2* multiline, const CPlug2* mode = nullptr);
  kr::gui::Size GetPreferredSize() override;
  void DrawSelf(kr::gui::DrawContext& dc) override;
  bool IsHitTarget() override { return true; }
  // Without a "Mode", a label only shows.
  virtual bool ReadOnly();
  void OnLButtonDown(std::uint32_t flags, kr::gui::Point p) override;
  void OnLButtonUp(std::uint32_t flags, kr::gui::Point p) override;
  void Refresh() override;

 protected:
  // A release on the label (it holds the capture).
  virtual void Clicked();
  virtual std::string Text();
  CPlug2* textPlug_;
  const CPlug2* stylePlug_;
  const CPlug2* multilinePlug_;
  const CPlug2* modePlug_;
  std::string shown_;
};

// Shows the item of a list value ("List", item list from the plug's end); a
// click drops the list down over it, and choosing an item sets the value.
class CMyListEntry : public CMyTextLabel2 {
 public:
  CMyListEntry(CPlug2* list, const CPlug2* style);
  bool ReadOnly() override { return false; }

 protected:
  void Clicked() override;
  std::string Text() override;

 private:
  std::string ListText();
};

}  // namespace kr
