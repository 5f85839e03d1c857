// The document's top-level container as the plug-in shell sees it.
// Programs and chunks proper belong to the patch-memory code; until it
// exists they answer with what the stored patch memory holds (names, the
// current patch) and empty chunks.
#pragma once

#include "app/top_container.h"
#include "document/notifier.h"

class CContainer;
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
  // Copying programs belongs to the patch memory's parameters, not built yet.
  bool CopyCurrentProgramTo(int) override { return false; }

  std::span<const std::uint8_t> GetChunk(bool isPreset) override { return {}; }
  std::intptr_t SetChunk(std::span<const std::uint8_t> data, bool isPreset) override { return 0; }

  bool WatchProgramParameter(ParamWatcher& watcher) override;
  std::string ProgramParameterText() const override;
  std::vector<std::unique_ptr<HostParameter>> CollectHostParameters() override { return {}; }

 private:
  CContainer& container_;
  std::unique_ptr<ProgramParameterBridge> programWatch_;
};

// The container's spare, unconnected auto-plug (still of the boundary
// direction, DR_CONTAINER_IO). It never becomes a host channel.
bool IsSpareAutoPlug(const CPlug2& plug);
