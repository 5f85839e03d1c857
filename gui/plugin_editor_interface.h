// The plug-in's editor window as the shell sees it.
#pragma once

#include <cstdint>

#include "vst/vst2.h"

namespace kr {

class ShellEditor {
 public:
  virtual ~ShellEditor() = default;
  virtual std::intptr_t GetRect(vst::ERect** rect) = 0;
  virtual std::intptr_t Open(void* parentWindow) = 0;
  virtual void Close() = 0;
  virtual void Idle() = 0;
  virtual std::intptr_t OnKeyDown(vst::VstKeyCode& key) = 0;
  virtual std::intptr_t OnKeyUp(vst::VstKeyCode& key) = 0;
  virtual std::intptr_t SetKnobMode(int mode) = 0;
  virtual bool IsOpen() const = 0;
};

}  // namespace kr
