#include "dsp/lookup_tables.h"

#include <cmath>
#include <map>
#include <mutex>
#include <utility>

namespace kr::dsp {

ULookup::ULookup(int size) : LookupTable(size), data_(std::make_unique<float[]>(static_cast<std::size_t>(size_))) {}

float ULookup::Interpolate(float x) const {
  if (size_ < 2) return size_ == 1 ? data_[0] : 0.0f;
  if (!(x > 0.0f)) return data_[0];  // negative (or NaN) reads entry 0
  const float scaled = x * 512.0f;
  int index = static_cast<int>(std::min(scaled, static_cast<float>(size_ - 2)));
  if (index > size_ - 2) index = size_ - 2;
  const float fraction = std::min(scaled - static_cast<float>(index), 1.0f);
  const float a = data_[static_cast<std::size_t>(index)];
  return a + (data_[static_cast<std::size_t>(index) + 1] - a) * fraction;
}

ULookup_Integer::ULookup_Integer(int size)
    : LookupTable(size), data_(std::make_unique<std::uint32_t[]>(static_cast<std::size_t>(size_))) {}

Uwavetable::Uwavetable(int size)
    : LookupTable(size), data_(std::make_unique<float[]>(static_cast<std::size_t>(size_))) {}

void Uwavetable::Set(int i, float value) {
  if (i < 0 || i >= size_) return;
  data_[static_cast<std::size_t>(i)] = std::fabs(value) < 1e-20f ? 0.0f : value;
}

namespace {

// Entries hold weak references: a table lives while some module uses it.
struct SharedTables {
  std::mutex lock;
  std::map<std::pair<std::string, int>, std::weak_ptr<LookupTable>, std::less<>> tables;
};

SharedTables& Tables() {
  static SharedTables shared;
  return shared;
}

template <class T>
std::shared_ptr<const T> Obtain(std::string_view name, int key, const std::function<void(T&)>& fill) {
  SharedTables& shared = Tables();
  std::lock_guard guard(shared.lock);
  auto slot = std::make_pair(std::string(name), key);
  if (auto it = shared.tables.find(slot); it != shared.tables.end()) {
    // Same name and key but another kind of table: the caller gets a fresh one.
    if (auto existing = std::dynamic_pointer_cast<const T>(it->second.lock())) return existing;
  }
  auto table = std::make_shared<T>();
  if (fill) fill(*table);
  table->ready = true;
  shared.tables[slot] = table;
  return table;
}

}  // namespace

std::shared_ptr<const ULookup> SharedLookup(std::string_view name, int key,
                                            const std::function<void(ULookup&)>& fill) {
  return Obtain<ULookup>(name, key, fill);
}

std::shared_ptr<const ULookup_Integer> SharedIntegerLookup(std::string_view name, int key,
                                                           const std::function<void(ULookup_Integer&)>& fill) {
  return Obtain<ULookup_Integer>(name, key, fill);
}

int SharedLookupCount() {
  SharedTables& shared = Tables();
  std::lock_guard guard(shared.lock);
  int live = 0;
  for (auto& [slot, table] : shared.tables) live += table.expired() ? 0 : 1;
  return live;
}

}  // namespace kr::dsp
