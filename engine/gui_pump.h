// The GUI side of the message traffic: drains the DSP-to-GUI ring on the GUI
// thread (from effIdle or the editor's idle), then visits the refresh list.
// It is also the application's message target ("mbox").
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/dsp_to_ui_que.h"
#include "engine/ui_msg_target.h"

namespace kr {

// A document object with a periodic update; false takes it off the list.
class Refreshable {
 public:
  virtual ~Refreshable() = default;
  virtual bool PeriodicUpdate() = 0;
};

class GuiPump final : public ui_msg_target {
 public:
  GuiPump() = default;

  dsp_to_ui_que& Queue() { return queue_; }
  // Drains the ring, then visits the refresh list. GUI thread.
  void Pump();
  void AddToRefreshList(Refreshable* object);
  void RemoveFromRefreshList(Refreshable* object);
  // Drops every queued message (the engine has stopped).
  void Discard() { queue_.SkipReadable(); }

  // "mbox": text and style; shown as a message box.
  void OnDspMessage(std::int32_t id, my_input_stream& stream) override;

  // Audio-side senders.
  void PostMessageBox(std::string_view text, std::int32_t style);
  void PostEmpty(std::int32_t handle, std::int32_t id);
  void PostText(std::int32_t handle, std::int32_t id, std::string_view text);

 private:
  dsp_to_ui_que queue_;
  std::vector<Refreshable*> refreshList_;
};

// "prnt" receiver: the text as one line, trailing line feeds removed.
std::string ReadPrintLine(my_input_stream& stream);

}  // namespace kr
