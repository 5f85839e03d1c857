#include "document/ui/has_features.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "document/container.h"
#include "document/cug.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "registry/interface_object.h"

namespace kr::ui {

std::string FloatText(double value) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, static_cast<float>(value));
  return {text, r.ptr};
}

double NumberOfText(std::string_view text) {
  const double v = std::strtod(std::string(text).c_str(), nullptr);
  return std::isfinite(v) ? v : 0.0;
}

bool BoolOfText(std::string_view text) { return text == "true" || NumberOfText(text) != 0.0; }

namespace {

// Whether two value texts stand for the same value of a data type, so that
// "10" and "10.000" are no change.
bool SameValue(int dataType, std::string_view a, std::string_view b) {
  switch (dataType) {
    case DT_FLOAT:
    case DT_DOUBLE: return static_cast<float>(NumberOfText(a)) == static_cast<float>(NumberOfText(b));
    case DT_ENUM:
    case DT_INT: return ParameterTextToInt(a) == ParameterTextToInt(b) && a.empty() == b.empty();
    case DT_BOOL: return BoolOfText(a) == BoolOfText(b) && a.empty() == b.empty();
    default: return a == b;
  }
}

void SetIfDifferent(CPlug2& plug, std::string_view text) {
  if (!SameValue(plug.DataType(), plug.ValueText(), text)) plug.SetValueText(text);
}

}  // namespace

has_features::has_features(CUG& module) : module_(module) {}

has_features::~has_features() { ReleaseAll(); }

void has_features::ReleaseAll() {
  for (CPlug2* p : observed_) p->RemoveObserver(this);
  observed_.clear();
  slots_.clear();
}

CPlug2* has_features::PlugAt(std::size_t index) const { return index < slots_.size() ? slots_[index].plug : nullptr; }

bool has_features::IsLink(std::size_t index) const {
  const CPlug2* p = PlugAt(index);
  return p != nullptr && p->Direction() == DR_OUT && p->IsGuiPlug();
}

std::size_t has_features::IndexOf(const CPlug2* plug) const {
  for (std::size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i].plug == plug) return i;
  return slots_.size();
}

std::size_t has_features::Named(std::string_view name) const { return IndexOf(module_.FindPlug(name)); }

CPlug2* has_features::FarOf(const CPlug2& link) const {
  for (const CLine2* wire : link.Wires()) {
    if (wire == nullptr) continue;
    CPlug2* other = wire->From() == &link ? wire->To() : wire->From();
    // Only a held value of the same type on another module takes a link.
    if (other == nullptr || other->Owner() == &module_ || other->Owner() == nullptr) return nullptr;
    if (other->Direction() != DR_IN || other->DataType() != link.DataType()) return nullptr;
    return other;
  }
  return nullptr;
}

void has_features::Observe(CPlug2* plug) {
  if (plug == nullptr || std::find(observed_.begin(), observed_.end(), plug) != observed_.end()) return;
  plug->AddObserver(this);
  observed_.push_back(plug);
}

void has_features::Unobserve(CPlug2* plug) {
  for (const Slot& s : slots_)
    if (s.plug == plug || s.far == plug) return;  // still in use
  if (std::erase(observed_, plug) > 0) plug->RemoveObserver(this);
}

void has_features::Rescan() {
  std::vector<Slot> fresh;
  for (const auto& p : module_.Plugs()) {
    Slot s;
    s.plug = p.get();
    const auto old = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& o) { return o.plug == s.plug; });
    if (old != slots_.end()) s.far = old->far;
    fresh.push_back(s);
  }
  const std::vector<CPlug2*> before = observed_;
  slots_ = std::move(fresh);
  for (Slot& s : slots_) Observe(s.plug);
  for (CPlug2* p : before) Unobserve(p);
}

