// The value plumbing of the modules that compute on the GUI thread. Each of
// the module's plugs is one feature:
//  - a held value: an input plug (any number of wires); its value text is
//    the value, and a change tells the module (OnVariableChanged);
//  - a link: an output plug of one wire. When the wire leads to a held
//    value of the same data type on another module, the link is attached:
//    reading it reads that value and writing it sets that value, which
//    every other link on it, the module holding it and a patch parameter
//    behind it all hear. A change made elsewhere tells the module
//    (OnControlChanged), as does a new item list (OnControlListChanged).
// An unattached link reads as empty text (a placeholder) and writes go
// nowhere. A module never hears of its own writes through a link.
// GUI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/cug.h"
#include "document/notifier.h"
#include "document/plug2.h"

namespace kr::ui {

enum class FeatureKind { Value, Link };
inline constexpr FeatureKind kValue = FeatureKind::Value;
inline constexpr FeatureKind kLink = FeatureKind::Link;

// A feature of a module whose plugs are made from its features.
struct FeatureSpec {
  const char* name;
  int dataType;
  FeatureKind kind;
  const char* listText = "";
  std::uint32_t flags = 0;
  const char* defaultText = "0";
};

class has_features : public ModuleGuiLogic, public Notifiable {
 public:
  explicit has_features(CUG& module);
  ~has_features() override;
  has_features(const has_features&) = delete;
  has_features& operator=(const has_features&) = delete;

  // Once the module's plugs are in place (after a load or a build): makes
  // the plugs a new module lacks, attaches the links, then Started().
  void Start() override;
  // The module gained or lost a plug, or a plug gained or lost a wire.
  void PlugsChanged() override;
  void WiresChanged(CPlug2& plug) override;

  void OnNotify(Notifier* source, int code, void* data) override;

 protected:
  // The notifications; the base versions do nothing.
  virtual void OnVariableChanged(std::size_t /*index*/) {}
  virtual void OnControlChanged(std::size_t /*index*/) {}
  virtual void OnControlListChanged(std::size_t /*index*/) {}
  // The fixed features of a module whose plugs are made from features
  // (none for modules whose plugs come from their registry entry).
  virtual std::span<const FeatureSpec> Features() const { return {}; }
  // Extra plugs a new module starts with (after its features).
  virtual void AddStartingPlugs() {}
  // After the first attachment: what a module computes once loaded.
  virtual void Started() {}
  // A plug gained or lost a wire (after its link was attached again).
  virtual void OnWiresChanged(std::size_t /*index*/) {}
  // The module gained or lost a plug.
  virtual void OnPlugsChanged() {}

  CUG& Module() const { return module_; }
  std::size_t PlugCount() const { return slots_.size(); }
  CPlug2* PlugAt(std::size_t index) const;
  bool IsLink(std::size_t index) const;
  // The index of a plug of this module, or PlugCount().
  std::size_t IndexOf(const CPlug2* plug) const;
  // The index of the module's plug of that name, or PlugCount().
  std::size_t Named(std::string_view name) const;

  // Held values (the module's own plugs).
  std::string Text(std::size_t index) const;
  double Number(std::size_t index) const;
  int Integer(std::size_t index) const;
  bool Bool(std::size_t index) const;
  std::string ItemList(std::size_t index) const;
  void SetText(std::size_t index, std::string_view text);
  void SetNumber(std::size_t index, double value);
  void SetInteger(std::size_t index, int value);
  void SetBool(std::size_t index, bool value);

  // Links: the far value.
  bool Attached(std::size_t index) const;
  std::string FarText(std::size_t index) const;
  double FarNumber(std::size_t index) const;
  int FarInteger(std::size_t index) const;
  bool FarBool(std::size_t index) const;
  std::string FarItemList(std::size_t index) const;
  // Sets the far value (when the link is attached and the value differs).
  void Write(std::size_t index, std::string_view text);
  void WriteNumber(std::size_t index, double value);
  void WriteInteger(std::size_t index, int value);
  void WriteBool(std::size_t index, bool value);

  // A feature plug on the module (a CPlugFeature4), added last.
  CPlug2& AddFeaturePlug(const FeatureSpec& spec, int featureIndex);
  // Removes a plug (and its wires) and tells the container.
  void RemovePlug(CPlug2& plug);

 private:
  struct Slot {
    CPlug2* plug = nullptr;
    CPlug2* far = nullptr;  // the held value an attached link reads
    bool writing = false;   // a write through this link is under way
  };
  void Rescan();
  void Observe(CPlug2* plug);
  void Unobserve(CPlug2* plug);
  CPlug2* FarOf(const CPlug2& link) const;
  // Re-attaches link `index`; true when its far value changed.
  bool Reattach(std::size_t index);
  void ReleaseAll();

  CUG& module_;
  std::vector<Slot> slots_;
  std::vector<CPlug2*> observed_;
  std::vector<CPlug2*> writing_;  // links being written through
  bool started_ = false;
};

// Number texts of features: the shortest text that reads back as the same
// 32-bit float.
std::string FloatText(double value);
// A bool feature's text reads true for "1", "true" or any non-zero number.
bool BoolOfText(std::string_view text);
double NumberOfText(std::string_view text);

}  // namespace kr::ui
