// The tree menu in the XP look: each menu a panel.
#include "restyle/restyle_class.h"

namespace restyle {

// TODO(tree-menu windows): the panels, docking and choosing an item.
void ZOVRestyleClass::XPMenuTreeWindow(std::string_view look) {
  RecordingTreeWindow("XPMenuTreeWindow", look);
}

}  // namespace restyle
