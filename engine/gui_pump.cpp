#include "engine/gui_pump.h"

#include <algorithm>

#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "engine/msg_text.h"
#include "platform/platform.h"

namespace kr {

void GuiPump::Pump() {
  my_msg_que_input_stream in(queue_);
  // After an overflow this drain delivers nothing: what was queued goes.
  const bool overflowed = queue_.Overflowed();
  while (!overflowed && !queue_.IsEmpty()) {
    const std::int32_t handle = in.ReadInt();
    const std::int32_t id = in.ReadInt();
    ui_msg_target* target = ui_msg_target::Resolve(handle);
    if (target == nullptr) {
      // No length field: nothing after an unknown receiver can be parsed.
      queue_.SkipReadable();
      break;
    }
    target->OnDspMessage(id, in);
  }
  queue_.FinishDrain();
  for (std::size_t i = 0; i < refreshList_.size();) {
    if (refreshList_[i]->PeriodicUpdate()) {
      ++i;
    } else {
      refreshList_.erase(refreshList_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

void GuiPump::AddToRefreshList(Refreshable* object) {
  if (object != nullptr && std::find(refreshList_.begin(), refreshList_.end(), object) == refreshList_.end())
    refreshList_.push_back(object);
}

void GuiPump::RemoveFromRefreshList(Refreshable* object) {
  refreshList_.erase(std::remove(refreshList_.begin(), refreshList_.end(), object), refreshList_.end());
}

void GuiPump::OnDspMessage(std::int32_t id, my_input_stream& stream) {
  if (id != kMsgMessageBox) return;
  std::string text = ReadMsgText(stream);
  const std::int32_t style = stream.ReadInt();
  platform::ShowMessageBox({std::move(text), {}, style != 0 ? platform::MessageIcon::Warning : platform::MessageIcon::None});
}

void GuiPump::PostMessageBox(std::string_view text, std::int32_t style) {
  my_msg_que_output_stream out(queue_, Handle(), kMsgMessageBox);
  WriteMsgText(out, text);
  out << style;
  out.Send();
}

void GuiPump::PostEmpty(std::int32_t handle, std::int32_t id) {
  my_msg_que_output_stream out(queue_, handle, id);
  out.Send();
}

void GuiPump::PostText(std::int32_t handle, std::int32_t id, std::string_view text) {
  my_msg_que_output_stream out(queue_, handle, id);
  WriteMsgText(out, text);
  out.Send();
}

std::string ReadPrintLine(my_input_stream& stream) {
  std::string text = ReadMsgText(stream);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace kr
