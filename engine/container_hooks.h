// What the engine asks of the container that holds a module. The container
// classes implement it; the engine only needs these requests.
#pragma once

#include "registry/plug_types.h"

namespace kr {

class ug_base;

// Container hook codes (module slot 25). An envelope sends the first at
// Open and the second at Close: "attach me to (detach me from) the note
// source of my voice", so that a re-struck voice can fast-release it.
inline constexpr int kHookAttachEnvelope = 1;
inline constexpr int kHookDetachEnvelope = 2;

class ContainerHooks {
 public:
  virtual ~ContainerHooks() = default;

  // The module that holds constant sources for the container's unconnected
  // inputs: its I/O module, or its patch-parameter setter for patch values.
  // Created when missing. Null when the container cannot provide one.
  virtual ug_base* ConstantSourceModule(bool patchValue) = 0;

  // A new combiner (an adder for audio) for a second source into a single
  // input: plug 0 its output, plug 1 its summing input. Null when none.
  virtual ug_base* CreateCombiner(PlugDataType type) = 0;

  // Slot 25 of the module base: forwarded here.
  virtual void ModuleHook(ug_base& module, int code) {}
};

}  // namespace kr
