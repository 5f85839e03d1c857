// Document modules: CUG and the variants that add little to it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/doc_ob.h"
#include "registry/envelope_shape.h"
#include "registry/patch_select_program.h"
#include "registry/sequence_pattern.h"
#include "document/plug2.h"
#include "document/module_gui_logic.h"

namespace kr {

class ug_base;
class HostValueTarget;
class parameter_cug_xtra2;
class ug_container;

class CUG : public CDocOb {
 public:
  static const RuntimeClass kClass;
  CUG();  // made for loading: plugs come from the stream
  explicit CUG(Module_Info* entry);  // call CreatePlugs() once constructed
  ~CUG() override;

  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override { LoadCugPart(ar); }
  void Store(ArchiveWriter& ar) const override { StoreCugPart(ar); }

  // One plug per definition of the entry (GUI plugs first), in order.
  void CreatePlugs();
  CPlug2& AddPlug(std::unique_ptr<CPlug2> plug);
  // Removes a plug with its wires (and the wires from their container).
  void RemovePlug(CPlug2& plug);
  // Hands every plug over (with its wires) to a new owner.
  std::vector<std::unique_ptr<CPlug2>> TakePlugs() { return std::exchange(plugs_, {}); }

  const std::vector<std::unique_ptr<CPlug2>>& Plugs() const { return plugs_; }
  CPlug2* PlugAt(std::size_t index) const { return index < plugs_.size() ? plugs_[index].get() : nullptr; }
  CPlug2* FindPlug(std::string_view name) const;

  std::string Title() const override { return title_; }
  // The "Title" parameter announces a change.
  void SetTitle(std::string title);
  bool Disabled() const { return disabled_; }
  void SetDisabled(bool disabled);

  DocRect GetRect(int viewKind) const override;
  void SetRect(int viewKind, const DocRect& rect) override;
  const DocRect& StructureRect() const { return rect_; }

  ug_base* AudioObject() const { return audioObject_; }
  // A template so that the audio class need not be complete here: call it
  // where it is (the graph builder).
  template <class Audio>
  void SetAudioObject(Audio* audio) {
    audioObject_ = audio;
    shownProgram_ = dynamic_cast<PatchSelectProgram*>(audio);
    envelopeReceiver_ = dynamic_cast<EnvelopeShapeReceiver*>(audio);
    patternReceiver_ = dynamic_cast<kr::SequencePatternReceiver*>(audio);
    hostValueTarget_ = dynamic_cast<HostValueTarget*>(audio);
    if (audio != nullptr) AudioObjectMade();
  }
  void SetAudioObject(std::nullptr_t) {
    audioObject_ = nullptr;
    shownProgram_ = nullptr;
    envelopeReceiver_ = nullptr;
    patternReceiver_ = nullptr;
    hostValueTarget_ = nullptr;
  }
  // The audio object's program display, when it is a "Patch Select".
  PatchSelectProgram* ShownProgram() const { return shownProgram_; }
  // The audio object's envelope, when it plays a drawn one.
  EnvelopeShapeReceiver* EnvelopeReceiver() const { return envelopeReceiver_; }
  // The audio object's sequencer, when it plays stored patterns.
  kr::SequencePatternReceiver* PatternReceiver() const { return patternReceiver_; }
  // What a host value from another thread goes to, when the audio object
  // takes host values (a legacy control's).
  HostValueTarget* HostTarget() const { return hostValueTarget_; }
  // Told when sound starts and the module has its audio object (before it opens).
  virtual void AudioObjectMade() {}
  // Told once the audio object sits in a voice list: target is the container
  // object holding that list, patchOwner the one whose programs it follows.
  // A module that brings helpers of its own (the MIDI automator) adds them here.
  virtual void AudioObjectPlaced(ug_container& target, ug_base* patchOwner) {}
  // Whether MIDI automation moves this module's control object, so that the
  // graph builder wires it to the container's automator (MIDI automation query).
  virtual bool TakesMidiAutomation() const { return false; }

