#include "external/vst_wrapper_list.h"

namespace kr {

VST_Wrapper_List& VST_Wrapper_List::Get() {
  static VST_Wrapper_List list;
  return list;
}

bool VST_Wrapper_List::Add(VST_Wrapper* wrapper) {
  std::lock_guard lock(writers_);
  for (Slot& slot : slots_) {
    if (slot.wrapper.load(std::memory_order_relaxed) != nullptr) continue;
    slot.effect.store(nullptr, std::memory_order_relaxed);
    slot.known.store(false, std::memory_order_relaxed);
    slot.wrapper.store(wrapper, std::memory_order_release);
    return true;
  }
  return false;
}

void VST_Wrapper_List::SetEffect(VST_Wrapper* wrapper, vst::AEffect* effect) {
  std::lock_guard lock(writers_);
  for (Slot& slot : slots_)
    if (slot.wrapper.load(std::memory_order_relaxed) == wrapper) {
      slot.effect.store(effect, std::memory_order_release);
      slot.known.store(true, std::memory_order_release);
      return;
    }
}

void VST_Wrapper_List::Remove(VST_Wrapper* wrapper) {
  std::lock_guard lock(writers_);
  for (Slot& slot : slots_)
    if (slot.wrapper.load(std::memory_order_relaxed) == wrapper) {
      // The record goes first: a reader that still finds it finds a wrapper
      // that is alive (it is only destroyed after this returns).
      slot.known.store(false, std::memory_order_release);
      slot.effect.store(nullptr, std::memory_order_release);
      slot.wrapper.store(nullptr, std::memory_order_release);
      return;
    }
}

VST_Wrapper* VST_Wrapper_List::Route(vst::AEffect* effect) const {
  if (effect != nullptr)
    for (const Slot& slot : slots_)
      if (slot.effect.load(std::memory_order_acquire) == effect)
        if (VST_Wrapper* wrapper = slot.wrapper.load(std::memory_order_acquire)) return wrapper;
  for (const Slot& slot : slots_) {
    VST_Wrapper* wrapper = slot.wrapper.load(std::memory_order_acquire);
    if (wrapper != nullptr && !slot.known.load(std::memory_order_acquire)) return wrapper;
  }
  return nullptr;
}

int VST_Wrapper_List::Count() const {
  int n = 0;
  for (const Slot& slot : slots_)
    if (slot.wrapper.load(std::memory_order_acquire) != nullptr) ++n;
  return n;
}

}  // namespace kr
