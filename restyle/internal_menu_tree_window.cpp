// The tree menu in the internal look: a tree list of the frame's menu.
#include "restyle/restyle_class.h"

namespace restyle {

// TODO(tree-menu windows): the tree list, the last started items, docking and choosing.
void ZOVRestyleClass::InternalMenuTreeWindow(std::string_view look) {
  RecordingTreeWindow("InternalMenuTreeWindow", look);
}

}  // namespace restyle
