// For tests: restyle files seeded as the configuration windows leave them, written through
// the store into the restyle files of the current directory before the program opens them:
//
//   WriteRestyleFiles([](RestyleFileBuilder& b) {
//     b.ListProperty(10, "COLOR", 0x7CFA);
//     const int32_t set = b.Set("ChooseODBCconnection", "Control ?USERNAME:PROMPT", "A");
//     b.Condition(set, 0x7C00, "=", "Username:");
//     b.Value(set, 0x7CFA, "255");
//   });
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/core/fixed_string.h"
#include "platform/files/file.h"
#include "platform/testing/scripted_display.h"
#include "restyle/restyle_base.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"
#include "restyle/stored_shapes.h"

namespace restyle::testing {

// The user and profile the program styles for when nothing else is chosen.
inline constexpr std::string_view kDefaultUser = "DEFAULT";

class RestyleFileBuilder {
 public:
  RestyleFileBuilder(RestyleFiles& files, ZOVRestyleBaseClass& store)
      : files_(files), store_(store) {}

  // A row of the properties file: `name` ("COLOR", "FONT", "FONTNAME") is listed for `type`.
  void ListProperty(int32_t type, std::string_view name, int32_t number) {
    files_.ZOVPROPERTIESFILE.Clear();
    files_.ZOVPF.CONTROLTYPEEQUATE = type;
    files_.ZOVPF.PROPERTY = name;
    files_.ZOVPF.PROPERTYEQUATE = number;
    files_.ZOVPF.PROPERTYDESCRIPTION = name;
    EXPECT_TRUE(files_.ZOVPROPERTIESFILE.Add()) << name;
  }

  // The number of set `name` of (`procedure` or "~Global settings", `group`), made when
  // missing.
  int32_t Set(std::string_view procedure, std::string_view group,
              std::string_view name = kUnconditionalSet) {
    store_.PROCEDURENAME = procedure;
    const uint8_t global = procedure == kGlobalSettings ? 1 : 0;
    if (name == kUnconditionalSet) {
      store_.LoadConditionSets(/*create=*/1, global, /*follow_switch=*/0, group);
    } else {
      store_.LoadConditionSets(/*create=*/0, global, /*follow_switch=*/0, group);
    }
    for (size_t i = 1; i <= store_.CONDITIONSETQUEUE->Records(); ++i) {
      const ConditionSetQueueRecord& set = store_.CONDITIONSETQUEUE->entry(i);
      if (set.CONDITIONALSET == name) return set.CONDITIONALSETID;
    }
    platform::files::File& file = files_.ZOVCONDITIONSETFILE;
    file.Clear();
    // The primary key runs from the highest number down.
    const int32_t next =
        (file.SetKey(kConditionSetPrimaryKey, false) && file.Next() ? files_.ZOVCS.CONDITIONALSETID
                                                                    : 0) +
        1;
    file.Clear();
    files_.ZOVCS.USERNAME = kDefaultUser;
    files_.ZOVCS.PROFILE = kDefaultUser;
    files_.ZOVCS.PROCEDURENAME = procedure;
    files_.ZOVCS.GROUPNAME = group;
    files_.ZOVCS.CONDITIONALSET = name;
    files_.ZOVCS.CONDITIONALSETID = next;
    EXPECT_TRUE(file.Add()) << name;
    return next;
  }

  // A condition row of `set` after those it has: `property` `op` `value`.
  void Condition(int32_t set, int32_t property, std::string_view op, std::string_view value,
                 uint8_t manual_value = 0) {
    platform::files::File& file = files_.ZOVCONDITIONFILE;
    file.Clear();
    files_.ZOVCD.CONDITIONALSETID = set;
    files_.ZOVCD.CONDITIONALID = ++conditions_;
    files_.ZOVCD.CONTROL = "";
    files_.ZOVCD.PROPERTYEQUATE = property;
    files_.ZOVCD.OPERATOR = op;
    files_.ZOVCD.VALUE = value;
    files_.ZOVCD.MANUALVALUE = manual_value;
    EXPECT_TRUE(file.Add()) << value;
  }
  // A connector row ("AND", "OR").
  void Connector(int32_t set, std::string_view op) { Condition(set, 0, op, ""); }

  // The value of `property` in `set`.
  void Value(int32_t set, int32_t property, std::string_view value, uint8_t enabled = 1,
             uint8_t expression = 0) {
    ControlPropertyGroup g;
    g.ENABLED = enabled;
    g.VALUE = value;
    g.CLARIONVALUE = expression;
    store_.SaveGroup(g, set, "property " + std::to_string(property));
  }

  ZOVRestyleBaseClass& store() { return store_; }

 private:
  RestyleFiles& files_;
  ZOVRestyleBaseClass& store_;
  int32_t conditions_ = 0;
};

// Opens the restyle files of the current directory (creating them), runs `build` on a runtime
// thread of its own and closes the files.
inline void WriteRestyleFiles(const std::function<void(RestyleFileBuilder&)>& build) {
  RestyleFiles files;
  ZOVRestyleBaseClass store;
  platform::FixedString<255> user = kDefaultUser;
  platform::CString<256> profile = kDefaultUser;
  uint8_t change_global = 0;
  BindToFiles(store, files, user);
  store.REFCURRENTPROFILE = &profile;
  store.REFCHANGEGLOBALPROPERTIES = &change_global;
  platform::testing::ScriptedDisplay display;
  RunOnRuntimeThread(display, [&] {
    platform::files::File* all[] = {&files.ZOVPROPERTIESFILE, &files.ZOVCONDITIONSETFILE,
                                    &files.ZOVCONDITIONFILE, &files.ZOVRESTYLEFILE};
    for (platform::files::File* f : all) {
      ASSERT_TRUE(f->Open(platform::files::kReadWrite | platform::files::kDenyNone)) << f->label();
    }
    RestyleFileBuilder builder(files, store);
    build(builder);
    for (platform::files::File* f : all) EXPECT_TRUE(f->Close()) << f->label();
  });
}

}  // namespace restyle::testing
