// The plug-in's editor: the document's front panel in a child of the window
// the host offers (or headless, when the host offers none). It turns window
// events into calls on the panel's visual tree and paints what the tree
// invalidated; the host's editor idle drives the application's GUI side.
// GUI thread only.
#pragma once

#include <functional>
#include <memory>

#include "gui/panel/panel_values.h"
#include "gui/panel/panel_view.h"
#include "gui/plugin_editor_interface.h"
#include "gui/skin/skin.h"
#include "platform/editor_window.h"

namespace kr {

struct StoredDocument;

namespace gui {

class PanelEditor final : public ShellEditor {
 public:
  // idle: the application's idle processing (its GUI message pump).
  PanelEditor(StoredDocument& document, std::function<void()> idle, std::unique_ptr<PanelValues> values);
  ~PanelEditor() override;

  // The rectangle the document's panel size gives: top 0, left 0, bottom
  // height, right width; answered before open too.
  std::intptr_t GetRect(vst::ERect** rect) override;
  // Builds a fresh panel and shows it in a child of parentWindow (none when
  // it is null: headless). An open editor closes first.
  std::intptr_t Open(void* parentWindow) override;
  // Closes the tree (capture, focus and menu pointers go with it) and
  // destroys the window.
  void Close() override;
  // The application's idle, the window's events, values changed elsewhere,
  // then the invalid area painted.
  void Idle() override;
  // Keys reach the panel through its own window; keys the host passes on
  // are left to the host (it keeps its shortcuts while the editor is open).
  std::intptr_t OnKeyDown(vst::VstKeyCode&) override { return -1; }
  std::intptr_t OnKeyUp(vst::VstKeyCode&) override { return -1; }
  std::intptr_t SetKnobMode(int) override { return 0; }
  bool IsOpen() const override { return open_; }

  PanelView& View() { return view_; }
  platform::ChildWindow* Window() const { return window_.get(); }
  void* ParentWindow() const { return parent_; }

  // Window events as the view takes them (also for tests).
  void Deliver(const platform::WindowEvent& event);

 private:
  void PaintInvalid();
  // Sets the editor rectangle on first use.
  void Measure();

  std::function<void()> idle_;
  std::unique_ptr<PanelValues> values_;
  StoredDocument& document_;
  bool measured_ = false;
  SkinRegistry skins_;
  PanelView view_;
  vst::ERect rect_{};
  std::unique_ptr<platform::ChildWindow> window_;
  void* parent_ = nullptr;
  bool open_ = false;
};

}  // namespace gui

}  // namespace kr
