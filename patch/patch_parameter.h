// A patch parameter, GUI side: one stored plug value with its 128 program
// slots (kept by the document's patch memory), the 0..1 mapping the host
// sees, and the link to its audio-side twin while sound runs.
//
// GUI thread only, except where a method says otherwise.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "document/notifier.h"
#include "document/patch_manager.h"
#include "engine/ui_msg_target.h"

namespace kr {

class KrAudioMaster;

class dsp_patch_parameter;

// Document type numbers of patch values.
enum PatchValueType : std::int32_t { PV_ENUM = 0, PV_TEXT = 1, PV_BOOL = 4, PV_FLOAT = 6, PV_INT = 8 };

// Told when a parameter's value changed: `report` is false while a patch is
// being applied or when the host set it (nothing to tell the host then).
class PatchValueObserver {
 public:
  virtual void OnPatchValueChanged(bool report) = 0;
  // The parameter is going away (its document is closing).
  virtual void OnPatchParameterGone() = 0;

 protected:
  ~PatchValueObserver() = default;
};

class PatchParameter final : public Notifiable, public ui_msg_target {
 public:
  PatchParameter(CPatchManager& memory, StoredPatchParameter& stored);
  ~PatchParameter() override;
  PatchParameter(const PatchParameter&) = delete;
  PatchParameter& operator=(const PatchParameter&) = delete;

  std::int32_t Identifier() const { return stored_.identifier; }
  const std::string& Name() const { return stored_.name; }
  std::int32_t TypeNumber() const { return stored_.typeNumber; }
  bool HiddenFromHost() const { return stored_.hiddenFromHost; }
  StoredPatchParameter& Stored() { return stored_; }
  const StoredPatchParameter& Stored() const { return stored_; }

  // The value of the current program (slot 0 when it ignores program changes).
  std::string ValueText() const;
  int CurrentSlot() const;

  // The host's 0..1 view (by value type; text and int are not settable).
  float Normalised() const;
  // From the host on the GUI thread: stores and applies the value, tells the
  // audio side, and does not report it back.
  void SetNormalised(float normalised);
  std::string DisplayText() const;
  // The value a normalised one stands for, as text (empty: not settable).
  std::string TextForNormalised(float normalised) const;

  // A patch switch (or a chunk load): the plug takes the patch's value, the
  // audio side hears of it, and nothing is reported to the host.
  void Apply(int patch);
  // Copies the current slot's value into patches first .. last.
  void CopyCurrentTo(int first, int last);

  // The float range and enumeration items of the value (from the module).
  float Minimum() const;
  float Maximum() const;
  std::string ItemList() const;

  void SetObserver(PatchValueObserver* observer) { observer_ = observer; }

  // --- the audio side (sound running) ---------------------------------------
  void Bind(KrAudioMaster& master, dsp_patch_parameter* twin);
  void Unbind();
  dsp_patch_parameter* Twin() const { return twin_; }
  // Program switches so far: a twin starts from it, and values it sends
  // back carry it, so late ones from a program left behind are dropped.
  std::int32_t ProgramEpoch() const { return static_cast<std::int32_t>(programEpoch_); }
  // The MIDI controller identifier (-1 none, -2 learn the next one); the
  // twin hears of it at once.
  void SetMidiController(std::int32_t identifier);
  std::int32_t MidiController() const { return stored_.midiController; }

  // The current value as "ppc" to the twin (flag 1: a patch change).
  void SendToAudio(bool patchChange);

  // The plug changed (an edit): stored into the current slot and sent on.
  void OnNotify(Notifier* source, int code, void* data) override;
  // "ppc" back from the twin: stored without telling the twin again.
  void OnDspMessage(std::int32_t id, my_input_stream& stream) override;

 private:
  void StoreAndTell(const std::string& text, bool report);

  CPatchManager& memory_;
  StoredPatchParameter& stored_;
  CPlug2* plug_ = nullptr;
  PatchValueObserver* observer_ = nullptr;
  KrAudioMaster* master_ = nullptr;
  dsp_patch_parameter* twin_ = nullptr;
  bool applying_ = false;    // a patch or a value from elsewhere is being applied
  bool notifyLock_ = false;  // a value from the audio side is being stored
  bool setByHost_ = false;
  std::uint32_t programEpoch_ = 0;  // program switches so far; travels with the values
};

}  // namespace kr
