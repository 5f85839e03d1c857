// Told when a watched patch parameter changes its value.
#pragma once

class ParamWatcher {
 public:
  virtual ~ParamWatcher() = default;
  virtual void OnWatchedValueChanged() = 0;
};
