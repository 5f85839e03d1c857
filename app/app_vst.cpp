#include "app/app_vst.h"

#include "app/app_panel_values.h"
#include "app/kestrune_application.h"
#include "document/container.h"
#include "external/vst_plugin_module.h"
#include "graph/host_io_wiring.h"
#include "gui/editor/panel_editor.h"

namespace kr {

namespace {

// A "Patch Select" that took a MIDI program change: its container takes the
// program, which tells the host through the program parameter.
void FollowPatchSelect(CUG& module) {
  const PatchSelectProgram* shown = module.ShownProgram();
  CContainer* container = module.Parent();
  if (shown == nullptr || container == nullptr) return;
  const std::int32_t program = shown->shownProgram.load(std::memory_order_acquire);
  if (program >= 0 && program < 128 && program != container->CurrentProgram()) container->SetProgram(program);
}

}  // namespace

CKestruneAppVST::CKestruneAppVST() = default;

CKestruneAppVST::~CKestruneAppVST() { DeleteDocument(); }

bool CKestruneAppVST::Initialise() {
  top_.reset();
  settings_.reset();
  patchMemories_.clear();
  if (!StartUp()) return false;
  settings_.emplace(Document()->Settings());
  patchMemories_ = kr::MakePatchMemories(*Document()->Root());
  return true;
}

void CKestruneAppVST::PumpGuiMessages() {
  gui_.Pump();
  if (Document() != nullptr && Document()->Root() != nullptr) kr::IdleHostedPlugins(*Document()->Root());
}

void CKestruneAppVST::ProcessBlock(kr::HostBlock& block) {
  if (top_) top_->ApplyPendingHostValues();
  engine_.Process(block);
}

const DocumentSettings* CKestruneAppVST::Settings() const { return settings_ ? &*settings_ : nullptr; }

TopContainer* CKestruneAppVST::FindTopContainer() {
  if (top_) return top_.get();
  CContainer* container = Document() ? Document()->TopContainer() : nullptr;
  if (!container) return nullptr;
  top_ = std::make_unique<TopContainerAdapter>(*container);
  return top_.get();
}

void CKestruneAppVST::WireHostIo(TopContainer& top) {
  // Only the adapter this application handed out stands for a document container.
  if (!top_ || &top != top_.get() || !Document() || !Document()->Root()) return;
  WireTopContainer(*Document()->Root(), top_->Container());
}

std::unique_ptr<ShellEditor> CKestruneAppVST::CreateEditor(kr::HostServices&) {
  CContainer* root = Document() ? Document()->Root() : nullptr;
  if (!root || !root->document) return nullptr;
  return std::make_unique<kr::gui::PanelEditor>(*root->document, [this] { PumpGuiMessages(); },
                                                std::make_unique<AppPanelValues>(engine_, *this));
}

void CKestruneAppVST::DeleteDocument() {
  StopSound();
  top_.reset();
  settings_.reset();
  patchMemories_.clear();
  DestroyDocument();
}

void CKestruneAppVST::StartSound(int blockSize) {
  StopSound();
  if (!top_ || !Document() || !Document()->Root()) return;
  // Asked on the audio thread; the host services outlive the running engine.
  engine_.SetTimeSource([host = host_](std::int32_t filter) -> const vst::VstTimeInfo* {
    return host != nullptr ? host->TimeInfo(filter) : nullptr;
  });
  engine_.SetHostCall([host = host_](std::int32_t opcode, std::int32_t index, vst::VstIntPtr value, void* pointer,
                                     float option) -> vst::VstIntPtr {
    return host != nullptr ? host->CallHost(opcode, index, value, pointer, option) : 0;
  });
  engine_.SetModuleFiles(this);
  engine_.SetRefreshHandler(&FollowPatchSelect);
  engine_.StartSound(*Document()->Root(), blockSize);
  if (engine_.Running()) top_->BindHostValuesToAudio();
}

void CKestruneAppVST::StopSound() {
  if (top_) top_->UnbindHostValuesFromAudio();
  engine_.StopSound();
}

std::unique_ptr<KrApplication> MakeKestruneApplication() { return std::make_unique<CKestruneAppVST>(); }

}  // namespace kr
