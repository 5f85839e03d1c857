// The editor's window on Windows: a GDI child window of the host's window.
// The host's message loop calls the window procedure; messages are queued
// there and handed out by DrainEvents (the editor's idle).
#include "platform/editor_window.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <vector>

namespace kr {

namespace platform {

namespace {

const char kClassName[] = "KestruneEditorView";

std::uint32_t Modifiers(WPARAM w) {
  std::uint32_t flags = 0;
  if (w & MK_LBUTTON) flags |= 0x1;
  if (w & MK_SHIFT) flags |= 0x4;
  if (w & MK_CONTROL) flags |= 0x8;
  return flags;
}

std::uint32_t KeyModifiers() {
  std::uint32_t flags = 0;
  if (GetKeyState(VK_SHIFT) < 0) flags |= 0x4;
  if (GetKeyState(VK_CONTROL) < 0) flags |= 0x8;
  return flags;
}

HINSTANCE ThisInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisInstance), &module);
  return module;
}

class Win32ChildWindow final : public ChildWindow {
 public:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Win32ChildWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && self->Handle(message, w, l)) return 0;
    return DefWindowProcA(hwnd, message, w, l);
  }

  explicit Win32ChildWindow(HWND hwnd) : hwnd_(hwnd) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Win32ChildWindow() override {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }

  void Blit(int x, int y, int width, int height, const std::uint32_t* pixels, int stride) override {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = stride;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(hwnd_);
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS);
    ReleaseDC(hwnd_, dc);
  }

  void DrainEvents(const std::function<void(const WindowEvent&)>& sink) override {
    std::vector<WindowEvent> events;
    events.swap(queue_);
    for (const WindowEvent& e : events) sink(e);
  }

  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }

  void Place(int x, int y, int width, int height) override {
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }

 private:
  void Mouse(WindowEvent::Kind kind, WPARAM w, LPARAM l) {
    WindowEvent e;
    e.kind = kind;
    e.x = static_cast<short>(LOWORD(l));
    e.y = static_cast<short>(HIWORD(l));
    e.flags = Modifiers(w);
    queue_.push_back(e);
  }

  bool Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd_, &ps);
        WindowEvent e;
        e.kind = WindowEvent::Kind::Paint;
        e.x = ps.rcPaint.left;
        e.y = ps.rcPaint.top;
        e.width = ps.rcPaint.right - ps.rcPaint.left;
        e.height = ps.rcPaint.bottom - ps.rcPaint.top;
        EndPaint(hwnd_, &ps);
        queue_.push_back(e);
        return true;
      }
      case WM_LBUTTONDOWN:
        SetCapture(hwnd_);
        SetFocus(hwnd_);
        Mouse(WindowEvent::Kind::MouseDown, w, l);
        return true;
      case WM_LBUTTONUP:
        ReleaseCapture();
        Mouse(WindowEvent::Kind::MouseUp, w, l);
        return true;
      case WM_MOUSEMOVE:
        if (!tracking_) {
          // Ask for WM_MOUSELEAVE when the pointer leaves (tooltips go then).
          TRACKMOUSEEVENT track{};
          track.cbSize = sizeof track;
          track.dwFlags = TME_LEAVE;
          track.hwndTrack = hwnd_;
          tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        Mouse(WindowEvent::Kind::MouseMove, w, l);
        return true;
      case WM_MOUSELEAVE: {
        tracking_ = false;
        WindowEvent e;
        e.kind = WindowEvent::Kind::MouseLeave;
        queue_.push_back(e);
        return true;
      }
      case WM_RBUTTONUP:
        Mouse(WindowEvent::Kind::ContextMenu, w, l);
        return true;
      case WM_MOUSEWHEEL: {
        // The wheel's point is on the screen; the panel wants it in the window.
        POINT at{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        ScreenToClient(hwnd_, &at);
        WindowEvent e;
        e.kind = WindowEvent::Kind::Wheel;
        e.x = at.x;
        e.y = at.y;
        e.wheel = static_cast<short>(HIWORD(w));
        queue_.push_back(e);
        return true;
      }
      case WM_KEYDOWN:
      case WM_KEYUP: {
        WindowEvent e;
        e.kind = message == WM_KEYDOWN ? WindowEvent::Kind::KeyDown : WindowEvent::Kind::KeyUp;
        e.key = static_cast<int>(w);
        e.flags = KeyModifiers();
        // Bit 30: the key was down already (an auto-repeat).
        if (message == WM_KEYDOWN && (static_cast<std::uint32_t>(l) & 0x40000000u) != 0) e.flags |= 0x4000;
        queue_.push_back(e);
        return true;
      }
      case WM_CHAR: {
        WindowEvent e;
        e.kind = WindowEvent::Kind::Char;
        e.key = static_cast<int>(w);
        e.flags = KeyModifiers();  // Shift+Tab moves the focus back
        queue_.push_back(e);
        return true;
      }
      default:
        return false;
    }
  }

  HWND hwnd_;
  bool tracking_ = false;
  std::vector<WindowEvent> queue_;
};

}  // namespace

std::unique_ptr<ChildWindow> CreateChildWindow(void* parent, int width, int height) {
  if (parent == nullptr || width <= 0 || height <= 0) return nullptr;
  HINSTANCE instance = ThisInstance();
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, kClassName, &wc)) {
    wc = WNDCLASSA{};
    wc.lpfnWndProc = &Win32ChildWindow::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return nullptr;
  }
  HWND hwnd = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width, height,
                              static_cast<HWND>(parent), nullptr, instance, nullptr);
  if (hwnd == nullptr) return nullptr;
  return std::make_unique<Win32ChildWindow>(hwnd);
}

}  // namespace platform

}  // namespace kr
