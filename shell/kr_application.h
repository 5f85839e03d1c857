// The application object as the effect object uses it: start-up with the
// stored document, the engine start and stop, and the GUI message pump.
#pragma once

#include <cstdint>
#include <memory>

#include "shell/document_settings.h"
#include "shell/shell_editor.h"
#include "shell/top_container.h"

class KrVst;

class KrApplication {
 public:
  virtual ~KrApplication() = default;

  // The effect object that owns this application (cleared with null).
  virtual void SetEffect(KrVst* effect) = 0;
  // Records the calling thread as the GUI thread and loads the stored
  // document; false when there is none or it cannot be read.
  virtual bool Initialise() = 0;
  virtual std::uint32_t GuiThreadId() const = 0;

  // Valid after a successful Initialise until DeleteDocument.
  virtual const DocumentSettings* Settings() const = 0;
  // The first enabled container of the document root; null when there is none.
  virtual TopContainer* FindTopContainer() = 0;
  // Connects the top container's plugs to the host input and output modules.
  virtual void WireHostIo(TopContainer& top) = 0;
  virtual std::unique_ptr<ShellEditor> CreateEditor(KrVst& effect) = 0;
  virtual void DeleteDocument() = 0;

  virtual void SetSampleRate(float rate) = 0;
  // Stops a running engine first, then builds and starts it on the document root.
  virtual void StartSound(int blockSize) = 0;
  virtual void StopSound() = 0;
  // True while the audio master exists.
  virtual bool SoundRunning() const = 0;
  // Runs the audio master for one host block (audio thread).
  virtual void RunAudioMaster(int sampleFrames) = 0;
  // Drains the DSP-to-GUI messages on the calling (GUI) thread.
  virtual void PumpGuiMessages() = 0;
};
