#include "document/app_vst.h"

#include "document/container.h"
#include "engine/host_io/host_io_wiring.h"
#include "shell/kr_vst.h"

CKestruneAppVST::CKestruneAppVST() = default;

CKestruneAppVST::~CKestruneAppVST() { DeleteDocument(); }

bool CKestruneAppVST::Initialise() {
  top_.reset();
  settings_.reset();
  if (!StartUp()) return false;
  settings_.emplace(Document()->Settings());
  return true;
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

void CKestruneAppVST::DeleteDocument() {
  StopSound();
  top_.reset();
  settings_.reset();
  DestroyDocument();
}

void CKestruneAppVST::StartSound(int blockSize) {
  StopSound();
  if (!top_ || !Document() || !Document()->Root()) return;
  const HostChannelCounts counts = CountHostChannels(top_->Container());
  engine_.SetHostIo({effect_, counts.inputs, counts.outputs});
  // Asked on the audio thread; the effect outlives the running engine.
  engine_.SetTimeSource([effect = effect_](std::int32_t filter) -> const vst::VstTimeInfo* {
    if (effect == nullptr) return nullptr;
    return reinterpret_cast<const vst::VstTimeInfo*>(effect->callHost(vst::audioMasterGetTime, 0, filter));
  });
  engine_.StartSound(*Document()->Root(), blockSize);
}
