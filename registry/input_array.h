// The data object of a summing input (PF_SUM): a list of its sources. The
// adders build the concrete classes; the engine only registers sources.
#pragma once

namespace kr {

class UPlug;

class BaseInputArray {
 public:
  virtual ~BaseInputArray() = default;
  virtual void AddSource(UPlug* output) = 0;
  virtual void RemoveSource(UPlug* output) = 0;
};

}  // namespace kr
