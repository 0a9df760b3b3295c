// For the tests of records: the field table must list the struct's members one for one, in
// declaration order, with the declared type and size.
//
//   CheckLayout<AgentSettingRecord>("AGS", {{"SETTING", FieldType::kCString, 81}, ...});
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/record.h"

namespace platform::testing {

struct ExpectedField {
  std::string_view name;
  FieldType type;
  uint32_t size;
};

// Converts to any member type, so an aggregate's member count can be found by brace
// initialisation with 1, 2, ... of these.
struct AnyMember {
  template <class T>
  operator T() const;  // NOLINT: declared only, used in unevaluated contexts
};

template <class R, size_t... I>
constexpr bool BraceInitializableWith(std::index_sequence<I...>) {
  return requires { R{(static_cast<void>(I), AnyMember{})...}; };
}

template <class R, size_t N = 0>
constexpr size_t MemberCount() {
  if constexpr (BraceInitializableWith<R>(std::make_index_sequence<N + 1>{})) {
    return MemberCount<R, N + 1>();
  } else {
    return N;
  }
}

// The field table must list the struct's members one for one, in declaration order, with the
// declared type and size.
template <class R>
void CheckLayout(std::string_view prefix, const std::vector<ExpectedField>& expected) {
  const platform::RecordLayout& layout = R::Layout();
  EXPECT_EQ(layout.prefix(), prefix);
  ASSERT_EQ(layout.FieldCount(), expected.size());
  EXPECT_EQ(MemberCount<R>(), expected.size()) << "struct and field table differ in count";
  R record;
  const char* base = reinterpret_cast<const char*>(&record);
  const char* previous = nullptr;
  for (size_t n = 1; n <= expected.size(); ++n) {
    const ExpectedField& e = expected[n - 1];
    SCOPED_TRACE(e.name);
    const platform::FieldInfo& f = layout.field(n);
    EXPECT_EQ(f.name, e.name);
    EXPECT_EQ(f.type, e.type);
    EXPECT_EQ(f.size, e.size);
    EXPECT_EQ(layout.Who(n), std::string(prefix) + ":" + std::string(e.name));
    const char* at = static_cast<const char*>(f.address(&record));
    EXPECT_GE(at, base);
    EXPECT_LT(at, base + sizeof(R));
    if (previous != nullptr) {
      EXPECT_GT(at, previous) << "fields out of declaration order";
    }
    previous = at;
  }
}

}  // namespace platform::testing
