// A recording written off the audio thread: the audio thread appends bytes
// to a ring allocated at Open; a writer thread moves them to the file and
// rewrites the file's header after every write, so the file on disk is a
// valid, playable take whenever the plug-in stops, however it stops.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace kr::modules {

// The path itself when no file has it, else the first free "name-2.ext",
// "name-3.ext", ...: a restart never replaces an earlier take.
std::string FreeTakePath(const std::string& path);

class TakeWriter {
 public:
  // The header for the given number of data bytes (always the same length).
  using HeaderFunction = std::function<std::vector<std::uint8_t>(std::uint64_t dataBytes)>;

  TakeWriter() = default;
  TakeWriter(const TakeWriter&) = delete;
  TakeWriter& operator=(const TakeWriter&) = delete;
  ~TakeWriter() { Close(); }

  // GUI thread: creates the file with its header and starts the writer.
  // False when the file cannot be created.
  bool Open(const std::string& path, std::size_t ringBytes, HeaderFunction header, std::uint64_t maxDataBytes);
  // GUI thread: writes what is left, then the trailer (counted as data),
  // the final header, and closes the file.
  void Close(std::span<const std::uint8_t> trailer = {});
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }

  // Audio thread, never blocking. False when the bytes were refused: the
  // take reached its size limit or the ring was full (the writer fell behind).
  bool Write(std::span<const std::uint8_t> bytes);
  bool LimitReached() const { return limitReached_; }
  std::uint64_t DroppedBytes() const { return dropped_; }
  // Set by the writer when the file could not be written.
  bool WriteFailed() const { return writeFailed_.load(std::memory_order_acquire); }

 private:
  void Run();
  // Writer side: moves what the ring holds to the file; true when it wrote.
  bool Drain();
  void RewriteHeader();

  std::FILE* file_ = nullptr;
  std::string path_;
  HeaderFunction header_;
  std::vector<std::uint8_t> ring_;
  std::atomic<std::size_t> head_{0};  // written by the audio thread
  std::atomic<std::size_t> tail_{0};  // written by the writer
  std::uint64_t accepted_ = 0;        // audio thread
  std::uint64_t maxData_ = 0;
  std::uint64_t written_ = 0;         // writer
  std::uint64_t dropped_ = 0;         // audio thread
  bool limitReached_ = false;         // audio thread
  std::atomic<bool> stop_{false};
  std::atomic<bool> writeFailed_{false};
  std::thread thread_;
};

}  // namespace kr::modules
