// kestrune info: loads a plug-in like a host and prints what the host sees.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "host/host_harness.h"
#include "platform/platform.h"
#include "tools/default_plugin.h"
#include "tools/patch_plugin.h"
#include "tools/subcommand.h"

namespace kr {

#ifndef KR_DEFAULT_PLUGIN_NAME
#define KR_DEFAULT_PLUGIN_NAME "Kestrune.so"
#endif

using namespace vst;

namespace {

std::string Hex(std::int64_t value, int width) {
  std::ostringstream s;
  s << "0x" << std::uppercase << std::hex << std::setw(width) << std::setfill('0')
    << (static_cast<std::uint64_t>(value) & 0xFFFFFFFFu);
  return s.str();
}

std::string FourChars(VstInt32 id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<std::uint32_t>(id) >> shift) & 0xFF);
    text += (c >= 32 && c < 127) ? c : '.';
  }
  return text;
}

std::string DecodeFlags(VstInt32 flags) {
  static const std::pair<VstInt32, const char*> kNames[] = {
      {effFlagsHasEditor, "hasEditor"},       {effFlagsHasClip, "hasClip"},
      {effFlagsHasVu, "hasVu"},               {effFlagsCanMono, "canMono"},
      {effFlagsCanReplacing, "canReplacing"}, {effFlagsProgramChunks, "programChunks"},
      {effFlagsIsSynth, "isSynth"},           {effFlagsNoSoundInStop, "noSoundInStop"},
      {effFlagsExtIsAsync, "extIsAsync"},     {effFlagsExtHasBuffer, "extHasBuffer"},
      {effFlagsCanDoubleReplacing, "canDoubleReplacing"}};
  std::string text;
  for (const auto& [bit, name] : kNames) {
    if ((flags & bit) == 0) continue;
    if (!text.empty()) text += ' ';
    text += name;
  }
  return text.empty() ? "(none)" : text;
}

const char* CanDoAnswer(VstIntPtr answer) {
  return answer > 0 ? "yes" : answer < 0 ? "no" : "don't know";
}

// Why main gave nothing, as far as the file shows it.
std::string NullReason(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of("/\\");
  const std::string stem = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                               ? path.substr(0, dot)
                               : path;
  const bool hasResource = platform::LoadStoredResourceFromFile(path, "KR1", 165).has_value();
  const bool hasDat = platform::FileLastWriteTime(stem + ".dat").has_value();
  if (!hasResource && !hasDat)
    return "the plug-in carries no stored document (no resource \"KR1\" 165 in the file and no " + stem +
           ".dat beside it)";
  return "the stored document could not be loaded or has no top-level container (see any messages above)";
}

void PrintEffect(HostHarness& host, std::ostream& out) {
  AEffect* e = host.Effect();
  out << "unique id:     '" << FourChars(e->uniqueID) << "' (" << Hex(e->uniqueID, 8) << ")\n";
  out << "version:       " << e->version << "\n";
  out << "VST version:   " << host.Dispatch(effGetVstVersion) << "\n";
  out << "flags:         " << Hex(e->flags, 4) << " " << DecodeFlags(e->flags) << "\n";
  const VstIntPtr category = host.Dispatch(effGetPlugCategory);
  out << "category:      " << category
      << (category == kPlugCategSynth ? " (synth)" : category == kPlugCategEffect ? " (effect)" : "") << "\n";
  out << "effect name:   \"" << host.TextCall(effGetEffectName) << "\"\n";
  out << "vendor:        \"" << host.TextCall(effGetVendorString) << "\" version "
      << host.Dispatch(effGetVendorVersion) << "\n";
  out << "product:       \"" << host.TextCall(effGetProductString) << "\"\n";
  out << "inputs:        " << e->numInputs << "\n";
  out << "outputs:       " << e->numOutputs << "\n";
  for (VstInt32 i = 0; i < e->numOutputs; ++i) {
    VstPinProperties pin{};
    if (host.Dispatch(effGetOutputProperties, i, 0, &pin) == 0) continue;
    pin.label[sizeof pin.label - 1] = '\0';
    pin.shortLabel[sizeof pin.shortLabel - 1] = '\0';
    out << "  output " << i << ": \"" << pin.label << "\" short \"" << pin.shortLabel << "\""
        << ((pin.flags & kVstPinIsActive) ? " active" : "") << ((pin.flags & kVstPinIsStereo) ? " stereo" : "")
        << "\n";
  }
  out << "programs:      " << e->numPrograms << " (current " << host.Dispatch(effGetProgram) << ")\n";
  for (VstInt32 i = 0; i < e->numPrograms; ++i)
    out << "  " << i << ": \"" << host.TextCall(effGetProgramNameIndexed, i) << "\"\n";
  out << "parameters:    " << e->numParams << "\n";
  for (VstInt32 i = 0; i < e->numParams; ++i) {
    char value[32];
    std::snprintf(value, sizeof value, "%.4f", static_cast<double>(host.GetParameter(i)));
    out << "  " << i << ": \"" << host.ParameterText(effGetParamName, i) << "\" = \""
        << host.ParameterText(effGetParamDisplay, i) << "\" \"" << host.ParameterText(effGetParamLabel, i)
        << "\" (" << value << ")" << (host.Dispatch(effCanBeAutomated, i) ? " automatable" : "") << "\n";
  }
  out << "canDo:\n";
  for (const char* query : {"receiveVstMidiEvent", "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents",
                            "sendVstEvents"}) {
    std::string text = query;
    out << "  " << query << ": " << CanDoAnswer(host.Dispatch(effCanDo, 0, 0, text.data())) << "\n";
  }
}

int RunInfo(const std::string& given) {
  std::string path = given.empty() ? DefaultPluginPath() : given;
  // A patch (.json or a stored document) is seen in the plug-in that carries it.
  std::unique_ptr<PatchPlugin> exported;
  if (const std::string extension = std::filesystem::path(path).extension().string();
      extension == ".json" || extension == ".dat") {
    std::string error;
    exported = PatchPlugin::FromFile(path, error);
    if (exported == nullptr) {
      std::cerr << "kestrune info: " << error << "\n";
      return 1;
    }
    std::cout << "patch:         " << path << "\n";
    path = exported->Path();
  }
  HostHarness host;
  if (!host.Load(path)) {
    std::cerr << "kestrune info: " << host.Error() << "\n";
    return 1;
  }
  std::cout << "plug-in:       " << path << "\n";
  if (host.CallMain() == nullptr) {
    std::cout << "main returned null: " << NullReason(path) << "\n";
    return 1;
  }
  PrintEffect(host, std::cout);
  host.Close();
  return 0;
}

CommandRun DeclareInfo(CLI::App& command) {
  auto path = std::make_shared<std::string>();
  command.description(
      "Loads the plug-in through its VST 2 entry, as a host does, and prints what a host\n"
      "sees: unique id, version, flags, inputs and outputs with their pin properties,\n"
      "programs, parameters (name, display, label), names and capability answers.");
  command.add_option("file", *path,
                     "a plug-in file, or a patch (.json or .dat) first exported into a copy of the\n"
                     "plug-in (as kestrune export does); default " KR_DEFAULT_PLUGIN_NAME " beside this program");
  command.footer(
      "Exit status: 0 when the plug-in was created, 1 when it could not be loaded or its\n"
      "main returned null, 2 for bad arguments.");
  return [path] { return RunInfo(*path); };
}

}  // namespace

const Subcommand kInfoCommand{"info", "print what a host sees of a plug-in file", &DeclareInfo};

}  // namespace kr
