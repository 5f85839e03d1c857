#include "gui/editor/panel_editor.h"

#include "document/document_file.h"
#include "platform/platform.h"

namespace kr::gui {

PanelEditor::PanelEditor(StoredDocument& document, std::function<void()> idle, std::unique_ptr<PanelValues> values)
    : idle_(std::move(idle)), values_(values ? std::move(values) : std::make_unique<PanelValues>()),
      document_(document), skins_(document.skins), view_(document, skins_, *values_) {
  view_.SetFileChooser([](const FileChoice& choice) {
    return platform::ChooseFileToOpen({choice.initialName, choice.extension});
  });
}

PanelEditor::~PanelEditor() { Close(); }

void PanelEditor::Measure() {
  if (measured_) return;
  measured_ = true;
  const int w = document_.settings.panelWidth, h = document_.settings.panelHeight;
  Size size = HeldPanelSize(w, h, {});
  if (w <= 0 || h <= 0) {
    // The extent of what the panel shows is known once it has laid itself out.
    view_.OpenPanel();
    size = view_.PanelSize();
    view_.ClosePanel();
  }
  rect_.top = 0;
  rect_.left = 0;
  rect_.bottom = static_cast<std::int16_t>(size.height);
  rect_.right = static_cast<std::int16_t>(size.width);
}

std::intptr_t PanelEditor::GetRect(vst::ERect** rect) {
  Measure();
  if (rect) *rect = &rect_;
  return 1;
}

std::intptr_t PanelEditor::Open(void* parentWindow) {
  if (open_) Close();
  Measure();
  parent_ = parentWindow;
  // The window first: what the panel opens inside it (a hosted plug-in's
  // editor) needs it.
  window_ = platform::CreateChildWindow(parentWindow, rect_.right, rect_.bottom);
  view_.SetNativeWindow(window_ ? reinterpret_cast<void*>(window_->Handle()) : nullptr);
  view_.OpenPanel();
  open_ = true;
  return 1;
}

void PanelEditor::Close() {
  if (!open_) return;
  view_.ClosePanel();
  view_.SetNativeWindow(nullptr);
  window_.reset();
  parent_ = nullptr;
  open_ = false;
}

void PanelEditor::Idle() {
  if (idle_) idle_();
  if (!open_) return;
  if (window_) window_->DrainEvents([this](const platform::WindowEvent& e) { Deliver(e); });
  view_.Refresh();
  view_.Idle();
  PaintInvalid();
}

void PanelEditor::Deliver(const platform::WindowEvent& e) {
  if (!open_) return;
  using Kind = platform::WindowEvent::Kind;
  const Point p{e.x, e.y};
  switch (e.kind) {
    case Kind::Paint: view_.InvalidateRect(Rect::At(p, {e.width, e.height})); break;
    case Kind::MouseDown: view_.MouseDown(p, e.flags); break;
    case Kind::MouseMove: view_.MouseMove(p, e.flags); break;
    case Kind::MouseUp: view_.MouseUp(p, e.flags); break;
    case Kind::ContextMenu: view_.ContextMenuAt(p); break;
    case Kind::KeyDown: view_.KeyDown(e.key, e.flags); break;
    case Kind::KeyUp: view_.KeyUp(e.key, e.flags); break;
    case Kind::Char: view_.Char(e.key, e.flags); break;
    case Kind::MouseLeave: view_.MouseLeave(); break;
    case Kind::Wheel: view_.MouseWheel(p, e.wheel); break;
  }
}

void PanelEditor::PaintInvalid() {
  const Rect invalid = view_.TakeInvalid();
  if (!window_ || invalid.Empty()) return;
  view_.PaintArea(invalid, [this](const Tile& tile, Point at, const Rect& painted) {
    const std::size_t first = static_cast<std::size_t>(painted.top - at.y) * kTileSize +
                              static_cast<std::size_t>(painted.left - at.x);
    window_->Blit(painted.left, painted.top, painted.Width(), painted.Height(), &tile.pixels[first], kTileSize);
  });
}

}  // namespace kr::gui
