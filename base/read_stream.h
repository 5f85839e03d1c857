// A readable, seekable byte stream: what a module gets when it opens a file,
// whether the bytes come from disk or from a file embedded in the document.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kr {

class ReadStream {
 public:
  virtual ~ReadStream() = default;

  // Copies up to into.size() bytes from the current position and advances;
  // returns how many were copied (0 at the end).
  virtual std::size_t Read(std::span<std::uint8_t> into) = 0;
  // False (position unchanged) when the position lies past the end.
  virtual bool Seek(std::uint64_t position) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual std::uint64_t Size() const = 0;
  // The path the stream was opened under (the resolved name).
  virtual const std::string& Path() const = 0;
};

}  // namespace kr
