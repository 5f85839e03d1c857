#include "external/vst_plugin_module.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "base/path_names.h"
#include "base/whole_file.h"
#include "document/container.h"
#include "document/iterators.h"
#include "engine/audio_master.h"
#include "formats/archive/archive_reader.h"
#include "external/parameter_vst.h"
#include "external/ug_vst_plugin.h"
#include "external/vst_bank_files.h"
#include "registry/module_registry.h"

namespace kr {

namespace {

constexpr const char* kSignalIn = "Signal in";
constexpr const char* kSignalOut = "Signal Out";
constexpr int kNoBinding = static_cast<int>(0xFFFF0000u);

// Plug-ins that need buffers of their own, aligned in memory.
bool WantsAlignedData(const std::string& product) {
  for (const char* name : {"Model-E", "Native Instruments B4", "Mono One", "SampleTank", "MetroGnome"})
    if (product == name) return true;
  return product.compare(0, 6, "Pro-52") == 0;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && !IsFolderSeparator(folder.back())) folder += platform::PathSeparator();
  return folder;
}

// A file of that name in folder, its letter case aside; none when there is none.
std::optional<std::string> FindInFolder(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::nullopt;
  const std::string exact = WithSeparator(folder) + std::string(name);
  if (platform::FileLastWriteTime(exact)) return exact;
  namespace fs = std::filesystem;
  std::error_code error;
  for (fs::directory_iterator it(fs::path(folder), error), end; !error && it != end; it.increment(error)) {
    const std::string file = it->path().filename().string();
    if (EqualsIgnoringCase(file, name)) return WithSeparator(folder) + file;
  }
  return std::nullopt;
}

// The folders a plug-in named by a document is looked for in, after the
// registry's library paths: this plug-in's own folder, VST_PATH, ~/.vst.
std::vector<std::string> PluginFolders() {
  std::vector<std::string> folders;
  std::string libraries = ModuleRegistry::Get().DefaultDirectory("dll");
  while (!libraries.empty() && IsFolderSeparator(libraries.back())) libraries.pop_back();
  if (!libraries.empty()) folders.emplace_back(FolderPart(libraries));
#if defined(_WIN32)
  constexpr char kListSeparator = ';';
  const char* home = std::getenv("USERPROFILE");
#else
  constexpr char kListSeparator = ':';
  const char* home = std::getenv("HOME");
#endif
  if (const char* list = std::getenv("VST_PATH")) {
    std::string_view rest(list);
    while (!rest.empty()) {
      const std::size_t cut = rest.find(kListSeparator);
      if (cut != 0) folders.emplace_back(rest.substr(0, cut));
      if (cut == std::string_view::npos) break;
      rest.remove_prefix(cut + 1);
    }
  }
  if (home != nullptr && *home != '\0') folders.push_back(WithSeparator(home) + ".vst");
  return folders;
}

std::unique_ptr<CUG> MakeNewModule(Module_Info* entry) { return std::make_unique<VstPluginModule>(entry); }
std::unique_ptr<CObject> MakeStoredModule() { return std::make_unique<VstPluginModule>(); }

}  // namespace

VstPluginModule::VstPluginModule()
    : wrapper_(std::make_unique<VST_Wrapper>(this)), guiThread_(platform::CurrentThreadId()) {}

VstPluginModule::VstPluginModule(Module_Info* entry)
    : Ctl_VST_Plugin(entry), wrapper_(std::make_unique<VST_Wrapper>(this)), guiThread_(platform::CurrentThreadId()) {}

VstPluginModule::~VstPluginModule() {
  StopIdle();
  Unload();
}

bool VstPluginModule::OnGuiThread() const {
  return platform::CurrentThreadId() == guiThread_ && !HostedProcessingScope::Inside();
}

// --- loading --------------------------------------------------------------------

void VstPluginModule::Load(ArchiveReader& ar) {
  Ctl_VST_Plugin::Load(ar);
  if (LoadByName(pluginPath)) ApplyStoredState(ar.Version());
}

