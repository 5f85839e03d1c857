#include "gui/panel/populate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "document/container.h"
#include "document/controls.h"
#include "document/line2.h"
#include "document/panel_objects.h"
#include "gui/panel/curve_panel.h"
#include "gui/panel/envelope_panel.h"
#include "gui/panel/keyboard_panel.h"
#include "gui/panel/level_out_panel.h"
#include "gui/panel/mappers.h"
#include "gui/panel/panel_values.h"
#include "gui/panel/portal.h"
#include "gui/panel/soundfont_panel.h"
#include "gui/panel/tab_box.h"
#include "gui/panel/tty_panel.h"
#include "gui/panel/wave_shape_panel.h"
#include "gui/visual/joystick.h"
#include "gui/visual/layout.h"
#include "gui/visual/owner_drawn.h"
#include "gui/visual/tinted_image.h"
#include "gui/visual/widgets.h"
#include "registry/item_list.h"
#include "registry/module_info.h"

namespace kr::gui {

namespace {

namespace cc = control_classes;
using kr::gui::PanelValues;
namespace pc = panel_classes;

// A setting of a control module: its plug's value text, or the fallback
// while the module's plug list has no such plug.
std::string Setting(const CUG& module, std::string_view name, std::string_view fallback) {
  const CPlug2* p = module.FindPlug(name);
  return p ? p->ValueText() : std::string(fallback);
}
int SettingInt(const CUG& module, std::string_view name, int fallback) {
  const CPlug2* p = module.FindPlug(name);
  return p ? ParameterTextToInt(p->ValueText()) : fallback;
}

std::unique_ptr<CMyBmpCtrl> Bitmap(const char* image, std::unique_ptr<kr::gui::ControlMapper> mapper,
                                   bool toggle = false) {
  return std::make_unique<CMyBmpCtrl>(image, std::move(mapper), toggle);
}

std::unique_ptr<kr::gui::ControlMapper> ParamMapper(generic_parameter& p) {
  return std::make_unique<control_mapper_bmc_param>(p);
}

// --- the populate step of each control ------------------------------------------

// "Slider": one widget by "Appearance", then a readout when asked.
void PopulateSlider(Ctl_Wnd& box, CControl& control) {
  generic_parameter& p = control.Parameter();
  std::unique_ptr<CVisualOb> widget;
  switch (SettingInt(control, "Appearance", 3)) {
    case 0: widget = std::make_unique<CMySliderCtrl>(p); break;
    case 1: widget = Bitmap("vslider_med", ParamMapper(p)); break;
    case 2: widget = Bitmap("hslider_med", ParamMapper(p)); break;
    case 3: widget = Bitmap("knob_med", ParamMapper(p)); break;
    case 4: widget = Bitmap("button", ParamMapper(p)); break;
    case 5: widget = Bitmap("button", ParamMapper(p), true); break;
    case 6: widget = std::make_unique<CMyButton>("", &p); break;
    case 7: widget = Bitmap("knob_sm", ParamMapper(p)); break;
    case 8: widget = Bitmap("button_sm", ParamMapper(p)); break;
    case 9: widget = Bitmap("button_sm", ParamMapper(p), true); break;
    default: break;  // "None", or a value outside the list: no widget
  }
  if (widget) {
    widget->tabIndex = 1;
    box.Add(std::move(widget));
  }
  if (SettingInt(control, "Show Readout", 0) == 1) box.Add(std::make_unique<CMyEdit>(p, 6));
}

// The items of a list control, at most 128 of them (a range may be huge).
std::vector<std::string> Items(const generic_parameter& p) {
  std::vector<std::string> items;
  EnumListIterator it(p.ItemList());
  for (it.First(); !it.IsDone() && items.size() < 128; it.Next()) items.push_back(it.CurrentLabel());
  return items;
}

std::unique_ptr<CVisualOb> Label(std::string text, const char* style, std::uint32_t flags = LF_TRANSPARENT) {
  return std::make_unique<CMyTextLabel>(std::move(text), style, flags);
}

// "List Entry", by "Appearance".
void PopulateList(Ctl_Wnd& box, CControl& control) {
  box.SetFlags(VF_RESIZABLE);
  generic_parameter& p = control.Parameter();
  const int appearance = SettingInt(control, "Appearance", 0);
  switch (appearance) {
    case 0: box.Add(std::make_unique<CMyCombobox>(p)); break;
    case 1:
    case 2:
    case 4: {
      auto grid = std::make_unique<CGroup>();
      int row = 0;
      for (const std::string& item : Items(p)) {
        const bool buttons = appearance == 4;
        grid->AddItem(Bitmap(buttons ? "button_sm" : "led", std::make_unique<control_mapper_bmc_enum>(p, 0, item), buttons),
                      row, 0);
        if (appearance != 1) grid->AddItem(Label(item, "switch_label"), row, 1);
        ++row;
      }
      if (appearance != 4) grid->AddItem(Bitmap("button_sm", std::make_unique<control_mapper_bmc_enum>(p, 1)), row, 0);
      box.Add(std::move(grid));
      break;
    }
    case 3: {
      auto grid = std::make_unique<CGroup>();
      grid->AddItem(Bitmap("button_sm", std::make_unique<control_mapper_bmc_enum>(p, 1)), 0, 0);
      auto text = std::make_unique<CMyTextLabel>("", "selector_text", LF_TRANSPARENT);
      text->SetSource([&p] { return p.DisplayText(); });
      grid->AddItem(std::move(text), 0, 1);
      box.Add(std::move(grid));
      break;
    }
    case 5:
    case 6: {
      // The knob's frames go once round the circle; the items stand from
      // -135 degrees (the first) to +135 degrees (the last), one step apart.
      auto knob = Bitmap("switch_rotary", std::make_unique<control_mapper_bmc_enum>(p, 3));
      const auto items = Items(p);
      const double first = -0.75 * std::numbers::pi;
      const double step = items.size() > 1 ? 1.5 * std::numbers::pi / static_cast<double>(items.size() - 1) : 0;
      knob->rotationOffset = static_cast<float>(first / (2 * std::numbers::pi));
      knob->rotationScale = static_cast<float>(step * static_cast<double>(items.size() > 1 ? items.size() - 1 : 0) /
                                               (2 * std::numbers::pi));
      if (appearance == 6 || items.empty()) {
        box.Add(std::move(knob));
        break;
      }
      // Labels on an arc around the knob, from a radius of 35 pixels.
      auto loose = std::make_unique<GroupLoose>();
      const int radius = 35 + static_cast<int>(items.size() > 8 ? (items.size() - 8) * 3 : 0);
      const int cx = radius + 20, cy = radius + 10;
      CVisualOb& k = loose->AddChild(std::move(knob));
      const Size ks = k.GetPreferredSize();
      k.SetRect(Rect::At({cx - ks.width / 2, cy - ks.height / 2}, ks));
      for (std::size_t i = 0; i < items.size(); ++i) {
        const double a = first + step * static_cast<double>(i);
        auto label = Label(items[i], "switch_label");
        const Size s = label->GetPreferredSize();
        const int x = cx + static_cast<int>(std::lround(std::sin(a) * radius)) - s.width / 2;
        const int y = cy - static_cast<int>(std::lround(std::cos(a) * radius)) - s.height / 2;
        CVisualOb& l = loose->AddChild(std::move(label));
        l.SetRect(Rect::At({x, y}, s));
      }
      loose->Normalise();
      box.Add(std::move(loose));
      break;
    }
    case 7: {
      auto grid = std::make_unique<CGroup>();
      grid->AddItem(Bitmap("arrow_left", std::make_unique<control_mapper_bmc_enum>(p, 0)), 0, 0);
      auto text = std::make_unique<CMyTextLabel>("", "selector_text", LF_TRANSPARENT);
      text->SetSource([&p] { return p.DisplayText(); });
      grid->AddItem(std::move(text), 0, 1);
      grid->AddItem(Bitmap("arrow_right", std::make_unique<control_mapper_bmc_enum>(p, 1)), 0, 2);
      box.Add(std::move(grid));
      break;
    }
    default: break;
  }
}

// What meters show: the level their audio module last reported when the
// panel has one, else the control's own value. A peak meter's value is its
// level x 0.01 and is its own normalised value; an LED's level is 0 or 100.
class MeterMapper : public kr::gui::ControlMapper {
 public:
  MeterMapper(CControl& control, bool peak) : ControlMapper(control.Parameter()), control_(control), peak_(peak) {}
  float WidgetValue(PanelValues& values) override {
    if (auto level = values.MeterLevel(control_)) return Unit(*level * 0.01);
    if (peak_) return Unit(std::atof(values.ValueText(parameter_).c_str()));
    return values.Normalised(parameter_);
  }
  void SetWidgetValue(PanelValues&, float) override {}  // display only

