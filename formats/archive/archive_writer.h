// Writes a document archive at a chosen document version, in the shortest
// encodings: the exact mirror of ArchiveReader.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/archive/geometry.h"
#include "formats/archive/runtime_class.h"

namespace kr {

class ArchiveWriter {
 public:
  explicit ArchiveWriter(int version);

  int Version() const { return version_; }
  const std::vector<std::uint8_t>& Bytes() const { return out_; }
  std::vector<std::uint8_t> TakeBytes() { return std::move(out_); }

  void WriteByte(std::uint8_t v);
  void WriteInt16(std::int16_t v);
  void WriteUInt16(std::uint16_t v);
  void WriteInt32(std::int32_t v);
  void WriteUInt32(std::uint32_t v);
  void WriteBool(bool v) { WriteByte(v ? 1 : 0); }
  void WriteFloat(float v);
  void WriteDouble(double v);
  void WriteRect(const DocRect& r);
  void WritePoint(const DocPoint& p);
  void WriteBytes(std::span<const std::uint8_t> bytes);
  void WriteSizedBytes(std::span<const std::uint8_t> bytes);  // int32 size, then the bytes

  void WriteText(std::string_view text);
  void WriteCount(std::uint32_t n);
  void WriteTextList(std::span<const std::string> texts);

  // A reference: the null tag, a back reference, or a new object (with its
  // class record the first time the class appears).
  void WriteObject(const CObject* ob);
  // Keeps an object made only for writing (an old-style stand-in) alive
  // until the writer goes, so its address is never reused while written.
  const CObject* KeepAlive(std::unique_ptr<CObject> ob);

 private:
  void WriteTag(std::uint32_t index, bool isClass);
  void WriteLength(std::size_t n);

  int version_;
  std::vector<std::uint8_t> out_;
  std::uint32_t nextIndex_ = 1;
  std::unordered_map<const CObject*, std::uint32_t> objects_;
  std::unordered_map<const RuntimeClass*, std::uint32_t> classes_;
  std::vector<std::unique_ptr<CObject>> keptAlive_;
};

}  // namespace kr
