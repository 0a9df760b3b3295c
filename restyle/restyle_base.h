// ZOVRestyleBaseClass: what the style manager shares with the restyle engine: the restyle
// user name and the three restyle files, bound once by the main program at start-up.
//
// These bodies stand in until the restyle data store is built: they keep what they are
// given and report each call to the call trace.
#pragma once

#include <string_view>

#include "platform/core/fixed_string.h"

namespace restyle {

// The restyle files as the binds name them, by label (ZOVCONDITIONSETFILE, ...).
// TODO(restyle data store): the files themselves, their keys and the record fields bound.
struct RestyleFileRef {
  std::string_view label;
};

class ZOVRestyleBaseClass {
 public:
  ZOVRestyleBaseClass() = default;
  virtual ~ZOVRestyleBaseClass() = default;
  ZOVRestyleBaseClass(const ZOVRestyleBaseClass&) = delete;
  ZOVRestyleBaseClass& operator=(const ZOVRestyleBaseClass&) = delete;

  // The user name of every restyle record, read through the reference (borrowed; it must
  // outlive this object).
  void BindUserName(platform::FixedString<255>& user_name);
  void BindConditionSetFile(const RestyleFileRef& file);
  void BindConditionFile(const RestyleFileRef& file);
  void BindRestyleFile(const RestyleFileRef& file);

  // The bound user name; null before BindUserName.
  const platform::FixedString<255>* user_name() const { return user_name_; }

 private:
  platform::FixedString<255>* user_name_ = nullptr;
};

}  // namespace restyle