void VstPluginModule::PostLoadInit() {
  Ctl_VST_Plugin::PostLoadInit();
  FitPlugsToPlugin();
}

std::optional<std::string> VstPluginModule::FindPluginFile(std::string_view stored) const {
  const std::string_view name = FileNamePart(stored);
  if (name.empty()) return std::nullopt;
  for (const std::string& path : ModuleRegistry::Get().ModuleLibraryPaths())
    if (EqualsIgnoringCase(FileNamePart(path), name)) return path;
  for (const std::string& folder : PluginFolders())
    if (std::optional<std::string> found = FindInFolder(folder, name)) return found;
  return std::nullopt;
}

bool VstPluginModule::LoadByName(std::string_view stored) {
  const std::optional<std::string> path = FindPluginFile(stored);
  return path && LoadPlugin(*path);
}

bool VstPluginModule::LoadPlugin(const std::string& path) {
  Unload();
  fileTime_ = platform::FileLastWriteTime(path);
  if (wrapper_->Load(path) != 0) return false;
  resolvedPath_ = path;
  state.uniqueId = wrapper_->UniqueId();
  brokenText_ = "VST Plugin failed while playing and is left out. (" + path + ").";
  midiOutHidden_ = !wrapper_->CanDo("sendVstMidiEvent");
  BuildExposedParameters();
  return true;
}

void VstPluginModule::Unload() {
  // The editor first: the plug-in's window lives inside ours.
  CloseHostedEditor();
  automatable_.clear();
  programName_ = program_ = nullptr;
  exposed_.clear();
  exposedCount_ = 0;
  wrapper_->Unload();
  resolvedPath_.clear();
}

bool VstPluginModule::SetPluginFile(std::string_view text, const std::function<void()>& stopSound) {
  if (AudioObject() != nullptr) {
    if (!stopSound) return false;
    stopSound();  // the audio object lets go of the plug-in before it goes
  }
  StopIdle();
  Unload();
  pluginPath = std::string(text);
  if (text.empty() || !LoadByName(text)) return text.empty();
  FitPlugsToPlugin();
  return true;
}

bool VstPluginModule::ReloadIfChanged(const std::function<void()>& stopSound) {
  if (!wrapper_->Loaded()) return false;
  const std::optional<std::int64_t> now = platform::FileLastWriteTime(resolvedPath_);
  if (!now || now == fileTime_) return false;
  if (AudioObject() != nullptr) {
    if (!stopSound) return false;
    stopSound();
  }
  const std::time_t seconds = static_cast<std::time_t>(*now);
  if (const std::tm* local = std::localtime(&seconds)) {
    reloadHour_ = local->tm_hour;
    reloadMinute_ = local->tm_min;
  }
  const std::int32_t id = state.uniqueId;
  StopIdle();
  Unload();
  LoadByName(pluginPath);
  state.uniqueId = id;
  FitPlugsToPlugin();
  return true;
}

std::string VstPluginModule::FaceText() const {
  if (!wrapper_->Loaded()) return "LOAD ERROR";
  if (reloadHour_ < 0) return {};
  char text[32];
  std::snprintf(text, sizeof text, "CREATED %d:%02d", reloadHour_, reloadMinute_);
  return text;
}

void VstPluginModule::BuildExposedParameters() {
  automatable_.clear();
  exposed_.clear();
  const int n = wrapper_->ExposedParameterCount();
  exposedCount_ = n;
  exposed_.resize(static_cast<std::size_t>(n) + 2);
  for (int i = 0; i < n; ++i) {
    const std::string name = wrapper_->GetParamName(i);
    if (name == "invalid index" || (name.empty() && i > 32)) continue;
    auto parameter = std::make_unique<parameter_vst>(*wrapper_, i, [this] { BindingsChanged(); });
    automatable_.push_back(parameter.get());
    exposed_[static_cast<std::size_t>(i)] = std::move(parameter);
  }
  auto name = std::make_unique<parameter_vst_xtra>(*wrapper_, parameter_vst_xtra::Kind::ProgramName);
  auto program = std::make_unique<parameter_vst_xtra>(*wrapper_, parameter_vst_xtra::Kind::Program);
  programName_ = name.get();
  program_ = program.get();
  exposed_[static_cast<std::size_t>(n)] = std::move(name);
  exposed_[static_cast<std::size_t>(n) + 1] = std::move(program);
}

