// The replay side of the window hook: on 0FFFh while an event step plays, the target window
// reproduces the stored event as a person would (the cursor glides to the control, clicks
// or types) and then posts the event to itself. The two glides run event loops of their own
// on the target window's thread.
#include <string>

#include "assistant/extagent.h"
#include "assistant/glide.h"
#include "platform/core/text.h"
#include "platform/region/region.h"
#include "platform/ui/desktop.h"
#include "platform/ui/inner_loop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace assistant {
namespace {

using platform::Clip;
using platform::region::Point;
namespace ui = platform::ui;

constexpr ui::EventId kReplayEvent = ui::kEventLast;  // 0FFFh
constexpr ui::EventId kNextTurn = 0x209;              // posted to get the loop's next turn
constexpr int32_t kNoPosition = -32768;
constexpr int32_t kMenuBarY = 32;  // the cursor's height over the menu bar, in pixels

// The cursor's glide ends within this squared distance; the window's within the second.
constexpr int32_t kCursorArrived2 = 5;
constexpr int32_t kWindowArrived2 = 2;

// An empty window of 0 by 0 that only runs an event loop while the cursor glides.
constexpr ui::WindowStructure kMouseMoveWindow{
    "extagent", "P8$MOUSEMOVEWINDOW", ui::WindowKind::kPlain, "", {0, 0, 0, 0}, {}};

// The place of the menu-bar entry that holds menu `menu`, from 0; -1 when there is none.
int32_t MenuBarPosition(ui::FieldId menu) {
  // The menu bar holds the entries; a field of no type is no control.
  const auto is_bar = [](ui::FieldId f) {
    return ui::GetPropNumber(f, ui::Prop::Type) == static_cast<int64_t>(ui::ControlType::kMenubar);
  };
  ui::FieldId on_bar = menu;
  for (;;) {
    if (ui::GetPropNumber(on_bar, ui::Prop::Type) == 0 || is_bar(on_bar)) return -1;
    const auto parent = static_cast<ui::FieldId>(ui::GetPropNumber(on_bar, ui::Prop::Parent));
    if (parent == 0 || is_bar(parent)) break;
    on_bar = parent;
  }
  return static_cast<int32_t>(ui::GetPropNumber(on_bar, ui::Prop::ChildIndex)) - 1;
}

bool Inside(const platform::region::Rect& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

void ZOVAgentClass::MoveMouseCursor(int32_t x, int32_t y) {
  const Point target{WINDOWPOSX + x, WINDOWPOSY + y};
  Glide glide(target, {.per_pixel = static_cast<double>(SLOWDOWNMOUSEVENTS),
                       .end_distance2 = kCursorArrived2,
                       .desktop = {DESKTOPPLACEMENT.LEFT, DESKTOPPLACEMENT.TOP,
                                   DESKTOPPLACEMENT.RIGHT, DESKTOPPLACEMENT.BOTTOM}});
  ui::Window window(kMouseMoveWindow);
  window.Open();
  while (window.Accept()) {
    const GlideTurn turn = glide.Turn(ui::GetCursorPos());
    ui::SetCursorPos(turn.at.x, turn.at.y);
    if (turn.kind != GlideTurn::kMove) break;
    ui::PostToWindow(window.handle(), kNextTurn);
    ui::Yield();
  }
  window.Close();
}

void ZOVAgentClass::AnimateMove(int32_t x, int32_t y) {
  ui::Window* window = ui::TargetWindow();
  if (window == nullptr) return;
  auto position = [] {
    return Point{static_cast<int32_t>(ui::GetPropNumber(ui::kNoField, ui::Prop::Xpos)),
                 static_cast<int32_t>(ui::GetPropNumber(ui::kNoField, ui::Prop::Ypos))};
  };
  Glide glide({x, y}, {.per_pixel = 1,
                       .end_distance2 = kWindowArrived2,
                       .desktop = {DESKTOPPLACEMENT.LEFT, DESKTOPPLACEMENT.TOP,
                                   DESKTOPPLACEMENT.RIGHT, DESKTOPPLACEMENT.BOTTOM}});
  ui::InnerLoop loop(*window, [](ui::EventId e) { return e == kNextTurn; });
  ui::PostToWindow(window->handle(), kNextTurn);
  while (loop.Accept()) {
    const GlideTurn turn = glide.Turn(position());
    if (turn.kind == GlideTurn::kLeftDesktop) break;
    ui::SetProp(ui::kNoField, ui::Prop::Xpos, turn.at.x);
    ui::SetProp(ui::kNoField, ui::Prop::Ypos, turn.at.y);
    if (turn.kind == GlideTurn::kArrived) break;
    ui::PostToWindow(window->handle(), kNextTurn);
  }
}

int32_t ZOVAgentClass::Replay(std::string_view procedure_name, ui::WindowHandle window) {
  if (ui::Event() != kReplayEvent) return 0;
  AgentEventRecord& e = EVENTQUEUE->buffer;
  // Only the stored event's own window replays it: another window of the same thread leaves
  // it, and the step ends at its time-out.
  if (Clip(procedure_name) != Clip(e.PROCEDURENAME.str())) return 0;
  SetProcedure(procedure_name, window);
  StoreWindowPos(window);

  const bool second_menu_half = SKIPACTIVATEMENU == 1;
  if (second_menu_half) {
    SKIPACTIVATEMENU = 0;
  } else {
    const auto type = static_cast<ui::ControlType>(ui::GetPropNumber(e.CONTROL, ui::Prop::Type));
    if (e.EVENT == ui::kEventMoved &&
        (type == ui::ControlType::kApplication || type == ui::ControlType::kWindow)) {
      if (ui::GetPropNumber(ui::kNoField, ui::Prop::Xpos) != e.XPOS ||
          ui::GetPropNumber(ui::kNoField, ui::Prop::Ypos) != e.YPOS) {
        AnimateMove(e.XPOS, e.YPOS);
      }
      EVENTFINISHED = 1;
      return 1;
    }
    if (e.EVENT == ui::kEventAccepted && type == ui::ControlType::kItem &&
        ui::GetPropNumber(e.CONTROL, ui::Prop::Parent) != 0) {
      // First half of a menu item: the cursor onto the menu bar, then the item itself.
      if (e.XPOS != kNoPosition) MoveMouseCursor(e.XPOS, kMenuBarY);
      const auto parent = static_cast<ui::FieldId>(ui::GetPropNumber(e.CONTROL, ui::Prop::Parent));
      const int32_t index = MenuBarPosition(parent);
      if (index >= 0) {
        highlighted_menu_ = static_cast<uint32_t>(index);
        ui::HiliteMenuItem(window, ui::GetMenu(window), highlighted_menu_,
                           ui::kMfByPosition | ui::kMfHilite);
      }
      SKIPACTIVATEMENU = 1;
      ui::Post(kReplayEvent, ui::kNoField, ui::Thread());
      return 1;
    }
  }

  if (e.XPOS != kNoPosition) {
    MoveMouseCursor(e.XPOS, e.YPOS);
    const Point at{WINDOWPOSX + e.XPOS, WINDOWPOSY + e.YPOS};
    ui::SetCursorPos(at.x, at.y);
    platform::region::Rect rect;
    // Clicks go only where the target window is.
    if (e.EVENT != ui::kEventAccepted && ui::GetWindowRect(window, &rect) && Inside(rect, at)) {
      ui::mouse_event(ui::kMouseEventLeftDown);
      ui::mouse_event(ui::kMouseEventLeftUp);
      ui::Yield();
      ui::Sleep(0);
    }
  }

  const auto type = static_cast<ui::ControlType>(ui::GetPropNumber(e.CONTROL, ui::Prop::Type));
  if (e.EVENT == ui::kEventAccepted &&
      (type == ui::ControlType::kEntry || type == ui::ControlType::kText)) {
    const std::string value = Clip(e.VALUE.str());
    ui::Change(e.CONTROL, "");
    ui::Display(e.CONTROL);
    for (size_t i = 1; i <= value.size(); ++i) {
      ui::Change(e.CONTROL, value.substr(0, i));
      ui::Display(e.CONTROL);
      if (TYPESNELHEID > 0) ui::Sleep(1000 / TYPESNELHEID);
    }
  }
  ui::PostToWindow(window, e.EVENT, e.CONTROL);
  if (second_menu_half && highlighted_menu_ != kNoMenu) {
    ui::HiliteMenuItem(window, ui::GetMenu(window), highlighted_menu_,
                       ui::kMfByPosition | ui::kMfUnhilite);
    highlighted_menu_ = kNoMenu;
  }
  EVENTFINISHED = 1;
  ui::Yield();
  return 1;
}

}  // namespace assistant
