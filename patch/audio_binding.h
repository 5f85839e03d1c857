// Joining patch parameters to the engine when sound starts, and parting them
// when it stops. GUI thread, engine stopped.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "patch/dsp_patch_manager.h"
#include "patch/dsp_patch_parameter.h"

namespace kr {

class CContainer;
class CPlug2;
class KrAudioMaster;
class UPlug;

class PatchMemory;

// The patch memories' runtimes of a document tree (attached to its stored memories).
std::vector<PatchMemory*> PatchMemoriesOf(const CContainer& root);
// How many patch parameters the tree holds (the GUI-to-DSP ring is sized for
// one switch of them all).
std::size_t PatchParameterCount(const CContainer& root);

// The audio side of the patch parameters while sound runs.
struct PatchBinding {
  std::vector<std::unique_ptr<dsp_patch_parameter>> twins;
  std::vector<std::unique_ptr<dsp_patch_manager>> managers;  // one per patch memory
};

// A twin for every parameter whose plug has an input in the built graph (or
// whose module produces its value), registered with the master under the
// parameter's handle; the parameters send their values to them from now
// on. Each memory's container takes its manager for MIDI automation.
PatchBinding BindPatchParameters(
    const CContainer& root, KrAudioMaster& master, const std::function<UPlug*(const CPlug2&)>& audioPlugOf);
void UnbindPatchParameters(const CContainer& root);

}  // namespace kr
