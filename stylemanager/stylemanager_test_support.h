// For the tests of the style manager: binds it to the four restyle files as the main program
// does.
#pragma once

#include "platform/core/fixed_string.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager::testing {

inline void BindToFiles(ZOVStylemanagerClass& manager, restyle::RestyleFiles& files,
                        platform::FixedString<255>& user) {
  restyle::testing::BindToFiles(manager, files, user);
  manager.BindPropertyFile(files.ZOVPROPERTIESFILE, restyle::kPropertiesPrimaryKey,
                           files.ZOVPF.CONTROLTYPEEQUATE, files.ZOVPF.PROPERTYEQUATE,
                           files.ZOVPF.PROPERTY, files.ZOVPF.PROPERTYDESCRIPTION,
                           files.ZOVPF.HIDEFROMENDUSER);
}

}  // namespace stylemanager::testing