parameter_vst* VstPluginModule::Exposed(int index) const {
  if (index < 0 || index >= exposedCount_) return nullptr;
  return static_cast<parameter_vst*>(exposed_[static_cast<std::size_t>(index)].get());
}

int VstPluginModule::ParameterCount() const {
  return Ctl_VST_Plugin::ParameterCount() + static_cast<int>(exposed_.size());
}

generic_parameter* VstPluginModule::ParameterAt(int index) const {
  const int own = Ctl_VST_Plugin::ParameterCount();
  if (index < own) return Ctl_VST_Plugin::ParameterAt(index);
  const auto slot = static_cast<std::size_t>(index - own);
  return slot < exposed_.size() ? exposed_[slot].get() : nullptr;
}

void VstPluginModule::FitPlugsToPlugin() {
  if (!wrapper_->Loaded() || Entry() == nullptr) return;
  int groupIn = -1, groupOut = -1;
  for (std::size_t i = 0; i < Entry()->plugs.size(); ++i) {
    if (Entry()->plugs[i].name == kSignalIn) groupIn = static_cast<int>(i);
    if (Entry()->plugs[i].name == kSignalOut) groupOut = static_cast<int>(i);
  }
  if (groupIn < 0 || groupOut < 0) return;
  const auto countOf = [this](int group) {
    return static_cast<int>(std::count_if(Plugs().begin(), Plugs().end(),
                                          [group](const auto& p) { return p->DefinitionIndex() == group; }));
  };
  for (const auto& [group, wanted] : {std::pair{groupIn, wrapper_->NumInputs()}, {groupOut, wrapper_->NumOutputs()}}) {
    int have = countOf(group);
    // Surplus plugs go from the end of the group; a wired one stays, so that
    // no wire of the document is lost (it then leads nowhere).
    if (have > wanted) {
      std::vector<std::unique_ptr<CPlug2>> plugs = TakePlugs();
      for (auto it = plugs.rbegin(); it != plugs.rend() && have > wanted; ++it)
        if ((*it)->DefinitionIndex() == group && (*it)->Wires().empty()) {
          it->reset();
          --have;
        }
      for (auto& plug : plugs)
        if (plug) AddPlug(std::move(plug));
    }
    for (; have < wanted; ++have) {
      CPlug2& added = AddPlug(std::make_unique<CPlug2>(group));
      if (!added.BoundVariable()) added.SetValueText(added.Definition().defaultText);
    }
  }
}

// --- the stored state -------------------------------------------------------------

