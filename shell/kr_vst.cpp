// Construction and destruction of the effect object, the host parameter list
// and the program parameter watcher.
#include "shell/kr_vst.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "shell/plugin_id.h"

namespace kr {

using namespace vst;

namespace {

constexpr int kMaxPrograms = 128;  // patch memory holds at most this many

}  // namespace

KrVst::KrVst(audioMasterCallback audioMaster, std::atomic<bool>& constructionFailed,
             std::unique_ptr<KrApplication> application)
    : AudioEffectX(audioMaster, 16, 0), app(std::move(application)) {
  app->SetHost(this);
  programsAreChunks(true);
  if (!Construct()) constructionFailed.store(true, std::memory_order_release);
}

bool KrVst::Construct() {
  if (!app->Initialise() || app->Settings() == nullptr) return false;
  topContainer = app->FindTopContainer();
  if (topContainer == nullptr) return false;

  topContainer->SelectProgram(0);
  // A stored count outside 1..128 cannot be a real patch memory.
  const int stored = std::clamp(app->Settings()->ProgramCount(), 1, kMaxPrograms);
  setNumPrograms(topContainer->GovernedByPatchSelect() ? stored : 1);

  if (topContainer->WatchProgramParameter(*this)) OnWatchedValueChanged();

  app->WireHostIo(*topContainer);
  CollectParameters();
  CountPlugs();
  ApplyFlags();
  setEditor(app->CreateEditor(*this));
  needIdle();
  setUniqueID(PackPluginId(app->Settings()->PluginIdText()));
  return true;
}

KrVst::~KrVst() {
  suspend();
  deleteEditor();
  setFlag(effFlagsHasEditor, false);
  topContainer = nullptr;
  app->DeleteDocument();
  while (!parameters.empty()) parameters.pop_back();  // last index first
  app->SetHost(nullptr);
}

void KrVst::CollectParameters() {
  struct Keyed {
    std::uint8_t kind;
    std::string name;
    std::unique_ptr<HostParameter> parameter;
  };
  std::vector<Keyed> keyed;
  for (auto& p : topContainer->CollectHostParameters()) {
    if (p == nullptr) continue;
    const std::uint8_t kind = p->Kind();
    std::string name = p->Name();
    keyed.push_back({kind, std::move(name), std::move(p)});
  }
  // Kind first (meters and LEDs last), then name byte-wise; equal keys keep
  // their collection order.
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    return a.name.compare(b.name) < 0;
  });
  parameters.clear();
  parameters.reserve(keyed.size());
  for (auto& k : keyed) {
    k.parameter->Attach(*this, static_cast<int>(parameters.size()));
    parameters.push_back(std::move(k.parameter));
  }
  setNumParams(static_cast<VstInt32>(parameters.size()));
}

void KrVst::CountPlugs() {
  setNumInputs(static_cast<VstInt32>(topContainer->AudioInputNames().size()));
  setNumOutputs(static_cast<VstInt32>(topContainer->AudioOutputNames().size()));
}

std::uint32_t KrVst::PluginFlags() const {
  const DocumentSettings* settings = app->Settings();
  return settings != nullptr ? settings->PluginFlags() : 0;
}

void KrVst::ApplyFlags() {
  canMono(app->Settings()->MonoCapable());
  canProcessReplacing(true);
  hasVu(false);
  hasClip(false);
  isSynth((PluginFlags() & PLUGIN_IS_SYNTH) != 0);
}

HostParameter* KrVst::Parameter(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= parameters.size()) return nullptr;
  return parameters[static_cast<std::size_t>(index)].get();
}

void KrVst::Automate(int hostIndex, float value) { callHost(audioMasterAutomate, hostIndex, 0, nullptr, value); }

const VstTimeInfo* KrVst::TimeInfo(std::int32_t filter) {
  return reinterpret_cast<const VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

void KrVst::OnWatchedValueChanged() {
  if (topContainer == nullptr) return;
  const std::string text = topContainer->ProgramParameterText();
  const long parsed = std::strtol(text.c_str(), nullptr, 10);
  const int program = static_cast<int>(std::clamp<long>(parsed, INT_MIN, INT_MAX));
  if (program != getProgram()) {
    setProgram(program);
    updateDisplay();
  }
}

}  // namespace kr
