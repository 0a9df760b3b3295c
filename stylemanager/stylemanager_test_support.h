// For the tests of the style manager and of the restyle objects it serves: the style manager
// bound to the four restyle files in a temporary current directory, as the main program binds
// it, and windows attached to restyle objects as the window procedures attach them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/core/fixed_string.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
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

class StyleManagerFixture : public ::testing::Test {
 protected:
  void SetUp() override { BindToFiles(manager, files, user); }

  // Runs `body` on thread 1 between the style manager's Init and its Shutdown, and waits until
  // the thread has ended.
  void OnThread1(const std::function<void()>& body) {
    restyle::testing::RunOnRuntimeThread(display, [&] {
      manager.Init(0x653);
      body();
      manager.Shutdown();
    });
  }

  // Opens `window`, binds `restyle` to the style manager for `procedure`, and registers the
  // window and every declared control with it, as a window procedure does; with `attach`
  // also attaches the window.
  void Open(restyle::ZOVRestyleClass& restyle, platform::ui::Window& window,
            std::string_view procedure, bool attach = true) {
    window.Open();
    ASSERT_EQ(restyle.Init(manager, procedure), 0);
    restyle.AddControl(0, 0, "Window", "Window");
    const platform::ui::WindowStructure& s = window.structure();
    for (size_t i = 0; i < s.controls.size(); ++i) {
      if (s.FieldAt(i) <= 0) continue;
      restyle.AddControl(s.FieldAt(i), 0, s.controls[i].equate, s.controls[i].equate);
    }
    if (attach) restyle.SetWindow(window, 1);
  }

  // Stores an enabled value in the "-Unconditional-" set of `group` of the procedure of
  // `store` (or of "~Global settings").
  static void Store(restyle::ZOVRestyleClass& store, bool global, std::string_view group,
                    int32_t number, std::string_view value, uint8_t enabled = 1) {
    restyle::ControlPropertyGroup g;
    g.ENABLED = enabled;
    g.VALUE = value;
    store.SaveGroup(g, store.GetConditionSetId(global ? 1 : 0, 0, group),
                    "property " + std::to_string(number));
  }

  restyle::testing::InTempDirForTest temp;
  restyle::RestyleFiles files;
  platform::FixedString<255> user = "DEFAULT";
  ZOVStylemanagerClass manager;
  platform::testing::ScriptedDisplay display;
};

}  // namespace stylemanager::testing
