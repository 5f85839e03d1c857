#include "modules/take_writer.h"

#include <algorithm>

#include "platform/platform.h"

namespace kr::modules {

std::string FreeTakePath(const std::string& path) {
  if (!platform::FileLastWriteTime(path)) return path;
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExtension ? path.substr(0, dot) : path;
  const std::string extension = hasExtension ? path.substr(dot) : std::string();
  for (int n = 2; n < 100000; ++n) {
    std::string candidate = stem + "-" + std::to_string(n) + extension;
    if (!platform::FileLastWriteTime(candidate)) return candidate;
  }
  return {};
}

bool TakeWriter::Open(const std::string& path, std::size_t ringBytes, HeaderFunction header,
                      std::uint64_t maxDataBytes) {
  Close();
  if (path.empty()) return false;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return false;
  path_ = path;
  header_ = std::move(header);
  ring_.assign(std::max<std::size_t>(ringBytes, 2), 0);
  head_.store(0, std::memory_order_relaxed);
  tail_.store(0, std::memory_order_relaxed);
  accepted_ = written_ = dropped_ = 0;
  maxData_ = maxDataBytes;
  limitReached_ = false;
  writeFailed_.store(false, std::memory_order_relaxed);
  stop_.store(false, std::memory_order_relaxed);
  const std::vector<std::uint8_t> head = header_(0);
  if (std::fwrite(head.data(), 1, head.size(), file_) != head.size() || std::fflush(file_) != 0) {
    std::fclose(file_);
    file_ = nullptr;
    return false;
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

bool TakeWriter::Write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr || bytes.empty()) return file_ != nullptr;
  if (accepted_ + bytes.size() > maxData_) {
    limitReached_ = true;
    dropped_ += bytes.size();
    return false;
  }
  const std::size_t size = ring_.size();
  const std::size_t head = head_.load(std::memory_order_relaxed);
  const std::size_t tail = tail_.load(std::memory_order_acquire);
  const std::size_t used = (head + size - tail) % size;
  if (bytes.size() > size - 1 - used) {
    dropped_ += bytes.size();
    return false;
  }
  const std::size_t first = std::min(bytes.size(), size - head);
  std::copy_n(bytes.begin(), first, ring_.begin() + static_cast<std::ptrdiff_t>(head));
  std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(first), bytes.end(), ring_.begin());
  head_.store((head + bytes.size()) % size, std::memory_order_release);
  accepted_ += bytes.size();
  return true;
}

bool TakeWriter::Drain() {
  const std::size_t size = ring_.size();
  const std::size_t tail = tail_.load(std::memory_order_relaxed);
  const std::size_t head = head_.load(std::memory_order_acquire);
  if (head == tail) return false;
  const std::size_t first = head > tail ? head - tail : size - tail;
  bool ok = std::fwrite(ring_.data() + tail, 1, first, file_) == first;
  std::size_t moved = first;
  if (head < tail && head > 0) {
    ok = ok && std::fwrite(ring_.data(), 1, head, file_) == head;
    moved += head;
  }
  tail_.store((tail + moved) % size, std::memory_order_release);
  written_ += moved;
  if (!ok) writeFailed_.store(true, std::memory_order_release);
  return true;
}

void TakeWriter::RewriteHeader() {
  const std::vector<std::uint8_t> head = header_(written_);
  const bool ok = std::fseek(file_, 0, SEEK_SET) == 0 &&
                  std::fwrite(head.data(), 1, head.size(), file_) == head.size() &&
                  std::fseek(file_, 0, SEEK_END) == 0 && std::fflush(file_) == 0;
  if (!ok) writeFailed_.store(true, std::memory_order_release);
}

void TakeWriter::Run() {
  while (!stop_.load(std::memory_order_acquire)) {
    if (Drain()) {
      RewriteHeader();
    } else {
      platform::SleepMs(5);
    }
  }
}

void TakeWriter::Close(std::span<const std::uint8_t> trailer) {
  if (file_ == nullptr) return;
  stop_.store(true, std::memory_order_release);
  if (thread_.joinable()) thread_.join();
  while (Drain()) {
  }
  if (!trailer.empty() && written_ + trailer.size() <= maxData_ + trailer.size()) {
    if (std::fwrite(trailer.data(), 1, trailer.size(), file_) != trailer.size())
      writeFailed_.store(true, std::memory_order_release);
    written_ += trailer.size();
  }
  RewriteHeader();
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace kr::modules
