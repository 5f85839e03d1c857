#include "patch/dsp_patch_parameter.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "engine/audio_master.h"
#include "engine/dsp_to_ui_que.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "engine/msg_text.h"
#include "engine/ug_base.h"
#include "engine/ug_event.h"
#include "engine/uplug.h"
#include "patch/dsp_patch_manager.h"
#include "patch/patch_parameter.h"

namespace kr {

dsp_patch_parameter::dsp_patch_parameter(KrAudioMaster& master, std::int32_t parameterHandle, Mapping mapping,
                                         UPlug* source, std::int32_t programEpoch)
    : master_(master),
      parameterHandle_(parameterHandle),
      mapping_(std::move(mapping)),
      source_(source),
      programEpoch_(programEpoch) {
  handle = parameterHandle;
  if (mapping_.typeNumber == PV_TEXT) text_.reserve(UPlug::kTextCapacity);
}

void dsp_patch_parameter::OnGuiMessage(std::int32_t id, my_input_stream& stream) {
  if (id == kMsgControllerId) {
    const std::int32_t identifier = stream.ReadInt();
    if (manager_ != nullptr) manager_->AssignController(*this, midi_id::Checked(identifier));
    return;
  }
  if (id != kMsgPatchValue) return;
  std::uint8_t flag = 0;
  stream >> flag;
  if (mapping_.typeNumber == PV_TEXT) {
    ReadMsgText(stream, text_);
    programEpoch_ = stream.ReadInt();
    Push(master_.now, 0, &text_);
    return;
  }
  std::int32_t bits = 0;
  stream >> bits;
  programEpoch_ = stream.ReadInt();
  Push(master_.now, bits, nullptr);
  SendOut(flag != 0);
}

void dsp_patch_parameter::Push(int time, std::int32_t bits, const std::string* text) {
  lastBits_ = bits;
  if (source_ == nullptr || source_->owner == nullptr) return;
  ug_base& holder = *source_->owner;
  ug_event* event = holder.NewEvent(time, UET_SET_PLUG_VALUE, 0, source_, bits);
  if (event == nullptr) return;  // the engine's events ran out: dropped, counted by the pool
  event->attached = text;
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

void dsp_patch_parameter::SetFromHost(float normalised) {
  if (mapping_.typeNumber == PV_TEXT) return;  // not settable from the host; its messages carry text
  const std::int32_t bits = BitsForNormalised(normalised);
  Push(master_.now, bits, nullptr);
  SendBack(bits, true);
  SendOut(false);
}

void dsp_patch_parameter::ControllerChange(int time, float normalised) {
  if (mapping_.typeNumber != PV_FLOAT && mapping_.typeNumber != PV_ENUM && mapping_.typeNumber != PV_BOOL) return;
  const std::int32_t bits = BitsForNormalised(normalised);
  Push(std::max(time, master_.now), bits, nullptr);
  SendBack(bits, false);
}

void dsp_patch_parameter::TellLearnt(std::int32_t identifier) {
  dsp_to_ui_que* queue = master_.Host().GuiQueue();
  if (queue == nullptr) return;
  my_msg_que_output_stream out(*queue, parameterHandle_, kMsgLearnt);
  out << identifier;
  out.Send();
}

float dsp_patch_parameter::NormalisedValue() const {
  switch (mapping_.typeNumber) {
    case PV_FLOAT: {
      const float range = mapping_.maximum - mapping_.minimum;
      if (!(range != 0.0f)) return 0.0f;
      const float n = (std::bit_cast<float>(lastBits_) - mapping_.minimum) / range;
      return n >= 0.0f ? std::min(n, 1.0f) : 0.0f;
    }
    case PV_ENUM: {
      const auto& items = mapping_.itemValues;
      if (items.size() < 2) return 0.0f;
      const auto at = std::find(items.begin(), items.end(), lastBits_);
      if (at == items.end()) return 0.0f;
      return static_cast<float>(at - items.begin()) / static_cast<float>(items.size() - 1);
    }
    case PV_BOOL: return lastBits_ != 0 ? 1.0f : 0.0f;
    case PV_TEXT: return -1.0f;
    default: return 0.0f;
  }
}

// A value from the panel, the host or a program change goes out as the
// parameter's controller, when the container has an automator.
void dsp_patch_parameter::SendOut(bool patchChange) {
  if (manager_ == nullptr || controller_ < 0) return;
  MidiAutomationOutput* output = manager_->Output();
  const float normalised = NormalisedValue();
  if (output != nullptr && normalised >= 0.0f) output->SendParameterValue(normalised, controller_, patchChange);
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
  out << static_cast<std::uint8_t>(fromHost ? 1 : 0) << bits << programEpoch_;
  out.Send();
}

}  // namespace kr
