// For the tests of the restyle object's effects: a started style manager over real restyle
// files in a temporary directory, and a window of the test's own attached to a restyle object
// of procedure "Attached", as a window procedure attaches it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/testing/scripted_display.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"
#include "stylemanager/stylemanager_class.h"

namespace restyle::testing {

// Binds `restyle` to `manager` for `procedure`, registers the open `window` and every control
// by its equate text, and attaches the window, as a window procedure does.
inline void AttachAsProcedure(ZOVRestyleClass& restyle, stylemanager::ZOVStylemanagerClass& manager,
                              std::string_view procedure, platform::ui::Window& window) {
  ASSERT_EQ(restyle.Init(manager, procedure), 0);
  restyle.AddControl(0, 0, "Window", "Window");
  const platform::ui::WindowStructure& structure = window.structure();
  for (size_t i = 0; i < structure.controls.size(); ++i) {
    restyle.AddControl(structure.FieldAt(i), 0, structure.controls[i].equate,
                       structure.controls[i].equate);
  }
  restyle.SetWindow(window, 1);
}

class AttachedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BindToFiles(manager, files, user);
    manager.BindPropertyFile(files.ZOVPROPERTIESFILE, kPropertiesPrimaryKey,
                             files.ZOVPF.CONTROLTYPEEQUATE, files.ZOVPF.PROPERTYEQUATE,
                             files.ZOVPF.PROPERTY, files.ZOVPF.PROPERTYDESCRIPTION,
                             files.ZOVPF.HIDEFROMENDUSER);
  }

  // On thread 1, from restyle files without styles: starts the style manager, runs `store`
  // with a restyle object of the procedure that can store values, opens a window of
  // `structure`, runs `declare` on it (what its declaration would give it), registers the
  // window and every control by its equate text, attaches it and runs `body`.
  void Run(const platform::ui::WindowStructure& structure,
           const std::function<void(ZOVRestyleClass&)>& store,
           const std::function<void(platform::ui::Window&)>& declare,
           const std::function<void(ZOVRestyleClass&, platform::ui::Window&)>& body) {
    std::filesystem::remove("ZOVRestyle");
    std::filesystem::remove("ZOVConditionalSet");
    RunOnRuntimeThread(display, [&] {
      manager.Init(0x653);
      {
        ZOVRestyleClass setter;
        setter.Init(manager, "Attached");
        store(setter);
      }
      platform::ui::Window window(structure);
      window.Open();
      declare(window);
      ZOVRestyleClass restyle;
      AttachAsProcedure(restyle, manager, "Attached", window);
      body(restyle, window);
      manager.Shutdown();
    });
  }

  // Stores an enabled value of property `number` in the "-Unconditional-" set of `group` of
  // the procedure.
  static void Store(ZOVRestyleClass& store, std::string_view group, int32_t number,
                    std::string_view value) {
    ControlPropertyGroup g;
    g.ENABLED = 1;
    g.VALUE = value;
    store.SaveGroup(g, store.GetConditionSetId(0, 0, group), "property " + std::to_string(number));
  }

  InTempDirForTest temp;
  RestyleFiles files;
  platform::FixedString<255> user = "DEFAULT";
  stylemanager::ZOVStylemanagerClass manager;
  platform::testing::ScriptedDisplay display;
};

}  // namespace restyle::testing
