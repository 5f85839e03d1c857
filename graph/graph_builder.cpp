#include "graph/graph_builder.h"

#include <algorithm>

#include "document/container.h"
#include "document/controls.h"
#include "document/cug.h"
#include "document/iterators.h"
#include "document/line2.h"
#include "document/panel_objects.h"
#include "document/plug2.h"
#include "engine/audio_master.h"
#include "engine/audio_pair.h"
#include "engine/document_text.h"
#include "engine/item_list_taker.h"
#include "engine/kr_exception.h"
#include "engine/midi_automation.h"
#include "engine/ug_container.h"
#include "engine/ug_control.h"
#include "engine/ug_io_mod.h"
#include "graph/midi_automation_routing.h"
#include "registry/item_list.h"
#include "registry/module_info.h"

namespace kr {

namespace {

bool IsGrowing(std::uint32_t flags) { return (flags & (PF_VARIABLE_COUNT | PF_AUTO_DUPLICATE)) != 0; }

// The unconnected last plug of a growing list stands for "add one more".
bool IsSparePlug(const CUG& module, const CPlug2& plug) {
  if (const auto* io = DynamicKind<CPlugIO2>(&plug)) return io->Direction() == DR_CONTAINER_IO;
  if (!plug.Wires().empty()) return false;
  const auto& plugs = module.Plugs();
  auto it = std::find_if(plugs.begin(), plugs.end(), [&](const auto& p) { return p.get() == &plug; });
  for (++it; it != plugs.end(); ++it)
    if ((*it)->DefinitionIndex() == plug.DefinitionIndex()) return false;
  return true;
}

// The item list a module's plug picks from: its own, else (when it has none
// or an automatic one) the list of a plug wired to it. An automatic list
// stands for none.
std::string WiredItemList(const CUG& module, std::string_view plugName) {
  const CPlug2* plug = module.FindPlug(plugName);
  if (plug == nullptr) return {};
  std::string text = plug->ListText();
  for (const CLine2* wire : plug->Wires()) {
    const CPlug2* other = wire->From() == plug ? wire->To() : wire->From();
    if (other != nullptr && (text.empty() || IsAutoList(text))) text = other->ListText();
  }
  return IsAutoList(text) ? std::string{} : text;
}

bool MakesAudioPlug(const CPlug2& plug) {
  if (!plug.IsGuiPlug()) return true;
  return (plug.Flags() & (PF_PATCH_VALUE | PF_GUI)) == (PF_PATCH_VALUE | PF_GUI);
}

bool HoldsEnabledWithFlag(const CContainer& container, std::int32_t flag) {
  for (const auto& child : container.Children()) {
    const auto* module = DynamicKind<CUG>(child.get());
    if (module != nullptr && !module->Disabled() && module->Entry() != nullptr && (module->Entry()->flags & flag) != 0)
      return true;
  }
  return false;
}

bool IsPatchOwner(const CContainer& container) {
  if (container.Parent() == nullptr || container.IgnoreProgramChange()) return true;
  for (const auto& child : container.Children())
    if (child->Entry() != nullptr && child->Entry()->name == "Patch Select") return true;
  return false;
}

// Does an input plug's boundary partner lead to nothing enabled?
bool PartnerLeadsNowhere(const CPlug2& input) {
  const auto* io = DynamicKind<CPlugIO2>(&input);
  if (io == nullptr || io->Partner() == nullptr) return false;
  for (const CLine2* wire : io->Partner()->Wires()) {
    const CPlug2* other = wire->From() == io->Partner() ? wire->To() : wire->From();
    if (other != nullptr && other->Owner() != nullptr && !IsDisabled(*other->Owner())) return false;
  }
  return true;
}

// A module follows the programs of its patch owner and answers to its
// control automation.
void FollowPatchOwner(ug_base& object, ug_base* patchOwner) {
  object.patchOwner = patchOwner;
  object.automation = dynamic_cast<ControlAutomation*>(patchOwner);
}

std::string ModulePath(const CUG& module) {
  return module.Parent() != nullptr ? module.Parent()->Title() + "." + module.Title() : module.Title();
}

bool HasWires(const CUG& module) {
  for (const auto& plug : module.Plugs())
    if (!plug->Wires().empty()) return true;
  return false;
}

// The class's fixed plugs (one of each, not a growing list) must each be
// stored once, in the class's order: modules find them by position. A
// document that breaks this was damaged or written by something else.
bool StoredPlugsFitTheClass(const CUG& module, const InterfaceList& own) {
  std::vector<int> seen(own.size(), 0);
  int lastFixed = -1;
  for (const auto& docPlug : module.Plugs()) {
    if (!MakesAudioPlug(*docPlug) || DynamicKind<CPlugIO2>(docPlug.get()) != nullptr) continue;
    const int index = docPlug->DefinitionIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= own.size()) continue;  // not the class's: left out
    if (IsGrowing(own[static_cast<std::size_t>(index)].flags)) continue;
    if (++seen[static_cast<std::size_t>(index)] > 1 || index < lastFixed) return false;
    lastFixed = index;
  }
  for (std::size_t i = 0; i < own.size(); ++i) {
    const InterfaceObject& def = own[i];
    const bool audioSide = (def.flags & PF_GUI) == 0 || (def.flags & PF_PATCH_VALUE) != 0;
    if (!IsGrowing(def.flags) && def.direction != DR_CONTAINER_IO && audioSide && seen[i] == 0) return false;
  }
  return true;
}

// A panel control's plugs as stored, exactly the class's list in its order?
// Controls written by other programs may hold fewer or more.
bool ControlPlugsMatch(const CUG& module, const InterfaceList& own) {
  if (module.Plugs().size() != own.size()) return false;
  for (std::size_t i = 0; i < own.size(); ++i)
    if (module.Plugs()[i]->DefinitionIndex() != static_cast<int>(i)) return false;
  return true;
}

// A container's object, or nothing when the entry made something else.
std::unique_ptr<ug_container> AsContainer(std::unique_ptr<ug_base> made) {
  auto* container = dynamic_cast<ug_container*>(made.get());
  if (container == nullptr) return nullptr;
  made.release();
  return std::unique_ptr<ug_container>(container);
}

}  // namespace

