// The engine's scheduler: owns the sample clock, cuts host blocks into
// sub-blocks that never cross a multiple of L, runs the active modules in
// sort order and dispatches messages from the GUI side on the audio thread.
//
// Threads: built, started and deleted on the GUI thread with the engine
// stopped. Start opens every module and every voice copy there (Open never
// runs on the audio thread); from then on the audio thread runs Process and
// everything it calls, and the GUI thread only writes the GUI-to-DSP ring.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "engine/audio_master_host.h"
#include "engine/dsp_msg_target.h"
#include "engine/event_pool.h"
#include "engine/event_processor.h"
#include "engine/host_block.h"
#include "engine/ui_to_dsp_que.h"
#include "vst/vst2.h"

namespace kr {

class ug_base;

// L from the host block size N (N < 96: N; otherwise a divisor of N near 96..192).
int ComputeSubBlockLength(int hostBlockSize);

class KrAudioMaster final : public EventProcessor, public dsp_msg_target {
 public:
  // guiToDspBytes: the size of the GUI-to-DSP ring (at least its default).
  KrAudioMaster(AudioMasterHost& host, std::int32_t ownHandle, int guiToDspBytes = ui_to_dsp_que::kSize);
  ~KrAudioMaster() override;

  // GUI thread, engine stopped: L for this engine (also the process-wide L).
  void SetBlockSize(int hostBlockSize);
  // GUI thread, engine stopped: clocks to 0, then opens the root container.
  void Start(ug_base& rootContainer);
  // Audio thread: one host block. Allocates nothing. Skipped (nothing runs,
  // the clocks stay) when a GUI-thread dispatch is under way: the audio
  // thread never waits.
  void Process(int count);
  // Audio thread: one host block with its buffers and MIDI. The host block
  // readers take their part first; the block is current while it runs.
  void Process(kr::HostBlock& block);
  // The block being processed; null between blocks.
  const kr::HostBlock* CurrentBlock() const { return currentBlock_; }
  // The ring of the latest host block, kept between blocks (null before the first).
  OutgoingMidiRing* HostMidiOut() const { return hostMidiOut_; }
  // GUI thread, engine stopped (from a module's Open and Close).
  void AddHostBlockReader(kr::HostBlockReader* reader);
  void RemoveHostBlockReader(kr::HostBlockReader* reader);

  // Active list, in descending sort order (audio thread, or while stopped).
  void Insert(EventProcessor* module);
  void Remove(EventProcessor* module);

  // Messages from the GUI side (written straight into GuiToDsp()). Request
  // from the GUI thread only; dispatch runs on the audio thread at block
  // start, or on the GUI thread when not deferring and no block is running.
  void RequestDispatch();
  void DispatchGuiMessages();
  // Dispatches at most one message on the writing thread (the queue-full path).
  void DispatchOneGuiMessage();
  // Any thread: whether a block is running now.
  bool InProcess() const { return inProcess_.load(std::memory_order_acquire); }
  // Blocks skipped because a GUI-thread dispatch was under way (audio thread).
  long SkippedBlocks() const { return skippedBlocks_; }
  // Any thread: on the audio thread straight into the module's events,
  // otherwise (GUI thread) through the GUI-to-DSP ring.
  void PostNotify(ug_base& module, int kind, int value);
  // Dispatch (audio thread at block start, or GUI thread with no block running).
  void OnGuiMessage(std::int32_t id, my_input_stream& stream) override;
  // "noti" body after handle and id: turns it into a UET_UI_NOTIFY event.
  void HandleNotify(my_input_stream& stream);

  // GUI thread, engine stopped (graph building and tear-down).
  void RegisterTarget(std::int32_t handle, dsp_msg_target* target);
  void UnregisterTarget(std::int32_t handle);

  // Audio thread: host time at the start of the current sub-block period;
  // nullopt when the host has none.
  std::optional<vst::VstTimeInfo> GetTimeInfo(std::int32_t filter);
  // Any thread: the parameter refresh runs at the next block start.
  void RequestParameterRefresh();
  // Audio thread, or GUI thread with the engine stopped (Open): through the host link.
  void MessageBox(std::string_view text, std::int32_t style = 0);
  void PostRefresh(ug_base& module);
  // Stop-with-wait request, from any thread (a module at Open asks on the
  // GUI thread); the audio thread acknowledges by clearing running.
  void RequestStop();

  // Audio thread. Heartbeat of the host-input module: defer GUI messages to the audio
  // thread again, and come back a quarter second later.
  static void DeferralHeartbeat(ug_base& module);

  int BlockLength() const { return blockLength_; }
  double SampleRate() const { return host_.SampleRate(); }
  EventPool& Events() { return eventPool_; }
  AudioMasterHost& Host() { return host_; }
  ui_to_dsp_que& GuiToDsp() { return guiToDsp; }

  EventPool eventPool_;  // first: outlives every event of this engine
  int now = 0;
  int periodStart = 0;
  int subBlockEnd = 0;
  int blockStart = 0;
  std::atomic<bool> attention{false};
  std::atomic<bool> stopAck{false};
  std::atomic<bool> pumpRequested{false};
  std::atomic<bool> paramRefresh{false};
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> running{false};
  std::atomic<bool> deferToAudio{false};
  std::atomic<bool> directAllowed{true};
  ui_to_dsp_que guiToDsp;
  EventProcessor* activeHead = nullptr;
  EventProcessor* current = nullptr;
  vst::VstTimeInfo timeInfo{};
  std::map<std::int32_t, dsp_msg_target*> targets;
  EventProcessor* insertHint = nullptr;

 private:
  // Marks the block as running; false (nothing marked) when the GUI thread
  // is dispatching.
  bool EnterProcess();
  void RunBlock(int count);
  // GUI-thread dispatch of queued messages, refused while a block runs.
  bool DispatchDirect(bool oneOnly);
  void DispatchOne();
  bool OnAudioThread() const;

  AudioMasterHost& host_;
  int blockLength_ = 1;
  const kr::HostBlock* currentBlock_ = nullptr;
  OutgoingMidiRing* hostMidiOut_ = nullptr;
  std::vector<kr::HostBlockReader*> hostBlockReaders_;
  // Keeps GUI-thread dispatch and Process apart (see DispatchDirect).
  std::atomic<bool> inProcess_{false};
  std::atomic<bool> guiDispatching_{false};
  // The thread running Process; std::thread::id costs no system call to ask
  // for, so every block can record it.
  std::atomic<std::thread::id> audioThread_{};
  bool directDepth_ = false;  // a GUI-thread dispatch is under way on this engine
  long skippedBlocks_ = 0;
};

}  // namespace kr