bool has_features::Reattach(std::size_t index) {
  Slot& s = slots_[index];
  CPlug2* far = IsLink(index) ? FarOf(*s.plug) : nullptr;
  if (far == s.far) return false;
  CPlug2* old = s.far;
  s.far = far;
  Observe(far);
  if (old != nullptr) Unobserve(old);
  return true;
}

void has_features::Start() {
  if (started_) return;
  started_ = true;
  const std::span<const FeatureSpec> features = Features();
  const bool fresh = module_.Plugs().empty();
  // A loaded module keeps its plugs; they take the names and lists of their
  // features, and features past the last stored one get plugs.
  int highest = -1;
  for (const auto& p : module_.Plugs()) {
    auto* feature = dynamic_cast<CPlugFeature*>(p.get());
    if (feature == nullptr || feature->featureIndex < 0 ||
        static_cast<std::size_t>(feature->featureIndex) >= features.size())
      continue;
    const FeatureSpec& spec = features[static_cast<std::size_t>(feature->featureIndex)];
    feature->name_ = spec.name;
    feature->secondText = spec.listText;
    feature->SetDefinitionIndex(-1);
    highest = std::max(highest, feature->featureIndex);
  }
  for (std::size_t i = static_cast<std::size_t>(highest + 1); i < features.size(); ++i)
    AddFeaturePlug(features[i], static_cast<int>(i));
  if (fresh) AddStartingPlugs();
  for (const auto& p : module_.Plugs())
    if (auto* feature = dynamic_cast<CPlugFeature*>(p.get()); feature && !feature->secondText.empty())
      feature->SetItemList(feature->secondText);
  Rescan();
  for (std::size_t i = 0; i < slots_.size(); ++i) Reattach(i);
  Started();
}

void has_features::PlugsChanged() {
  if (!started_) return;
  Rescan();
  for (std::size_t i = 0; i < slots_.size(); ++i) Reattach(i);
  OnPlugsChanged();
}

void has_features::WiresChanged(CPlug2& plug) {
  if (!started_) return;
  const std::size_t index = IndexOf(&plug);
  if (index >= slots_.size()) return;
  if (Reattach(index) && slots_[index].far != nullptr) {
    // A module computes at once when it is wired.
    OnControlListChanged(index);
    if (index < slots_.size() && slots_[index].plug == &plug) OnControlChanged(index);
  }
  if (index < slots_.size() && slots_[index].plug == &plug) OnWiresChanged(index);
}

