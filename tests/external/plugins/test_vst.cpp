// A tiny VST 2 plug-in for the hosting tests, built as its own library in
// variants: the plain one (programs as parameters, an editor that only
// logs), KR_TEST_VST_CHUNKS (programs as chunks, no editor), KR_TEST_VST_ENTRY_NULL and KR_TEST_VST_ENTRY_THROWS
// (entries that give nothing or throw), KR_TEST_VST_PROCESS_THROWS (throws
// from its third processing call). It exports only VSTPluginMain.
//
// One input, two outputs: out0 = in0 x 2 x "Gain" plus a click of
// velocity / 127 at each note on; out1 = "Gain" itself. It sends every note
// back one octave up, at the same offset. On the audio thread it asks its
// host for the time, the process level and the block size; note 100 makes it
// automate "Shift" to 0.75 and ask for a display update. What it was told
// is logged (krVstLog) and counted (krVstStat) for the tests.
#include <atomic>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "vst/vst2.h"

using namespace kr;

using namespace vst;

namespace {

constexpr int kParams = 41;    // 39 is "invalid index", 40 has no name
constexpr int kPrograms = 3;
const char* const kProgramNames[kPrograms] = {"Alpha", "Beta", "Gamma"};

std::mutex logMutex;
std::vector<std::string> logLines;
std::map<std::string, long long> stats;

void Log(std::string line) {
  std::lock_guard lock(logMutex);
  logLines.push_back(std::move(line));
}
void Stat(const std::string& name, long long value) {
  std::lock_guard lock(logMutex);
  stats[name] = value;
}
void Count(const std::string& name) {
  std::lock_guard lock(logMutex);
  ++stats[name];
}

struct Program {
  char name[32] = {};
  float values[kParams] = {};
};

struct TestPlugin {
  AEffect effect{};
  audioMasterCallback master = nullptr;
  Program programs[kPrograms];
  int current = 0;
  std::vector<VstMidiEvent> pending;
  std::vector<char> chunk;
  int processCalls = 0;
  ERect rect{0, 0, 200, 120};

