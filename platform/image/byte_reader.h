// Bounded little-endian reading of a picture's bytes: every read checks what is left, and a
// failed read leaves the reader failed, so a parser tests ok() once after a run of fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform::image::detail {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return ok_ ? bytes_.size() - pos_ : 0; }

  std::uint8_t U8() { return static_cast<std::uint8_t>(Take(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Take(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Take(4)); }
  std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
  std::int32_t S32() { return static_cast<std::int32_t>(U32()); }

  // Moves to `offset` from the start; fails beyond the end.
  void Seek(std::size_t offset) {
    if (offset > bytes_.size()) ok_ = false;
    if (ok_) pos_ = offset;
  }
  void Skip(std::size_t count) {
    if (count > remaining()) ok_ = false;
    if (ok_) pos_ += count;
  }
  // The next `count` bytes, or an empty span (and the reader failed) when fewer are left.
  std::span<const std::uint8_t> Bytes(std::size_t count) {
    if (count > remaining()) ok_ = false;
    if (!ok_) return {};
    std::span<const std::uint8_t> out = bytes_.subspan(pos_, count);
    pos_ += count;
    return out;
  }

 private:
  std::uint64_t Take(std::size_t count) {
    if (count > remaining()) ok_ = false;
    if (!ok_) return 0;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value |= std::uint64_t{bytes_[pos_ + i]} << (8 * i);
    pos_ += count;
    return value;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace platform::image::detail
