// The application object of one plug-in instance: start-up, the document,
// the files the document carries, and opening files for modules.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/doc_vst.h"
#include "app/gdiplus_session.h"
#include "base/read_stream.h"
#include "document/embedded_files.h"
#include "engine/module_files.h"

namespace kr {

class CKestruneAppBase : public kr::ModuleFiles {
 public:
  CKestruneAppBase();
  ~CKestruneAppBase() override;
  CKestruneAppBase(const CKestruneAppBase&) = delete;
  CKestruneAppBase& operator=(const CKestruneAppBase&) = delete;

  // Start-up in order: GDI+ where present, the file-type folders, the
  // application name, the GUI thread, the plug-in path, then a new document
  // loaded from the plug-in. True when a document was loaded.
  bool StartUp();

  // The plug-in file start-up reads; the binary holding this code unless
  // set (tests point it at a file of their own).
  void SetPluginPath(std::string path) { pluginPathOverride_ = std::move(path); }
  const std::string& PluginPath() const { return pluginPath_; }

  CKestruneDocVST* Document() const { return document_.get(); }
  void DestroyDocument() { document_.reset(); }

  const std::string& ApplicationName() const { return applicationName_; }
  std::uint32_t GuiThread() const { return guiThreadId_; }
  bool GdiplusStarted() const { return gdiplus_.Started(); }

  // The files kept in memory (samples, MIDI files, SoundFonts), and what the
  // last hand-over did.
  const kr::EmbeddedFiles& EmbeddedFiles() const { return embedded_; }
  const kr::EmbeddedFilesOutcome& LastEmbeddedOutcome() const { return lastOutcome_; }

  // The folder files of this extension default to (ends with a separator).
  std::string DefaultDirectory(std::string_view extension) const;
  // A file a module names: from disk, else embedded bytes of the same file
  // name; null when neither exists.
  std::unique_ptr<kr::ReadStream> OpenFileForModule(std::string_view name, std::string_view defaultExtension) const;

  // kr::ModuleFiles, for the modules of the running engine.
  std::unique_ptr<kr::ReadStream> OpenForReading(std::string_view name, std::string_view defaultExtension) override {
    return OpenFileForModule(name, defaultExtension);
  }
  std::string PathForWriting(std::string_view name, std::string_view defaultExtension) override;

 private:
  void AcceptEmbeddedFiles(std::span<const std::unique_ptr<imbedded_file>> files);

  GdiplusSession gdiplus_;
  std::unique_ptr<CKestruneDocVST> document_;
  kr::EmbeddedFiles embedded_;
  kr::EmbeddedFilesOutcome lastOutcome_;
  std::string applicationName_;
  std::string pluginPathOverride_;
  std::string pluginPath_;
  std::uint32_t guiThreadId_ = 0;
};

}  // namespace kr
