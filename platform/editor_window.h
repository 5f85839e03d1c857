// The editor's window: a child of the window a host offers, which shows
// blocks of panel pixels and reports the mouse and keyboard. Each window has
// its own connection to the window system; its events are read only when
// DrainEvents is called (from the editor's idle), on the thread that made it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace kr {

namespace platform {

struct WindowEvent {
  enum class Kind { MouseDown, MouseMove, MouseUp, ContextMenu, KeyDown, KeyUp, Char, Paint, MouseLeave, Wheel };
  Kind kind = Kind::Paint;
  int x = 0, y = 0;           // client coordinates; Paint: the corner of the area to paint
  int width = 0, height = 0;  // Paint: the size of the area
  std::uint32_t flags = 0;    // 0x1 left button, 0x4 Shift, 0x8 Ctrl (as Windows' MK_ values); KeyDown: 0x4000 a repeat
  int key = 0;                // key events: a Windows virtual-key code; Char: the character
  int wheel = 0;              // Wheel: 120 per notch turned away from the user, -120 towards
};

class ChildWindow {
 public:
  virtual ~ChildWindow() = default;
  // Copies width x height pixels (0x00RRGGBB, rows from the top, `stride`
  // pixels apart) to (x, y) of the window.
  virtual void Blit(int x, int y, int width, int height, const std::uint32_t* pixels, int stride) = 0;
  // Hands every event that has arrived to the sink, in order.
  virtual void DrainEvents(const std::function<void(const WindowEvent&)>& sink) = 0;
  // The system's handle of the window (an X11 window id, an HWND).
  virtual std::uintptr_t Handle() const = 0;
  // A new place in the parent and size (where a hosted plug-in's editor sits).
  virtual void Place(int x, int y, int width, int height) = 0;
};

// A visible child window of `parent` at (0, 0), width x height, with the
// parent's visual. Null when the parent is null or no window can be made
// (no display, a parent that does not exist).
std::unique_ptr<ChildWindow> CreateChildWindow(void* parent, int width, int height);

}  // namespace platform

}  // namespace kr
