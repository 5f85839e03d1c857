#include "external/vst_wrapper.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/path_names.h"
#include "external/module_library.h"
#include "external/vst_wrapper_list.h"
#include "host/plugin_library.h"

namespace kr {

namespace {

// Room for what plug-ins write into text buffers: the published limits are
// small, and many write past them. Each call has its own buffer.
constexpr std::size_t kTextRoom = 512;
constexpr std::size_t kParamNameLimit = 20;
constexpr std::size_t kPassedTextLimit = 49;

// The wrapper whose plug-in's entry is running on this thread: calls from
// inside the entry, before the record is known, belong to it.
thread_local VST_Wrapper* loadingOnThisThread = nullptr;

bool RecordFits(const vst::AEffect& e) {
  return e.numInputs >= 0 && e.numInputs <= kMaxHostedChannels && e.numOutputs >= 0 &&
         e.numOutputs <= kMaxHostedChannels && e.numParams >= 0 && e.numParams <= kMaxHostedParameters &&
         e.numPrograms >= 0 && e.numPrograms <= kMaxHostedPrograms && e.dispatcher != nullptr;
}

std::string Terminated(const char* buffer, std::size_t room) { return std::string(buffer, strnlen(buffer, room)); }

}  // namespace

VST_Wrapper* WrapperLoadingOnThisThread() { return loadingOnThisThread; }

VST_Wrapper::~VST_Wrapper() { Unload(); }

void VST_Wrapper::Fail(const std::string& message) {
  if (library_ != nullptr) {
    platform::FreeLibrary(library_);
    library_ = nullptr;
  }
  if (listed_) VST_Wrapper_List::Get().Remove(this);
  listed_ = false;
  effect_ = nullptr;
  path_.clear();
  directory_.fill('\0');
  platform::ShowMessageBox({message, {}, platform::MessageIcon::None});
}

int VST_Wrapper::Load(const std::string& path) {
  Unload();
  path_.clear();
  broken_.store(false, std::memory_order_release);
  programNames.clear();
  const std::string native = NativeLibraryPath(path);
  PluginLibrary loaded = LoadPluginLibrary(native);
  if (loaded.outcome == PluginLibrary::Outcome::NoLibrary) {
    Fail("Can't load VST Plugin(" + loaded.systemError + "). (" + native + ").");
    return 1;
  }
  if (loaded.outcome == PluginLibrary::Outcome::NoEntry) {
    Fail("Can't open VST Plugin. (Plugin Entrypoint call failed). (" + path + ").");
    return 1;
  }
  library_ = loaded.library;
  if (!VST_Wrapper_List::Get().Add(this)) {
    Fail("Can't load VST Plugin(more than " + std::to_string(VST_Wrapper_List::kCapacity) +
         " hosted plug-ins). (" + native + ").");
    return 1;
  }
  listed_ = true;
  path_ = path;
  const std::size_t n = std::min(path.size(), directory_.size() - 1);
  std::memcpy(directory_.data(), path.data(), n);
  directory_[n] = '\0';

  vst::AEffect* effect = nullptr;
  VST_Wrapper* outer = std::exchange(loadingOnThisThread, this);
  bool threw = false;
  try {
    effect = loaded.entry(&HostCallback);
  } catch (...) {
    threw = true;
  }
  loadingOnThisThread = outer;
  if (threw) {
    Fail("Can't open VST Plugin. (Plugin Entrypoint call failed). (" + path + ").");
    return 1;
  }
  if (effect == nullptr || effect->magic != vst::kEffectMagic || !RecordFits(*effect)) {
    Fail("Can't open VST Plugin. (not a vst plugin). (" + path + ").");
    return 1;
  }
  effect_ = effect;
  VST_Wrapper_List::Get().SetEffect(this, effect);
  Dispatch(vst::effOpen);
  ReadProgramNames();
  if (Broken()) {
    // It threw while opening: told like an entry that failed, and left loaded.
    const std::string message = "Can't open VST Plugin. (Plugin Entrypoint call failed). (" + path + ").";
    Unload();
    platform::ShowMessageBox({message, {}, platform::MessageIcon::None});
    return 1;
  }
  return 0;
}

void VST_Wrapper::ReadProgramNames() {
  const int current = GetProgram();
  const int version = GetVstVersion();
  const int count = NumPrograms();
  programNames.assign(static_cast<std::size_t>(count), std::string());
  bool switched = false;
  for (int i = 0; i < count && !Broken(); ++i) {
    char buffer[kTextRoom] = {};
    if (version > 1 && Dispatch(vst::effGetProgramNameIndexed, i, -1, buffer) == 1) {
      buffer[kTextRoom - 1] = '\0';
      programNames[static_cast<std::size_t>(i)] = Terminated(buffer, kTextRoom);
      continue;
    }
    SetProgram(i);
    switched = true;
    programNames[static_cast<std::size_t>(i)] = GetProgramName();
  }
  if (switched) SetProgram(current);
}

void VST_Wrapper::Unload() {
  if (effect_ == nullptr && library_ == nullptr) return;
  if (host_ != nullptr) host_->StopIdle();
  if (editorOpen_) CloseEditor();
  if (effect_ != nullptr) {
    // Even a plug-in that broke is asked to close (it frees itself there);
    // whatever it throws now is ignored.
    try {
      effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f);
    } catch (...) {
      MarkBroken();
    }
  }
  if (listed_) VST_Wrapper_List::Get().Remove(this);
  listed_ = false;
  effect_ = nullptr;
  // A plug-in that broke keeps its code loaded: something of it may still run.
  if (library_ != nullptr && !Broken()) platform::FreeLibrary(library_);
  library_ = nullptr;
  programNames.clear();
  needIdle.store(false, std::memory_order_relaxed);
}

