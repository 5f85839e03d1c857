#include "engine/audio_master.h"

#include <algorithm>

#include "engine/samp_block.h"
#include "engine/ug_base.h"

namespace kr {

KrAudioMaster::KrAudioMaster(AudioMasterHost& host, std::int32_t ownHandle, int guiToDspBytes)
    : eventPool_(EventPool::kEngineReserve), guiToDsp(*this, guiToDspBytes), host_(host), blockLength_(SubBlockLength()) {
  audioMaster = this;
  handle = ownHandle;
  timeInfo.tempo = 120.0;
  targets[ownHandle] = this;
}

KrAudioMaster::~KrAudioMaster() {
  ClearEvents();  // before the pool goes
  targets.clear();
}

void KrAudioMaster::SetBlockSize(int hostBlockSize) {
  blockLength_ = ComputeSubBlockLength(hostBlockSize);
  SetSubBlockLength(blockLength_);
}

void KrAudioMaster::Start(ug_base& rootContainer) {
  // Opening queues the first events; after that the pool never grows (the
  // audio thread must not allocate): a flood beyond it is dropped and counted.
  now = periodStart = subBlockEnd = clock = 0;
  // A stop asked for while the graph was built (a second note source) holds.
  attention = false;
  pumpRequested = false;
  activeHead = nullptr;
  current = nullptr;
  insertHint = nullptr;
  rootContainer.audioMaster = this;
  rootContainer.Open();
  eventPool_.Freeze();
}

bool KrAudioMaster::EnterProcess() {
  audioThread_.store(std::this_thread::get_id(), std::memory_order_relaxed);
  inProcess_.store(true);  // sequentially consistent: pairs with DispatchDirect
  if (guiDispatching_.load()) {
    // A GUI-thread dispatch began before this block: the audio thread never
    // waits for it. The block is skipped (the caller hears silence) and the
    // messages are dispatched here next time.
    pumpRequested.store(true, std::memory_order_release);
    attention.store(true, std::memory_order_release);
    inProcess_.store(false, std::memory_order_release);
    ++skippedBlocks_;
    return false;
  }
  return true;
}

void KrAudioMaster::Process(int count) {
  if (stopRequested.load(std::memory_order_acquire) && !running.load(std::memory_order_acquire)) return;
  if (!EnterProcess()) return;
  RunBlock(count);
  inProcess_.store(false, std::memory_order_release);
}

void KrAudioMaster::RunBlock(int count) {
  if (count < 0) count = 0;  // a negative host count must not run the clocks backwards
  if (attention.exchange(false, std::memory_order_acq_rel)) {
    if (pumpRequested.exchange(false, std::memory_order_acq_rel)) DispatchGuiMessages();
    if (paramRefresh.exchange(false, std::memory_order_acq_rel)) host_.RefreshParameters();
  }

  blockStart = now;
  int next = periodStart + blockLength_;
  do {
    int e = next - now;
    if (e == 0) {
      periodStart = next;
      next += blockLength_;
      e = blockLength_;
    }
    if (count < e) e = count;
    subBlockEnd = now + e;
    for (EventProcessor* m = activeHead; m != nullptr; m = m->next) {
      current = m;
      // The modules lie apart in memory: fetch the next one while this one runs.
      if (m->next != nullptr) __builtin_prefetch(m->next);
      m->RunFor(e);
    }
    current = nullptr;
    now += e;
    count -= e;
  } while (count > 0);

  // A stop request is acknowledged once the block is complete.
  if (stopRequested.load(std::memory_order_acquire) && running.load(std::memory_order_acquire)) {
    running.store(false, std::memory_order_release);
    host_.OnStopAcknowledged();
  }
}

void KrAudioMaster::Process(kr::HostBlock& block) {
  block.startTime = static_cast<std::uint32_t>(now);
  // Stopped (a second note source, say): nothing runs and nothing is written.
  if (stopRequested.load(std::memory_order_acquire) && !running.load(std::memory_order_acquire)) return;
  if (!EnterProcess()) return;
  currentBlock_ = &block;
  if (block.midiOut != nullptr) hostMidiOut_ = block.midiOut;
  for (kr::HostBlockReader* reader : hostBlockReaders_) reader->BeginHostBlock(block);
  RunBlock(block.frames);
  currentBlock_ = nullptr;
  inProcess_.store(false, std::memory_order_release);
}

void KrAudioMaster::AddHostBlockReader(kr::HostBlockReader* reader) {
  if (std::find(hostBlockReaders_.begin(), hostBlockReaders_.end(), reader) == hostBlockReaders_.end())
    hostBlockReaders_.push_back(reader);
}

void KrAudioMaster::RemoveHostBlockReader(kr::HostBlockReader* reader) {
  std::erase(hostBlockReaders_, reader);
}

void KrAudioMaster::RequestStop() {
  stopRequested = true;
  stopAck = true;
  attention = true;
}

void KrAudioMaster::Insert(EventProcessor* module) {
  if (module == nullptr || module->prev != nullptr || activeHead == module) return;  // already listed
  EventProcessor* start =
      insertHint != nullptr && insertHint->sortOrder >= module->sortOrder ? insertHint : activeHead;
  EventProcessor* before = start == activeHead ? nullptr : start->prev;
  EventProcessor* after = start;
  while (after != nullptr && after->sortOrder >= module->sortOrder) {
    before = after;
    after = after->next;
  }
  module->prev = before;
  module->next = after;
  if (before != nullptr) {
    before->next = module;
  } else {
    activeHead = module;
  }
  if (after != nullptr) after->prev = module;
  insertHint = module;

  // A module placed before the running one has been passed in this walk: it
  // starts with the next sub-block.
  if (current != nullptr && module->sortOrder > current->sortOrder) {
    module->CatchUp(subBlockEnd);
  } else {
    module->CatchUp(now);
  }
}

void KrAudioMaster::Remove(EventProcessor* module) {
  insertHint = nullptr;
  if (module == nullptr || (module->prev == nullptr && activeHead != module)) return;  // not listed
  if (module->prev != nullptr) {
    module->prev->next = module->next;
  } else {
    activeHead = module->next;
  }
  if (module->next != nullptr) module->next->prev = module->prev;
  module->prev = nullptr;  // next stays: a walk standing on this module goes on
}

}  // namespace kr
