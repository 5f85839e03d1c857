// Turns the document tree into running audio objects: one per enabled
// module, grouped under container objects, wired (with adders where several
// wires meet at one input), boundary relays joined straight through, and
// every object given its sort order. Engine errors are KrExceptions.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/ug_container.h"

namespace kr {

class AudioPair;
class CContainer;
class CPlug2;
class CUG;
class KrAudioMaster;
class MidiAutomatorLink;

class GraphBuilder {
 public:
  // Gives the message handle of a document module's GUI twin (0: none).
  using HandleFor = std::function<std::int32_t(CUG&)>;

  GraphBuilder(KrAudioMaster& master, HandleFor handleFor);

  // Builds the whole graph of the document root. Throws KrException; the
  // partial graph then stays with the builder (for naming the modules in the
  // message) until it is destroyed, and the caller clears the document's
  // audio links with ClearAudioLinks.
  std::unique_ptr<ug_container> Build(CContainer& root);

  // The audio plug made for a document plug (null: none).
  UPlug* AudioPlug(const CPlug2* plug) const;

  // Destroys a partial graph left by a failed Build.
  void Discard() { partial_.reset(); }

  // Clears every document module's link to its audio object.
  static void ClearAudioLinks(CContainer& root);

  // Modules left out of the last build, as "Container.Title" texts: wired
  // modules whose kind has no audio class in this build, by kind name; and
  // modules whose stored plugs do not fit their class (a damaged document).
  const std::map<std::string, std::vector<std::string>>& Unavailable() const { return unavailable_; }
  const std::vector<std::string>& Damaged() const { return damaged_; }
  // Panel controls whose stored plugs differ from their class's list: the
  // plugs that match by position were used.
  const std::vector<std::string>& Refitted() const { return refitted_; }
  // "MIDI Automator" modules outside a container with programs of its own.
  const std::vector<std::string>& MisplacedAutomators() const { return misplacedAutomators_; }

 private:
  std::unique_ptr<ug_base> MakeAudioObject(CUG& module);
  // A panel control stored with other plugs than its class lists: its plugs
  // made from the list, joined to the stored ones that match by position.
  void MakeControlPlugs(CUG& module, ug_base& object, const InterfaceList& own);
  void BuildContainer(CContainer& doc, ug_container& self, ug_container& target, ug_base* patchOwner);
  void Wire(CContainer& doc);
  void SetStartingValues(CUG& module);
  void CheckNoteSources(CContainer& doc, CContainer& sub, ug_container& self);
  // Places the second object of a module that runs as a pair beside the first.
  void PlaceMidiAutomator(MidiAutomatorLink& link, ug_base& automator, CUG& module, ug_container& target,
                          ug_base* patchOwner);
  void PlacePairReader(AudioPair& writer, CUG& module, ug_container& target, ug_container& self, ug_base* patchOwner);
  void BypassRelays(ug_container& container);

  KrAudioMaster& master_;
  HandleFor handleFor_;
  std::unordered_map<const CPlug2*, UPlug*> plugs_;
  std::vector<ug_container*> innerFirst_;
  std::unique_ptr<ug_container> partial_;
  std::map<std::string, std::vector<std::string>> unavailable_;
  std::vector<std::string> damaged_;
  std::vector<std::string> refitted_;
  std::vector<std::string> misplacedAutomators_;
};

// The run order: larger orders further upstream. Throws KrException
// (feedback) naming the two modules of a loop. The reader of an AudioPair
// counts as feeding its writer, so it always runs first.
void ComputeSortOrders(const std::vector<ug_base*>& objects);

// True when the module, or a container enclosing it, is disabled.
bool IsDisabled(const CUG& module);

}  // namespace kr