  // Told when a plug has been added (after its owner is set).
  virtual void PlugAdded(CPlug2&) {}
  // Told when one of the plugs gains or loses a wire; the module's GUI-side
  // logic hears of it here.
  virtual void PlugWiresChanged(CPlug2& plug);
  // The parent container's program became program; most modules ignore it.
  virtual void FollowProgram(int /*program*/) {}
  // Plugs take their patch parameters; then StartGuiSideLogic.
  void PostLoadInit() override;
  // A module that computes on the GUI thread (by its registry name) gets its
  // logic, which makes the plugs a new one lacks; once only. New modules
  // start it when made, so that they can be wired at once.
  void StartGuiSideLogic();
  kr::ModuleGuiLogic* GuiSideLogic() const { return guiSide_.get(); }

  // Named parameters: "Title" first, then those a module class adds.
  int ParameterCount() const override { return static_cast<int>(parameters_.size()); }
  generic_parameter* ParameterAt(int index) const override;

 protected:
  generic_parameter& AddParameter(std::unique_ptr<generic_parameter> parameter);
  void LoadCugPart(ArchiveReader& ar);
  void StoreCugPart(ArchiveWriter& ar) const;

 private:
  std::vector<std::unique_ptr<CPlug2>> plugs_;
  std::string title_;
  bool disabled_ = false;
  DocRect rect_{0, 0, 20, 20};
  ug_base* audioObject_ = nullptr;
  PatchSelectProgram* shownProgram_ = nullptr;
  EnvelopeShapeReceiver* envelopeReceiver_ = nullptr;
  kr::SequencePatternReceiver* patternReceiver_ = nullptr;
  HostValueTarget* hostValueTarget_ = nullptr;
  std::vector<std::unique_ptr<generic_parameter>> parameters_;
  parameter_cug_xtra2* titleParameter_ = nullptr;
  // Declared after the plugs so that it goes first: it observes them.
  std::unique_ptr<kr::ModuleGuiLogic> guiSide_;
};

// A module with access to patch memory; base of containers and hosted plug-ins.
class CUG_with_patches : public CUG {
 public:
  static const RuntimeClass kClass;
  using CUG::CUG;
  const RuntimeClass& Class() const override { return kClass; }
};

// A module class that stores nothing beyond the CUG part; one C++ class
// stands for every such stored class name.
class CUGPlain : public CUG {
 public:
  explicit CUGPlain(const RuntimeClass& cls) : class_(&cls) {}
  CUGPlain(const RuntimeClass& cls, Module_Info* entry) : CUG(entry), class_(&cls) {}
  const RuntimeClass& Class() const override { return *class_; }

 private:
  const RuntimeClass* class_;
};

// A module with a second rectangle, its panel area. Also stands for the
// stored classes that read the same way (Ctl_Keyboard2, Ctl_SelfDrawing2)
// and for Ctl_WaveShape(2), whose rectangle exists from version 95271 on.
class CUG2 : public CUG {
 public:
  static const RuntimeClass kClass;
  CUG2() = default;
  explicit CUG2(const RuntimeClass& cls) : class_(&cls) {}
  explicit CUG2(Module_Info* entry) : CUG(entry) {}
  CUG2(const RuntimeClass& cls, Module_Info* entry) : CUG(entry), class_(&cls) {}
  const RuntimeClass& Class() const override { return *class_; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  DocRect GetRect(int viewKind) const override;
  void SetRect(int viewKind, const DocRect& rect) override;
  DocRect panelRect{};

 private:
  bool StoresPanelRect(int version) const;
  const RuntimeClass* class_ = &kClass;
};

// ui_bools_to_enum remembers that it came from a document.
class ui_bools_to_enum : public CUG {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override {
    LoadCugPart(ar);
    loaded = true;
  }
  bool loaded = false;
};

// Class records of the stored names that read as CUGPlain or CUG2.
namespace plain_classes {
extern const RuntimeClass kCSwitch;
extern const RuntimeClass kCtlKeyboard2;
extern const RuntimeClass kCtlSelfDrawing2;
extern const RuntimeClass kCtlWaveShape;
extern const RuntimeClass kCtlWaveShape2;
std::span<const RuntimeClass* const> All();
}  // namespace plain_classes

}  // namespace kr
