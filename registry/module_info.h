// One registry entry per module kind: its names, flags, plug list and the two
// factories that make its document object and its running audio object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "registry/interface_object.h"
#include "registry/plug_declaration.h"

namespace kr {

class CUG;
class CUG2;
class CVisualOb;
class ug_base;
class Module_Info;

// Makes the document object of an entry. A null factory on an entry means
// "a plain CUG made from this entry" (a CUG2 for a Module_Info2); the
// document tree code supplies those defaults.
using DocumentFactory = std::unique_ptr<CUG> (*)(Module_Info* info);
// Makes the running audio object of an entry, and lists the plugs of its
// class (a temporary object's plug list, without bindings). The registry
// sees the audio classes only through these two functions.
struct AudioFactory {
  using Make = std::unique_ptr<ug_base> (*)(Module_Info* info);
  using ListPlugs = void (*)(InterfaceList& list);

  constexpr AudioFactory() = default;
  constexpr AudioFactory(std::nullptr_t) {}
  constexpr AudioFactory(Make make, ListPlugs listPlugs) : make(make), listPlugs(listPlugs) {}
  friend constexpr bool operator==(const AudioFactory& f, std::nullptr_t) { return f.make == nullptr; }

  Make make = nullptr;
  ListPlugs listPlugs = nullptr;
};
// Makes the GUI-side visual object of a Module_Info2 for one document module.
using VisualFactory = std::unique_ptr<CVisualOb> (*)(Module_Info* info, CUG* module);

namespace audio_factory_detail {
template <class T>
std::unique_ptr<ug_base> Make(Module_Info*) {
  return std::make_unique<T>();
}
template <class T>
void ListPlugs(InterfaceList& list) {
  T sample;
  sample.ListInterface(list);
}
}  // namespace audio_factory_detail

// The audio factory of a module class: AudioFactoryFor<ug_delay>. Use it
// where the class is complete.
template <class T>
inline constexpr AudioFactory AudioFactoryFor{&audio_factory_detail::Make<T>, &audio_factory_detail::ListPlugs<T>};

// Entry flag word.
enum ModuleFlags : std::int32_t {
  MF_CONTAINER_1 = 0x1,     // carried by "Container"; not tested by the plug-in
  MF_CONTAINER_2 = 0x2,     // carried by "Container" and "IO Mod"; not tested
  MF_IO_MODULE = 0x4,       // a container's I/O module
  MF_OBSOLETE = 0x8,        // obsolete module; not tested
  MF_NOTE_SOURCE = 0x20,    // exclusive note source: at most one per container chain
  MF_VOICE_SOURCE = 0x40,   // a container holding one becomes a voice container
  MF_PANEL_VIEW = 0x80,     // has a visual object in the panel view (view kind 128)
  MF_STRUCTURE_VIEW = 0x100,// has a visual object in the structure view (view kind 256)
  MF_LISTED_BY_CLASS = 0x1000,  // plug list came from the audio class
};

// A plug row of an entry whose plugs no audio object lists (converters, GUI
// plugs): the same declaration as a module's, with nothing to bind.
struct NoBoundMembers {};
using PlugDescriptor = PlugDecl<NoBoundMembers>;

// Constant registration record: entries whose plug list is a static table.
struct ModuleDescriptor {
  const char* name;
  std::int32_t displayNameId = 0;
  std::int32_t groupId = 0;
  DocumentFactory documentFactory = nullptr;
  AudioFactory audioFactory = nullptr;
  std::int32_t flags = 0;
  std::span<const PlugDescriptor> plugs{};
};

InterfaceList MakeInterfaceList(std::span<const PlugDescriptor> plugs);

class Module_Info {
 public:
  // The entry constructor: flags get MF_LISTED_BY_CLASS, and the plug list is
  // taken from a temporary audio object made through MakeAudioObject.
  Module_Info(std::string name, std::string groupText, std::int32_t displayNameId, std::int32_t groupId,
              DocumentFactory documentFactory, AudioFactory audioFactory, std::int32_t flags,
              std::string secondText = {}, std::int32_t moduleNumber = -1);
  // The constant-descriptor form: flags unchanged, module number -1.
  explicit Module_Info(const ModuleDescriptor& descriptor);
  virtual ~Module_Info();
  Module_Info(const Module_Info&) = delete;
  Module_Info& operator=(const Module_Info&) = delete;

  virtual const std::string& Name() const { return name; }
  // Null when the entry has no audio factory. A template only so that
  // ug_base need not be complete here; call it where it is.
  template <class U = ug_base>
  std::unique_ptr<U> MakeAudioObject() {
    if (audioFactory.make == nullptr) return nullptr;
    return audioFactory.make(this);
  }
  // The factory of the GUI-side visual object; plain entries have none.
  virtual VisualFactory VisualObjectFactory() const { return nullptr; }
  // Null for plain entries. A template only so that CVisualOb need not be
  // complete here; call it where it is.
  template <class V = CVisualOb>
  std::unique_ptr<V> MakeVisualObject(CUG* module) {
    VisualFactory factory = VisualObjectFactory();
    return factory != nullptr ? factory(this, module) : nullptr;
  }

  bool AllowsView(std::int32_t viewKind) const { return (flags & viewKind) != 0; }

  DocumentFactory documentFactory = nullptr;
  AudioFactory audioFactory = nullptr;
  std::string name;
  std::string secondText;
  std::string groupText;
  InterfaceList plugs;
  std::int32_t displayNameId = 0;
  std::int32_t groupId = 0;
  std::int32_t flags = 0;
  std::int32_t moduleNumber = -1;
  // Set on the entries of the built-in name tables: they stand in for a
  // module until the module's own registration arrives and replaces them.
  bool placeholder = false;

 protected:
  // Asks a temporary audio object for its plug list; bindings into that
  // object are dropped, since the object is gone afterwards.
  void ListPlugsFromAudioClass();
};

// An entry that adds GUI plugs (made as CPlugGui before the ordinary plugs)
// and a GUI-side visual object.
class Module_Info2 : public Module_Info {
 public:
  Module_Info2(std::string name, std::string groupText, std::int32_t displayNameId, std::int32_t groupId,
               DocumentFactory documentFactory, AudioFactory audioFactory, std::int32_t flags,
               std::span<const PlugDescriptor> guiPlugs, VisualFactory visualFactory,
               std::string secondText = {}, std::int32_t moduleNumber = -1);

  VisualFactory VisualObjectFactory() const override { return visualFactory; }

  InterfaceList guiPlugs;
  VisualFactory visualFactory = nullptr;
};

}  // namespace kr