bool IsDisabled(const CUG& module) {
  for (const CUG* m = &module; m != nullptr; m = m->Parent())
    if (m->Disabled()) return true;
  return false;
}

GraphBuilder::GraphBuilder(KrAudioMaster& master, HandleFor handleFor)
    : master_(master), handleFor_(std::move(handleFor)) {}

void GraphBuilder::MakeControlPlugs(CUG& module, ug_base& object, const InterfaceList& own) {
  // One plug per entry of the class's list, in its order; the stored plug
  // that stands at that position joins it when it is that plug. The rest
  // stay in the document as they were, with no audio counterpart.
  const auto& stored = module.Plugs();
  for (std::size_t i = 0; i < own.size(); ++i) {
    UPlug* plug = object.AddPlug(std::make_unique<UPlug>(&object, own[i]));
    if (i < stored.size() && stored[i]->DefinitionIndex() == static_cast<int>(i)) plugs_[stored[i].get()] = plug;
  }
}

UPlug* GraphBuilder::AudioPlug(const CPlug2* plug) const {
  auto it = plugs_.find(plug);
  return it != plugs_.end() ? it->second : nullptr;
}

std::unique_ptr<ug_base> GraphBuilder::MakeAudioObject(CUG& module) {
  if (IsDisabled(module) || module.Entry() == nullptr) return nullptr;
  Module_Info& entry = *module.Entry();
  std::unique_ptr<ug_base> made = entry.MakeAudioObject();
  // Every container gets its object, whether or not its entry names an audio class.
  // Containers and their I/O modules get their objects even while their
  // registry entries name no audio class.
  if (made == nullptr && DynamicKind<CContainer>(&module) != nullptr) made = std::make_unique<ug_container>();
  if (made == nullptr && (entry.flags & MF_IO_MODULE) != 0) made = std::make_unique<ug_io_mod>();
  if (made == nullptr) {
    // Panel objects (images, texts, lists, groups) live on the GUI side
    // only; their wires link widgets to values, not audio.
    if (DynamicKind<control_ob_base>(&module) != nullptr) return nullptr;
    // Its wires lead nowhere: say so once per build rather than play a
    // patch with holes in silence.
    if (entry.placeholder && HasWires(module)) unavailable_[entry.name].push_back(ModulePath(module));
    return nullptr;
  }
  ug_base* object = made.get();
  object->audioMaster = &master_;

  InterfaceList own;
  object->ListInterface(own);
  const bool listedByClass = (entry.flags & MF_LISTED_BY_CLASS) != 0;
  const bool refit = dynamic_cast<ug_control*>(object) != nullptr && !ControlPlugsMatch(module, own);
  if (refit) {
    MakeControlPlugs(module, *object, own);
    refitted_.push_back(ModulePath(module));
  } else if (!own.empty() && DynamicKind<CContainer>(&module) == nullptr && !StoredPlugsFitTheClass(module, own)) {
    damaged_.push_back(ModulePath(module));
    return nullptr;
  }
  for (const auto& docPlug : module.Plugs()) {
    if (refit) break;  // made from the class's list above
    if (!MakesAudioPlug(*docPlug)) continue;
    const int index = docPlug->DefinitionIndex();
    const InterfaceObject* mine =
        index >= 0 && static_cast<std::size_t>(index) < own.size() ? &own[static_cast<std::size_t>(index)] : nullptr;
    const InterfaceObject& definition = docPlug->Definition();
    std::unique_ptr<UPlug> plug;
    const bool boundary = DynamicKind<CPlugIO2>(docPlug.get()) != nullptr;
    if (boundary || IsGrowing(definition.flags) || (mine != nullptr && IsGrowing(mine->flags))) {
      if (IsSparePlug(module, *docPlug)) continue;
      plug = std::make_unique<UPlug>(object, mine != nullptr ? *mine : definition);
      plug->binding = nullptr;
      if (plug->type != DT_AUDIO || !plug->IsSumming()) plug->data = nullptr;
      plug->direction = docPlug->Direction();
      plug->type = static_cast<PlugDataType>(docPlug->DataType());
    } else if (listedByClass) {
      if (mine == nullptr) continue;
      plug = std::make_unique<UPlug>(object, *mine);
    } else {
      // The entry's definition, bound to the object's member of that index.
      plug = std::make_unique<UPlug>(object, mine != nullptr ? *mine : definition);
    }
    plugs_[docPlug.get()] = object->AddPlug(std::move(plug));
  }
  object->AllocatePlugData();

  module.SetAudioObject(object);
  object->docModule = &module;
  object->title = module.Title();
  if (auto* taker = dynamic_cast<DocumentTextTaker*>(object)) {
    const auto* control = dynamic_cast<const CControl*>(&module);
    taker->TakeDocumentText(control != nullptr && control->ValueType() == ControlValueType::Text ? control->ValueText()
                                                                                               : std::string());
  }
  if (auto* taker = dynamic_cast<ItemListTaker*>(object))
    taker->UseItemList(WiredItemList(module, taker->ItemListPlugName()));
  object->handle = handleFor_ ? handleFor_(module) : 0;
  if (object->handle != 0) master_.RegisterTarget(object->handle, object);
  if (module.Flag()) object->flags |= UGF_BUILD_1000;
  return made;
}

