// For tests that seed the assistant's files: a step or a setting added to the step file or
// the settings file of the current directory, which is created when it is missing.
#pragma once

#include <string_view>

#include <gtest/gtest.h>

#include "assistant/agent_files.h"
#include "platform/files/file.h"
#include "platform/files/keyed/file_system.h"

namespace assistant::testing {

inline void StoreAgentStep(const AgentFileRecord& step) {
  AgentFiles f;
  if (!platform::files::Exists("AGNTFILE")) {
    ASSERT_TRUE(f.AGNTFILE.Create());
  }
  ASSERT_TRUE(f.AGNTFILE.Open(platform::files::kReadWrite | platform::files::kDenyNone));
  f.AGF = step;
  ASSERT_TRUE(f.AGNTFILE.Add());
}

inline void StoreAgentSetting(std::string_view setting, std::string_view value) {
  AgentFiles f;
  if (!platform::files::Exists("AGNTSET")) {
    ASSERT_TRUE(f.AGNTSET.Create());
  }
  ASSERT_TRUE(f.AGNTSET.Open(platform::files::kReadWrite | platform::files::kDenyNone));
  f.AGS.SETTING = setting;
  f.AGS.VALUE = value;
  ASSERT_TRUE(f.AGNTSET.Add());
}

}  // namespace assistant::testing
