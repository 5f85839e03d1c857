#include "graph/sound_engine.h"

#include <algorithm>
#include <deque>
#include <iterator>

#include "patch/audio_binding.h"
#include "patch/control_binding.h"
#include "patch/program_breeding.h"

#include "document/container.h"
#include "document/controls.h"
#include "engine/kr_exception.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "engine/msg_text.h"
#include "graph/engine_error_text.h"
#include "graph/graph_builder.h"
#include "graph/plug_text_update.h"
#include "platform/platform.h"
#include "registry/module_info.h"

namespace kr {

// The GUI-side twin of a document module: receives "refr" and remembers
// whether one is pending, so a module sends at most one at a time; keeps a
// meter's latest display value ("disp") and the lines a console was sent
// ("prnt"); starts the programs an "OS Command" asks for ("exec"); breeds
// the programs a "GenProg" asks for ("gnpg").
class SoundEngine::ModuleTwin final : public ui_msg_target {
 public:
  ModuleTwin(SoundEngine& engine, CUG& module) : engine_(engine), module_(module) {}
  void OnDspMessage(std::int32_t id, my_input_stream& stream) override {
    if (id == kMsgRefresh) {
      pending.store(false, std::memory_order_release);
      if (engine_.refreshHandler_) engine_.refreshHandler_(module_);
    } else if (id == kMsgDisplay) {
      float value = 0.0f;
      stream >> value;
      display = value;
      if (engine_.displayHandler_) engine_.displayHandler_(module_, value);
    } else if (id == kMsgControlValue) {
      auto it = engine_.controlLinks_.find(&module_);
      if (it != engine_.controlLinks_.end()) it->second->TakeMovedValue(stream);
    } else if (id == kMsgPrint) {
      printed.push_back(ReadPrintLine(stream));
      if (printed.size() > kPrintedKept) printed.pop_front();
    } else if (id == kMsgCurve) {
      const std::int32_t count = std::clamp(stream.ReadInt(), 0, AudioMasterHost::kCurvePoints);
      curve.resize(static_cast<std::size_t>(count));
      for (float& v : curve) stream >> v;
    } else if (id == kMsgPlugText) {
      kr::SetPlugText(module_, stream);
    } else if (id == kMsgCommand) {
      const std::int32_t tooLong = stream.ReadInt();
      const std::string line = ReadMsgText(stream);
      if (tooLong != 0) {
        engine_.launcher_.ReportTooLong(Name());
      } else {
        engine_.launcher_.Launch(line, Name());
      }
    } else if (id == kMsgBreed) {
      kr::BreedForModule(module_, kr::ReadBreedRequest(stream));
    }
  }
  std::string Name() const {
    if (!module_.Title().empty()) return module_.Title();
    return module_.Entry() != nullptr ? module_.Entry()->name : std::string("OS Command");
  }
  std::atomic<bool> pending{false};
  std::optional<float> display;
  std::deque<std::string> printed;
  std::vector<float> curve;

