// Sets an environment variable while it lives, and puts back what was there.
#pragma once

#include <string>

namespace krtest {

class EnvironmentOverride {
 public:
  EnvironmentOverride(std::string name, const std::string& value);
  ~EnvironmentOverride();
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

 private:
  std::string name_;
  std::string previous_;
  bool hadPrevious_ = false;
};

}  // namespace krtest
