// The tree menu of the application frame.
#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"

namespace restyle {

// TODO(tree menu): starts, refreshes or stops the tree-menu thread.
void ZOVRestyleClass::ApplyMenuTree() { platform::TraceCall("ZOVRestyleClass.ApplyMenuTree"); }

}  // namespace restyle
