// The audio object of a module that lives in a module library: it lists the
// library's pins as its plugs, forwards opening, events and processing to
// the library, and answers the library's host callback. ug_plugin speaks
// the first interface ("main"), ug_plugin2 the second ("makeModule").
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/ug_base.h"
#include "external/module_library.h"
#include "external/module_library_abi.h"
#include "vst/vst2.h"

namespace kr {

class Module_Info_Plugin;

// Limits on what a library answers; beyond them the answer is refused.
inline constexpr int kMaxLibraryPins = 256;
inline constexpr int kMaxLibraryModules = 1024;
inline constexpr std::size_t kMaxLibraryText = 4096;

// The reference word of events a library queued for its own module.
void* LibraryEventTag();

// A library's zero-terminated text, read no further than limit bytes.
std::string LibraryText(const char* text, std::size_t limit = kMaxLibraryText);

class ug_plugin : public ug_base {
 public:
  // Made through the entry's library: makeModule when exported, else main.
  // Null when the library gives no module (a wrong first word) or exports
  // neither (then the user is told).
  static std::unique_ptr<ug_plugin> Make(Module_Info_Plugin& entry);
  // An object without a library module: it lists placeholder plugs.
  explicit ug_plugin(Module_Info_Plugin* entry, std::shared_ptr<ModuleLibrary> library = nullptr);
  ~ug_plugin() override;

  std::unique_ptr<ug_base> CreateSame() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;
  void RunFor(int count) override;
  void HandleEvent(ug_event* event) override;
  void Wake() override;
  void Resume() override;
  bool CanSleep() override;

  modlib::Word* Record() const { return record_; }
  bool HasRecord() const { return record_ != nullptr; }
  // Asks the library's dispatcher (0 without a module).
  modlib::Word Dispatch(std::int32_t opcode, std::int32_t index = 0, modlib::Word value = 0, void* pointer = nullptr,
                        float option = 0.0f);
  // What the last listing refused (a pin beyond the limit or of an unknown
  // kind); empty when it was good.
  const std::string& ListingProblem() const { return listingProblem_; }

  // The host callback's operations for this object: on whichever thread the
  // library calls (the audio thread inside a block, or the GUI thread).
  modlib::Word HostCall(std::int32_t opcode, std::int32_t index, modlib::Word value, void* pointer, float option);

 protected:
  ug_plugin(Module_Info_Plugin* entry, std::shared_ptr<ModuleLibrary> library, bool secondInterface);
  // Takes a record whose first word is right, and reads its words. GUI
  // thread, engine stopped (the object is being made).
  virtual void TakeRecord(modlib::Word* record);
  // Hands one event to the library. Audio thread.
  virtual void SendEvent(modlib::ModuleEvent& event);
  std::string ClassName() const override { return secondInterface_ ? "ug_plugin2" : "ug_plugin"; }

  void CallLibraryProcess(int offset, int count);
  void UseLibraryProcess() { SetProcessFunction(&ug_plugin::CallLibraryProcess); }
  // An event due now: bookkeeping, the text copies, then the library.
  void Deliver(ug_event* event, bool storeValue);

  Module_Info_Plugin* entry_;
  std::shared_ptr<ModuleLibrary> library_;
  modlib::Word* record_ = nullptr;
  modlib::Dispatcher dispatcher_ = nullptr;
  modlib::ProcessFunction libraryProcess_ = nullptr;
  modlib::Word objectWord_ = 0;
  const bool secondInterface_;

 private:
  // A text pin: the library keeps a pointer to zero-terminated text; the
  // plug's value is text, and on every change the library's pointer moves
  // to a fresh copy (the other of two buffers, so the one it held stays
  // intact until the change after). Reserved when made: a change on the
  // audio thread allocates nothing for texts up to UPlug::kTextCapacity.
  struct TextPin {
    explicit TextPin(int pin);
    int pin;
    const char** variable = nullptr;
    std::string text;  // the plug's value
    std::string copies[2];
    int current = 0;
  };
  TextPin* TextPinAt(int pin);
  void RefreshText(TextPin& pin);
  void SetText(int pin, const char* text, bool announce);
  int PinIndexOf(const UPlug* plug) const;
  int MidiInputNumberOf(const UPlug* plug) const;
  UPlug* PinPlug(std::int32_t index, PlugDataType type) const;

  std::vector<std::unique_ptr<TextPin>> textPins_;
  std::vector<UPlug*> midiInputs_;
  std::string listingProblem_;
  vst::VstTimeInfo timeInfo_{};
};

class ug_plugin2 final : public ug_plugin {
 public:
  explicit ug_plugin2(Module_Info_Plugin* entry, std::shared_ptr<ModuleLibrary> library = nullptr)
      : ug_plugin(entry, std::move(library), true) {}

  void RunFor(int count) override { ug_base::RunFor(count); }  // cut at event times
  void HandleEvent(ug_event* event) override { Deliver(event, false); }

  // Host opcode 22: the library changed its process function.
  void ReadProcessAgain();

 protected:
  void TakeRecord(modlib::Word* record) override;
  void SendEvent(modlib::ModuleEvent& event) override;

 private:
  modlib::EventFunction eventFunction_ = nullptr;
};

}  // namespace kr