  float& Value(int index) { return programs[current].values[index]; }
};

TestPlugin* Self(AEffect* e) { return static_cast<TestPlugin*>(e->object); }

void CopyOut(void* ptr, const char* text) {
  if (ptr != nullptr) std::strcpy(static_cast<char*>(ptr), text);
}

std::string Hex(int v) {
  char text[8];
  std::snprintf(text, sizeof text, "%02x", v & 0xFF);
  return text;
}

VstIntPtr GetChunk(TestPlugin& self, bool preset, void* ptr) {
  self.chunk.clear();
  const int first = preset ? self.current : 0;
  const int count = preset ? 1 : kPrograms;
  for (int p = first; p < first + count; ++p) {
    const auto* bytes = reinterpret_cast<const char*>(&self.programs[p]);
    self.chunk.insert(self.chunk.end(), bytes, bytes + sizeof(Program));
  }
  *static_cast<void**>(ptr) = self.chunk.data();
  return static_cast<VstIntPtr>(self.chunk.size());
}

VstIntPtr SetChunk(TestPlugin& self, bool preset, VstIntPtr size, const void* data) {
  const int count = preset ? 1 : kPrograms;
  if (size != static_cast<VstIntPtr>(count * sizeof(Program)) || data == nullptr) return 0;
  std::memcpy(&self.programs[preset ? self.current : 0], data, static_cast<std::size_t>(size));
  Log(preset ? "set program chunk" : "set bank chunk");
  return 1;
}

[[maybe_unused]] VstIntPtr VSTCALLBACK Dispatch(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  TestPlugin& self = *Self(e);
  switch (opcode) {
    case effOpen: Log("open"); return 0;
    case effClose: {
      Log("close");
      std::unique_ptr<TestPlugin> gone(&self);
      return 0;
    }
    case effSetProgram:
      if (value >= 0 && value < kPrograms) self.current = static_cast<int>(value);
      return 0;
    case effGetProgram: return self.current;
    case effSetProgramName:
      std::strncpy(self.programs[self.current].name, static_cast<const char*>(ptr), 24);
      return 0;
    case effGetProgramName: CopyOut(ptr, self.programs[self.current].name); return 0;
    case effGetProgramNameIndexed:
      if (index < 0 || index >= kPrograms) return 0;
      CopyOut(ptr, self.programs[index].name);
      return 1;
    case effGetParamName:
      if (index == 0) CopyOut(ptr, "Gain");
      else if (index == 1) CopyOut(ptr, "Shift");
      else if (index == 39) CopyOut(ptr, "invalid index");
      else if (index == 40) CopyOut(ptr, "");
      else CopyOut(ptr, ("P" + std::to_string(index)).c_str());
      return 0;
    case effGetParamDisplay: CopyOut(ptr, std::to_string(static_cast<int>(self.Value(index) * 100)).c_str()); return 0;
    case effGetParamLabel: CopyOut(ptr, "%"); return 0;
    case effSetSampleRate: Log("rate " + std::to_string(static_cast<int>(opt))); return 0;
    case effSetBlockSize: Log("block " + std::to_string(value)); return 0;
    case effMainsChanged: Log(value ? "resume" : "suspend"); return 0;
    case effCanBeAutomated: return 1;
    case effGetVstVersion: return 2400;
    case effGetEffectName: CopyOut(ptr, "Test VST"); return 1;
    case effCanDo: {
      const std::string what = ptr != nullptr ? static_cast<const char*>(ptr) : "";
      return what == "sendVstMidiEvent" || what == "receiveVstMidiEvent" ? 1 : 0;
    }
    case effProcessEvents: {
      const auto* list = static_cast<const VstEvents*>(ptr);
      auto* const* slots =
          reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(list) + offsetof(VstEvents, events));
      for (VstInt32 i = 0; i < list->numEvents; ++i) {
        if (slots[i]->type != kVstMidiType) continue;
        const auto& m = *reinterpret_cast<const VstMidiEvent*>(slots[i]);
        self.pending.push_back(m);
        Log("event " + std::to_string(m.deltaFrames) + " " + Hex(m.midiData[0]) + " " + Hex(m.midiData[1]) + " " +
            Hex(m.midiData[2]));
      }
      return 1;
    }
    case effGetChunk: return GetChunk(self, index != 0, ptr);
    case effSetChunk: return SetChunk(self, index != 0, value, ptr);
    case effEditGetRect: *static_cast<ERect**>(ptr) = &self.rect; return 1;
    case effEditOpen: {
      Log(ptr != nullptr ? "editor open" : "editor open without a window");
      Stat("sizeWindow", self.master(e, audioMasterSizeWindow, 320, 160, nullptr, 0.0f));
      return 1;
    }
    case effEditClose: Log("editor close"); return 0;
    case effEditIdle: Count("editorIdle"); return 0;
    default: return 0;
  }
}

[[maybe_unused]] void VSTCALLBACK SetParameter(AEffect* e, VstInt32 index, float value) {
  if (index < 0 || index >= kParams) return;
  Self(e)->Value(index) = value;
  Log("set " + std::to_string(index) + " " + std::to_string(value));
}

[[maybe_unused]] float VSTCALLBACK GetParameter(AEffect* e, VstInt32 index) {
  return index >= 0 && index < kParams ? Self(e)->Value(index) : 0.0f;
}

void SendOctaveUp(TestPlugin& self, AEffect* e) {
  std::vector<VstMidiEvent> out;
  for (const VstMidiEvent& m : self.pending) {
    const int kind = static_cast<unsigned char>(m.midiData[0]) & 0xF0;
    if (kind != 0x90 && kind != 0x80) continue;
    VstMidiEvent up = m;
    up.midiData[1] = static_cast<char>(m.midiData[1] + 12);
    out.push_back(up);
  }
  if (out.empty()) return;
  std::vector<std::uintptr_t> header(2 + out.size(), 0);
  auto* list = reinterpret_cast<VstEvents*>(header.data());
  list->numEvents = static_cast<VstInt32>(out.size());
  auto** slots = reinterpret_cast<VstEvent**>(header.data() + 2);
  for (std::size_t i = 0; i < out.size(); ++i) slots[i] = reinterpret_cast<VstEvent*>(&out[i]);
  self.master(e, audioMasterProcessEvents, 0, 0, list, 0.0f);
}

void VSTCALLBACK ProcessReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  TestPlugin& self = *Self(e);
#if defined(KR_TEST_VST_PROCESS_THROWS)
  if (++self.processCalls >= 3) throw std::runtime_error("test plug-in breaks");
