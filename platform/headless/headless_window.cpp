// Builds without a window system: the editor runs headless only.
#include "platform/editor_window.h"

namespace kr {

namespace platform {

std::unique_ptr<ChildWindow> CreateChildWindow(void*, int, int) { return nullptr; }

}  // namespace platform

}  // namespace kr
