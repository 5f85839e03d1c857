#include "formats/archive/archive_writer.h"

#include <bit>
#include <cstring>

#include "base/text_codec.h"
#include "formats/archive/archive_tags.h"

namespace kr {

using namespace archive_tags;

ArchiveWriter::ArchiveWriter(int version) : version_(version) {}

void ArchiveWriter::WriteByte(std::uint8_t v) { out_.push_back(v); }

void ArchiveWriter::WriteInt16(std::int16_t v) { WriteUInt16(static_cast<std::uint16_t>(v)); }

void ArchiveWriter::WriteUInt16(std::uint16_t v) {
  out_.push_back(static_cast<std::uint8_t>(v));
  out_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ArchiveWriter::WriteInt32(std::int32_t v) { WriteUInt32(static_cast<std::uint32_t>(v)); }

void ArchiveWriter::WriteUInt32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void ArchiveWriter::WriteFloat(float v) { WriteUInt32(std::bit_cast<std::uint32_t>(v)); }

void ArchiveWriter::WriteDouble(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  for (int i = 0; i < 8; ++i) out_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void ArchiveWriter::WriteRect(const DocRect& r) {
  WriteInt32(r.left);
  WriteInt32(r.top);
  WriteInt32(r.right);
  WriteInt32(r.bottom);
}

void ArchiveWriter::WritePoint(const DocPoint& p) {
  WriteInt32(p.x);
  WriteInt32(p.y);
}

void ArchiveWriter::WriteBytes(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

void ArchiveWriter::WriteSizedBytes(std::span<const std::uint8_t> bytes) {
  WriteInt32(static_cast<std::int32_t>(bytes.size()));
  WriteBytes(bytes);
}

void ArchiveWriter::WriteLength(std::size_t n) {
  if (n < 0xFF) {
    WriteByte(static_cast<std::uint8_t>(n));
  } else if (n <= 0xFFFD) {
    WriteByte(0xFF);
    WriteUInt16(static_cast<std::uint16_t>(n));
  } else {
    WriteByte(0xFF);
    WriteUInt16(0xFFFF);
    WriteUInt32(static_cast<std::uint32_t>(n));
  }
}

void ArchiveWriter::WriteText(std::string_view text) {
  if (IsAscii(text)) {
    WriteLength(text.size());
    WriteBytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    return;
  }
  // Wide marker, then the length prefix again, counting UTF-16 units.
  const std::u16string wide = Utf8ToUtf16(text);
  WriteByte(0xFF);
  WriteUInt16(0xFFFE);
  WriteLength(wide.size());
  for (char16_t u : wide) WriteUInt16(static_cast<std::uint16_t>(u));
}

void ArchiveWriter::WriteCount(std::uint32_t n) {
  if (n < 0xFFFF) {
    WriteUInt16(static_cast<std::uint16_t>(n));
  } else {
    WriteUInt16(0xFFFF);
    WriteUInt32(n);
  }
}

void ArchiveWriter::WriteTextList(std::span<const std::string> texts) {
  WriteCount(static_cast<std::uint32_t>(texts.size()));
  for (const auto& t : texts) WriteText(t);
}

void ArchiveWriter::WriteTag(std::uint32_t index, bool isClass) {
  if (index < kBigObjectTag) {
    WriteUInt16(static_cast<std::uint16_t>(isClass ? (kClassTag | index) : index));
  } else {
    WriteUInt16(kBigObjectTag);
    WriteUInt32(isClass ? (kBigClassTag | index) : index);
  }
}

void ArchiveWriter::WriteObject(const CObject* ob) {
  if (!ob) {
    WriteUInt16(0);
    return;
  }
  if (auto it = objects_.find(ob); it != objects_.end()) {
    WriteTag(it->second, false);
    return;
  }
  const RuntimeClass& cls = ob->Class();
  if (auto it = classes_.find(&cls); it != classes_.end()) {
    WriteTag(it->second, true);
  } else {
    WriteUInt16(kNewClassTag);
    WriteUInt16(cls.schema);
    const auto nameLength = static_cast<std::uint16_t>(std::strlen(cls.name));
    WriteUInt16(nameLength);
    WriteBytes({reinterpret_cast<const std::uint8_t*>(cls.name), nameLength});
    classes_[&cls] = nextIndex_++;
  }
  objects_[ob] = nextIndex_++;
  ob->Store(*this);
}

const CObject* ArchiveWriter::KeepAlive(std::unique_ptr<CObject> ob) {
  keptAlive_.push_back(std::move(ob));
  return keptAlive_.back().get();
}

}  // namespace kr