#endif
  Count("calls");
  {
    std::lock_guard lock(logMutex);
    if (frames > stats["maxFrames"]) stats["maxFrames"] = frames;
  }
  Stat("processLevel", self.master(e, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f));
  Stat("hostBlockSize", self.master(e, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f));
  const auto* time = reinterpret_cast<const VstTimeInfo*>(self.master(e, audioMasterGetTime, 0, kVstTempoValid, nullptr, 0.0f));
  Stat("timeRate", time != nullptr ? static_cast<long long>(time->sampleRate) : -1);
  const float gain = self.Value(0);
  for (VstInt32 i = 0; i < frames; ++i) {
    outputs[0][i] = inputs[0][i] * 2.0f * gain;
    outputs[1][i] = gain;
  }
  for (const VstMidiEvent& m : self.pending) {
    if ((static_cast<unsigned char>(m.midiData[0]) & 0xF0) != 0x90 || m.midiData[2] == 0) continue;
    if (m.deltaFrames >= 0 && m.deltaFrames < frames) outputs[0][m.deltaFrames] += static_cast<float>(m.midiData[2]) / 127.0f;
    if (m.midiData[1] == 100) {
      self.master(e, audioMasterAutomate, 1, 0, nullptr, 0.75f);
      self.Value(1) = 0.75f;
      self.master(e, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
    }
  }
  SendOctaveUp(self, e);
  self.pending.clear();
}

[[maybe_unused]] void VSTCALLBACK ProcessAccumulating(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  Count("accumulating");
  std::vector<float> a(static_cast<std::size_t>(frames)), b(static_cast<std::size_t>(frames));
  float* mine[2] = {a.data(), b.data()};
  ProcessReplacing(e, inputs, mine, frames);
  for (VstInt32 i = 0; i < frames; ++i) {
    outputs[0][i] += a[static_cast<std::size_t>(i)];
    outputs[1][i] += b[static_cast<std::size_t>(i)];
  }
}

}  // namespace

#if defined(_WIN32)
#define KR_TEST_EXPORT __declspec(dllexport)
#else
#define KR_TEST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KR_TEST_EXPORT const char* krVstLog() {
  static std::string joined;
  std::lock_guard lock(logMutex);
  joined.clear();
  for (const std::string& line : logLines) joined += line + "\n";
  return joined.c_str();
}

extern "C" KR_TEST_EXPORT void krVstClearLog() {
  std::lock_guard lock(logMutex);
  logLines.clear();
  stats.clear();
}

extern "C" KR_TEST_EXPORT long long krVstStat(const char* name) {
  std::lock_guard lock(logMutex);
  auto it = stats.find(name);
  return it != stats.end() ? it->second : 0;
}

extern "C" KR_TEST_EXPORT AEffect* VSTPluginMain(audioMasterCallback master) {
  Log("main");
  // Asked from inside the entry, before the host knows the record.
  Stat("versionFromMain", master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f));
  Stat("rateFromMain", master(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f));
#if defined(KR_TEST_VST_ENTRY_NULL)
  return nullptr;
#elif defined(KR_TEST_VST_ENTRY_THROWS)
  throw std::runtime_error("test plug-in cannot start");
#else
  auto* self = new TestPlugin;  // freed at effClose, as VST 2 plug-ins do
  self->master = master;
  for (int p = 0; p < kPrograms; ++p) {
    std::strcpy(self->programs[p].name, kProgramNames[p]);
    self->programs[p].values[0] = 0.5f;
  }
  AEffect& e = self->effect;
  e.magic = kEffectMagic;
  e.dispatcher = &Dispatch;
  e.process = &ProcessAccumulating;
  e.processReplacing = &ProcessReplacing;
  e.setParameter = &SetParameter;
  e.getParameter = &GetParameter;
  e.numPrograms = kPrograms;
  e.numParams = kParams;
  e.numInputs = 1;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsIsSynth;
#if defined(KR_TEST_VST_CHUNKS)
  e.flags |= effFlagsProgramChunks;  // and no editor: its panel is a grid of parameters
#else
  e.flags |= effFlagsHasEditor;
#endif
  e.object = self;
  e.uniqueID = CCONST('K', 'r', 'T', 'v');
  e.version = 3;
  return &e;
#endif
}
