// Records: a plain struct paired with a field table, so runtime code can walk its fields by
// number and name (WHO, WHAT), read and assign them as text or number, and CLEAR them.
//
//   struct TablesRecord {
//     CString<100> TABLENAME;
//     int32_t COUNT = 0;
//     static const RecordLayout& Layout();
//   };
//   const RecordLayout& TablesRecord::Layout() {
//     static const RecordLayout layout = MakeLayout<TablesRecord>(
//         "GTQ", Field<&TablesRecord::TABLENAME>("TABLENAME"),
//         Field<&TablesRecord::COUNT>("COUNT"));
//     return layout;
//   }
//
// Field numbers are 1-based, as the runtime counts them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/core/fixed_string.h"

namespace platform {

enum class FieldType : uint8_t {
  kByte,     // uint8_t
  kShort,    // int16_t
  kUShort,   // uint16_t
  kLong,     // int32_t
  kULong,    // uint32_t
  kReal,     // double
  kDecimal,  // Decimal
  kString,   // FixedString<N>
  kCString,  // CString<N>
};

// DECIMAL(size, digits): kept as a double rounded to `digits` places on assignment.
struct Decimal {
  double value = 0;
};

struct FieldInfo {
  std::string_view name;  // as stored: upper case, without the prefix ("TABLENAME")
  FieldType type;
  uint32_t size;         // declared size: bytes of a text, 1/2/4/8 of a number, digits of a DECIMAL
  uint8_t decimals = 0;  // places of a DECIMAL
  void* (*address)(void* record);
};

namespace detail {

template <class T>
struct FieldTraits;
template <>
struct FieldTraits<uint8_t> {
  static constexpr FieldType kType = FieldType::kByte;
  static constexpr uint32_t kSize = 1;
};
template <>
struct FieldTraits<int16_t> {
  static constexpr FieldType kType = FieldType::kShort;
  static constexpr uint32_t kSize = 2;
};
template <>
struct FieldTraits<uint16_t> {
  static constexpr FieldType kType = FieldType::kUShort;
  static constexpr uint32_t kSize = 2;
};
template <>
struct FieldTraits<int32_t> {
  static constexpr FieldType kType = FieldType::kLong;
  static constexpr uint32_t kSize = 4;
};
template <>
struct FieldTraits<uint32_t> {
  static constexpr FieldType kType = FieldType::kULong;
  static constexpr uint32_t kSize = 4;
};
template <>
struct FieldTraits<double> {
  static constexpr FieldType kType = FieldType::kReal;
  static constexpr uint32_t kSize = 8;
};
template <size_t N>
struct FieldTraits<FixedString<N>> {
  static constexpr FieldType kType = FieldType::kString;
  static constexpr uint32_t kSize = N;
};
template <size_t N>
struct FieldTraits<CString<N>> {
  static constexpr FieldType kType = FieldType::kCString;
  static constexpr uint32_t kSize = N;
};

template <class M>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*> {
  using Record = R;
  using Type = T;
};

}  // namespace detail

// The field table entry for the member `kMember`, stored under `name`.
template <auto kMember>
FieldInfo Field(std::string_view name) {
  using M = detail::MemberOf<decltype(kMember)>;
  using T = typename M::Type;
  return FieldInfo{name, detail::FieldTraits<T>::kType, detail::FieldTraits<T>::kSize, 0,
                   [](void* r) -> void* {
                     auto& member = static_cast<typename M::Record*>(r)->*kMember;
                     // Text fields are reached through their common base, whatever their size.
                     if constexpr (std::is_base_of_v<TextBase, T>) {
                       return static_cast<TextBase*>(&member);
                     } else {
                       return &member;
                     }
                   }};
}

// A DECIMAL(size, decimals) field.
template <auto kMember>
FieldInfo DecimalField(std::string_view name, uint32_t size, uint8_t decimals) {
  using M = detail::MemberOf<decltype(kMember)>;
  static_assert(std::is_same_v<typename M::Type, Decimal>);
  return FieldInfo{name, FieldType::kDecimal, size, decimals, [](void* r) -> void* {
                     return &(static_cast<typename M::Record*>(r)->*kMember);
                   }};
}

class RecordLayout {
 public:
  RecordLayout(std::string_view prefix, std::vector<FieldInfo> fields)
      : prefix_(prefix), fields_(std::move(fields)) {}

  std::string_view prefix() const { return prefix_; }
  size_t FieldCount() const { return fields_.size(); }
  // REQUIRES: 1 <= n <= FieldCount().
  const FieldInfo& field(size_t n) const { return fields_[n - 1]; }
  // The number of the field named `name` ("TABLENAME" or "GTQ:TABLENAME", any case); 0 if none.
  size_t Find(std::string_view name) const;
  // The number of the field stored at `member` inside `record`; 0 if none.
  size_t FindAddress(const void* record, const void* member) const;
  // The field's label as the runtime's WHO answers it: "GTQ:TABLENAME".
  std::string Who(size_t n) const;

 private:
  std::string_view prefix_;
  std::vector<FieldInfo> fields_;
};

template <class R, class... F>
RecordLayout MakeLayout(std::string_view prefix, F... fields) {
  return RecordLayout(prefix, std::vector<FieldInfo>{fields...});
}

// Field access by the field table. `record` must be an object of the layout's struct.
std::string GetFieldText(const FieldInfo& f, const void* record);
void SetFieldText(const FieldInfo& f, void* record, std::string_view text);
double GetFieldNumber(const FieldInfo& f, const void* record);
void SetFieldNumber(const FieldInfo& f, void* record, double value);
bool IsTextField(const FieldInfo& f);
// -1, 0, 1: texts by the runtime's comparison, numbers by value.
int CompareField(const FieldInfo& f, const void* a, const void* b);
// CLEAR: texts blank, numbers 0.
void ClearRecord(const RecordLayout& layout, void* record);

}  // namespace platform
