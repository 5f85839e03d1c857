// Base of every DSP module: owns its plugs, runs a replaceable process
// function cut at event times, passes plug states on and sleeps when its
// inputs have settled.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/audio_master.h"
#include "engine/dsp_msg_target.h"
#include "engine/event_processor.h"
#include "engine/uplug.h"
#include "registry/interface_object.h"

namespace kr {

class ContainerHooks;
class ControlAutomation;
class CUG;
struct connector;

enum UgFlags : std::uint32_t {
  UGF_IO_MOD = 0x1,
  UGF_MONITOR = 0x2,
  UGF_POLYPHONIC = 0x4,
  UGF_UP_MARK = 0x8,
  UGF_DOWN_MARK = 0x10,
  UGF_NEVER_SUSPEND_WITH_VOICE = 0x20,
  UGF_NO_MARKING = 0x40,
  UGF_SUSPENDED = 0x80,
  UGF_OPEN = 0x100,
  UGF_NEVER_SUSPEND = 0x200,
  UGF_CLONE = 0x800,
  UGF_BUILD_1000 = 0x1000,
  UGF_SORT_EARLY = 0x2000,
  UGF_PATCH_PARAM_SETTER = 0x40000,   // the container's patch-parameter setter
  UGF_PATCH_PARAM_WATCHER = 0x80000,  // the container's patch-parameter watcher
};

class ug_base : public EventProcessor, public dsp_msg_target {
 public:
  using ProcessFunction = void (ug_base::*)(int offset, int count);

  // Threads: "GUI, stopped" is the GUI thread with the engine stopped (graph
  // building, Start's opening of every module and voice, Close, delete);
  // "audio" is the audio thread inside a block, engine running; "dispatch"
  // is the audio thread at block start, or the GUI thread while no block
  // runs (the audio master's direct dispatch). Voices open at Start, never
  // on the audio thread: a note only resumes a suspended voice.
  ug_base();
  ~ug_base() override;  // slot 0: deletes plugs (and their connectors) and events. GUI, stopped

  // Virtual operations in slot order, with the thread that calls each.
  void Wake() override;                                                      // 1 audio; GUI, stopped (events queued at Open)
  void RunFor(int count) override;                                           // 2 audio
  void OnUiNotify(int kind, int value) override;                             // 3 audio (a "noti" event); dispatch
  void HandleEvent(ug_event* event) override;                                // 4 audio
  virtual std::unique_ptr<ug_base> CreateSame() = 0;                         // 5 GUI, stopped
  virtual std::unique_ptr<ug_base> Clone();                                  // 6 GUI, stopped (voice copies)
  virtual void Suspend();                                                    // 7 audio (the note source's voice events)
  virtual void Resume();                                                     // 8 audio (a note for a suspended voice)
  virtual void QueueMidi(int time, std::uint32_t message, UPlug* input);     // 9 audio
  virtual void QueueStateChange(int time, connector* c, PlugState state);    // 10 audio; GUI, stopped (at Open)
  virtual void OnPlugStateChange(int time, connector* c, PlugState state) {} // 11 audio (a state-change event)
  virtual void ListInterface(InterfaceList& list) {}                         // 12 any one thread, no engine needed
  virtual void Open();                                                       // 13 GUI, stopped (Start; voices too)
  virtual void Close();                                                      // 14 GUI, stopped
  void OnGuiMessage(std::int32_t id, my_input_stream& stream) override;      // 15 dispatch
  virtual bool HasMarkedInput();                                             // 16 GUI, stopped
  virtual void MarkDownstream();                                             // 17 GUI, stopped
  virtual void MarkUpstream();                                               // 18 GUI, stopped
  virtual void PropagateVoiceDown(int tag);                                  // 19 GUI, stopped
  virtual void PropagateVoiceUp(int tag);                                    // 20 GUI, stopped
  virtual void AllocatePlugData();                                           // 21 GUI, stopped
  // Its voice resumed for a note at time (after Resume): nothing here.
  virtual void VoiceResumed(int time) {}                                     // 22 audio
  virtual void ConnectClone(ug_base& prototype, int voice);                  // 23 GUI, stopped
  virtual void ProgramChange(int program) {}                                 // 24 audio (a program change event)
  virtual void ContainerHook(int code);                                      // 25 GUI, stopped (Open, Close)
  virtual bool CanSleep() { return events.empty(); }                         // 26 audio

