// The GUI halves of the patch-memory modules: they keep a patch value and
// the panel values around it in step. The value itself is stored per
// program by the patch memory, which hears every change of the value plug.
#include <algorithm>
#include <cmath>

#include "document/cug.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "document/ui/gui_side_logic.h"
#include "platform/platform.h"
#include "registry/interface_object.h"
#include "registry/item_list.h"

namespace kr::ui {

namespace {

// (value - min) / (max - min) held to 0..1; 0 for an empty range.
double PositionIn(double value, double minimum, double maximum) {
  const double span = maximum - minimum;
  if (!(span != 0)) return 0.0;
  const double p = (value - minimum) / span;
  return std::isfinite(p) ? std::clamp(p, 0.0, 1.0) : 0.0;
}

// A patch value shown as a 0..1 position in its "Min Value" .. "Max Value"
// range on "Animation Position".
class PatchValuePosition : public has_features {
 public:
  using has_features::has_features;

 protected:
  void Started() override { ShowPosition(); }
  virtual void ShowPosition() {
    SetNumber(Named("Animation Position"),
              PositionIn(Number(Named("Value")), Number(Named("Min Value")), Number(Named("Max Value"))));
  }
};

// "PatchMemFloatIn": the position also sets the value (busy-guarded).
class ui_param_float_in2 final : public PatchValuePosition {
 public:
  using PatchValuePosition::PatchValuePosition;

 private:
  void OnVariableChanged(std::size_t index) override {
    if (busy_) return;
    if (index == Named("Value")) {
      ShowPosition();
    } else if (index == Named("Animation Position") || index == Named("Min Value") || index == Named("Max Value")) {
      busy_ = true;
      const double minimum = Number(Named("Min Value"));
      SetNumber(Named("Value"), minimum + Number(Named("Animation Position")) * (Number(Named("Max Value")) - minimum));
      busy_ = false;
    }
  }
  void ShowPosition() override {
    busy_ = true;
    PatchValuePosition::ShowPosition();
    busy_ = false;
  }
  bool busy_ = false;
};

// "PatchMemFloatOut": the value the audio half reports, as a position.
class ui_param_float_out2 final : public PatchValuePosition {
 public:
  using PatchValuePosition::PatchValuePosition;

 private:
  void OnVariableChanged(std::size_t index) override {
    if (index == Named("Value") || index == Named("Min Value") || index == Named("Max Value")) ShowPosition();
  }
};

// "PatchMemFloatOutB": the reported value "V" goes out through "Value Out".
class ui_param_float_out_b final : public has_features {
 public:
  using has_features::has_features;

 private:
  void Started() override { Pass(); }
  void OnVariableChanged(std::size_t index) override {
    if (index == Named("V")) Pass();
  }
  void OnWiresChanged(std::size_t index) override {
    if (index == Named("Value Out")) Pass();
  }
  void Pass() { WriteNumber(Named("Value Out"), Number(Named("V"))); }
};

// "PatchMemListIn2" and "PatchMemListIn_B": "Value" takes the item list of
// what "List Out" is wired to. The GUI-side one ("_B", whose "List Out" is a
// link) also follows that value, and passes a new patch value on to it.
class ui_param_enum_in final : public has_features {
 public:
  using has_features::has_features;

 private:
  void Started() override {
    TakeList();
    if (IsLink(Named("List Out"))) WriteInteger(Named("List Out"), Integer(Named("Value")));
  }
  void OnWiresChanged(std::size_t index) override {
    if (index == Named("List Out")) TakeList();
  }
  void OnControlListChanged(std::size_t index) override {
    if (index == Named("List Out")) TakeList();
  }
  void OnControlChanged(std::size_t index) override {
    if (index == Named("List Out")) SetInteger(Named("Value"), FarInteger(index));
  }
  void OnVariableChanged(std::size_t index) override {
    if (index == Named("Value")) WriteInteger(Named("List Out"), Integer(index));
  }
  // The list of the plug at the far end of "List Out".
  void TakeList() {
    CPlug2* value = PlugAt(Named("Value"));
    const CPlug2* out = PlugAt(Named("List Out"));
    if (value == nullptr || out == nullptr) return;
    for (const CLine2* wire : out->Wires()) {
      const CPlug2* other = wire->From() == out ? wire->To() : wire->From();
      if (other == nullptr) continue;
      const std::string list = other->ItemList();
      if (!list.empty() && !IsAutoList(list)) value->SetItemList(list);
      return;
    }
  }
};

// "Patch Mem - Text in": releasing "File Dialog" asks for a file, starting
// from the value; a file chosen becomes the value.
class ui_param_text_in final : public has_features {
 public:
  using has_features::has_features;

 private:
  void Started() override { down_ = Bool(Named("File Dialog")); }
  void OnVariableChanged(std::size_t index) override {
    if (index != Named("File Dialog")) return;
    const bool now = Bool(index);
    const bool released = down_ && !now;
    down_ = now;
    if (!released) return;
    platform::OpenFileRequest request;
    request.initialName = Text(Named("Value"));
    if (const CPlug2* out = PlugAt(Named("Text Out")); out != nullptr && (out->Flags() & PF_FILENAME))
      request.extension = out->ListText();
    if (auto chosen = platform::ChooseFileToOpen(request)) SetText(Named("Value"), *chosen);
  }
  bool down_ = false;
};

}  // namespace

std::unique_ptr<has_features> MakePatchValueLogic(CUG& module, std::string_view name) {
  if (name == "PatchMemFloatIn") return std::make_unique<ui_param_float_in2>(module);
  if (name == "PatchMemFloatOut") return std::make_unique<ui_param_float_out2>(module);
  if (name == "PatchMemFloatOutB") return std::make_unique<ui_param_float_out_b>(module);
  if (name == "PatchMemListIn2" || name == "PatchMemListIn_B") return std::make_unique<ui_param_enum_in>(module);
  if (name == "Patch Mem - Text in") return std::make_unique<ui_param_text_in>(module);
  return nullptr;
}

}  // namespace kr::ui
