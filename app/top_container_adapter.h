// The document's top-level container as the plug-in shell sees it.
// Programs and chunks proper belong to the patch-memory code; until it
// exists they answer with what the stored patch memory holds (names, the
// current patch) and empty chunks.
#pragma once

#include <vector>

#include "app/top_container.h"
#include "document/notifier.h"
#include "patch/host_value_inbox.h"

namespace kr {

class CContainer;
class CControl;
class CPlug2;
class generic_parameter;

// Passes the "Program" parameter's value changes (code 31) to a shell
// watcher, and forgets the parameter when it goes away (code 8).
class ProgramParameterBridge final : public Notifiable {
 public:
  ProgramParameterBridge(generic_parameter& parameter, ParamWatcher& watcher);
  ~ProgramParameterBridge() override;
  void OnNotify(Notifier* source, int code, void* data) override;

 private:
  generic_parameter* parameter_;
  ParamWatcher& watcher_;
};

class TopContainerAdapter final : public TopContainer {
 public:
  explicit TopContainerAdapter(CContainer& container) : container_(container) {}
  ~TopContainerAdapter() override;

  CContainer& Container() const { return container_; }

  std::string Name() const override;
  std::vector<std::string> AudioInputNames() const override;
  std::vector<std::string> AudioOutputNames() const override;
  bool HasMidiInput() const override;
  bool HasMidiOutput() const override;

  bool GovernedByPatchSelect() const override;
  void SelectProgram(int program) override;
  std::string ProgramName(int program) const override;
  void RenameCurrentProgram(std::string_view name) override;
  bool CopyCurrentProgramTo(int program) override;

  // The chunk stays valid until the next GetChunk or the adapter's end.
  std::span<const std::uint8_t> GetChunk(bool isPreset) override;
  std::intptr_t SetChunk(std::span<const std::uint8_t> data, bool isPreset) override;

  bool WatchProgramParameter(ParamWatcher& watcher) override;
  std::string ProgramParameterText() const override;
  // Over the patch parameters of the container's patch memory that the host
  // may see, then over its legacy panel controls.
  std::vector<std::unique_ptr<HostParameter>> CollectHostParameters() override;

  // Audio thread, at the start of a block: values hosts left from other
  // threads go to the audio side.
  void ApplyPendingHostValues();
  // GUI thread, with the audio thread outside the engine: after sound
  // started, and before it stops.
  void BindHostValuesToAudio();
  void UnbindHostValuesFromAudio();

 private:
  std::vector<CControl*> LegacyControls() const;

  CContainer& container_;
  std::unique_ptr<ProgramParameterBridge> programWatch_;
  std::vector<std::uint8_t> chunk_;
  kr::HostValueInbox hostValues_;  // the audio thread's only view of the host parameters
  std::vector<HostParameter*> hostParameters_;  // owned by the effect object; GUI thread only
};

// The container's spare, unconnected auto-plug (still of the boundary
// direction, DR_CONTAINER_IO). It never becomes a host channel.
bool IsSpareAutoPlug(const CPlug2& plug);

}  // namespace kr
