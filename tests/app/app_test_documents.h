// Patches for the start-up tests, built in code and written as archives.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace krtest {

struct EmbeddedFile {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

struct PatchSpec {
  std::string id = "KsT1";
  std::int32_t pluginFlags = 0;
  int audioPairs = 2;  // inputs passed straight to outputs
  std::vector<EmbeddedFile> files;

  PatchSpec& Id(std::string text) { id = std::move(text); return *this; }
  PatchSpec& Flags(std::int32_t flags) { pluginFlags = flags; return *this; }
  PatchSpec& Pairs(int pairs) { audioPairs = pairs; return *this; }
  PatchSpec& File(std::string name, std::vector<std::uint8_t> bytes) {
    files.push_back({std::move(name), std::move(bytes)});
    return *this;
  }
};

// The archive bytes of a pass-through patch in a top container "Synth".
std::vector<std::uint8_t> PassThroughDocument(const PatchSpec& spec = {});

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path);

}  // namespace krtest