std::unique_ptr<ug_container> GraphBuilder::Build(CContainer& root) {
  plugs_.clear();
  innerFirst_.clear();
  unavailable_.clear();
  damaged_.clear();
  refitted_.clear();
  misplacedAutomators_.clear();
  partial_ = AsContainer(MakeAudioObject(root));
  if (partial_ == nullptr) {
    partial_ = std::make_unique<ug_container>();
    partial_->audioMaster = &master_;
    partial_->docModule = &root;
    root.SetAudioObject(partial_.get());
  }
  ug_container& top = *partial_;
  BuildContainer(root, top, top, &top);
  // The root's own settings ("Polyphony" among them) apply as any
  // sub-container's do; with no enclosing container they land on its plugs.
  if (root.AudioObject() == &top) SetStartingValues(root);
  for (ug_container* c : innerFirst_) BypassRelays(*c);
  BypassRelays(top);
  // Per-voice modules are found on the joined-through wiring, inner first.
  for (ug_container* c : innerFirst_)
    if (c->IsVoiceContainer()) c->MarkVoiceModules();
  top.MarkVoiceModules();

  std::vector<ug_base*> all{&top};
  top.CollectModules(all);
  for (ug_base* m : all) m->sortOrder = -1;
  ComputeSortOrders(all);
  // Voice lists run in sort order (larger orders first); then the voice copies.
  for (ug_base* m : all) {
    if (auto* c = dynamic_cast<ug_container*>(m); c != nullptr && c->IsVoiceContainer()) c->BuildVoices();
  }
  return std::move(partial_);
}

