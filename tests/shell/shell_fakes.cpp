#include "shell_fakes.h"

#include "platform/platform.h"
#include "shell/plugin_entry.h"

using namespace kr;

namespace krtest {

FakeParameter::~FakeParameter() { world_.log.push_back("~param " + setup_.name); }

void FakeParameter::SetValue(float v) {
  setup_.value = v;
  world_.log.push_back("SetValue " + setup_.name);
}

void FakeParameter::SetValueThroughAudioSide(float v) {
  setup_.value = v;
  world_.log.push_back("SetValueThroughAudioSide " + setup_.name);
}

std::intptr_t FakeEditor::GetRect(vst::ERect** rect) {
  static vst::ERect r{0, 0, 300, 400};
  if (rect != nullptr) *rect = &r;
  return 1;
}
std::intptr_t FakeEditor::Open(void*) {
  open_ = true;
  world_.log.push_back("editor Open");
  return 1;
}
void FakeEditor::Close() {
  open_ = false;
  world_.log.push_back("editor Close");
}
void FakeEditor::Idle() { world_.log.push_back("editor Idle"); }
std::intptr_t FakeEditor::OnKeyDown(vst::VstKeyCode& key) {
  world_.log.push_back("KeyDown " + std::to_string(key.character) + " " + std::to_string(key.virt) + " " +
                       std::to_string(key.modifier));
  return 1;
}
std::intptr_t FakeEditor::OnKeyUp(vst::VstKeyCode& key) {
  world_.log.push_back("KeyUp " + std::to_string(key.character));
  return 1;
}
std::intptr_t FakeEditor::SetKnobMode(int mode) {
  world_.log.push_back("KnobMode " + std::to_string(mode));
  return 1;
}

std::string FakeTopContainer::Name() const { return world_.name; }
std::vector<std::string> FakeTopContainer::AudioInputNames() const { return world_.audioIns; }
std::vector<std::string> FakeTopContainer::AudioOutputNames() const { return world_.audioOuts; }
bool FakeTopContainer::HasMidiInput() const { return world_.midiIn; }
bool FakeTopContainer::HasMidiOutput() const { return world_.midiOut; }
bool FakeTopContainer::GovernedByPatchSelect() const { return world_.patchSelect; }
void FakeTopContainer::SelectProgram(int program) {
  world_.containerProgram = program;
  world_.log.push_back("SelectProgram " + std::to_string(program));
}
std::string FakeTopContainer::ProgramName(int program) const {
  return world_.programNames.at(static_cast<std::size_t>(program));
}
void FakeTopContainer::RenameCurrentProgram(std::string_view name) {
  world_.programNames.at(static_cast<std::size_t>(world_.containerProgram)) = std::string(name);
}
bool FakeTopContainer::CopyCurrentProgramTo(int program) {
  world_.log.push_back("CopyProgram " + std::to_string(world_.containerProgram) + " to " + std::to_string(program));
  return world_.copyProgramSucceeds;
}
std::span<const std::uint8_t> FakeTopContainer::GetChunk(bool isPreset) {
  world_.log.push_back(isPreset ? "GetChunk preset" : "GetChunk bank");
  return world_.chunk;
}
std::intptr_t FakeTopContainer::SetChunk(std::span<const std::uint8_t> data, bool isPreset) {
  world_.log.push_back(isPreset ? "SetChunk preset" : "SetChunk bank");
  world_.receivedChunk.assign(data.begin(), data.end());
  return world_.setChunkResult;
}
bool FakeTopContainer::WatchProgramParameter(ParamWatcher& watcher) {
  if (!world_.hasProgramParameter) return false;
  world_.watcher = &watcher;
  return true;
}
std::string FakeTopContainer::ProgramParameterText() const { return world_.programParameterText; }
std::vector<std::unique_ptr<HostParameter>> FakeTopContainer::CollectHostParameters() {
  world_.log.push_back("CollectHostParameters");
  std::vector<std::unique_ptr<HostParameter>> made;
  for (const ParameterSetup& setup : world_.parameters) made.push_back(std::make_unique<FakeParameter>(world_, setup));
  return made;
}

bool FakeApplication::Initialise() {
  world_.guiThread = platform::CurrentThreadId();
  documentLoaded_ = world_.initialiseSucceeds;
  world_.log.push_back("Initialise");
  return world_.initialiseSucceeds;
}

TopContainer* FakeApplication::FindTopContainer() {
  if (!world_.hasTopContainer) return nullptr;
  if (!container_) container_ = std::make_unique<FakeTopContainer>(world_);
  return container_.get();
}

std::unique_ptr<ShellEditor> FakeApplication::CreateEditor(kr::HostServices&) {
  if (!world_.makeEditor) return nullptr;
  return std::make_unique<FakeEditor>(world_);
}

void FakeApplication::DeleteDocument() {
  world_.log.push_back("DeleteDocument");
  container_.reset();
  documentLoaded_ = false;
}

void FakeApplication::SetSampleRate(float rate) {
  world_.log.push_back("SetSampleRate " + std::to_string(static_cast<int>(rate)));
}

void FakeApplication::StartSound(int blockSize) {
  if (world_.insideBlock) ++world_.engineChangedDuringBlock;
  world_.log.push_back("StartSound " + std::to_string(blockSize));
  world_.soundRunning = true;
  world_.engineTime = 0;
}

void FakeApplication::StopSound() {
  if (world_.insideBlock) ++world_.engineChangedDuringBlock;
  world_.log.push_back("StopSound");
  world_.soundRunning = false;
}

void FakeApplication::ProcessBlock(kr::HostBlock& block) {
  world_.insideBlock = true;
  block.startTime = world_.engineTime;
  world_.engineTime += static_cast<std::uint32_t>(block.frames);
  ++world_.blockCount;
  if (block.midiIn != nullptr) world_.hostEventsSeen += static_cast<std::size_t>(block.midiIn->numEvents);
  if (world_.duringBlock) world_.duringBlock(world_, block);
  world_.lastBlock = block;
  if (world_.logBlocks) world_.log.push_back("ProcessBlock " + std::to_string(block.frames));
  world_.insideBlock = false;
}

namespace {
FakeWorld* currentWorld = nullptr;
}  // namespace

std::unique_ptr<KrApplication> MakeFakeApplication() { return std::make_unique<FakeApplication>(*currentWorld); }

void SetCurrentWorld(FakeWorld* world) { currentWorld = world; }

std::atomic<bool>& TestConstructionFlag() {
  static std::atomic<bool> flag{false};
  return flag;
}

vst::AEffect* VSTCALLBACK TestEntry(vst::audioMasterCallback audioMaster) {
  return CreateEffect(audioMaster, TestConstructionFlag(), &MakeFakeApplication);
}

bool ShellFixtureState::Create() {
  TestConstructionFlag().store(false);
  SetCurrentWorld(&world);
  host.UseEntry(&TestEntry);
  vst::AEffect* effect = host.CallMain();
  if (effect == nullptr) return false;
  vst = static_cast<KrVst*>(AudioEffect::FromAeffect(effect));
  return true;
}

}  // namespace krtest
