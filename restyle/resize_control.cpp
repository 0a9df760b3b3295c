// How a control follows the window's scale under dynamic sizing.
#include <string>

#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"

namespace restyle {

void ZOVRestyleClass::ResizeControl(platform::ui::FieldId control, const ResizeRecord& initial,
                                    int16_t cx, int16_t cy) {
  (void)initial;
  // TODO(resize): places, sizes and scales the control.
  platform::TraceCall("ZOVRestyleClass.ResizeControl " + std::to_string(control) + " " +
                      std::to_string(cx) + " " + std::to_string(cy));
}

}  // namespace restyle
