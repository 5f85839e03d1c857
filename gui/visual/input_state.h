// What one editor view knows about the mouse and keyboard: the focus object,
// the object that captured the mouse, the computer-keyboard receiver, the
// object whose context menu is up, the tooltip under the pointer, the time of
// the last press (double clicks are recognised by time) and the modifiers.
// Each view holds its own, so two open editors never see each other's
// objects. GUI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "gui/draw/geometry.h"

namespace kr {

class CVisualOb;

namespace gui {

// Modifier and button flags of mouse and key calls (the Windows MK_ values),
// and on key-down calls the key's previous state (set on an auto-repeat, as
// Windows' key flags have it).
enum InputFlags : std::uint32_t { kLeftButton = 0x1, kShift = 0x4, kControl = 0x8, kKeyRepeat = 0x4000 };

// Key codes (Windows virtual keys); letters and digits are their upper-case
// characters.
enum KeyCode : int {
  kKeyBackspace = 0x08,
  kKeyTab = 0x09,
  kKeyEnter = 0x0D,
  kKeyEscape = 0x1B,
  kKeySpace = 0x20,
  kKeyPageUp = 0x21,
  kKeyPageDown = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
  kKeyDelete = 0x2E,
};

// Presses closer than this become double clicks.
inline constexpr std::uint32_t kDoubleClickMs = 200;
// The pointer rests this long over an object before its tooltip shows.
inline constexpr std::uint32_t kTooltipDelayMs = 500;

// A millisecond clock; tests pass one of their own.
using Clock = std::function<std::uint32_t()>;
std::uint32_t SystemMilliseconds();

struct InputState {
  CVisualOb* focus = nullptr;
  CVisualOb* capture = nullptr;
  CVisualOb* keyboardReceiver = nullptr;
  CVisualOb* contextMenuObject = nullptr;
  Point contextMenuPoint{};
  // A drop-down list that is open: it takes every press and key until it closes.
  CVisualOb* popup = nullptr;
  // The object with a tooltip under the pointer (the tool), since when the
  // pointer is over it (none after a press: the tool is spent until the
  // pointer crosses into another), and whether its tip is showing.
  CVisualOb* tooltipObject = nullptr;
  std::optional<std::uint32_t> tooltipSinceMs;
  bool tooltipShown = false;
  std::optional<std::uint32_t> lastPressMs;
  // Shift and Ctrl as the last mouse or key event had them (kShift, kControl).
  std::uint32_t modifiers = 0;
  Clock clock;

  std::uint32_t Now() const { return clock ? clock() : SystemMilliseconds(); }
  // An object is going: no pointer may keep it.
  void Forget(const CVisualOb* ob) {
    if (focus == ob) focus = nullptr;
    if (capture == ob) capture = nullptr;
    if (keyboardReceiver == ob) keyboardReceiver = nullptr;
    if (contextMenuObject == ob) contextMenuObject = nullptr;
    if (popup == ob) popup = nullptr;
    if (tooltipObject == ob) ForgetTooltip();
  }
  void ForgetTooltip() {
    tooltipObject = nullptr;
    tooltipSinceMs.reset();
    tooltipShown = false;
  }
  // Closing the view: nothing is held any more.
  void Clear() {
    focus = capture = keyboardReceiver = contextMenuObject = popup = nullptr;
    ForgetTooltip();
    lastPressMs.reset();
    modifiers = 0;
  }
};

}  // namespace gui

}  // namespace kr