 private:
  static float Unit(double v) { return std::isfinite(v) ? static_cast<float>(std::clamp(v, 0.0, 1.0)) : 0.0f; }
  CControl& control_;
  bool peak_;
};

// Display-only controls: read-only bitmaps.
void PopulateDisplay(Ctl_Wnd& box, CControl& control, const char* image, bool peak) {
  auto widget = Bitmap(image, std::make_unique<MeterMapper>(control, peak));
  widget->SetFlags(VF_READ_ONLY);
  box.Add(std::move(widget));
}

void PopulateVoltMeter(Ctl_Wnd& box, CControl& control, Ctl_Wnd& self) {
  auto label = std::make_unique<CMyTextLabel>("", "control_label", LF_TRANSPARENT | LF_CENTRE);
  label->SetFlags(VF_STRETCH_WIDTH);
  generic_parameter& p = control.Parameter();
  CVisualOb* owner = &self;
  label->SetSource([&p, &control, owner] {
    PanelValues* values = owner->GetValues();
    if (values)
      if (auto level = values->MeterLevel(control)) {
        const double v = SettingInt(control, "Mode", 0) == 1 ? std::sqrt(std::max(0.0f, *level)) : *level;
        return VoltText(v * 10);
      }
    return values ? values->ValueText(p) : p.ValueText();
  });
  box.Add(std::move(label));
}

// "Text Entry": an edit box; one that feeds a file name gets a browse button
// beside it, offering files of that plug's extension.
void PopulateText(Ctl_Wnd& box, CControl& control) {
  box.SetFlags(VF_RESIZABLE);
  auto edit = std::make_unique<CMyEdit>(control.Parameter(), 10);
  edit->SetFlags(VF_STRETCH_WIDTH);
  const CPlug2* out = control.FindPlug("Text Out");
  if (!out || !(out->Flags() & PF_FILENAME)) {
    box.Add(std::move(edit));
    return;
  }
  auto row = std::make_unique<CGroup>();
  row->SetFlags(VF_STRETCH_WIDTH);
  row->AddItem(std::move(edit), 0, 0);
  row->AddItem(std::make_unique<CMyBrowseButton>(EditBinding::Of(control.Parameter()), out->ListText()), 0, 1);
  box.Add(std::move(row));
}

// Self-drawing controls: one owner-drawn area, as large as the box.
void PopulateOwnerDrawn(Ctl_Wnd& box, std::unique_ptr<OwnerDrawn> drawn, std::uint32_t flags = 0) {
  box.SetFlags(VF_RESIZABLE);
  box.Add(std::make_unique<CMyOwnerDrawn2>(std::move(drawn), VF_STRETCH_WIDTH | VF_STRETCH_HEIGHT | flags));
}

// "Multistage Env": the envelope picture, then its segment fields.
void PopulateEnvelope(Ctl_Wnd& box, CControl& control) {
  auto session = std::make_shared<EnvelopeSession>(control);
  PopulateOwnerDrawn(box, std::make_unique<EnvelopePanel>(session), VF_FOCUS_ON_CLICK);  // its keys move points
  box.Add(MakeEnvelopeFields(std::move(session)));
}

// "WaveShaper" and "WaveShaper2": the curve of the "shape" text; the formula
// of "WaveShaper2" is typed in a label under it.
void PopulateWaveShaper(Ctl_Wnd& box, CUG& module, bool formula) {
  CPlug2* shape = module.FindPlug("shape");
  if (!shape) return;
  PopulateOwnerDrawn(box, std::make_unique<WaveShapePanel>(*shape, formula));
  if (formula) {
    auto label = std::make_unique<CMyTextLabel3>(shape);
    label->SetFlags(VF_STRETCH_WIDTH);
    box.Add(std::move(label));
  }
}

void PopulateSoundFont(Ctl_Wnd& box, CControl& control) {
  if (auto choosers = CSoundFontChoosers::Make(control)) box.Add(std::move(choosers));
}

// The module's own widgets after its title: by the control's class, else
// (modules without a control class of their own) by the module's name.
void PopulateControls(Ctl_Wnd& box, CUG& module) {
  const std::string name = module.Entry() ? module.Entry()->name : std::string();
  if (auto* control = dynamic_cast<CControl*>(&module)) {
    const RuntimeClass* c = &control->Class();
    if (c == &cc::kSlider) return PopulateSlider(box, *control);
    if (c == &cc::kCombo) return PopulateList(box, *control);
    if (c == &cc::kLED) return PopulateDisplay(box, *control, "led", false);
    if (c == &cc::kPeakMeter) return PopulateDisplay(box, *control, "bar_graph1", true);
    if (c == &cc::kVoltMeter) return PopulateVoltMeter(box, *control, box);
    if (c == &cc::kText) return PopulateText(box, *control);
    if (c == &cc::kOscSf || c == &cc::kSamplePlay2) return PopulateSoundFont(box, *control);
    if (c == &cc::kEnvEdit) return PopulateEnvelope(box, *control);
  }
  if (name == "KeyBoard") return PopulateOwnerDrawn(box, std::make_unique<KeyboardPanel>(module));
  if (name == "Monitor" || name == "MIDI Monitor") return PopulateOwnerDrawn(box, std::make_unique<TtyPanel>(module));
  if (name == "Freq Analyser") return PopulateOwnerDrawn(box, std::make_unique<CurvePanel>(module, 0.0f, -96.0f));
  if (name == "Freq Response Test") return PopulateOwnerDrawn(box, std::make_unique<CurvePanel>(module, 12.0f, -48.0f));
  if (name == "WaveShaper" || name == "WaveShaper2") return PopulateWaveShaper(box, module, name == "WaveShaper2");
  if (name == "Patch Parameter - Level Out") box.Add(std::make_unique<CLevelOutPanel>(module));
}

std::unique_ptr<CVisualOb> ModuleBox(CUG& module) {
  const Rect stored = Rect::FromDoc(module.GetRect(kPanelView));
  return std::make_unique<Ctl_Wnd>(&module, stored, [&module](Ctl_Wnd& box) {
    // The title first, or three spaces in its row when the module hides it.
    if (Setting(module, "Show Title On Panel", "1") == "0") box.Add(std::make_unique<CUGWndTitle>("   "));
    else box.Add(std::make_unique<CUGWndTitle>(module.Title()));
    PopulateControls(box, module);
  });
}

// --- panel objects with plugs -------------------------------------------------------

std::unique_ptr<CVisualOb> ControlObWidget(control_ob_base& ob) {
  const RuntimeClass* c = &ob.Class();
  const CMyBmpCtrl2::Plugs bitmap{ob.FindPlug("Animation Position"), ob.FindPlug("Filename"), ob.FindPlug("Mouse Down"),
                                  ob.FindPlug("Frame Count")};
  if (c == &pc::kControlObBitmap) return std::make_unique<CMyBmpCtrl2>(bitmap);
  if (c == &pc::kControlObJoystick)
    return std::make_unique<MyBmpCtrl_Joystick>(
        bitmap, MyBmpCtrl_Joystick::Axes{ob.FindPlug("Position X"), ob.FindPlug("Position Y")});
  if (c == &pc::kControlObTinted)
    return std::make_unique<CMyBmpCtrlTinted>(
        bitmap, CMyBmpCtrlTinted::Tint{ob.FindPlug("Hue"), ob.FindPlug("Saturation"), ob.FindPlug("Brightness")});
  if (c == &pc::kControlObText)
    return std::make_unique<CMyTextLabel2>(ob.FindPlug("Text"), ob.FindPlug("Style"), ob.FindPlug("Multiline"),
                                           ob.FindPlug("Mode"));
  if (c == &pc::kControlObList) return std::make_unique<CMyListEntry>(ob.FindPlug("List"), ob.FindPlug("Style"));
  return nullptr;
}

// The frame stands where its object says; its size follows its content
// once it is in the tree (when it opens).
std::unique_ptr<CVisualOb> Frame(CDocOb& doc, const Rect& stored, control_frame2::MakeContent make) {
  auto frame = std::make_unique<control_frame2>(&doc, std::move(make));
  frame->SetRect(stored);
  return frame;
}

// A group of visuals kept where their objects stand.
template <class Group, class Objects>
std::unique_ptr<Group> Gather(std::unique_ptr<Group> group, const Objects& objects) {
  for (CDocOb* ob : objects)
    if (auto v = MakePanelVisual(*ob)) group->AddChild(std::move(v));
  return group;
}

int g_depth = 0;  // nesting of sub-containers and groups being built

}  // namespace

std::unique_ptr<CVisualOb> MakePanelVisual(CDocOb& doc) {
  if (g_depth > 32) return nullptr;  // groups that hold themselves go no deeper
  struct Depth {
    Depth() { ++g_depth; }
    ~Depth() { --g_depth; }
  } depth;
  if (DynamicKind<CLine2>(&doc)) return nullptr;
  if (auto* box = DynamicKind<CPanelBox2>(&doc)) return std::make_unique<CPanelBoxWnd>(*box);
  if (auto* portal = DynamicKind<CPortal>(&doc)) return std::make_unique<CPortalWnd>(*portal);
  if (auto* container = DynamicKind<CContainer>(&doc)) {
    std::vector<CDocOb*> children;
    const auto onPages = ListedOnPages(*container);
    for (const auto& c : container->Children())
      if (!onPages.contains(c.get())) children.push_back(c.get());
    auto content = Gather(std::make_unique<control_group_auto_size>(container), children);
    if (content->Children().empty()) return nullptr;
    content->SetFlags(VF_CENTRE_H);
    auto shared = std::make_shared<std::unique_ptr<control_group_auto_size>>(std::move(content));
    return Frame(doc, Rect::FromDoc(container->GetRect(kPanelView)),
                 [shared]() -> std::unique_ptr<CVisualOb> { return std::move(*shared); });
  }
  if (auto* group = DynamicKind<control_group_ob>(&doc)) {
    std::vector<CDocOb*> members(group->members.begin(), group->members.end());
    auto loose = Gather(std::make_unique<GroupLoose>(&doc, VF_OWNED), members);
    const Rect stored = Rect::FromDoc(group->rect);
    const Size s = loose->GetPreferredSize();
    loose->SetRect(Rect::At(stored.TopLeft(), s));
    return loose;
  }
  if (auto* tabs = DynamicKind<CTabBox>(&doc)) return std::make_unique<CTabBoxWnd>(*tabs);
  if (auto* ob = DynamicKind<control_ob_base>(&doc)) {
    if (!ControlObWidget(*ob)) return nullptr;
    return Frame(doc, Rect::FromDoc(ob->rect), [ob] { return ControlObWidget(*ob); });
  }
  auto* module = DynamicKind<CUG>(&doc);
  if (!module || !module->Entry() || !module->Entry()->AllowsView(kPanelView)) return nullptr;
  return ModuleBox(*module);
}

std::unique_ptr<CMyView> MakeContainerPanel(CContainer& container) {
  auto panel = std::make_unique<CMyView>(container);
  const auto onPages = ListedOnPages(container);
  for (const auto& c : container.Children())
    if (!onPages.contains(c.get()))
      if (auto v = MakePanelVisual(*c)) panel->AddChild(std::move(v));
  return panel;
}

}  // namespace kr::gui
