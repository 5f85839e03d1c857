// Every wrapper whose plug-in library is loaded, in load order, so that the
// one host callback finds the wrapper a call belongs to. Wrappers are added
// and removed on GUI threads (any plug-in copy's); the callback reads the
// list from any thread, the audio thread too, without waiting: a fixed
// table of slots, each an effect record and its wrapper.
#pragma once

#include <array>
#include <atomic>
#include <mutex>

#include "vst/vst2.h"

namespace kr {

class VST_Wrapper;

class VST_Wrapper_List {
 public:
  static constexpr int kCapacity = 256;

  static VST_Wrapper_List& Get();

  // False when every slot is taken.
  bool Add(VST_Wrapper* wrapper);
  // The wrapper's effect record, once its entry has given it.
  void SetEffect(VST_Wrapper* wrapper, vst::AEffect* effect);
  void Remove(VST_Wrapper* wrapper);

  // The first wrapper holding this effect record; else the first whose
  // record is not known yet (a plug-in calling back from inside its entry);
  // else null.
  VST_Wrapper* Route(vst::AEffect* effect) const;
  int Count() const;

 private:
  struct Slot {
    std::atomic<VST_Wrapper*> wrapper{nullptr};
    std::atomic<vst::AEffect*> effect{nullptr};
    std::atomic<bool> known{false};  // effect has been given
  };
  std::mutex writers_;
  std::array<Slot, kCapacity> slots_;
};

}  // namespace kr
