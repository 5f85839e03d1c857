// The self-drawing panels and the parameter widgets: the on-screen keyboard
// (notes by the pixel, hold, computer keys, its picture), the text console,
// a parameter's attributes shown as parameters (ParamMsgMap) and the
// default widget of each data type.
#include <gtest/gtest.h>

#include <typeinfo>

#include "document/plug2.h"
#include "gui/panel/default_widgets.h"
#include "gui/panel/keyboard_panel.h"
#include "gui/panel/param_msg_map.h"
#include "gui/panel/tty_panel.h"
#include "gui/visual/owner_drawn.h"
#include "gui/visual/widgets.h"
#include "support/panel_rig.h"

using namespace kr;

namespace {

using namespace kr::gui;

const char* kSelfDrawingPatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrSd", "panel_size": [300, 200] },
  "root": { "modules": [ { "module": "Container", "id": "top", "modules": [
    { "module": "KeyBoard", "id": "keys", "title": "Keys", "panel_rect": [10, 10, 130, 45] },
    { "module": "MIDI Monitor", "id": "monitor", "title": "Monitor", "rect": [10, 60, 210, 176] }
  ] } ] }
})";

// Records the notifications the panel sends and hands out printed lines.
struct RecordingValues : PanelValues {
  void SendNotify(CUG&, int kind, int value) override { sent.emplace_back(kind, value); }
  std::vector<std::string> TakePrinted(const CUG&) override { return std::exchange(printed, {}); }
  std::vector<std::pair<int, int>> sent;
  std::vector<std::string> printed;
};

class SelfDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    auto values = std::make_unique<RecordingValues>();
    record = values.get();
    rig = std::make_unique<krtest::PanelRig>(kSelfDrawingPatch, krtest::kGuiData, -1, std::move(values));
    rig->view->SetClock([this] { return now; });
    for (CVisualOb* w : Widgets()) {
      if (auto* k = dynamic_cast<KeyboardPanel*>(&static_cast<CMyOwnerDrawn2*>(w)->Drawn())) keyboard = w, keys = k;
      if (auto* t = dynamic_cast<TtyPanel*>(&static_cast<CMyOwnerDrawn2*>(w)->Drawn())) console = w, tty = t;
    }
    ASSERT_NE(keys, nullptr);
    ASSERT_NE(tty, nullptr);
  }
  std::vector<CVisualOb*> Widgets() {
    std::vector<CVisualOb*> out;
    krtest::WalkTree(*rig->view, [&](CVisualOb& ob) {
      if (typeid(ob) == typeid(CMyOwnerDrawn2)) out.push_back(&ob);
    });
    return out;
  }
  PanelView& View() { return *rig->view; }
  // A point of the keyboard in panel coordinates.
  Point Key(int x, int y) {
    const Point at = keyboard->RootPosition();
    return {at.x + x, at.y + y};
  }
  void Press(Point p) {
    now += 1000;
    View().MouseDown(p, kLeftButton);
  }
  void Click(Point p) {
    Press(p);
    View().MouseUp(p, 0);
  }
  std::vector<std::pair<int, int>> Sent() { return std::exchange(record->sent, {}); }
  static std::pair<int, int> On(int note) { return {KeyboardPanel::kNoteOn, note}; }
  static std::pair<int, int> Off(int note) { return {KeyboardPanel::kNoteOff, note}; }
  Pixel PixelAt(Point p) { return rig->PixelAt(p); }

  std::unique_ptr<krtest::PanelRig> rig;
  RecordingValues* record = nullptr;
  CVisualOb* keyboard = nullptr;
  KeyboardPanel* keys = nullptr;
  CVisualOb* console = nullptr;
  TtyPanel* tty = nullptr;
  std::uint32_t now = 5000;
};

