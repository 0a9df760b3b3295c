// Applying a set to a control: its enabled values of the properties listed for the control's
// type, runtime properties set on the control, the custom ones by their own layouts.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/eval/evaluate.h"
#include "platform/ui/codes.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

using platform::ui::FieldId;
using platform::ui::Prop;

// The ZOVPROPERTIESFILE name under which a Font value is the whole font layout; under
// "FONTNAME" the same number takes the face alone.
constexpr std::string_view kFontLayoutProperty = "FONT";

// Characters `from` to `to` (from 1) of `value`; what lies past its end is missing.
std::string_view Chars(std::string_view value, size_t from, size_t to) {
  if (value.size() < from) return {};
  return value.substr(from - 1, to - from + 1);
}

std::string NumberText(std::string_view text) {
  return std::to_string(static_cast<int64_t>(platform::TextToNumber(platform::Clip(text))));
}

uint8_t Byte(std::string_view value, size_t at) {
  return at < value.size() ? static_cast<uint8_t>(value[at]) : 0;
}

}  // namespace

void ZOVRestyleClass::ApplySet(int32_t set_id, FieldId control, int32_t type,
                               ResizeRecord* geometry) {
  if (!FindSnapshot(control)) return;
  platform::ui::Window& window = *PROCEDUREWINDOW;
  for (const TypePropertyRow& row : TypeProperties(type)) {
    const ControlPropertyGroup* kept = PassValue(set_id, "property " + std::to_string(row.number));
    if (kept == nullptr) continue;
    pass_value_ = *kept;
    const std::string_view stored = pass_value_.VALUE.view();
    if (row.number > 0) {
      const auto p = static_cast<Prop>(row.number);
      if (p == Prop::Font && platform::Upper(row.property) == kFontLayoutProperty) {
        ApplyFontLayout(control, stored, geometry);
        continue;
      }
      std::string value;
      if (pass_value_.CLARIONVALUE == 1) {
        value = platform::Evaluate(ResolvePropertyReferences(window, *CONTROLPROPERTIESQUEUE,
                                                             *CLARIONCONTROLPROPERTIESQUEUE,
                                                             platform::Clip(stored), control));
      } else {
        value = platform::Clip(stored);
      }
      window.Set(control, p, value);
      // A styled face or size is the control's own from here on: sizing keeps it.
      if (geometry != nullptr && p == Prop::Font) geometry->FONTNAME = value;
      if (geometry != nullptr && p == Prop::FontSize) {
        geometry->FONTSIZE = static_cast<uint8_t>(platform::TextToNumber(value));
      }
      continue;
    }
    switch (row.number) {
      case kMarkSelectedControl:
        STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE = 1;
        STYLEPROPERTIES.MARKSELECTEDCONTROLCOLOR =
            static_cast<int32_t>(platform::TextToNumber(platform::Clip(Chars(stored, 1, 19))));
        STYLEPROPERTIES.MARKSELECTEDCONTROLSYMBOL =
            static_cast<int32_t>(platform::TextToNumber(platform::Clip(Chars(stored, 20, 29))));
        STYLEPROPERTIES.MARKSELECTEDCONTROLCONFIGURATION =
            static_cast<uint8_t>(platform::TextToNumber(Chars(stored, 30, 30)));
        break;
      case kWindowRoundness:
        STYLEPROPERTIES.WINDOWROUNDNESS =
            static_cast<int16_t>(platform::TextToNumber(platform::Clip(stored)));
        break;
      case kControlPositionAndSize:
        ApplyPosition(control, stored, geometry);
        break;
      case kImageOnControl:
        ApplyImageOnControl(control, stored);
        break;
      default:
        break;
    }
  }
}

void ZOVRestyleClass::ApplyFontLayout(FieldId control, std::string_view layout,
                                      ResizeRecord* geometry) {
  platform::ui::Window& window = *PROCEDUREWINDOW;
  const std::string face = platform::Clip(Chars(layout, 20, 51));
  const std::string size = NumberText(Chars(layout, 52, 53));
  window.Set(control, Prop::Font, face);
  window.Set(control, Prop::FontSize, size);
  window.Set(control, Prop::FontColor, NumberText(Chars(layout, 1, 19)));
  window.Set(control, Prop::FontStyle, NumberText(Chars(layout, 54, 65)));
  window.Set(control, Prop::FontCharSet, NumberText(Chars(layout, 66, 77)));
  if (geometry != nullptr) {
    geometry->FONTNAME = face;
    geometry->FONTSIZE = static_cast<uint8_t>(platform::TextToNumber(size));
  }
}