  // Plugs made from the module's own plug list (skipping records that are
  // made one per document plug).
  void CreatePlugs();
  UPlug* AddPlug(std::unique_ptr<UPlug> plug);
  // Throws std::invalid_argument for an index outside the plug list.
  UPlug* GetPlug(int index);
  int PlugCount() const { return static_cast<int>(plugs.size()); }

  template <class T>
  void SetProcessFunction(void (T::*fn)(int, int)) {
    process = static_cast<ProcessFunction>(fn);
  }
  void SetProcessFunction(ProcessFunction fn) { process = fn; }

  std::string DisplayName() const;
  void MessageBox(std::string_view text);
  void PostNotify(int kind, int value);
  void QueueProgramChange(int time, int value);
  void QueueCall(int time, EventCall fn);

  // The sub-block length of this module's engine. Inline: process
  // functions ask for these on every call.
  int BlockLength() const { return audioMaster != nullptr ? audioMaster->BlockLength() : SubBlockLength(); }
  // Start of the current sub-block period (0 without an engine).
  int PeriodStart() const { return audioMaster != nullptr ? audioMaster->periodStart : 0; }

  // Settling, the one countdown every module uses once its outputs stop
  // changing: StartSettling installs the module's settle function for one
  // sub-block period; the settle function calls SettleStep, which renders
  // what is left of that period through fill(offset, n), then (after
  // settled(n), when given) installs the sleep check and runs it for the
  // rest of the call. SettleStep answers whether the period still runs.
  template <class T>
  void StartSettling(void (T::*fn)(int, int)) {
    settleCount = BlockLength();
    SetProcessFunction(fn);
  }
  struct NothingMore {
    void operator()(int) const {}
  };
  template <class Fill, class Settled = NothingMore>
  bool SettleStep(int offset, int count, Fill&& fill, Settled&& settled = {}) {
    const int n = count < settleCount ? count : settleCount;
    if (n > 0) fill(offset, n);
    settleCount -= n;
    if (settleCount > 0) return true;
    settled(n);
    SetProcessFunction(&ug_base::SleepCheck);
    SleepCheck(offset + n, count - n);
    return false;
  }

  // The sleep check and the generic hold ramp (its settle function).
  void SleepCheck(int offset, int count);
  void StartHold();
  void HoldStarter(int offset, int count);
  void Hold(int offset, int count);
  void DoNothing(int offset, int count) {}

  std::int32_t voiceTag = -1;
  std::vector<std::unique_ptr<UPlug>> plugs;
  ContainerHooks* container = nullptr;
  ControlAutomation* automation = nullptr;
  ProcessFunction process = &ug_base::DoNothing;
  ug_base* nextClone = nullptr;
  ProcessFunction savedProcess = nullptr;
  int settleCount = 0;
  int audioInCount = 0;
  int audioOutCount = 0;
  CUG* docModule = nullptr;
  ug_base* patchOwner = nullptr;  // the container object whose programs this module follows
  std::string title;  // the document module's title, when it has one

 protected:
  // Removes this module from its engine's active list and marks it sleeping.
  void GoToSleep();
  // Fills every audio output from offset for count samples with its latest sample.
  void HoldOutputs(int offset, int count);
  // Class name for DisplayName when there is no title.
  virtual std::string ClassName() const;

  // The value a state-change event carries lands on its input plug.
  void StoreStateChangeValue(ug_event* event);

 private:
  // RunFor when events are due: process cut at each event's time.
  [[gnu::noinline]] void RunWithEvents(int count);
};

}  // namespace kr
