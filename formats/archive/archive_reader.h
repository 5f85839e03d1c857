// Reads the primitives, texts, counts and objects of a document archive.
// Every read is bounded by the data; any fault throws ArchiveError. The reader
// owns every object it creates until a loader claims it, so a load that fails
// half way leaks nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "formats/archive/archive_error.h"
#include "formats/archive/geometry.h"
#include "formats/archive/runtime_class.h"

namespace kr {

// What a loader collects while objects are read, for its steps after the
// load. The document loader gives its own kind.
class ArchiveLoadContext {
 public:
  virtual ~ArchiveLoadContext() = default;
};

class ArchiveReader {
 public:
  // The classes a stream may name, found by their stored names; without a
  // lookup every class record fails the load.
  using ClassLookup = const RuntimeClass* (*)(std::string_view name);

  explicit ArchiveReader(std::span<const std::uint8_t> data, int version = 0, ClassLookup lookup = nullptr);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  int Version() const { return version_; }
  void SetVersion(int version) { version_ = version; }
  std::size_t Remaining() const { return data_.size() - pos_; }

  std::uint8_t ReadByte();
  std::int16_t ReadInt16();
  std::uint16_t ReadUInt16();
  std::int32_t ReadInt32();
  std::uint32_t ReadUInt32();
  bool ReadBool();
  float ReadFloat();
  double ReadDouble();
  DocRect ReadRect();
  DocPoint ReadPoint();
  std::vector<std::uint8_t> ReadBytes(std::size_t n);
  // An int32 byte count followed by that many bytes.
  std::vector<std::uint8_t> ReadSizedBytes();
  void Skip(std::size_t n);

  std::string ReadText();
  std::uint32_t ReadCount();
  std::vector<std::string> ReadTextList();

  // Reads one object reference; null for the null tag. With an expected
  // class, any other class fails the load.
  CObject* ReadObject(const RuntimeClass* expected = nullptr);
  template <class T>
  T* ReadObjectOf() {
    return static_cast<T*>(ReadObject(&T::kClass));
  }

  // Takes ownership of an object this reader made, when nobody owns it yet
  // and its own load has finished; otherwise null (already owned, a
  // reference back into an object still loading, or not made here).
  std::unique_ptr<CObject> Claim(CObject* ob);
  template <class T>
  std::unique_ptr<T> ClaimAs(T* ob) {
    return std::unique_ptr<T>(static_cast<T*>(Claim(ob).release()));
  }
  void SetContext(ArchiveLoadContext* context) { context_ = context; }
  // Null unless the loader set one.
  ArchiveLoadContext* Context() { return context_; }

  // Hands over the objects nobody claimed (they may still be referred to).
  std::vector<std::unique_ptr<CObject>> ReleaseUnclaimed();

 private:
  const std::uint8_t* Take(std::size_t n);
  std::size_t ReadTextLength(bool& wide);

  struct Slot {
    const RuntimeClass* cls = nullptr;  // class records
    CObject* object = nullptr;          // objects
  };

  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
  int version_ = 0;
  int depth_ = 0;
  std::vector<Slot> table_{Slot{}};  // index 0 is the null reference
  std::vector<std::unique_ptr<CObject>> made_;        // creation order; claimed ones are null
  std::unordered_map<const CObject*, std::size_t> unclaimed_;  // object -> index in made_
  std::unordered_set<const CObject*> loading_;
  ClassLookup lookup_ = nullptr;
  ArchiveLoadContext* context_ = nullptr;
};

}  // namespace kr