void GraphBuilder::BuildContainer(CContainer& doc, ug_container& self, ug_container& target, ug_base* patchOwner) {
  if (IsPatchOwner(doc)) patchOwner = &self;
  std::vector<CUG*> modules;
  ForEachModule(doc, [&](CUG& m) { modules.push_back(&m); });

  for (CUG* module : modules) {
    if (auto* sub = DynamicKind<CContainer>(module)) {
      std::unique_ptr<ug_container> made = AsContainer(MakeAudioObject(*sub));
      if (made == nullptr) {
        sub->SetAudioObject(nullptr);
        continue;
      }
      auto* subObject = made.get();
      target.AddModule(std::move(made), &self);
      FollowPatchOwner(*subObject, patchOwner);
      const bool voiceContainer = HoldsEnabledWithFlag(*sub, MF_VOICE_SOURCE);
      subObject->SetTarget(voiceContainer ? nullptr : &target);
      BuildContainer(*sub, *subObject, voiceContainer ? *subObject : target, patchOwner);
      innerFirst_.push_back(subObject);
      CheckNoteSources(doc, *sub, self);
      continue;
    }
    std::unique_ptr<ug_base> object = MakeAudioObject(*module);
    if (object == nullptr) continue;
    ug_base* made = target.AddModule(std::move(object), &self);
    FollowPatchOwner(*made, patchOwner);
    if (auto* pair = dynamic_cast<AudioPair*>(made)) PlacePairReader(*pair, *module, target, self, patchOwner);
    module->AudioObjectPlaced(target, patchOwner);
    if (auto* automator = dynamic_cast<MidiAutomatorLink*>(made)) PlaceMidiAutomator(*automator, *made, *module, target, patchOwner);
    if (module->Entry() != nullptr && (module->Entry()->flags & MF_IO_MODULE) != 0) {
      self.ioModule = made;
      for (const auto& docPlug : module->Plugs()) {
        const auto* io = DynamicKind<CPlugIO2>(docPlug.get());
        if (io == nullptr || docPlug->IsGuiPlug() || io->Partner() == nullptr) continue;
        UPlug* inside = AudioPlug(io);
        UPlug* outside = AudioPlug(io->Partner());
        if (inside == nullptr || outside == nullptr) continue;
        inside->partner = outside;
        outside->partner = inside;
      }
    }
  }

  Wire(doc);
  // Starting values go only to plugs that no wire feeds: a wired input
  // taking its default as well would be summed with it through an adder.
  for (CUG* module : modules)
    if (module->AudioObject() != nullptr) SetStartingValues(*module);
  // After the starting values: they give the controls their controller numbers.
  RouteMidiAutomation(self);
}

void GraphBuilder::PlacePairReader(AudioPair& writer, CUG& module, ug_container& target, ug_container& self,
                                   ug_base* patchOwner) {
  std::unique_ptr<ug_base> reader = writer.MakeReader();
  if (reader == nullptr) return;
  // The same document module, voice list and container as the writer; no
  // message handle of its own (the writer answers for the module).
  reader->audioMaster = &master_;
  reader->docModule = &module;
  reader->title = module.Title();
  if (module.Flag()) reader->flags |= UGF_BUILD_1000;
  FollowPatchOwner(*target.AddModule(std::move(reader), &self), patchOwner);
}

// The automator serves the container that owns its programs: its output
// module joins the same voice list and the container records both. Placed
// anywhere else it serves nothing, and the user is told.
void GraphBuilder::PlaceMidiAutomator(MidiAutomatorLink& link, ug_base& automator, CUG& module, ug_container& target,
                                      ug_base* patchOwner) {
  ug_base* output = &target == patchOwner ? target.MakeHelperModule("MIDI Automator Output") : nullptr;
  if (output == nullptr) {
    link.AttachOutput(nullptr);
    misplacedAutomators_.push_back(ModulePath(module));
    return;
  }
  FollowPatchOwner(*output, patchOwner);
  output->docModule = &module;
  link.AttachOutput(output);
  target.RecordMidiAutomator(&automator, output);
}