namespace {
// Modules wired in a ring could tell each other of changes without end:
// past this depth a change goes no further.
constexpr int kMaxNotifyDepth = 64;
thread_local int notifyDepth = 0;

class DepthScope {
 public:
  DepthScope() { ++notifyDepth; }
  ~DepthScope() { --notifyDepth; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;
};
}  // namespace

void has_features::OnNotify(Notifier* source, int code, void* /*data*/) {
  if (code == NC_PARAMETER_GONE) {
    for (Slot& s : slots_)
      if (s.far == source) s.far = nullptr;
    std::erase_if(slots_, [&](const Slot& s) { return s.plug == source; });
    std::erase_if(observed_, [&](const CPlug2* p) { return static_cast<const Notifier*>(p) == source; });
    return;
  }
  if (code != NC_PARAMETER_VALUE && code != NC_ITEM_LIST) return;
  if (notifyDepth >= kMaxNotifyDepth) return;
  DepthScope depth;
  // Handlers may add or remove plugs: walk a copy and look each one up again.
  std::vector<CPlug2*> linksToTell;
  CPlug2* own = nullptr;
  for (const Slot& s : slots_) {
    if (s.plug == source && !IsLink(IndexOf(s.plug))) own = s.plug;
    if (s.far == source && s.far != nullptr && std::find(writing_.begin(), writing_.end(), s.plug) == writing_.end())
      linksToTell.push_back(s.plug);
  }
  if (own != nullptr && code == NC_PARAMETER_VALUE) OnVariableChanged(IndexOf(own));
  for (CPlug2* link : linksToTell) {
    const std::size_t index = IndexOf(link);
    if (index >= slots_.size() || static_cast<Notifier*>(slots_[index].far) != source) continue;
    if (code == NC_ITEM_LIST) {
      OnControlListChanged(index);
    } else {
      OnControlChanged(index);
    }
  }
}

// --- held values -------------------------------------------------------------------

std::string has_features::Text(std::size_t index) const {
  const CPlug2* p = PlugAt(index);
  return p != nullptr ? p->ValueText() : std::string{};
}
double has_features::Number(std::size_t index) const { return NumberOfText(Text(index)); }
int has_features::Integer(std::size_t index) const { return ParameterTextToInt(Text(index)); }
bool has_features::Bool(std::size_t index) const { return BoolOfText(Text(index)); }
std::string has_features::ItemList(std::size_t index) const {
  const CPlug2* p = PlugAt(index);
  return p != nullptr ? p->ItemList() : std::string{};
}

void has_features::SetText(std::size_t index, std::string_view text) {
  if (CPlug2* p = PlugAt(index)) SetIfDifferent(*p, text);
}
void has_features::SetNumber(std::size_t index, double value) {
  if (std::isfinite(value)) SetText(index, FloatText(value));
}
void has_features::SetInteger(std::size_t index, int value) { SetText(index, std::to_string(value)); }
void has_features::SetBool(std::size_t index, bool value) { SetText(index, value ? "1" : "0"); }

// --- links ---------------------------------------------------------------------------

bool has_features::Attached(std::size_t index) const { return index < slots_.size() && slots_[index].far != nullptr; }

std::string has_features::FarText(std::size_t index) const {
  return Attached(index) ? slots_[index].far->ValueText() : std::string{};
}
double has_features::FarNumber(std::size_t index) const { return NumberOfText(FarText(index)); }
int has_features::FarInteger(std::size_t index) const { return ParameterTextToInt(FarText(index)); }
bool has_features::FarBool(std::size_t index) const { return BoolOfText(FarText(index)); }
std::string has_features::FarItemList(std::size_t index) const {
  return Attached(index) ? slots_[index].far->ItemList() : std::string{};
}

void has_features::Write(std::size_t index, std::string_view text) {
  if (!Attached(index)) return;
  CPlug2* link = slots_[index].plug;
  CPlug2* far = slots_[index].far;
  writing_.push_back(link);
  SetIfDifferent(*far, text);
  if (auto it = std::find(writing_.begin(), writing_.end(), link); it != writing_.end()) writing_.erase(it);
}
void has_features::WriteNumber(std::size_t index, double value) {
  if (std::isfinite(value)) Write(index, FloatText(value));
}
void has_features::WriteInteger(std::size_t index, int value) { Write(index, std::to_string(value)); }
void has_features::WriteBool(std::size_t index, bool value) { Write(index, value ? "1" : "0"); }

// --- plugs ---------------------------------------------------------------------------

CPlug2& has_features::AddFeaturePlug(const FeatureSpec& spec, int featureIndex) {
  auto plug = std::make_unique<CPlugFeature>(kClassCPlugFeature4);
  plug->featureIndex = featureIndex;
  plug->name_ = spec.name;
  plug->dataType_ = spec.dataType;
  plug->direction_ = spec.kind == FeatureKind::Link ? DR_OUT : DR_IN;
  plug->secondText = spec.listText;
  plug->storedFlags = spec.flags;
  plug->SetValueText(spec.defaultText);
  if (!plug->secondText.empty()) plug->SetItemList(plug->secondText);
  return module_.AddPlug(std::move(plug));
}

void has_features::RemovePlug(CPlug2& plug) {
  module_.RemovePlug(plug);
  if (CContainer* parent = module_.Parent()) parent->Notify(NC_PLUG_ADDED, &module_);
}

}  // namespace kr::ui
