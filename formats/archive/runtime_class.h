// Run-time class records: the name and schema a document stores for each
// class, the base class for kind checks, and the factory that makes an empty
// instance for loading.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace kr {

class CObject;
class ArchiveReader;
class ArchiveWriter;

struct RuntimeClass {
  const char* name;
  std::uint16_t schema;
  bool anySchema;  // the reader accepts any stored schema number
  const RuntimeClass* base;
  std::unique_ptr<CObject> (*create)();

  bool IsDerivedFrom(const RuntimeClass& other) const;
};

// Base of everything the archive can hold.
class CObject {
 public:
  virtual ~CObject() = default;
  virtual const RuntimeClass& Class() const = 0;
  // Reads this object's fields; the archive's version says which are present.
  virtual void Load(ArchiveReader& ar) = 0;
  // Writes the same fields at the writer's version.
  virtual void Store(ArchiveWriter& ar) const = 0;

  bool IsKindOf(const RuntimeClass& cls) const { return Class().IsDerivedFrom(cls); }
};

template <class T>
T* DynamicKind(CObject* ob) {
  return ob && ob->IsKindOf(T::kClass) ? static_cast<T*>(ob) : nullptr;
}
template <class T>
const T* DynamicKind(const CObject* ob) {
  return ob && ob->IsKindOf(T::kClass) ? static_cast<const T*>(ob) : nullptr;
}

// Makes an empty instance of the generic class that stands for a record.
template <class T, const RuntimeClass* R>
std::unique_ptr<CObject> MakeGeneric() {
  return std::make_unique<T>(*R);
}
template <class T>
std::unique_ptr<CObject> MakePlain() {
  return std::make_unique<T>();
}

}  // namespace kr
