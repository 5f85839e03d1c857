// The modules that act when a button is released: "Increment" and
// "Increment2" step through a list, "Spring" snaps a value back, "System
// Command2" opens a file.
#include <optional>

#include "document/cug.h"
#include "document/module_file_opener.h"
#include "document/ui/gui_side_logic.h"
#include "platform/platform.h"
#include "registry/interface_object.h"
#include "registry/item_list.h"
#include "registry/module_registry.h"

namespace kr::ui {

std::optional<ListRange> RangeOf(std::string_view listText) {
  EnumListIterator items(listText);
  if (!items.IsRange()) return std::nullopt;
  items.First();
  if (items.IsDone()) return ListRange{};
  return ListRange{items.CurrentValue(), items.size()};
}

ListStep StepThroughList(std::string_view listText, int value) {
  ListStep step;
  // A range may hold a great many values: its neighbours are arithmetic.
  if (const auto range = RangeOf(listText)) {
    if (range->count <= 0) return step;
    const std::int64_t last = range->first + range->count - 1;
    const bool inside = value >= range->first && value <= last;
    step.any = true;
    step.first = static_cast<int>(range->first);
    step.last = static_cast<int>(last);
    step.next = !inside ? step.first : value == last ? value : value + 1;
    step.previous = !inside ? step.last : value == range->first ? value : value - 1;
    return step;
  }
  EnumListIterator items(listText);
  bool found = false;
  std::optional<int> before;
  bool takeNext = false;
  for (items.First(); !items.IsDone(); items.Next()) {
    const int v = items.CurrentValue();
    if (!step.any) step.first = v;
    step.any = true;
    step.last = v;
    if (takeNext) {
      step.next = v;
      takeNext = false;
    }
    if (!found && v == value) {
      found = true;
      step.previous = before.value_or(v);
      step.next = v;  // stays when it is the last item
      takeNext = true;
    }
    before = v;
  }
  if (!found) {
    step.next = step.first;
    step.previous = step.last;
  }
  return step;
}

int SteppedValue(std::string_view listText, int value, bool up, bool wrap) {
  const ListStep s = StepThroughList(listText, value);
  if (!s.any) return value;
  if (up) return value == s.last && wrap ? s.first : s.next;
  if (value == s.first) return wrap ? s.last : s.previous;
  return s.previous;
}

namespace {

// Remembers a bool so that only its fall from true to false counts.
class Release {
 public:
  // True when the new state is a release.
  bool Fell(bool now) {
    const bool fell = down_ && !now;
    down_ = now;
    return fell;
  }
  void Reset(bool now) { down_ = now; }

 private:
  bool down_ = false;
};

// "Increment" (its buttons are links) and "Increment2" (its buttons are
// values of its own): step the linked list value on release.
class ui_incrementor final : public has_features {
 public:
  ui_incrementor(CUG& module, bool linkedButtons) : has_features(module), linked_(linkedButtons) {}

 private:
  enum : std::size_t { kList, kIncrement, kDecrement, kWrap };
  static constexpr FeatureSpec kLinked[] = {{"Value", DT_ENUM, kLink},
                                            {"Increment", DT_BOOL, kLink},
                                            {"Decrement", DT_BOOL, kLink},
                                            {"Wrap", DT_BOOL, kValue}};
  static constexpr FeatureSpec kOwn[] = {{"Value", DT_ENUM, kLink},
                                         {"Increment", DT_BOOL, kValue},
                                         {"Decrement", DT_BOOL, kValue},
                                         {"Wrap", DT_BOOL, kValue}};
  std::span<const FeatureSpec> Features() const override {
    return linked_ ? std::span<const FeatureSpec>(kLinked) : std::span<const FeatureSpec>(kOwn);
  }

  bool Button(std::size_t index) const { return linked_ ? FarBool(index) : Bool(index); }
  void Started() override {
    up_.Reset(Button(kIncrement));
    down_.Reset(Button(kDecrement));
  }
  void OnControlChanged(std::size_t index) override {
    if (linked_) Pressed(index);
  }
  void OnVariableChanged(std::size_t index) override {
    if (!linked_) Pressed(index);
  }
  void Pressed(std::size_t index) {
    if (index != kIncrement && index != kDecrement) return;
    Release& button = index == kIncrement ? up_ : down_;
    if (!button.Fell(Button(index)) || !Attached(kList)) return;
    const int value = FarInteger(kList);
    const int stepped = SteppedValue(FarItemList(kList), value, index == kIncrement, Bool(kWrap));
    if (stepped != value) WriteInteger(kList, stepped);
  }

  bool linked_;
  Release up_, down_;
};

// "Spring": a released control snaps back to the reset value.
class ui_spring final : public has_features {
 public:
  using has_features::has_features;

 private:
  enum : std::size_t { kNormalised, kMouseDown, kReset };
  static constexpr FeatureSpec kFeatures[] = {{"Normalised Value", DT_FLOAT, kLink},
                                              {"Mouse Down", DT_BOOL, kLink},
                                              {"Reset Value", DT_FLOAT, kValue}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void Started() override { mouse_.Reset(FarBool(kMouseDown)); }
  void OnControlChanged(std::size_t index) override {
    if (index == kMouseDown && mouse_.Fell(FarBool(kMouseDown))) WriteNumber(kNormalised, Number(kReset));
  }
  Release mouse_;
};

// "System Command2": on release, the shell verb chosen on "Command" opens
// "Filename" (resolved as module files are). Never a command line made
// from the patch's texts, and nothing waited for.
class ui_system_command final : public has_features {
 public:
  using has_features::has_features;

 private:
  enum : std::size_t { kTrigger, kCommand, kFilename };
  static constexpr FeatureSpec kFeatures[] = {
      {"Trigger", DT_BOOL, kValue},
      {"Command", DT_ENUM, kValue, ",edit,explore,find,open,print,properties"},
      {"Filename", DT_TEXT, kValue, "", 0, ""}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void Started() override { trigger_.Reset(Bool(kTrigger)); }
  void OnVariableChanged(std::size_t index) override {
    if (index != kTrigger || !trigger_.Fell(Bool(kTrigger))) return;
    const std::string name = Text(kFilename);
    if (name.empty()) return;
    const std::string path = ResolveModuleFileName(
        name, "", [](std::string_view extension) { return ModuleRegistry::Get().DefaultDirectory(extension); });
    const std::string verb = LabelOfValue(ItemList(kCommand), Integer(kCommand));
    platform::OpenWithShellVerb(verb, path);  // nothing is reported when it cannot start
  }
  Release trigger_;
};

}  // namespace

std::unique_ptr<has_features> MakeReleaseAction(CUG& module, std::string_view name) {
  if (name == "Increment") return std::make_unique<ui_incrementor>(module, true);
  if (name == "Increment2") return std::make_unique<ui_incrementor>(module, false);
  if (name == "Spring") return std::make_unique<ui_spring>(module);
  if (name == "System Command2") return std::make_unique<ui_system_command>(module);
  return nullptr;
}

}  // namespace kr::ui
