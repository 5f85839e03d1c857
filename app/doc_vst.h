// The document object of one plug-in instance: it owns the loaded patch (the
// root container, the header settings and the files the document carried)
// and finds it through the plug-in file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace kr {

class CContainer;
class imbedded_file;
struct StoredDocument;  // document/document_file.h

// The header settings the rest of the plug-in reads, as plain values, so that
// code facing the shell needs none of the archive headers.
struct HeaderSettings {
  std::string uniqueId;
  bool monoCapable = true;
  std::int32_t pluginFlags = 0;
  std::int32_t programCount = 16;
  std::string aboutText;
  std::int32_t panelWidth = 0;
  std::int32_t panelHeight = 0;
  std::string vendor;
  std::string product;
};

class CKestruneDocBase {
 public:
  // Told about the files a document carries as soon as its header is read,
  // before its root container.
  using EmbeddedFilesHandler = std::function<void(std::span<const std::unique_ptr<imbedded_file>> files)>;

  CKestruneDocBase();
  virtual ~CKestruneDocBase();
  CKestruneDocBase(const CKestruneDocBase&) = delete;
  CKestruneDocBase& operator=(const CKestruneDocBase&) = delete;

  void SetEmbeddedFilesHandler(EmbeddedFilesHandler handler) { embeddedFilesHandler_ = std::move(handler); }

  // Reads an archive in restricted mode (the plug-in's load); false, with no
  // patch kept, when the bytes are not a readable document.
  bool LoadFromBytes(std::span<const std::uint8_t> bytes);
  // An empty root container made from "Container", titled "Main".
  void NewDocument();

  CContainer* Root() const;
  // The first child of the root that is an enabled container; null when none.
  CContainer* TopContainer() const;
  const HeaderSettings& Settings() const { return settings_; }
  // The version the document was written with (0 before a load).
  std::int32_t StoredVersion() const { return storedVersion_; }

 private:
  std::unique_ptr<StoredDocument> document_;
  HeaderSettings settings_;
  std::int32_t storedVersion_ = 0;
  EmbeddedFilesHandler embeddedFilesHandler_;
};

// The plug-in's document: carried by the plug-in file as its stored resource
// (scrambled) or in the ".dat" file beside it (plain).
class CKestruneDocVST final : public CKestruneDocBase {
 public:
  // True when a root container exists afterwards. Shows the "Can't find
  // plugin data file" warning when the plug-in carries no document.
  bool LoadFromPlugin(const std::string& pluginPath);
};

}  // namespace kr