void ZOVRestyleClass::ApplyPosition(FieldId control, std::string_view value,
                                    ResizeRecord* geometry) {
  platform::ui::Window& window = *PROCEDUREWINDOW;
  if (!FindSnapshot(control)) return;
  const ControlSnapshotRecord& registered = CONTROLPROPERTIESQUEUE->buffer;
  // Modes 1 and 2 start from the registered geometry, so a value never compounds over
  // passes. The results are the control's base geometry, before scale and image room.
  struct Side {
    Prop prop;
    int32_t registered;
    int16_t shift;
    int16_t ResizeRecord::*base;
  };
  const Side sides[] = {
      {Prop::Xpos, registered.PROP_XPOS, SHIFTXPOS, &ResizeRecord::XPOS},
      {Prop::Ypos, registered.PROP_YPOS, SHIFTYPOS, &ResizeRecord::YPOS},
      {Prop::Width, registered.PROP_WIDTH, 0, &ResizeRecord::WIDTH},
      {Prop::Height, registered.PROP_HEIGHT, 0, &ResizeRecord::HEIGHT},
  };
  platform::Queue<ResizeRecord>& resize = *RESIZEQUEUE;
  resize.ClearBuffer();
  resize.buffer.CONTROLEQUATE = control;
  const platform::QueueKey by_control = {resize.Asc(&ResizeRecord::CONTROLEQUATE)};
  const bool has_entry = resize.GetByKey(by_control);
  bool changed_any = false;
  for (size_t i = 0; i < 4; ++i) {
    const size_t at = i * 4;
    if (Byte(value, at) == 0) continue;
    int16_t amount = 0;
    const uint16_t raw = static_cast<uint16_t>(Byte(value, at + 1) | (Byte(value, at + 2) << 8));
    std::memcpy(&amount, &raw, sizeof amount);
    const Side& side = sides[i];
    int32_t base = 0;
    switch (Byte(value, at + 3)) {
      case 0:
        base = amount - side.shift;
        break;
      case 1:
        base = side.registered + amount;
        break;
      case 2:
        base = static_cast<int32_t>(side.registered * (amount / 100.0));
        break;
      default:
        continue;
    }
    if (side.prop == Prop::Width || side.prop == Prop::Height) base = std::max(base, 0);
    window.Set(control, side.prop, std::to_string(base + side.shift));
    if (has_entry) resize.buffer.*side.base = static_cast<int16_t>(base);
    if (geometry != nullptr) geometry->*side.base = static_cast<int16_t>(base);
    changed_any = true;
  }
  if (has_entry && changed_any) resize.Put();
}

void ZOVRestyleClass::ApplyImageOnControl(FieldId control, std::string_view value) {
  platform::ui::Window& window = *PROCEDUREWINDOW;
  platform::Queue<ImageButtonRecord>& pairs = *IMAGEBUTTONQUEUE;
  FieldId image = 0;
  for (size_t i = 1; i <= pairs.Records(); ++i) {
    if (pairs.entry(i).PARENTCONTROLEQUATE == control) image = pairs.entry(i).CONTROLEQUATE;
  }
  if (image == 0) {
    const auto parent =
        static_cast<FieldId>(platform::TextToNumber(window.Get(control, Prop::Parent)));
    image = window.Create(0, platform::ui::ControlType::kImage, parent);
    if (image == 0) return;
    pairs.ClearBuffer();
    pairs.buffer.PARENTCONTROLEQUATE = control;
    pairs.buffer.CONTROLEQUATE = image;
    pairs.Add();
  }
  overlays_applied_.insert(control);
  window.Set(image, Prop::Hide, "1");
  window.Set(image, Prop::Text, platform::Clip(Chars(value, 1, 510)));
  const std::string_view mode = Chars(value, 511, 511);
  window.Set(image, Prop::Tiled, mode == "1" || mode == "2" ? "0" : "1");
  window.Set(image, Prop::Centered, mode == "2" ? "1" : "0");
  const std::string_view look = Chars(value, 512, 512);
  if (look == "2") window.Set(control, Prop::Trn, "1");
  if (look == "3") window.Set(control, Prop::Flat, "1");
}

}  // namespace restyle
