// The replay side of the window hook: on 0FFFh while an event step plays, the target window
// reproduces the stored event.
#include "assistant/extagent.h"

namespace assistant {

int32_t ZOVAgentClass::Replay(std::string_view /*procedure_name*/,
                              platform::ui::WindowHandle /*window*/) {
  return 0;
}

}  // namespace assistant
