// Byte streams over the message rings. A message is: target handle (4 bytes),
// id (4 bytes), then a body the receiver knows how to read. Integers are
// little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kr {

class lock_free_fifo;

class my_output_stream {
 public:
  virtual ~my_output_stream() = default;
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;

  my_output_stream& operator<<(std::int32_t v);
  my_output_stream& operator<<(float v);
  my_output_stream& operator<<(std::uint8_t v);
  my_output_stream& operator<<(bool v) { return *this << static_cast<std::uint8_t>(v ? 1 : 0); }
};

class my_input_stream {
 public:
  virtual ~my_input_stream() = default;
  virtual void Read(std::span<std::uint8_t> bytes) = 0;

  my_input_stream& operator>>(std::int32_t& v);
  my_input_stream& operator>>(float& v);
  my_input_stream& operator>>(std::uint8_t& v);
  my_input_stream& operator>>(bool& v);
  std::int32_t ReadInt() {
    std::int32_t v = 0;
    *this >> v;
    return v;
  }
};

class my_msg_que_output_stream final : public my_output_stream {
 public:
  explicit my_msg_que_output_stream(lock_free_fifo& queue) : queue_(queue) {}
  // Starts a message: writes the handle and the id.
  my_msg_que_output_stream(lock_free_fifo& queue, std::int32_t handle, std::int32_t id);

  void Write(std::span<const std::uint8_t> bytes) override;
  // Ends the message: the queue's message-complete.
  void Send();

 private:
  lock_free_fifo& queue_;
};

class my_msg_que_input_stream final : public my_input_stream {
 public:
  explicit my_msg_que_input_stream(lock_free_fifo& queue) : queue_(queue) {}
  void Read(std::span<std::uint8_t> bytes) override;

 private:
  lock_free_fifo& queue_;
};

}  // namespace kr
