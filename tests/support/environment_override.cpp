#include "support/environment_override.h"

#include <cstdlib>

namespace krtest {

namespace {
// Windows has no unsetenv: an empty value stands for none there.
void SetVariable(const std::string& name, const std::string* value) {
#if defined(_WIN32)
  _putenv_s(name.c_str(), value != nullptr ? value->c_str() : "");
#else
  if (value != nullptr)
    setenv(name.c_str(), value->c_str(), 1);
  else
    unsetenv(name.c_str());
#endif
}
}  // namespace

EnvironmentOverride::EnvironmentOverride(std::string name, const std::string& value) : name_(std::move(name)) {
  if (const char* now = std::getenv(name_.c_str())) {
    previous_ = now;
    hadPrevious_ = true;
  }
  SetVariable(name_, &value);
}

EnvironmentOverride::~EnvironmentOverride() { SetVariable(name_, hadPrevious_ ? &previous_ : nullptr); }

}  // namespace krtest
