#include "hosted_support.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "patchtext/patch_compiler.h"
#include "support/allocation_count.h"
#include "platform/platform.h"

using namespace kr;

namespace krtest {

fs::path TestVst(const std::string& name) { return fs::path(KR_TEST_VST_DIR) / (name + KR_TEST_VST_SUFFIX); }

fs::path DebianPlugin(const std::string& name) {
#if defined(_WIN32)
  (void)name;
  return {};
#else
  const fs::path path = fs::path("/usr/lib/vst") / (name + "-vst.so");
  return fs::exists(path) ? path : fs::path();
#endif
}

VstLog::VstLog(const fs::path& plugin) : library_(platform::LoadLibrary(plugin.string())) {}
VstLog::~VstLog() {
  if (library_ != nullptr) platform::FreeLibrary(library_);
}

std::vector<std::string> VstLog::Lines() const {
  std::vector<std::string> lines;
  const auto log = reinterpret_cast<const char* (*)()>(platform::LibrarySymbol(library_, "krVstLog"));
  if (log == nullptr) return lines;
  std::istringstream in(log());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool VstLog::Has(const std::string& line) const {
  const auto lines = Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

long long VstLog::Stat(const char* name) const {
  const auto stat = reinterpret_cast<long long (*)(const char*)>(platform::LibrarySymbol(library_, "krVstStat"));
  return stat != nullptr ? stat(name) : -1;
}

void VstLog::Clear() const {
  if (const auto clear = reinterpret_cast<void (*)()>(platform::LibrarySymbol(library_, "krVstClearLog"))) clear();
}

std::string HostingPatch(const std::string& pluginFields, const std::string& wires) {
  return R"({"settings": {"id": "KrHo", "instrument": true}, "root": {"modules": [{
    "module": "Container", "id": "synth", "title": "Synth",
    "plugs": [{"name": "MIDI In", "direction": "in", "type": "midi"}, {"name": "Left In", "direction": "in"},
              {"name": "Left Out", "direction": "out"}, {"name": "Right Out", "direction": "out"},
              {"name": "MIDI Out", "direction": "out", "type": "midi"}],
    "modules": [{"module": "VST Plugin", "id": "vst", )" +
         pluginFields + R"(}],
    "wires": )" + wires +
         "}]}}";
}

std::string HostingPatch(const std::string& pluginFields) {
  return HostingPatch(pluginFields, R"([{"from": "io.MIDI In", "to": "vst.MIDI In"},
      {"from": "io.Left In", "to": "vst.Signal in"},
      {"from": "vst.Signal Out", "to": "io.Left Out"}, {"from": "vst.Signal Out#2", "to": "io.Right Out"},
      {"from": "vst.MIDI Out", "to": "io.MIDI Out"}])");
}

HostedRig::HostedRig(const std::string& patchJson, double sampleRate) {
  Open(patchtext::CompilePatchTextToBytes(patchJson, dir_.path()), sampleRate);
}

HostedRig::HostedRig(const std::vector<std::uint8_t>& document, double sampleRate) { Open(document, sampleRate); }

void HostedRig::Open(const std::vector<std::uint8_t>& document, double sampleRate) {
  {
    std::ofstream out(dir_.path() / "Hosted.dat", std::ios::binary);
    out.write(reinterpret_cast<const char*>(document.data()), static_cast<std::streamsize>(document.size()));
  }
  host_.info.sampleRate = sampleRate;
  host_.info.tempo = 120.0;
  host_.info.flags = vst::kVstTempoValid;
  app_.SetHost(&host_);
  app_.SetPluginPath((dir_.path() / ("Hosted" + fs::path(KR_PLUGIN_PATH).extension().string())).string());
  if (!app_.Initialise()) return;
  TopContainer* top = app_.FindTopContainer();
  if (top == nullptr) return;
  app_.WireHostIo(*top);
  app_.SetSampleRate(static_cast<float>(sampleRate));
  ok_ = true;
}

HostedRig::~HostedRig() { app_.DeleteDocument(); }

kr::VstPluginModule* HostedRig::Module(const std::string& title) const {
  kr::VstPluginModule* found = nullptr;
  it_imbedded_doc_ob_recursive it(*const_cast<HostedRig*>(this)->app_.Document()->Root());
  for (it.First(); !it.AtEnd() && found == nullptr; it.Next())
    if (auto* m = dynamic_cast<kr::VstPluginModule*>(it.Current()); m != nullptr && m->Title() == title) found = m;
  return found;
}

void HostedRig::Start(int blockSize) { app_.StartSound(blockSize); }

HostedRig::Block HostedRig::Run(int frames, std::span<const MidiAt> midi, std::span<const float> in, bool pump,
                                int* allocations) {
  Block out;
  out.left.assign(static_cast<std::size_t>(frames), 0.0f);
  out.right.assign(static_cast<std::size_t>(frames), 0.0f);
  std::vector<float> input(static_cast<std::size_t>(frames), 0.0f);
  std::copy_n(in.begin(), std::min(in.size(), input.size()), input.begin());
  float* ins[1] = {input.data()};
  float* outs[2] = {out.left.data(), out.right.data()};
  std::vector<vst::VstMidiEvent> events(midi.size());
  std::vector<std::uintptr_t> header(2 + midi.size(), 0);
  auto* list = reinterpret_cast<vst::VstEvents*>(header.data());
  list->numEvents = static_cast<vst::VstInt32>(midi.size());
  auto** slots = reinterpret_cast<vst::VstEvent**>(header.data() + 2);
  for (std::size_t i = 0; i < midi.size(); ++i) {
    events[i].type = vst::kVstMidiType;
    events[i].byteSize = sizeof(vst::VstMidiEvent);
    events[i].deltaFrames = midi[i].offset;
    events[i].midiData[0] = static_cast<char>(midi[i].status);
    events[i].midiData[1] = static_cast<char>(midi[i].data1);
    events[i].midiData[2] = static_cast<char>(midi[i].data2);
    slots[i] = reinterpret_cast<vst::VstEvent*>(&events[i]);
  }
  kr::HostBlock block;
  block.inputs = ins;
  block.inputCount = 1;
  block.outputs = outs;
  block.outputCount = 2;
  block.frames = frames;
  block.midiIn = midi.empty() ? nullptr : list;
  block.midiOut = &midiOut_;
  const int before = midiOut_.WritePosition();
  if (allocations != nullptr) krtest::StartCountingAllocations();
  app_.ProcessBlock(block);
  if (allocations != nullptr) *allocations = krtest::StopCountingAllocations();
  for (int pos = before; pos != midiOut_.WritePosition(); pos = (pos + 1) % OutgoingMidiRing::kSize)
    out.midiOut.push_back(midiOut_.At(pos).message);
  if (pump) app_.PumpGuiMessages();
  return out;
}

int FirstSound(std::span<const float> samples, float threshold) {
  for (std::size_t i = 0; i < samples.size(); ++i)
    if (std::fabs(samples[i]) > threshold) return static_cast<int>(i);
  return -1;
}

double Rms(std::span<const float> samples) {
  double sum = 0.0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

double Pitch(std::span<const float> samples, double sampleRate, double low, double high) {
  const auto shortest = static_cast<std::size_t>(sampleRate / high);
  const auto longest = static_cast<std::size_t>(sampleRate / low) + 1;
  double best = -1.0;
  std::size_t bestLag = 0;
  for (std::size_t lag = shortest; lag <= longest && lag < samples.size(); ++lag) {
    double sum = 0.0;
    for (std::size_t i = 0; i + lag < samples.size(); ++i) sum += static_cast<double>(samples[i]) * samples[i + lag];
    sum /= static_cast<double>(samples.size() - lag);
    if (sum > best) {
      best = sum;
      bestLag = lag;
    }
  }
  if (bestLag == 0) return 0.0;
  // A parabola through the peak and its neighbours places it between samples.
  const auto at = [&](std::size_t lag) {
    double sum = 0.0;
    for (std::size_t i = 0; i + lag < samples.size(); ++i) sum += static_cast<double>(samples[i]) * samples[i + lag];
    return sum / static_cast<double>(samples.size() - lag);
  };
  const double a = at(bestLag - 1), b = at(bestLag), c = at(bestLag + 1);
  const double shift = (a - 2 * b + c) != 0.0 ? 0.5 * (a - c) / (a - 2 * b + c) : 0.0;
  return sampleRate / (static_cast<double>(bestLag) + shift);
}

}  // namespace krtest