void VstPluginModule::ApplyStoredState(int version) {
  VST_Wrapper& w = *wrapper_;
  const HostedPluginState& s = state;
  const int programs = w.NumPrograms();
  const auto named = std::min<std::size_t>(s.programs.size(), static_cast<std::size_t>(programs));
  for (std::size_t i = 0; i < named; ++i) {
    w.SetProgram(static_cast<int>(i));
    w.SetProgramName(s.programs[i].name);
  }
  const bool fits = s.chunkFlag == (w.ProgramsAreChunks() ? 1 : 0) && s.parameterCount == exposedCount_ &&
                    s.programCount == std::max(programs, 1);
  if (fits) {
    for (std::size_t i = 0; i < s.programs.size(); ++i) {
      if (programs > 0) w.SetProgram(static_cast<int>(i));
      const HostedProgram& program = s.programs[i];
      if (s.chunkFlag == 0) {
        for (std::size_t p = 0; p < program.parameters.size(); ++p)
          w.SetParameter(static_cast<int>(p), program.parameters[p]);
      } else if (version < 39 && !program.chunk.empty()) {
        w.SetChunk(program.chunk, true);
      }
    }
    if (s.chunkFlag != 0 && version >= 39 && !s.bankChunk.empty()) w.SetChunk(s.bankChunk, false);
  }
  if (version >= 64) {
    const auto bound = std::min<std::size_t>(s.automationBindings.size(), static_cast<std::size_t>(exposedCount_));
    for (std::size_t i = 0; i < bound; ++i)
      if (parameter_vst* p = Exposed(static_cast<int>(i))) {
        const auto word = static_cast<std::uint32_t>(s.automationBindings[i]);
        p->SetMidiController(static_cast<std::int16_t>(word >> 16));
        p->SetMidiNrpn(static_cast<int>(word & 0xFFFFu));
      }
  }
  if (version < 43) ApplyCompatibilitySettings();
  if (programs > 0) w.SetProgram(std::clamp(s.currentProgram, 0, programs - 1));
}

HostedPluginState VstPluginModule::StateToStore() const {
  if (!wrapper_->Loaded()) return state;
  VST_Wrapper& w = *wrapper_;
  HostedPluginState s;
  s.uniqueId = w.UniqueId();
  s.chunkFlag = w.ProgramsAreChunks() ? 1 : 0;
  s.parameterCount = exposedCount_;
  const int programs = w.NumPrograms();
  s.programCount = std::max(programs, 1);
  s.currentProgram = programs > 0 ? w.GetProgram() : 0;
  if (s.chunkFlag != 0) {
    const std::span<const std::uint8_t> chunk = w.GetChunk(false);
    s.bankChunk.assign(chunk.begin(), chunk.end());
  }
  for (int i = 0; i < s.programCount; ++i) {
    if (programs > 0 && s.chunkFlag == 0) w.SetProgram(i);
    HostedProgram program;
    program.name = static_cast<std::size_t>(i) < w.programNames.size() ? w.programNames[static_cast<std::size_t>(i)]
                                                                      : w.GetProgramName();
    if (s.chunkFlag == 0)
      for (int p = 0; p < exposedCount_; ++p) program.parameters.push_back(w.GetParameter(p));
    s.programs.push_back(std::move(program));
  }
  if (programs > 0 && s.chunkFlag == 0) w.SetProgram(s.currentProgram);
  for (int i = 0; i < exposedCount_; ++i) {
    const parameter_vst* p = Exposed(i);
    s.automationBindings.push_back(
        p == nullptr ? kNoBinding
                     : static_cast<std::int32_t>((static_cast<std::uint32_t>(p->MidiController()) & 0xFFFFu) << 16 |
                                                 (static_cast<std::uint32_t>(p->MidiNrpn()) & 0xFFFFu)));
  }
  return s;
}

void VstPluginModule::ApplyCompatibilitySettings() {
  const std::string product = wrapper_->ProductName();
  SetTitle(product);
  if (wrapper_->CanReplace() && ProbeReplacing())
    if (CPlug2* fix = FindPlug("ProcessReplacing Fix")) fix->SetValueText("1");
  if (WantsAlignedData(product))
    if (CPlug2* fix = FindPlug("Data Alignment Fix")) fix->SetValueText("1");
}

bool VstPluginModule::ProbeReplacing() {
  constexpr int kFrames = 8;
  float in[kFrames] = {};
  float out[kFrames];
  std::fill(std::begin(out), std::end(out), 124000000.0f);
  std::vector<float*> ins(static_cast<std::size_t>(wrapper_->NumInputs()), in);
  std::vector<float*> outs(static_cast<std::size_t>(wrapper_->NumOutputs()), out);
  if (outs.empty()) return false;
  VST_Wrapper& w = *wrapper_;
  w.SetSampleRate(44100.0f);
  w.SetBlockSize(kFrames);
  w.Resume();
  w.SetSampleRate(44100.0f);
  w.SetBlockSize(kFrames);
  w.Process(true, ins.data(), outs.data(), kFrames);
  w.Suspend();
  return out[0] > 100.0f;
}

