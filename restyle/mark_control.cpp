// The mark beside the selected control: an arrow or a symbol, or a box behind it. The pass
// puts it out of sight; the window's event handling moves it to each control selected.
#include <string>

#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/ui/codes.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

using platform::ui::ControlType;
using platform::ui::FieldId;
using platform::ui::Prop;

// MARKSELECTEDCONTROLCONFIGURATION: how the mark looks.
constexpr uint8_t kArrowBefore = 1;
constexpr uint8_t kBoxAround = 2;
constexpr uint8_t kArrowAfter = 3;
constexpr std::string_view kArrowBeforeText = "\u00BB";  // »
constexpr std::string_view kArrowAfterText = "\u00AB";   // «
// Where the mark waits until a control is selected.
constexpr int32_t kOutOfSight = -999;

}  // namespace

void ZOVRestyleClass::MarkControl() {
  if (STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE == 0 || PROCEDUREWINDOW == nullptr) return;
  platform::ui::Window& window = *PROCEDUREWINDOW;
  const StylePropertiesGroup& o = STYLEPROPERTIES;
  const uint8_t look = o.MARKSELECTEDCONTROLCONFIGURATION;
  const std::string colour = std::to_string(o.MARKSELECTEDCONTROLCOLOR);
  const auto existing = [&]() -> FieldId {
    if (MARKSELECTEDCONTROLEQUATE == 0) return 0;
    const std::string type = window.Get(MARKSELECTEDCONTROLEQUATE, Prop::Type);
    return type.empty() ? 0 : MARKSELECTEDCONTROLEQUATE;
  };
  // The mark is made once; a mark of the other kind (the look changed) is made again.
  const auto made = [&](ControlType type) -> FieldId {
    FieldId mark = existing();
    if (mark != 0 && static_cast<int64_t>(platform::TextToNumber(window.Get(mark, Prop::Type))) !=
                         static_cast<int64_t>(type)) {
      window.Destroy(mark);
      mark = 0;
    }
    if (mark == 0) mark = window.Create(0, type);
    MARKSELECTEDCONTROLEQUATE = mark;
    return mark;
  };
  if (look == kArrowBefore || look == kArrowAfter) {
    if (const FieldId mark = made(ControlType::kString); mark != 0) {
      window.Set(mark, Prop::Trn, "1");
      window.Set(mark, Prop::FontColor, colour);
      const std::string symbol = o.MARKSELECTEDCONTROLSYMBOL != 0
                                     ? platform::Chr(o.MARKSELECTEDCONTROLSYMBOL)
                                     : std::string();
      window.Set(mark, Prop::Text,
                 !symbol.empty()        ? std::string_view(symbol)
                 : look == kArrowBefore ? kArrowBeforeText
                                        : kArrowAfterText);
    }
  } else if (look == kBoxAround) {
    if (const FieldId mark = made(ControlType::kBox); mark != 0) {
      window.Set(mark, Prop::Color, colour);  // the box's FillColor
    }
  }
  const FieldId mark = existing();
  if (mark == 0) return;
  window.SetPosition(mark, kOutOfSight, kOutOfSight,
                     static_cast<int32_t>(platform::TextToNumber(window.Get(mark, Prop::Width))),
                     static_cast<int32_t>(platform::TextToNumber(window.Get(mark, Prop::Height))));
  window.SetHidden(mark, mark, false);
}

}  // namespace restyle
