#include "platform/core/record.h"

#include <cassert>
#include <cmath>
#include <limits>

#include "platform/core/number.h"

namespace platform {
namespace {

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

void* Addr(const FieldInfo& f, const void* record) { return f.address(const_cast<void*>(record)); }

struct TextAccess {
  static std::string& Value(void* p) { return static_cast<TextBase*>(p)->storage(); }
};

template <class T>
T ClampTo(double v) {
  v = std::trunc(v);
  // Integers wrap as the runtime's assignment does; out-of-range doubles are clamped to
  // int64_t first, so the conversion itself is defined. `hi` is 2^63, one past its largest.
  const double lo = static_cast<double>(std::numeric_limits<int64_t>::min());
  const double hi = -lo;
  if (!(v >= lo)) return static_cast<T>(std::numeric_limits<int64_t>::min());  // NaN too
  if (v >= hi) return static_cast<T>(std::numeric_limits<int64_t>::max());
  return static_cast<T>(static_cast<int64_t>(v));
}

}  // namespace

size_t RecordLayout::Find(std::string_view name) const {
  const size_t colon = name.find(':');
  if (colon != std::string_view::npos) name = name.substr(colon + 1);
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (EqualsIgnoreCase(fields_[i].name, name)) return i + 1;
  }
  return 0;
}

size_t RecordLayout::FindAddress(const void* record, const void* member) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (Addr(fields_[i], record) == member) return i + 1;
  }
  return 0;
}

std::string RecordLayout::Who(size_t n) const {
  if (n == 0 || n > fields_.size()) return {};
  std::string out(prefix_);
  if (!out.empty()) out += ':';
  out += fields_[n - 1].name;
  return out;
}

bool IsTextField(const FieldInfo& f) {
  return f.type == FieldType::kString || f.type == FieldType::kCString;
}

std::string GetFieldText(const FieldInfo& f, const void* record) {
  if (IsTextField(f)) return TextAccess::Value(Addr(f, record));
  return NumberToText(GetFieldNumber(f, record));
}

void SetFieldText(const FieldInfo& f, void* record, std::string_view text) {
  if (!IsTextField(f)) {
    SetFieldNumber(f, record, TextToNumber(text));
    return;
  }
  const size_t capacity = f.type == FieldType::kCString ? f.size - 1 : f.size;
  text = CutUtf8(text, capacity);
  if (f.type == FieldType::kString) text = ClipView(text);
  TextAccess::Value(Addr(f, record)).assign(text.data(), text.size());
}

double GetFieldNumber(const FieldInfo& f, const void* record) {
  void* p = Addr(f, record);
  switch (f.type) {
    case FieldType::kByte:
      return *static_cast<uint8_t*>(p);
    case FieldType::kShort:
      return *static_cast<int16_t*>(p);
    case FieldType::kUShort:
      return *static_cast<uint16_t*>(p);
    case FieldType::kLong:
      return *static_cast<int32_t*>(p);
    case FieldType::kULong:
      return *static_cast<uint32_t*>(p);
    case FieldType::kReal:
      return *static_cast<double*>(p);
    case FieldType::kDecimal:
      return static_cast<Decimal*>(p)->value;
    case FieldType::kString:
    case FieldType::kCString:
      return TextToNumber(TextAccess::Value(p));
  }
  return 0;
}

void SetFieldNumber(const FieldInfo& f, void* record, double value) {
  void* p = Addr(f, record);
  switch (f.type) {
    case FieldType::kByte:
      *static_cast<uint8_t*>(p) = ClampTo<uint8_t>(value);
      return;
    case FieldType::kShort:
      *static_cast<int16_t*>(p) = ClampTo<int16_t>(value);
      return;
    case FieldType::kUShort:
      *static_cast<uint16_t*>(p) = ClampTo<uint16_t>(value);
      return;
    case FieldType::kLong:
      *static_cast<int32_t*>(p) = ClampTo<int32_t>(value);
      return;
    case FieldType::kULong:
      *static_cast<uint32_t*>(p) = ClampTo<uint32_t>(value);
      return;
    case FieldType::kReal:
      *static_cast<double*>(p) = value;
      return;
    case FieldType::kDecimal: {
      const double scale = std::pow(10.0, f.decimals);
      static_cast<Decimal*>(p)->value = std::round(value * scale) / scale;
      return;
    }
    case FieldType::kString:
    case FieldType::kCString:
      SetFieldText(f, record, NumberToText(value));
      return;
  }
}

int CompareField(const FieldInfo& f, const void* a, const void* b) {
  if (IsTextField(f)) {
    return CompareText(TextAccess::Value(Addr(f, a)), TextAccess::Value(Addr(f, b)));
  }
  const double x = GetFieldNumber(f, a), y = GetFieldNumber(f, b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

void ClearRecord(const RecordLayout& layout, void* record) {
  for (size_t n = 1; n <= layout.FieldCount(); ++n) {
    const FieldInfo& f = layout.field(n);
    if (IsTextField(f)) {
      TextAccess::Value(Addr(f, record)).clear();
    } else {
      SetFieldNumber(f, record, 0);
    }
  }
}

}  // namespace platform
