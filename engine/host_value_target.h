// What a host value set from another thread while sound runs reaches on the
// audio side: a patch parameter's twin or a legacy control's audio object.
// The value travels as the host gave it (0..1); the target maps it.
#pragma once

namespace kr {

class HostValueTarget {
 public:
  // Audio thread, at the start of a block, engine running.
  virtual void SetFromHost(float normalised) = 0;

 protected:
  ~HostValueTarget() = default;
};

}  // namespace kr
