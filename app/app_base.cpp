#include "app/app_base.h"

#include "document/imbedded_file.h"
#include "document/module_file_opener.h"
#include "external/library_registration.h"
#include "modules/builtin_modules.h"
#include "platform/platform.h"
#include "registry/module_registry.h"

namespace kr {

CKestruneAppBase::CKestruneAppBase() = default;

CKestruneAppBase::~CKestruneAppBase() {
  document_.reset();  // the tree goes before GDI+ shuts down
  embedded_.Clear();
}

bool CKestruneAppBase::StartUp() {
  kr::RegisterBuiltinModules();
  kr::RegisterExternalModules();
  gdiplus_.Start();  // optional: start-up goes on without it

  pluginPath_ = pluginPathOverride_.empty() ? platform::ModulePath() : pluginPathOverride_;
  // Skins come with the editor code; the file-type folders are set here.
  ModuleRegistry::Get().FileTypes().SetPluginPath(pluginPath_, platform::PathSeparator());
  applicationName_ = "Harbrook";
  guiThreadId_ = platform::CurrentThreadId();
  if (pluginPath_.empty()) return false;
  // Module libraries beside the plug-in, before the document names their modules.
  kr::RegisterModuleLibraries(DefaultDirectory("dll"));

  document_.reset();
  document_ = std::make_unique<CKestruneDocVST>();
  document_->SetEmbeddedFilesHandler(
      [this](std::span<const std::unique_ptr<imbedded_file>> files) { AcceptEmbeddedFiles(files); });
  return document_->LoadFromPlugin(pluginPath_);
}

void CKestruneAppBase::AcceptEmbeddedFiles(std::span<const std::unique_ptr<imbedded_file>> files) {
  std::vector<kr::EmbeddedFileRecord> records;
  records.reserve(files.size());
  for (const auto& f : files)
    if (f) records.push_back({f->Name(), f->Content()});
  kr::EmbeddedFileSetup setup;
  setup.pluginPath = pluginPath_;
  setup.directoryFor = [this](std::string_view extension) { return DefaultDirectory(extension); };
  if (const std::string cache = platform::UserCacheFolder(); !cache.empty()) {
    const char sep = platform::PathSeparator();
    setup.cacheFolder = cache + sep + "Kestrune" + sep + "libraries";
  }
  setup.registerLibrary = [](const std::string& path) { kr::RegisterModuleLibrary(path); };
  lastOutcome_ = embedded_.Accept(records, setup);
}

std::string CKestruneAppBase::DefaultDirectory(std::string_view extension) const {
  return ModuleRegistry::Get().DefaultDirectory(extension);
}

std::unique_ptr<kr::ReadStream> CKestruneAppBase::OpenFileForModule(std::string_view name,
                                                                std::string_view defaultExtension) const {
  return kr::OpenModuleFile(
      name, defaultExtension, [this](std::string_view extension) { return DefaultDirectory(extension); }, embedded_);
}

std::string CKestruneAppBase::PathForWriting(std::string_view name, std::string_view defaultExtension) {
  const auto directoryFor = [this](std::string_view extension) { return DefaultDirectory(extension); };
  std::string path = kr::ResolveModuleFileForWriting(name, defaultExtension, directoryFor);
  if (!path.empty()) {
    const std::size_t cut = path.find_last_of(platform::PathSeparator());
    if (cut != std::string::npos) platform::CreateDirectory(path.substr(0, cut));
  }
  return path;
}

}  // namespace kr