void VST_Wrapper::MarkBroken() { broken_.store(true, std::memory_order_release); }

vst::VstIntPtr VST_Wrapper::Dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                     float opt) {
  if (effect_ == nullptr || Broken()) return 0;
  try {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
  } catch (...) {
    MarkBroken();
    return 0;
  }
}

void VST_Wrapper::SetParameter(int index, float value) {
  if (effect_ == nullptr || Broken() || effect_->setParameter == nullptr) return;
  if (index < 0 || index >= effect_->numParams) return;
  try {
    effect_->setParameter(effect_, index, value);
  } catch (...) {
    MarkBroken();
  }
}

float VST_Wrapper::GetParameter(int index) {
  if (effect_ == nullptr || Broken() || effect_->getParameter == nullptr) return 0.0f;
  if (index < 0 || index >= effect_->numParams) return 0.0f;
  try {
    return effect_->getParameter(effect_, index);
  } catch (...) {
    MarkBroken();
    return 0.0f;
  }
}

bool VST_Wrapper::Process(bool replacing, float** inputs, float** outputs, int frames) {
  if (effect_ == nullptr || Broken()) return false;
  const vst::AEffectProcessProc entry = replacing ? effect_->processReplacing : effect_->process;
  if (entry == nullptr) return false;
  try {
    entry(effect_, inputs, outputs, frames);
  } catch (...) {
    MarkBroken();
    return false;
  }
  return true;
}

std::string VST_Wrapper::TextCall(vst::VstInt32 opcode, vst::VstInt32 index) {
  char buffer[kTextRoom] = {};
  Dispatch(opcode, index, 0, buffer);
  buffer[kTextRoom - 1] = '\0';
  return Terminated(buffer, kTextRoom);
}

std::string VST_Wrapper::GetProgramName() { return TextCall(vst::effGetProgramName, 0); }

void VST_Wrapper::SetProgramName(std::string_view name) {
  if (!programNames.empty()) {
    const int current = GetProgram();
    if (current >= 0 && static_cast<std::size_t>(current) < programNames.size())
      programNames[static_cast<std::size_t>(current)] = std::string(name);
  }
  char copy[kPassedTextLimit + 1] = {};
  std::memcpy(copy, name.data(), std::min(name.size(), kPassedTextLimit));
  Dispatch(vst::effSetProgramName, 0, 0, copy);
}

std::string VST_Wrapper::GetParamName(int index) {
  std::string name = TextCall(vst::effGetParamName, index);
  std::size_t end = std::min(name.size(), kParamNameLimit);
  for (std::size_t i = 0; i < end; ++i)
    if (static_cast<unsigned char>(name[i]) >= 0x80) end = i;
  name.resize(end);
  return name;
}

std::string VST_Wrapper::GetParamDisplay(int index) { return TextCall(vst::effGetParamDisplay, index); }
std::string VST_Wrapper::GetParamLabel(int index) { return TextCall(vst::effGetParamLabel, index); }

std::span<const std::uint8_t> VST_Wrapper::GetChunk(bool isPreset) {
  void* data = nullptr;
  const vst::VstIntPtr size = Dispatch(vst::effGetChunk, isPreset ? 1 : 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  return {static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
}

vst::VstIntPtr VST_Wrapper::SetChunk(std::span<const std::uint8_t> data, bool isPreset) {
  // Plug-ins take the bytes as theirs to read: a copy of our own.
  std::vector<std::uint8_t> copy(data.begin(), data.end());
  return Dispatch(vst::effSetChunk, isPreset ? 1 : 0, static_cast<vst::VstIntPtr>(copy.size()), copy.data());
}

bool VST_Wrapper::CanDo(std::string_view text) {
  if (effect_ == nullptr) return false;
  if (text == "sendVstMidiEvent" && UniqueId() == vst::CCONST('R', 'N', 'B', 'W')) return true;
  char copy[kPassedTextLimit + 1] = {};
  std::memcpy(copy, text.data(), std::min(text.size(), kPassedTextLimit));
  return Dispatch(vst::effCanDo, 0, 0, copy) == 1;
}

EditorRectangle VST_Wrapper::EditorRect() {
  vst::ERect* rect = nullptr;
  Dispatch(vst::effEditGetRect, 0, 0, &rect);
  if (rect == nullptr) return {};
  EditorRectangle r{rect->left, rect->top, rect->right, rect->bottom};
  if (r.Width() <= 0 || r.Height() <= 0) return {};
  return r;
}

void VST_Wrapper::OpenEditor(void* parentWindow) {
  if (effect_ == nullptr) return;
  Dispatch(vst::effEditOpen, 0, 0, parentWindow);
  if (host_ != nullptr) host_->RequestIdle();
  editorOpen_ = true;
}

void VST_Wrapper::CloseEditor() {
  if (!editorOpen_) return;
  editorOpen_ = false;
  if (!needIdle.load(std::memory_order_acquire) && host_ != nullptr) host_->StopIdle();
  Dispatch(vst::effEditClose);
}

bool VST_Wrapper::Idle() {
  if (editorOpen_) Dispatch(vst::effEditIdle);
  if (needIdle.load(std::memory_order_acquire) && Dispatch(vst::effIdle) != 1)
    needIdle.store(false, std::memory_order_release);
  return true;
}

std::string VST_Wrapper::ProductName() {
  std::string name;
  if (GetVstVersion() > 1) name = TextCall(vst::effGetEffectName, 0);
  if (name.empty()) name = std::string(FileStem(path_));
  return name;
}

int VST_Wrapper::ExposedParameterCount() {
  const std::string product = ProductName();
  if (product == "GakStoar Delta") return std::min(1000, NumParams());
  if (product == "SampleTank") return 0;
  return NumParams();
}

}  // namespace kr