// --- bank and program files --------------------------------------------------------

bool VstPluginModule::RunFileCommand(int command) {
  if (!wrapper_->Loaded()) return false;
  const bool load = command == kLoadBankCommand || command == kLoadProgramCommand;
  const bool programOnly = command == kLoadProgramCommand || command == kSaveProgramCommand;
  if (!load && !programOnly && command != kSaveBankCommand) return false;
  platform::OpenFileRequest request;
  request.extension = programOnly ? "fxp" : "fxb";
  request.save = !load;
  const std::optional<std::string> path = platform::ChooseFileToOpen(request);
  if (!path) return true;  // cancelled
  return load ? LoadProgramsFile(*path, programOnly) : SaveProgramsFile(*path, programOnly);
}

bool VstPluginModule::SaveProgramsFile(const std::string& path, bool programOnly) {
  std::string message;
  const std::optional<std::vector<std::uint8_t>> bytes = SaveHostedPrograms(*wrapper_, programOnly, message);
  if (!bytes) {
    if (!message.empty()) platform::ShowMessageBox({message, {}, platform::MessageIcon::None});
    return false;
  }
  if (!WriteWholeFile(path, *bytes)) {
    platform::ShowMessageBox({kCouldNotOpenText, {}, platform::MessageIcon::None});
    return false;
  }
  return true;
}

bool VstPluginModule::LoadProgramsFile(const std::string& path, bool programOnly) {
  const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path);
  if (!bytes) {
    platform::ShowMessageBox({kCouldNotOpenText, {}, platform::MessageIcon::None});
    return false;
  }
  std::string message;
  if (!LoadHostedPrograms(*wrapper_, *bytes, programOnly, message)) {
    if (!message.empty()) platform::ShowMessageBox({message, {}, platform::MessageIcon::None});
    return false;
  }
  wrapper_->RefreshProgramNames();
  RefreshExposed();
  return true;
}

void VstPluginModule::RefreshExposed() {
  for (parameter_vst* p : automatable_) p->Refresh();
  if (programName_ != nullptr) programName_->AnnounceChange();
  if (program_ != nullptr) program_->AnnounceChange();
}

// --- the editor ----------------------------------------------------------------------

std::pair<int, int> VstPluginModule::HostedEditorSize() const {
  if (!HasHostedEditor()) return {0, 0};
  const EditorRectangle rect = wrapper_->EditorRect();
  return {rect.Width(), rect.Height()};
}

bool VstPluginModule::OpenHostedEditor(void* parentWindow, int x, int y) {
  if (!HasHostedEditor() || parentWindow == nullptr) return false;
  if (editorWindow_ != nullptr) {
    platform::ShowMessageBox({"Can't open VST Panel twice", {}, platform::MessageIcon::None});
    return false;
  }
  const EditorRectangle rect = wrapper_->EditorRect();
  editorWindow_ = platform::CreateChildWindow(parentWindow, rect.Width(), rect.Height());
  if (editorWindow_ == nullptr) return false;
  editorX_ = x;
  editorY_ = y;
  editorWindow_->Place(x, y, rect.Width(), rect.Height());
  wrapper_->OpenEditor(reinterpret_cast<void*>(editorWindow_->Handle()));
  return true;
}

void VstPluginModule::CloseHostedEditor() {
  wrapper_->CloseEditor();
  editorWindow_.reset();  // after the plug-in has let go of it
}

bool VstPluginModule::OnSizeWindow(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  wantedWidth_.store(width, std::memory_order_relaxed);
  wantedHeight_.store(height, std::memory_order_relaxed);
  sizeWanted_.store(true, std::memory_order_release);
  if (OnGuiThread() && editorWindow_ != nullptr) {
    sizeWanted_.store(false, std::memory_order_release);
    editorWindow_->Place(editorX_, editorY_, width, height);
  }
  return true;
}

