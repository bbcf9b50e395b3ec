#pragma once
// The value types every subsystem is written in.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvendel {

// The program's string: GBK bytes (code page 936) that never hold a NUL byte.
// Lengths, positions and counts are in bytes; position 1 is the first byte and
// a search that finds nothing gives -1. The empty text is the absent text.
// Text that comes from outside (the network, the file system, the window) is
// cut at its first NUL by the operation that brings it in.
using Text = std::string;

// A counted sequence of bytes that may hold NUL bytes: HTTP bodies, file
// contents, UTF-16 buffers. The empty buffer is the absent buffer.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  explicit ByteBuffer(std::string bytes) : bytes_(std::move(bytes)) {}
  ByteBuffer(const void* data, std::size_t size)
      : bytes_(static_cast<const char*>(data), size) {}

  const char* data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  // The bytes as they are, NUL bytes included.
  const std::string& bytes() const { return bytes_; }
  std::string_view view() const { return bytes_; }

  void append(const void* data, std::size_t size) {
    bytes_.append(static_cast<const char*>(data), size);
  }
  void append(const ByteBuffer& more) { bytes_ += more.bytes_; }

  friend bool operator==(const ByteBuffer&, const ByteBuffer&) = default;

 private:
  std::string bytes_;
};

// An ordered list of texts, members numbered 1 to list_count. It owns copies.
using TextList = std::vector<Text>;

}  // namespace orvendel