// On a keyboard 120 x 19 (key width 6): white keys from note 36, black keys
// in the upper half between them, none between E and F (nor B and C).
TEST(KeyboardGeometry, NotesUnderPointsAndComputerKeys) {
  EXPECT_EQ(KeyboardPanel::KeyWidth(120), 6);
  EXPECT_EQ(KeyboardPanel::NoteAt({0, 15}, 120, 19), 36);
  EXPECT_EQ(KeyboardPanel::NoteAt({13, 2}, 120, 19), 39) << "the black key between D and E";
  EXPECT_EQ(KeyboardPanel::NoteAt({16, 2}, 120, 19), 40) << "no black key between E and F";
  EXPECT_EQ(KeyboardPanel::NoteAt({16, 15}, 120, 19), 40);
  EXPECT_EQ(KeyboardPanel::NoteAt({42, 15}, 120, 19), 48) << "the next octave's C";
  EXPECT_EQ(KeyboardPanel::NoteAt({40, 2}, 120, 19), 47) << "B at the B-C boundary";
  EXPECT_EQ(KeyboardPanel::NoteAt({100000, 15}, 120, 19), 127) << "held to the MIDI notes";
  EXPECT_EQ(KeyboardPanel::NoteAt({0, 30}, 500, 40), 36);
  EXPECT_EQ(KeyboardPanel::NoteAt({14, 30}, 500, 40), 38) << "500 pixels: keys 14 wide";
  EXPECT_EQ(KeyboardPanel::NoteAt({14, 10}, 500, 40), 37) << "the upper half of a taller keyboard";
  EXPECT_EQ(KeyboardPanel::NoteOfKey('Z'), 48);
  EXPECT_EQ(KeyboardPanel::NoteOfKey('z'), 48);
  EXPECT_EQ(KeyboardPanel::NoteOfKey('M'), 59);
  EXPECT_EQ(KeyboardPanel::NoteOfKey('Q'), 60);
  EXPECT_EQ(KeyboardPanel::NoteOfKey('2'), 61);
  EXPECT_EQ(KeyboardPanel::NoteOfKey('P'), 76);
  EXPECT_EQ(KeyboardPanel::NoteOfKey('A'), -1);
  EXPECT_EQ(KeyboardPanel::NoteOfKey(kKeySpace), -1);
}

TEST_F(SelfDrawing, KeysPlayByTheMouseAndHoldTogglesInTheCorner) {
  ASSERT_EQ(keyboard->GetRect().Width(), 120);
  ASSERT_EQ(keyboard->GetRect().Height(), 19);
  Press(Key(0, 15));
  EXPECT_EQ(Sent(), (std::vector{On(36)}));
  EXPECT_TRUE(keys->Down(36));
  View().MouseMove(Key(13, 2), kLeftButton);
  EXPECT_EQ(Sent(), (std::vector{On(39), Off(36)})) << "a drag plays the next and lets the last go";
  View().MouseUp(Key(13, 2), 0);
  EXPECT_EQ(Sent(), (std::vector{Off(39)}));

  Click(Key(5, 5));
  EXPECT_TRUE(keys->Hold());
  EXPECT_TRUE(Sent().empty()) << "the corner plays nothing";
  Click(Key(16, 2));
  Click(Key(30, 15));
  EXPECT_EQ(Sent(), (std::vector{On(40), On(45)})) << "held: no note off on release";
  Click(Key(16, 2));
  EXPECT_EQ(Sent(), (std::vector{Off(40)})) << "pressing a held key stops it";
  Click(Key(5, 5));
  EXPECT_FALSE(keys->Hold());
  EXPECT_EQ(Sent(), (std::vector{Off(45)})) << "hold off releases every held note";
}

TEST_F(SelfDrawing, ComputerKeysPlayThroughTheReceiver) {
  EXPECT_EQ(View().State().keyboardReceiver, keyboard);
  View().KeyDown('Z', 0);
  View().KeyDown('Z', kKeyRepeat);
  View().KeyDown('Q', kShift);
  View().KeyDown('A', 0);
  EXPECT_EQ(Sent(), (std::vector{On(48)})) << "repeats, Shift and other keys play nothing";
  View().KeyUp('z', 0);
  EXPECT_EQ(Sent(), (std::vector{Off(48)}));
  keys->MouseDown(*keyboard, {5, 5}, 0);  // hold on
  View().KeyDown('2', 0);
  View().KeyUp('2', 0);
  EXPECT_EQ(Sent(), (std::vector{On(61)})) << "held: the key up keeps the note";
  View().ClosePanel();
  EXPECT_EQ(Sent(), (std::vector{Off(61)})) << "the panel going stops what it held";
}

