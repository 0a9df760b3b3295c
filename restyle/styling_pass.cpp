// The styling pass: the window sized for its scale, then the window and each of its controls
// styled and placed, or, with styling off, the registered look restored.
#include <algorithm>
#include <string>

#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_registry.h"

namespace restyle {
namespace {

using platform::ui::FieldId;
using platform::ui::Prop;

constexpr std::string_view kMessageProcedure = "~ZOVRestyleMessage~";
constexpr std::string_view kSavePositionGroup = "~Save Window position and size~";

int64_t Number(const platform::ui::Window& window, FieldId field, Prop p) {
  return static_cast<int64_t>(platform::TextToNumber(window.Get(field, p)));
}

// Characters `from` to `from` + 9 (from 1) of a stored position and size, as a number.
int64_t Field10(std::string_view value, size_t from) {
  if (value.size() < from) return 0;
  return static_cast<int64_t>(platform::TextToNumber(value.substr(from - 1, 10)));
}

}  // namespace

bool ZOVRestyleClass::SkippedInPass(FieldId field) {
  platform::ui::Window& window = *PROCEDUREWINDOW;
  if (window.Get(field, Prop::InToolBar) == "1") return true;
  const int64_t type = Number(window, field, Prop::Type);
  if (type < 1 || type > 127) return true;
  if (type == static_cast<int64_t>(platform::ui::ControlType::kMenu) ||
      type == static_cast<int64_t>(platform::ui::ControlType::kItem)) {
    return true;
  }
  platform::Queue<ImageEquateRecord>& images = *IMAGEEQUATEQUEUE;
  for (size_t i = 1; i <= images.Records(); ++i) {
    if (images.entry(i).IMAGEEQUATE == field) return true;
  }
  platform::Queue<ResizeRecord>& geometry = *RESIZEQUEUE;
  geometry.ClearBuffer();
  geometry.buffer.CONTROLEQUATE = field;
  return !geometry.GetByKey({geometry.Asc(&ResizeRecord::CONTROLEQUATE)});
}

void ZOVRestyleClass::SizeWindow(int16_t width, int16_t height, int16_t& cx, int16_t& cy) {
  platform::ui::Window& window = *PROCEDUREWINDOW;
  const double w = width;
  const double h = height;
  const double ow = ORGINALWIDTH;
  const double oh = ORGINALHEIGHT;
  const bool maximized = window.maximized();
  const bool centred = STYLEPROPERTIES.CENTERCONTROLS != 0;
  cx = 0;
  cy = 0;
  if (WINDOWRESTYLED == 0) {
    RATIO = STYLEPROPERTIES.RESIZEWINDOW != 0 ? std::min(w / ow, h / oh) : 1.0;
    int32_t shift_x = 0;
    int32_t shift_y = 0;
    for (size_t i = 1; i <= IMAGEQUEUE->Records(); ++i) {
      const ImageQueueRecord& image = IMAGEQUEUE->entry(i);
      const int32_t x = image.SHIFTXINPERCENTAGE != 0
                            ? static_cast<int32_t>(image.SHIFTXPOS * ow / 100)
                            : image.SHIFTXPOS;
      const int32_t y = image.SHIFTYINPERCENTAGE != 0
                            ? static_cast<int32_t>(image.SHIFTYPOS * oh / 100)
                            : image.SHIFTYPOS;
      shift_x = std::max(shift_x, x);
      shift_y = std::max(shift_y, y);
    }
    SHIFTXPOS = static_cast<int16_t>(shift_x * RATIO);
    SHIFTYPOS = static_cast<int16_t>(shift_y * RATIO);
    if (maximized) RATIO = std::min(w / (ow + SHIFTXPOS), h / (oh + SHIFTYPOS));
    int64_t x = Number(window, 0, Prop::Xpos);
    int64_t y = Number(window, 0, Prop::Ypos);
    if (!window.Get(0, Prop::Center).empty() && !maximized) {
      if (x - SHIFTXPOS / 2 > 0) x -= SHIFTXPOS / 2;
      if (y - SHIFTYPOS / 2 > 0) y -= SHIFTYPOS / 2;
    }
    if (centred) {
      const double used_w = maximized ? (ow + SHIFTXPOS) * RATIO : ow * RATIO;
      const double used_h = maximized ? (oh + SHIFTYPOS) * RATIO : oh * RATIO;
      cx = static_cast<int16_t>((w - used_w) / 2);
      cy = static_cast<int16_t>((h - used_h) / 2);
    }
    if (!maximized) {
      window.SetPosition(0, static_cast<int32_t>(x), static_cast<int32_t>(y), width + SHIFTXPOS,
                         height + SHIFTYPOS);
      restored_room_x_ = SHIFTXPOS;
      restored_room_y_ = SHIFTYPOS;
    }
    return;
  }
  const double pr = PREVIOUSRATIO != 0 ? PREVIOUSRATIO : 1.0;
  if (STYLEPROPERTIES.RESIZEWINDOW != 0) {
    RATIO = w / ow < h / oh ? w / (ow + SHIFTXPOS / pr) : h / (oh + SHIFTYPOS / pr);
  } else {
    RATIO = 1.0;
  }
  SHIFTXPOS = static_cast<int16_t>(SHIFTXPOS / pr * RATIO);
  SHIFTYPOS = static_cast<int16_t>(SHIFTYPOS / pr * RATIO);
  if (!maximized) {
    restored_room_x_ = SHIFTXPOS;
    restored_room_y_ = SHIFTYPOS;
  }
  if (centred) {
    cx = static_cast<int16_t>(((w - SHIFTXPOS) - ow * RATIO) / 2);
    cy = static_cast<int16_t>(((h - SHIFTYPOS) - oh * RATIO) / 2);
  }
}

void ZOVRestyleClass::Restyle(uint8_t reload, uint8_t keep) {
  if (PROCEDUREWINDOW == nullptr) {
    if (reload == 1 && keep == 0) LoadWindowOptions();
    return;
  }
  platform::ui::Window& window = *PROCEDUREWINDOW;
  platform::ui::SetTarget(window.handle());
  type_properties_.clear();
  overlays_applied_.clear();
  StartPassCache();
  if (reload == 1 && keep == 0) LoadWindowOptions();
  const bool message_window = PROCEDURENAME == kMessageProcedure;
  if (message_window && STYLEMANAGER != nullptr) STYLEMANAGER->BeforeMessageRestyle(*this);
  ApplyMenuTree();
  const auto finish = [&](int16_t w, int16_t h) {
    if (w != 0 && h != 0) {
      OLDWINDOWWIDTH = w;
      OLDWINDOWHEIGHT = h;
    }
    if (message_window && STYLEMANAGER != nullptr) STYLEMANAGER->AfterMessageRestyle(*this);
    platform::ui::SetTarget(0);
    type_properties_.clear();
    EndPassCache();
  };
  if (STYLEPROPERTIES.DISABLERESTYLE != 0 || DONOTRESTYLETHISPROCEDURE != 0) {
    Restoring();
    finish(static_cast<int16_t>(Number(window, 0, Prop::Width)),
           static_cast<int16_t>(Number(window, 0, Prop::Height)));
    return;
  }
  const bool first_pass = WINDOWRESTYLED == 0;
  const std::string kept_defer = platform::ui::GetSystemProp(Prop::DeferMove);
  platform::ui::SetSystemProp(Prop::DeferMove, std::to_string(CONTROLPROPERTIESQUEUE->Records()));
  platform::ui::SetSystemProp(Prop::LazyDisplay, "1");
  if (STYLEPROPERTIES.AUTOMAXIMIZE != 0 && window.Get(0, Prop::Maximize) != "1") {
    window.Set(0, Prop::Maximize, "1");
  }
  const std::string kept_pixels = window.Get(0, Prop::Pixels);
  // The saved geometry only when the window is first styled: a pass after a resize keeps
  // the window where the user put it.
  if (STYLEPROPERTIES.WINDOWSAVEPOSITION != 0 && first_pass && IsBound()) {
    const std::string profile =
        REFCURRENTPROFILE != nullptr ? platform::Clip(REFCURRENTPROFILE->view()) : "";
    const int32_t set = GetConditionSetId(/*global=*/0, /*follow_switch=*/1, kSavePositionGroup);
    if (set != 0 && LoadGroup(pass_value_, set, "~" + profile + ":WindowPosAndSize") == 1 &&
        pass_value_.ENABLED == 1) {
      const std::string_view value = pass_value_.VALUE.view();
      window.SetPosition(
          0, static_cast<int32_t>(Field10(value, 1)), static_cast<int32_t>(Field10(value, 11)),
          static_cast<int32_t>(Field10(value, 21)), static_cast<int32_t>(Field10(value, 31)));
    }
  }
  window.Set(0, Prop::Pixels, "0");
  const auto w = static_cast<int16_t>(Number(window, 0, Prop::Width));
  const auto h = static_cast<int16_t>(Number(window, 0, Prop::Height));
  int16_t cx = 0;
  int16_t cy = 0;
  const bool sized = w > 0 && h > 0 && ORGINALWIDTH > 0 && ORGINALHEIGHT > 0;
  if (sized) {
    SizeWindow(w, h, cx, cy);
    PlaceImages();
  }
  StyleControl(0, static_cast<int32_t>(Number(window, 0, Prop::Type)), nullptr);
  ResizeRecord geometry;
  for (FieldId field = static_cast<FieldId>(Number(window, 0, Prop::NextField)); field != 0;
       field =
           static_cast<FieldId>(platform::TextToNumber(window.Get(0, Prop::NextField, field)))) {
    if (SkippedInPass(field)) continue;
    geometry = RESIZEQUEUE->buffer;
    if (first_pass && CONTROLSELECTION == 0 && !FindSnapshot(field)) continue;
    StyleControl(field, static_cast<int32_t>(Number(window, field, Prop::Type)), &geometry);
    ResizeControl(field, geometry, cx, cy);
  }
  for (size_t i = 1; i <= IMAGEBUTTONQUEUE->Records(); ++i) {
    const ImageButtonRecord& pair = IMAGEBUTTONQUEUE->entry(i);
    const FieldId control = pair.PARENTCONTROLEQUATE;
    window.SetPosition(pair.CONTROLEQUATE,
                       static_cast<int32_t>(Number(window, control, Prop::Xpos)),
                       static_cast<int32_t>(Number(window, control, Prop::Ypos)),
                       static_cast<int32_t>(Number(window, control, Prop::Width)),
                       static_cast<int32_t>(Number(window, control, Prop::Height)));
    // An overlay whose value no longer applies to its control stays hidden.
    const bool applies = overlays_applied_.count(control) != 0;
    window.Set(pair.CONTROLEQUATE, Prop::Hide, applies ? window.Get(control, Prop::Hide) : "1");
  }
  if (STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE != 0) MarkControl();
  if (w != 0 && h != 0) {
    PREVIOUSRATIO = RATIO;
    if (STYLEPROPERTIES.WINDOWCHECKPOSITION != 0) CheckWindowPosition();
    if (first_pass && STYLEPROPERTIES.WINDOWROUNDNESS != 0 && STYLEMANAGER != nullptr) {
      STYLEMANAGER->RoundWindow(PROCEDUREWINDOW,
                                static_cast<uint8_t>(STYLEPROPERTIES.WINDOWROUNDNESS));
    }
  }
  window.Set(0, Prop::Pixels, kept_pixels);
  const double defer = platform::TextToNumber(kept_defer);
  platform::ui::SetSystemProp(Prop::DeferMove, defer < 0 ? kept_defer : "0");
  platform::ui::SetSystemProp(Prop::LazyDisplay, "0");
  WINDOWRESTYLED = 1;
  finish(w, h);
}

}  // namespace restyle
