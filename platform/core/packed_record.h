// Packed records: the fields of a record in one compact allocation, as a queue keeps its
// entries. A text field takes its length (one byte up to 127 bytes, more for longer texts)
// and its bytes; a number takes its native width. An empty STRING(255) thus costs one byte
// instead of a whole text object. Only the fields of the field table are kept.
//
//   PackedRecord p = PackedRecord::Pack(Row::Layout(), &row);
//   std::string name = p.Text(Row::Layout(), 1);
//   p.Unpack(Row::Layout(), &other_row);
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/record.h"

namespace platform {

class PackedRecord {
 public:
  // Holds no record; only assignment and destruction may be used on it.
  PackedRecord() = default;
  PackedRecord(PackedRecord&&) noexcept = default;
  PackedRecord& operator=(PackedRecord&&) noexcept = default;
  PackedRecord(const PackedRecord&) = delete;
  PackedRecord& operator=(const PackedRecord&) = delete;

  // The fields of `record`, an object of the layout's struct.
  static PackedRecord Pack(const RecordLayout& layout, const void* record);

  // The rest REQUIRES: packed from a record of `layout`, and 1 <= n <= FieldCount().

  // Assigns every field of `record` (an object of the layout's struct) from this one.
  void Unpack(const RecordLayout& layout, void* record) const;
  // Field n as GetFieldText and GetFieldNumber answer it on the record it was packed from.
  std::string Text(const RecordLayout& layout, size_t n) const;
  double Number(const RecordLayout& layout, size_t n) const;
  // Field n of `a` against `b`: -1, 0, 1, in the order CompareField gives the records.
  static int CompareField(const RecordLayout& layout, size_t n, const PackedRecord& a,
                          const PackedRecord& b);

 private:
  explicit PackedRecord(std::unique_ptr<uint8_t[]> bytes) : bytes_(std::move(bytes)) {}

  // Where field n starts.
  const uint8_t* FieldAt(const RecordLayout& layout, size_t n) const;

  std::unique_ptr<uint8_t[]> bytes_;
};

}  // namespace platform