TEST_F(SelfDrawing, KeyboardDrawsDownKeysRedAndTheHoldSign) {
  EXPECT_EQ(PixelAt(Key(3, 15)), Rgb(255, 255, 255));
  EXPECT_EQ(PixelAt(Key(12, 7)), Rgb(0, 0, 0)) << "the black key between D and E";
  EXPECT_EQ(PixelAt(Key(12, 15)), Rgb(0, 0, 0)) << "the line left of each white key";
  Press(Key(3, 15));
  EXPECT_EQ(PixelAt(Key(3, 15)), Rgb(255, 0, 0)) << "C is down";
  View().MouseUp(Key(3, 15), 0);
  EXPECT_EQ(PixelAt(Key(3, 15)), Rgb(255, 255, 255));
  Press(Key(13, 7));
  EXPECT_EQ(PixelAt(Key(12, 7)), Rgb(255, 0, 0)) << "D sharp is down";
  View().MouseUp(Key(13, 7), 0);
  EXPECT_EQ(PixelAt(Key(12, 7)), Rgb(0, 0, 0));
  // The "T" in the corner: grey, green with hold on (blended into the white
  // key at its edges).
  auto tinted = [&](bool green) {
    int n = 0;
    for (Pixel p : rig->Render(Rect::At(Key(1, 0), {3, 10}))) {
      const int r = RedOf(p), g = GreenOf(p), b = BlueOf(p);
      n += green ? g > r + 40 && g > b + 40 : r == g && g == b && r < 200;
    }
    return n;
  };
  EXPECT_GT(tinted(false), 0);
  EXPECT_EQ(tinted(true), 0);
  Click(Key(5, 5));
  EXPECT_GT(tinted(true), 0);
  EXPECT_EQ(tinted(false), 0);
}

TEST_F(SelfDrawing, ConsoleShowsTheLastSevenLinesAndClears) {
  EXPECT_EQ(console->GetRect().GetSize(), (Size{200, 100})) << "the console's own size";
  for (int i = 1; i <= 9; ++i) record->printed.push_back("line " + std::to_string(i) + "\n");
  View().Refresh();
  ASSERT_EQ(tty->Lines().size(), 7u);
  EXPECT_EQ(tty->Lines().front(), "line 3");
  EXPECT_EQ(tty->Lines().back(), "line 9") << "line feeds removed";
  const Pixel back = PixelAt(Point{console->RootPosition().x + 190, console->RootPosition().y + 95});
  bool text = false;
  for (Pixel p : rig->Render(Rect::At(console->RootPosition(), {60, 16}))) text |= p != back;
  EXPECT_TRUE(text) << "the first line is drawn";
  record->printed = {"<BEEP>", "<CLS>", "after"};
  View().Refresh();
  EXPECT_EQ(std::vector<std::string>(tty->Lines().begin(), tty->Lines().end()), std::vector<std::string>{"after"});
}

// A parameter with a MIDI controller and an NRPN that announces their changes.
class LearnedParameter final : public generic_parameter {
 public:
  std::string ValueText() const override { return "2"; }
  std::string DisplayText() const override { return "Saw"; }
  void SetValueText(std::string_view) override {}
  std::string Name() const override { return "Wave"; }
  std::string Label() const override { return "Shape"; }
  int DataType() const override { return DT_ENUM; }
  int MidiController() const override { return controller; }
  int MidiNrpn() const override { return nrpn; }
  void SetMidiController(int c) override {
    controller = c;
    Notify(ParamMsgMap::kController);
  }
  void SetMidiNrpn(int n) override {
    nrpn = n;
    Notify(ParamMsgMap::kNrpn);
  }
  int controller = -1;
  int nrpn = 0;
};

struct Watcher final : Notifiable {
  void OnNotify(Notifier*, int code, void*) override { codes.push_back(code); }
  std::vector<int> codes;
};