 private:
  SoundEngine& engine_;
  CUG& module_;
};

SoundEngine::SoundEngine(GuiPump& gui) : gui_(gui) {}

SoundEngine::~SoundEngine() { StopSound(); }

std::int32_t SoundEngine::TwinHandle(CUG& module) {
  auto& twin = twins_[&module];
  if (twin == nullptr) twin = std::make_unique<ModuleTwin>(*this, module);
  return twin->Handle();
}

bool SoundEngine::StartSound(CContainer& root, int blockSize) {
  StopSound();
  document_ = &root;
  // Room in the GUI-to-DSP ring for a program switch of every patch
  // parameter at once (one value message each).
  constexpr int kBytesPerValue = 64;
  const auto parameters = static_cast<int>(std::min<std::size_t>(kr::PatchParameterCount(root), 1u << 16));
  // And for every control's values of every program.
  const auto controls = static_cast<int>(std::min<std::size_t>(kr::ControlRingBytes(root), 1u << 26));
  master_ = std::make_unique<KrAudioMaster>(*this, gui_.Handle(),
                                            ui_to_dsp_que::kSize + parameters * kBytesPerValue + controls);
  master_->SetBlockSize(blockSize);
  GraphBuilder builder(*master_, [this](CUG& m) { return TwinHandle(m); });
  std::string failure;
  try {
    root_ = builder.Build(root);
    patchTwins_ = kr::BindPatchParameters(root, *master_, [&](const CPlug2& plug) { return builder.AudioPlug(&plug); });
    for (auto& link : kr::BindControls(root, *master_)) {
      const CControl* control = link->Control();
      controlLinks_[control] = std::move(link);
    }
    master_->Start(*root_);
  } catch (const KrException& error) {
    // The text is traced through the partial graph, which the builder still holds.
    failure = EngineErrorText(error);
  } catch (const std::exception& error) {
    // A document the modules cannot work with (a plug missing, say): the
    // patch stays silent rather than the error reaching the host.
    failure = std::string(kCannotStartText) + error.what();
  }
  if (!failure.empty()) {
    GraphBuilder::ClearAudioLinks(root);
    builder.Discard();
    StopSound();
    platform::ShowMessageBox({std::move(failure), {}, platform::MessageIcon::Warning});
    return false;
  }
  ReportLeftOut(builder);
  // A stop the build asked for (the message says why) leaves the engine silent.
  master_->running.store(!master_->stopRequested.load(std::memory_order_acquire), std::memory_order_release);
  return true;
}

void SoundEngine::ReportLeftOut(const GraphBuilder& builder) {
  std::string text;
  for (const auto& [kind, modules] : builder.Unavailable()) {
    std::string line = "\"" + kind + "\" is not available in this build (";
    for (std::size_t i = 0; i < modules.size(); ++i) line += (i > 0 ? ", " : "") + modules[i];
    line += ")";
    if (reported_.insert(line).second) text += (text.empty() ? "" : "\n") + line;
  }
  for (const std::string& module : builder.MisplacedAutomators()) {
    std::string line = module +
                       ": a \"MIDI Automator\" works only in a container with programs of its own (the top "
                       "container, or one holding \"Patch Select\"); here it does nothing";
    if (reported_.insert(line).second) text += (text.empty() ? "" : "\n") + line;
  }
  for (const std::string& module : builder.Refitted()) {
    std::string line = module + ": its stored plugs differ from the module's; the plugs that match by position are used";
    if (reported_.insert(line).second) text += (text.empty() ? "" : "\n") + line;
  }
  for (const std::string& module : builder.Damaged()) {
    std::string line = module + ": its stored plugs do not fit the module; it is left out";
    if (reported_.insert(line).second) text += (text.empty() ? "" : "\n") + line;
  }
  if (!text.empty()) platform::ShowMessageBox({std::move(text), {}, platform::MessageIcon::Warning});
}

void SoundEngine::StopSound() {
  if (master_ == nullptr) return;
  if (document_ != nullptr) kr::UnbindPatchParameters(*document_);
  gui_.Discard();
  if (document_ != nullptr) GraphBuilder::ClearAudioLinks(*document_);
  if (root_ != nullptr && (root_->flags & UGF_OPEN) != 0) root_->Close();
  // Audio-side objects leave the target map with the master, before any
  // GUI twin could go.
  root_.reset();
  patchTwins_ = {};
  master_.reset();
  controlLinks_.clear();
  twins_.clear();  // after the audio side: nothing can address them any more
}

void SoundEngine::Process(kr::HostBlock& block) {
  if (master_ != nullptr && block.frames > 0) master_->Process(block);
}

const vst::VstTimeInfo* SoundEngine::GetHostTime(std::int32_t filter) {
  return timeSource_ ? timeSource_(filter) : nullptr;
}

void SoundEngine::PostMessageBox(std::string_view text, std::int32_t style) { gui_.PostMessageBox(text, style); }

std::int32_t SoundEngine::HandleOf(const ug_base& module) const {
  if (module.docModule == nullptr) return 0;
  auto it = twins_.find(module.docModule);
  return it != twins_.end() ? it->second->Handle() : 0;
}

std::optional<float> SoundEngine::DisplayValue(const CUG& module) const {
  auto it = twins_.find(&module);
  return it != twins_.end() ? it->second->display : std::nullopt;
}

void SoundEngine::PostDisplayValue(ug_base& module, float value) {
  const std::int32_t handle = HandleOf(module);
  if (handle == 0) return;
  my_msg_que_output_stream out(gui_.Queue(), handle, kMsgDisplay);
  out << value;
  out.Send();
}

std::vector<std::string> SoundEngine::TakePrinted(const CUG& module) {
  auto it = twins_.find(&module);
  if (it == twins_.end()) return {};
  std::deque<std::string>& printed = it->second->printed;
  std::vector<std::string> out(std::make_move_iterator(printed.begin()), std::make_move_iterator(printed.end()));
  printed.clear();
  return out;
}

void SoundEngine::PostPrint(ug_base& module, std::string_view text) {
  const std::int32_t handle = HandleOf(module);
  if (handle != 0) gui_.PostText(handle, kMsgPrint, text);
}

void SoundEngine::PostCommand(ug_base& module, std::string_view commandLine, bool tooLong) {
  const std::int32_t handle = HandleOf(module);
  if (handle == 0) return;
  my_msg_que_output_stream out(gui_.Queue(), handle, kMsgCommand);
  out << static_cast<std::int32_t>(tooLong ? 1 : 0);
  WriteMsgText(out, tooLong ? std::string_view{} : commandLine);
  out.Send();
}

std::vector<float> SoundEngine::Curve(const CUG& module) const {
  auto it = twins_.find(&module);
  return it != twins_.end() ? it->second->curve : std::vector<float>{};
}

void SoundEngine::PostCurve(ug_base& module, const float* values, int count) {
  const std::int32_t handle = HandleOf(module);
  if (handle == 0) return;
  count = std::clamp(count, 0, kCurvePoints);
  my_msg_que_output_stream out(gui_.Queue(), handle, kMsgCurve);
  out << static_cast<std::int32_t>(count);
  for (int i = 0; i < count; ++i) out << values[i];
  out.Send();
}

void SoundEngine::PostPlugText(ug_base& module, std::int32_t plug, std::string_view text) {
  const std::int32_t handle = HandleOf(module);
  if (handle == 0) return;
  my_msg_que_output_stream out(gui_.Queue(), handle, kMsgPlugText);
  out << plug;
  WriteMsgText(out, text);
  out.Send();
}

void SoundEngine::PostRefresh(ug_base& module) {
  if (module.docModule == nullptr) return;
  auto it = twins_.find(module.docModule);
  if (it == twins_.end()) return;
  if (it->second->pending.exchange(true, std::memory_order_acq_rel)) return;
  gui_.PostEmpty(it->second->Handle(), kMsgRefresh);
}

}  // namespace kr
