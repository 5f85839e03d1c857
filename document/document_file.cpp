#include "document/document_file.h"

#include <cstdio>
#include <unordered_set>

#include "document/class_catalog.h"
#include "document/iterators.h"
#include "document/line2.h"
#include "document/load_context.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "platform/platform.h"

namespace kr {

namespace {

std::string NewerVersionMessage(std::int32_t version) {
  char buffer[200];
  std::snprintf(buffer, sizeof buffer,
                "Load Cancelled.  File created by a newer version of Kestrune (V%.2f). See Kestrune web site for "
                "latest version.",
                version * 0.01);
  return buffer;
}

void ReadHeader(ArchiveReader& ar, StoredDocument& doc, LoadMode mode) {
  const int v = ar.Version();
  const bool full = mode == LoadMode::Full;
  DocumentHeaderSettings& s = doc.settings;
  if (v >= 83) {
    const std::uint32_t n = ar.ReadCount();
    if (n > ar.Remaining()) throw ArchiveError("file list runs past the end");
    for (std::uint32_t i = 0; i < n; ++i) {
      auto* file = ar.ReadObjectOf<imbedded_file>();
      if (auto owned = ar.ClaimAs(file)) doc.embeddedFiles.push_back(std::move(owned));
    }
  }
  if (v >= 16 && v <= 48) ar.ReadText();
  if (v >= 21 && v <= 47) ar.Skip(3 * 60);
  std::string text = ar.ReadText();
  if (full) s.documentText = std::move(text);
  if (v >= 9) {
    const bool b = ar.ReadInt32() != 0;
    if (full) s.booleanSetting = b;
  }
  if (v >= 20 && v < 94960) ar.ReadInt32();
  if (v >= 45) {
    const bool b = ar.ReadInt32() != 0;
    if (full) s.privateCopy = b;
  }
  if (v >= 56) {
    s.uniqueId = ar.ReadText();
    if (v >= 62) {
      std::string t = ar.ReadText();
      if (full) s.fullLoadText = std::move(t);
    }
    if (v >= 58) {
      s.unusedNumber = ar.ReadInt32();
      s.aboutText = ar.ReadText();
    }
    if (v >= 64) s.monoCapable = ar.ReadInt32() != 0;
    if (v >= 57) {
      s.panelWidth = ar.ReadInt32();
      s.panelHeight = ar.ReadInt32();
    }
    if (v >= 69) {
      s.pluginFlags = ar.ReadInt32();
      s.programCount = ar.ReadInt32();
      if (v >= 71) {
        s.vendor = ar.ReadText();
        if (v >= 86) {
          std::string t = ar.ReadText();
          if (full) s.vendorExtra = std::move(t);
        }
      }
      if (v < 94400) ar.ReadText();
      std::string product = ar.ReadText();
      if (full) s.product = std::move(product);
    }
    if (ar.ReadInt32() != 0) doc.skins = ReadSkinBlock(ar);
  }
  if (v > 95272) ar.ReadBool();
}

void WriteHeader(ArchiveWriter& ar, const StoredDocument& doc) {
  const int v = ar.Version();
  const DocumentHeaderSettings& s = doc.settings;
  ar.WriteInt32(v);
  if (v >= 83) {
    ar.WriteCount(static_cast<std::uint32_t>(doc.embeddedFiles.size()));
    for (const auto& f : doc.embeddedFiles) ar.WriteObject(f.get());
  }
  if (v >= 16 && v <= 48) ar.WriteText({});
  if (v >= 21 && v <= 47) ar.WriteBytes(std::vector<std::uint8_t>(3 * 60));
  ar.WriteText(s.documentText);
  if (v >= 9) ar.WriteInt32(s.booleanSetting ? 1 : 0);
  if (v >= 20 && v < 94960) ar.WriteInt32(0);
  if (v >= 45) ar.WriteInt32(s.privateCopy ? 1 : 0);
  if (v >= 56) {
    ar.WriteText(s.uniqueId);
    if (v >= 62) ar.WriteText(s.fullLoadText);
    if (v >= 58) {
      ar.WriteInt32(s.unusedNumber);
      ar.WriteText(s.aboutText);
    }
    if (v >= 64) ar.WriteInt32(s.monoCapable ? 1 : 0);
    if (v >= 57) {
      ar.WriteInt32(s.panelWidth);
      ar.WriteInt32(s.panelHeight);
    }
    if (v >= 69) {
      ar.WriteInt32(s.pluginFlags);
      ar.WriteInt32(s.programCount);
      if (v >= 71) {
        ar.WriteText(s.vendor);
        if (v >= 86) ar.WriteText(s.vendorExtra);
      }
      if (v < 94400) ar.WriteText({});
      ar.WriteText(s.product);
    }
    ar.WriteInt32(doc.skins.empty() ? 0 : 1);
    if (!doc.skins.empty()) WriteSkinBlock(ar, doc.skins);
  }
  if (v > 95272) ar.WriteBool(false);
}

std::vector<CContainer*> AllContainers(CContainer& root) {
  std::vector<CContainer*> all{&root};
  it_imbedded_doc_ob_recursive it(root);
  for (it.First(); !it.AtEnd(); it.Next())
    if (auto* c = DynamicKind<CContainer>(it.Current())) all.push_back(c);
  return all;
}

// Plugs of every module in the tree, the containers' own plugs included.
std::vector<CPlug2*> AllPlugs(CContainer& root) {
  std::vector<CPlug2*> plugs;
  for (const auto& p : root.Plugs()) plugs.push_back(p.get());
  it_imbedded_doc_ob_recursive it(root);
  for (it.First(); !it.AtEnd(); it.Next())
    if (auto* m = DynamicKind<CUG>(it.Current()))
      for (const auto& p : m->Plugs()) plugs.push_back(p.get());
  return plugs;
}

// Wires that cannot join two plugs of this tree (a missing end, both ends on
// one plug, an end no module owns) are taken out; plugs forget wires that no
// container holds. Removed objects stay alive in the root's keep list, since
// other stored objects may still point at them.
void DropBrokenWires(CContainer& root) {
  std::unordered_set<const CPlug2*> owned;
  for (CPlug2* p : AllPlugs(root)) owned.insert(p);
  std::unordered_set<const CLine2*> held;
  for (CContainer* c : AllContainers(root)) {
    std::vector<CLine2*> broken;
    for (const auto& child : c->Children()) {
      auto* w = DynamicKind<CLine2>(child.get());
      if (!w) continue;
      if (!w->From() || !w->To() || w->From() == w->To() || !owned.contains(w->From()) || !owned.contains(w->To()))
        broken.push_back(w);
      else
        held.insert(w);
    }
    for (CLine2* w : broken) {
      w->DetachFromPlugs();
      root.unownedObjects.push_back(c->TakeChild(w));
    }
  }
  for (CPlug2* p : AllPlugs(root)) {
    const std::vector<CLine2*> wires = p->Wires();
    for (CLine2* w : wires)
      if (!held.contains(w)) p->DetachWire(w);
  }
  for (const CLine2* w : held) {
    auto* wire = const_cast<CLine2*>(w);
    wire->AttachToPlugs();
  }
}

// Boundary plugs of documents before 94962 store no data type. Each takes
// the type of its partner or of a plug it is wired to, repeated until no
// more can be learnt (types travel through nested containers); a plug that
// connects to nothing typed gets the type of a new boundary plug, audio.
void ResolveBoundaryTypes(CContainer& root) {
  std::vector<CPlugIO2*> unknown;
  for (CPlug2* p : AllPlugs(root))
    if (auto* io = DynamicKind<CPlugIO2>(p); io && io->DataType() == CPlugIO2::kUnknownType) unknown.push_back(io);
  bool learnt = true;
  while (learnt && !unknown.empty()) {
    learnt = false;
    for (auto it = unknown.begin(); it != unknown.end();) {
      CPlugIO2* io = *it;
      int type = CPlugIO2::kUnknownType;
      if (io->Partner() && io->Partner() != io) type = io->Partner()->DataType();
      for (const CLine2* w : io->Wires()) {
        if (type != CPlugIO2::kUnknownType) break;
        const CPlug2* other = w->From() == io ? w->To() : w->From();
        if (other && other != io) type = other->DataType();
      }
      if (type != CPlugIO2::kUnknownType) {
        io->SetDataType(type);
        it = unknown.erase(it);
        learnt = true;
      } else {
        ++it;
      }
    }
  }
  for (CPlugIO2* io : unknown) io->SetDataType(DT_AUDIO);
}

}  // namespace

// How gaps in old versions are read (each step is tested):
// - Modules of versions 8 to 36 store no identity; their title, which starts
//   as the registry name, names the entry when it still does (CUG part).
// - Containers of version 9 and older hold one list of objects: modules are
//   kept, old lines become wires (ends ordered output first), old boxes
//   become "Panel Group" boxes.
// - Wires of version 36 and older are attached after the whole load, once:
//   a wire a plug's own list (version 36) already names is not added again.
// - Boundary plugs before 94962 have no stored type: ResolveBoundaryTypes.
// Wires that cannot join two plugs of the tree are dropped: DropBrokenWires.
void FinishTree(CContainer& root) {
  root.AttachToParent(nullptr);
  DropBrokenWires(root);
  ResolveBoundaryTypes(root);
  root.PostLoadInit();
}

DocumentLoadResult ReadDocument(std::span<const std::uint8_t> bytes, LoadMode mode,
                                const EmbeddedFilesSeen& onFiles) {
  DocumentLoadResult result;
  DocumentVersionScope versionScope;
  try {
    ArchiveReader ar(bytes, 0, &FindRuntimeClass);
    LoadContext context;
    ar.SetContext(&context);
    result.version = ar.ReadInt32();
    if (result.version > kCurrentDocumentVersion) {
      result.error = NewerVersionMessage(result.version);
      platform::ShowMessageBox({result.error, "Kestrune", platform::MessageIcon::Information});
      return result;
    }
    ar.SetVersion(result.version);
    SetDocumentVersion(result.version);

    auto doc = std::make_unique<StoredDocument>();
    ReadHeader(ar, *doc, mode);
    if (onFiles) onFiles(doc->embeddedFiles);
    auto* root = ar.ReadObjectOf<CContainer>();
    doc->root = ar.ClaimAs(root);
    if (!doc->root) throw ArchiveError("no root container");
    if (result.version >= 11 && result.version <= 15) ar.ReadText();

    for (CLine2* w : context.convertedWires) w->OrderEnds();
    for (CLine2* w : context.wiresToAttach) w->AttachToPlugs();
    doc->root->unownedObjects = ar.ReleaseUnclaimed();
    doc->root->document = doc.get();
    FinishTree(*doc->root);
    result.document = std::move(doc);
  } catch (const std::exception& e) {  // ArchiveError, or an allocation the data asked for
    result.error = e.what();
    result.document.reset();
  }
  return result;
}

std::vector<std::uint8_t> WriteDocument(const StoredDocument& document, int version) {
  ArchiveWriter ar(version);
  WriteHeader(ar, document);
  ar.WriteObject(document.root.get());
  if (version >= 11 && version <= 15) ar.WriteText({});
  return ar.TakeBytes();
}

}  // namespace kr
