// Told when a watched patch parameter changes its value.
#pragma once

namespace kr {

class ParamWatcher {
 public:
  virtual ~ParamWatcher() = default;
  virtual void OnWatchedValueChanged() = 0;
};

}  // namespace kr
