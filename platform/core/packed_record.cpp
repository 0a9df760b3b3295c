#include "platform/core/packed_record.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "platform/core/fixed_string.h"
#include "platform/core/number.h"

namespace platform {
namespace {

// IsTextField, inlined: packing asks it of every field of every entry.
inline bool IsText(const FieldInfo& f) {
  return f.type == FieldType::kString || f.type == FieldType::kCString;
}

void* Addr(const FieldInfo& f, const void* record) { return f.address(const_cast<void*>(record)); }

std::string_view TextOf(const FieldInfo& f, const void* record) {
  return static_cast<const TextBase*>(Addr(f, record))->view();
}

// The bytes a number field takes: its native width.
size_t NumberWidth(FieldType type) {
  switch (type) {
    case FieldType::kByte:
      return 1;
    case FieldType::kShort:
    case FieldType::kUShort:
      return 2;
    case FieldType::kLong:
    case FieldType::kULong:
      return 4;
    case FieldType::kReal:
    case FieldType::kDecimal:
      return 8;
    case FieldType::kString:
    case FieldType::kCString:
      break;
  }
  assert(false && "not a number field");
  return 0;
}

// The value's own bytes: a Decimal is packed as its double.
const void* NumberBytes(const FieldInfo& f, const void* record) {
  void* p = Addr(f, record);
  return f.type == FieldType::kDecimal ? &static_cast<Decimal*>(p)->value : p;
}
void* NumberBytes(const FieldInfo& f, void* record) {
  void* p = Addr(f, record);
  return f.type == FieldType::kDecimal ? &static_cast<Decimal*>(p)->value : p;
}

template <class T>
double Read(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<double>(v);
}

double ReadNumber(FieldType type, const uint8_t* p) {
  switch (type) {
    case FieldType::kByte:
      return Read<uint8_t>(p);
    case FieldType::kShort:
      return Read<int16_t>(p);
    case FieldType::kUShort:
      return Read<uint16_t>(p);
    case FieldType::kLong:
      return Read<int32_t>(p);
    case FieldType::kULong:
      return Read<uint32_t>(p);
    case FieldType::kReal:
    case FieldType::kDecimal:
      return Read<double>(p);
    case FieldType::kString:
    case FieldType::kCString:
      break;
  }
  return 0;
}

// Lengths are written 7 bits a byte, low bits first; the high bit says another byte follows.
constexpr size_t kMaxLengthBytes = (sizeof(size_t) * 8 + 6) / 7;

uint8_t* PutLength(uint8_t* p, size_t length) {
  while (length >= 0x80) {
    *p++ = static_cast<uint8_t>(length | 0x80);
    length >>= 7;
  }
  *p++ = static_cast<uint8_t>(length);
  return p;
}

const uint8_t* GetLength(const uint8_t* p, size_t& length) {
  length = 0;
  for (unsigned shift = 0;; shift += 7) {
    const uint8_t b = *p++;
    length |= static_cast<size_t>(b & 0x7F) << shift;
    if ((b & 0x80) == 0) return p;
  }
}

// The text that starts at `p`.
std::string_view TextAt(const uint8_t* p) {
  size_t length = 0;
  p = GetLength(p, length);
  return std::string_view(reinterpret_cast<const char*>(p), length);
}

}  // namespace

PackedRecord PackedRecord::Pack(const RecordLayout& layout, const void* record) {
  // A queue packs its buffer at every ADD and PUT, so each field is looked up once: the
  // fields are written in one pass into the thread's scratch space, then copied into one
  // allocation of the exact size.
  thread_local std::unique_ptr<uint8_t[]> scratch;
  thread_local size_t scratch_size = 0;
  size_t used = 0;
  // Makes room for `more` bytes behind the ones written.
  auto reserve = [&](size_t more) {
    if (used + more <= scratch_size) return;
    const size_t size = std::max(2 * scratch_size, used + more + 256);
    auto grown = std::make_unique_for_overwrite<uint8_t[]>(size);
    if (used > 0) std::memcpy(grown.get(), scratch.get(), used);
    scratch = std::move(grown);
    scratch_size = size;
  };
  for (size_t n = 1; n <= layout.FieldCount(); ++n) {
    const FieldInfo& f = layout.field(n);
    if (IsText(f)) {
      const std::string_view text = TextOf(f, record);
      reserve(kMaxLengthBytes + text.size());
      uint8_t* p = PutLength(scratch.get() + used, text.size());
      if (!text.empty()) std::memcpy(p, text.data(), text.size());
      used = static_cast<size_t>(p - scratch.get()) + text.size();
    } else {
      const size_t width = NumberWidth(f.type);
      reserve(width);
      std::memcpy(scratch.get() + used, NumberBytes(f, record), width);
      used += width;
    }
  }
  auto bytes = std::make_unique_for_overwrite<uint8_t[]>(used == 0 ? 1 : used);
  if (used > 0) std::memcpy(bytes.get(), scratch.get(), used);
  return PackedRecord(std::move(bytes));
}

void PackedRecord::Unpack(const RecordLayout& layout, void* record) const {
  const uint8_t* p = bytes_.get();
  for (size_t n = 1; n <= layout.FieldCount(); ++n) {
    const FieldInfo& f = layout.field(n);
    if (IsText(f)) {
      const std::string_view text = TextAt(p);
      // Assigned as stored: the text was cut to the field's size when it was set.
      static_cast<TextBase*>(Addr(f, record))->storage().assign(text.data(), text.size());
      p = reinterpret_cast<const uint8_t*>(text.data()) + text.size();
    } else {
      const size_t width = NumberWidth(f.type);
      std::memcpy(NumberBytes(f, record), p, width);
      p += width;
    }
  }
}

const uint8_t* PackedRecord::FieldAt(const RecordLayout& layout, size_t n) const {
  assert(n >= 1 && n <= layout.FieldCount());
  const uint8_t* p = bytes_.get();
  for (size_t i = 1; i < n; ++i) {
    const FieldInfo& f = layout.field(i);
    if (IsText(f)) {
      size_t length = 0;
      p = GetLength(p, length) + length;
    } else {
      p += NumberWidth(f.type);
    }
  }
  return p;
}

std::string PackedRecord::Text(const RecordLayout& layout, size_t n) const {
  const FieldInfo& f = layout.field(n);
  const uint8_t* p = FieldAt(layout, n);
  if (IsText(f)) return std::string(TextAt(p));
  return NumberToText(ReadNumber(f.type, p));
}

double PackedRecord::Number(const RecordLayout& layout, size_t n) const {
  const FieldInfo& f = layout.field(n);
  const uint8_t* p = FieldAt(layout, n);
  if (IsText(f)) return TextToNumber(TextAt(p));
  return ReadNumber(f.type, p);
}

int PackedRecord::CompareField(const RecordLayout& layout, size_t n, const PackedRecord& a,
                               const PackedRecord& b) {
  const FieldInfo& f = layout.field(n);
  const uint8_t* pa = a.FieldAt(layout, n);
  const uint8_t* pb = b.FieldAt(layout, n);
  if (IsText(f)) return CompareText(TextAt(pa), TextAt(pb));
  const double x = ReadNumber(f.type, pa), y = ReadNumber(f.type, pb);
  return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace platform
