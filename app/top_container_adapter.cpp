#include "app/top_container_adapter.h"

#include "document/container.h"
#include "document/controls.h"
#include "document/iterators.h"
#include "external/hosted_chunk_states.h"
#include "patch/host_parameters.h"
#include "patch/patch_memory.h"
#include "patch/program_chunk.h"
#include "registry/module_info.h"

namespace kr {

namespace {

bool IsPatchSelect(const CUG& module) { return module.Entry() && module.Entry()->name == "Patch Select"; }

bool HoldsPatchSelect(const CContainer& container) {
  bool found = false;
  ForEachModule(container, [&](const CUG& m) { found = found || IsPatchSelect(m); });
  return found;
}

std::vector<std::string> PlugNames(const CContainer& container, PlugDirection direction, int dataType) {
  std::vector<std::string> names;
  for (const auto& plug : container.Plugs())
    if (plug->DataType() == dataType && plug->Direction() == direction && !IsSpareAutoPlug(*plug))
      names.push_back(plug->Name());
  return names;
}

}  // namespace

bool IsSpareAutoPlug(const CPlug2& plug) { return plug.Direction() == DR_CONTAINER_IO; }

std::string TopContainerAdapter::Name() const { return container_.Title(); }

std::vector<std::string> TopContainerAdapter::AudioInputNames() const {
  return PlugNames(container_, DR_IN, DT_AUDIO);
}

std::vector<std::string> TopContainerAdapter::AudioOutputNames() const {
  return PlugNames(container_, DR_OUT, DT_AUDIO);
}

bool TopContainerAdapter::HasMidiInput() const { return !PlugNames(container_, DR_IN, DT_MIDI).empty(); }
bool TopContainerAdapter::HasMidiOutput() const { return !PlugNames(container_, DR_OUT, DT_MIDI).empty(); }

bool TopContainerAdapter::GovernedByPatchSelect() const {
  // Outward through the containers that share this one's patch memory: a
  // container without a "Patch Select" of its own uses its parent's, up to
  // the root, which always has memory of its own.
  for (const CContainer* c = &container_; c != nullptr; c = c->Parent()) {
    if (HoldsPatchSelect(*c)) return true;
    if (c->Parent() == nullptr) break;
  }
  return false;
}

void TopContainerAdapter::SelectProgram(int program) {
  // The memory the host's programs stand for may be an enclosing container's:
  // it switches first, then the container and everything in it follow.
  CPatchManager* memory = container_.NearestPatchMemory();
  if (memory != nullptr && memory != container_.PatchMemory()) memory->SetCurrentPatch(program);
  container_.SetProgram(program);
}

std::string TopContainerAdapter::ProgramName(int program) const { return container_.ProgramName(program); }

ProgramParameterBridge::ProgramParameterBridge(generic_parameter& parameter, ParamWatcher& watcher)
    : parameter_(&parameter), watcher_(watcher) {
  parameter.AddObserver(this);
}

ProgramParameterBridge::~ProgramParameterBridge() {
  if (parameter_ != nullptr) parameter_->RemoveObserver(this);
}

void ProgramParameterBridge::OnNotify(Notifier*, int code, void*) {
  if (code == NC_PARAMETER_GONE) {
    parameter_ = nullptr;
  } else if (code == NC_PARAMETER_VALUE && parameter_ != nullptr) {
    watcher_.OnWatchedValueChanged();
  }
}

bool TopContainerAdapter::WatchProgramParameter(ParamWatcher& watcher) {
  generic_parameter* program = container_.FindParameter("Program");
  if (program == nullptr) return false;
  programWatch_ = std::make_unique<ProgramParameterBridge>(*program, watcher);
  return true;
}

std::string TopContainerAdapter::ProgramParameterText() const {
  const generic_parameter* program = container_.FindParameter("Program");
  return program != nullptr ? program->ValueText() : std::string();
}

void TopContainerAdapter::RenameCurrentProgram(std::string_view name) {
  container_.RenameCurrentProgram(std::string(name));
}

TopContainerAdapter::~TopContainerAdapter() = default;

std::vector<CControl*> TopContainerAdapter::LegacyControls() const {
  std::vector<CControl*> controls;
  ForEachModule(container_, [&](const CUG& m) {
    if (auto* control = DynamicKind<CControl>(const_cast<CUG*>(&m))) controls.push_back(control);
  });
  return controls;
}

bool TopContainerAdapter::CopyCurrentProgramTo(int program) {
  kr::PatchMemory* memory = kr::PatchMemory::Of(container_.NearestPatchMemory());
  return memory != nullptr && memory->CopyCurrentTo(program);
}

std::span<const std::uint8_t> TopContainerAdapter::GetChunk(bool isPreset) {
  CPatchManager* names = container_.NearestPatchMemory();
  chunk_ = kr::WriteChunk({names, kr::PatchMemory::Of(names), kr::LegacyOrder(LegacyControls())}, isPreset);
  const std::vector<std::uint8_t> hosted = kr::WriteHostedStates(container_, isPreset);
  chunk_.insert(chunk_.end(), hosted.begin(), hosted.end());
  return chunk_;
}

std::intptr_t TopContainerAdapter::SetChunk(std::span<const std::uint8_t> data, bool isPreset) {
  CPatchManager* names = container_.NearestPatchMemory();
  const kr::ChunkReadResult read =
      kr::ReadChunk({names, kr::PatchMemory::Of(names), kr::LegacyOrder(LegacyControls())}, data, isPreset);
  if (read == kr::ChunkReadResult::Loaded) kr::ReadHostedStates(container_, data, isPreset);
  return 0;
}

std::vector<std::unique_ptr<HostParameter>> TopContainerAdapter::CollectHostParameters() {
  std::vector<std::unique_ptr<HostParameter>> made;
  if (kr::PatchMemory* memory = kr::PatchMemory::Of(container_.NearestPatchMemory()))
    for (const auto& parameter : memory->Parameters())
      if (!parameter->HiddenFromHost())
        made.push_back(std::make_unique<kr::param_info_new>(*parameter, hostValues_.NewSlot()));
  for (CControl* control : LegacyControls())
    made.push_back(std::make_unique<kr::param_info>(*control, hostValues_.NewSlot()));
  hostParameters_.clear();
  for (const auto& p : made) hostParameters_.push_back(p.get());
  return made;
}

void TopContainerAdapter::BindHostValuesToAudio() {
  for (HostParameter* p : hostParameters_) p->BindAudioSide();
}

void TopContainerAdapter::UnbindHostValuesFromAudio() {
  for (HostParameter* p : hostParameters_) p->UnbindAudioSide();
}

void TopContainerAdapter::ApplyPendingHostValues() { hostValues_.Deliver(); }

}  // namespace kr
