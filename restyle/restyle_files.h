// The four restyle files: the property catalogue per control type, the condition sets, their
// conditions, and the restyle records (property values and settings). Each is a keyed file in
// the current directory, named without an extension, created when it is missing. The field
// names and keys are a stored format: a file of another layout opens with error 47.
//
//   RestyleFiles files;                       // records cleared, files closed
//   files.ZOVRESTYLEFILE.Open(kReadWrite | kDenyNone);
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/file.h"

namespace restyle {

using platform::FixedString;

// ZOVPROPERTIESFILE: which properties exist for each control type.
struct ZOVPropertiesRecord {
  int32_t CONTROLTYPEEQUATE = 0;  // the runtime's control type; -1 the message boxes
  FixedString<64> PROPERTY;
  int32_t PROPERTYEQUATE = 0;  // a runtime or a custom (negative) property number
  FixedString<255> PROPERTYDESCRIPTION;
  uint8_t HIDEFROMENDUSER = 0;
  static const platform::RecordLayout& Layout();
};

// ZOVCONDITIONSETFILE: condition sets, and the marker records of profiles.
struct ZOVConditionSetRecord {
  FixedString<80> USERNAME;  // upper case
  FixedString<80> PROFILE;
  FixedString<80> PROCEDURENAME;  // or "~Global settings"
  FixedString<128> GROUPNAME;
  FixedString<64> CONDITIONALSET;  // "-Unconditional-" always applies
  int32_t CONDITIONALSETID = 0;
  static const platform::RecordLayout& Layout();
};

// ZOVCONDITIONFILE: the conditions of a set, in evaluation order.
struct ZOVConditionRecord {
  int32_t CONDITIONALSETID = 0;
  int32_t CONDITIONALID = 0;
  FixedString<64> CONTROL;
  int32_t PROPERTYEQUATE = 0;  // 0: a connector row ("AND", "OR")
  FixedString<10> OPERATOR;
  FixedString<255> VALUE;
  uint8_t MANUALVALUE = 0;  // 1: VALUE is an expression
  static const platform::RecordLayout& Layout();
};

// ZOVRESTYLEFILE: one stored field of a group, a queue record or a setting.
struct ZOVRestyleRecord {
  int32_t CONDITIONALSETID = 0;  // or a fixed negative number for a setting of no set
  FixedString<64> PROPERTY;
  FixedString<64> PARAMETER;  // the stored field's name
  FixedString<512> VALUE;     // the field's value as text, byte for byte
  static const platform::RecordLayout& Layout();
};

// Key numbers, as the files declare them.
inline constexpr size_t kPropertiesPrimaryKey = 0;    // P_KEY_ZOVPF
inline constexpr size_t kConditionSetPrimaryKey = 0;  // P_KEY_ZOVCS: set number, descending
inline constexpr size_t kConditionSetSortKey = 1;     // S_KEY_ZOVCS: by name, NOCASE
inline constexpr size_t kConditionPrimaryKey = 0;     // P_KEY_ZOVCD
inline constexpr size_t kRestylePrimaryKey = 0;       // P_KEY_ZOVRF

using DriverFactory = std::function<std::unique_ptr<platform::files::Driver>()>;

// The main module's four restyle files and their record buffers, shared by the style manager
// and every restyle object. The records start cleared; the files are closed.
struct RestyleFiles {
  // `make_driver` makes each file's driver; by default the keyed driver.
  explicit RestyleFiles(const DriverFactory& make_driver = {});
  RestyleFiles(const RestyleFiles&) = delete;
  RestyleFiles& operator=(const RestyleFiles&) = delete;

  ZOVPropertiesRecord ZOVPF;
  ZOVConditionSetRecord ZOVCS;
  ZOVConditionRecord ZOVCD;
  ZOVRestyleRecord ZOVRF;
  platform::files::File ZOVPROPERTIESFILE;
  platform::files::File ZOVCONDITIONSETFILE;
  platform::files::File ZOVCONDITIONFILE;
  platform::files::File ZOVRESTYLEFILE;
};

}  // namespace restyle
