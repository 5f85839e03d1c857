// The one failure of the document archive: anything that makes a stream
// unreadable (bad tag, unknown class, schema or class mismatch, read past the
// end, an impossible length). Thrown by the reader and caught at the top of a
// load, which then discards every object read so far.
#pragma once

#include <stdexcept>
#include <string>

namespace kr {

class ArchiveError : public std::runtime_error {
 public:
  explicit ArchiveError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace kr