TEST(ParamMsgMaps, PresentNameValueControllerAndNrpn) {
  auto target = std::make_unique<LearnedParameter>();
  ParamMsgMap name(*target, ParamMsgMap::kName), value(*target, ParamMsgMap::kValueText),
      controller(*target, ParamMsgMap::kController), nrpn(*target, ParamMsgMap::kNrpn);
  EXPECT_EQ(name.ValueText(), "Wave");
  EXPECT_EQ(name.Name(), "Parameter Name");
  EXPECT_FALSE(name.Editable()) << "this parameter cannot be renamed";
  EXPECT_EQ(value.ValueText(), "Saw");
  EXPECT_EQ(value.Name(), "Shape");
  EXPECT_EQ(controller.Name(), "Controller");
  EXPECT_EQ(controller.DisplayText(), "<none>");
  EXPECT_EQ(nrpn.Name(), "Non Registered Parameter Number");
  EXPECT_EQ(nrpn.ItemList(), "range 0,16383");

  Watcher watch;
  controller.AddObserver(&watch);
  controller.SetValueText("74");
  EXPECT_EQ(target->controller, 74);
  EXPECT_EQ(controller.DisplayText(), "74 - Sound Brightness");
  EXPECT_EQ(watch.codes, (std::vector<int>{NC_PARAMETER_VALUE, NC_PARAMETER_VALUE}))
      << "the parameter's announcement passed on, then its own";
  controller.RemoveObserver(&watch);
  nrpn.SetValueText("300");
  EXPECT_EQ(target->nrpn, 300);
  target->SetMidiNrpn(5);
  EXPECT_EQ(nrpn.ValueText(), "5");
  name.SetValueText("other");
  EXPECT_EQ(target->Name(), "Wave");

  target.reset();
  EXPECT_EQ(controller.Target(), nullptr) << "the parameter went";
  EXPECT_EQ(controller.ValueText(), "");
  controller.SetValueText("1");  // nothing to set, nothing breaks
}

TEST(ParamMsgMaps, PlugNamesCanBeChanged) {
  CPlugNameable plug;
  ParamMsgMap name(plug, ParamMsgMap::kName);
  EXPECT_TRUE(name.Editable());
  name.SetValueText("Cutoff");
  EXPECT_EQ(plug.Name(), "Cutoff");
  auto widget = MakeParamMsgMapWidget(plug, ParamMsgMap::kName);
  ASSERT_EQ(widget->Children().size(), 1u);
  EXPECT_EQ(typeid(*widget->Children().front()), typeid(CMyEdit)) << "an editable name is an edit box";
}

// A parameter of a given type and item list.
class TypedParameter final : public generic_parameter {
 public:
  TypedParameter(int type, std::string items = {}) : type_(type), items_(std::move(items)) {}
  std::string ValueText() const override { return "0"; }
  void SetValueText(std::string_view) override {}
  std::string Name() const override { return "Typed"; }
  int DataType() const override { return type_; }
  std::string ItemList() const override { return items_; }

 private:
  int type_;
  std::string items_;
};

// The classes of a widget and of what it holds, depth first.
std::vector<std::string> Shape(CVisualOb& ob) {
  std::vector<std::string> out{typeid(ob).name()};
  for (const auto& c : ob.Children())
    for (const std::string& s : Shape(*c)) out.push_back(s);
  return out;
}

TEST(DefaultWidgets, OneWidgetPerDataType) {
  const std::string combo = typeid(CMyCombobox).name(), edit = typeid(CMyEdit).name(),
                    spin = typeid(CMySpinButtonCtrl).name(), bitmap = typeid(CMyBmpCtrl).name(),
                    label = typeid(CMyTextLabel).name(), group = typeid(CGroup).name();
  TypedParameter list(DT_ENUM, "Sine,Saw"), range(DT_ENUM, "range 0,7"), flag(DT_BOOL), number(DT_FLOAT),
      midi(DT_MIDI), hosted(kHostedParameterType);
  EXPECT_EQ(Shape(*MakeDefaultWidget(list)), (std::vector{combo}));
  EXPECT_EQ(Shape(*MakeDefaultWidget(range)), (std::vector{group, edit, spin}));
  EXPECT_EQ(Shape(*MakeDefaultWidget(flag)), (std::vector{bitmap}));
  EXPECT_EQ(Shape(*MakeDefaultWidget(number)), (std::vector{edit}));
  EXPECT_EQ(MakeDefaultWidget(midi), nullptr);
  const auto knob = MakeDefaultWidget(hosted);
  ASSERT_EQ(Shape(*knob).size(), 4u);
  EXPECT_EQ(Shape(*knob)[1], bitmap) << "a small knob, then the value text";
  EXPECT_EQ(Shape(*knob)[3], label);
  EXPECT_EQ(knob->Children().front()->tabIndex, 1);
  for (auto* p : std::initializer_list<generic_parameter*>{&list, &range, &flag, &number})
    EXPECT_EQ(MakeDefaultWidget(*p)->Flags() & (VF_OWNED | VF_STRETCH_HEIGHT), VF_OWNED | VF_STRETCH_HEIGHT);
}

}  // namespace
