// The editor's window on X11: a child of the host's window on a Display
// connection of its own, with the parent's visual, depth and colour map.
// (before the X11 headers, whose macros would rename its names)
#include "platform/editor_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <mutex>
#include <set>
#include <vector>

namespace kr {

namespace platform {

namespace {

std::uint32_t Modifiers(unsigned state, bool leftDown) {
  std::uint32_t flags = leftDown ? 0x1u : 0u;
  if (state & ShiftMask) flags |= 0x4;
  if (state & ControlMask) flags |= 0x8;
  return flags;
}

// X11 key symbols as Windows virtual keys (letters and digits are their
// upper-case characters).
int VirtualKey(KeySym sym) {
  switch (sym) {
    case XK_Left: return 0x25;
    case XK_Up: return 0x26;
    case XK_Right: return 0x27;
    case XK_Down: return 0x28;
    case XK_space: return 0x20;
    case XK_Tab: case XK_ISO_Left_Tab: return 0x09;
    case XK_Return: case XK_KP_Enter: return 0x0D;
    case XK_Escape: return 0x1B;
    case XK_BackSpace: return 0x08;
    case XK_Delete: case XK_KP_Delete: return 0x2E;
    case XK_Home: case XK_KP_Home: return 0x24;
    case XK_End: case XK_KP_End: return 0x23;
    case XK_Prior: case XK_KP_Prior: return 0x21;
    case XK_Next: case XK_KP_Next: return 0x22;
    default: break;
  }
  if (sym >= XK_a && sym <= XK_z) return static_cast<int>(sym - XK_a + 'A');
  if ((sym >= XK_A && sym <= XK_Z) || (sym >= XK_0 && sym <= XK_9)) return static_cast<int>(sym);
  return 0;
}

// Where a channel of 8 bits goes in a pixel of the visual.
struct Channel {
  int shift = 0;
  int bits = 0;
  explicit Channel(unsigned long mask) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    bits = std::popcount(mask);
  }
  unsigned long Place(std::uint32_t value8) const {
    if (bits == 0) return 0;
    const std::uint32_t v = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
    return static_cast<unsigned long>(v) << shift;
  }
};

// No longer one of the editor's connections (below).
void Release(Display* display);

class X11ChildWindow final : public ChildWindow {
 public:
  X11ChildWindow(Display* display, ::Window window, Visual* visual, int depth)
      : display_(display), window_(window), visual_(visual), depth_(depth),
        red_(visual->red_mask), green_(visual->green_mask), blue_(visual->blue_mask) {
    gc_ = XCreateGC(display_, window_, 0, nullptr);
  }

  ~X11ChildWindow() override {
    XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);  // may be gone with its parent already
    XSync(display_, False);
    Release(display_);
    XCloseDisplay(display_);
  }

