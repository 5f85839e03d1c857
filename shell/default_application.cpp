#include "shell/default_application.h"

#include "platform/platform.h"

bool DefaultApplication::Initialise() {
  guiThread_ = platform::CurrentThreadId();
  return false;  // no stored document can be read without the start-up code
}
