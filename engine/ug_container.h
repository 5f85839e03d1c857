// The audio object of a document container. A voice container owns the
// modules placed in its voice list; a flattened container places its modules
// in the enclosing voice container's list but still answers for its own
// boundary plugs, constant sources and adders.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/container_hooks.h"
#include "engine/control_automation.h"
#include "engine/ug_base.h"
#include "engine/voice_list.h"

namespace kr {

class PatchParameterAutomation;

class ug_container : public VoiceList, public ug_base, public ContainerHooks, public ControlAutomation {
 public:
  ug_container();
  ~ug_container() override;

  // Threads as engine/ug_base.h gives them: Open opens every voice (GUI
  // thread, engine stopped); events run on the audio thread.
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_container>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;
  // Program changes go to the voices; other events to the base.
  void HandleEvent(ug_event* event) override;
  // The stored value is untrusted: kept to the plug's range 1..200 so that
  // a corrupt document cannot ask for thousands of voice copies.
  int MaxVoices() const override;
  static constexpr int kMaxPolyphony = 200;

  // The container whose voice list receives this container's modules: itself
  // for a voice container, the enclosing one otherwise.
  ug_container& Target() { return target_ != nullptr ? *target_ : *this; }
  void SetTarget(ug_container* target) { target_ = target; }
  bool IsVoiceContainer() const { return target_ == nullptr || target_ == this; }

  // Takes ownership and appends to voice 0. The module answers to hooks as
  // a member of `owner` (this container when null).
  ug_base* AddModule(std::unique_ptr<ug_base> module, ug_container* owner = nullptr);

  // ContainerHooks
  ug_base* ConstantSourceModule(bool patchValue) override;
  ug_base* CreateCombiner(PlugDataType type) override;
  // Envelopes attach to the note source of their voice in the voice list
  // that holds them.
  void ModuleHook(ug_base& module, int code) override;

  // ControlAutomation, as a patch owner: 128 chains of controls, one per
  // controller (99 and 101 under 6, data entry).
  void RegisterControl(ug_control& control) override;
  void ReportControl(int time, int controller, int nrpn, float value) override;
  void DispatchToControls(int time, int controller, int rpn, int nrpn, float value) override;
  void SendAllControls(int time) override;

  // Every module of voice 0, recursively into the containers in it.
  void CollectModules(std::vector<ug_base*>& out);

  // A patch owner's MIDI automator and the output module it made for
  // itself, recorded when the automator is placed; the graph builder then
  // wires the hidden ordering connections to them. Not owned: both sit in
  // this container's voice list.
  void RecordMidiAutomator(ug_base* automator, ug_base* output) {
    midiAutomator = automator;
    midiAutomatorOut = output;
  }
  ug_base* midiAutomator = nullptr;
  ug_base* midiAutomatorOut = nullptr;
  // A patch owner's parameters by controller identifier, while sound runs
  // (not owned).
  PatchParameterAutomation* parameterAutomation = nullptr;
  // Engine stopped: a module from the registry with the plugs of its own
  // list, placed where this container's modules go.
  ug_base* MakeHelperModule(const char* registryName) { return MakeModule(registryName); }

  std::int16_t polyphony = 8;
  bool midiAutomation = false;
  std::int16_t showControls = 0;
  ug_base* ioModule = nullptr;  // holds constant sources; found or made on demand
  ug_base* patchSetter = nullptr;  // holds the constant sources of patch values; made on demand

 protected:
  // VoiceList: new modules and combiners land in voice 0 of this container.
  ug_base* MakeModule(const char* registryName) override;
  ug_base* MakeCombiner(PlugDataType type) override { return CreateCombiner(type); }

 private:
  ug_container* target_ = nullptr;
  std::vector<std::unique_ptr<ug_base>> owned_;
  std::array<ug_control*, 128> controls_{};
};

}  // namespace kr
