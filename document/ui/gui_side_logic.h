// The logic of the modules that compute on the GUI thread, found by the
// module's registry name: the converters between panel values ("Image to
// Frame", "Bool Splitter", "Bools to List", "List To Bools", "Float To
// Bool", "Increment", "Increment2", "Int to List", "Spring", "System
// Command2", "Text To Float", "UiAnimationScaleDb", "UiFloatScaler") and the
// GUI halves of the patch-memory modules. A module gets it at its post-load
// initialisation, whatever class it was stored as.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "document/ui/has_features.h"

namespace kr::ui {

// Null for a module that has no GUI-side logic.
std::unique_ptr<has_features> MakeGuiSideLogic(CUG& module);

// A level in dB as a meter position in 0..1 ("UiAnimationScaleDb"): 0 dB
// is 0.7, +3 dB 1, -3 dB 0.4, -8.75 dB 0.1125, -20 dB and below 0.
double DbToPosition(double db);

// One pass over a list's items around a value ("Increment"): the first and
// last values, the value after the first item equal to v (v itself on the
// last item, the first value when v is not listed) and the one before it
// (v itself on the first item, the last value when v is not listed).
struct ListStep {
  bool any = false;
  int first = 0, last = 0, next = 0, previous = 0;
};
ListStep StepThroughList(std::string_view listText, int value);
// A "range low,high" list answered without walking it: its first value and
// its item count; none for other lists.
struct ListRange {
  std::int64_t first = 0;
  std::int64_t count = 0;
};
std::optional<ListRange> RangeOf(std::string_view listText);
// The value one step up or down from value; with wrap the ends meet.
int SteppedValue(std::string_view listText, int value, bool up, bool wrap);

// The makers of each group: null for a name not theirs.
std::unique_ptr<has_features> MakeValueConverter(CUG& module, std::string_view name);
std::unique_ptr<has_features> MakeBoolListModule(CUG& module, std::string_view name);
std::unique_ptr<has_features> MakeReleaseAction(CUG& module, std::string_view name);
std::unique_ptr<has_features> MakePatchValueLogic(CUG& module, std::string_view name);

}  // namespace kr::ui
