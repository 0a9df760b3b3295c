// The window both tree-menu looks stand in with until they are built: it takes the tree
// thread's events, tells the call trace of each one the frame's side sends (501h, 505h, Sized
// and the other user events) and ends on 501h, or on its own when the trace's observer
// answers a call with non-zero.
#include <cstdio>
#include <string>

#include "platform/core/call_trace.h"
#include "platform/core/text.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

namespace ui = platform::ui;

constexpr ui::WindowStructure kStandInWindow{"zovresty", "MENUTREESTANDIN", ui::WindowKind::kPlain,
                                             "",         {0, 0, 90, 229},   {}};

std::string Hex(ui::EventId event) {
  char text[16];
  std::snprintf(text, sizeof text, "%Xh", static_cast<unsigned>(event));
  return text;
}

}  // namespace

void ZOVRestyleClass::RecordingTreeWindow(std::string_view name, std::string_view look) {
  platform::TraceCall("ZOVRestyleClass." + std::string(name) + " " + platform::Clip(look));
  ui::Window window(kStandInWindow);
  window.Open();
  MENUTREEWINDOW = &window;
  MENUTREELIST = 0;
  while (window.Accept()) {
    const ui::EventId event = ui::Event();
    // The tree window lives as long as its thread; only the program's end closes it.
    if (event == ui::kEventCloseWindow && !ui::ProgramEnding()) {
      window.Cycle();
      continue;
    }
    if (event < ui::kEventUser && event != ui::kEventSized) continue;
    if (platform::TraceCall("ZOVRestyleClass.MenuTreeWindow " + Hex(event)) != 0) break;
    if (event == kEventEndMenuTree) break;
  }
  MENUTREEWINDOW = nullptr;
  window.Close();
  platform::TraceCall("ZOVRestyleClass.MenuTreeWindow ended");
}

}  // namespace restyle
