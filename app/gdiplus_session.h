// GDI+ for the lifetime of an application object, where the system has it.
// Nothing the plug-in draws needs it; the session only mirrors what the
// authoring application sets up, and is skipped silently when absent.
#pragma once

#include <cstdint>

namespace kr {

class GdiplusSession {
 public:
  GdiplusSession() = default;
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

  // Loads "GDIPlus.dll" and starts it (version 1, no debug callback,
  // background thread enabled). False when the library or its entry points
  // are missing, or start-up fails.
  bool Start();
  void Shutdown();
  bool Started() const { return token_ != 0; }

 private:
  void* library_ = nullptr;
  std::uintptr_t token_ = 0;
};

}  // namespace kr
