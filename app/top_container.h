// The document's top-level container as the shell sees it: its plugs become
// the plug-in's inputs and outputs, its patch memory the host's programs.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/param_watcher.h"
#include "patch/host_parameter.h"

namespace kr {

class TopContainer {
 public:
  virtual ~TopContainer() = default;
  virtual std::string Name() const = 0;

  // Names of the DT_AUDIO plugs of each side in plug order, the spare
  // unconnected auto-plug excluded.
  virtual std::vector<std::string> AudioInputNames() const = 0;
  virtual std::vector<std::string> AudioOutputNames() const = 0;
  virtual bool HasMidiInput() const = 0;
  virtual bool HasMidiOutput() const = 0;

  // True when a "Patch Select" module governs this container's patch memory.
  virtual bool GovernedByPatchSelect() const = 0;
  virtual void SelectProgram(int program) = 0;
  virtual std::string ProgramName(int program) const = 0;
  virtual void RenameCurrentProgram(std::string_view name) = 0;
  // False when the program could not be copied (nothing changed).
  virtual bool CopyCurrentProgramTo(int program) = 0;

  // The bytes stay valid until the next GetChunk call.
  virtual std::span<const std::uint8_t> GetChunk(bool isPreset) = 0;
  virtual std::intptr_t SetChunk(std::span<const std::uint8_t> data, bool isPreset) = 0;

  // Watches the container's "Program" parameter; false when it has none.
  virtual bool WatchProgramParameter(ParamWatcher& watcher) = 0;
  virtual std::string ProgramParameterText() const = 0;

  // The host-visible parameters of the container and the modules inside it,
  // in collection order (unsorted).
  virtual std::vector<std::unique_ptr<HostParameter>> CollectHostParameters() = 0;
};

}  // namespace kr