// --- calls from the plug-in ----------------------------------------------------------

void VstPluginModule::AttachAudio(ug_vst_plugin* audio, double sampleRate) {
  if (sampleRate > 0.0) sampleRate_.store(static_cast<int>(sampleRate), std::memory_order_release);
  audio_.store(audio, std::memory_order_release);
}

void VstPluginModule::OnPluginEvents(const vst::VstEvents* events) {
  if (ug_vst_plugin* audio = audio_.load(std::memory_order_acquire)) audio->TakePluginEvents(events);
}

vst::VstIntPtr VstPluginModule::OnPluginSetTime(vst::VstTimeInfo* info) {
  ug_vst_plugin* audio = audio_.load(std::memory_order_acquire);
  return audio != nullptr ? audio->PassSetTime(info) : 0;
}

const vst::VstTimeInfo* VstPluginModule::GetTime(std::int32_t filter) {
  ug_vst_plugin* audio = audio_.load(std::memory_order_acquire);
  return audio != nullptr ? audio->TimeFor(filter) : nullptr;
}

std::optional<std::string> VstPluginModule::SelectFile(bool, const std::string& initial) {
  if (!OnGuiThread()) return std::nullopt;  // a dialog only where the GUI lives
  return platform::ChooseFileToOpen({initial, {}});
}

void VstPluginModule::OnAutomated(int index, float) {
  parameter_vst* p = Exposed(index);
  if (p == nullptr) return;
  if (OnGuiThread()) {
    p->AnnounceChange(nullptr);
    return;
  }
  p->MarkChanged();
  NoteAutomation();
}

void VstPluginModule::BindingsChanged() {
  ug_vst_plugin* audio = audio_.load(std::memory_order_acquire);
  if (audio == nullptr) return;
  audio->PostNotify(ug_vst_plugin::kBindingsChanged, 0);
  if (audio->audioMaster != nullptr) audio->audioMaster->RequestDispatch();
}

void VstPluginModule::GuiIdle() {
  if (displayDirty_.exchange(false, std::memory_order_acq_rel) && wrapper_->Loaded()) {
    wrapper_->RefreshProgramNames();
    RefreshExposed();
  }
  if (automationDirty_.exchange(false, std::memory_order_acq_rel))
    for (parameter_vst* p : automatable_)
      if (p->TakeChanged()) p->AnnounceChange();
  if (editorWindow_ != nullptr) {
    if (sizeWanted_.exchange(false, std::memory_order_acq_rel))
      editorWindow_->Place(editorX_, editorY_, wantedWidth_.load(std::memory_order_relaxed),
                           wantedHeight_.load(std::memory_order_relaxed));
    editorWindow_->DrainEvents([](const platform::WindowEvent&) {});  // the plug-in's window takes the input
  }
  if (ioChanged_.load(std::memory_order_acquire) && AudioObject() == nullptr) {
    ioChanged_.store(false, std::memory_order_release);
    FitPlugsToPlugin();
  }
  if (idleWanted_.load(std::memory_order_acquire) || wrapper_->needIdle.load(std::memory_order_acquire) ||
      wrapper_->EditorOpen())
    wrapper_->Idle();
}

// --- registration ----------------------------------------------------------------------

void RegisterHostedPluginModule() {
  ModuleRegistry::Get().Register(std::make_unique<Module_Info>("VST Plugin", "", 0, 0, &MakeNewModule,
                                                                AudioFactoryFor<ug_vst_plugin>,
                                                                MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
  Ctl_VST_Plugin::SetMaker(&MakeStoredModule);
}

void IdleHostedPlugins(CContainer& root) {
  it_imbedded_doc_ob_recursive it(root);
  for (it.First(); !it.AtEnd(); it.Next())
    if (auto* module = dynamic_cast<VstPluginModule*>(it.Current())) module->GuiIdle();
}

}  // namespace kr
