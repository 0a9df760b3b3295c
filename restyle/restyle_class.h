// ZOVRestyleClass: the per-window restyle object. Every window procedure creates one, asks
// it whether the procedure may start, registers its window and controls with it, and hands
// it every event first (after the assistant).
//
// These bodies stand in until the restyle engine is built: they answer "go on" (0) and report
// each call to the call trace, whose observer may answer otherwise in tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/codes.h"
#include "restyle/restyle_registry.h"

namespace platform::ui {
class Window;
}

namespace restyle {

class ZOVRestyleClass {
 public:
  ZOVRestyleClass();
  ~ZOVRestyleClass();
  ZOVRestyleClass(const ZOVRestyleClass&) = delete;
  ZOVRestyleClass& operator=(const ZOVRestyleClass&) = delete;

  // Answers 1 when the procedure may not start (a window of it is already running and the
  // restyle settings allow one), else 0. `manager` (the style manager's registry) is
  // borrowed and outlives this object, which is listed in it until it is destroyed.
  int32_t Init(RestyleRegistry& manager, std::string_view procedure_name);
  // Registers a control (field 0: the window) with its equate text and description.
  void AddControl(platform::ui::FieldId field, int32_t level, std::string_view equate,
                  std::string_view description);
  // Registers a menu (kind 1) or a menu item (kind 3) of the frame's menu.
  void AddMenuItem(platform::ui::FieldId field, int32_t kind);
  // Attaches the window (borrowed; it outlives this object while attached).
  void SetWindow(platform::ui::Window& window, int32_t apply);
  // Answers non-zero when it consumed the current event.
  int32_t HandleEvent();
  // Rebuilds the tree menu's structure from the frame's menu.
  void BuildMenuStructure();

  // Settings the window procedure gives its restyle object. Colours are stored values
  // (80000000h + n is system colour n, -1 none).
  int32_t MENUTREEITEMHEIGHT = 0;
  int64_t MENUTREEITEMCOLOR = 0;
  int64_t MENUTREEITEMBACKGROUNDCOLOR = 0;
  int64_t MENUTREEITEMSELECTEDCOLOR = 0;
  int64_t MENUTREEITEMSELECTEDBACKGROUND = 0;
  uint8_t EXPANDMENUTREEAUTOMATICALLY = 0;
  uint8_t MARKSELECTEDCONTROLACTIVE = 0;

 private:
  std::string procedure_name_;
  RestyleRegistry* registry_ = nullptr;     // null until Init
  platform::ui::Window* window_ = nullptr;  // null until SetWindow
};

}  // namespace restyle
