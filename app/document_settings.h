// The settings of the stored document that the plug-in shell reports to the
// host. Implemented over the loaded document by the start-up code.
#pragma once

#include <cstdint>
#include <string>

namespace kr {

// Bits of the document's plug-in flag word that the shell reads.
enum PluginFlagBits : std::uint32_t {
  PLUGIN_IS_SYNTH = 0x1,          // instrument: isSynth, plug category synth
  PLUGIN_STEREO_PAIRS = 0x2,      // outputs reported as stereo pairs
  PLUGIN_SENDS_TIME_INFO = 0x8,   // canDo "sendVstTimeInfo" answers yes
};

class DocumentSettings {
 public:
  virtual ~DocumentSettings() = default;
  virtual int ProgramCount() const = 0;
  virtual std::uint32_t PluginFlags() const = 0;
  virtual std::string VendorText() const = 0;
  virtual std::string ProductText() const = 0;
  virtual std::string PluginIdText() const = 0;  // four characters packed into the unique id
  virtual bool MonoCapable() const = 0;
};

}  // namespace kr