  void Blit(int x, int y, int width, int height, const std::uint32_t* pixels, int stride) override {
    if (width <= 0 || height <= 0) return;
    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (image == nullptr) return;
    buffer_.assign(static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height), 0);
    image->data = buffer_.data();
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < width; ++col) {
        const std::uint32_t p = pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(stride) +
                                       static_cast<std::size_t>(col)];
        XPutPixel(image, col, row, red_.Place((p >> 16) & 0xFF) | green_.Place((p >> 8) & 0xFF) | blue_.Place(p & 0xFF));
      }
    XPutImage(display_, window_, gc_, image, 0, 0, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    image->data = nullptr;  // the buffer is ours
    XDestroyImage(image);
    XFlush(display_);
  }

  void DrainEvents(const std::function<void(const WindowEvent&)>& sink) override {
    while (XPending(display_) > 0) {
      XEvent e;
      XNextEvent(display_, &e);
      if (e.xany.window != window_) continue;
      WindowEvent out;
      switch (e.type) {
        case Expose:
          out.kind = WindowEvent::Kind::Paint;
          out.x = e.xexpose.x;
          out.y = e.xexpose.y;
          out.width = e.xexpose.width;
          out.height = e.xexpose.height;
          break;
        case ButtonPress:
        case ButtonRelease:
          if (e.xbutton.button == Button3 && e.type == ButtonRelease) {
            out.kind = WindowEvent::Kind::ContextMenu;
            out.x = e.xbutton.x;
            out.y = e.xbutton.y;
            break;
          }
          if (e.xbutton.button == Button4 || e.xbutton.button == Button5) {
            if (e.type != ButtonPress) continue;
            out.kind = WindowEvent::Kind::Wheel;
            out.x = e.xbutton.x;
            out.y = e.xbutton.y;
            out.wheel = e.xbutton.button == Button4 ? 120 : -120;
            break;
          }
          if (e.xbutton.button != Button1) continue;
          // A click gives the panel the keyboard (a window that cannot take
          // it only records an error).
          if (e.type == ButtonPress) XSetInputFocus(display_, window_, RevertToParent, e.xbutton.time);
          out.kind = e.type == ButtonPress ? WindowEvent::Kind::MouseDown : WindowEvent::Kind::MouseUp;
          out.x = e.xbutton.x;
          out.y = e.xbutton.y;
          out.flags = Modifiers(e.xbutton.state, e.type == ButtonPress);
          break;
        case LeaveNotify:
          if (e.xcrossing.mode != NotifyNormal) continue;
          out.kind = WindowEvent::Kind::MouseLeave;
          break;
        case MotionNotify:
          out.kind = WindowEvent::Kind::MouseMove;
          out.x = e.xmotion.x;
          out.y = e.xmotion.y;
          out.flags = Modifiers(e.xmotion.state, (e.xmotion.state & Button1Mask) != 0);
          break;
        case KeyPress:
        case KeyRelease: {
          // The server repeats a held key as a release and a press at the
          // same time: the release is dropped and the press marked as a
          // repeat, as Windows reports it.
          if (e.type == KeyRelease && XPending(display_) > 0) {
            XEvent next;
            XPeekEvent(display_, &next);
            if (next.type == KeyPress && next.xkey.window == window_ && next.xkey.keycode == e.xkey.keycode &&
                next.xkey.time == e.xkey.time) {
              held_ = e.xkey.keycode;
              continue;
            }
          }
          const bool repeat = e.type == KeyPress && held_ == e.xkey.keycode;
          held_ = e.type == KeyPress ? e.xkey.keycode : 0;
          char text[8] = {};
          KeySym sym = 0;
          const int n = XLookupString(&e.xkey, text, sizeof text, &sym, nullptr);
          out.kind = e.type == KeyPress ? WindowEvent::Kind::KeyDown : WindowEvent::Kind::KeyUp;
          out.key = VirtualKey(sym);
          out.flags = Modifiers(e.xkey.state, false) | (repeat ? 0x4000u : 0u);
          if (out.key != 0) sink(out);
          // The character typed; Tab (also Shift+Tab), Return, Backspace and
          // Escape as Windows sends them, 9, 13, 8 and 27.
          int typed = n == 1 ? static_cast<unsigned char>(text[0]) : 0;
          if (out.key == 0x09 || out.key == 0x0D || out.key == 0x08 || out.key == 0x1B) typed = out.key;
          if (typed == 0x7F) typed = 0;  // Delete is a key, not a character
          if (e.type == KeyPress && (typed >= 0x20 || typed == 0x09 || typed == 0x0D || typed == 0x08 || typed == 0x1B)) {
            WindowEvent ch = out;
            ch.kind = WindowEvent::Kind::Char;
            ch.key = typed;
            sink(ch);
          }
          continue;
        }
        default:
          continue;
      }
      sink(out);
    }
  }

  std::uintptr_t Handle() const override { return static_cast<std::uintptr_t>(window_); }

  void Place(int x, int y, int width, int height) override {
    XMoveResizeWindow(display_, window_, x, y, static_cast<unsigned>(std::max(width, 1)),
                      static_cast<unsigned>(std::max(height, 1)));
    XFlush(display_);
  }

 private:
  Display* display_;
  ::Window window_;
  Visual* visual_;
  int depth_;
  unsigned held_ = 0;  // the key code of the key last pressed and not released
  Channel red_, green_, blue_;
  GC gc_{};
  std::vector<char> buffer_;
};

}  // namespace

// Errors on the editor's own connections (a parent window the host has
// destroyed, and with it ours) are recorded, never fatal: Xlib's default
// handler would end the host. Errors on other connections go to the handler
// that was there before.
namespace {

std::mutex g_errorsMutex;
std::set<Display*> g_ourDisplays;
XErrorHandler g_previousHandler = nullptr;
bool g_handlerInstalled = false;
std::atomic<int> g_lastError{0};

int OnXError(Display* display, XErrorEvent* e) {
  {
    std::lock_guard lock(g_errorsMutex);
    if (g_ourDisplays.count(display) != 0) {
      g_lastError.store(e->error_code);
      return 0;
    }
  }
  return g_previousHandler ? g_previousHandler(display, e) : 0;
}

void Adopt(Display* display) {
  std::lock_guard lock(g_errorsMutex);
  g_ourDisplays.insert(display);
  if (!g_handlerInstalled) {
    g_previousHandler = XSetErrorHandler(&OnXError);
    g_handlerInstalled = true;
  }
}

void Release(Display* display) {
  std::lock_guard lock(g_errorsMutex);
  g_ourDisplays.erase(display);
}

}  // namespace

std::unique_ptr<ChildWindow> CreateChildWindow(void* parent, int width, int height) {
  const auto parentId = static_cast<::Window>(reinterpret_cast<std::uintptr_t>(parent));
  if (parentId == 0 || width <= 0 || height <= 0) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  Adopt(display);
  auto fail = [display]() -> std::unique_ptr<ChildWindow> {
    Release(display);
    XCloseDisplay(display);
    return nullptr;
  };
  g_lastError.store(0);
  XWindowAttributes parentAttributes{};
  const Status known = XGetWindowAttributes(display, parentId, &parentAttributes);
  XSync(display, False);
  if (known == 0 || g_lastError.load() != 0 || parentAttributes.visual == nullptr) return fail();
  XSetWindowAttributes attributes{};
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                          KeyPressMask | KeyReleaseMask;
  attributes.colormap = parentAttributes.colormap;
  attributes.border_pixel = 0;
  const ::Window window =
      XCreateWindow(display, parentId, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                    parentAttributes.depth, InputOutput, parentAttributes.visual,
                    CWEventMask | CWColormap | CWBorderPixel, &attributes);
  XSync(display, False);
  if (window == 0 || g_lastError.load() != 0) return fail();
  XMapWindow(display, window);
  XFlush(display);
  return std::make_unique<X11ChildWindow>(display, window, parentAttributes.visual, parentAttributes.depth);
}

}  // namespace platform

}  // namespace kr
