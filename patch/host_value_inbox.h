// Host values set from other threads while sound runs, waiting for the
// audio thread. Each host parameter owns a slot here; the audio thread
// walks the slots (never the host parameters or the document) at the start
// of its next block and hands each waiting value to its slot's target.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <deque>

#include "engine/host_value_target.h"

namespace kr {

class HostValueSlot {
 public:
  explicit HostValueSlot(std::atomic<bool>& anyWaiting) : anyWaiting_(anyWaiting) {}
  HostValueSlot(const HostValueSlot&) = delete;
  HostValueSlot& operator=(const HostValueSlot&) = delete;

  // GUI thread, with the audio thread outside the engine: sound started
  // (the audio-side target) or is about to stop (nullptr).
  void Bind(HostValueTarget* target) { target_.store(target, std::memory_order_release); }
  // Any thread but the GUI thread, while sound runs: the latest value wins.
  void Leave(float normalised) {
    bits_.store(std::bit_cast<std::uint32_t>(normalised), std::memory_order_relaxed);
    waiting_.store(true, std::memory_order_release);
    anyWaiting_.store(true, std::memory_order_release);
  }
  // Audio thread, at the start of a block.
  void Deliver() {
    if (!waiting_.exchange(false, std::memory_order_acq_rel)) return;
    const float value = std::bit_cast<float>(bits_.load(std::memory_order_relaxed));
    if (HostValueTarget* target = target_.load(std::memory_order_acquire)) target->SetFromHost(value);
  }

 private:
  std::atomic<bool>& anyWaiting_;
  std::atomic<std::uint32_t> bits_{0};
  std::atomic<bool> waiting_{false};
  std::atomic<HostValueTarget*> target_{nullptr};
};

class HostValueInbox {
 public:
  // GUI thread, while the host parameters are collected (before sound
  // starts). Slots keep their address for the inbox's life.
  HostValueSlot& NewSlot() { return slots_.emplace_back(anyWaiting_); }
  // Audio thread, at the start of a block: waiting values in slot order.
  void Deliver() {
    if (!anyWaiting_.exchange(false, std::memory_order_acq_rel)) return;
    for (HostValueSlot& slot : slots_) slot.Deliver();
  }

 private:
  std::atomic<bool> anyWaiting_{false};
  std::deque<HostValueSlot> slots_;
};

}  // namespace kr
