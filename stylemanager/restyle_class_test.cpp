// The restyle object against a started style manager and real restyle files: snapshots,
// initial geometry, window options, images and the lookup of unconditional values.
#include "restyle/restyle_class.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/scripted_display.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"
#include "stylemanager/stylemanager_class.h"
#include "stylemanager/stylemanager_test_support.h"

namespace stylemanager {
namespace {

namespace ui = platform::ui;
using restyle::ControlPropertyGroup;
using restyle::ZOVRestyleClass;

constexpr ui::ControlDecl kControls[] = {
    ui::Entry("?Name", {4, 4, 100, 10}),
    ui::Button("?Go", "&Go", {4, 20, 40, 14}),
    ui::Prompt("?Name:Prompt", "Name:", {110, 4, 30, 10}),
};
constexpr ui::WindowStructure kWindow{"test$restyle", "P1$WINDOW",      ui::WindowKind::kPlain,
                                      "Restyled",     {0, 0, 200, 120}, kControls};

class RestyleObjectTest : public testing::StyleManagerFixture {
 protected:
  // On thread 1: starts the style manager, runs `before` with a restyle object of procedure
  // `procedure` that can store values, then opens the window, registers it and its controls
  // and runs `after`, which attaches it.
  void Run(const std::function<void(ZOVRestyleClass&)>& before,
           const std::function<void(ZOVRestyleClass&, ui::Window&)>& after,
           std::string_view procedure = "Restyled") {
    OnThread1([&] {
      {
        ZOVRestyleClass setter;
        setter.Init(manager, procedure);
        before(setter);
      }
      ui::Window window(kWindow);
      ZOVRestyleClass restyle;
      Open(restyle, window, procedure, /*attach=*/false);
      after(restyle, window);
    });
  }
};

TEST_F(RestyleObjectTest, AControlRegisteredTwiceKeepsItsFirstSnapshotAndTheyGoInTypeOrder) {
  std::vector<std::string> snapshots;
  Run([](ZOVRestyleClass&) {},
      [&](ZOVRestyleClass& restyle, ui::Window& window) {
        window.Set(1, ui::Prop::Text, "changed");
        restyle.AddControl(1, 0, "?Other", "second");
        for (size_t i = 1; i <= restyle.CONTROLPROPERTIESQUEUE->Records(); ++i) {
          const restyle::ControlSnapshotRecord r = restyle.CONTROLPROPERTIESQUEUE->entry(i);
          snapshots.push_back(std::to_string(r.CONTROLEQUATE) + " " + r.CONTROLEQUATESTRING.str() +
                              " " + r.CONTROLDESCRIPTION.str() + " type " +
                              std::to_string(r.CONTROLTYPEEQUATE) + " '" + r.PROP_TEXT.str() +
                              "' " + std::to_string(r.PROP_WIDTH) + " " +
                              std::to_string(r.PROP_COLOR));
        }
      });
  EXPECT_EQ(snapshots, (std::vector<std::string>{
                           "1 ?NAME ?Name type 8 '' 100 -1",
                           "2 ?GO ?Go type 9 '&Go' 40 -1",
                           "3 ?NAME:PROMPT ?Name:Prompt type 10 'Name:' 30 -1",
                           "0 WINDOW Window type 25 'Restyled' 200 -1",
                       }));
}

TEST_F(RestyleObjectTest, AWindowAttachedMaximizedRecordsItsRestoredSize) {
  std::vector<int32_t> seen;
  Run([](ZOVRestyleClass&) {},
      [&](ZOVRestyleClass& restyle, ui::Window& window) {
        window.Set(0, ui::Prop::Maximize, "1");
        restyle.SetWindow(window, 1);
        seen = {restyle.ORGINALWIDTH, restyle.ORGINALHEIGHT,
                static_cast<int32_t>(ui::GetPropNumber(0, ui::Prop::Maximize)),
                static_cast<int32_t>(restyle.RESIZEQUEUE->Records()),
                restyle.RESIZEQUEUE->entry(1).CONTROLEQUATE, restyle.RESIZEQUEUE->entry(2).WIDTH,
                // Move and size events, and the style hot key alerted in the last slot.
                static_cast<int32_t>(ui::GetPropNumber(0, ui::Prop::Imm)),
                static_cast<int32_t>(ui::GetPropNumber(0, ui::Prop::Alrt, 255))};
      });
  EXPECT_EQ(seen, (std::vector<int32_t>{200, 120, 1, 4, 0, 100, 1, 0x653}));
}

TEST_F(RestyleObjectTest, DisabledStylingSwitchesTheOptionsOffAndLoadsNoImages) {
  for (const char* disable : {"0", "1"}) {
    SCOPED_TRACE(disable);
    std::vector<int> options;
    size_t images = 99;
    Run(
        [&](ZOVRestyleClass& store) {
          for (int32_t option : {-12, -8, -7, -13, -11}) {
            Store(store, false, "ControlType 25", option, "1");
          }
          Store(store, false, "ControlType 25", -15, disable);
          restyle::ImageQueueRecord image;
          image.IMAGEFILE = "a.png";
          manager.AddImage(image);
        },
        [&](ZOVRestyleClass& restyle, ui::Window& window) {
          restyle.SetWindow(window, 1);
          const restyle::StylePropertiesGroup& o = restyle.STYLEPROPERTIES;
          options = {o.DISABLERESTYLE,      o.AUTOMAXIMIZE,   o.WINDOWSAVEPOSITION,
                     o.WINDOWCHECKPOSITION, o.CENTERCONTROLS, o.RESIZEWINDOW};
          images = restyle.IMAGEQUEUE->Records();
        });
    if (disable[0] == '1') {
      EXPECT_EQ(options, (std::vector<int>{1, 0, 0, 0, 0, 0}));
      EXPECT_EQ(images, 0u);
    } else {
      EXPECT_EQ(options, (std::vector<int>{0, 1, 1, 1, 1, 1}));
      EXPECT_EQ(images, 1u);
    }
    manager.IMAGEQUEUE->Free();
  }
}

TEST_F(RestyleObjectTest, ImageSettingsFallBackToTheGlobalOnesThenToTheDefaultImages) {
  struct Case {
    std::string_view name;
    uint8_t own_change;         // CHANGEIMAGESETTINGS of the window's own settings
    uint8_t global_count;       // NUMBEROFIMAGES of the global settings
    std::string_view expected;  // the window's images
  };
  constexpr Case kCases[] = {
      {"own", 1, 1, "own.png"},
      {"own settings not used", 0, 1, "global.png"},
      {"global says none", 0, 0, "default.png"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("ZOVRestyle");
    std::filesystem::remove("ZOVConditionalSet");
    std::string images;
    Run(
        [&](ZOVRestyleClass& store) {
          const auto save = [&](uint8_t global, uint8_t change, uint8_t count,
                                std::string_view file) {
            const int32_t set = store.GetConditionSetId(global, 0, "~Images~");
            restyle::ImagePropertyGroup settings;
            settings.CHANGEIMAGESETTINGS = change;
            settings.NUMBEROFIMAGES = count;
            store.SaveGroup(settings, set, "~DEFAULT:Images");
            restyle::ImageQueueRecord image;
            image.IMAGEORDER = 1;
            image.IMAGEFILE = file;
            store.IMAGEQUEUE->buffer = image;
            store.SaveQueue(*store.IMAGEQUEUE, set, "~DEFAULT:Image 1");
          };
          save(0, c.own_change, 1, "own.png");
          save(1, 0, c.global_count, "global.png");
          restyle::ImageQueueRecord fallback;
          fallback.IMAGEFILE = "default.png";
          manager.AddImage(fallback);
        },
        [&](ZOVRestyleClass& restyle, ui::Window& window) {
          restyle.SetWindow(window, 1);
          for (size_t i = 1; i <= restyle.IMAGEQUEUE->Records(); ++i) {
            images += restyle.IMAGEQUEUE->entry(i).IMAGEFILE.str();
          }
        });
    EXPECT_EQ(images, c.expected);
    manager.IMAGEQUEUE->Free();
  }
}

TEST_F(RestyleObjectTest,
       AnUnconditionalValueOfTheControlWinsOverItsTypeInTheProcedureAndGlobally) {
  struct Case {
    std::string_view name;
    std::function<void(ZOVRestyleClass&)> store;
    uint8_t found;
    std::string_view value;
  };
  const Case kCases[] = {
      {"none", [](ZOVRestyleClass&) {}, 0, ""},
      {"global type", [](ZOVRestyleClass& s) { Store(s, true, "ControlType 8", 0x7CFA, "1"); }, 1,
       "1"},
      {"procedure over global",
       [](ZOVRestyleClass& s) {
         Store(s, true, "ControlType 8", 0x7CFA, "1");
         Store(s, false, "ControlType 8", 0x7CFA, "2");
       },
       1, "2"},
      {"control over type",
       [](ZOVRestyleClass& s) {
         Store(s, false, "ControlType 8", 0x7CFA, "2");
         Store(s, false, "Control ?NAME", 0x7CFA, "3");
       },
       1, "3"},
      {"switched off is passed over",
       [](ZOVRestyleClass& s) {
         Store(s, true, "ControlType 8", 0x7CFA, "1");
         Store(s, false, "Control ?NAME", 0x7CFA, "3", /*enabled=*/0);
       },
       1, "1"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("ZOVRestyle");
    std::filesystem::remove("ZOVConditionalSet");
    uint8_t found = 9;
    std::string value;
    std::string shared_after;
    Run(c.store, [&](ZOVRestyleClass& restyle, ui::Window& window) {
      restyle.SetWindow(window, 1);
      manager.CONTROLPROPERTYGROUP.VALUE = "being edited";
      ControlPropertyGroup g;
      found = restyle.GetPropertyValue(1, 0x7CFA, 0, /*read_type=*/1, g);
      value = g.VALUE.str();
      shared_after = manager.CONTROLPROPERTYGROUP.VALUE.str();
    });
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(value, c.found ? c.value : value);
    // The configuration windows' buffer is not touched.
    EXPECT_EQ(shared_after, "being edited");
  }
}

TEST_F(RestyleObjectTest, AStyledMessageWindowIsNeverMaximizedSavedOrMovedBack) {
  struct Case {
    std::string_view procedure;
    std::string seen;
  };
  const Case kCases[] = {
      {"Restyled", "options 1 1 1, maximized 1"},
      {"~ZOVRestyleMessage~", "options 0 0 0, maximized "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.procedure);
    std::string seen;
    Run(
        [](ZOVRestyleClass& store) {
          for (const int32_t option : {restyle::kMaximizeAutomatic, restyle::kSaveWindowPosition,
                                       restyle::kCheckWindowPosition}) {
            Store(store, false, "ControlType 25", option, "1");
          }
        },
        [&](ZOVRestyleClass& restyle, ui::Window& window) {
          restyle.SetWindow(window, 1);
          const restyle::StylePropertiesGroup& o = restyle.STYLEPROPERTIES;
          seen = "options " + std::to_string(o.AUTOMAXIMIZE) + " " +
                 std::to_string(o.WINDOWSAVEPOSITION) + " " +
                 std::to_string(o.WINDOWCHECKPOSITION) + ", maximized " +
                 window.Get(0, ui::Prop::Maximize);
        },
        c.procedure);
    EXPECT_EQ(seen, c.seen);
  }
}

}  // namespace
}  // namespace stylemanager
