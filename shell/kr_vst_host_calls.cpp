// The effect object's answers to the host's program, parameter, chunk and
// information calls.
#include "shell/kr_vst.h"

#include <climits>
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "shell/text_copy.h"

namespace kr {

using namespace vst;

namespace {

constexpr std::size_t kParamTextChars = 31;
constexpr std::size_t kEffectNameChars = kVstMaxEffectNameLen - 1;
// Program names are cut to the published buffer size; hosts allocate no more.
constexpr std::size_t kProgramNameChars = kVstMaxProgNameLen - 1;
constexpr std::size_t kVendorChars = kVstMaxVendorStrLen - 1;
constexpr std::size_t kProductChars = kVstMaxProductStrLen - 1;
constexpr std::size_t kPinLabelChars = sizeof(VstPinProperties::label) - 1;
constexpr std::size_t kPinShortLabelChars = sizeof(VstPinProperties::shortLabel) - 1;
// A program name from the host is read no further than this.
constexpr std::size_t kHostNameBytes = 256;

}  // namespace

float KrVst::getParameter(VstInt32 index) {
  const HostParameter* p = Parameter(index);
  return p != nullptr ? p->Value() : 0.0f;
}

void KrVst::setParameter(VstInt32 index, float value) {
  HostParameter* p = Parameter(index);
  if (p == nullptr) return;
  // The document belongs to the GUI thread: the parameter routes the value by the caller.
  p->SetFromHost(value, {Running(), platform::CurrentThreadId() == app->GuiThreadId()});
}

void KrVst::getParameterLabel(VstInt32 index, char* label) {
  const HostParameter* p = Parameter(index);
  CopyCut(label, p != nullptr ? p->Label() : std::string(), kParamTextChars);
}

void KrVst::getParameterDisplay(VstInt32 index, char* text) {
  const HostParameter* p = Parameter(index);
  CopyCut(text, p != nullptr ? p->Display() : std::string(), kParamTextChars);
}

void KrVst::getParameterName(VstInt32 index, char* text) {
  const HostParameter* p = Parameter(index);
  CopyCut(text, p != nullptr ? p->Name() : std::string(), kParamTextChars);
}

bool KrVst::canParameterBeAutomated(VstInt32 index) {
  const HostParameter* p = Parameter(index);
  return p != nullptr && p->CanBeAutomated() && p->Kind() == 0;
}

void KrVst::setProgram(VstInt32 program) {
  if (program < 0 || program >= numPrograms()) return;
  curProgram = program;
  if (topContainer != nullptr) topContainer->SelectProgram(program);
}

void KrVst::setProgramName(char* name) {
  if (topContainer != nullptr && name != nullptr)
    topContainer->RenameCurrentProgram(HostTextAsUtf8(name, kHostNameBytes));
}

void KrVst::getProgramName(char* name) {
  CopyCut(name, topContainer != nullptr ? topContainer->ProgramName(getProgram()) : std::string(),
          kProgramNameChars);
}

bool KrVst::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
  // A program that does not exist has no name: the host's buffer stays as it is.
  if (topContainer == nullptr || index < 0 || index >= numPrograms()) return false;
  CopyCut(text, topContainer->ProgramName(index), kProgramNameChars);
  return true;
}

bool KrVst::copyProgram(VstInt32 destination) {
  if (topContainer == nullptr || destination < 0 || destination >= numPrograms()) return false;
  return topContainer->CopyCurrentProgramTo(destination);
}

VstInt32 KrVst::getChunk(void** data, bool isPreset) {
  if (topContainer == nullptr || data == nullptr) return 0;
  // Values the audio side has sent back (MIDI controllers, host automation
  // from other threads) go into the chunk too. Only the GUI thread drains
  // them: the ring has one reader, and the values land in document objects.
  if (platform::CurrentThreadId() == app->GuiThreadId()) app->PumpGuiMessages();
  const std::span<const std::uint8_t> chunk = topContainer->GetChunk(isPreset);
  if (chunk.size() > static_cast<std::size_t>(INT32_MAX)) return 0;
  *data = const_cast<std::uint8_t*>(chunk.data());  // the host only reads it
  return static_cast<VstInt32>(chunk.size());
}

VstInt32 KrVst::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
  // A negative size or a missing buffer from the host is refused, not read.
  if (topContainer == nullptr || byteSize < 0 || (data == nullptr && byteSize != 0)) return 0;
  const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(data),
                                            static_cast<std::size_t>(byteSize));
  return static_cast<VstInt32>(topContainer->SetChunk(bytes, isPreset));
}

bool KrVst::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
  if (properties == nullptr) return false;
  std::memset(properties, 0, sizeof(VstPinProperties));
  if (topContainer == nullptr || index < 0) return false;
  const std::vector<std::string> names = topContainer->AudioOutputNames();
  if (static_cast<std::size_t>(index) >= names.size()) return false;
  const VstInt32 outputs = cEffect.numOutputs;
  const bool pairs = (PluginFlags() & PLUGIN_STEREO_PAIRS) != 0;
  properties->flags = (outputs < 2 || outputs % 2 != 0 || !pairs) ? kVstPinIsActive : kVstPinIsActive | kVstPinIsStereo;
  const std::string& name = names[static_cast<std::size_t>(index)];
  CopyCut(properties->label, name, kPinLabelChars);
  CopyCut(properties->shortLabel, name, kPinShortLabelChars);
  return true;
}

bool KrVst::getEffectName(char* name) {
  CopyCut(name, topContainer != nullptr ? topContainer->Name() : std::string(), kEffectNameChars);
  return true;
}

bool KrVst::getVendorString(char* text) {
  const DocumentSettings* s = app->Settings();
  CopyCut(text, s != nullptr ? s->VendorText() : std::string(), kVendorChars);
  return true;
}

bool KrVst::getProductString(char* text) {
  const DocumentSettings* s = app->Settings();
  CopyCut(text, s != nullptr ? s->ProductText() : std::string(), kProductChars);
  return true;
}

VstInt32 KrVst::canDo(const char* text) {
  const std::string_view query = HostText(text, kHostNameBytes);
  const auto yesNo = [](bool yes) { return yes ? 1 : -1; };
  if (query == "receiveVstMidiEvent") return yesNo(topContainer != nullptr && topContainer->HasMidiInput());
  if (query == "sendVstMidiEvent") return yesNo(topContainer != nullptr && topContainer->HasMidiOutput());
  if (query == "sendVstTimeInfo") return yesNo((PluginFlags() & PLUGIN_SENDS_TIME_INFO) != 0);
  return 0;
}

VstInt32 KrVst::fxIdle() {
  ReportAudioFailure();
  // With the editor open its own idle drains the queue.
  if (editor == nullptr || !editor->IsOpen()) app->PumpGuiMessages();
  return 1;
}

void KrVst::ReportAudioFailure() {
  if (audioFailureReported || !audioFailed.load(std::memory_order_acquire)) return;
  audioFailureReported = true;
  platform::ShowMessageBox({std::string("The patch stopped playing after an error: ") + audioFailure.data(), {},
                            platform::MessageIcon::Error});
}

}  // namespace kr