void GraphBuilder::CheckNoteSources(CContainer& doc, CContainer& sub, ug_container& self) {
  if (!HoldsEnabledWithFlag(sub, MF_NOTE_SOURCE)) return;
  for (const CContainer* c = &doc; c != nullptr; c = c->Parent())
    if (HoldsEnabledWithFlag(*c, MF_NOTE_SOURCE)) throw KrException(KR_ERR_NOTE_SOURCES, &self, nullptr);
}

void GraphBuilder::Wire(CContainer& doc) {
  std::vector<CUG*> modules;
  ForEachModule(doc, [&](CUG& m) { modules.push_back(&m); });
  for (CUG* module : modules) {
    if (module->AudioObject() == nullptr) continue;
    for (const auto& docPlug : module->Plugs()) {
      if (docPlug->Direction() != DR_OUT || docPlug->IsGuiPlug()) continue;
      UPlug* from = AudioPlug(docPlug.get());
      if (from == nullptr) continue;
      for (const CLine2* wire : docPlug->Wires()) {
        if (wire->From() != docPlug.get() || wire->To() == nullptr) continue;
        UPlug* to = AudioPlug(wire->To());
        if (to == nullptr || PartnerLeadsNowhere(*wire->To())) continue;
        // Only audio and MIDI have adders; a stored document with a second
        // wire into another single input keeps its first wire.
        UPlug* final = to;
        while (final->redirect != nullptr) final = final->redirect;
        if (final->HasConnection() && !final->IsSumming() && final->type != DT_AUDIO && final->type != DT_MIDI) continue;
        Connect(from, to);
      }
    }
  }
}

void GraphBuilder::SetStartingValues(CUG& module) {
  for (const auto& docPlug : module.Plugs()) {
    UPlug* plug = AudioPlug(docPlug.get());
    if (plug == nullptr || plug->type == DT_MIDI) continue;
    if (plug->IsInput() && (plug->HasConnection() || plug->redirect != nullptr)) continue;
    // A relay output gets its value from what feeds its partner; an output
    // redirected to another object's (a pair's writer) has no block of its own.
    if (plug->direction == DR_OUT && (plug->partner != nullptr || plug->redirect != nullptr)) continue;
    // A control's outputs carry its stored values, not a plug value.
    if (plug->direction == DR_OUT && dynamic_cast<ug_control*>(plug->owner) != nullptr) continue;
    plug->ApplyDefault(docPlug->ValueText());
  }
}

void GraphBuilder::BypassRelays(ug_container& container) {
  for (auto& own : container.plugs) {
    UPlug* outside = own.get();
    UPlug* inside = outside->partner;
    if (inside == nullptr) continue;
    UPlug* in = outside->direction == DR_OUT ? inside : outside;
    UPlug* out = outside->direction == DR_OUT ? outside : inside;
    // Several wires into a relay meet in an adder, whose output feeds the
    // relay itself (later wires are redirected to the adder's input).
    UPlug* source = nullptr;
    for (connector* c : std::vector<connector*>(in->connections)) {
      if (c->to != in) continue;
      if (source == nullptr) source = c->from;
      Disconnect(c);
    }
    std::vector<UPlug*> receivers;
    for (connector* c : std::vector<connector*>(out->connections)) {
      if (c->from != out) continue;
      receivers.push_back(c->to);
      Disconnect(c);
    }
    if (source == nullptr) continue;
    for (UPlug* receiver : receivers) Connect(source, receiver);
  }
}

void GraphBuilder::ClearAudioLinks(CContainer& root) {
  root.SetAudioObject(nullptr);
  for (const auto& child : root.Children()) {
    if (auto* sub = DynamicKind<CContainer>(child.get())) {
      ClearAudioLinks(*sub);
    } else if (auto* module = DynamicKind<CUG>(child.get())) {
      module->SetAudioObject(nullptr);
    }
  }
}

}  // namespace kr
