// The restyle object's share of a window's events: the style hot key, styling again after a
// resize, the position save and the fade-out on close, and the mark of the selected control;
// in configure-directly mode the window's events go to the mode's thread instead.
#include <string>

#include "platform/core/call_trace.h"
#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/property_table.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_registry.h"

namespace restyle {
namespace {

namespace ui = platform::ui;
using ui::FieldId;
using ui::Prop;

constexpr int32_t kConsumed = 5;

// What the configure-directly thread is told.
constexpr ui::EventId kEventModeMoveOrSize = 0x501;
constexpr ui::EventId kEventModeOther = 0x502;
constexpr ui::EventId kEventModeMousePress = 0x503;
// A resize that arrived while a modal window or dialog was open, handled once it has gone.
constexpr ui::EventId kEventDeferredResize = 0x999;

// The tree menu reads the frame's height with this added.
constexpr int16_t kClientHeightRoom = 40;
// Where the mark waits while the style configuration is open.
constexpr int32_t kMarkOutOfSight = -9999;

constexpr std::string_view kSavePositionGroup = "~Save Window position and size~";
// Each number of a saved position and size fills this many characters.
constexpr size_t kSavedNumberWidth = 10;

// MARKSELECTEDCONTROLCONFIGURATION.
constexpr uint8_t kMarkBefore = 1;
constexpr uint8_t kMarkAround = 2;
constexpr uint8_t kMarkAfter = 3;

int32_t Number(const ui::Window& window, FieldId field, Prop p) {
  return static_cast<int32_t>(platform::TextToNumber(window.Get(field, p)));
}

std::string Padded(int32_t number) {
  std::string text = std::to_string(number);
  if (text.size() < kSavedNumberWidth) text.resize(kSavedNumberWidth, ' ');
  return text;
}

bool IsFrame(const ui::Window& window) {
  return Number(window, 0, Prop::Type) == static_cast<int32_t>(ui::ControlType::kApplication);
}

}  // namespace

int32_t ZOVRestyleClass::HandleEvent() {
  // Tests may take the event through the call trace.
  if (const int32_t answer = platform::TraceCall("ZOVRestyleClass.HandleEvent"); answer != 0) {
    return answer;
  }
  if (PROCEDUREWINDOW == nullptr) return 0;
  if (CONFIGUREDIRECTLYONWINDOW.THREAD != 0) return HandleConfigureDirectlyEvent();
  switch (ui::Event()) {
    case ui::kEventAlertKey:
      if (STYLEMANAGER != nullptr && STYLEMANAGER->ConfigureHotKey() != 0 &&
          ui::CurrentKeyCode() == STYLEMANAGER->ConfigureHotKey()) {
        OpenConfiguration();
      }
      break;
    case ui::kEventSized:
      if (WINDOWRESTYLED == 1) Resized();
      break;
    case kEventDeferredResize:
      DeferredResize();
      break;
    case ui::kEventCloseWindow: {
      SaveWindowPosition();
      ControlPropertyGroup fade;
      if (GetPropertyValue(0, kFadeWindows, 0, /*read_type=*/1, fade) == 1 &&
          platform::TextToNumber(fade.VALUE.view().substr(0, 1)) != 0) {
        FadeWindow(*PROCEDUREWINDOW, /*fade_in=*/0, /*region_mode=*/0, /*reserved=*/1,
                   /*default_end=*/1, /*end=*/0, /*default_start=*/1, /*start=*/0);
      }
      break;
    }
    case ui::kEventSelected:
      MoveMark(ui::Field());
      break;
    default:
      break;
  }
  return 0;
}

int32_t ZOVRestyleClass::HandleConfigureDirectlyEvent() {
  ConfigureDirectlyGroup& mode = CONFIGUREDIRECTLYONWINDOW;
  switch (ui::Event()) {
    case ui::kEventPreAlertKey:
      // The press itself never happens: the mode's thread offers the controls instead.
      if (ui::CurrentKeyCode() == ui::kMouseLeft || ui::CurrentKeyCode() == ui::kMouseRight) {
        ui::Post(kEventModeMousePress, 0, mode.THREAD);
      }
      return kConsumed;
    case ui::kEventCloseWindow:
      EndConfigureDirectly();
      return kConsumed;
    case ui::kEventTabChanging:
    case ui::kEventMove:
    case ui::kEventSize:
    case ui::kEventMoved:
    case ui::kEventSized:
      mode.ACTIVECONTROLEQUATE = ui::Field();
      ui::Post(kEventModeMoveOrSize, 0, mode.THREAD);
      return 0;
    default:
      mode.XPOS = static_cast<int16_t>(ui::MouseX());
      mode.YPOS = static_cast<int16_t>(ui::MouseY());
      ui::Post(kEventModeOther, 0, mode.THREAD);
      return kConsumed;
  }
}

void ZOVRestyleClass::OpenConfiguration() {
  ui::Window& window = *PROCEDUREWINDOW;
  // The configuration window's events replace the current one. A key alerted on the window
  // itself comes for no control: the focus goes back where it was.
  const FieldId control = ui::Field() != 0 ? ui::Field() : window.focus();
  const FieldId mark = MARKSELECTEDCONTROLEQUATE;
  if (STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE != 0 && mark != 0 &&
      !window.Get(mark, Prop::Type).empty()) {
    window.SetPosition(mark, kMarkOutOfSight, kMarkOutOfSight, Number(window, mark, Prop::Width),
                       Number(window, mark, Prop::Height));
  }
  STYLEMANAGER->ConfigureMain(*this);
  if (window.is_open() && control != 0) window.Select(control);
}

void ZOVRestyleClass::Resized() {
  ui::Window& window = *PROCEDUREWINDOW;
  // A modal window is not held back by its own modality: its resize would never be handled.
  const bool modal_itself = (window.structure().attrs & ui::kAttrModal) != 0;
  if (!ui::GetSystemProp(Prop::Modal).empty() && !modal_itself) {
    ui::PostToWindow(PROCEDUREHANDLE, kEventDeferredResize);
    return;
  }
  // In dialog units, as the styling pass measures the window.
  const std::string pixels = window.Get(0, Prop::Pixels);
  window.Set(0, Prop::Pixels, "0");
  const auto width = static_cast<int16_t>(Number(window, 0, Prop::Width));
  const auto height = static_cast<int16_t>(Number(window, 0, Prop::Height));
  window.Set(0, Prop::Pixels, pixels);
  if ((width != OLDWINDOWWIDTH || height != OLDWINDOWHEIGHT) && width != 0 && height != 0) {
    Restyle(/*reload=*/0, /*keep=*/1);
  }
  if (STYLEPROPERTIES.DISABLERESTYLE == 0 && DONOTRESTYLETHISPROCEDURE == 0 &&
      STYLEPROPERTIES.WINDOWROUNDNESS != 0 && STYLEMANAGER != nullptr) {
    STYLEMANAGER->RoundWindow(PROCEDUREWINDOW,
                              static_cast<uint8_t>(STYLEPROPERTIES.WINDOWROUNDNESS));
  }
  if (!IsFrame(window) || STYLEMANAGER == nullptr) return;
  // The tree menu follows the frame's size. Until a tree-menu thread runs there is none.
  const ui::ThreadId tree = STYLEMANAGER->MenuTreeThread();
  if (MENUTREEWINDOW != nullptr && tree != 0) ui::Post(ui::kEventSized, 0, tree);
  STYLEMANAGER->SetApplicationClientSize(
      static_cast<int16_t>(Number(window, 0, Prop::Width)),
      static_cast<int16_t>(Number(window, 0, Prop::Height) + kClientHeightRoom));
}

void ZOVRestyleClass::DeferredResize() {
  ui::Window& window = *PROCEDUREWINDOW;
  // Only the frame's size is the one the tree menu reads.
  if (IsFrame(window) && STYLEMANAGER != nullptr) {
    STYLEMANAGER->SetApplicationClientSize(
        static_cast<int16_t>(Number(window, 0, Prop::Width)),
        static_cast<int16_t>(Number(window, 0, Prop::Height) + kClientHeightRoom));
  }
  ui::PostToWindow(PROCEDUREHANDLE, ui::kEventSized);
}

void ZOVRestyleClass::SaveWindowPosition() {
  if (STYLEPROPERTIES.WINDOWSAVEPOSITION == 0 || !IsBound()) return;
  // The size the window is restored to, without the room the pass adds for the images when
  // it opens the window again; a maximized or minimized window opens again as it was before.
  const ui::RectDu at = PROCEDUREWINDOW->RestoredGeometry();
  ControlPropertyGroup saved;
  saved.ENABLED = 1;
  saved.VALUE = Padded(at.x) + Padded(at.y) + Padded(at.width - restored_room_x_) +
                Padded(at.height - restored_room_y_);
  const int32_t set = GetConditionSetId(/*global=*/0, /*follow_switch=*/1, kSavePositionGroup);
  if (set == 0) return;
  const std::string profile =
      REFCURRENTPROFILE != nullptr ? platform::Clip(REFCURRENTPROFILE->view()) : "";
  SaveGroup(saved, set, "~" + profile + ":WindowPosAndSize");
}

void ZOVRestyleClass::MoveMark(FieldId control) {
  ui::Window& window = *PROCEDUREWINDOW;
  const FieldId mark = MARKSELECTEDCONTROLEQUATE;
  if (STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE == 0 || mark == 0 || control == 0 ||
      window.Get(mark, Prop::Type).empty() || Number(window, control, Prop::Skip) != 0) {
    return;
  }
  const int32_t x = Number(window, control, Prop::Xpos);
  const int32_t y = Number(window, control, Prop::Ypos);
  const int32_t w = Number(window, control, Prop::Width);
  const int32_t h = Number(window, control, Prop::Height);
  const int32_t mark_w = Number(window, mark, Prop::Width);
  const int32_t mark_h = Number(window, mark, Prop::Height);
  switch (STYLEPROPERTIES.MARKSELECTEDCONTROLCONFIGURATION) {
    case kMarkBefore:
      window.SetPosition(mark, x - 5, y, mark_w, mark_h);
      break;
    case kMarkAround:
      window.SetPosition(mark, x - 2, y - 2, w + 4, h + 4);
      break;
    case kMarkAfter:
      window.SetPosition(mark, x + w + 1, y, mark_w, mark_h);
      break;
    default:
      break;
  }
}

}  // namespace restyle
