// The application object as the effect object uses it: start-up with the
// stored document, the engine start and stop, host blocks and the GUI
// message pump. The plug-in's entry passes the factory that makes it.
#pragma once

#include <cstdint>
#include <memory>

#include "app/document_settings.h"
#include "app/top_container.h"
#include "engine/host_block.h"
#include "engine/host_services.h"
#include "gui/plugin_editor_interface.h"

namespace kr {

class KrApplication {
 public:
  virtual ~KrApplication() = default;

  // The host, as the effect object that owns this application offers it
  // (cleared with null before the effect object goes).
  virtual void SetHost(kr::HostServices* host) = 0;
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
  virtual std::unique_ptr<ShellEditor> CreateEditor(kr::HostServices& host) = 0;
  virtual void DeleteDocument() = 0;

  virtual void SetSampleRate(float rate) = 0;
  // Stops a running engine first, then builds and starts it on the document root.
  virtual void StartSound(int blockSize) = 0;
  virtual void StopSound() = 0;
  // True while the audio master exists.
  virtual bool SoundRunning() const = 0;
  // Runs the engine for one host block (audio thread): its buffers, its MIDI
  // and the ring for the patch's outgoing MIDI.
  virtual void ProcessBlock(kr::HostBlock& block) = 0;
  // Drains the DSP-to-GUI messages on the calling (GUI) thread.
  virtual void PumpGuiMessages() = 0;
};

using ApplicationFactory = std::unique_ptr<KrApplication> (*)();

}  // namespace kr
