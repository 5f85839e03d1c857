#include "patch/dsp_patch_parameter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>

#include "engine/audio_master.h"
#include "engine/dsp_to_ui_que.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "engine/msg_text.h"
#include "engine/ug_base.h"
#include "engine/ug_event.h"
#include "patch/patch_parameter.h"

namespace kr {

dsp_patch_parameter::dsp_patch_parameter(KrAudioMaster& master, std::int32_t parameterHandle, Mapping mapping,
                                         UPlug* source)
    : master_(master), parameterHandle_(parameterHandle), mapping_(std::move(mapping)), source_(source) {
  handle = parameterHandle;
}

void dsp_patch_parameter::OnGuiMessage(std::int32_t id, my_input_stream& stream) {
  if (id != kMsgPatchValue) return;
  std::uint8_t flag = 0;
  stream >> flag;
  if (mapping_.typeNumber == PV_TEXT) {
    const std::string text = ReadMsgText(stream);
    Push(0, &text);
    return;
  }
  std::int32_t bits = 0;
  stream >> bits;
  Push(bits, nullptr);
}

void dsp_patch_parameter::Push(std::int32_t bits, const std::string* text) {
  lastBits_ = bits;
  if (source_ == nullptr || source_->owner == nullptr) return;
  ug_base& holder = *source_->owner;
  ug_event* event = holder.NewEvent(master_.now, UET_SET_PLUG_VALUE, 0, source_, bits);
  if (event == nullptr) return;  // the engine's events ran out: dropped, counted by the pool
  if (text != nullptr) event->attached = std::make_unique<EventText>(*text);
  holder.AddEvent(event, true);
}

std::int32_t dsp_patch_parameter::BitsForNormalised(float n) const {
  n = std::clamp(n, 0.0f, 1.0f);
  switch (mapping_.typeNumber) {
    case PV_FLOAT: {
      const float value = mapping_.minimum + (mapping_.maximum - mapping_.minimum) * n;
      return std::bit_cast<std::int32_t>(std::isfinite(value) ? value : mapping_.minimum);
    }
    case PV_ENUM: {
      const auto k = static_cast<int>(mapping_.itemValues.size());
      if (k == 0) return 0;
      const int position = std::min(static_cast<int>(static_cast<float>(k) * n), k - 1);
      return mapping_.itemValues[static_cast<std::size_t>(position)];
    }
    case PV_BOOL: return n >= 0.5f ? 1 : 0;
    default: return lastBits_;  // not settable from the host
  }
}

void dsp_patch_parameter::ApplyNormalised(float normalised) {
  const std::int32_t bits = BitsForNormalised(normalised);
  Push(bits, nullptr);
  SendBack(bits, true);
}

void dsp_patch_parameter::ReportPatchValue(std::int32_t bits) {
  lastBits_ = bits;
  SendBack(bits, false);
}

void dsp_patch_parameter::SendBack(std::int32_t bits, bool fromHost) {
  dsp_to_ui_que* queue = master_.Host().GuiQueue();
  if (queue == nullptr) return;
  my_msg_que_output_stream out(*queue, parameterHandle_, kMsgPatchValue);
  // Flag 1: the host set it, so it is not reported back as automation.
  out << static_cast<std::uint8_t>(fromHost ? 1 : 0) << bits;
  out.Send();
}

}  // namespace kr
