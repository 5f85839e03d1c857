#include "gui/visual/widgets.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document/generic_parameter.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "gui/draw/draw.h"
#include "gui/draw/system_colours.h"
#include "gui/draw/text.h"
#include "gui/panel/panel_values.h"
#include "registry/item_list.h"

namespace kr {

using namespace kr::gui;

namespace {

// The lit rows of a bar graph, held to the frame.
int LitRows(const skin::BitmapDescriptor& d, double fraction) {
  fraction = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
  const double steps = std::floor((static_cast<double>(d.count) + 1.0) * fraction);
  const double lit = steps * d.rangeEnd + d.rangeStart - 1.0;
  return static_cast<int>(std::clamp(lit, 0.0, static_cast<double>(d.frameHeight)));
}

using BlitFunction = void (*)(DrawContext&, const skin::SkinPixels&, int, int, int, int, int, int);

void DrawBarGraph(DrawContext& dc, const SkinImage& image, int lit, BlitFunction blit) {
  const auto& d = image.descriptor;
  const int x = d.paddingLeft, y = d.paddingTop, w = d.frameWidth, h = d.frameHeight;
  blit(dc, image.pixels, x, y + h - lit, w, lit, 0, h - lit);  // frame 0 lit, bottom rows
  blit(dc, image.pixels, x, y, w, h - lit, 0, h);              // frame 1 unlit, top rows
}

}  // namespace

const SkinFontInfo& kr::gui::StyleNamed(CVisualOb& ob, std::string_view name) {
  Skin* s = ob.GetSkin();
  return s ? s->GetStyle(name) : Skin::DefaultStyle();
}

float kr::gui::UnitValue(const std::string& text) {
  const double v = std::atof(text.c_str());
  return std::isfinite(v) ? static_cast<float>(std::clamp(v, 0.0, 1.0)) : 0.0f;
}

PanelValues& kr::gui::ValuesOf(CVisualOb& ob) {
  static PanelValues plain;
  PanelValues* v = ob.GetValues();
  return v ? *v : plain;
}

// --- text labels ---------------------------------------------------------------

CMyTextLabel::CMyTextLabel(std::string text, std::string styleName, std::uint32_t flags)
    : labelFlags(flags), text_(std::move(text)), styleName_(std::move(styleName)) {}

const SkinFontInfo& CMyTextLabel::Style() { return StyleNamed(*this, styleName_); }

Size CMyTextLabel::GetPreferredSize() {
  const std::string t = Text();
  return FontOfStyle(Style()).Measure(t.empty() ? " " : t);
}

void CMyTextLabel::Open() {
  if (colorRef == 0xFFFFFF) colorRef = static_cast<std::uint32_t>(Style().colour);
  CVisualOb::Open();
}

void CMyTextLabel::DrawSelf(DrawContext& dc) {
  const Align align = (labelFlags & LF_CENTRE) ? Align::Centre : (labelFlags & LF_RIGHT) ? Align::Right : Align::Left;
  DrawTextLine(dc, GetClientRect(), Text(), Style(), align, colorRef, (labelFlags & LF_TRANSPARENT) ? -1 : background);
}

// --- bitmap controls -------------------------------------------------------------

Size kr::gui::ImageCell::Of(const SkinImage& image) {
  const auto& d = image.descriptor;
  return {d.paddingLeft + d.frameWidth + d.paddingRight, d.paddingTop + d.frameHeight + d.paddingBottom};
}

CMyBmpCtrl::CMyBmpCtrl(std::string imageName, std::unique_ptr<ControlMapper> mapper, bool toggle)
    : CVisualOb(nullptr, VF_CENTRE_H | VF_PARENT_MENU | VF_HAS_TOOLTIP | VF_TOOLTIP_FROM_PARENT),
      imageName_(std::move(imageName)), mapper_(std::move(mapper)), toggle_(toggle) {
  if (mapper_) mapper_->Attach(*this);
}

void CMyBmpCtrl::LoadImage() {
  if (image_) return;
  if (Skin* s = GetSkin()) image_ = s->GetImage(imageName_);
}

Size CMyBmpCtrl::GetPreferredSize() {
  LoadImage();
  return image_ ? ImageCell::Of(*image_) : Size{20, 20};
}

void CMyBmpCtrl::Open() {
  LoadImage();
  value_ = mapper_ ? std::clamp(mapper_->WidgetValue(ValuesOf(*this)) * 100.0f, 0.0f, 100.0f) : 0.0f;
  position_ = ComputePosition();
  CVisualOb::Open();
}

int CMyBmpCtrl::ComputePosition() const {
  if (!image_) return 0;
  const auto& d = image_->descriptor;
  const int n = std::clamp(static_cast<int>(std::floor(value_ + 0.5f)), 0, 100);
  const int g = d.lastFrame;
  switch (d.type) {
    case skin::kKnob: {
      int k;
      if (rotationScale == 0) {
        k = (n * g + 50) / 100;
      } else {
        float m = value_ * 0.01f * rotationScale + rotationOffset;
        if (m < 0) m += 1;
        if (m > 1) m -= 1;
        m = std::clamp(m, 0.0f, 1.0f);
        k = static_cast<int>(std::floor(m * static_cast<float>(g + 1) + 0.5f));
        if (k > g) k = 0;
      }
      return k * d.frameHeight;
    }
    case skin::kSlider: {
      const double a = d.rangeStart, b = d.rangeEnd;
      const double p = d.code != 0 ? a + n * (b - a) * 0.01 : b - n * (b - a) * 0.01;
      return static_cast<int>(std::floor(p));
    }
    case skin::kBarGraph:
      return LitRows(d, value_ * 0.01);
    default:
      return 0;
  }
}

void CMyBmpCtrl::DrawSelf(DrawContext& dc) {
  if (!image_) return;
  const auto& d = image_->descriptor;
  const int x = d.paddingLeft, y = d.paddingTop;
  switch (d.type) {
    case skin::kBarGraph:
      DrawBarGraph(dc, *image_, position_, &DrawLinear);
      break;
    case skin::kSlider: {
      DrawLinear(dc, image_->pixels, x, y, d.frameWidth, d.frameHeight, 0, 0);
      const DocRect& h = d.handleRect;
      const int hw = h.right - h.left, hh = h.bottom - h.top;
      if (d.code != 0) DrawLinear(dc, image_->pixels, x + position_, y + h.top, hw, hh, h.left, h.top);
      else DrawLinear(dc, image_->pixels, x + h.left, y + position_, hw, hh, h.left, h.top);
      break;
    }
    default:
      DrawLinear(dc, image_->pixels, x, y, d.frameWidth, d.frameHeight, 0, position_);
  }
}

bool CMyBmpCtrl::IsHitTarget() {
  return !image_ || (image_->descriptor.type != skin::kBarGraph && image_->descriptor.code != -1);
}

std::string CMyBmpCtrl::GetToolTipText() { return mapper_ ? mapper_->Text(ValuesOf(*this)) : std::string(); }

CMyBmpCtrl2::CMyBmpCtrl2(const Plugs& plugs)
    : CVisualOb(nullptr, VF_CENTRE_H | VF_PARENT_MENU | VF_HAS_TOOLTIP), positionPlug_(plugs.position),
      fileNamePlug_(plugs.fileName), mouseDownPlug_(plugs.mouseDown), frameCountPlug_(plugs.frameCount) {}

void CMyBmpCtrl2::LoadImage() {
  if (loaded_) return;
  Skin* s = GetSkin();
  if (!s) return;
  loaded_ = true;
  loadedName_ = FileName();
  if (!loadedName_.empty()) image_ = s->GetImage(loadedName_, ImageMode());
}

std::string CMyBmpCtrl2::FileName() {
  return fileNamePlug_ ? ValuesOf(*this).PlugValue(*fileNamePlug_) : std::string();
}

void CMyBmpCtrl2::ReloadIfRenamed() {
  if (!IsOpen() || !loaded_ || FileName() == loadedName_) return;
  image_.reset();
  loaded_ = false;
  offset_ = 0;
  LoadImage();
  offset_ = ComputeOffset();
  WriteFrameCount();
  Invalidate();
}

void CMyBmpCtrl2::WriteFrameCount() {
  if (!frameCountPlug_) return;
  const int frames = image_ ? image_->descriptor.lastFrame + 1 : 0;
  ValuesOf(*this).SetPlugValue(*frameCountPlug_, std::to_string(frames));
}

Size CMyBmpCtrl2::GetPreferredSize() {
  LoadImage();
  return image_ ? ImageCell::Of(*image_) : Size{20, 20};
}

void CMyBmpCtrl2::Open() {
  PanelValues& values = ValuesOf(*this);
  LoadImage();
  value_ = positionPlug_ ? UnitValue(values.PlugValue(*positionPlug_)) : 0.0f;
  offset_ = ComputeOffset();
  WriteFrameCount();
  CVisualOb::Open();
}

int CMyBmpCtrl2::ComputeOffset() const {
  if (!image_) return 0;
  const auto& d = image_->descriptor;
  if (d.type == skin::kKnob) return static_cast<int>(std::floor(d.lastFrame * value_ + 0.5f)) * d.frameHeight;
  if (d.type == skin::kBarGraph) return LitRows(d, value_);
  return 0;
}

Point CMyBmpCtrl2::ImageOrigin() {
  return image_ ? Point{image_->descriptor.paddingLeft, image_->descriptor.paddingTop} : Point{0, 0};
}

void CMyBmpCtrl2::DrawSelf(DrawContext& dc) {
  if (image_) return DrawImage(dc);
  // The placeholder: a grey outline and a small picture sign.
  FrameRect(dc, GetClientRect(), Rgb(125, 125, 125));
  FrameRect(dc, {2, 2, 14, 12}, Rgb(125, 125, 125));
  DrawLine(dc, 3, 10, 6, 6, Rgb(125, 125, 125));
  DrawLine(dc, 6, 6, 9, 10, Rgb(125, 125, 125));
  DrawLine(dc, 9, 10, 11, 8, Rgb(125, 125, 125));
  DrawLine(dc, 11, 8, 12, 10, Rgb(125, 125, 125));
}

void CMyBmpCtrl2::DrawImage(DrawContext& dc) {
  const auto& d = image_->descriptor;
  const Point at = ImageOrigin();
  if (d.type == skin::kBarGraph) return DrawBarGraph(dc, *image_, offset_, &DrawGamma);
  DrawGamma(dc, image_->pixels, at.x, at.y, d.frameWidth, d.frameHeight, 0, offset_);
}

CVisualOb* CMyBmpCtrl2::HitTest(Point p, bool* marker) {
  if (!GetClientRect().Contains(p)) return nullptr;
  if (marker) *marker = true;
  if (!image_) return this;
  const auto& d = image_->descriptor;
  const auto& px = image_->pixels;
  const Point at = ImageOrigin();
  const int x = p.x - at.x, y = p.y - at.y;
  if (x < 0 || y < 0 || x >= d.frameWidth || y >= d.frameHeight) return nullptr;
  if (d.type == skin::kKnob) {
    const int sy = y + offset_;
    if (x >= px.width || sy >= px.height) return nullptr;
    const bool seen =
        px.mode == skin::PixelMode::Coverage ? px.CoverageAt(x, sy) > 0 : (px.ColourAt(x, sy) >> 24) != 255;
    return seen ? this : nullptr;
  }
  if (d.type == skin::kBarGraph) {
    if (x >= px.width || y >= px.height) return nullptr;
    const bool seen =
        px.mode == skin::PixelMode::Coverage ? px.CoverageAt(x, y) > 0 : (px.ColourAt(x, y) & 0x00FFFFFF) != 0;
    return seen ? this : nullptr;
  }
  return nullptr;
}

// --- labels from plugs ------------------------------------------------------

CMyTextLabel2::CMyTextLabel2(CPlug2* text, const CPlug2* style, const CPlug2* multiline, const CPlug2* mode)
    : CVisualOb(nullptr, VF_STRETCH_WIDTH | VF_RESIZABLE | VF_STRETCH_HEIGHT), textPlug_(text), stylePlug_(style),
      multilinePlug_(multiline), modePlug_(mode) {}

Size CMyTextLabel2::GetPreferredSize() {
  if (GetViewKind() == kPanelView) return {4, 4};
  return FontOfStyle(Skin::DefaultStyle()).Measure("8888.8");
}

std::string CMyTextLabel2::Text() { return textPlug_ ? ValuesOf(*this).PlugValue(*textPlug_) : std::string(); }

void CMyTextLabel2::DrawSelf(DrawContext& dc) {
  PanelValues& values = ValuesOf(*this);
  const int category = stylePlug_ ? ParameterTextToInt(values.PlugValue(*stylePlug_)) : 0;
  Skin* s = GetSkin();
  const SkinFontInfo& style = s ? s->GetStyle(category) : Skin::DefaultStyle();
  const Rect inner = GetClientRect().Inset(3);
  if (style.background >= 0) FillRect(dc, inner, FromColorRef(static_cast<std::uint32_t>(style.background)));
  const bool multiline = multilinePlug_ && ParameterTextToInt(values.PlugValue(*multilinePlug_)) != 0;
  const std::string text = Text();
  if (multiline) DrawTextWrapped(dc, inner, text, style, AlignOfStyle(style), static_cast<std::uint32_t>(style.colour));
  else DrawTextLine(dc, inner, text, style, AlignOfStyle(style), static_cast<std::uint32_t>(style.colour), -1);
}

CMyListEntry::CMyListEntry(CPlug2* list, const CPlug2* style) : CMyTextLabel2(list, style, nullptr) {}

std::string CMyListEntry::ListText() {
  if (!textPlug_) return {};
  // The item list of the plug's other end when it is wired, else its own.
  std::string list = textPlug_->ItemList();
  for (const CLine2* w : textPlug_->Wires())
    if (w && w->From() && w->To()) list = (w->From() == textPlug_ ? w->To() : w->From())->ItemList();
  return list;
}

std::string CMyListEntry::Text() {
  if (!textPlug_) return {};
  return LabelOfValue(ListText(), ParameterTextToInt(ValuesOf(*this).PlugValue(*textPlug_)));
}

}  // namespace kr
