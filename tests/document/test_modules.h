// Registry entries the document tests build with, and a document that uses
// every stored class.
#pragma once

#include <memory>

#include "document/document_builder.h"
#include "registry/module_info.h"

using namespace kr;

namespace krtest {

// "T Source", "T Sink" and "T Gui" (a Module_Info2), registered once, with
// legacy numbers 901 to 903 so that old versions can name them.
void RegisterTestModules();

// A document holding every class of the archive, as written at `version`.
std::unique_ptr<StoredDocument> MakeRichDocument();

std::vector<std::uint8_t> Write(const StoredDocument& doc, int version);
DocumentLoadResult Read(const std::vector<std::uint8_t>& bytes, LoadMode mode = LoadMode::Full);

}  // namespace krtest
